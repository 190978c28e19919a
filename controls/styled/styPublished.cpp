#include "controls/styled/styPublished.h"

#include "controls/styled/styBevel.h"
#include "controls/styled/styButton.h"
#include "controls/styled/styCaptionFx.h"
#include "controls/styled/styControls.h"
#include "controls/styled/styEffects.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/styFillObject.h"
#include "controls/styled/styFormShape.h"
#include "controls/styled/styGradient.h"
#include "controls/styled/styImageLists.h"
#include "controls/styled/styIniCtrl.h"
#include "controls/styled/styProgress.h"
#include "controls/styled/styRegion.h"
#include "controls/styled/styRegionMask.h"
#include "controls/styled/styWndProc.h"
#include "platform/vcl/forms.h"

int StyEnumIdent(const TDfmValue& v, std::initializer_list<const char*> names) {
    if (v.kind == TDfmValue::vIdent) {
        int i = 0;
        for (const char* n : names) {
            if (SameText(v.s, n)) return i;
            ++i;
        }
        throw EReadError("Invalid property value: " + v.s);
    }
    const int n = v.AsInt();
    if (n < 0 || n >= int(names.size())) throw EReadError("Invalid property value: " + IntToStr(n));
    return n;
}

unsigned StySetBits(const TDfmValue& v, std::initializer_list<const char*> names) {
    if (v.kind != TDfmValue::vSet) throw EReadError("Invalid property value: a set expected");
    unsigned bits = 0;
    for (const std::string& member : v.set) {
        TDfmValue one;
        one.kind = TDfmValue::vIdent;
        one.s = member;
        bits |= 1u << StyEnumIdent(one, names);
    }
    return bits;
}

