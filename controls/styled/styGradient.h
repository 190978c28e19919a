// A colour gradient described by two colours (or a list of colours), a number of steps,
// a style and an optional palette; the colour table is kept computed, so painting is one
// FillGradient over it.
#pragma once

#include "controls/styled/styBase.h"
#include "controls/styled/styDrawProcs.h"

class TStyGradient : public TStyObject {
public:
    TStyGradient();
    ~TStyGradient() override;
    TStyGradient(const TStyGradient&) = delete;
    TStyGradient& operator=(const TStyGradient&) = delete;
    std::string ClassName() const override { return "TStyGradient"; }

    uint8_t ColorCount() const { return colorCount_; }
    void SetColorCount(uint8_t n) { SetProp(colorCount_, n); }
    TColor Color() const { return color_; }
    void SetColor(TColor c);
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor c) { SetProp(endColor_, c); }
    bool PaletteRealize() const { return paletteRealize_; }
    void SetPaletteRealize(bool v) { SetProp(paletteRealize_, v); }
    TStyGradientStyle Style() const { return style_; }
    void SetStyle(TStyGradientStyle s) { SetProp(style_, s); }
    bool TwoColors() const { return twoColors_; }
    void SetTwoColors(bool v) { SetProp(twoColors_, v); }
    // The colours of multi-colour mode; call Change after editing it.
    TStyColorList& ColorList() { return colorList_; }

    // The computed table and its palette (0 unless PaletteRealize).
    const TStyColorList& Colors() const { return table_; }
    HPALETTE Palette() const { return palette_; }
    void CalculateColors();

    void Change() override;
    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;
    // "ColorList": one integer per colour; reading appends.
    void DefineProperties(TStyFiler& filer) override;

    // Fills the rectangle with the table (FillGradient with the style and the palette).
    void Fill(TCanvas* c, const TRect& r, uint16_t flags, DWORD offset = 0) const;

private:
    uint8_t colorCount_ = 16;
    TColor color_ = clBlue;
    TStyColorList table_;
    TColor endColor_ = clBlack;
    bool paletteRealize_ = false;
    HPALETTE palette_ = nullptr;
    TStyGradientStyle style_ = gstVertical;
    TStyColorList colorList_;
    bool twoColors_ = true;
};
