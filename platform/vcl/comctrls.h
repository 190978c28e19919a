// The common controls' up-down window ("msctls_updown32") and the class library's control
// over it. The window keeps its own range, position, step, number base and buddy, answers
// the UDM_ messages, and asks its control before every arrow step (UDN_DELTAPOS, reflected
// as CN_NOTIFY).
#pragma once

#include <cstdint>
#include <functional>

#include "platform/vcl/controls.h"

// Up-down window messages.
enum : UINT {
    UDM_SETRANGE = WM_USER + 101,
    UDM_GETRANGE = WM_USER + 102,
    UDM_SETPOS = WM_USER + 103,
    UDM_GETPOS = WM_USER + 104,
    UDM_SETBUDDY = WM_USER + 105,
    UDM_GETBUDDY = WM_USER + 106,
    UDM_SETACCEL = WM_USER + 107,
    UDM_GETACCEL = WM_USER + 108,
    UDM_SETBASE = WM_USER + 109,
    UDM_GETBASE = WM_USER + 110,
    UDM_SETRANGE32 = WM_USER + 111,
    UDM_GETRANGE32 = WM_USER + 112,
    UDM_SETPOS32 = WM_USER + 113,
    UDM_GETPOS32 = WM_USER + 114,
};

// Up-down window styles.
enum : DWORD {
    UDS_WRAP = 0x0001,
    UDS_SETBUDDYINT = 0x0002,
    UDS_ALIGNRIGHT = 0x0004,
    UDS_ALIGNLEFT = 0x0008,
    UDS_AUTOBUDDY = 0x0010,
    UDS_ARROWKEYS = 0x0020,
    UDS_HORZ = 0x0040,
    UDS_NOTHOUSANDS = 0x0080,
    UDS_HOTTRACK = 0x0100,
};

struct UDACCEL {
    UINT nSec = 0;
    UINT nInc = 1;
};

struct NMHDR {
    HWND hwndFrom = nullptr;
    uintptr_t idFrom = 0;
    UINT code = 0;
};

struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;
    int iDelta = 0;
};

constexpr UINT UDN_DELTAPOS = UINT(-722);
// Edit notification carried by WM_COMMAND.
constexpr WORD EN_CHANGE = 0x0300;

enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };
enum TUpDownDirection { updNone, updUp, updDown };

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TUDChangingEventEx = std::function<void(TObject* Sender, bool& AllowChange, int16_t NewValue,
                                              TUpDownDirection Direction)>;

class TCustomUpDown : public TWinControl {
public:
    explicit TCustomUpDown(TComponent* owner);
    std::string ClassName() const override { return "TCustomUpDown"; }

    // Read by the window as it works (and into its style when it is made).
    TUDOrientation Orientation = udVertical;
    bool ArrowKeys = true;  // the arrow keys step the position while the control has focus
    bool Thousands = true;  // the buddy's number gets thousands separators
    bool Wrap = false;      // stepping past an end goes round to the other

    TUDChangingEvent OnChanging;
    TUDChangingEventEx OnChangingEx;
    TUDClickEvent OnClickButton;  // the arrow that was clicked

    // One arrow click of the window, as the mouse or an arrow key gives it: asks the control
    // (UDN_DELTAPOS), then steps within the range (or wraps round with UDS_WRAP).
    void ClickButton(TUDBtnType button);
    // An arrow key while the control has the keys (ArrowKeys): the arrow of its direction;
    // false for any other key.
    bool ArrowKey(WORD key);
    void Paint();

    // The window's style (for tests and descendants).
    DWORD WindowStyle() const { return style_; }
    void RecreateWnd();

protected:
    void Dispatch(TMessage& m) override;
    void CreateWnd() override;
    virtual void CreateParams(TCreateParams& params);
    // Whether the step the window is about to take may happen: OnChanging, then
    // OnChangingEx with the new value and direction.
    virtual bool CanChange();
    // A step by one of the two buttons; the control's plain Click stays reachable beside it.
    using TWinControl::Click;
    virtual void Click(TUDBtnType button);
    // The control that shows the position while the user steps it (UDS_SETBUDDYINT).
    virtual TWinControl* BuddyControl() const { return FindControl(wndBuddy_); }
    void PaintWindow(gdi::Painter& p, const TRect& r) override;
    bool DoKeyDown(WORD& key, TShiftState shift) override;

    int16_t newValue_ = 0;
    TUpDownDirection newDirection_ = updNone;

private:
    // The window's own state and its messages; true when the message was one of them.
    bool WindowMessage(TMessage& m);
    TRect ButtonRect(TUDBtnType b) const;
    std::string PositionText(int32_t v) const;
    int32_t wndMin_ = 0, wndMax_ = 100, wndPos_ = 0;
    UDACCEL wndAccel_;
    int wndBase_ = 10;
    HWND wndBuddy_ = nullptr;
    DWORD style_ = 0;
    int pressed_ = -1;  // the arrow held down: btNext, btPrev, or -1
    int hot_ = -1;      // the arrow under the mouse (hot-tracking)
    TCanvas canvas_;
};

void RegisterComCtrlClasses();
