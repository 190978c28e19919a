// An image whose pixels are exchanged (resized, assigned, loaded) while a painter draws on it:
// the painter goes on over the new pixels with its state, never over freed ones (run these
// under the sanitizers too).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/gdi/surface.h"
#include "platform/vcl/forms.h"

namespace {

struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

constexpr uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00FF00, kWhite = 0xFFFFFF;

gdi::Image Filled(int w, int h, uint32_t bgr) {
    gdi::Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, bgr);
    return img;
}

}  // namespace

TEST(ImageUnderPainter, ExchangedPixelsKeepThePainterAndItsState) {
    struct Row {
        const char* name;
        std::function<void(gdi::Image&)> exchange;
        int width, height;   // of the pixels afterwards
        uint32_t outsideAt;  // what (9, 9), outside the clip, holds afterwards
    };
    const gdi::Image other = Filled(30, 20, kGreen);
    const Row rows[] = {
        {"grown", [](gdi::Image& i) { i.resize(40, 30); }, 40, 30, kBlue},
        {"shrunk", [](gdi::Image& i) { i.resize(12, 12); }, 12, 12, kBlue},
        {"assigned another size", [&](gdi::Image& i) { i = other; }, 30, 20, kGreen},
        {"shrunk to nothing and grown",
         [](gdi::Image& i) {
             i.resize(0, 0);
             i.resize(16, 16);
         },
         16, 16, kWhite},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        gdi::Image img = Filled(10, 10, kBlue);
        std::unique_ptr<gdi::Painter> p = gdi::NewPainter(img);
        ASSERT_EQ(gdi::Painter::ActiveOn(img), p.get());
        p->setOrigin(2, 3);
        const int clip[] = {0, 0, 8, 8};  // device coordinates
        p->setClipRects(clip, 1);
        p->setPen(kRed, 1, 0);
        p->setBrush(kRed, 0);

        row.exchange(img);

        ASSERT_EQ(img.width(), row.width);
        ASSERT_EQ(img.height(), row.height);
        EXPECT_EQ(gdi::Painter::ActiveOn(img), p.get());
        int x = 0, y = 0;
        p->origin(x, y);
        EXPECT_EQ(x, 2);
        EXPECT_EQ(y, 3);
        // A rectangle over the whole image, in the painter's coordinates: the clip still
        // holds it to 8 x 8 device pixels, the origin still moves it, the brush is kept.
        p->rectangle(-2, -3, 100, 100);
        EXPECT_EQ(img.pixel(7, 7), kRed);
        EXPECT_EQ(img.pixel(5, 5), kRed);
        EXPECT_EQ(img.pixel(9, 9), row.outsideAt);
        p->fillRect(-2, -3, 1, 1, kGreen);
        EXPECT_EQ(img.pixel(0, 0), kGreen);
        p.reset();
        EXPECT_EQ(gdi::Painter::ActiveOn(img), nullptr);
    }
}

TEST(ImageUnderPainter, SavedLevelsSurviveTheExchange) {
    gdi::Image img = Filled(8, 8, kWhite);
    std::unique_ptr<gdi::Painter> p = gdi::NewPainter(img);
    p->setOrigin(1, 1);
    p->save();
    p->setOrigin(4, 4);
    p->save();
    p->setOrigin(6, 6);
    img.resize(20, 20);
    int x = 0, y = 0;
    p->origin(x, y);
    EXPECT_EQ(x, 6);
    p->restore();
    p->origin(x, y);
    EXPECT_EQ(x, 4);
    p->restore();
    p->origin(x, y);
    EXPECT_EQ(x, 1);
    p->fillRect(0, 0, 1, 1, kRed);
    EXPECT_EQ(img.pixel(1, 1), kRed);
    // A restore past the saved levels changes nothing.
    p->restore();
    p->origin(x, y);
    EXPECT_EQ(x, 1);
}

TEST(ImageUnderPainter, LoadedPixelsTakeThePainterAlong) {
    const std::string path = ::testing::TempDir() + "imageUnderPainter.png";
    ASSERT_TRUE(Filled(6, 5, kGreen).save(path));
    gdi::Image img = Filled(3, 3, kBlue);
    std::unique_ptr<gdi::Painter> p = gdi::NewPainter(img);
    ASSERT_TRUE(img.load(path));
    EXPECT_EQ(img.width(), 6);
    p->fillRect(4, 3, 6, 5, kRed);
    EXPECT_EQ(img.pixel(5, 4), kRed);
    EXPECT_EQ(img.pixel(0, 0), kGreen);
    std::remove(path.c_str());
}

// A control that sizes itself from its own paint, the way a label fitting its text can: the
// window's backing image is resized under the paint's painter, which keeps drawing.
TEST(ImageUnderPainter, AControlResizedInItsOwnPaint) {
    struct Growing : TCustomControl {
        using TCustomControl::TCustomControl;
        int paints = 0;
        void Paint() override {
            ++paints;
            if (Width() < 60) {
                SetBounds(Left(), Top(), 60, 50);
                // A device context of the window asks for its backing image at the new size.
                HDC dc = GetDC(Handle());
                ReleaseDC(Handle(), dc);
            }
            Canvas()->Brush()->Color = clRed;
            Canvas()->FillRect(TRect{0, 0, Width(), Height()});
        }
    };
    TForm form(nullptr);
    form.SetBounds(0, 0, 120, 100);
    auto* c = new Growing(&form);
    c->SetParent(&form);
    c->SetBounds(0, 0, 20, 20);
    form.Show();
    Application->ProcessMessages();
    // Off screen a window paints when it is grabbed.
    const std::string shot = ::testing::TempDir() + "vx-growing-paint.png";
    ASSERT_TRUE(form.SaveScreenshot(shot));
    EXPECT_GT(c->paints, 0);
    EXPECT_EQ(c->Width(), 60);
    ASSERT_TRUE(c->SaveScreenshot(shot));
    gdi::Image img;
    ASSERT_TRUE(img.load(shot));
    std::remove(shot.c_str());
    ASSERT_EQ(img.width(), 60);
    EXPECT_EQ(img.pixel(0, 0), kRed);
    EXPECT_EQ(img.pixel(59, 49), kRed);
    form.Hide();
}
