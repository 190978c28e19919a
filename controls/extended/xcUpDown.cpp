#include "controls/extended/xcUpDown.h"

#include <algorithm>
#include <map>

namespace {


bool Inside(const TRect& r, int x, int y) { return x >= r.Left && y >= r.Top && x < r.Right && y < r.Bottom; }

std::string HexText(int32_t v) {
    static const char* digits = "0123456789ABCDEF";
    uint32_t u = uint32_t(v);
    std::string s;
    do {
        s.insert(s.begin(), digits[u & 15]);
        u >>= 4;
    } while (u);
    while (s.size() < 4) s.insert(s.begin(), '0');
    return "0x" + s;
}

}  // namespace

TXcUpDown::TXcUpDown(TComponent* owner) : TCustomControl(owner) {
    width_ = 32;
    height_ = 15;
}

TXcUpDown::~TXcUpDown() { associate_ = nullptr; }

void TXcUpDown::SetMin(int32_t v) {
    min_ = v;
    Invalidate();
}

void TXcUpDown::SetMax(int32_t v) {
    max_ = v;
    Invalidate();
}

void TXcUpDown::SetIncrement(int32_t v) { increment_ = v; }

bool TXcUpDown::AcceptPosition(int32_t v) const { return !(v < min_ || (max_ != 0 && v > max_)); }

void TXcUpDown::SetPosition(int32_t v) {
    if (v != position_ && AcceptPosition(v)) {
        position_ = v;
        Invalidate();
    }
    UpdateAssociateText();
}

void TXcUpDown::SetFormat(TXcUpDownFormat f) {
    if (f == format_) return;
    format_ = f;
    UpdateAssociateText();
}

void TXcUpDown::SetAssociate(TWinControl* c) {
    associate_ = c;
    UpdateAssociateText();
}

void TXcUpDown::UpdateAssociateText() {
    auto* edit = dynamic_cast<TEdit*>(associate_);
    if (!edit) return;
    edit->SetText(format_ == ufHex ? HexText(position_) : IntToStr(position_));
}

// While the user clicks, the buddy shows the position whatever kind of control it is.
void TXcUpDown::ShowInBuddy() {
    if (!associate_) return;
    if (dynamic_cast<TEdit*>(associate_)) {
        UpdateAssociateText();
        return;
    }
    associate_->SetText(format_ == ufHex ? HexText(position_) : IntToStr(position_));
}

void TXcUpDown::Loaded() {
    TCustomControl::Loaded();
    if (AssociateName.empty() || !Owner()) return;
    SetAssociate(dynamic_cast<TWinControl*>(Owner()->FindComponent(AssociateName)));
}

void TXcUpDown::ClickButton(TUDBtnType button) {
    if (!enabled_) return;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return;
    // Step within the range; the ends stop the counter rather than refuse the click.
    int64_t next = int64_t(position_) + (button == btNext ? increment_ : -int64_t(increment_));
    int64_t hi = max_ != 0 ? max_ : INT32_MAX;
    next = std::clamp<int64_t>(next, std::min<int64_t>(min_, hi), hi);
    if (AcceptPosition(int32_t(next)) && int32_t(next) != position_) {
        position_ = int32_t(next);
        ShowInBuddy();
        Invalidate();
    }
    if (OnClickButton) OnClickButton(this, button);
}

TRect TXcUpDown::ButtonRect(TUDBtnType b) const {
    if (Orientation == udHorizontal) {
        int half = width_ / 2;
        // Left arrow steps down, right arrow steps up.
        return b == btPrev ? Rect(0, 0, half, height_) : Rect(half, 0, width_, height_);
    }
    int half = height_ / 2;
    return b == btNext ? Rect(0, 0, width_, half) : Rect(0, half, width_, height_);
}

void TXcUpDown::Paint() {
    TCanvas& c = canvas_;
    for (TUDBtnType b : {btPrev, btNext}) {
        TRect r = ButtonRect(b);
        bool down = pressed_ == int(b);
        bool hot = HotTrack && hot_ == int(b);
        c.Brush()->Style = bsSolid;
        c.Brush()->Color = hot ? cl3DLight : clBtnFace;
        c.FillRect(r);
        Frame3D(c, r, down ? clBtnShadow : clBtnHighlight, down ? clBtnHighlight : cl3DDkShadow);
        // Whether the arrow can still move the counter.
        bool live = enabled_ && (b == btNext ? (max_ == 0 || position_ < max_) : position_ > min_);
        int cx = (r.Left + r.Right) / 2 + (down ? 1 : 0);
        int cy = (r.Top + r.Bottom) / 2 + (down ? 1 : 0);
        int s = std::max(2, std::min(r.Width(), r.Height()) / 4);
        std::vector<TPoint> tri;
        if (Orientation == udHorizontal) {
            if (b == btNext) tri = {Point(cx - s / 2, cy - s), Point(cx - s / 2, cy + s), Point(cx + s / 2 + 1, cy)};
            else tri = {Point(cx + s / 2, cy - s), Point(cx + s / 2, cy + s), Point(cx - s / 2 - 1, cy)};
        } else {
            if (b == btNext) tri = {Point(cx - s, cy + s / 2), Point(cx + s, cy + s / 2), Point(cx, cy - s / 2 - 1)};
            else tri = {Point(cx - s, cy - s / 2), Point(cx + s, cy - s / 2), Point(cx, cy + s / 2 + 1)};
        }
        TColor ink = live ? clBtnText : clGrayText;
        c.Pen()->Color = ink;
        c.Brush()->Color = ink;
        c.Polygon(tri);
    }
}

