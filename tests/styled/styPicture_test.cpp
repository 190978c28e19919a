// A picture made with the styled drawing routines (gradient, bevels, 3D and rotated
// captions), saved into the build folder for a look.
#include <gtest/gtest.h>

#include "controls/styled/styCaptionFx.h"
#include "controls/styled/styDrawProcs.h"
#include "tests/styled/styDrawSupport.h"

namespace {

TEST(StyPicture, GradientBevelsAndCaptions) {
    TestBitmap t(320, 160, clBtnFace);
    TCanvas* c = t.C();

    TStyColorList colors;
    MakeGradientColors(clNavy, TColor(0xFFC080), 24, true, &colors);
    TRect panel = Rect(10, 10, 310, 150);
    TRect inner = panel;
    DrawBevel(c, inner, bvRaised, clBtnHighlight, cl3DDkShadow, 2);
    FillGradient(c, inner, gstVertical, 0, bpClip, nullptr, &colors);

    TStyColorList disc;
    MakeGradientColors(clYellow, clRed, 12, true, &disc);
    TRect badge = Rect(222, 24, 292, 94);
    TRect badgeInner = badge;
    DrawBevel(c, badgeInner, bvLowered, clBtnHighlight, clBtnShadow, 1);
    FillGradient(c, badgeInner, gstElliptic, 0, bpClip | bpOffScreen, nullptr, &disc);

    c->Font()->SetName("Arial");
    c->Font()->SetHeight(-28);
    c->Font()->SetStyle({fsBold});
    c->Font()->SetColor(clWhite);
    TSty3DCaption raised;
    raised.SetStyle(tdRaisedShadow);
    raised.SetLightDepth(1);
    raised.SetShadowDepth(2);
    raised.SetLightColor(clSilver);
    raised.SetShadowColor(clBlack);
    Draw3DText(c, "Vexomat", &raised, nullptr, dtfEnabled, 0, Rect(24, 24, 220, 64));

    c->Font()->SetHeight(-16);
    c->Font()->SetStyle({});
    TSty3DCaption extrude;
    extrude.SetStyle(tdExtrudeEnh);
    extrude.SetShadowDepth(4);
    extrude.SetShadowColor(clNavy);
    extrude.SetLightColor(clAqua);
    extrude.SetOrientation(toBottomRight);
    c->Font()->SetColor(clYellow);
    Draw3DText(c, "extrude enh", &extrude, nullptr, dtfEnabled, 0, Rect(24, 74, 220, 100));

    TStyFxCaption turned;
    turned.SetStyle(tdSunken);
    turned.SetAngle(30);
    TRect box = Rect(0, 0, 0, 0);
    MeasureCaption("rotated 30", &turned, box, c->Font(), false, false, 0, 0);
    c->Font()->SetColor(clWhite);
    Draw3DText(c, "rotated 30", &turned, nullptr, dtfEnabled, 0,
               Rect(130, 104, 130 + box.Right, 104 + box.Bottom));

    TRect frame = Rect(24, 110, 110, 140);
    DrawBevel(c, frame, bvFrameLowered, clBtnHighlight, clBtnShadow, 1);

    const std::string file = std::string(VEXOMAT_BIN_DIR) + "/../styled_drawing.png";
    t.bmp.SaveToFile(file);
    EXPECT_TRUE(FileExists(file));
    EXPECT_EQ(t.At(5, 5), ColorToRGB(clBtnFace));
    EXPECT_EQ(t.At(10, 10), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(t.At(309, 149), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(t.At(150, 13), ColorToRGB(colors.front()));
    EXPECT_EQ(t.At(150, 146), ColorToRGB(colors.back()));
}

}  // namespace
