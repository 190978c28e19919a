// A non-visual component that takes over the window procedure of the form that owns it:
// it sees every message of the form first and passes on what it does not consume. Several
// of them may hook one form and be unhooked in any order; a form destroyed first leaves
// them passive.
#pragma once

#include <memory>

#include "controls/styled/styBase.h"
#include "platform/vcl/forms.h"

class TStyWndProcComponent : public TStyCustomComponent {
public:
    explicit TStyWndProcComponent(TComponent* owner);
    ~TStyWndProcComponent() override;
    std::string ClassName() const override { return "TStyWndProcComponent"; }

    void Loaded() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);

    virtual bool MainWindowHook(TMessage& m);
    // True when this call hooked the window; false when disabled, already hooked, without
    // a window or when hooking failed.
    virtual bool HookWindow();
    virtual bool UnhookWindow();
    // The replacement window procedure; descendants call it for every message.
    virtual void WndProc(TMessage& m);
    virtual void UnhookAtDesignTime();
    virtual void EnabledChanged() {}

    // The window to hook: an MDI parent form's client window, else the owner form's; 0
    // without an owner or when no window can be made.
    HWND TargetWindow();
    bool Hooked() const { return oldWndProc_ != nullptr; }
    bool WindowDestroyed() const { return destroyed_; }
    HWND HookedWindow() const { return hookedWnd_; }

    // One link of a window's procedure chain; shared with the procedure installed on the
    // window, so a chain that still calls it after unhooking simply passes messages on.
    struct Link;

protected:
    // Passes the message on to the procedure found when hooking.
    void CallOldWndProc(TMessage& m);

private:
    bool enabled_ = true;
    bool hookAtDesignTime_ = false;
    // (No main-window hook is ever asked for: the flag that would ask for it is left out.)
    bool mainWindowHooked_ = false;
    bool spare_ = false;
    int ownerKind_ = 0;           // 0 normal form or none, 1 MDI child, 2 MDI parent
    std::shared_ptr<Link> link_;  // our procedure's link, null when not hooked
    std::shared_ptr<WNDPROC> newWndProc_;
    std::shared_ptr<WNDPROC> oldWndProc_;
    HWND hookedWnd_ = nullptr;
    bool destroyed_ = false;
    bool useFormWindow_ = false;  // an MDI parent would hook its own window, not its client's
};

// Keeps the layer's theme state current: refreshed when the form's window is created,
// switched off and on again when the system reports a theme change.
class TStyXPThemeManager : public TStyWndProcComponent {
public:
    using TStyWndProcComponent::TStyWndProcComponent;
    std::string ClassName() const override { return "TStyXPThemeManager"; }
    void WndProc(TMessage& m) override;

private:
    bool switching_ = false;  // our own switch broadcasts WM_THEMECHANGED back to us
};
