#include <gtest/gtest.h>

#include "platform/win/shell.h"
#include "tests/win/win_support.h"

using namespace wintest;
namespace fs = std::filesystem;

namespace {

intptr_t result(HINSTANCE h) { return reinterpret_cast<intptr_t>(h); }

// A desktop of our own: PATH holds only our bin folder, where the opener and the viewer
// are the test program in child mode, writing their arguments to a log.
class DesktopOpen : public ::testing::Test {
protected:
    void SetUp() override {
        for (auto d : {"bin", "config", "data/applications", "sys", "docs"})
            fs::create_directories(t_ / d);
        env_.Set("PATH", t_ / "bin");
        env_.Set("XDG_CONFIG_HOME", t_ / "config");
        env_.Set("XDG_CONFIG_DIRS", t_ / "config-sys");
        env_.Set("XDG_DATA_HOME", t_ / "data");
        env_.Set("XDG_DATA_DIRS", t_ / "sys");
        env_.Unset("XDG_CURRENT_DESKTOP");
        env_.Set("VX_WIN_TEST_CHILD", "1");  // for the children only: we have started
        env_.Set("VX_WIN_TEST_LOG", log_);
        doc_ = t_ / "docs/a b $x `y` 'z' 中.pdf";
        WriteAll(doc_, "%PDF-1.4\n");
    }
    void installOpener() { fs::create_symlink(SelfExe(), t_ / "bin/xdg-open"); }
    void installViewer() {
        fs::create_symlink(SelfExe(), t_ / "bin/fakeviewer");
        WriteAll(t_ / "data/applications/viewer.desktop",
                 "[Desktop Entry]\nType=Application\nExec=fakeviewer --fit %U\n");
        WriteAll(t_ / "config/mimeapps.list",
                 "[Default "
                 "Applications]\napplication/pdf=viewer.desktop\nx-scheme-handler/"
                 "mailto=viewer.desktop\n");
    }
    std::vector<std::string> opened() {
        WaitUntilExists(log_);
        return Lines(log_);
    }

    TempDir t_;
    EnvOverride env_;
    std::string log_ = t_ / "opened.log";
    std::string doc_;
};

}  // namespace

TEST_F(DesktopOpen, DocumentGoesToTheOpenerAsOneArgument) {
    installOpener();
    EXPECT_GT(result(ShellExecuteA(nullptr, "open", doc_.c_str(), "", "C:\\", SW_SHOWMAXIMIZED)),
              32);
    EXPECT_EQ(opened(), std::vector<std::string>{doc_});
}

TEST_F(DesktopOpen, RelativeNamesComeFromTheFolder) {
    installOpener();
    EXPECT_GT(result(ShellExecuteA(nullptr, nullptr, "a b $x `y` 'z' 中.pdf", nullptr,
                                   (t_ / "docs").c_str(), SW_SHOWNORMAL)),
              32);
    EXPECT_EQ(opened(), std::vector<std::string>{doc_});
}

TEST_F(DesktopOpen, AddressesAreOpenedAsTheyAre) {
    installOpener();
    std::string mail = "mailto:support@example.org?subject=Support-Question";
    EXPECT_GT(
        result(ShellExecuteA(nullptr, nullptr, mail.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_EQ(opened(), std::vector<std::string>{mail});
}

TEST_F(DesktopOpen, MissingFileAndUnknownVerb) {
    installOpener();
    EXPECT_EQ(
        result(ShellExecuteA(nullptr, "open", (t_ / "docs/none.pdf").c_str(), "", nullptr, 1)),
        SE_ERR_FNF);
    EXPECT_EQ(result(ShellExecuteA(nullptr, "open", "", "", nullptr, 1)), SE_ERR_FNF);
    EXPECT_EQ(result(ShellExecuteA(nullptr, "printto", doc_.c_str(), "", nullptr, 1)),
              SE_ERR_NOASSOC);
    EXPECT_FALSE(Exists(log_));
}

TEST_F(DesktopOpen, WithoutAnOpenerTheAssociatedViewerIsStarted) {
    installViewer();
    EXPECT_GT(result(ShellExecuteA(nullptr, "open", doc_.c_str(), "", nullptr, SW_SHOWMAXIMIZED)),
              32);
    EXPECT_EQ(opened(), (std::vector<std::string>{"--fit", doc_}));
}

TEST_F(DesktopOpen, WithoutOpenerOrAssociationNothingHappens) {
    EXPECT_EQ(result(ShellExecuteA(nullptr, "open", doc_.c_str(), "", nullptr, 1)), SE_ERR_NOASSOC);
    EXPECT_EQ(result(ShellExecuteA(nullptr, nullptr, "https://example.org", nullptr, nullptr, 10)),
              SE_ERR_NOASSOC);
}

TEST_F(DesktopOpen, FindExecutableNamesTheViewer) {
    char buf[MAX_PATH] = "garbage";
    EXPECT_EQ(result(FindExecutableA(doc_.c_str(), "", buf)), SE_ERR_NOASSOC);
    EXPECT_STREQ(buf, "");
    installViewer();
    EXPECT_GT(result(FindExecutableA(doc_.c_str(), "", buf)), 32);
    EXPECT_EQ(std::string(buf), t_ / "bin/fakeviewer");
    EXPECT_EQ(result(FindExecutableA((t_ / "docs/none.pdf").c_str(), "", buf)), SE_ERR_FNF);
    WriteAll(t_ / "docs/x.unknownext", "");
    EXPECT_EQ(result(FindExecutableA((t_ / "docs/x.unknownext").c_str(), "", buf)), SE_ERR_NOASSOC);
}

TEST_F(DesktopOpen, UpperCaseExtensionsHaveTheSameType) {
    installViewer();
    WriteAll(t_ / "docs/R.PDF", "");
    char buf[MAX_PATH];
    EXPECT_GT(result(FindExecutableA((t_ / "docs/R.PDF").c_str(), nullptr, buf)), 32);
}
