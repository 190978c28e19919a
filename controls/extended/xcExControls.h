// The hook bases of the extended controls. Each turns the class library's component
// messages (and, for the windowed ones, a few window messages) into protected hook methods
// with plain arguments; a descendant changes its reaction to a message by overriding the
// hook, and every hook's own body hands the message, rebuilt from its arguments, to the
// class library's handling. They add a hint colour, a mouse-over flag and the parent-colour
// event. TXcExGraphicControl has the first three virtual hooks and the first eleven change
// hooks; the windowed bases (combo box, list box, up-down) have them all.
#pragma once

#include <string>

#include "platform/vcl/comctrls.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/guid.h"

// The layer's own component message: does the control refuse to be subclassed?
constexpr UINT CM_QUERYNOSUBCLASS = CM_BASE + 2000;

// Dialog codes as a set; dcNative marks that the class library's answer is to stay.
enum TDlgCode {
    dcWantAllKeys,
    dcWantArrows,
    dcWantChars,
    dcButton,
    dcHasSetSel,
    dcWantTab,
    dcNative
};
using TDlgCodes = unsigned;  // bit (1 << TDlgCode) per member
constexpr TDlgCodes DlgCodeBit(TDlgCode c) { return 1u << unsigned(c); }

// DLGC_ mask to the set (other bits dropped) and back.
TDlgCodes DlgcToDlgCodes(UINT dlgc);
UINT DlgCodesToDlgc(TDlgCodes codes);
// Alt, Ctrl and Shift as the key-data bits of a character message; the reverse is the class
// library's KeyDataToShiftState.
LPARAM ShiftStateToKeyData(TShiftState shift);

// The family's interface: nothing asks a control for it.
class IXcExControl {
public:
    static constexpr GUID IID = {
        0x8E6579C3, 0xD683, 0x4562, {0xAF, 0xAB, 0xD2, 0x3C, 0x85, 0x26, 0xE3, 0x86}};
    virtual ~IXcExControl() = default;
};
// A class that carries this tag answers CM_QUERYNOSUBCLASS with 1; none of the program's
// classes does.
class IXcNoSubclass {
public:
    static constexpr GUID IID = {
        0x76942BC0, 0x2A6E, 0x4DC4, {0xBF, 0xC9, 0x8E, 0x11, 0x0D, 0xB7, 0xF6, 0x01}};
    virtual ~IXcNoSubclass() = default;
};

// The fields every base adds before its hooks.
struct TXcExHintColorField {
    // Colour of this control's hint window: clDefault asks the parent, clNone takes the
    // application's.
    TColor HintColor = clDefault;
};

// The hooks every base has.
template <class Base>
class TXcExHookCore : public Base, public IXcExControl, public TXcExHintColorField {
public:
    explicit TXcExHookCore(TComponent* owner);
    // True between the mouse-enter and the mouse-leave hook. OnMouseEnter and OnMouseLeave
    // are the class library's events, called by those hooks.
    bool MouseOver() const { return mouseOver_; }
    TNotifyEvent OnParentColorChange;

protected:
    void WndProc(TMessage& m) override;
    // The class library's handling of one message, past every hook of this family.
    void BaseWndProc(TMessage& m) { Base::WndProc(m); }
    LRESULT BaseWndProc(UINT msg, WPARAM w, LPARAM l);

    virtual void TextChanged();
    virtual bool WantKey(int Key, TShiftState Shift, const std::string& KeyText);
    virtual bool HitTest(int X, int Y);

    virtual void FocusChanged(TWinControl* AControl);
    virtual void VisibleChanged();
    virtual void EnabledChanged();
    virtual void ColorChanged();
    virtual void FontChanged();
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    virtual void ParentShowHintChanged();
    virtual bool HintShow(THintInfo& HintInfo);
    virtual void MouseEnter(TControl* AControl);
    virtual void MouseLeave(TControl* AControl);

    // The messages both kinds of base turn into hooks; false for any other.
    bool DispatchCommonHook(TMessage& m);

private:
    bool mouseOver_ = false;
};

// The hooks of the windowed bases.
template <class Base>
class TXcExWinHooks : public TXcExHookCore<Base> {
public:
    explicit TXcExWinHooks(TComponent* owner) : TXcExHookCore<Base>(owner) {}

protected:
    void WndProc(TMessage& m) override;

    virtual void BoundsChanged() {}
    virtual void GetDlgCode(TDlgCodes& /*Codes*/) {}
    virtual void FocusSet(HWND PrevWnd);
    virtual void FocusKilled(HWND NextWnd);
    // The background, on a canvas over the context of WM_ERASEBKGND; true when painted.
    using Base::PaintBackground;
    virtual bool PaintBackground(TCanvas* Canvas, int Param);

    virtual void CursorChanged();
    virtual void ShowingChanged();
    virtual void ShowHintChanged();
    virtual void ControlsListChanging(TControl* Control, bool Inserting);
    virtual void ControlsListChanged(TControl* Control, bool Inserting);
};

class TXcExGraphicControl : public TXcExHookCore<TGraphicControl> {
public:
    explicit TXcExGraphicControl(TComponent* owner) : TXcExHookCore<TGraphicControl>(owner) {}
    std::string ClassName() const override { return "TXcExGraphicControl"; }
};

// The graphic control that the layer's graphic controls (the LED) descend from.
class TXcGraphicControl : public TXcExGraphicControl {
public:
    explicit TXcGraphicControl(TComponent* owner) : TXcExGraphicControl(owner) {}
    std::string ClassName() const override { return "TXcGraphicControl"; }
};

class TXcExCustomComboBox : public TXcExWinHooks<TCustomComboBox> {
public:
    explicit TXcExCustomComboBox(TComponent* owner) : TXcExWinHooks<TCustomComboBox>(owner) {}
    std::string ClassName() const override { return "TXcExCustomComboBox"; }
};

class TXcExCustomListBox : public TXcExWinHooks<TCustomListBox> {
public:
    explicit TXcExCustomListBox(TComponent* owner) : TXcExWinHooks<TCustomListBox>(owner) {}
    std::string ClassName() const override { return "TXcExCustomListBox"; }
};

class TXcExCustomUpDown : public TXcExWinHooks<TCustomUpDown> {
public:
    explicit TXcExCustomUpDown(TComponent* owner) : TXcExWinHooks<TCustomUpDown>(owner) {}
    std::string ClassName() const override { return "TXcExCustomUpDown"; }
};

extern template class TXcExHookCore<TGraphicControl>;
extern template class TXcExHookCore<TCustomComboBox>;
extern template class TXcExHookCore<TCustomListBox>;
extern template class TXcExHookCore<TCustomUpDown>;
extern template class TXcExWinHooks<TCustomComboBox>;
extern template class TXcExWinHooks<TCustomListBox>;
extern template class TXcExWinHooks<TCustomUpDown>;

// Registers the published properties the bases add (HintColor, the events are bound in
// code) for the form reader.
void RegisterXcExControls();
