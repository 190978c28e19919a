#include "controls/styled/styGradient.h"

#include "controls/styled/styFiler.h"

TStyGradient::TStyGradient() { CalculateColors(); }

TStyGradient::~TStyGradient() {
    if (palette_) DeleteObject(palette_);
}

void TStyGradient::SetColor(TColor c) {
    if (c == color_) return;
    color_ = c;
    CalculateColors();
    Change();
}

void TStyGradient::CalculateColors() {
    if (palette_ && DeleteObject(palette_)) palette_ = nullptr;
    table_.clear();
    if (twoColors_) {
        MakeGradientColors(color_, endColor_, colorCount_, true, &table_);
    } else if (colorList_.size() >= 2) {
        const int k = int(colorList_.size());
        const int m = colorCount_ / k;
        MakeGradientColors(colorList_[0], colorList_[1], m, true, &table_);
        for (int i = 1; i <= k - 2; ++i)
            MakeGradientColors(colorList_[size_t(i)], colorList_[size_t(i) + 1], m, false, &table_);
    }
    if (paletteRealize_) palette_ = CreateGradientPalette(&table_);
}

void TStyGradient::Change() {
    CalculateColors();
    TStyObject::Change();
}

void TStyGradient::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyGradient*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    BeginUpdate();
    colorCount_ = other->colorCount_;
    color_ = other->color_;
    style_ = other->style_;
    endColor_ = other->endColor_;
    paletteRealize_ = other->paletteRealize_;
    twoColors_ = other->twoColors_;
    colorList_ = other->colorList_;
    EndUpdate(true);
}

std::string TStyGradient::GetDescription() const {
    static const char* const kStyles[] = {
        "horizontal", "vertical",    "square",       "elliptic",      "top left",
        "top right",  "bottom left", "bottom right", "top left diag", "top right diag"};
    return std::string(kStyles[style_]) + ", Col: " + IntToStr(colorCount_) +
           (twoColors_ ? ", 2 col mode" : ", mult. col mode");
}

void TStyGradient::DefineProperties(TStyFiler& filer) {
    filer.DefineProperty(
        "ColorList",
        [this](const TDfmValue& v) {
            const std::vector<long long> values = StyIntsOf(v);
            BeginUpdate();
            for (long long c : values) colorList_.push_back(TColor(c));
            EndUpdate(true);
        },
        [this] { return StyIntList(std::vector<long long>(colorList_.begin(), colorList_.end())); },
        !colorList_.empty());
}

void TStyGradient::Fill(TCanvas* c, const TRect& r, uint16_t flags, DWORD offset) const {
    FillGradient(c, r, style_, offset, flags, palette_, &table_);
}
