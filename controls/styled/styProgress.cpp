#include "controls/styled/styProgress.h"

#include <algorithm>

TStyProgress::TStyProgress(TComponent* owner) : TCustomControl(owner) {
    width_ = 150;
    height_ = 16;
}

void TStyProgress::SetPosition(int v) {
    uint8_t p = uint8_t(v);  // the position is kept in one byte
    if (p == position_) return;
    position_ = p;
    Invalidate();
}

void TStyProgress::Paint() {
    TCanvas& c = canvas_;
    TRect r = ClientRect();
    Frame3D(c, r, clBtnShadow, clBtnHighlight);
    int span = std::max(1, Max - Min);
    int inner = width_ - 4;
    int filled = inner * std::clamp(int(position_) - Min, 0, span) / span;
    int bars = std::max(1, SmallBars);
    int pitch = std::max(2, inner / bars);
    c.Brush()->Color = BarColor;
    for (int x = 2; x + pitch - 1 <= 2 + filled; x += pitch) c.FillRect(Rect(x, 2, x + pitch - 1, height_ - 2));
}

void RegisterStyProgress() {
    TClassReg<TStyProgress>("TStyProgress", "TCustomControl")
        .prop("Position", [](TStyProgress* p, const TDfmValue& v) { p->SetPosition(v.AsInt()); })
        .prop("Min", [](TStyProgress* p, const TDfmValue& v) { p->Min = v.AsInt(); })
        .prop("Max", [](TStyProgress* p, const TDfmValue& v) { p->Max = v.AsInt(); })
        .prop("Step", [](TStyProgress* p, const TDfmValue& v) { p->Step = v.AsInt(); })
        .prop("SmallBars", [](TStyProgress* p, const TDfmValue& v) { p->SmallBars = v.AsInt(); })
        .prop("BarColor", [](TStyProgress* p, const TDfmValue& v) { p->BarColor = v.AsInt(); });
}
