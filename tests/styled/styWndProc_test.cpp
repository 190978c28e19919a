// Window-procedure hooks on a form: several on one form, unhooked in either order, the
// form destroyed first, and the theme manager passing every message on.
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

}  // namespace
