// A canvas bound for one paint is unbound however the paint ends, so it never keeps a painter
// that is gone (the next drawing from a setter would go through a dangling pointer).
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "platform/vcl/controls.h"
#include "platform/vcl/forms.h"

namespace {

struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// A control whose paint draws a pixel, then raises when told to.
template <class Base>
struct Thrower : Base {
    using Base::Base;
    bool raise = false;
    bool boundInPaint = false;
    void Paint() override {
        boundInPaint = this->Canvas()->Bound();
        this->Canvas()->SetPixel(1, 1, clRed);
        if (raise) throw std::runtime_error("paint failed");
    }
};

}  // namespace

TEST(CanvasBinding, UnbindsOnReturnAndOnException) {
    struct Row {
        const char* name;
        bool raise;
    };
    for (const Row row : {Row{"returns", false}, Row{"raises", true}}) {
        SCOPED_TRACE(row.name);
        gdi::Image img(8, 8);
        TCanvas canvas;
        try {
            std::unique_ptr<gdi::Painter> painter = gdi::NewPainter(img);
            TCanvasBinding bound(canvas, *painter);
            EXPECT_TRUE(canvas.Bound());
            canvas.SetPixel(2, 2, clBlue);
            if (row.raise) throw std::runtime_error("drawing failed");
        } catch (const std::runtime_error&) {
            EXPECT_TRUE(row.raise);
        }
        EXPECT_FALSE(canvas.Bound());
        EXPECT_EQ(img.pixel(2, 2), COLORREF(clBlue));
    }
}

TEST(CanvasBinding, PaintingControlsLeaveTheirCanvasUnboundWhenPaintRaises) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 40, 40);
    auto* graphic = new Thrower<TGraphicControl>(&form);
    graphic->SetParent(&form);
    graphic->SetBounds(0, 0, 10, 10);
    for (bool raise : {false, true}) {
        SCOPED_TRACE(raise ? "raises" : "returns");
        graphic->raise = raise;
        gdi::Image img(10, 10);
        std::unique_ptr<gdi::Painter> painter = gdi::NewPainter(img);
        if (raise)
            EXPECT_THROW(graphic->PaintTo(*painter), std::runtime_error);
        else
            graphic->PaintTo(*painter);
        EXPECT_TRUE(graphic->boundInPaint);
        EXPECT_FALSE(graphic->Canvas()->Bound());
    }
    // Outside a paint the control binds its canvas to the parent's image for the one call.
    form.Show();
    for (bool raise : {false, true}) {
        SCOPED_TRACE(raise ? "raises (outside a paint)" : "returns (outside a paint)");
        if (raise)
            EXPECT_THROW(graphic->DrawOnSurface([] { throw std::runtime_error("draw failed"); }),
                         std::runtime_error);
        else
            EXPECT_TRUE(graphic->DrawOnSurface([&] { EXPECT_TRUE(graphic->Canvas()->Bound()); }));
        EXPECT_FALSE(graphic->Canvas()->Bound());
    }
    form.Hide();
}

// A canvas lent another's device context draws pictures where the context's other drawing
// goes: through its viewport origin and inside its clip region.
TEST(CanvasBinding, APictureOnALentContextFollowsItsOriginAndClip) {
    struct Row {
        const char* name;
        int vx, vy;
        bool clip;     // logical (0, 0, 2, 4)
        TRect target;  // logical
        TPoint red, white;
    };
    const Row table[] = {
        {"as it stands", 0, 0, false, Rect(0, 0, 4, 4), Point(3, 3), Point(4, 4)},
        {"moved origin", 5, 3, false, Rect(0, 0, 4, 4), Point(5, 3), Point(4, 3)},
        {"moved and clipped", 5, 3, true, Rect(0, 0, 4, 4), Point(6, 6), Point(7, 3)},
        {"stretched from a moved origin", 2, 2, false, Rect(0, 0, 8, 8), Point(9, 9),
         Point(10, 10)},
    };
    TBitmap red;
    red.SetSize(4, 4);
    red.Canvas()->Brush()->Color = clRed;
    red.Canvas()->FillRect(Rect(0, 0, 4, 4));
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        gdi::Image img(20, 20);
        std::unique_ptr<gdi::Painter> painter = gdi::NewPainter(img);
        painter->fillRect(0, 0, 20, 20, 0xFFFFFF);
        TCanvas owner;
        TCanvasBinding bound(owner, *painter);
        HDC dc = owner.Handle();
        SetViewportOrgEx(dc, row.vx, row.vy, nullptr);
        if (row.clip) IntersectClipRect(dc, 0, 0, 2, 4);
        TCanvas lent;
        lent.SetHandle(dc);
        lent.StretchDraw(row.target, &red);
        lent.SetHandle(nullptr);
        EXPECT_EQ(img.pixel(row.red.X, row.red.Y), ColorToRGB(clRed));
        EXPECT_EQ(img.pixel(row.white.X, row.white.Y), 0xFFFFFFu);
        EXPECT_EQ(img.pixel(row.vx - 1 < 0 ? 19 : row.vx - 1, row.vy), 0xFFFFFFu);
    }
}
