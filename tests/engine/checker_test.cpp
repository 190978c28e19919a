// The environment checks: office versions from the registry, Ghostscript, the PostScript
// printer and its port, the PDF viewer.
#include "engine/checker.h"
#include "platform/win/printers.h"
#include "platform/win/registry.h"
#include "tests/engine/fixture.h"

using vxtest::EngineTest;
using vxtest::ReadFile;
using vxtest::WriteFile;

namespace {

class CheckerTest : public EngineTest {
protected:
    void SetCurVer(const std::string& app, const std::string& value) {
        RegistrySetValue(HKEY_CLASSES_ROOT, app + ".Application\\CurVer", "", value);
        keys.push_back(app + ".Application");
    }
    void TearDown() override {
        for (auto& k : keys) RegistryDeleteKey(HKEY_CLASSES_ROOT, k);
        ResetPrinters();
        EngineTest::TearDown();
    }
    std::vector<std::string> keys;
};

}  // namespace

TEST_F(CheckerTest, OfficeVersionsFromTheRegisteredValue) {
    SetCurVer("Word", "Word.Application.11");
    SetCurVer("Excel", "Excel.Application.8");
    SetCurVer("Access", "Access.Application.8");
    EXPECT_EQ(OfficeVersion("Word"), 11);
    EXPECT_EQ(OfficeVersion("Excel"), 8);
    EXPECT_TRUE(CheckOffice("Word", true));
    EXPECT_TRUE(CheckOffice("Excel", true));
    EXPECT_TRUE(Messages().empty());
    // Access needs 2000 (9) or later.
    EXPECT_FALSE(CheckOffice("Access", true));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text,
              "不是 Microsoft Access 2000 或更高版本在你的系统中! "
              "\n\n这是进行转换所必须的功能。\n\n请安装或选择其他的转换功能。");
    EXPECT_EQ(Messages()[0].kind, mkInformation);
}

TEST_F(CheckerTest, OldMissingAndUnreadableVersions) {
    SetCurVer("PowerPoint", "PowerPoint.Application.7");
    EXPECT_FALSE(CheckOffice("PowerPoint", true));
    EXPECT_NE(Messages().back().text.find("不是 Microsoft PowerPoint 97 或更高版本在你的系统中! "),
              std::string::npos);
    // A value without a version number: logged, and the version message.
    SetCurVer("Word", "Word.Application");
    EXPECT_FALSE(CheckOffice("Word", true));
    EXPECT_NE(Messages().back().text.find("不是 Microsoft Word 97 或更高版本"), std::string::npos);
    EXPECT_EQ(OfficeVersion("Word"), -1);
    EXPECT_NE(ReadFile(State().FLogDir + "info.log").find("ErrorMessage"), std::string::npos);
    // Nothing registered at all, shown only when asked.
    size_t shown = Messages().size();
    EXPECT_FALSE(CheckOffice("Nothing", false));
    EXPECT_EQ(Messages().size(), shown);
    EXPECT_FALSE(CheckOffice("Nothing", true));
    EXPECT_EQ(Messages().back().text.rfind("不是 Microsoft Nothing系统! \n\n", 0), 0u);
}

TEST_F(CheckerTest, GhostscriptNeedsTheValueAndTheProgram) {
    // The registry value exists only when the console program sits beside the program,
    // so both failure cases come from the program folder and FGsExe.
    State().FGsExe = AppPath() + "gs/gswin32c.exe";
    EXPECT_FALSE(CheckGhostscript(true));
    ASSERT_FALSE(Messages().empty());
    EXPECT_NE(Messages().back().text.find("在你的系统中没有免费 \"GhostScript 8.51\" ! "),
              std::string::npos);
    EXPECT_NE(Messages().back().text.find(kProductAddress), std::string::npos);
    RegistrySetValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\AFPL Ghostscript\\8.51", "GS_DLL",
                     "/somewhere/gsdll32.dll");
    EXPECT_FALSE(CheckGhostscript(false));  // value set, program missing
    std::filesystem::create_directories(AppPath() + "gs");
    WriteFile(AppPath() + "gs/gswin32c.exe", "");
    EXPECT_TRUE(CheckGhostscript(false));
    RegistryDeleteKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\AFPL Ghostscript");
}

TEST_F(CheckerTest, PrinterByPrefixAndThePortIsOnlyReported) {
    ResetPrinters();
    UninstallPrinter("Generic Colour PostScript");
    EXPECT_FALSE(CheckPrinter(true, false));
    EXPECT_NE(
        Messages().back().text.find("Postscript 驱动程序(打印机 \"Generic Colour PostScript\")! "),
        std::string::npos);
    InstallPrinter(PrinterEntry{"Generic Colour PostScript on LPT1", "LPT1:", "PS", ""});
    size_t before = Messages().size();
    EXPECT_TRUE(CheckPrinter(true, false));  // no port test: no message
    EXPECT_EQ(Messages().size(), before);
    EXPECT_TRUE(CheckPrinter(true, true));  // another port: reported, not refused
    ASSERT_EQ(Messages().size(), before + 1);
    EXPECT_NE(Messages().back().text.find("不是 \"文件:\"! "), std::string::npos);
    EXPECT_TRUE(CheckPrinter(false, true));
    EXPECT_EQ(Messages().size(), before + 1);
    ResetPrinters();
    EXPECT_TRUE(CheckPrinter(true, true));  // our own printer prints to "文件:"
    EXPECT_EQ(Messages().size(), before + 1);
}

TEST_F(CheckerTest, PdfViewerFromTheAssociation) {
    RegistrySetValue(HKEY_CLASSES_ROOT, ".pdf", "", "Test.Viewer");
    RegistrySetValue(HKEY_CLASSES_ROOT, "Test.Viewer\\shell\\open\\command", "",
                     "\"viewer\" \"%1\"");
    EXPECT_TRUE(CheckPdfViewer(true));
    RegistryDeleteKey(HKEY_CLASSES_ROOT, "Test.Viewer");
    RegistrySetValue(HKEY_CLASSES_ROOT, ".pdf", "", "Test.Missing");
    EXPECT_FALSE(CheckPdfViewer(true));
    EXPECT_NE(Messages().back().text.find("在你的系统中没有免费 \"PDF-Viewer\"! "),
              std::string::npos);
    RegistryDeleteKey(HKEY_CLASSES_ROOT, ".pdf");
}
