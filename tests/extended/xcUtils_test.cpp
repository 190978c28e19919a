#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls/extended/xcConsts.h"
#include "controls/extended/xcUtils.h"

namespace {

std::vector<std::string> Items(const TStringList& l) { return l.ToVector(); }

}  // namespace

TEST(Wildcards, Table) {
    struct Case {
        const char* pattern;
        const char* text;
        bool match;
    };
    const Case cases[] = {
        {"*", "", true},
        {"*", "anything", true},
        {"**", "", true},
        {"***", "abc", true},
        {"a", "", false},
        {"?", "", false},
        {"a*c", "abc", true},
        {"a*c", "ac", true},
        {"a*c", "ab", false},
        {"*.txt", "x.txt", true},
        {"*.txt", "x.txt.txt", true},
        {"*.txt", "x.txt.doc", false},
        {"a*b*c", "aXbYbZc", true},
        {"*.TXT", "x.txt", false},
        {"?", "a", true},
        {"?", "ab", false},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*?a?", "aaab", true},
        {"*?b", "xbab", true},
        {"*a*a*a*b", "aaaaaaaaaaaa", false},
        {"abc", "abc", true},
        {"abc", "abcd", false},
        // All files, also those without a dot.
        {"*.*", "README", true},
        {"*.*", "a.b", true},
        {"*.*", "", true},
        // "?" is one character of UTF-8 text.
        {"?", "中", true},
        {"??", "中文", true},
        {"?", "中文", false},
        {"?.doc", "文.doc", true},
        {"*文*", "中文.doc", true},
        {"中?", "中文", true},
        {"*?", "é", true},
        {"??", "é", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchWildcardPattern(c.pattern, c.text), c.match) << c.pattern << " / " << c.text;
}

TEST(Wildcards, EmptyPatternRaises) {
    try {
        MatchWildcardPattern("", "abc");
        FAIL() << "no error";
    } catch (const EXcuError& e) {
        EXPECT_EQ(e.Message, SXcEmptySearchPattern);
        EXPECT_EQ(e.Message, "搜索字串不能为空");
    }
}

TEST(Wildcards, StartIndex) {
    EXPECT_TRUE(MatchWildcardPattern("c*", "abcd", 3));
    EXPECT_FALSE(MatchWildcardPattern("a*", "abcd", 2));
    EXPECT_TRUE(MatchWildcardPattern("a*", "abcd", 0));  // below 1 counts as 1
    EXPECT_TRUE(MatchWildcardPattern("a*", "abcd", -7));
    // Past the end: an empty rest.
    EXPECT_FALSE(MatchWildcardPattern("?", "abcd", 5));
    EXPECT_FALSE(MatchWildcardPattern("d", "abcd", 99));
    EXPECT_TRUE(MatchWildcardPattern("*", "abcd", 99));
    EXPECT_TRUE(MatchWildcardPattern("d", "abcd", 4));
}

TEST(Strings, SplitKeepsOrDropsEmptyPieces) {
    TStringList l;
    SplitToStrings("a;;b;", ";", l, false);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "b"}));
    SplitToStrings("a;;b;", ";", l, true);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "", "b"}));
    SplitToStrings(";a", ";", l, true);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"", "a"}));
    SplitToStrings("*.doc<>*.rtf", "<>", l, false);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"*.doc", "*.rtf"}));
    SplitToStrings("", ";", l, true);
    EXPECT_EQ(l.Count(), 0);
}

TEST(Strings, SplitReportsOneChangeForTheWhole) {
    const struct {
        const char *text, *sep;
        bool allowEmpty;
        int pieces;
    } rows[] = {
        {"*.doc;*.rtf;*.txt", ";", false, 3},
        {"a;;b;", ";", true, 3},
        {"", ";", true, 0},  // emptying an empty list is still one report at most
        {"one", "", false, 1},
    };
    for (const auto& r : rows) {
        TStringList l;
        l.Add("old");
        int changes = 0;
        l.OnChange = [&] { ++changes; };
        SplitToStrings(r.text, r.sep, l, r.allowEmpty);
        EXPECT_EQ(l.Count(), r.pieces) << r.text;
        EXPECT_EQ(changes, 1) << r.text;
        EXPECT_EQ(l.UpdateCount(), 0) << r.text;
    }
}

