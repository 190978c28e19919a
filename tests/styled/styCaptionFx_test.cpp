// Caption and layout look objects: defaults, change notification, assignment and the
// descriptions shown for them; what the 3D styles add to a caption's size.
#include <gtest/gtest.h>

#include "controls/styled/styCaptionFx.h"

namespace {

TEST(StyCaptionLook, DefaultsAndNotification) {
    TStyFxCaption fx;
    EXPECT_EQ(fx.DisabledStyle(), dsAuto);
    EXPECT_EQ(fx.LightDepth(), 1);
    EXPECT_EQ(fx.ShadowDepth(), 1);
    EXPECT_EQ(fx.LightColor(), clBtnHighlight);
    EXPECT_EQ(fx.ShadowColor(), clBtnShadow);
    EXPECT_EQ(fx.Style(), tdNone);
    EXPECT_EQ(fx.Orientation(), toTopLeft);
    EXPECT_EQ(fx.Tracing(), 0);
    EXPECT_EQ(fx.Angle(), 0);

    int changes = 0;
    fx.OnChange = [&](TObject*) { ++changes; };
    fx.SetStyle(tdRaised);
    fx.SetStyle(tdRaised);
    EXPECT_EQ(changes, 1);
    fx.SetAngle(360);  // stored as 0: unchanged
    EXPECT_EQ(fx.Angle(), 0);
    EXPECT_EQ(changes, 1);
    fx.SetPos(4, 5);  // without notification
    EXPECT_EQ(fx.PosX(), 4);
    EXPECT_EQ(fx.PosY(), 5);
    EXPECT_EQ(changes, 1);
    fx.SetAngle(90);
    EXPECT_EQ(changes, 2);
}

TEST(StyCaptionLook, Descriptions) {
    TSty3DCaption c;
    EXPECT_EQ(c.GetDescription(), "{Disabled}");
    c.SetStyle(tdRaised);
    EXPECT_EQ(c.GetDescription(), "{raised}");
    c.SetStyle(tdExtrudeEnh);
    EXPECT_EQ(c.GetDescription(), "{extrude enh}");
    c.SetStyle(tdPColorSunken);
    EXPECT_EQ(c.GetDescription(), "{PColor sunken}");

    TStyFxCaption fx;
    fx.SetStyle(tdSunken);
    fx.SetAngle(45);
    EXPECT_EQ(fx.GetDescription(), "{sunken, rot: 45\xC2\xB0}");
    fx.SetStyle(tdNone);
    EXPECT_EQ(fx.GetDescription(), "{ rot: 45\xC2\xB0}");
    fx.SetAngle(360);
    EXPECT_EQ(fx.GetDescription(), "{Disabled}");
}

TEST(StyCaptionLook, AssignCopiesOnceAndRefusesStrangers) {
    TStyFxCaption a, b;
    a.SetStyle(tdExtrude);
    a.SetShadowDepth(3);
    a.SetAngle(30);
    a.SetPos(7, 8);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Assign(&a);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(b.Style(), tdExtrude);
    EXPECT_EQ(b.ShadowDepth(), 3);
    EXPECT_EQ(b.Angle(), 30);
    EXPECT_EQ(b.PosY(), 8);

    TSty3DCaption plain;
    plain.Assign(&a);  // a caption takes the 3D part of an effect caption
    EXPECT_EQ(plain.Style(), tdExtrude);
    TStyGlyphTextLayout layout;
    EXPECT_THROW(layout.Assign(&a), EConvertError);
}

TEST(StyLayoutLook, DefaultsAndAssign) {
    TStyGlyphTextLayout g;
    EXPECT_EQ(g.AlignText2Glyph(), taRight);
    EXPECT_EQ(g.Spacing(), 2);
    EXPECT_EQ(g.Alignment(), agTopLeft);
    TStyButtonLayout b;
    EXPECT_EQ(b.Alignment(), agCenter);
    EXPECT_FALSE(b.Arrow());
    EXPECT_EQ(b.ArrowColor(), clBlack);
    EXPECT_EQ(b.ArrowIndent(), 3);
    EXPECT_EQ(b.ArrowPosition(), apRightText);
    EXPECT_EQ(b.ArrowSize(), 3);

    TStyButtonLayout src;
    src.SetArrow(true);
    src.SetSpacing(6);
    src.SetAlignText2Glyph(taBottom);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.Assign(&src);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(b.Arrow());
    EXPECT_EQ(b.Spacing(), 6);
    EXPECT_EQ(b.AlignText2Glyph(), taBottom);
    g.Assign(&src);  // the plain layout takes the shared part
    EXPECT_EQ(g.Alignment(), agCenter);
}

TEST(StyCaptionLook, ExtraSizeOfEachStyle) {
    struct Row {
        TStyThreeDStyle style;
        int extra;
    };
    for (Row row : {Row{tdNone, 0}, Row{tdSunken, 2}, Row{tdRaised, 2}, Row{tdSunkenShadow, 5},
                    Row{tdRaisedShadow, 5}, Row{tdPColorSunken, 5}, Row{tdPColorRaised, 5},
                    Row{tdShadow, 3}, Row{tdOutline, 3}, Row{tdExtrude, 3}, Row{tdExtrudeEnh, 3}})
        EXPECT_EQ(Extra3DSize(row.style, 2, 3), row.extra) << int(row.style);
}

}  // namespace
