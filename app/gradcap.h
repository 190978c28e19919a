// Title-bar painter of a form: a gradient of up to 256 colour bands from a left to a right
// colour behind a caption of three parts (company, application name, the form's own
// caption), each with its own font and colours for the active and inactive states. It takes
// over the owner form's window procedure for the frame painting and keeps the form's
// caption text in step with the three parts.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/forms.h"

enum TGradEnabled { geAlways, geNever, geWhenActive, geSmart };
enum TJustification { jAuto, jLeft, jCenter, jRight };
enum TFontKind { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };

class TGradientCaption;

// One text part.
class TCompanyText : public TPersistent {
public:
    explicit TCompanyText(TGradientCaption* owner);
    std::string ClassName() const override { return "TCompanyText"; }
    virtual void SetCaption(const std::string& s);
    virtual std::string Caption() const { return caption_; }
    TColor ColorActive() const { return colorActive_; }
    void SetColorActive(TColor c) { colorActive_ = c; }
    TColor ColorInactive() const { return colorInactive_; }
    void SetColorInactive(TColor c) { colorInactive_ = c; }
    TFont* Font() { return &font_; }
    // Takes the font; the kind becomes custom, except that an auto-height part re-fits it.
    void SetFont(const TFont& f);
    TFontKind FontKind() const { return fontKind_; }
    void SetFontKind(TFontKind k);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    // The font derived again from the system caption font for the kind.
    void ApplyFontKind();

protected:
    TGradientCaption* owner_;
    std::string caption_;

private:
    TColor colorActive_ = clCaptionText;
    TColor colorInactive_ = clInactiveCaptionText;
    TFont font_;
    TFontKind fontKind_ = fkSystem;
    bool visible_ = true;
};

class TAppNameText : public TCompanyText {
public:
    using TCompanyText::TCompanyText;
    std::string ClassName() const override { return "TAppNameText"; }
};

// The form's own caption: the form's caption without the other two parts.
class TCaptionText : public TCompanyText {
public:
    using TCompanyText::TCompanyText;
    std::string ClassName() const override { return "TCaptionText"; }
    std::string Caption() const override;
    std::string StoredCaption() const { return caption_; }
    void Refresh() { caption_ = Caption(); }
};

using TOnDrawCaption = std::function<void(TObject* sender, TCanvas* canvas, TRect& r)>;

class TGradientCaption : public TComponent {
public:
    // The owner must be a form (EInvalidCast otherwise).
    explicit TGradientCaption(TComponent* owner);
    ~TGradientCaption() override;
    std::string ClassName() const override { return "TGradientCaption"; }
    void Loaded() override;

    TCompanyText CompanyText{this};
    TAppNameText AppNameText{this};
    TCaptionText CaptionText{this};
    TColor ColorLeftActive = clBlack;
    TColor ColorLeftInActive = clBlack;
    TColor ColorRightActive = clActiveCaption;
    TColor ColorRightInActive = clInactiveCaption;
    TGradEnabled Enabled = geSmart;
    TJustification Justification = jAuto;
    int NumColors() const { return numColors_; }
    // 1 to 256: below 1 is ignored, above 256 becomes 256.
    void SetNumColors(int n);
    TOnDrawCaption OnDrawCaption;

    TForm* Form() const { return form_; }
    // The active state the title shows: the last WM_NCACTIVATE, else whether the form is the
    // active window (or, an MDI child, the main form's active child while that is active).
    bool Active() const;
    // The title bar in window coordinates (empty without a border), and the part of it the
    // texts may use (without the icon's room, which painting takes off).
    TRect CaptionRect() const;
    TRect TextRect() const;
    // The caption buttons the title shows, as bits of TCaptionButton.
    enum TCaptionButton { cbClose, cbMinimize, cbMaximize, cbHelp };
    unsigned CaptionButtons() const;
    // The form caption made of the visible parts.
    void UpdateFormCaption();
    // Paints the title bar on a canvas of the whole window.
    void PaintCaption(TCanvas& c, int width, int height);
    void RedrawFrame();
    // Which parts fit a text width: 3 all, 2 application name and caption, 1 caption only.
    int PartsThatFit(TCanvas& c, int textWidth);
    // The system caption font (read again on setting changes).
    const TFont& SystemCaptionFont() const { return sysFont_; }
    void ReadSystemCaptionFont();

private:
    void hook();
    void unhook();
    void wndProc(TMessage& m);
    bool appHook(TMessage& m);
    bool gradientOn(bool active) const;
    void drawIconAndButtons(TCanvas& c, const TRect& caption, TRect& text);
    TForm* form_;
    TWndMethod oldProc_;
    int appHookId_ = 0;
    bool recreating_ = false;
    int numColors_ = 64;
    bool active_ = true;
    bool activationSeen_ = false;
    TFont sysFont_;
};

// Posted to the application window with the painter as its long parameter after the form's
// window was destroyed, so that the painter takes over the new window.
constexpr UINT kRehookMessage = 18828;

// Colour of band I of N from Left to Right (0x00BBGGRR), and the band's edges within a
// width: left + MulDiv(i, width, n) to left + MulDiv(i + 1, width, n).
COLORREF GradientBandColor(COLORREF left, COLORREF right, int i, int n);

void RegisterGradientCaption();