TEST(Strings, SplitOnEmptySeparatorGivesTheWhole) {
    TStringList l;
    l.Add("old");
    SplitToStrings("a;b", "", l, true);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a;b"}));
    SplitToStrings("", "", l, true);
    EXPECT_EQ(l.Count(), 0);
}

TEST(Strings, LeftCharsKeepsWholeCharacters) {
    EXPECT_EQ(LeftChars("abcdef", 3), "abc");
    EXPECT_EQ(LeftChars("ab", 5), "ab");
    EXPECT_EQ(LeftChars("ab", 0), "");
    EXPECT_EQ(LeftChars("ab", -1), "");
    EXPECT_EQ(LeftChars("中文字", 2), "中文");
}

TEST(Versions, ShellTakesTheModernBranches) {
    EXPECT_EQ(GetShellVersion(), ShellVersion(6, 0));
    EXPECT_GE(GetShellVersion(), 0x00040047u);  // 4.71
    EXPECT_GE(GetShellVersion(), ShellVersion(5, 0));
    EXPECT_EQ(GetShellVersion(), GetShellVersion());
}

// The shell's version is kept once read; until then every call reads again. Run in a fresh
// process, so no earlier test has read it yet.
TEST(Versions, ShellVersionIsReadAgainUntilItIsKnown) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            std::string failed;
            auto expect = [&](DWORD got, DWORD want, const char* what) {
                if (got != want) failed += std::string(what) + "; ";
            };
            RegisterModuleVersion("shell32.dll", nullptr);
            expect(GetShellVersion(), 0, "no record gives 0");
            expect(GetShellVersion(), 0, "and 0 again");
            VS_FIXEDFILEINFO v{};
            v.dwSignature = VS_FFI_SIGNATURE;
            v.dwFileVersionMS = ShellVersion(5, 0);
            RegisterModuleVersion("shell32.dll", &v);
            expect(GetShellVersion(), ShellVersion(5, 0), "read once there is a record");
            v.dwFileVersionMS = ShellVersion(6, 0);
            RegisterModuleVersion("shell32.dll", &v);
            expect(GetShellVersion(), ShellVersion(5, 0), "kept after the first read");
            RegisterModuleVersion("shell32.dll", nullptr);
            expect(GetShellVersion(), ShellVersion(5, 0), "kept when the record goes");
            if (!failed.empty()) {
                fprintf(stderr, "%s\n", failed.c_str());
                std::exit(1);
            }
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(Versions, Shell32RecordIsRead) {
    EXPECT_EQ(GetFileVersion("shell32.dll"), ShellVersion(6, 0));
    TVSFixedFileInfo info{};
    ASSERT_TRUE(ReadFixedFileInfo("Shell32.dll", info));
    EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(info.dwFileVersionMS, ShellVersion(6, 0));
    EXPECT_NE(info.dwFileVersionLS, 0u);
    // A library without a record gives none, and nothing stale is left.
    EXPECT_FALSE(ReadFixedFileInfo("nosuchlibrary.dll", info));
    EXPECT_EQ(info.dwFileVersionMS, 0u);
}

TEST(Versions, FilesCarryNoVersionResource) {
    EXPECT_EQ(GetFileVersion("/bin/sh"), 0u);
    TVSFixedFileInfo info;
    info.dwSignature = 123;
    EXPECT_FALSE(ReadFixedFileInfo("/bin/sh", info));
    EXPECT_EQ(info.dwSignature, 0u);
    EXPECT_FALSE(GetModulePath(nullptr).size() > 260);
}

TEST(Dates, DosStamps) {
    EXPECT_EQ(DateTimeToDosStamp(EncodeDateTime(1980, 1, 1, 0, 0, 0, 0)), int(0x00210000));
    const int s = DateTimeToDosStamp(EncodeDateTime(2024, 2, 29, 13, 45, 31, 0));
    EXPECT_EQ(unsigned(s) >> 16, unsigned((2024 - 1980) << 9 | 2 << 5 | 29));
    EXPECT_EQ(unsigned(s) & 0xFFFF, unsigned(13 << 11 | 45 << 5 | 15));
    EXPECT_DOUBLE_EQ(DosStampToDateTime(s), EncodeDateTime(2024, 2, 29, 13, 45, 30, 0));
    EXPECT_EQ(DateTimeToDosStamp(EncodeDateTime(1979, 12, 31, 23, 59, 59, 0)), 0);
    EXPECT_EQ(DateTimeToDosStamp(EncodeDateTime(2108, 1, 1, 0, 0, 0, 0)), 0);
    EXPECT_LT(DosStampToDateTime(0), 0);
}

