// System version, the helper program, associations.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "engine/util.h"
#include "tests/engine/fixture.h"

namespace {

using vxtest::EngineTest;

struct VersionCase {
    unsigned platform, major, minor, build;
    std::string sp;
    int code;
    std::string text;
};

TEST(WindowsVersion, Classification) {
    const VersionCase cases[] = {
        {1, 4, 0, 950, "", wvWin95, "Version 4.0, Build 950, "},
        {1, 4, 0, 0x04000457, " C", wvWin95, "Version 4.0, Build 1111,  C"},
        {1, 4, 0, 1111, " B ", wvWin95OSR2, "Version 4.0, Build 1111,  B "},
        {1, 4, 10, 1998, " ", wvWin98, "Version 4.10, Build 1998,  "},
        {1, 4, 10, 0x040A08AE, " A ", wvWin98SE, "Version 4.10, Build 2222,  A "},
        {1, 4, 90, 0x045A0BB8, " ", wvWinME, "Version 4.90, Build 3000,  "},
        {1, 4, 90, 3000, "", wvUnknown, "Version 4.90, Build 3000, "},
        {1, 4, 20, 1, "", wvUnknown, "Version 4.20, Build 1, "},
        {2, 3, 51, 1057, "Service Pack 5", wvWinNT3, "Version 3.51, Build 1057, Service Pack 5"},
        {2, 4, 0, 1381, "Service Pack 6", wvWinNT4, "Version 4.0, Build 1381, Service Pack 6"},
        {2, 5, 0, 2195, "Service Pack 4", wvWin2000, "Version 5.0, Build 2195, Service Pack 4"},
        {2, 5, 1, 2600, "Service Pack 2", wvWinXP, "Version 5.1, Build 2600, Service Pack 2"},
        {2, 5, 2, 3790, "", wvWin2003, "Version 5.2, Build 3790, "},
        {2, 6, 1, 7601, "Service Pack 1", wvUnknown, "Version 6.1, Build 7601, Service Pack 1"},
        {0, 3, 10, 5, "x", wvUnknown, "Version 3.10, Build "},
        {3, 6, 8, 0, "Debian GNU/Linux", wvLinux, "Version 6.8, Build 0, Debian GNU/Linux"},
    };
    for (const auto& c : cases) {
        std::string text = "stale";
        EXPECT_EQ(ClassifyWindowsVersion(c.platform, c.major, c.minor, c.build, c.sp, text), c.code)
            << c.text;
        EXPECT_EQ(text, c.text);
    }
}

TEST(WindowsVersion, Names) {
    EXPECT_STREQ(WindowsVersionNames[wvUnknown], "Unbekannt");
    EXPECT_STREQ(WindowsVersionNames[wvWin95OSR2], "Win95OSR2");
    EXPECT_STREQ(WindowsVersionNames[wvWin98SE], "Win98SE");
    EXPECT_STREQ(WindowsVersionNames[wvWinME], "WinME");
    EXPECT_STREQ(WindowsVersionNames[wvWin2003], "Win2003");
    EXPECT_STREQ(WindowsVersionNames[wvLinux], "Linux");
}

class SystemVersion : public EngineTest {};

TEST_F(SystemVersion, ThisSystemAnswersLinux) {
    std::string text;
    EXPECT_EQ(GetWindowsVersion(text), wvLinux);
    EXPECT_EQ(text.rfind("Version ", 0), 0u) << text;
    EXPECT_NE(text.find(", Build "), std::string::npos) << text;
}

// ---------------------------------------------------------------- RunHelper

class Helper : public EngineTest {};

TEST_F(Helper, MissingProgramShowsTheMessage) {
    RunHelper("/tmp/x.ps", "EXCEL.EXE");
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "在开始 enumWindows 时处理!");
    EXPECT_EQ(Messages()[0].kind, mkInformation);
    EXPECT_FALSE(Messages()[0].autoClose);

    State().FBatchMode = true;
    RunHelper("/tmp/x.ps", "MSACCESS.EXE");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_TRUE(Messages()[1].autoClose);
}

TEST_F(Helper, StartsTheProgramWithBothArgumentsIntact) {
    // The program folder has blanks and Chinese in it; "touch" stands in for the helper
    // and makes one file per argument it receives.
    const char* touch = access("/usr/bin/touch", X_OK) == 0 ? "/usr/bin/touch" : "/bin/touch";
    ASSERT_TRUE(ForceDirectories(AppPath() + "additional"));
    ASSERT_EQ(symlink(touch, (AppPath() + "additional/enumWindows.exe").c_str()), 0);
    const std::string out = AppPath() + "out $x \"q\" 文件\\/";
    ASSERT_TRUE(ForceDirectories(out));
    const std::string ps = out + "print \"job\" $HOME; a.ps";
    const std::string exe = out + "EXCEL.EXE\\";
    RunHelper(ps, exe);
    EXPECT_TRUE(Messages().empty());
    // It is not waited for: give it time to run.
    for (int i = 0; i < 3000 && !(FileExists(ps) && FileExists(exe)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(FileExists(ps));
    EXPECT_TRUE(FileExists(exe));
    int entries = 0;
    TSearchRec rec;
    for (int r = FindFirst(out + "*", faAnyFile, rec); r == 0; r = FindNext(rec)) ++entries;
    FindClose(rec);
    EXPECT_EQ(entries, 2);  // no argument was split into more
}

TEST_F(Helper, NoAssociationForAMissingFile) {
    EXPECT_FALSE(HasAssociatedProgram(AppPath() + "missing.pdf"));
}

}  // namespace

// ---------------------------------------------------------------- SwitchDefaultPrinter

#include "platform/win/printers.h"

namespace {

std::string DefaultPrinter() {
    char buf[512];
    DWORD size = sizeof(buf);
    return GetDefaultPrinterA(buf, &size) ? std::string(buf) : std::string();
}

class DefaultPrinterSwitch : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPrinters();
        InstallPrinter({"办公室 Laser \"2\"", "LPT1:", "Laser", ""});
    }
    void TearDown() override { ResetPrinters(); }
};

TEST_F(DefaultPrinterSwitch, SwitchesAndSwitchesBack) {
    ASSERT_EQ(DefaultPrinter(), kPostScriptPrinter);
    SwitchDefaultPrinter("办公室 Laser \"2\"");
    EXPECT_EQ(DefaultPrinter(), "办公室 Laser \"2\"");
    SwitchDefaultPrinter(kPostScriptPrinter);
    EXPECT_EQ(DefaultPrinter(), kPostScriptPrinter);
}

TEST_F(DefaultPrinterSwitch, UnknownPrinterRaisesTheSystemError) {
    try {
        SwitchDefaultPrinter("No Such Printer");
        FAIL() << "no exception";
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, ERROR_INVALID_PRINTER_NAME);
        EXPECT_NE(e.Message.find("1801"), std::string::npos) << e.Message;
    }
    EXPECT_EQ(DefaultPrinter(), kPostScriptPrinter);
}

}  // namespace
