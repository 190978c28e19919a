// Title-bar painter of a form: a gradient of colour bands from left to right behind the
// caption text. It takes over the owner form's window procedure for the frame painting.
#pragma once

#include "platform/vcl/forms.h"

enum TGradEnabled { geAlways, geNever, geWhenActive, geSmart };

class TCompanyText : public TPersistent {
public:
    std::string ClassName() const override { return "TCompanyText"; }
    std::string Caption;
    TColor ColorActive = clCaptionText;
    TColor ColorInactive = clInactiveCaptionText;
    bool Visible = true;
};

class TGradientCaption : public TComponent {
public:
    explicit TGradientCaption(TComponent* owner);
    ~TGradientCaption() override;
    std::string ClassName() const override { return "TGradientCaption"; }
    void Loaded() override;

    TCompanyText CompanyText;
    TCompanyText AppNameText;
    TCompanyText CaptionText;
    TColor ColorLeftActive = clBlack;
    TColor ColorLeftInActive = clBlack;
    TColor ColorRightActive = clActiveCaption;
    TColor ColorRightInActive = clInactiveCaption;
    TGradEnabled Enabled = geSmart;
    int NumColors() const { return numColors_; }
    void SetNumColors(int n);

    // Paints the title bar on the form's whole-window canvas.
    void PaintCaption(TCanvas& c, int width, int height);

private:
    void hook();
    void unhook();
    TForm* form_ = nullptr;
    TWndMethod oldProc_;
    int numColors_ = 64;
};

void RegisterGradientCaption();
