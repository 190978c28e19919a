// The focus of check and radio buttons on a black window: a dotted rectangle around the
// caption that inverts what it crosses (light dots on black), never a frame in a colour of
// its own; without the focus, none.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/windowSystem.h"

namespace {

gdi::Image Picture(TWinControl& w, const std::string& name) {
    const std::string path = ::testing::TempDir() + "vx-mark-focus-" + name + ".png";
    gdi::Image img;
    if (!w.SaveScreenshot(path)) return img;
    const std::string data = ReadFileText(path);
    img.loadFromData(data.data(), data.size());
    return img;
}

int Luminance(uint32_t c) { return int(((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3; }

}  // namespace

TEST(MarkFocus, DottedInvertingRectangleAroundTheCaptionOnBlack) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 140);
    form.SetColor(clBlack);
    auto* check = new TCheckBox(&form);
    auto* radio = new TRadioButton(&form);
    auto* other = new TEdit(&form);
    int top = 10;
    for (TWinControl* c : {static_cast<TWinControl*>(check), static_cast<TWinControl*>(radio)}) {
        c->SetParent(&form);
        c->SetBounds(10, top, 160, 20);
        c->SetColor(clBlack);  // as the main window's check boxes are
        c->Font()->SetName("宋体");
        c->Font()->SetHeight(-12);
        c->Font()->SetColor(clWhite);
        top += 40;
    }
    check->SetCaption("自动显示结果");
    radio->SetCaption("分辨率 72 dpi");
    radio->SetChecked(true);  // the group's Tab stop
    other->SetParent(&form);
    other->SetBounds(10, 100, 100, 21);
    form.Show();
    Application->ProcessMessages();
    for (TWinControl* c : {static_cast<TWinControl*>(check), static_cast<TWinControl*>(radio)}) {
        const std::string name = c->ClassName();
        other->SetFocus();
        Application->ProcessMessages();
        const gdi::Image plain = Picture(*c, name + "-plain");
        // Reached by the keyboard, as a style shows its own focus frame only then.
        for (int i = 0; i < 4 && !c->Focused(); ++i) {
            ws::PressKey(9, 0);
            Application->ProcessMessages();
        }
        ASSERT_TRUE(c->Focused()) << name;
        const gdi::Image focused = Picture(*c, name + "-focused");
        ASSERT_GT(plain.width(), 0) << name;
        ASSERT_EQ(plain.width(), focused.width()) << name;
        ASSERT_EQ(plain.height(), focused.height()) << name;
        // No frame in the style's own navy, focused or not.
        int navy = 0;
        for (const gdi::Image* img : {&plain, &focused})
            for (int y = 0; y < img->height(); ++y)
                for (int x = 0; x < img->width(); ++x)
                    navy += (img->pixel(x, y) & 0xFFFFFF) == 0x081D55;
        EXPECT_EQ(navy, 0) << name;
        // What the focus adds: light dots on black, on the edges of one rectangle.
        int l = focused.width(), t = focused.height(), r = -1, b = -1, changed = 0, light = 0;
        for (int y = 0; y < focused.height(); ++y)
            for (int x = 0; x < focused.width(); ++x) {
                if (focused.pixel(x, y) == plain.pixel(x, y)) continue;
                ++changed;
                light +=
                    Luminance(plain.pixel(x, y)) < 0x40 && Luminance(focused.pixel(x, y)) > 0xC0;
                l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
            }
        ASSERT_GT(changed, 40) << name << ": no focus rectangle";
        EXPECT_GE(light * 10, changed * 9) << name << ": the dots are not light on black";
        int offEdge = 0, topEdge = 0;
        for (int y = t; y <= b; ++y)
            for (int x = l; x <= r; ++x) {
                const bool differs = focused.pixel(x, y) != plain.pixel(x, y);
                if (differs && x != l && x != r && y != t && y != b) ++offEdge;
                if (y == t) topEdge += differs;
            }
        EXPECT_EQ(offEdge, 0) << name << ": changes inside the rectangle";
        const int w = r - l + 1;
        EXPECT_LE(std::abs(topEdge - (w + 1) / 2), 1) << name << ": the edge is not dotted";
        // Around the caption: right of the mark, and every light caption pixel inside it.
        EXPECT_GT(l, 13) << name;
        int captionOutside = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 14; x < plain.width(); ++x)
                if (Luminance(plain.pixel(x, y)) > 0x80 && (x <= l || x >= r || y <= t || y >= b))
                    ++captionOutside;
        EXPECT_EQ(captionOutside, 0) << name;
    }
    form.Hide();
}
