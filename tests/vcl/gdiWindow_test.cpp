// Windows drawn and shaped through the GDI: shaped top-level windows, child screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/paint.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

std::string TempPng(const std::string& name) {
    return std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") + "/vx_gdi_" +
           std::to_string(getpid()) + "_" + name + ".png";
}

// A screenshot read back with its alpha channel.
gdi::Image Shot(TWinControl& c, const std::string& name) {
    std::string path = TempPng(name);
    EXPECT_TRUE(c.SaveScreenshot(path));
    gdi::Image img;
    EXPECT_TRUE(img.loadFromData(ReadFileText(path).data(), ReadFileText(path).size()));
    std::remove(path.c_str());
    return img;
}

TEST(WindowRegions, ShapedWindowNeitherPaintsNorTakesClicksOutsideItsShape) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    form.SetColor(clRed);
    int downs = 0;
    form.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
    form.Show();
    Application->ProcessMessages();
    ASSERT_EQ(SetWindowRgn(form.Handle(), CreateEllipticRgn(0, 0, 200, 150), TRUE_), 1);
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(form.Handle(), got), COMPLEXREGION);
    EXPECT_FALSE(PtInRegion(got, 2, 2));
    EXPECT_TRUE(PtInRegion(got, 100, 75));
    form.Peer()->click(3, 3);
    EXPECT_EQ(downs, 0);  // the cut-away corner takes no click
    form.Peer()->click(100, 75);
    EXPECT_EQ(downs, 1);
    gdi::Image img = Shot(form, "shaped");
    EXPECT_NE(img.pixel(2, 2), COLORREF(clRed));
    EXPECT_NE(img.pixel(197, 147), COLORREF(clRed));
    EXPECT_EQ(img.pixel(100, 75), COLORREF(clRed));
    // Without the shape the whole window is there again.
    SetWindowRgn(form.Handle(), nullptr, TRUE_);
    EXPECT_EQ(GetWindowRgn(form.Handle(), got), ERROR_REGION);
    form.Peer()->click(20, 130);
    EXPECT_EQ(downs, 2);
    DeleteObject(got);
    form.Hide();
}

// Where `part` sits in `whole` pixel for pixel, or (-1, -1).
TPoint Find(const gdi::Image& whole, const gdi::Image& part) {
    for (int oy = 0; oy + part.height() <= whole.height(); ++oy)
        for (int ox = 0; ox + part.width() <= whole.width(); ++ox) {
            bool same = true;
            for (int y = 0; y < part.height() && same; ++y)
                for (int x = 0; x < part.width() && same; ++x)
                    same = whole.pixel(ox + x, oy + y) == part.pixel(x, y);
            if (same) return Point(ox, oy);
        }
    return Point(-1, -1);
}

TEST(Screenshots, ChildControlsLookAsInTheirWindow) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 260, 200);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 200, 150);
    panel->SetColor(clYellow);
    auto* list = new TListBox(&form);
    list->SetParent(panel);
    list->SetBounds(20, 20, 120, 80);
    list->Items()->Add("alpha");
    list->Items()->Add("beta");
    form.Show();
    Application->ProcessMessages();
    gdi::Image whole = Shot(form, "form");
    gdi::Image p = Shot(*panel, "panel");
    gdi::Image l = Shot(*list, "list");
    ASSERT_EQ(p.width(), 200);
    ASSERT_EQ(p.height(), 150);
    TPoint at = Find(whole, p);
    EXPECT_GE(at.X, 0) << "the panel's screenshot is not part of the window's";
    TPoint lat = Find(p, l);
    EXPECT_EQ(lat.X, 20);
    EXPECT_EQ(lat.Y, 20);
    form.Hide();
}

TEST(Screenshots, DisabledListKeepsGreyTextWhateverItsFontColour) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 150);
    auto* list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(10, 10, 150, 100);
    list->ParentFont = false;
    list->Font()->SetColor(clRed);
    list->Items()->Add("已用的页面 not available");
    form.Show();
    Application->ProcessMessages();
    // Red-looking pixels (the text may be smoothed).
    auto reds = [](const gdi::Image& img) {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                COLORREF c = img.pixel(x, y);
                n += GetRValue(c) > 0xC0 && GetGValue(c) < 0x50 && GetBValue(c) < 0x50;
            }
        return n;
    };
    EXPECT_GT(reds(Shot(*list, "on")), 0);
    list->SetEnabled(false);
    Application->ProcessMessages();
    EXPECT_EQ(reds(Shot(*list, "off")), 0);
    form.Hide();
}

}  // namespace
