#include "controls/extended/xcUpDown.h"

#include <map>

#include "platform/rtl/hex.h"
#include "platform/rtl/passedErrors.h"

namespace {

std::string HexText(int32_t v) { return "0x" + HexNumber(uint32_t(v), 4); }

}  // namespace

// The platform's up-down window is the class library's, which has every message of the
// common controls 6.0.
std::function<int64_t()> TXcCustomUpDown::CommonControlsVersion = [] { return int64_t(6) << 16; };

TXcCustomUpDown::TXcCustomUpDown(TComponent* owner) : TXcExCustomUpDown(owner) {}

bool TXcCustomUpDown::Use32() {
    if (!versionPending_) return use32_;
    try {
        const int64_t v = CommonControlsVersion ? CommonControlsVersion() : -1;
        if (v < 0) return false;  // size unreadable: asked again next time
        const int64_t major = v >> 16, minor = v & 0xFFFF;
        use32_ = major > 5 || (major == 5 && minor >= 81);
    } catch (...) {
        LogPassedException("common controls version");
        use32_ = false;
    }
    versionPending_ = false;
    return use32_;
}

bool TXcCustomUpDown::AcceptPosition(int32_t v) const {
    return !(v < min_ || (max_ != 0 && v > max_));
}

int32_t TXcCustomUpDown::Position() {
    if (HandleAllocated()) {
        LRESULT r = Use32() ? Perform(UDM_GETPOS32, 0, 0) : Perform(UDM_GETPOS, 0, 0);
        position_ = Use32() ? int32_t(r) : int32_t(int16_t(uint16_t(r & 0xFFFF)));
    }
    return position_;
}

void TXcCustomUpDown::SetPosition(int32_t v) {
    if (v != position_ && AcceptPosition(v)) {
        position_ = v;
        if (HandleAllocated()) {
            if (Use32())
                Perform(UDM_SETPOS32, 0, LPARAM(v));
            else
                Perform(UDM_SETPOS, 0, LPARAM(uint16_t(int16_t(v))));
            Invalidate();
        }
    }
    UpdateAssociateText();
}

void TXcCustomUpDown::SetMin(int32_t v) {
    min_ = v;
    if (HandleAllocated()) {
        Perform(UDM_SETRANGE32, WPARAM(min_), LPARAM(max_));
        Invalidate();
    }
}

void TXcCustomUpDown::SetMax(int32_t v) {
    max_ = v;
    if (HandleAllocated()) {
        Perform(UDM_SETRANGE32, WPARAM(min_), LPARAM(max_));
        Invalidate();
    }
}

void TXcCustomUpDown::SendAccel() {
    UDACCEL accel;
    Perform(UDM_GETACCEL, 1, LPARAM(&accel));
    accel.nInc = UINT(increment_);
    Perform(UDM_SETACCEL, 1, LPARAM(&accel));
}

void TXcCustomUpDown::SetIncrement(int32_t v) {
    if (v == increment_) return;
    increment_ = v;
    if (HandleAllocated()) SendAccel();
}

void TXcCustomUpDown::SetFormat(TXcUpDownFormat f) {
    if (f == format_) return;
    if (HandleAllocated()) Perform(UDM_SETBASE, f == ufHex ? 16 : 10, 0);
    format_ = f;
    UpdateAssociateText();
}

void TXcCustomUpDown::SetHotTrack(bool v) {
    hotTrack_ = v;
    RecreateWnd();
}

void TXcCustomUpDown::SetAlignButton(TXcAlignButton a) {
    alignButton_ = a;
    RecreateWnd();
}

void TXcCustomUpDown::SetAssociate(TWinControl* c) {
    ReferTo(associate_, c);  // the buddy may sit on another form
    if (HandleAllocated()) {
        if (c && c->HandleAllocated()) AttachBuddyKeepingSize();
        Perform(UDM_SETBUDDY, WPARAM(c && c->HandleAllocated() ? c->Handle() : nullptr), 0);
    }
    UpdateAssociateText();
}

// The window makes room for its arrows when it gets a buddy; the buddy is given back the
// width and place it had.
void TXcCustomUpDown::AttachBuddyKeepingSize() {
    TWinControl* buddy = associate_;
    const int w = buddy->Width(), l = buddy->Left();
    Perform(UDM_SETBUDDY, WPARAM(buddy->Handle()), 0);
    buddy->SetBounds(l - (buddy->Left() - l), buddy->Top(), 2 * w - buddy->Width(),
                     buddy->Height());
}

void TXcCustomUpDown::Notification(TComponent* c, TOperation op) {
    TXcExCustomUpDown::Notification(c, op);
    if (op == opRemove && c == associate_) SetAssociate(nullptr);
}

void TXcCustomUpDown::Loaded() {
    TXcExCustomUpDown::Loaded();
    if (AssociateName.empty() || !Owner()) return;
    SetAssociate(dynamic_cast<TWinControl*>(Owner()->FindComponent(AssociateName)));
}

void TXcCustomUpDown::CreateParams(TCreateParams& params) {
    TXcExCustomUpDown::CreateParams(params);
    if (hotTrack_) params.Style |= UDS_HOTTRACK;
    params.Style &= ~DWORD(UDS_ALIGNRIGHT | UDS_ALIGNLEFT);
    if (alignButton_ == abLeft)
        params.Style |= UDS_ALIGNLEFT;
    else if (alignButton_ == abRight)
        params.Style |= UDS_ALIGNRIGHT;
}

