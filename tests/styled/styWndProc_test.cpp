// Window-procedure hooks on a form: several on one form, unhooked in either order, the
// form destroyed first, the theme manager passing every message on, and MDI forms (a parent
// hooked on its client window, a child unhooked as soon as its window goes).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/styled/styApplication.h"
#include "controls/styled/styWndProc.h"

namespace {

constexpr UINT kProbe = WM_USER + 77;

// Records the messages it sees and answers kProbe by adding its mark to the result.
class TRecordingHook : public TStyWndProcComponent {
public:
    TRecordingHook(TComponent* owner, std::string mark, std::vector<std::string>& log)
        : TStyWndProcComponent(owner), mark_(std::move(mark)), log_(log) {}
    void WndProc(TMessage& m) override {
        if (m.Msg == kProbe) log_.push_back(mark_);
        if (m.Msg == WM_DESTROY) log_.push_back(mark_ + " destroy");
        TStyWndProcComponent::WndProc(m);
    }

private:
    std::string mark_;
    std::vector<std::string>& log_;
};

// A form that answers the probe itself, so the test sees whether the chain reaches it.
class TProbeForm : public TForm {
public:
    using TForm::TForm;
    int answered = 0;
    void Dispatch(TMessage& m) override {
        if (m.Msg == kProbe) {
            ++answered;
            m.Result = 42;
            return;
        }
        TForm::Dispatch(m);
    }
};

struct HookCase {
    const char* name;
    bool removeFirstHookFirst;
};

class StyWndProcOrder : public ::testing::TestWithParam<HookCase> {};

TEST_P(StyWndProcOrder, TwoHooksUnhookedInEitherOrderKeepTheFormWorking) {
    std::vector<std::string> log;  // outlives the form, whose hooks log its destruction
    TProbeForm form(nullptr);
    HWND h = form.Handle();
    auto original = GetWindowProc(h);
    auto* a = new TRecordingHook(&form, "a", log);
    auto* b = new TRecordingHook(&form, "b", log);
    ASSERT_TRUE(a->HookWindow());
    ASSERT_TRUE(b->HookWindow());
    EXPECT_FALSE(a->HookWindow() && GetWindowProc(h) == original);  // hooking twice adds nothing

    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 42);
    EXPECT_EQ(log, (std::vector<std::string>{"b", "a"}));  // the last hook sees it first

    TRecordingHook* first = GetParam().removeFirstHookFirst ? a : b;
    TRecordingHook* second = first == a ? b : a;
    first->SetEnabled(false);
    EXPECT_FALSE(first->Hooked());
    log.clear();
    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 42);
    EXPECT_EQ(log, std::vector<std::string>{second == a ? "a" : "b"});

    delete second;  // destroying a hooked component gives the procedure back
    log.clear();
    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 42);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(GetWindowProc(h), original);
    EXPECT_EQ(form.answered, 3);

    // Enabled again, it hooks again.
    first->SetEnabled(true);
    log.clear();
    SendMessageA(h, kProbe, 0, 0);
    EXPECT_EQ(log, std::vector<std::string>{first == a ? "a" : "b"});
}

