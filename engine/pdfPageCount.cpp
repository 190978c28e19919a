// The page count of a PDF. A PDF parser reads the latest revision; a file it cannot read
// is counted from its text: the /Count of the page tree's root, found as the node the
// trailer's catalog names (else the last catalog's, else the last node of type /Pages
// without a parent), the last definition of an object winning as in an update. Names are
// matched whole (a name ends at a delimiter), only the keys of a dictionary's own level
// count (an inline font's /FirstChar is no /First, a nested /Type no type of the node),
// comments are blanks, and stream data is stepped over by its /Length. Up to three passes
// over the text, holding no more than a list of the stream lengths written as objects.
#include <algorithm>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "engine/pdfHelper.h"
#include "engine/pdfPageTree.h"
#include "engine/pdfSyntax.h"
#include "engine/util.h"
#include "platform/rtl/mappedFile.h"
#include "platform/rtl/sysutils.h"

namespace {

using pdfsyntax::IsDelimiter;
using pdfsyntax::IsDigit;
using pdfsyntax::IsWhite;
using pdfsyntax::SmallNumber;

bool AllDigits(std::string_view s) {
    return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

// What one dictionary says about the page tree and the stream it may head.
struct TDictFacts {
    long long object = -1;  // the number of the object it is written in, when known
    bool pagesType = false;
    bool catalogType = false;
    bool xrefType = false;
    bool parent = false;
    bool counted = false;
    std::string_view count;    // the token after /Count, as written
    long long countRef = -1;   // /Count n g R
    long long pagesRef = -1;   // /Pages n g R of a catalog
    long long rootRef = -1;    // /Root n g R of a trailer
    long long length = -1;     // /Length of a stream
    long long lengthRef = -1;  // /Length n g R
};

// Reads the text in passes, each keeping only what it looks for, so the memory it takes
// does not grow with the number of dictionaries or objects in the text: the first finds
// the catalog and so the root node, the second that node's count, and a third the object
// holding the count when it is written indirectly.
class TPdfScanner {
public:
    explicit TPdfScanner(std::string_view text) : t_(text), n_(text.size()) {}

    int PageCount() {
        struct TCatalog {
            long long object, pagesRef;
        };
        std::vector<TCatalog> catalogs;  // dictionaries naming a /Pages node: a handful
        long long lastCatalogPages = -1;
        TDictFacts unparented;  // the last /Pages node without a parent that has a count
        Scan(
            [&](const TDictFacts& d) {
                if (d.pagesRef >= 0) catalogs.push_back({d.object, d.pagesRef});
                if (d.catalogType && d.pagesRef >= 0) lastCatalogPages = d.pagesRef;
                if (d.pagesType && !d.parent && d.counted) unparented = d;
            },
            [](long long, std::string_view) {});
        // The catalog the trailer names, else the last one written.
        long long node = -1;
        for (const TCatalog& c : catalogs)
            if (root_ >= 0 && c.object == root_) node = c.pagesRef;
        if (node < 0) node = lastCatalogPages;
        TDictFacts found;
        if (node >= 0)
            Scan(
                [&](const TDictFacts& d) {
                    if (d.object == node && d.counted) found = d;
                },
                [](long long, std::string_view) {});
        if (!found.counted) found = unparented;
        if (!found.counted) return -1;
        std::string_view count = found.count;
        if (found.countRef >= 0) {
            bool held = false;
            Scan([](const TDictFacts&) {},
                 [&](long long object, std::string_view number) {
                     if (object != found.countRef) return;
                     held = true;
                     count = number;
                 });
            if (!held) return -1;  // not in the text: counted by probing
        }
        const std::string digits =
            std::string(count.size() > 1 && count[0] == '+' ? count.substr(1) : count);
        if (!AllDigits(digits) || digits.size() > 10 ||
            StrToInt(digits) > std::numeric_limits<int>::max())
            throw EConvertError("PDF 页面树的页数 \"" +
                                EscapeControls(std::string(count.substr(0, 40))) +
                                "\" 不是有效的数字。");
        return int(StrToInt(digits));
    }

private:
    // One pass over the text: every dictionary, with the object it is written in, goes to
    // onDict; every object that is one whole number to onNumber.
    template <class OnDict, class OnNumber>
    void Scan(OnDict onDict, OnNumber onNumber) {
        i_ = 0;
        long long ints[2] = {-1, -1};  // the last two integers, for "n g obj"
        long long object = -1;
        int valuesInObject = 0;  // values since "obj", to tell an object that is one number
        std::string_view number;
        bool trailer = false;     // the next dictionary is a trailer
        bool streamHead = false;  // the dictionary just before, for "stream"
        TDictFacts lastDict;
        while (i_ < n_) {
            const char c = t_[i_];
            if (IsWhite(c)) {
                ++i_;
                continue;
            }
            if (c == '%') {  // a comment is a blank, even between "n g" and "obj"
                SkipWhite();
                continue;
            }
            ++valuesInObject;
            if (c == '<' && Next() == '<') {
                lastDict = Dictionary();
                lastDict.object = object;
                if ((trailer || lastDict.xrefType) && lastDict.rootRef >= 0)
                    root_ = lastDict.rootRef;
                trailer = false;
                onDict(lastDict);
                streamHead = true;
                ints[0] = ints[1] = -1;
                continue;
            }
            const bool head = streamHead;
            streamHead = false;
            if (IsDelimiter(c)) {
                SkipValue();
                ints[0] = ints[1] = -1;
                continue;
            }
            const std::string_view word = Token();
            if (!word.empty() && IsDigit(word[0]) && word.find('.') == std::string_view::npos) {
                ints[0] = ints[1];
                ints[1] = SmallNumber(word);
                number = word;
                continue;
            }
            if (word == "obj") {
                object = ints[0];
                valuesInObject = 0;
            } else if (word == "endobj") {
                if (object >= 0 && valuesInObject == 2 && ints[1] >= 0) onNumber(object, number);
                object = -1;
            } else if (word == "stream") {
                SkipStreamData(head ? &lastDict : nullptr);
            } else if (word == "trailer") {
                trailer = true;
            }
            ints[0] = ints[1] = -1;
        }
    }

private:
    char Next() const { return i_ + 1 < n_ ? t_[i_ + 1] : '\0'; }

    // A regular token (a number or a keyword) from i_; a lone byte that is neither is
    // stepped over as one.
    std::string_view Token() {
        const size_t start = i_;
        if (pdfsyntax::RegularToken(t_, i_).empty() && i_ < n_) ++i_;
        return t_.substr(start, i_ - start);
    }

    // A name from the "/" at i_, without the slash.
    std::string_view Name() { return pdfsyntax::Name(t_, i_); }

    void SkipWhite() { pdfsyntax::SkipWhite(t_, i_); }

    // "n g R" at i_: n, with i_ behind the "R"; else -1 with i_ where it was.
    long long Reference() {
        const size_t start = i_;
        const long long n = SmallNumber(Token());
        SkipWhite();
        const bool generation = i_ < n_ && AllDigits(Token());
        SkipWhite();
        if (n >= 0 && generation && i_ < n_ && Token() == "R") return n;
        i_ = start;
        return -1;
    }

    // The data of the stream whose keyword ends at i_, stepped over by its /Length (data
    // may hold "endstream" itself, as an attached PDF does); by the first "endstream"
    // only when the length is missing or wrong.
    void SkipStreamData(const TDictFacts* head) {
        static constexpr std::string_view kEnd = "endstream";
        size_t start = i_;
        if (start < n_ && t_[start] == '\r') ++start;
        if (start < n_ && t_[start] == '\n') ++start;
        long long length = head ? head->length : -1;
        if (length < 0 && head && head->lengthRef >= 0) length = NumberObject(head->lengthRef);
        if (length >= 0 && static_cast<unsigned long long>(length) <= n_ - start) {
            size_t end = start + size_t(length);
            while (end < n_ && IsWhite(t_[end])) ++end;
            if (t_.substr(end, kEnd.size()) == kEnd) {
                i_ = end + kEnd.size();
                return;
            }
        }
        const size_t end = t_.find(kEnd, start);
        i_ = end == std::string_view::npos ? n_ : end + kEnd.size();
    }

    // The value of "n g obj <number> endobj" as the text writes it (the last such object n),
    // -1 when there is none. A stream's length object often follows the stream, so the
    // text is looked through once, when first asked, into a list sorted by object.
    long long NumberObject(long long n) {
        if (!indexed_) {
            indexed_ = true;
            for (size_t end = t_.find("endobj"); end != std::string_view::npos;
                 end = t_.find("endobj", end + 6))
                IndexNumberObjectBefore(end);
            // The last definition of an object wins, as in an update.
            std::stable_sort(lengths_.begin(), lengths_.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            lengths_.shrink_to_fit();
        }
        auto found = std::upper_bound(lengths_.begin(), lengths_.end(), n,
                                      [](long long v, const auto& e) { return v < e.first; });
        if (found == lengths_.begin() || (found - 1)->first != n) return -1;
        return (found - 1)->second;
    }

    // Reads "n g obj <number>" backwards from the "endobj" at end.
    void IndexNumberObjectBefore(size_t end) {
        size_t p = end;
        auto blanks = [&] {
            const size_t from = p;
            while (p > 0 && IsWhite(t_[p - 1])) --p;
            return p < from;
        };
        auto digits = [&] {
            const size_t to = p;
            while (p > 0 && IsDigit(t_[p - 1])) --p;
            return SmallNumber(t_.substr(p, to - p));
        };
        if (!blanks()) return;
        const long long value = digits();
        if (value < 0 || !blanks() || p < 3 || t_.substr(p - 3, 3) != "obj") return;
        p -= 3;
        if (!blanks() || digits() < 0 || !blanks()) return;
        const long long object = digits();
        if (object >= 0 && (p == 0 || IsWhite(t_[p - 1]) || IsDelimiter(t_[p - 1])))
            lengths_.emplace_back(object, value);
    }

    // One whole value from i_, however it ends.
    void SkipValue() { pdfsyntax::SkipValue(t_, i_); }

    // The dictionary whose "<<" is at i_: the keys of its own level.
    TDictFacts Dictionary() {
        TDictFacts f;
        i_ += 2;
        for (;;) {
            SkipWhite();
            if (i_ >= n_) return f;
            if (t_[i_] == '>' && Next() == '>') {
                i_ += 2;
                return f;
            }
            if (t_[i_] != '/') {
                SkipValue();  // a value whose key was handled, or a stray token
                continue;
            }
            const std::string_view key = Name();
            SkipWhite();
            const bool number = i_ < n_ && (IsDigit(t_[i_]) || t_[i_] == '+');
            if (key == "Type" && i_ < n_ && t_[i_] == '/') {
                const std::string_view type = Name();
                f.pagesType = type == "Pages";
                f.catalogType = type == "Catalog";
                f.xrefType = type == "XRef";
            } else if (key == "Parent") {
                f.parent = true;
            } else if (key == "Count") {
                f.counted = true;
                const size_t start = i_;
                if (number && (f.countRef = Reference()) >= 0) {
                    f.count = t_.substr(start, i_ - start);
                } else if (i_ < n_ && !IsDelimiter(t_[i_])) {
                    f.count = Token();
                } else {
                    SkipValue();
                    f.count = t_.substr(start, std::min<size_t>(i_ - start, 40));
                }
            } else if ((key == "Pages" || key == "Root") && number) {
                (key == "Pages" ? f.pagesRef : f.rootRef) = Reference();
            } else if (key == "Length" && number) {
                if ((f.lengthRef = Reference()) < 0) f.length = SmallNumber(Token());
            }
        }
    }

    std::string_view t_;
    size_t n_;
    size_t i_ = 0;
    long long root_ = -1;  // the catalog the trailer names
    bool indexed_ = false;
    std::vector<std::pair<long long, long long>> lengths_;  // ... found by looking through the text
};

}  // namespace

int TPdfChopToSingles::CountPagesInText(std::string_view text) {
    return TPdfScanner(text).PageCount();
}

int TPdfChopToSingles::CountPdfPages(const std::string& fileName) {
    return PdfPages(fileName).count;
}

namespace {

// The largest damaged file whose text's count the parser's repair checks.
constexpr size_t kLargestRepaired = size_t(32) << 20;

// A count that does not fit the page numbers of a run is refused, naming the file.
int PageNumber(long long pages, const std::string& fileName) {
    if (pages > std::numeric_limits<int>::max())
        throw EConvertError("PDF 文件的页数太多: \"" + EscapeControls(fileName) + "\"");
    return int(pages);
}

}  // namespace

TPdfPages TPdfChopToSingles::PdfPages(const std::string& fileName) {
    return PdfPages(fileName, ReadPdfPageTree(fileName));
}

TPdfPages TPdfChopToSingles::PdfPages(const std::string& fileName, const TPdfPageTree& tree) {
    if (tree.opened) {
        // Ghostscript draws the pages the tree holds, whatever its root says: a root count
        // is no page.
        if (tree.rootCounted && tree.rootCount != tree.pages)
            Log("PageCount", "the root of the page tree says " + IntToStr(tree.rootCount) +
                                 " pages, its kids lead to " + IntToStr(tree.pages) + ": " +
                                 EscapeControls(fileName));
        return {PageNumber(tree.pages, fileName), tree.repeated};
    }
    // Damaged beyond what the parser reads without repairing, or locked with a password:
    // the text may still tell, and the parser's repair (object streams); else the pages
    // are probed one by one.
    Log("PdfParser", tree.why);
    int scanned = -1;
    size_t size = 0;
    {
        const TMappedFile file(fileName);
        size = file.Data().size();
        try {
            scanned = CountPagesInText(file.Data());
        } catch (const EConvertError& e) {
            throw EConvertError(std::string(e.what()) + " 文件可能已损坏: \"" +
                                EscapeControls(fileName) + "\"");
        }
    }
    // The parser's repair holds every object of the file: a large one keeps the count its
    // text shows.
    if (scanned >= 0 && size > kLargestRepaired) return {scanned, false};
    // The repair guesses where objects are: its tree counts when it agrees with its root,
    // or when its root is the one the text found (the same count) and it holds nothing
    // readers take otherwise (a node without kids).
    const TPdfPageTree repaired = RepairPdfPageTree(fileName);
    if (repaired.opened && repaired.rootCounted &&
        (repaired.rootCount == repaired.pages
             ? scanned < 0 || scanned == repaired.pages
             : scanned == repaired.rootCount && !repaired.kidlessNode)) {
        if (repaired.pages != repaired.rootCount)
            Log("PageCount", "the root of the repaired page tree says " +
                                 IntToStr(repaired.rootCount) + " pages, its kids lead to " +
                                 IntToStr(repaired.pages) + ": " + EscapeControls(fileName));
        return {PageNumber(repaired.pages, fileName), repaired.repeated};
    }
    if (scanned >= 0) return {scanned, false};
    Log("PdfParser",
        repaired.opened ? "the repaired page tree disagrees with its root count" : repaired.why);
    return {};
}