TEST(Paths, MinimizeKeepsTheLastPart) {
    auto width = [](const std::string& s) { return int(s.size()); };  // one pixel per byte
    const std::string path = "/home/user/documents/reports/annual.pdf";
    EXPECT_EQ(MinimizePathName(path, width, 100), path);
    const std::string r = MinimizePathName(path, width, 25);
    EXPECT_LE(r.size(), 25u);
    EXPECT_NE(r.find("..."), std::string::npos);
    EXPECT_TRUE(EndsStr("/annual.pdf", r)) << r;
    EXPECT_TRUE(StartsStr("/home", r)) << r;
    // Narrower than the last part: its start is kept.
    const std::string tight = MinimizePathName(path, width, 8);
    EXPECT_LE(tight.size(), 8u);
    EXPECT_TRUE(StartsStr("...", tight)) << tight;
    EXPECT_EQ(MinimizePathName(path, width, 0), "");
    // Never cuts inside a character.
    const std::string cjk = "/文件夹/子文件夹/报告.pdf";
    for (int w = 0; w < int(cjk.size()); ++w) {
        const std::string m = MinimizePathName(cjk, width, w);
        EXPECT_LE(int(m.size()), w);
        for (size_t i = 0; i < m.size(); ++i)
            if ((uint8_t(m[i]) & 0xC0) == 0x80) {
                ASSERT_GT(i, 0u);
            }
        if (!m.empty()) {
            EXPECT_NE(uint8_t(m.back()) & 0xC0, 0xC0);
        }
    }
}

TEST(Icons, ScreenColours) {
    EXPECT_EQ(IconScreenColours(1), 2);
    EXPECT_EQ(IconScreenColours(4), 16);
    EXPECT_EQ(IconScreenColours(8), 256);
    EXPECT_EQ(IconScreenColours(16), 0);
    EXPECT_EQ(IconScreenColours(24), 0);
    EXPECT_EQ(IconScreenColours(32), 0);
}

TEST(Icons, EntryChoice) {
    auto e = [](uint16_t c) {
        TIconDirEntry d;
        d.ColourCount = c;
        return d;
    };
    EXPECT_EQ(ChooseIconEntry({e(2), e(16), e(256)}, 16), 1u);
    // No exact count: the richest the screen can show, never one with more colours.
    EXPECT_EQ(ChooseIconEntry({e(256), e(2), e(16)}, 8), 1u);
    EXPECT_EQ(ChooseIconEntry({e(256), e(2), e(4), e(8), e(4)}, 16), 3u);
    EXPECT_EQ(ChooseIconEntry({e(2), e(256)}, 16), 0u);
    // A true-colour screen takes the image stored with more than 256 colours.
    EXPECT_EQ(ChooseIconEntry({e(16), e(0), e(256)}, IconScreenColours(32)), 1u);
    // All above the screen's: entry 0.
    EXPECT_EQ(ChooseIconEntry({e(256), e(16)}, 2), 0u);
}

namespace {

// An icon file with one 4 x 4, 4-bit image whose colour table has `colorsUsed` entries
// (0: all 16).
std::vector<uint8_t> IconFile(uint32_t sizeField = 0, uint32_t colorsUsed = 0) {
    auto put16 = [](std::vector<uint8_t>& v, uint16_t x) {
        v.push_back(uint8_t(x));
        v.push_back(uint8_t(x >> 8));
    };
    auto put32 = [&](std::vector<uint8_t>& v, uint32_t x) {
        put16(v, uint16_t(x));
        put16(v, uint16_t(x >> 16));
    };
    std::vector<uint8_t> img;
    put32(img, 40);
    put32(img, 4);
    put32(img, 8);
    put16(img, 1);
    put16(img, 4);
    for (int i = 0; i < 4; ++i) put32(img, 0);
    put32(img, colorsUsed);
    put32(img, 0);
    for (uint32_t i = 0; i < (colorsUsed ? colorsUsed : 16); ++i)
        put32(img, i * 0x010101);                                       // palette
    for (int i = 0; i < 4; ++i) put32(img, 0x01234567u + uint32_t(i));  // colour rows
    for (int i = 0; i < 4; ++i) put32(img, 0xF0u);                      // mask rows
    std::vector<uint8_t> f;
    put16(f, 0);
    put16(f, 1);
    put16(f, 1);
    f.push_back(4);
    f.push_back(4);
    put16(f, 16);
    put16(f, 1);
    put16(f, 4);
    put32(f, sizeField ? sizeField : uint32_t(img.size()));
    put32(f, 22);
    f.insert(f.end(), img.begin(), img.end());
    return f;
}

}  // namespace