INSTANTIATE_TEST_SUITE_P(Orders, StyWndProcOrder,
                         ::testing::Values(HookCase{"FirstHookFirst", true},
                                           HookCase{"LastHookFirst", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StyWndProc, NoOwnerHooksNothingAndUnhookingTwiceIsHarmless) {
    TStyWndProcComponent loose(nullptr);
    EXPECT_EQ(loose.TargetWindow(), nullptr);
    EXPECT_FALSE(loose.HookWindow());
    EXPECT_TRUE(loose.UnhookWindow());
    EXPECT_TRUE(loose.UnhookWindow());
}

TEST(StyWndProc, OnlyTheCallThatHooksReportsTrue) {
    std::vector<std::string> log;
    TProbeForm form(nullptr);
    const HWND h = form.Handle();
    auto* hook = new TRecordingHook(&form, "h", log);
    ASSERT_TRUE(hook->HookWindow());
    const auto ours = GetWindowProc(h);
    // A second call hooks nothing more: the window keeps one procedure of ours.
    EXPECT_FALSE(hook->HookWindow());
    EXPECT_FALSE(hook->HookWindow());
    EXPECT_TRUE(hook->Hooked());
    EXPECT_EQ(GetWindowProc(h), ours);
    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 42);
    EXPECT_EQ(log, std::vector<std::string>{"h"});
    // Disabled, it does not hook, and says so.
    hook->SetEnabled(false);
    EXPECT_FALSE(hook->HookWindow());
    EXPECT_FALSE(hook->Hooked());
    // Unhooked while enabled, the next call hooks again.
    hook->SetEnabled(true);
    EXPECT_TRUE(hook->Hooked());
    hook->UnhookWindow();
    EXPECT_TRUE(hook->HookWindow());
    EXPECT_FALSE(hook->HookWindow());
    log.clear();
    SendMessageA(h, kProbe, 0, 0);
    EXPECT_EQ(log, std::vector<std::string>{"h"});
}

TEST(StyWndProc, FormDestroyedFirstLeavesTheHookPassive) {
    std::vector<std::string> log;
    auto* form = new TProbeForm(nullptr);
    auto* hook = new TRecordingHook(form, "h", log);
    ASSERT_TRUE(hook->HookWindow());
    HWND h = form->Handle();
    SendMessageA(h, kProbe, 0, 0);
    EXPECT_EQ(log, std::vector<std::string>{"h"});
    // Deleting the form destroys its window first, then its components: the hook sees
    // the window go and later unhooks without touching it (checked under the sanitizers).
    delete form;
    EXPECT_EQ(log, (std::vector<std::string>{"h", "h destroy"}));
    EXPECT_FALSE(IsWindow(h));
}

TEST(StyWndProc, DestroyedWindowStopsTheHookUntilUnhooked) {
    std::vector<std::string> log;
    TProbeForm form(nullptr);
    auto* hook = new TRecordingHook(&form, "h", log);
    ASSERT_TRUE(hook->HookWindow());
    HWND h = form.Handle();
    SendMessageA(h, WM_DESTROY, 0, 0);
    EXPECT_TRUE(hook->WindowDestroyed());
    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 0);  // passive: not passed on to the form
    EXPECT_EQ(form.answered, 0);
    hook->UnhookWindow();
    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 42);
    EXPECT_EQ(form.answered, 1);
}

TEST(StyXPThemeManager, FormStillHandlesEveryMessage) {
    TProbeForm form(nullptr);
    auto* manager = new TStyXPThemeManager(&form);
    ASSERT_TRUE(manager->HookWindow());
    HWND h = form.Handle();
    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 42);
    SendMessageA(h, WM_CREATE, 0, 0);
    EXPECT_FALSE(StyApp->ThemeMode());  // no theme library here: refreshed to off
    SendMessageA(h, WM_THEMECHANGED, 0, 0);
    EXPECT_EQ(SendMessageA(h, kProbe, 0, 0), 42);
    EXPECT_EQ(form.answered, 2);
    StyApp->RefreshThemeFlag();
}

// An MDI frame made the application's main form for the test's length.
struct MdiMain {
    TProbeForm frame{nullptr};
    MdiMain() {
        frame.FormStyle = fsMDIForm;
        frame.SetBounds(0, 0, 400, 300);
        Application->SetMainForm(&frame);
        frame.Show();
    }
    ~MdiMain() {
        frame.Hide();
        Application->SetMainForm(nullptr);
    }
};

TEST(StyWndProc, TheTargetIsTheClientWindowOfAnMdiParentOnly) {
    MdiMain main;
    struct Row {
        TFormStyle style;
        bool client;
    };
    for (Row row : {Row{fsNormal, false}, Row{fsStayOnTop, false}, Row{fsMDIChild, false}}) {
        TForm form(nullptr);
        form.FormStyle = row.style;
        TStyWndProcComponent hook(&form);
        EXPECT_EQ(hook.TargetWindow(), form.Handle()) << int(row.style);
    }
    TStyWndProcComponent hook(&main.frame);  // the frame's style was set before: kind 2
    EXPECT_EQ(hook.TargetWindow(), main.frame.ClientHandle());
    EXPECT_NE(main.frame.ClientHandle(), nullptr);
}

