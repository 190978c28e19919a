// The application object: pattern bitmap, log-file name, theme state and its broadcast
// (with a stand-in theme library), the one-per-form check and the instance mutex as
// another process sees it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "controls/styled/styApplication.h"
#include "controls/styled/styThemeLoader.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/process.h"

namespace {

TEST(StyApplication, PatternBitmapIsCachedPerColour) {
    TBitmap* p = StyApp->GetPatternBitmap(clRed);
    ASSERT_EQ(p->Width(), 8);
    ASSERT_EQ(p->Height(), 8);
    EXPECT_EQ(p->Canvas()->Pixel(0, 0), clWhite);
    EXPECT_EQ(p->Canvas()->Pixel(1, 0), clRed);
    EXPECT_EQ(p->Canvas()->Pixel(0, 1), clRed);
    EXPECT_EQ(p->Canvas()->Pixel(7, 7), clWhite);
    p->Canvas()->SetPixel(0, 0, clBlack);  // a marker: a second call must not redraw
    EXPECT_EQ(StyApp->GetPatternBitmap(clRed), p);
    EXPECT_EQ(p->Canvas()->Pixel(0, 0), clBlack);
    TBitmap* q = StyApp->GetPatternBitmap(clBlue);
    EXPECT_EQ(q, p);
    EXPECT_EQ(q->Canvas()->Pixel(1, 0), clBlue);
    p->Canvas()->SetPixel(0, 0, clWhite);
}

TEST(StyApplication, LogFileNameAndDefaults) {
    std::string program = ModuleFileName();
    EXPECT_EQ(StyApp->LogFile(), ChangeFileExt(program, ".LOG"));
    StyApp->SetLogFileName("trace");
    EXPECT_EQ(StyApp->LogFile(), ExtractFilePath(program) + "trace.LOG");
    StyApp->LogPrefix = ppFixed;
    StyApp->SetLogFileName("/tmp/x.txt");
    EXPECT_EQ(StyApp->LogFile(), "/tmp/x.txt");
    StyApp->LogPrefix = ppProgram;
    StyApp->SetLogFileName("");
    EXPECT_EQ(StyApp->IniCtrl()->MaxEntries(), 16);
    EXPECT_EQ(StyApp->PaletteOption, 1);
    EXPECT_EQ(StyApp->CheckWidth(), 13);  // the classic 52 x 39 check-box bitmap in 4 x 3 cells
    EXPECT_EQ(StyApp->CheckHeight(), 13);
    EXPECT_EQ(StyApp->TimerPool()->MinInterval(), 50);
    StyApp->TimerPool()->SetMinInterval(10);  // only while loading
    EXPECT_EQ(StyApp->TimerPool()->MinInterval(), 50);
}

TEST(StyApplication, WithoutThemeLibraryThemesStayOff) {
    EXPECT_FALSE(StyThemesActive());
    StyApp->RefreshThemeFlag();
    StyApp->SetThemeMode(true);
    EXPECT_FALSE(StyApp->ThemeMode());
    EXPECT_FALSE(StyApp->UseThemes());
}

// A stand-in visual-styles library whose theme can be switched on.
BOOL g_themeActive = 0;
std::vector<DWORD> g_appProperties;
BOOL FakeIsThemeActive() { return g_themeActive; }
void FakeSetThemeAppProperties(DWORD flags) { g_appProperties.push_back(flags); }

// Counts the layer's theme message and the system's one.
class TThemeProbe : public TButton {
public:
    using TButton::TButton;
    int layer = 0, system = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == CM_STYTHEMECHANGED) ++layer;
        if (m.Msg == WM_THEMECHANGED) ++system;
        TButton::Dispatch(m);
    }
};

