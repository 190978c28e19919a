// GIF pictures on the clipboard: the registered format round trip (count and data, frame 0's
// bitmap beside it), a bitmap taken when no GIF data is offered, and animated cursors,
// which have no clipboard form.
#include "controls/extended/xcAni.h"
#include "platform/user/clipboard.h"
#include "tests/extended/pictures_support.h"

using namespace pictest;

namespace {

// Copies as the class library's clipboard object does: open, empty, the picture's own
// format and whatever the picture put itself, close.
void Copy(TGraphic& g) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    UINT format = 0;
    HANDLE data = nullptr;
    HPALETTE palette = nullptr;
    g.SaveToClipboardFormat(format, data, palette);
    EXPECT_EQ(format, UINT(CF_BITMAP));
    EXPECT_NE(SetClipboardData(format, data), nullptr);
    CloseClipboard();
}

}  // namespace

TEST(GifClipboard, TheFormatIsRegisteredAtStart) {
    EXPECT_GE(CF_GIF, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormatA("gif image"), CF_GIF);
    RegisterGIFFormat();
    EXPECT_TRUE(TPicture::SupportsClipboardFormat(CF_GIF));
}

TEST(GifClipboard, AnAnimatedGifRoundTripsWithItsFramesAndFrameZeroBitmap) {
    RegisterGIFFormat();
    TXcGIFImage gif;
    gif.Data->ColorTable = Table(16, 99);
    gif.Data->BitsPerPixel = 4;
    const Indices first =
        AddIndexedFrame(gif, FrameSpec{.width = 9, .height = 7, .bits = 4, .seed = 5});
    AddIndexedFrame(gif, FrameSpec{.left = 3, .bits = 4, .seed = 8});
    gif.Looping = true;
    gif.RepeatCount = 4;
    gif.Frames(1)->DisplayTime = 250;
    const std::string original = Save(gif);
    Copy(gif);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_GIF));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));

    ASSERT_TRUE(OpenClipboard(nullptr));
    TPicture pasted;
    pasted.LoadFromClipboardFormat(CF_GIF, GetClipboardData(CF_GIF), nullptr);
    CloseClipboard();
    auto* back = dynamic_cast<TXcGIFImage*>(pasted.Graphic());
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->FrameCount(), 2);
    EXPECT_TRUE(back->Looping);
    EXPECT_EQ(back->RepeatCount, 4);
    EXPECT_EQ(back->Frames(1)->DisplayTime, 250);
    EXPECT_EQ(Save(*back), original);  // the frames' data as they were
    // Frame 0's bitmap came from the bitmap beside the data: the same picture.
    ASSERT_TRUE(back->Frames(0)->HasBitmap());
    TBitmap* b = back->Frames(0)->Bitmap();
    ASSERT_EQ(b->Width(), 9);
    const TBitmap* decoded = gif.Frames(0)->Bitmap();
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(b->Image().pixel(x, y) & 0xFFFFFF, decoded->Image().pixel(x, y) & 0xFFFFFF)
                << x << "," << y;
    EXPECT_EQ(first.size(), 63u);
}

TEST(GifClipboard, FramesWithoutDataPutOnlyTheBitmapAndABitmapIsPastedAsOneFrame) {
    TBitmap source;
    source.SetSize(5, 4);
    source.Canvas()->Brush()->Color = TColor(0x3366CC);
    source.Canvas()->FillRect(Rect(0, 0, 5, 4));
    TXcGIFImage gif;
    gif.Assign(&source);  // a frame with a bitmap and no data yet
    Copy(gif);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_GIF));
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));

    ASSERT_TRUE(OpenClipboard(nullptr));
    TXcGIFImage pasted;
    pasted.LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), nullptr);
    CloseClipboard();
    ASSERT_EQ(pasted.FrameCount(), 1);
    EXPECT_EQ(pasted.Width(), 5);
    EXPECT_EQ(pasted.Frames(0)->Bitmap()->Image().pixel(2, 2) & 0xFFFFFF, 0x3366CCu);

    TXcGIFImage empty;
    UINT f = 0;
    HANDLE d = nullptr;
    HPALETTE p = nullptr;
    EXPECT_THROW(empty.SaveToClipboardFormat(f, d, p), EInvalidGraphicOperation);
}

TEST(GifClipboard, AnimatedCursorsHaveNoClipboardForm) {
    TXcAni ani;
    UINT f = 0;
    HANDLE d = nullptr;
    HPALETTE p = nullptr;
    try {
        ani.SaveToClipboardFormat(f, d, p);
        ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, "剪贴板不支持图标");
    }
    EXPECT_THROW(ani.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr),
                 EInvalidGraphicOperation);
}
