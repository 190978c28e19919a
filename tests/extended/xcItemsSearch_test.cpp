// The items searches compare without case in every script where asked, with case as bytes
// where not.
#include <gtest/gtest.h>

#include "controls/extended/xcItemsSearch.h"

TEST(XcItemsSearchCase, LettersOfEveryScriptFoldWhereAsked) {
    TStringList items;
    for (const char* s : {"жук", "äpfel", "Ωμέγα", "中文"}) items.Add(s);
    const struct {
        bool prefix;
        const char* text;
        bool caseSensitive;
        int found;
    } rows[] = {
        {false, "ÄPFEL", false, 1}, {false, "ÄPFEL", true, -1}, {false, "äpfel", true, 1},
        {true, "Ж", false, 0},      {true, "Ж", true, -1},      {true, "ωΜ", false, 2},
        {true, "中", false, 3},     {true, "", false, -1},      {false, "ЖУКИ", false, -1},
    };
    for (const auto& r : rows) {
        const int found = r.prefix ? TXcItemsSearchs::FindPrefix(items, r.text, r.caseSensitive, -1)
                                   : TXcItemsSearchs::FindExact(items, r.text, r.caseSensitive, -1);
        EXPECT_EQ(found, r.found) << (r.prefix ? "prefix " : "exact ") << r.text;
    }
}