TEST(StyApplication, ThemeSwitchReachesEveryControlOfVisibleForms) {
    RegisterModuleExport("sty-test-theme.dll", "IsThemeActive",
                         reinterpret_cast<FARPROC>(&FakeIsThemeActive));
    RegisterModuleExport("sty-test-theme.dll", "SetThemeAppProperties",
                         reinterpret_cast<FARPROC>(&FakeSetThemeAppProperties));
    FreeThemeLibrary();
    LoadThemeLibrary("sty-test-theme.dll");
    ASSERT_TRUE(ThemeLibraryLoaded);
    EXPECT_EQ(ThemeEntry(teOpenThemeData), nullptr);  // loaded, entry missing: still safe

    TForm shown(nullptr), hidden(nullptr);
    auto* panel = new TPanel(&shown);
    panel->SetParent(&shown);
    auto* inner = new TThemeProbe(&shown);
    inner->SetParent(panel);
    auto* direct = new TThemeProbe(&shown);
    direct->SetParent(&shown);
    auto* unseen = new TThemeProbe(&hidden);
    unseen->SetParent(&hidden);
    shown.Show();
    inner->HandleNeeded();

    // The application's window hears each switch before the theme properties change.
    std::vector<size_t> heardAfter;
    const int hook = Application->HookMainWindow([&](TMessage& m) {
        if (m.Msg == WM_THEMECHANGED) heardAfter.push_back(g_appProperties.size());
        return false;
    });
    g_themeActive = 1;
    StyApp->RefreshThemeFlag();
    EXPECT_TRUE(StyApp->UseThemes());
    StyApp->SetThemeMode(false);
    StyApp->SetThemeMode(true);
    StyApp->SetThemeMode(true);  // no switch, no message
    Application->UnhookMainWindow(hook);
    EXPECT_EQ(heardAfter, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(g_appProperties, (std::vector<DWORD>{0, 3}));
    EXPECT_EQ(direct->layer, 2);  // the layer's message goes to the form's own controls
    EXPECT_EQ(inner->system, 2);  // the system's one to every windowed control
    EXPECT_EQ(unseen->layer + unseen->system, 0);

    g_themeActive = 0;
    StyApp->SetThemeMode(false);
    StyApp->SetThemeMode(true);  // refused: no active theme
    EXPECT_FALSE(StyApp->ThemeMode());
    shown.Hide();
    FreeThemeLibrary();
    LoadThemeLibrary();
    StyApp->RefreshThemeFlag();
}

class TOnce : public TStyCustomComponent {
public:
    using TStyCustomComponent::TStyCustomComponent;
};

TEST(StyApplication, OneInstancePerForm) {
    TForm form(nullptr);
    EXPECT_TRUE(StyCheckOwnerInstance<TOnce>(nullptr));
    new TOnce(&form);
    EXPECT_FALSE(StyCheckOwnerInstance<TOnce>(&form));
    new TOnce(&form);
    EXPECT_TRUE(StyCheckOwnerInstance<TOnce>(&form));
    try {
        RaiseOneInstError(1, "Shape");
    } catch (const StyEOneInstError& e) {
        EXPECT_EQ(e.Message, "Shape:\rAlready one Shape control in this project!");
    }
    EXPECT_THROW(RaiseOneInstError(0, "Shape"), StyEOneInstError);
}

// Run in a second process: the first one (the test that starts it) holds the mutex.
TEST(StyInstance, ChildSeesTheMutex) {
    if (!std::getenv("VX_STY_INSTANCE_CHILD")) GTEST_SKIP() << "runs only as the second process";
    EXPECT_TRUE(StyApp->SecondInstance());
}

TEST(StyInstance, SecondProcessSeesTheInstanceMutex) {
    ASSERT_NE(StyApp->Mutex(), nullptr);
    std::string self = ModuleFileName();
    std::string cmd = "test_styled --gtest_filter=StyInstance.ChildSeesTheMutex";
    std::vector<char> env;
    for (char** e = environ; *e; ++e) env.insert(env.end(), *e, *e + std::strlen(*e) + 1);
    std::string mark = "VX_STY_INSTANCE_CHILD=1";
    env.insert(env.end(), mark.begin(), mark.end());
    env.push_back(0);
    env.push_back(0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(self.c_str(), cmd.data(), nullptr, nullptr, 0, 0, env.data(),
                               nullptr, &si, &pi));
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0)
        << "the second process did not end in 60 s";
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u) << "the second process did not find the mutex";
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

}  // namespace
