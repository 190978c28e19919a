// Format, number conversion, date formats and paths of the runtime.
#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"

TEST(Format, PaddingPrecisionAndErrors) {
    EXPECT_EQ(Format("%-12s|", "GS"), "GS          |");
    EXPECT_EQ(Format("%-12s|", "ErrorMessage"), "ErrorMessage|");
    EXPECT_EQ(Format("%-12s|", "LongerThanTwelve"), "LongerThanTwelve|");
    EXPECT_EQ(Format("%.8d", 42), "00000042");
    EXPECT_EQ(Format("%.4d", 12345), "12345");
    EXPECT_EQ(Format("_p%04d", 7), "_p0007");
    EXPECT_EQ(Format("%d%%", 5), "5%");
    EXPECT_EQ(Format("%s=%d", std::string("a"), -3), "a=-3");
    EXPECT_THROW(Format("%d", "text"), EConvertError);
    EXPECT_THROW(Format("%s %s", "one"), EConvertError);
}

TEST(Numbers, IntegersAcceptHexAndRejectJunk) {
    EXPECT_EQ(StrToInt(" 12 "), 12);
    EXPECT_EQ(StrToInt("0x1F"), 31);
    EXPECT_EQ(StrToInt("$ff"), 255);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_THROW(StrToInt("12a"), EConvertError);
    EXPECT_THROW(StrToInt(""), EConvertError);
    EXPECT_EQ(StrToIntDef("x", 9), 9);
    EXPECT_EQ(FloatToStr(0.7), "0.7");
    EXPECT_EQ(FloatToStr(1.0), "1");
    EXPECT_EQ(FloatToStr(0.0), "0");
}

TEST(DateTime, LogAndFolderFormats) {
    TDateTime t = EncodeDateTime(2026, 12, 6, 7, 5, 9, 3);
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd", t), "2026-12-06");
    // "mm" right after the hour is minutes.
    EXPECT_EQ(FormatDateTime("hh-mm-ss-zzz", t), "07-05-09-003");
    EXPECT_EQ(FormatDateTime("hh-nn-ss-zzz_", t), "07-05-09-003_");
    int y, mo, d, h, mi, s, ms;
    DecodeDateTime(EncodeDateTime(1999, 2, 28, 23, 59, 59, 999), y, mo, d, h, mi, s, ms);
    EXPECT_EQ(y * 10000 + mo * 100 + d, 19990228);
    EXPECT_EQ(h * 10000 + mi * 100 + s, 235959);
    EXPECT_EQ(ms, 999);
}

TEST(Paths, PartsOfAName) {
    EXPECT_EQ(ExtractFilePath("/a b/c.d.pdf"), "/a b/");
    EXPECT_EQ(ExtractFileName("/a b/c.d.pdf"), "c.d.pdf");
    EXPECT_EQ(ExtractFileExt("/a b/c.d.PDF"), ".PDF");
    EXPECT_EQ(ExtractFileExt("/a.b/noext"), "");
    EXPECT_EQ(ChangeFileExt("/a.b/noext", ".pdf"), "/a.b/noext.pdf");
    EXPECT_EQ(ChangeFileExt("/x/y.ps", ""), "/x/y");
    EXPECT_EQ(ExtractFileDir("/top.pdf"), "/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/x"), "/x/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/x/"), "/x");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
    EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
}

TEST(FileMask, WindowsLikeMatching) {
    EXPECT_TRUE(MatchesFileMask("README", "*.*"));  // all files, with or without a dot
    EXPECT_TRUE(MatchesFileMask("a.PDF", "*.pdf"));
    EXPECT_FALSE(MatchesFileMask("a.pdf.bak", "*.pdf"));
    EXPECT_TRUE(MatchesFileMask("文件.pdf", "??.pdf"));  // "?" is one character, not one byte
    EXPECT_FALSE(MatchesFileMask("文件.pdf", "?.pdf"));
    EXPECT_TRUE(MatchesFileMask("x", "*"));
    EXPECT_TRUE(MatchesFileMask("abcabc", "*abc"));
}

TEST(RandomGenerator, LinearCongruentialSequence) {
    RandSeed = 0;
    // seed := seed * 134775813 + 1; value := (seed * range) >> 32
    EXPECT_EQ(Random(100000000), 0);  // seed 1
    EXPECT_EQ(RandSeed, 1u);
    EXPECT_EQ(Random(100000000), 3137993);  // seed 134775814
    EXPECT_EQ(RandSeed, 134775814u);
}

