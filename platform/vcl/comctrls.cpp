#include "platform/vcl/comctrls.h"

#include <algorithm>
#include <map>

#include "platform/rtl/hex.h"

namespace {

bool Inside(const TRect& r, int x, int y) {
    return x >= r.Left && y >= r.Top && x < r.Right && y < r.Bottom;
}

// Decimal with a comma between groups of three digits.
std::string Grouped(int32_t v) {
    const std::string digits = std::to_string(v < 0 ? -int64_t(v) : int64_t(v));
    std::string out = v < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
        out += digits[i];
    }
    return out;
}

std::string Hex(int32_t v) { return "0x" + HexNumber(uint32_t(v)); }

}  // namespace

TCustomUpDown::TCustomUpDown(TComponent* owner) : TWinControl(owner) {
    width_ = 16;
    height_ = 24;
}

void TCustomUpDown::CreateParams(TCreateParams& params) {
    params.Style |= UDS_SETBUDDYINT;
    if (ArrowKeys) params.Style |= UDS_ARROWKEYS;
    if (Wrap) params.Style |= UDS_WRAP;
    if (Orientation == udHorizontal) params.Style |= UDS_HORZ;
    if (!Thousands) params.Style |= UDS_NOTHOUSANDS;
}

void TCustomUpDown::CreateWnd() {
    if (handle_) return;
    TCreateParams params;
    CreateParams(params);
    style_ = params.Style;
    // A new window starts from the window class's defaults.
    wndMin_ = 0;
    wndMax_ = 100;
    wndPos_ = 0;
    wndAccel_ = UDACCEL{};
    wndBase_ = 10;
    wndBuddy_ = nullptr;
    TWinControl::CreateWnd();
}

void TCustomUpDown::RecreateWnd() {
    if (!handle_) return;
    DestroyWnd();
    CreateWnd();
}

bool TCustomUpDown::CanChange() {
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (allow && OnChangingEx) OnChangingEx(this, allow, newValue_, newDirection_);
    return allow;
}

void TCustomUpDown::Click(TUDBtnType button) {
    if (OnClickButton) OnClickButton(this, button);
}

std::string TCustomUpDown::PositionText(int32_t v) const {
    if (wndBase_ == 16) return Hex(v);
    return (style_ & UDS_NOTHOUSANDS) || !Thousands ? std::to_string(v) : Grouped(v);
}

bool TCustomUpDown::WindowMessage(TMessage& m) {
    auto clampPos = [this](int64_t v) {
        int64_t hi = wndMax_ != 0 ? wndMax_ : INT32_MAX;
        return int32_t(std::clamp<int64_t>(v, std::min<int64_t>(wndMin_, hi), hi));
    };
    switch (m.Msg) {
        case UDM_SETRANGE:
            wndMin_ = int16_t(uint16_t(m.LParam >> 16));
            wndMax_ = int16_t(uint16_t(m.LParam & 0xFFFF));
            break;
        case UDM_GETRANGE:
            m.Result = LRESULT(uint32_t(uint16_t(wndMax_)) | uint32_t(uint16_t(wndMin_)) << 16);
            break;
        case UDM_SETRANGE32:
            wndMin_ = int32_t(m.WParam);
            wndMax_ = int32_t(m.LParam);
            break;
        case UDM_GETRANGE32:
            if (m.WParam) *reinterpret_cast<int*>(m.WParam) = wndMin_;
            if (m.LParam) *reinterpret_cast<int*>(m.LParam) = wndMax_;
            break;
        case UDM_SETPOS:
            m.Result = uint16_t(wndPos_);
            wndPos_ = clampPos(int16_t(uint16_t(m.LParam & 0xFFFF)));
            break;
        case UDM_GETPOS:
            m.Result = uint16_t(wndPos_);  // the high word, 0, says the position is valid
            break;
        case UDM_SETPOS32:
            m.Result = wndPos_;
            wndPos_ = clampPos(int32_t(m.LParam));
            break;
        case UDM_GETPOS32:
            if (m.LParam) *reinterpret_cast<BOOL*>(m.LParam) = FALSE_;
            m.Result = wndPos_;
            break;
        case UDM_SETACCEL:
            if (m.WParam < 1 || !m.LParam) return m.Result = FALSE_, true;
            wndAccel_ = *reinterpret_cast<const UDACCEL*>(m.LParam);
            m.Result = TRUE_;
            break;
        case UDM_GETACCEL:
            if (m.WParam >= 1 && m.LParam) *reinterpret_cast<UDACCEL*>(m.LParam) = wndAccel_;
            m.Result = 1;
            break;
        case UDM_SETBASE:
            if (m.WParam != 10 && m.WParam != 16) return m.Result = 0, true;
            m.Result = wndBase_;
            wndBase_ = int(m.WParam);
            break;
        case UDM_GETBASE:
            m.Result = wndBase_;
            break;
        case UDM_SETBUDDY:
            // The buddy keeps its place and size: the forms lay the pair out themselves.
            m.Result = LRESULT(wndBuddy_);
            wndBuddy_ = reinterpret_cast<HWND>(m.WParam);
            break;
        case UDM_GETBUDDY:
            m.Result = LRESULT(wndBuddy_);
            break;
        default:
            return false;
    }
    return true;
}

