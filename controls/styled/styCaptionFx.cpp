#include "controls/styled/styCaptionFx.h"

namespace {

const char* StyleText(TStyThreeDStyle s) {
    static const char* const texts[] = {
        "Disabled",      "sunken", "raised",  "sunken shadow", "raised shadow", "PColor sunken",
        "PColor raised", "shadow", "outline", "extrude",       "extrude enh"};
    return s <= tdExtrudeEnh ? texts[s] : "";
}

}  // namespace

void TSty3DCaption::CopyFrom(const TSty3DCaption& o) {
    disabledStyle_ = o.disabledStyle_;
    lightDepth_ = o.lightDepth_;
    shadowDepth_ = o.shadowDepth_;
    lightColor_ = o.lightColor_;
    shadowColor_ = o.shadowColor_;
    style_ = o.style_;
    orientation_ = o.orientation_;
    tracing_ = o.tracing_;
}

void TSty3DCaption::Assign(const TPersistent* source) {
    auto* o = dynamic_cast<const TSty3DCaption*>(source);
    if (!o) return TStyObject::Assign(source);
    CopyFrom(*o);
    Change();
}

std::string TSty3DCaption::GetDescription() const {
    return std::string("{") + StyleText(style_) + "}";
}

void TStyFxCaption::Assign(const TPersistent* source) {
    auto* o = dynamic_cast<const TStyFxCaption*>(source);
    if (!o) return TSty3DCaption::Assign(source);
    CopyFrom(*o);
    angle_ = o->angle_;
    posX_ = o->posX_;
    posY_ = o->posY_;
    Change();
}

std::string TStyFxCaption::GetDescription() const {
    std::string d = TSty3DCaption::GetDescription();
    if (angle_ == 0) return d;
    d = d == "{Disabled}" ? "{" : d.substr(0, d.size() - 1) + ",";
    return d + " rot: " + std::to_string(angle_) + "\xC2\xB0" + "}";  // the degree sign
}

void TStyFxCaption::SetPos(int16_t x, int16_t y) {
    BeginUpdate();
    SetPosX(x);
    SetPosY(y);
    EndUpdate(false);
}

void TStyGlyphTextLayout::Assign(const TPersistent* source) {
    auto* o = dynamic_cast<const TStyGlyphTextLayout*>(source);
    if (!o) return TStyObject::Assign(source);
    arrange_ = o->arrange_;
    offsetX_ = o->offsetX_;
    offsetY_ = o->offsetY_;
    spacing_ = o->spacing_;
    alignment_ = o->alignment_;
    Change();
}

void TStyButtonLayout::Assign(const TPersistent* source) {
    auto* o = dynamic_cast<const TStyButtonLayout*>(source);
    if (!o) return TStyGlyphTextLayout::Assign(source);
    BeginUpdate();
    SetAlignText2Glyph(o->AlignText2Glyph());
    SetOffsetX(o->OffsetX());
    SetOffsetY(o->OffsetY());
    SetSpacing(o->Spacing());
    SetAlignment(o->Alignment());
    arrow_ = o->arrow_;
    arrowColor_ = o->arrowColor_;
    arrowIndent_ = o->arrowIndent_;
    arrowPosition_ = o->arrowPosition_;
    arrowSize_ = o->arrowSize_;
    EndUpdate(true);
}

int Extra3DSize(TStyThreeDStyle style, uint8_t lightDepth, uint8_t shadowDepth) {
    switch (style) {
        case tdSunken:
        case tdRaised:
            return lightDepth;
        case tdSunkenShadow:
        case tdRaisedShadow:
        case tdPColorSunken:
        case tdPColorRaised:
            return lightDepth + shadowDepth;
        case tdShadow:
        case tdOutline:
        case tdExtrude:
        case tdExtrudeEnh:
            return shadowDepth;
        default:
            return 0;
    }
}
