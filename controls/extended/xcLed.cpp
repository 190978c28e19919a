#include "controls/extended/xcLed.h"

#include <algorithm>

TXcLED::TXcLED(TComponent* owner) : TGraphicControl(owner) {
    width_ = 17;
    height_ = 17;
}

void TXcLED::SetColorOn(TColor c) {
    if (c == colorOn_) return;
    colorOn_ = c;
    Invalidate();
}

void TXcLED::Paint() {
    TCanvas& c = canvas_;
    int d = std::min(width_, height_) - 1;
    int x = (width_ - d) / 2, y = (height_ - d) / 2;
    c.Pen()->Color = clGray;
    c.Brush()->Color = Active ? colorOn_ : clGray;
    c.Brush()->Style = bsSolid;
    c.Ellipse(x, y, x + d, y + d);
    // A small highlight makes it read as a lamp.
    c.Pen()->Color = clWhite;
    c.Brush()->Color = clWhite;
    int h = std::max(2, d / 5);
    c.Ellipse(x + d / 4, y + d / 4, x + d / 4 + h, y + d / 4 + h);
}

void RegisterXcLED() {
    TClassReg<TXcLED>("TXcLED", "TGraphicControl")
        .prop("ColorOn", [](TXcLED* l, const TDfmValue& v) { l->SetColorOn(v.AsInt()); })
        .prop("Active", [](TXcLED* l, const TDfmValue& v) { l->Active = v.AsBool(); });
}