void TCustomUpDown::ClickButton(TUDBtnType button) {
    if (!enabled_) return;
    // The state is asked for by message, so a control that answers them itself is obeyed.
    int lo = 0, hi = 0;
    Perform(UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
    UDACCEL accel;
    Perform(UDM_GETACCEL, 1, LPARAM(&accel));
    const int32_t pos = int32_t(Perform(UDM_GETPOS32, 0, 0));
    const int64_t top = hi != 0 ? hi : INT32_MAX;
    const int64_t bottom = std::min<int64_t>(lo, top);
    const int64_t delta = button == btNext ? int64_t(accel.nInc) : -int64_t(accel.nInc);
    int64_t next = int64_t(pos) + delta;
    if (next > top) next = Wrap ? bottom : top;
    if (next < bottom) next = Wrap ? top : bottom;
    if (next != pos) {
        newValue_ = int16_t(next);
        newDirection_ = button == btNext ? updUp : updDown;
        NMUPDOWN nm;
        nm.hdr.hwndFrom = handle_;
        nm.hdr.code = UDN_DELTAPOS;
        nm.iPos = pos;
        nm.iDelta = int(next - pos);
        if (Perform(CN_NOTIFY, 0, LPARAM(&nm)) != 0) return;  // refused
        Perform(UDM_SETPOS32, 0, LPARAM(int32_t(next)));
        if (TWinControl* buddy = BuddyControl()) buddy->SetText(PositionText(int32_t(next)));
        Invalidate();
    }
    Click(button);
}

bool TCustomUpDown::DoKeyDown(WORD& key, TShiftState shift) {
    return TWinControl::DoKeyDown(key, shift) || ArrowKey(key);
}

bool TCustomUpDown::ArrowKey(WORD key) {
    if (!ArrowKeys) return false;
    const bool horz = Orientation == udHorizontal;
    if (key == (horz ? 39 : 38))
        ClickButton(btNext);
    else if (key == (horz ? 37 : 40))
        ClickButton(btPrev);
    else
        return false;
    return true;
}

void TCustomUpDown::Dispatch(TMessage& m) {
    if (WindowMessage(m)) return;
    switch (m.Msg) {
        case CN_NOTIFY: {
            auto* nm = reinterpret_cast<const NMHDR*>(m.LParam);
            if (nm && nm->code == UDN_DELTAPOS) m.Result = CanChange() ? 0 : 1;
            return;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
            pressed_ = Inside(ButtonRect(btNext), x, y)   ? int(btNext)
                       : Inside(ButtonRect(btPrev), x, y) ? int(btPrev)
                                                          : -1;
            if (pressed_ >= 0) {
                Invalidate();
                ClickButton(TUDBtnType(pressed_));
            }
            break;
        }
        case WM_LBUTTONUP:
            if (pressed_ >= 0) {
                pressed_ = -1;
                Invalidate();
            }
            break;
        case WM_MOUSEMOVE: {
            int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
            int hot = Inside(ButtonRect(btNext), x, y)   ? int(btNext)
                      : Inside(ButtonRect(btPrev), x, y) ? int(btPrev)
                                                         : -1;
            if (hot != hot_) {
                hot_ = hot;
                if (style_ & UDS_HOTTRACK) Invalidate();
            }
            break;
        }
        case CM_MOUSELEAVE:
            if (hot_ >= 0) {
                hot_ = -1;
                if (style_ & UDS_HOTTRACK) Invalidate();
            }
            break;
        default:
            break;
    }
    TWinControl::Dispatch(m);
}

TRect TCustomUpDown::ButtonRect(TUDBtnType b) const {
    if (Orientation == udHorizontal) {
        int half = width_ / 2;
        // Left arrow steps down, right arrow steps up.
        return b == btPrev ? Rect(0, 0, half, height_) : Rect(half, 0, width_, height_);
    }
    int half = height_ / 2;
    return b == btNext ? Rect(0, 0, width_, half) : Rect(0, half, width_, height_);
}

void TCustomUpDown::PaintWindow(gdi::Painter& p, const TRect& /*r*/) {
    TCanvasBinding bound(canvas_, p);
    EraseBackground(canvas_);
    Paint();
}

void TCustomUpDown::Paint() {
    TCanvas& c = canvas_;
    int lo = 0, hi = 0;
    Perform(UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
    const int32_t pos = int32_t(Perform(UDM_GETPOS32, 0, 0));
    for (TUDBtnType b : {btPrev, btNext}) {
        TRect r = ButtonRect(b);
        bool down = pressed_ == int(b);
        bool hot = (style_ & UDS_HOTTRACK) && hot_ == int(b);
        c.Brush()->Style = bsSolid;
        c.Brush()->Color = hot ? cl3DLight : clBtnFace;
        c.FillRect(r);
        Frame3D(c, r, down ? clBtnShadow : clBtnHighlight, down ? clBtnHighlight : cl3DDkShadow);
        // Whether the arrow can still move the counter.
        bool live = enabled_ && (Wrap || (b == btNext ? (hi == 0 || pos < hi) : pos > lo));
        int cx = (r.Left + r.Right) / 2 + (down ? 1 : 0);
        int cy = (r.Top + r.Bottom) / 2 + (down ? 1 : 0);
        int s = std::max(2, std::min(r.Width(), r.Height()) / 4);
        std::vector<TPoint> tri;
        if (Orientation == udHorizontal) {
            if (b == btNext)
                tri = {Point(cx - s / 2, cy - s), Point(cx - s / 2, cy + s),
                       Point(cx + s / 2 + 1, cy)};
            else
                tri = {Point(cx + s / 2, cy - s), Point(cx + s / 2, cy + s),
                       Point(cx - s / 2 - 1, cy)};
        } else {
            if (b == btNext)
                tri = {Point(cx - s, cy + s / 2), Point(cx + s, cy + s / 2),
                       Point(cx, cy - s / 2 - 1)};
            else
                tri = {Point(cx - s, cy - s / 2), Point(cx + s, cy - s / 2),
                       Point(cx, cy + s / 2 + 1)};
        }
        TColor ink = live ? clBtnText : clGrayText;
        c.Pen()->Color = ink;
        c.Brush()->Color = ink;
        c.Polygon(tri);
    }
}

void RegisterComCtrlClasses() {
    static const std::map<std::string, int> orientation = {{"udhorizontal", udHorizontal},
                                                           {"udvertical", udVertical}};
    TClassReg<TCustomUpDown>("TCustomUpDown", "TWinControl", false)
        .prop(
            "Orientation",
            [](TCustomUpDown* u, const TDfmValue& v) {
                auto it = orientation.find(LowerCase(v.s));
                if (it == orientation.end()) throw EReadError("Invalid property value: " + v.s);
                u->Orientation = TUDOrientation(it->second);
            },
            "udVertical")
        .prop(
            "ArrowKeys", [](TCustomUpDown* u, const TDfmValue& v) { u->ArrowKeys = v.AsBool(); },
            "True")
        .prop(
            "Thousands", [](TCustomUpDown* u, const TDfmValue& v) { u->Thousands = v.AsBool(); },
            "True")
        .prop(
            "Wrap", [](TCustomUpDown* u, const TDfmValue& v) { u->Wrap = v.AsBool(); }, "False");
}