void TXcUpDown::WndProc(TMessage& m) {
    switch (m.Msg) {
    case UDM_GETPOS32:
        m.Result = position_;
        return;
    case UDM_SETPOS32: {
        int32_t old = position_;
        SetPosition(int32_t(m.LParam));
        m.Result = old;
        return;
    }
    case UDM_SETRANGE32:
        SetMin(int32_t(m.WParam));
        SetMax(int32_t(m.LParam));
        return;
    case UDM_GETRANGE32:
        if (m.WParam) *reinterpret_cast<int*>(m.WParam) = min_;
        if (m.LParam) *reinterpret_cast<int*>(m.LParam) = max_;
        return;
    default:
        TCustomControl::WndProc(m);
    }
}

void TXcUpDown::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
        pressed_ = Inside(ButtonRect(btNext), x, y) ? int(btNext) : Inside(ButtonRect(btPrev), x, y) ? int(btPrev) : -1;
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
        int hot = Inside(ButtonRect(btNext), x, y) ? int(btNext) : Inside(ButtonRect(btPrev), x, y) ? int(btPrev) : -1;
        if (hot != hot_) {
            hot_ = hot;
            if (HotTrack) Invalidate();
        }
        break;
    }
    case CM_MOUSELEAVE:
        if (hot_ >= 0) {
            hot_ = -1;
            if (HotTrack) Invalidate();
        }
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(m);
}

void RegisterXcUpDown() {
    static const std::map<std::string, int> orientation = {{"udhorizontal", udHorizontal}, {"udvertical", udVertical}};
    static const std::map<std::string, int> align = {{"ableft", abLeft}, {"abright", abRight}, {"abnone", abNone}};
    auto ident = [](const TDfmValue& v, const std::map<std::string, int>& names) {
        auto it = names.find(LowerCase(v.s));
        if (it == names.end()) throw EReadError("Invalid property value: " + v.s);
        return it->second;
    };
    TClassReg<TXcUpDown>("TXcUpDown", "TCustomControl")
        .prop("Min", [](TXcUpDown* u, const TDfmValue& v) { u->SetMin(v.AsInt()); }, "0")
        .prop("Max", [](TXcUpDown* u, const TDfmValue& v) { u->SetMax(v.AsInt()); }, "100")
        .prop("Increment", [](TXcUpDown* u, const TDfmValue& v) { u->SetIncrement(v.AsInt()); }, "1")
        .prop("Position", [](TXcUpDown* u, const TDfmValue& v) { u->SetPosition(v.AsInt()); }, "0")
        .prop("Associate", [](TXcUpDown* u, const TDfmValue& v) { u->AssociateName = v.s; })
        .prop("Orientation", [ident](TXcUpDown* u, const TDfmValue& v) { u->Orientation = TUDOrientation(ident(v, orientation)); }, "udVertical")
        .prop("AlignButton", [ident](TXcUpDown* u, const TDfmValue& v) { u->AlignButton = TXcAlignButton(ident(v, align)); }, "abRight")
        .prop("Format", [](TXcUpDown* u, const TDfmValue& v) { u->SetFormat(SameText(v.s, "ufHex") ? ufHex : ufInt); }, "ufInt")
        .prop("HotTrack", [](TXcUpDown* u, const TDfmValue& v) { u->HotTrack = v.AsBool(); }, "False")
        .prop("Thousands", [](TXcUpDown* u, const TDfmValue& v) { u->Thousands = v.AsBool(); }, "True")
        .prop("Wrap", [](TXcUpDown* u, const TDfmValue& v) { u->Wrap = v.AsBool(); }, "False")
        .prop("ArrowKeys", [](TXcUpDown* u, const TDfmValue& v) { u->ArrowKeys = v.AsBool(); }, "True");
}
