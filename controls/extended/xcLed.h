// LED indicator: a round lamp in its ColorOn colour, with a hint.
#pragma once

#include "platform/vcl/controls.h"

class TXcLED : public TGraphicControl {
public:
    explicit TXcLED(TComponent* owner);
    std::string ClassName() const override { return "TXcLED"; }
    void Paint() override;
    TColor ColorOn() const { return colorOn_; }
    void SetColorOn(TColor c);
    bool Active = true;

private:
    TColor colorOn_ = clLime;
};

void RegisterXcLED();
