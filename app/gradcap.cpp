#include "app/gradcap.h"

#include <algorithm>

TGradientCaption::TGradientCaption(TComponent* owner) : TComponent(owner) { form_ = dynamic_cast<TForm*>(owner); }

TGradientCaption::~TGradientCaption() { unhook(); }

void TGradientCaption::Loaded() {
    TComponent::Loaded();
    hook();
}

void TGradientCaption::SetNumColors(int n) {
    if (n < 1) return;
    numColors_ = std::min(n, 256);
}

void TGradientCaption::hook() {
    if (!form_ || oldProc_) return;
    oldProc_ = form_->WindowProc;
    form_->WindowProc = [this](TMessage& m) {
        if (m.Msg == WM_NCPAINT && m.LParam && Enabled != geNever) {
            oldProc_(m);  // frame and borders first
            auto* nc = reinterpret_cast<TNcPaint*>(m.LParam);
            PaintCaption(*nc->canvas, nc->width, nc->height);
            return;
        }
        oldProc_(m);
    };
}

void TGradientCaption::unhook() {
    if (!form_ || !oldProc_) return;
    form_->WindowProc = oldProc_;
    oldProc_ = nullptr;
}

void TGradientCaption::PaintCaption(TCanvas& c, int width, int) {
    int fw = form_->FrameWidth();
    int top = fw, bottom = fw + form_->CaptionHeight() - 1;
    int left = fw, right = width - fw;
    if (right <= left || bottom <= top) return;
    COLORREF a = ColorToRGB(ColorLeftActive), b = ColorToRGB(ColorRightActive);
    int bands = numColors_;
    for (int i = 0; i < bands; ++i) {
        int x0 = left + (right - left) * i / bands;
        int x1 = left + (right - left) * (i + 1) / bands;
        auto mix = [&](int shift) {
            int ca = int((a >> shift) & 0xFF), cb = int((b >> shift) & 0xFF);
            return COLORREF(ca + (cb - ca) * i / std::max(1, bands - 1)) << shift;
        };
        c.Brush()->Color = TColor(mix(0) | mix(8) | mix(16));
        c.Brush()->Style = bsSolid;
        c.FillRect(Rect(x0, top, x1, bottom));
    }
    std::string text;
    if (CompanyText.Visible && !CompanyText.Caption.empty()) text += CompanyText.Caption + " ";
    if (AppNameText.Visible && !AppNameText.Caption.empty()) text += AppNameText.Caption + " ";
    if (CaptionText.Visible) text += form_->Caption();
    c.Font()->SetName("宋体");
    c.Font()->SetHeight(-12);
    c.Font()->SetStyle({fsBold});
    c.Font()->SetColor(CaptionText.ColorActive);
    c.Brush()->Style = bsClear;
    c.TextOut(left + 4, top + (bottom - top - c.TextHeight(text)) / 2, text);
    c.Brush()->Style = bsSolid;
}

void RegisterGradientCaption() {
    auto text = [](const std::string& part) {
        auto pick = [part](TGradientCaption* g) -> TCompanyText& {
            return part == "CompanyText" ? g->CompanyText : part == "AppNameText" ? g->AppNameText : g->CaptionText;
        };
        RegisterProperty("TGradientCaption", part + ".Caption",
                         [pick](TComponent* c, const TDfmValue& v) { pick(static_cast<TGradientCaption*>(c)).Caption = v.s; });
        RegisterProperty("TGradientCaption", part + ".Visible",
                         [pick](TComponent* c, const TDfmValue& v) { pick(static_cast<TGradientCaption*>(c)).Visible = v.AsBool(); });
        RegisterProperty("TGradientCaption", part + ".ColorActive",
                         [pick](TComponent* c, const TDfmValue& v) { pick(static_cast<TGradientCaption*>(c)).ColorActive = v.AsInt(); });
        for (const char* ignored : {".Font.Charset", ".Font.Color", ".Font.Height", ".Font.Name", ".Font.Style", ".FontKind", ".ColorInactive"})
            RegisterProperty("TGradientCaption", part + ignored, [](TComponent*, const TDfmValue&) {});
    };
    TClassReg<TGradientCaption>("TGradientCaption", "TComponent")
        .prop("ColorLeftActive", [](TGradientCaption* g, const TDfmValue& v) { g->ColorLeftActive = v.AsInt(); })
        .prop("ColorLeftInActive", [](TGradientCaption* g, const TDfmValue& v) { g->ColorLeftInActive = v.AsInt(); })
        .prop("ColorRightActive", [](TGradientCaption* g, const TDfmValue& v) { g->ColorRightActive = v.AsInt(); })
        .prop("ColorRightInActive", [](TGradientCaption* g, const TDfmValue& v) { g->ColorRightInActive = v.AsInt(); })
        .prop("NumColors", [](TGradientCaption* g, const TDfmValue& v) { g->SetNumColors(v.AsInt()); })
        .prop("Enabled", [](TGradientCaption* g, const TDfmValue& v) {
            g->Enabled = SameText(v.s, "geAlways") ? geAlways : SameText(v.s, "geNever") ? geNever
                       : SameText(v.s, "geWhenActive") ? geWhenActive : geSmart;
        });
    text("CompanyText");
    text("AppNameText");
    text("CaptionText");
}
