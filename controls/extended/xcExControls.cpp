#include "controls/extended/xcExControls.h"

#include "controls/extended/xcWinUtils.h"

#include "platform/gdi/gdi.h"
#include "platform/rtl/scopeExit.h"
#include "platform/vcl/forms.h"

namespace {

struct TDlgMap {
    TDlgCode code;
    UINT dlgc;
};
constexpr TDlgMap kDlgMap[] = {
    {dcWantAllKeys, DLGC_WANTALLKEYS}, {dcWantArrows, DLGC_WANTARROWS},
    {dcWantChars, DLGC_WANTCHARS},     {dcButton, DLGC_BUTTON},
    {dcHasSetSel, DLGC_HASSETSEL},     {dcWantTab, DLGC_WANTTAB},
};

// Runs a step with an event of the class library detached, so that the class library's
// handling of a message does not call it a second time.
template <class F>
void WithoutEvent(TNotifyEvent& event, F step) {
    TNotifyEvent saved = std::move(event);
    event = nullptr;
    // Put back unless the step assigned a handler of its own.
    ScopeExit restore([&] {
        if (!event) event = std::move(saved);
    });
    step();
}

}  // namespace

TDlgCodes DlgcToDlgCodes(UINT dlgc) {
    TDlgCodes codes = 0;
    for (const TDlgMap& e : kDlgMap)
        if (dlgc & e.dlgc) codes |= DlgCodeBit(e.code);
    return codes;
}

UINT DlgCodesToDlgc(TDlgCodes codes) {
    UINT dlgc = 0;
    for (const TDlgMap& e : kDlgMap)
        if (codes & DlgCodeBit(e.code)) dlgc |= e.dlgc;
    return dlgc;
}

LPARAM ShiftStateToKeyData(TShiftState shift) { return KeyDataOf(shift); }

// ---------------------------------------------------------------- the hooks of every base

template <class Base>
TXcExHookCore<Base>::TXcExHookCore(TComponent* owner) : Base(owner) {
    HintColor = clDefault;
}

template <class Base>
LRESULT TXcExHookCore<Base>::BaseWndProc(UINT msg, WPARAM w, LPARAM l) {
    TMessage m{msg, w, l, 0};
    BaseWndProc(m);
    return m.Result;
}

template <class Base>
void TXcExHookCore<Base>::TextChanged() {
    BaseWndProc(CM_TEXTCHANGED, 0, 0);
}

template <class Base>
bool TXcExHookCore<Base>::WantKey(int Key, TShiftState Shift, const std::string&) {
    return BaseWndProc(CM_DIALOGCHAR, WPARAM(Key & 0xFFFF), ShiftStateToKeyData(Shift)) != 0;
}

template <class Base>
bool TXcExHookCore<Base>::HitTest(int X, int Y) {
    return BaseWndProc(CM_HITTEST, 0, MAKELPARAM_XY(X, Y)) != 0;
}