TEST(StringList, TextSplittingAndCase) {
    TStringList l;
    l.SetText("a\r\nb\rc\n");
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l[2], "c");
    EXPECT_EQ(l.Text(), "a\nb\nc\n");
    EXPECT_EQ(l.IndexOf("B"), 1);
    EXPECT_THROW(l[3], EListError);
    l.Delete(0);
    EXPECT_EQ(l[0], "b");
}

TEST(FileNames, SortAsNtfsKeepsAFolder) {
    struct Row {
        std::vector<std::string> in, want;
    } rows[] = {
        {{"b", "A", "c"}, {"A", "b", "c"}},
        {{"_x", "Z", "a"}, {"a", "Z", "_x"}},
        {{"a_b", "ab", "AA"}, {"AA", "ab", "a_b"}},
        {{"doc10", "doc2", "Doc1"}, {"Doc1", "doc10", "doc2"}},
        {{"été", "Zoo", "Émile"}, {"Zoo", "Émile", "été"}},
        {{"文件", "b", "Б", "а"}, {"b", "а", "Б", "文件"}},
    };
    for (auto& r : rows) {
        auto names = r.in;
        SortFileNames(names);
        EXPECT_EQ(names, r.want) << r.in[0];
    }
}

TEST(CaseFolding, AnsiRoutinesFoldEveryScriptPlainOnesAsciiAlone) {
    const struct {
        const char *a, *b;
        bool ansiSame, plainSame;
    } rows[] = {
        {"ÄPFEL", "äpfel", true, false},
        {"ЖУК", "жук", true, false},
        {"Ωμέγα", "ΩΜΈΓΑ", true, false},
        {"Apple", "aPPLE", true, true},
        {"中文", "中文", true, true},
        {"中文", "中午", false, false},
        {"abc", "abcd", false, false},
        {"\xff"
         "a",
         "\xff"
         "A",
         true, true},  // bytes that are not UTF-8 stay, letters fold
    };
    for (const auto& r : rows) {
        EXPECT_EQ(AnsiSameText(r.a, r.b), r.ansiSame) << r.a << " / " << r.b;
        EXPECT_EQ(AnsiCompareText(r.a, r.b) == 0, r.ansiSame) << r.a << " / " << r.b;
        EXPECT_EQ(SameText(r.a, r.b), r.plainSame) << r.a << " / " << r.b;
    }
    EXPECT_EQ(AnsiUpperCase("жук äpfel x"), "ЖУК ÄPFEL X");
    EXPECT_EQ(AnsiLowerCase("ЖУК ÄPFEL X"), "жук äpfel x");
    EXPECT_EQ(UpperCase("жук äpfel x"), "жук äPFEL X");
    EXPECT_EQ(AnsiUpperCase("a\xe4"
                            "b"),
              "A\xe4"
              "B");  // a Latin-1 byte is kept
    EXPECT_LT(AnsiCompareText("apple", "BANANA"), 0);
    EXPECT_GT(AnsiCompareText("Ж", "z"), 0);
}

TEST(StringList, ChangesUnderARaisedUpdateCountReportOnce) {
    TStringList source;
    for (const char* s : {"a", "b", "c"}) source.Add(s);
    const struct {
        const char* what;
        std::function<void(TStringList&)> act;
        int changes;
    } rows[] = {
        {"one add", [](TStringList& l) { l.Add("x"); }, 1},
        {"assign", [&](TStringList& l) { l.Assign(source); }, 1},
        {"text", [](TStringList& l) { l.SetText("p\nq\nr"); }, 1},
        {"nothing under the count",
         [](TStringList& l) {
             l.BeginUpdate();
             l.EndUpdate();
         },
         0},
        {"nested",
         [](TStringList& l) {
             l.BeginUpdate();
             l.Add("x");
             l.BeginUpdate();
             l.Add("y");
             l.EndUpdate();
             l.Add("z");
             l.EndUpdate();
         },
         1},
    };
    for (const auto& r : rows) {
        TStringList l;
        int changes = 0, items = 0;
        l.OnChange = [&] { ++changes; };
        l.OnItemChange = [&](TStringList::TChange, int) { ++items; };
        r.act(l);
        EXPECT_EQ(changes, r.changes) << r.what;
        EXPECT_EQ(items > 0, r.changes > 0) << r.what;  // each item is still told at once
    }
}
