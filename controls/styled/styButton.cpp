#include "controls/styled/styButton.h"

TStyButton::TStyButton(TComponent* owner) : TCustomControl(owner) {
    width_ = 75;
    height_ = 25;
    TabStop = true;
}

void TStyButton::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case CM_DIALOGCHAR:
        // The accelerator of the caption ("&S") clicks the button, as a push button's does.
        if (IsAccel(WORD(m.WParam), text_) && CanFocus()) {
            Click();
            m.Result = 1;
        }
        return;
    case WM_LBUTTONDOWN: pressed_ = true; Invalidate(); break;
    case WM_LBUTTONUP: pressed_ = false; Invalidate(); break;
    case CM_MOUSEENTER: case CM_MOUSELEAVE: Invalidate(); break;
    default: break;
    }
    TCustomControl::Dispatch(m);
}

void TStyButton::Paint() {
    TCanvas& c = canvas_;
    TRect r = ClientRect();
    c.Brush()->Color = FaceColor;
    c.FillRect(r);
    Frame3D(c, r, pressed_ ? clBtnShadow : clBtnHighlight, pressed_ ? clBtnHighlight : cl3DDkShadow);
    if (MouseInside && enabled_) {
        c.Brush()->Color = clHighlight;
        c.FrameRect(Rect(2, 2, width_ - 2, height_ - 2));
    }
    c.Font()->Assign(font_);
    if (!enabled_) c.Font()->SetColor(clGrayText);
    c.Brush()->Style = bsClear;
    TRect tr = r;
    if (pressed_) { tr.Left += 1; tr.Top += 1; tr.Right += 1; tr.Bottom += 1; }
    c.DrawText(text_, tr, qtbridge::DT_CENTER | qtbridge::DT_VCENTER | qtbridge::DT_SINGLELINE);
}

void RegisterStyButton() {
    TClassReg<TStyButton>("TStyButton", "TCustomControl")
        .prop("FaceColor", [](TStyButton* b, const TDfmValue& v) { b->FaceColor = v.AsInt(); b->Invalidate(); });
}