TEST(StyWndProc, AnMdiParentIsHookedOnItsClientWindow) {
    std::vector<std::string> log;
    MdiMain main;
    TForm child(nullptr);
    child.FormStyle = fsMDIChild;
    child.Show();
    const HWND client = main.frame.ClientHandle();
    const auto original = GetWindowProc(client);
    auto* hook = new TRecordingHook(&main.frame, "h", log);
    ASSERT_TRUE(hook->HookWindow());
    EXPECT_EQ(hook->HookedWindow(), client);
    SendMessageA(client, kProbe, 0, 0);
    EXPECT_EQ(log, std::vector<std::string>{"h"});
    EXPECT_EQ(SendMessageA(main.frame.Handle(), kProbe, 0, 0), 42);  // the frame's own: not ours
    EXPECT_EQ(log.size(), 1u);
    // The client window keeps working through the hook.
    EXPECT_EQ(main.frame.ActiveMDIChild(), &child);
    EXPECT_EQ(SendMessageA(client, WM_MDIGETACTIVE, 0, 0), LRESULT(child.Handle()));
    delete hook;
    EXPECT_EQ(GetWindowProc(client), original);
}

TEST(StyWndProc, AnMdiChildsDestroyedWindowUnhooksAtOnceOthersStayPassive) {
    for (bool mdi : {true, false}) {
        SCOPED_TRACE(mdi ? "MDI child" : "normal form");
        std::vector<std::string> log;
        MdiMain main;
        class TDestroyNotingForm : public TForm {
        public:
            using TForm::TForm;
            int destroys = 0;
            void Dispatch(TMessage& m) override {
                if (m.Msg == WM_DESTROY) ++destroys;
                TForm::Dispatch(m);
            }
        } form(nullptr);
        if (mdi) form.FormStyle = fsMDIChild;
        form.Show();
        auto* hook = new TRecordingHook(&form, "h", log);
        ASSERT_TRUE(hook->HookWindow());
        const HWND h = form.Handle();
        SendMessageA(h, WM_DESTROY, 0, 0);
        EXPECT_EQ(log, std::vector<std::string>{"h destroy"});
        // An MDI child's hook lets go of the window at once and keeps the message; another
        // form's stays on the window, passive, and passes the message on.
        EXPECT_EQ(hook->Hooked(), !mdi);
        EXPECT_EQ(hook->WindowDestroyed(), !mdi);
        EXPECT_EQ(form.destroys, mdi ? 0 : 1);
        log.clear();
        SendMessageA(h, kProbe, 0, 0);
        EXPECT_EQ(log.empty(), mdi);  // the passive hook still sits on the window
        log.clear();
        if (mdi) {
            // Unhooked, it can hook the window again.
            EXPECT_TRUE(hook->HookWindow());
            SendMessageA(h, kProbe, 0, 0);
            EXPECT_EQ(log, std::vector<std::string>{"h"});
        }
        form.Hide();
    }
}

TEST(StyWndProc, AnMdiChildGoingWithItsFrameLeavesNoHookBehind) {
    std::vector<std::string> log;
    auto main = std::make_unique<MdiMain>();
    TForm child(nullptr);
    child.FormStyle = fsMDIChild;
    child.Show();
    auto* hook = new TRecordingHook(&child, "h", log);
    ASSERT_TRUE(hook->HookWindow());
    main.reset();  // the frame's window goes, and its children's with it
    EXPECT_EQ(log, std::vector<std::string>{"h destroy"});
    EXPECT_FALSE(hook->Hooked());
    EXPECT_FALSE(child.HandleAllocated());
}

}  // namespace
