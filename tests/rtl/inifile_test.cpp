// Ini files with the Windows profile semantics the settings rely on.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "platform/rtl/inifiles.h"

namespace {
std::string TempIni(const std::string& text) {
    char tmpl[] = "/tmp/vx-ini-XXXXXX";
    int fd = mkstemp(tmpl);
    close(fd);
    WriteFileText(tmpl, text);
    return tmpl;
}
}  // namespace

TEST(IniFile, ReadsWithDefaultsHexAndCaseInsensitiveNames) {
    std::string f = TempIni(
        "[common]\nlast_converting_function = "
        "0x0A\nAUTO_SHOW=1\nBAD=12abc\nQ=\"quoted\"\nEMPTY=\n");
    TIniFile ini(f);
    EXPECT_EQ(ini.ReadInteger("COMMON", "LAST_CONVERTING_FUNCTION", 0), 10);
    EXPECT_TRUE(ini.ReadBool("COMMON", "auto_show", false));
    EXPECT_EQ(ini.ReadInteger("COMMON", "BAD", 7), 7);
    EXPECT_EQ(ini.ReadInteger("COMMON", "EMPTY", 3), 3);
    EXPECT_EQ(ini.ReadInteger("COMMON", "MISSING", -1), -1);
    EXPECT_EQ(ini.ReadString("COMMON", "Q", ""), "quoted");
    EXPECT_EQ(ini.ReadString("NOSECTION", "Q", "def"), "def");
    EXPECT_TRUE(ini.ReadBool("COMMON", "MISSING", true));
    std::filesystem::remove(f);
}

TEST(IniFile, MissingFileGivesDefaultsAndWritesCreateIt) {
    std::string f = "/tmp/vx-ini-missing-" + std::to_string(getpid()) + ".ini";
    std::filesystem::remove(f);
    TIniFile ini(f);
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
    ini.WriteBool("COMMON", "AUTO_SHOW", false);
    ini.WriteString("COMMON", "LAST_FILE", "/a b/c.pdf");
    ini.WriteInteger("PDF2JPG", "RADIOBUTTON_RESOLUTION72", 1);
    ini.WriteString("COMMON", "AUTO_SHOW", "1");  // replaces in place
    EXPECT_EQ(
        ReadFileText(f),
        "[COMMON]\nAUTO_SHOW=1\nLAST_FILE=/a b/c.pdf\n\n[PDF2JPG]\nRADIOBUTTON_RESOLUTION72=1\n");
    std::filesystem::remove(f);
}

TEST(IniFile, UnwritableFileRaises) {
    TIniFile ini("/nonexistent-folder-vx/config.ini");
    EXPECT_THROW(ini.WriteString("A", "B", "C"), EIniFileException);
    EXPECT_EQ(ini.ReadString("A", "B", "x"), "x");
}

TEST(IniFile, SectionsAndKeys) {
    std::string f = TempIni("[A]\nx=1\ny=2\n\n[B]\nz=3\n");
    TIniFile ini(f);
    TStringList keys;
    ini.ReadSection("a", keys);
    EXPECT_EQ(keys.Text(), "x\ny\n");
    ini.DeleteKey("A", "x");
    EXPECT_FALSE(ini.ValueExists("A", "x"));
    ini.EraseSection("B");
    EXPECT_FALSE(ini.SectionExists("B"));
    EXPECT_TRUE(ini.SectionExists("A"));
    std::filesystem::remove(f);
}
