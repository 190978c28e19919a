// Owner-drawn button of the styled layer (plain look for now: a raised face with its
// caption; hot and pressed states).
#pragma once

#include "platform/vcl/controls.h"

class TStyButton : public TCustomControl {
public:
    explicit TStyButton(TComponent* owner);
    std::string ClassName() const override { return "TStyButton"; }
    void Paint() override;
    void Dispatch(TMessage& m) override;
    TColor FaceColor = clBtnFace;

private:
    bool pressed_ = false;
};

void RegisterStyButton();