namespace {

const std::initializer_list<const char*> kAlignments = {
    "agTopLeft",     "agTopCenter",  "agTopRight",     "agCenterLeft", "agCenter",
    "agCenterRight", "agBottomLeft", "agBottomCenter", "agBottomRight"};
const std::initializer_list<const char*> kShadowStyles = {"hssNone", "hssSolid", "hssTracing"};
const std::initializer_list<const char*> kPixelFormats = {"spfDefault", "spfMono", "spf4bit",
                                                          "spf8bit"};

template <class T>
T Byte(const TDfmValue& v, int low, int high) {
    const int n = v.AsInt();
    if (n < low || n > high) throw EReadError("Invalid property value: " + IntToStr(n));
    return T(n);
}

void RegisterCaptions() {
    using C3 = TSty3DCaption;
    TClassReg<C3>("TSty3DCaption", "TPersistent", false)
        .prop(
            "DisabledStyle",
            [](C3* c, const TDfmValue& v) {
                c->SetDisabledStyle(
                    TStyDisabledStyle(StyEnumIdent(v, {"dsAuto", "dsStandard", "ds3d", "dsNone"})));
            },
            "dsAuto")
        .prop(
            "LightDepth",
            [](C3* c, const TDfmValue& v) { c->SetLightDepth(Byte<uint8_t>(v, 0, 255)); }, "1")
        .prop(
            "ShadowDepth",
            [](C3* c, const TDfmValue& v) { c->SetShadowDepth(Byte<uint8_t>(v, 0, 255)); }, "1")
        .prop(
            "LightColor", [](C3* c, const TDfmValue& v) { c->SetLightColor(v.AsInt()); },
            "clBtnHighlight")
        .prop(
            "ShadowColor", [](C3* c, const TDfmValue& v) { c->SetShadowColor(v.AsInt()); },
            "clBtnShadow")
        .prop(
            "Style",
            [](C3* c, const TDfmValue& v) {
                c->SetStyle(TStyThreeDStyle(
                    StyEnumIdent(v, {"tdNone", "tdSunken", "tdRaised", "tdSunkenShadow",
                                     "tdRaisedShadow", "tdPColorSunken", "tdPColorRaised",
                                     "tdShadow", "tdOutline", "tdExtrude", "tdExtrudeEnh"})));
            },
            "tdNone")
        .prop(
            "Orientation",
            [](C3* c, const TDfmValue& v) {
                c->SetOrientation(TStyThreeDOrientation(
                    StyEnumIdent(v, {"toBottomLeft", "toBottomRight", "toTopLeft", "toTopRight"})));
            },
            "toTopLeft")
        .prop(
            "Tracing", [](C3* c, const TDfmValue& v) { c->SetTracing(v.AsInt()); }, "0");
    using Fx = TStyFxCaption;
    TClassReg<Fx>("TStyFxCaption", "TSty3DCaption", false)
        .prop(
            "Angle", [](Fx* c, const TDfmValue& v) { c->SetAngle(Byte<TStyAngle>(v, 0, 360)); },
            "0")
        .prop(
            "PosX", [](Fx* c, const TDfmValue& v) { c->SetPosX(Byte<int16_t>(v, -32768, 32767)); },
            "0")
        .prop(
            "PosY", [](Fx* c, const TDfmValue& v) { c->SetPosY(Byte<int16_t>(v, -32768, 32767)); },
            "0");
    using L = TStyGlyphTextLayout;
    TClassReg<L>("TStyGlyphTextLayout", "TPersistent", false)
        .prop(
            "AlignText2Glyph",
            [](L* l, const TDfmValue& v) {
                l->SetAlignText2Glyph(TStyTextArrange(
                    StyEnumIdent(v, {"taLeft", "taLeftTop", "taRight", "taRightTop", "taTop",
                                     "taTopLeft", "taBottom", "taBottomLeft"})));
            },
            "taRight")
        .prop(
            "OffsetX", [](L* l, const TDfmValue& v) { l->SetOffsetX(v.AsInt()); }, "0")
        .prop(
            "OffsetY", [](L* l, const TDfmValue& v) { l->SetOffsetY(v.AsInt()); }, "0")
        .prop(
            "Spacing", [](L* l, const TDfmValue& v) { l->SetSpacing(v.AsInt()); }, "2")
        .prop(
            "Alignment",
            [](L* l, const TDfmValue& v) {
                l->SetAlignment(TStyAlignment(StyEnumIdent(v, kAlignments)));
            },
            "agTopLeft");
    using B = TStyButtonLayout;
    TClassReg<B>("TStyButtonLayout", "TStyGlyphTextLayout", false)
        .prop(
            "Alignment",
            [](B* l, const TDfmValue& v) {
                l->SetAlignment(TStyAlignment(StyEnumIdent(v, kAlignments)));
            },
            "agCenter")
        .prop(
            "Arrow", [](B* l, const TDfmValue& v) { l->SetArrow(v.AsBool()); }, "False")
        .prop(
            "ArrowColor", [](B* l, const TDfmValue& v) { l->SetArrowColor(v.AsInt()); }, "clBlack")
        .prop(
            "ArrowIndent", [](B* l, const TDfmValue& v) { l->SetArrowIndent(v.AsInt()); }, "3")
        .prop(
            "ArrowPosition",
            [](B* l, const TDfmValue& v) {
                l->SetArrowPosition(TStyArrowPosition(
                    StyEnumIdent(v, {"apRightText", "apLeftText", "apRightGlyph", "apLeftGlyph"})));
            },
            "apRightText")
        .prop(
            "ArrowSize",
            [](B* l, const TDfmValue& v) { l->SetArrowSize(Byte<uint8_t>(v, 0, 255)); }, "3");
}

void RegisterFills() {
    using G = TStyGradient;
    TClassReg<G>("TStyGradient", "TPersistent", false)
        .prop(
            "Color", [](G* g, const TDfmValue& v) { g->SetColor(v.AsInt()); }, "clBlue")
        .prop(
            "ColorCount",
            [](G* g, const TDfmValue& v) { g->SetColorCount(Byte<uint8_t>(v, 0, 255)); }, "16")
        .prop(
            "Style",
            [](G* g, const TDfmValue& v) {
                g->SetStyle(TStyGradientStyle(
                    StyEnumIdent(v, {"gstHorizontal", "gstVertical", "gstSquare", "gstElliptic",
                                     "gstTopLeft", "gstTopRight", "gstBottomLeft", "gstBottomRight",
                                     "gstTopLeftDiagonal", "gstTopRightDiagonal"})));
            },
            "gstVertical")
        .prop(
            "EndColor", [](G* g, const TDfmValue& v) { g->SetEndColor(v.AsInt()); }, "clBlack")
        .prop(
            "PaletteRealize", [](G* g, const TDfmValue& v) { g->SetPaletteRealize(v.AsBool()); },
            "False")
        .prop(
            "TwoColors", [](G* g, const TDfmValue& v) { g->SetTwoColors(v.AsBool()); }, "True")
        .stored("ColorList",
                [](G* g, const TDfmValue& v) { StyReadStoredProperty(g, "ColorList", v); });
    using S = TStyShapeFill;
    TClassReg<S>("TStyShapeFill", "TPersistent", false)
        .object<TBitmap>("Bitmap", &S::Bitmap)
        .object<TStyGradient>("Gradient", &S::Gradient)
        .prop(
            "Style",
            [](S* f, const TDfmValue& v) {
                f->SetStyle(
                    TStyFillStyle(StyEnumIdent(v, {"sfNone", "sfBrushBitmap", "sfBrush", "sfBitmap",
                                                   "sfBitmapList", "sfGradient"})));
            },
            "sfBrush")
        .prop(
            "TileMode",
            [](S* f, const TDfmValue& v) {
                f->SetTileMode(
                    TStyTileMode(StyEnumIdent(v, {"tmNone", "tmCenter", "tmStretch", "tmTile"})));
            },
            "tmTile");
    using F = TStyFillObject;
    TClassReg<F>("TStyFillObject", "TStyShapeFill", false)
        .prop(
            "Alignment",
            [](F* f, const TDfmValue& v) {
                f->SetAlignment(TStyAlignment(StyEnumIdent(v, kAlignments)));
            },
            "agTopLeft")
        .prop(
            "OffsetX", [](F* f, const TDfmValue& v) { f->SetOffset(0, v.AsInt()); }, "0")
        .prop(
            "OffsetY", [](F* f, const TDfmValue& v) { f->SetOffset(1, v.AsInt()); }, "0")
        .object<TBrush>("Brush", &F::Brush)
        .prop(
            "Options",
            [](F* f, const TDfmValue& v) {
                f->SetOptions(TStyFillOptions(
                    StySetBits(v, {"foFillInner", "foQuickDraw", "foGrUseBitmap"})));
            },
            "[foFillInner, foGrUseBitmap]");
}

void RegisterEffects() {
    using A = TStyAlphaObject;
    TClassReg<A>("TStyAlphaObject", "TPersistent", false)
        .reference<TStyCustomImageList>("ImageList",
                                        [](A* a, TStyCustomImageList* l) { a->SetImageList(l); })
        .prop("Strength", [](A* a, const TDfmValue& v) { a->SetStrength(float(v.AsFloat())); })
        .prop(
            "ImageIndex", [](A* a, const TDfmValue& v) { a->SetIndex(0, v.AsInt()); }, "0")
        .prop(
            "ListIndex", [](A* a, const TDfmValue& v) { a->SetIndex(1, v.AsInt()); }, "0")
        .object<TStyFillObject>("FillObject", &A::FillObject)
        .stored("Internal",
                [](A* a, const TDfmValue& v) { StyReadStoredProperty(a, "Internal", v); });
    using E = TStyBitmapEffectObject;
    auto effect = [](int index) {
        return [index](E* e, const TDfmValue& v) { e->SetEffect(index, v.AsBool()); };
    };
    TClassReg<E>("TStyBitmapEffectObject", "TPersistent", false)
        .object<TStyAlphaObject>("AlphaBlend", &E::AlphaBlend)
        .prop("Invert", effect(E::beInvert), "False")
        .prop("Buffered", effect(E::beBuffered), "False")
        .prop("GrayScale", effect(E::beGrayScale), "False")
        .prop("FlipVertical", effect(E::beFlipVertical), "False")
        .prop("FlipHorizontal", effect(E::beFlipHorizontal), "False")
        .prop(
            "Brightness",
            [](E* e, const TDfmValue& v) { e->SetBrightness(Byte<int16_t>(v, -32768, 32767)); },
            "0");
    using Sh = TStyShadow;
    TClassReg<Sh>("TStyShadow", "TPersistent", false)
        .prop(
            "Color", [](Sh* s, const TDfmValue& v) { s->SetColor(v.AsInt()); }, "clBtnShadow")
        .prop(
            "Depth", [](Sh* s, const TDfmValue& v) { s->SetDepth(Byte<uint8_t>(v, 0, 255)); }, "6")
        .prop(
            "Style",
            [](Sh* s, const TDfmValue& v) {
                s->SetStyle(TStyShadowStyle(StyEnumIdent(v, kShadowStyles)));
            },
            "hssSolid");
    TClassReg<TStyRgnShadow>("TStyRgnShadow", "TStyShadow", false)
        .prop(
            "Style",
            [](Sh* s, const TDfmValue& v) {
                s->SetStyle(TStyShadowStyle(StyEnumIdent(v, kShadowStyles)));
            },
            "hssNone");
}

void RegisterRegions() {
    using M = TStyRegionMask;
    auto stored = [](const char* name) {
        return [name](M* m, const TDfmValue& v) { StyReadStoredProperty(m, name, v); };
    };
    TClassReg<M>("TStyRegionMask", "TPersistent", false)
        .prop(
            "RegionDataSize", [](M* m, const TDfmValue& v) { m->SetRegionDataSize(v.AsInt()); },
            "0")
        .prop(
            "PixelFormat",
            [](M* m, const TDfmValue& v) {
                m->PixelFormat = TStySavePixelFormat(StyEnumIdent(v, kPixelFormats));
            },
            "spfDefault")
        .prop(
            "Compressed", [](M* m, const TDfmValue& v) { m->Compressed = v.AsBool(); }, "False")
        .stored("RegionData", stored("RegionData"))
        .stored("BorderBmp", stored("BorderBmp"))
        .stored("BorderUpBmp", stored("BorderUpBmp"))
        .stored("BorderDnBmp", stored("BorderDnBmp"));
    using Bd = TStyRegionBorder;
    auto colour = [](int index) {
        return [index](Bd* b, const TDfmValue& v) { b->SetColor(index, v.AsInt()); };
    };
    TClassReg<Bd>("TStyRegionBorder", "TPersistent", false)
        .prop(
            "Style",
            [](Bd* b, const TDfmValue& v) {
                b->SetStyle(TStyRegionBorderStyle(StyEnumIdent(
                    v, {"rbNone", "rbLowered", "rbRaised", "rbSingle", "rbSingleRaised",
                        "rbSingleLowered", "rbRaisedpsb", "rbLoweredpsb"})));
            },
            "rbSingle")
        .prop("LightColor", colour(0), "clBtnHighlight")
        .prop("ShadowColor", colour(1), "clBtnShadow")
        .prop("SingleColor", colour(2), "clBlack");
    using R = TStyRegion;
    TClassReg<R>("TStyRegion", "TPersistent", false)
        .prop(
            "Shape",
            [](R* r, const TDfmValue& v) {
                r->SetShape(TStyRegionShape(StyEnumIdent(
                    v, {"rsRect", "rsRoundRect", "rsBitmap", "rsNoseRect", "rsRoundNoseRect",
                        "rsElliptic", "rsStar", "rsRoundShield", "rsSharpShield", "rsDiamond",
                        "rsOctagon", "rsComb", "rsHalfRound", "rsUserRegion", "rsThinkBubble",
                        "rsRoundThinkBubble", "rsEllipticThinkBubble", "rsPointList"})));
            },
            "rsRoundRect")
        .prop(
            "RoundX", [](R* r, const TDfmValue& v) { r->SetRound(0, v.AsInt()); }, "20")
        .prop(
            "RoundY", [](R* r, const TDfmValue& v) { r->SetRound(1, v.AsInt()); }, "20")
        .prop(
            "ExtPos",
            [](R* r, const TDfmValue& v) {
                r->SetExtPos(TStyExtPos(StyEnumIdent(
                    v, {"epLeftTop", "epTopLeft", "epTopRight", "epRightTop", "epRightBottom",
                        "epBottomRight", "epBottomLeft", "epLeftBottom"})));
            },
            "epLeftTop")
        .object<TStyRegionMask>("Mask", &R::Mask)
        .object<TStyRgnShadow>("Shadow", &R::Shadow)
        .stored("PointList",
                [](R* r, const TDfmValue& v) { StyReadStoredProperty(r, "PointList", v); });
    TClassReg<TStyBorderRegion>("TStyBorderRegion", "TStyRegion", false)
        .object<TStyRegionBorder>("Border", &R::Border);
}

void RegisterBevelAndBar() {
    using Bv = TStyBevel;
    TClassReg<Bv>("TStyBevel", "TPersistent", false);
    RegisterStyBevelObjectProps("TStyBevel");
    using Sb = TStySmallBar;
    TClassReg<Sb>("TStySmallBar", "TPersistent", false)
        .prop(
            "AutoSize", [](Sb* b, const TDfmValue& v) { b->SetAutoSize(v.AsBool()); }, "True")
        .prop(
            "BarColor", [](Sb* b, const TDfmValue& v) { b->SetBarColor(v.AsInt()); }, "clNavy")
        .prop(
            "BarCount", [](Sb* b, const TDfmValue& v) { b->SetBarCount(Byte<uint8_t>(v, 0, 255)); },
            "10")
        .prop(
            "HSpace", [](Sb* b, const TDfmValue& v) { b->SetHSpace(Byte<uint8_t>(v, 0, 255)); },
            "3")
        .prop(
            "VSpace", [](Sb* b, const TDfmValue& v) { b->SetVSpace(Byte<uint8_t>(v, 0, 255)); },
            "3");
}

void RegisterComponents() {
    using W = TStyWndProcComponent;
    TClassReg<TStyCustomComponent>("TStyCustomComponent", "TComponent", false)
        .prop("About", [](TStyCustomComponent* c, const TDfmValue& v) { c->About = v.AsString(); });
    TClassReg<W>("TStyWndProcComponent", "TStyCustomComponent", false)
        .prop(
            "Enabled", [](W* c, const TDfmValue& v) { c->SetEnabled(v.AsBool()); }, "True");
    TClassReg<TStyXPThemeManager>("TStyXPThemeManager", "TStyWndProcComponent");
    using I = TStyIniCtrl;
    TClassReg<I>("TStyIniCtrl", "TStyCustomComponent")
        .prop(
            "Common", [](I* i, const TDfmValue& v) { i->Common = v.AsBool(); }, "True")
        .prop(
            "NetUser", [](I* i, const TDfmValue& v) { i->SetNetUser(v.AsBool()); }, "False")
        .prop("IniFile", [](I* i, const TDfmValue& v) { i->SetIniFile(v.AsString()); })
        .prop("User", [](I* i, const TDfmValue& v) { i->User = v.AsString(); })
        .prop(
            "IniPrefix",
            [](I* i, const TDfmValue& v) {
                i->IniPrefix = TStyPathPrefix(
                    StyEnumIdent(v, {"ppWindows", "ppSystem", "ppProgram", "ppFixed"}));
            },
            "ppWindows")
        .prop(
            "RegRoot",
            [](I* i, const TDfmValue& v) {
                i->RegRoot = TStyRegRootKey(
                    StyEnumIdent(v, {"rpClassesRoot", "rpCurrentUser", "rpLocalMachine", "rpUsers",
                                     "rpCurrentConfig", "rpDynData"}));
            },
            "rpCurrentUser")
        .prop("RegPath", [](I* i, const TDfmValue& v) { i->RegPath = v.AsString(); })
        .prop(
            "AlphaCounter", [](I* i, const TDfmValue& v) { i->SetAlphaCounter(v.AsBool()); },
            "False")
        .prop(
            "MaxEntries",
            [](I* i, const TDfmValue& v) { i->SetMaxEntries(Byte<uint8_t>(v, 0, 255)); }, "16")
        .prop(
            "Target",
            [](I* i, const TDfmValue& v) {
                i->SetTarget(TStyIniTarget(StyEnumIdent(v, {"itIniFile", "itRegistry", "itAuto"})));
            },
            "itAuto")
        .prop("EncKey", [](I* i, const TDfmValue& v) { i->EncKey = Byte<uint16_t>(v, 0, 65535); })
        .prop(
            "Encoded", [](I* i, const TDfmValue& v) { i->Encoded = v.AsBool(); }, "False");
}

}  // namespace

void RegisterStyLookObjects() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterStandardClasses();
    RegisterCaptions();
    RegisterFills();
    RegisterEffects();
    RegisterRegions();
    RegisterBevelAndBar();
    RegisterComponents();
}

void RegisterStyledClasses() {
    RegisterStyLookObjects();
    RegisterStyButton();
    RegisterStyProgress();
    RegisterStyFormShape();
    RegisterStyContainers();
}