TEST(Icons, LoadImageFromStream) {
    const std::vector<uint8_t> file = IconFile();
    TMemoryStream s;
    s.WriteBuffer(file.data(), int64_t(file.size()));
    s.SetPosition(6);
    const TIconImage img = LoadIconImageFromStream(s, 1, 6, 32);
    EXPECT_EQ(img.Width, 4);
    EXPECT_EQ(img.Height, 4);
    EXPECT_EQ(img.BitCount, 4);
    ASSERT_EQ(img.Palette.size(), 16u);
    EXPECT_EQ(img.Palette[2], 0x020202u);
    ASSERT_EQ(img.Colour.size(), 16u);
    EXPECT_EQ(img.Colour[0], 0x67);
    ASSERT_EQ(img.Mask.size(), 16u);
    EXPECT_EQ(img.Mask[0], 0xF0);
}

// A colour table shorter than the depth allows is read as stored: the pixels follow it, and
// the colours it leaves out are black.
TEST(Icons, ShortColourTablesAreReadAsStored) {
    const std::vector<uint8_t> file = IconFile(0, 3);
    TMemoryStream s;
    s.WriteBuffer(file.data(), int64_t(file.size()));
    s.SetPosition(6);
    const TIconImage img = LoadIconImageFromStream(s, 1, 6, 32);
    ASSERT_EQ(img.Palette.size(), 16u);
    EXPECT_EQ(img.Palette[2], 0x020202u);
    EXPECT_EQ(img.Palette[3], 0u);
    ASSERT_EQ(img.Colour.size(), 16u);
    EXPECT_EQ(img.Colour[0], 0x67);
    ASSERT_EQ(img.Mask.size(), 16u);
    EXPECT_EQ(img.Mask[0], 0xF0);
}

TEST(Icons, DamagedIconsRaise) {
    for (uint32_t size : {10u, 60u, 200000u}) {
        const std::vector<uint8_t> file = IconFile(size);
        TMemoryStream s;
        s.WriteBuffer(file.data(), int64_t(file.size()));
        s.SetPosition(6);
        EXPECT_THROW(LoadIconImageFromStream(s, 1, 6, 32), EXCLException) << size;
    }
    std::vector<uint8_t> cut = IconFile();
    cut.resize(cut.size() - 5);
    TMemoryStream s;
    s.WriteBuffer(cut.data(), int64_t(cut.size()));
    s.SetPosition(6);
    EXPECT_THROW(LoadIconImageFromStream(s, 1, 6, 32), EXCLException);
    s.SetPosition(6);
    EXPECT_THROW(LoadIconImageFromStream(s, 0, 6, 32), EXCLException);
}

TEST(Memory, ZeroedBlocksAndComparison) {
    EXPECT_EQ(AllocZeroedMemory(0), nullptr);
    EXPECT_EQ(AllocZeroedMemory(-5), nullptr);
    void* p = AllocZeroedMemory(37);
    ASSERT_NE(p, nullptr);
    const std::vector<uint8_t> zeros(37, 0);
    EXPECT_TRUE(CompareMem(p, zeros.data(), 37));
    CopyMemoryBytes(OffsetPointer(p, 30), "abcdefg", 7);
    EXPECT_TRUE(CompareMem(OffsetPointer(p, 30), "abcdefg", 7));
    EXPECT_FALSE(CompareMem(OffsetPointer(p, 30), "abcdefX", 7));
    EXPECT_FALSE(CompareMem(OffsetPointer(p, 29), "\0abcdeX", 7));
    EXPECT_TRUE(CompareMem(p, "x", 0));
    FreeZeroedMemory(p);
    EXPECT_EQ(p, nullptr);
    FreeZeroedMemory(p);  // freeing nil does nothing
}

TEST(Exceptions, LayerClassesAreExceptions) {
    EXPECT_THROW(throw EXCLException("x"), Exception);
    EXPECT_THROW(throw EXcuError("y"), Exception);
}
