#include "controls/extended/xcItemsSearch.h"

namespace {

// Visits start + 1 .. count - 1, then 0 .. start, each once; a start of -1 or at or past the
// last item visits the whole list from 0.
template <class Match>
int Search(const TStrings& items, int start, Match match) {
    const int n = items.Count();
    if (n == 0) return -1;
    if (start < -1 || start >= n - 1) start = -1;
    for (int k = 1; k <= n; ++k) {
        const int i = (start + k) % n;
        if (match(items.Get(i))) return i;
    }
    return -1;
}

}  // namespace

int TXcItemsSearchs::FindExact(const TStrings& Items, const std::string& Text, bool CaseSensitive,
                               int StartIndex) {
    return Search(Items, StartIndex, [&](const std::string& s) {
        return CaseSensitive ? s == Text : AnsiSameText(s, Text);
    });
}

int TXcItemsSearchs::FindPrefix(const TStrings& Items, const std::string& Text, bool CaseSensitive,
                                int StartIndex) {
    if (Text.empty()) return -1;
    // Letters of every script fold, so both sides go to upper case before they are compared.
    const std::string wanted = CaseSensitive ? Text : AnsiUpperCase(Text);
    return Search(Items, StartIndex, [&](const std::string& s) {
        return (CaseSensitive ? s : AnsiUpperCase(s)).compare(0, wanted.size(), wanted) == 0;
    });
}
