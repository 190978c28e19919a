// Progress meter of the styled layer: a bar of small blocks whose position is a byte.
#pragma once

#include "platform/vcl/controls.h"

class TStyProgress : public TCustomControl {
public:
    explicit TStyProgress(TComponent* owner);
    std::string ClassName() const override { return "TStyProgress"; }
    void Paint() override;
    uint8_t Position() const { return position_; }
    void SetPosition(int v);
    int Min = 0;
    int Max = 100;
    int Step = 10;
    int SmallBars = 157;  // number of blocks across the bar
    TColor BarColor = clLime;

private:
    uint8_t position_ = 0;
};

void RegisterStyProgress();