template <class Base>
void TXcExHookCore<Base>::FocusChanged(TWinControl* AControl) {
    BaseWndProc(CM_FOCUSCHANGED, 0, LPARAM(AControl));
}
template <class Base>
void TXcExHookCore<Base>::VisibleChanged() {
    BaseWndProc(CM_VISIBLECHANGED, 0, 0);
}
template <class Base>
void TXcExHookCore<Base>::EnabledChanged() {
    BaseWndProc(CM_ENABLEDCHANGED, 0, 0);
}
template <class Base>
void TXcExHookCore<Base>::ColorChanged() {
    BaseWndProc(CM_COLORCHANGED, 0, 0);
}
template <class Base>
void TXcExHookCore<Base>::FontChanged() {
    BaseWndProc(CM_FONTCHANGED, 0, 0);
}
template <class Base>
void TXcExHookCore<Base>::ParentFontChanged() {
    BaseWndProc(CM_PARENTFONTCHANGED, 0, 0);
}
template <class Base>
void TXcExHookCore<Base>::ParentShowHintChanged() {
    BaseWndProc(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

template <class Base>
void TXcExHookCore<Base>::ParentColorChanged() {
    BaseWndProc(CM_PARENTCOLORCHANGED, 0, 0);
    if (OnParentColorChange) OnParentColorChange(this);
}

template <class Base>
bool TXcExHookCore<Base>::HintShow(THintInfo& HintInfo) {
    if (HintColor == clNone) {
        HintInfo.HintColor = Application ? Application->HintColor : clInfoBk;
    } else if (HintColor == clDefault) {
        if (TWinControl* parent = this->Parent()) {
            THintInfo copy = HintInfo;
            parent->Perform(CM_HINTSHOW, 0, LPARAM(&copy));
            HintInfo.HintColor = copy.HintColor;
        }
    } else {
        HintInfo.HintColor = HintColor;
    }
    return BaseWndProc(CM_HINTSHOW, 0, LPARAM(&HintInfo)) != 0;
}

template <class Base>
void TXcExHookCore<Base>::MouseEnter(TControl* AControl) {
    mouseOver_ = true;
    if (this->OnMouseEnter) this->OnMouseEnter(this);
    WithoutEvent(this->OnMouseEnter, [&] { BaseWndProc(CM_MOUSEENTER, 0, LPARAM(AControl)); });
}

template <class Base>
void TXcExHookCore<Base>::MouseLeave(TControl* AControl) {
    mouseOver_ = false;
    WithoutEvent(this->OnMouseLeave, [&] { BaseWndProc(CM_MOUSELEAVE, 0, LPARAM(AControl)); });
    if (this->OnMouseLeave) this->OnMouseLeave(this);
}

template <class Base>
bool TXcExHookCore<Base>::DispatchCommonHook(TMessage& m) {
    switch (m.Msg) {
        case CM_QUERYNOSUBCLASS:
            m.Result = dynamic_cast<const IXcNoSubclass*>(this) ? 1 : 0;
            return true;
        case CM_DIALOGCHAR: {
            const char c = char(m.WParam & 0xFF);
            m.Result =
                WantKey(int(m.WParam), KeyDataToShiftState(m.LParam), std::string(1, c)) ? 1 : 0;
            return true;
        }
        case CM_HINTSHOW:
            m.Result = HintShow(*reinterpret_cast<THintInfo*>(m.LParam)) ? 1 : 0;
            return true;
        case CM_HITTEST:
            m.Result = HitTest(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)) ? 1 : 0;
            return true;
        case CM_MOUSEENTER:
            MouseEnter(reinterpret_cast<TControl*>(m.LParam));
            return true;
        case CM_MOUSELEAVE:
            MouseLeave(reinterpret_cast<TControl*>(m.LParam));
            return true;
        case CM_VISIBLECHANGED:
            VisibleChanged();
            return true;
        case CM_ENABLEDCHANGED:
            EnabledChanged();
            return true;
        case CM_TEXTCHANGED:
            TextChanged();
            return true;
        case CM_FONTCHANGED:
            FontChanged();
            return true;
        case CM_COLORCHANGED:
            ColorChanged();
            return true;
        case CM_PARENTFONTCHANGED:
            ParentFontChanged();
            return true;
        case CM_PARENTCOLORCHANGED:
            ParentColorChanged();
            return true;
        case CM_PARENTSHOWHINTCHANGED:
            ParentShowHintChanged();
            return true;
        case CM_FOCUSCHANGED:
            FocusChanged(reinterpret_cast<TWinControl*>(m.LParam));
            return true;
        default:
            return false;
    }
}

template <class Base>
void TXcExHookCore<Base>::WndProc(TMessage& m) {
    if (!DispatchCommonHook(m)) Base::WndProc(m);
}

// ---------------------------------------------------------------- the windowed bases

template <class Base>
void TXcExWinHooks<Base>::FocusSet(HWND PrevWnd) {
    this->BaseWndProc(WM_SETFOCUS, WPARAM(PrevWnd), 0);
}
template <class Base>
void TXcExWinHooks<Base>::FocusKilled(HWND NextWnd) {
    this->BaseWndProc(WM_KILLFOCUS, WPARAM(NextWnd), 0);
}
template <class Base>
bool TXcExWinHooks<Base>::PaintBackground(TCanvas* Canvas, int Param) {
    return this->BaseWndProc(WM_ERASEBKGND, WPARAM(Canvas->Handle()), LPARAM(Param)) != 0;
}
template <class Base>
void TXcExWinHooks<Base>::CursorChanged() {
    this->BaseWndProc(CM_CURSORCHANGED, 0, 0);
}
template <class Base>
void TXcExWinHooks<Base>::ShowingChanged() {
    this->BaseWndProc(CM_SHOWINGCHANGED, 0, 0);
}
template <class Base>
void TXcExWinHooks<Base>::ShowHintChanged() {
    this->BaseWndProc(CM_SHOWHINTCHANGED, 0, 0);
}

template <class Base>
void TXcExWinHooks<Base>::ControlsListChanging(TControl* Control, bool Inserting) {
    if (Inserting)
        this->BaseWndProc(CM_CONTROLLISTCHANGE, WPARAM(Control), 1);
    else
        this->BaseWndProc(CM_CONTROLCHANGE, WPARAM(Control), 0);
}

template <class Base>
void TXcExWinHooks<Base>::ControlsListChanged(TControl* Control, bool Inserting) {
    if (Inserting)
        this->BaseWndProc(CM_CONTROLCHANGE, WPARAM(Control), 1);
    else
        this->BaseWndProc(CM_CONTROLLISTCHANGE, WPARAM(Control), 0);
}

template <class Base>
void TXcExWinHooks<Base>::WndProc(TMessage& m) {
    if (this->DispatchCommonHook(m)) return;
    auto* control = reinterpret_cast<TControl*>(m.WParam);
    switch (m.Msg) {
        case CM_CURSORCHANGED:
            CursorChanged();
            return;
        case CM_SHOWINGCHANGED:
            ShowingChanged();
            return;
        case CM_SHOWHINTCHANGED:
            ShowHintChanged();
            return;
        case CM_CONTROLLISTCHANGE:
            if (m.LParam != 0)
                ControlsListChanging(control, true);
            else
                ControlsListChanged(control, false);
            return;
        case CM_CONTROLCHANGE:
            if (m.LParam == 0)
                ControlsListChanging(control, false);
            else
                ControlsListChanged(control, true);
            return;
        case WM_SIZE:
            this->BaseWndProc(m);
            BoundsChanged();
            return;
        case WM_SETFOCUS:
            FocusSet(reinterpret_cast<HWND>(m.WParam));
            return;
        case WM_KILLFOCUS:
            FocusKilled(reinterpret_cast<HWND>(m.WParam));
            return;
        case WM_PRINT:
        case WM_PRINTCLIENT: {
            // The context given to print into keeps its state, also when the handling raises.
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            const int saved = SaveDC(dc);
            ScopeExit restore([&] { RestoreDC(dc, saved); });
            this->BaseWndProc(m);
            return;
        }
        case WM_ERASEBKGND: {
            // The hook draws on a canvas lent the context; the context gets its state back and
            // the canvas lets go of it whatever the hook does.
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            const int saved = SaveDC(dc);
            ScopeExit restore([&] { RestoreDC(dc, saved); });
            TCanvas canvas;
            canvas.SetHandle(dc);
            ScopeExit release([&] { canvas.SetHandle(nullptr); });
            m.Result = PaintBackground(&canvas, int(m.LParam)) ? 1 : 0;
            return;
        }
        case WM_GETDLGCODE: {
            this->BaseWndProc(m);
            TDlgCodes codes = DlgcToDlgCodes(UINT(m.Result)) | DlgCodeBit(dcNative);
            GetDlgCode(codes);
            if (!(codes & DlgCodeBit(dcNative))) m.Result = LRESULT(DlgCodesToDlgc(codes));
            return;
        }
        default:
            this->BaseWndProc(m);
    }
}

template class TXcExHookCore<TGraphicControl>;
template class TXcExHookCore<TCustomComboBox>;
template class TXcExHookCore<TCustomListBox>;
template class TXcExHookCore<TCustomUpDown>;
template class TXcExWinHooks<TCustomComboBox>;
template class TXcExWinHooks<TCustomListBox>;
template class TXcExWinHooks<TCustomUpDown>;

void RegisterXcExControls() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterDragCursors();
    RegisterComponentClass("TXcExGraphicControl", "TGraphicControl", nullptr);
    RegisterComponentClass("TXcGraphicControl", "TXcExGraphicControl", nullptr);
    RegisterComponentClass("TXcExCustomComboBox", "TComboBox", nullptr);
    RegisterComponentClass("TXcExCustomListBox", "TListBox", nullptr);
    RegisterComponentClass("TXcExCustomUpDown", "TCustomUpDown", nullptr);
    for (const char* name :
         {"TXcExGraphicControl", "TXcExCustomComboBox", "TXcExCustomListBox", "TXcExCustomUpDown"})
        RegisterProperty(
            name, "HintColor",
            [](TComponent* c, const TDfmValue& v) {
                if (auto* f = dynamic_cast<TXcExHintColorField*>(c)) f->HintColor = v.AsInt();
            },
            "clDefault");
}
