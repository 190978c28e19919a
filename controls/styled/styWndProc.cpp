#include "controls/styled/styWndProc.h"

#include <algorithm>
#include <vector>

#include "controls/styled/styApplication.h"
#include "platform/rtl/scopeExit.h"

struct TStyWndProcComponent::Link {
    TStyWndProcComponent* owner;    // null once unhooked: then messages just pass on
    std::shared_ptr<WNDPROC> next;  // the procedure that was on the window before us
    HWND wnd;
};

namespace {

// Every live link, so that one taken out of the middle of a chain is bypassed by the link
// above it instead of cutting that one off.
std::vector<std::weak_ptr<TStyWndProcComponent::Link>>& Links() {
    static std::vector<std::weak_ptr<TStyWndProcComponent::Link>> links;
    return links;
}

void Forget(const std::shared_ptr<TStyWndProcComponent::Link>& link) {
    auto& links = Links();
    links.erase(std::remove_if(links.begin(), links.end(),
                               [&](const auto& w) {
                                   auto l = w.lock();
                                   return !l || l == link;
                               }),
                links.end());
}

}  // namespace

TStyWndProcComponent::TStyWndProcComponent(TComponent* owner) : TStyCustomComponent(owner) {
    if (auto* form = dynamic_cast<TForm*>(owner))
        ownerKind_ = form->FormStyle == fsMDIChild ? 1 : form->FormStyle == fsMDIForm ? 2 : 0;
}

TStyWndProcComponent::~TStyWndProcComponent() { UnhookWindow(); }

void TStyWndProcComponent::Loaded() {
    TStyCustomComponent::Loaded();
    if (!Designing() || hookAtDesignTime_) HookWindow();
}

void TStyWndProcComponent::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    if (!Designing()) {
        if (v)
            HookWindow();
        else
            UnhookWindow();
    }
    EnabledChanged();
}

bool TStyWndProcComponent::MainWindowHook(TMessage&) { return true; }

HWND TStyWndProcComponent::TargetWindow() {
    auto* owner = dynamic_cast<TWinControl*>(Owner());
    if (!owner || owner->Destroying()) return nullptr;
    try {
        HWND own = owner->Handle();
        if (ownerKind_ == 2 && !useFormWindow_) return static_cast<TForm*>(owner)->ClientHandle();
        return own;
    } catch (const Exception&) {
        return nullptr;
    }
}

bool TStyWndProcComponent::HookWindow() {
    // Disabled, or hooked already: nothing is hooked by this call.
    if (!enabled_ || newWndProc_) return false;
    HWND target = TargetWindow();
    if (!target || oldWndProc_ || (Designing() && !hookAtDesignTime_)) return false;
    try {
        destroyed_ = false;
        // The main-window hook of the class library is never asked for in this program.
        mainWindowHooked_ = false;
        link_ = std::make_shared<Link>(Link{this, nullptr, target});
        // The procedure holds its link; the link holds only the procedure below it.
        newWndProc_ = std::make_shared<WNDPROC>(
            [link = link_](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
                if (!link->owner) return CallWindowProcA(link->next, h, msg, w, l);
                TMessage m{msg, w, l, 0};
                link->owner->WndProc(m);
                return m.Result;
            });
        oldWndProc_ = GetWindowProc(target);
        link_->next = oldWndProc_;
        if (!oldWndProc_) throw Exception("The window has no procedure");
        SetWindowProc(target, newWndProc_);
        hookedWnd_ = target;
        Links().push_back(link_);
        return true;
    } catch (const Exception&) {
        UnhookWindow();
        return false;
    }
}

bool TStyWndProcComponent::UnhookWindow() {
    if (oldWndProc_ && link_ && IsWindow(hookedWnd_)) {
        if (GetWindowProc(hookedWnd_) == newWndProc_) {
            SetWindowProc(hookedWnd_, link_->next);
        } else {
            // Another hook sits above ours: let the one that calls us call our predecessor.
            for (auto& w : Links())
                if (auto l = w.lock(); l && l != link_ && l->next == newWndProc_)
                    l->next = link_->next;
        }
    }
    if (link_) {
        link_->owner = nullptr;  // a chain that still reaches us now passes straight on
        Forget(link_);
    }
    oldWndProc_ = nullptr;
    newWndProc_ = nullptr;
    link_ = nullptr;
    hookedWnd_ = nullptr;
    mainWindowHooked_ = false;
    spare_ = false;
    destroyed_ = false;
    return true;
}

void TStyWndProcComponent::UnhookAtDesignTime() {
    if (Designing() && !hookAtDesignTime_) UnhookWindow();
}

void TStyWndProcComponent::CallOldWndProc(TMessage& m) {
    // The link's successor: the procedure found when hooking, or the one below it when
    // that one was unhooked in the meantime.
    if (link_) m.Result = CallWindowProcA(link_->next, hookedWnd_, m.Msg, m.WParam, m.LParam);
}

void TStyWndProcComponent::WndProc(TMessage& m) {
    if (destroyed_) return;
    if (m.Msg == WM_DESTROY) {
        destroyed_ = true;
        if (ownerKind_ == 1) {
            UnhookWindow();
            return;
        }
    }
    CallOldWndProc(m);
}

void TStyXPThemeManager::WndProc(TMessage& m) {
    if (m.Msg == WM_CREATE) {
        if (StyApp) StyApp->RefreshThemeFlag();
    } else if (m.Msg == WM_THEMECHANGED && !switching_ && StyApp && StyApp->UseThemes()) {
        switching_ = true;
        ScopeExit done([this] { switching_ = false; });
        StyApp->SetThemeMode(false);
        StyApp->SetThemeMode(true);
    }
    TStyWndProcComponent::WndProc(m);
}