void TXcCustomUpDown::CreateWnd() {
    const int width = width_;
    TXcExCustomUpDown::CreateWnd();
    if (width_ != width) SetWidth(width);
    if (associate_ && associate_->HandleAllocated()) {
        AttachBuddyKeepingSize();
        Perform(UDM_SETBUDDY, WPARAM(associate_->Handle()), 0);
    }
    Perform(UDM_SETRANGE32, WPARAM(min_), LPARAM(max_));
    Perform(UDM_SETBASE, format_ == ufHex ? 16 : 10, 0);
    SendAccel();
    // The new window starts at the control's position, which is then read back.
    if (Use32())
        Perform(UDM_SETPOS32, 0, LPARAM(position_));
    else
        Perform(UDM_SETPOS, 0, LPARAM(uint16_t(int16_t(position_))));
    SetPosition(Position());
    SetAssociate(associate_);
}

bool TXcCustomUpDown::AnswerWithoutWindow(TMessage& m) {
    switch (m.Msg) {
        case UDM_GETPOS32:
            m.Result = position_;
            return true;
        case UDM_GETPOS:
            m.Result = uint16_t(position_);
            return true;
        case UDM_SETPOS32: {
            const int32_t old = position_;
            SetPosition(int32_t(m.LParam));
            m.Result = old;
            return true;
        }
        case UDM_SETRANGE32:
            SetMin(int32_t(m.WParam));
            SetMax(int32_t(m.LParam));
            return true;
        case UDM_GETRANGE32:
            if (m.WParam) *reinterpret_cast<int*>(m.WParam) = min_;
            if (m.LParam) *reinterpret_cast<int*>(m.LParam) = max_;
            return true;
        case UDM_GETACCEL:
            if (m.WParam >= 1 && m.LParam)
                *reinterpret_cast<UDACCEL*>(m.LParam) = UDACCEL{0, UINT(increment_)};
            m.Result = 1;
            return true;
        case UDM_GETBASE:
            m.Result = format_ == ufHex ? 16 : 10;
            return true;
        default:
            return false;
    }
}

void TXcCustomUpDown::WndProc(TMessage& m) {
    if (!HandleAllocated() && AnswerWithoutWindow(m)) return;
    TXcExCustomUpDown::WndProc(m);
}

void TXcCustomUpDown::Dispatch(TMessage& m) {
    if (m.Msg != CN_NOTIFY) {
        TXcExCustomUpDown::Dispatch(m);
        return;
    }
    TXcExCustomUpDown::Dispatch(m);  // asks CanChange
    auto* nm = reinterpret_cast<const NMUPDOWN*>(m.LParam);
    if (!nm || nm->hdr.code != UDN_DELTAPOS || m.Result != 0) return;
    // An arrow click: keep the new position when the range accepts it.
    const int64_t next = int64_t(nm->iPos) + nm->iDelta;
    if (next < INT32_MIN || next > INT32_MAX || !AcceptPosition(int32_t(next))) return;
    position_ = int32_t(next);
    UpdateAssociateText();
}

bool TXcCustomUpDown::CanChange() {
    const bool allowed = TXcExCustomUpDown::CanChange();
    auto* edit = dynamic_cast<TEdit*>(associate_);
    if (allowed && edit && edit->Parent() && edit->Parent()->HandleAllocated() &&
        edit->HandleAllocated())
        PostMessageA(edit->Parent()->Handle(), WM_COMMAND, WPARAM(EN_CHANGE) << 16,
                     LPARAM(edit->Handle()));
    return allowed;
}

void TXcUpDown::UpdateAssociateText() {
    auto* edit = dynamic_cast<TEdit*>(associate_);
    if (!edit) return;
    edit->SetText(format_ == ufHex ? HexText(position_) : IntToStr(position_));
}

void RegisterXcUpDown() {
    RegisterXcExControls();
    static const std::map<std::string, int> align = {
        {"ableft", abLeft}, {"abright", abRight}, {"abnone", abNone}};
    auto ident = [](const TDfmValue& v, const std::map<std::string, int>& names) {
        auto it = names.find(LowerCase(v.s));
        if (it == names.end()) throw EReadError("Invalid property value: " + v.s);
        return it->second;
    };
    TClassReg<TXcCustomUpDown>("TXcCustomUpDown", "TXcExCustomUpDown", false)
        .prop(
            "Min", [](TXcCustomUpDown* u, const TDfmValue& v) { u->SetMin(v.AsInt()); }, "0")
        .prop(
            "Max", [](TXcCustomUpDown* u, const TDfmValue& v) { u->SetMax(v.AsInt()); }, "100")
        .prop(
            "Increment", [](TXcCustomUpDown* u, const TDfmValue& v) { u->SetIncrement(v.AsInt()); },
            "1")
        .prop(
            "Position", [](TXcCustomUpDown* u, const TDfmValue& v) { u->SetPosition(v.AsInt()); },
            "0")
        .prop("Associate", [](TXcCustomUpDown* u, const TDfmValue& v) { u->AssociateName = v.s; })
        .prop(
            "AlignButton",
            [ident](TXcCustomUpDown* u, const TDfmValue& v) {
                u->SetAlignButton(TXcAlignButton(ident(v, align)));
            },
            "abRight")
        .prop(
            "Format",
            [](TXcCustomUpDown* u, const TDfmValue& v) {
                u->SetFormat(SameText(v.s, "ufHex") ? ufHex : ufInt);
            },
            "ufInt")
        .prop(
            "HotTrack", [](TXcCustomUpDown* u, const TDfmValue& v) { u->SetHotTrack(v.AsBool()); },
            "False");
    TClassReg<TXcUpDown>("TXcUpDown", "TXcCustomUpDown");
}
