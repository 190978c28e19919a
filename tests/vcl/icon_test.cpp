#include <gtest/gtest.h>

#include "platform/rtl/classes.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/imgList.h"
#include "platform/win/shellInfo.h"

namespace {

IconImage Square(int size, uint32_t rgb, int bits) {
    IconImage img;
    img.Resize(size, size);
    img.bitCount = bits;
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        img.mask[i] = i == 0;  // the top-left pixel is transparent
        img.pixels[i] = i == 0 ? 0 : 0xFF000000u | rgb;
    }
    return img;
}

// A file with a 16-pixel 4-bit and a 32-pixel 24-bit image.
std::string TwoImageFile() {
    IconFile f;
    IconFileEntry a, b;
    EXPECT_TRUE(EncodeIconEntry(Square(16, 0xFF0000, 4), 4, false, a));
    EXPECT_TRUE(EncodeIconEntry(Square(32, 0x00FF00, 24), 24, false, b));
    f.entries = {a, b};
    return WriteIconFile(f);
}

void Put(TMemoryStream& s, const std::string& bytes) {
    s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

std::string All(TMemoryStream& s) {
    return std::string(reinterpret_cast<const char*>(s.Bytes().data()), s.Bytes().size());
}

}  // namespace

TEST(TIconStreams, LoadAndSaveKeepTheFileByteForByte) {
    const std::string file = TwoImageFile();
    TMemoryStream in;
    Put(in, "xx");
    Put(in, file);
    Put(in, "tail");
    in.SetPosition(2);
    TIcon icon;
    icon.LoadFromStream(in);
    EXPECT_EQ(in.Position(), int64_t(2 + file.size()));  // stops after the icon
    EXPECT_EQ(icon.Width(), 32);
    EXPECT_EQ(icon.Height(), 32);
    EXPECT_FALSE(icon.IsCursor());
    ASSERT_NE(icon.Handle(), nullptr);
    TMemoryStream out;
    icon.SaveToStream(out);
    EXPECT_EQ(All(out), file);

    // Garbage leaves the icon as it was and the stream where it was.
    TMemoryStream bad;
    Put(bad, "not an icon at all");
    bad.SetPosition(0);
    EXPECT_THROW(icon.LoadFromStream(bad), EInvalidGraphic);
    EXPECT_EQ(bad.Position(), 0);
    EXPECT_EQ(icon.Width(), 32);
}

TEST(TIconStreams, EmptyIconAndIconsMadeFromHandles) {
    TIcon empty;
    EXPECT_TRUE(empty.Empty());
    EXPECT_EQ(empty.Width(), 0);
    EXPECT_EQ(empty.SaveToData(), std::string(6, '\0'));

    TIcon made;
    made.SetHandle(NewIconHandle(Square(16, 0x0000FF, 24)));
    std::string bytes = made.SaveToData();
    TIcon back;
    back.LoadFromData(bytes);
    EXPECT_EQ(back.Width(), 16);
    EXPECT_EQ(IconImageOf(back.Handle())->pixels, IconImageOf(made.Handle())->pixels);

    TIcon copy;
    copy.Assign(back);
    EXPECT_EQ(copy.SaveToData(), bytes);
    HICON h = copy.ReleaseHandle();
    ASSERT_NE(h, nullptr);
    EXPECT_NE(copy.Handle(), h);  // made anew from the data
    DestroyIcon(h);
}

TEST(TIconStreams, PictureLoadsIconFiles) {
    TPicture p;
    p.LoadFromData("ico", TwoImageFile());
    ASSERT_NE(dynamic_cast<TIcon*>(p.Graphic()), nullptr);
    EXPECT_EQ(p.Width(), 32);
}

TEST(TIconDrawing, DrawsAtItsOwnSizeTransparently) {
    TBitmap bmp;
    bmp.SetSize(40, 40);
    bmp.Canvas()->Brush()->Color = clWhite;
    bmp.Canvas()->FillRect(TRect{0, 0, 40, 40});
    TIcon icon;
    icon.LoadFromData(TwoImageFile());
    bmp.Canvas()->Draw(4, 4, &icon);
    EXPECT_EQ(bmp.Canvas()->Pixel(4, 4), clWhite);  // the transparent corner
    EXPECT_EQ(bmp.Canvas()->Pixel(5, 4), TColor(0x00FF00));
    EXPECT_EQ(bmp.Canvas()->Pixel(36, 36), clWhite);  // 32 pixels, not the rectangle
}

TEST(TImageListClass, AddMaskedThenDrawTransparentAndShareTheSystemList) {
    TImageList list(nullptr, 8, 8);
    TBitmap strip;
    strip.SetSize(16, 8);
    strip.Canvas()->Brush()->Color = clFuchsia;
    strip.Canvas()->FillRect(TRect{0, 0, 16, 8});
    strip.Canvas()->Brush()->Color = clNavy;
    strip.Canvas()->FillRect(TRect{0, 0, 4, 8});
    strip.Canvas()->FillRect(TRect{8, 0, 16, 4});
    EXPECT_EQ(list.AddMasked(&strip, clFuchsia), 0);
    EXPECT_EQ(list.Count(), 2);

    TBitmap target;
    target.SetSize(16, 8);
    target.Canvas()->Brush()->Color = clYellow;
    target.Canvas()->FillRect(TRect{0, 0, 16, 8});
    list.Draw(target.Canvas(), 0, 0, 0);
    list.Draw(target.Canvas(), 8, 0, 1, dsTransparent, itImage);
    EXPECT_EQ(target.Canvas()->Pixel(0, 0), clNavy);
    EXPECT_EQ(target.Canvas()->Pixel(6, 0), clYellow);
    EXPECT_EQ(target.Canvas()->Pixel(9, 2), clNavy);
    EXPECT_EQ(target.Canvas()->Pixel(9, 6), clYellow);

    TIcon icon;
    list.GetIcon(1, &icon);
    EXPECT_EQ(icon.Width(), 8);
    EXPECT_EQ(list.AddIcon(&icon), 2);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_THROW(list.Delete(5), EInvalidOperation);

    // Attached to the shell's list with ShareImages: destroying the object leaves it alone.
    HIMAGELIST sys = SystemImageList(true);
    {
        TImageList shared(nullptr);
        shared.ShareImages = true;
        shared.SetHandle(sys);
        EXPECT_EQ(shared.Width(), 16);
    }
    EXPECT_TRUE(IsImageList(sys));
}

// Real icon files often leave the directory's colour depth at 0: the choice among images of
// the same size then follows the depth the images themselves are stored in.
TEST(IconEntryChoice, ZeroDirectoryDepthsFollowTheImages) {
    IconImage soft = Square(32, 0x336699, 32);
    soft.hasAlpha = true;
    IconFileEntry four, deep, png, small;
    ASSERT_TRUE(EncodeIconEntry(Square(32, 0xFF0000, 4), 4, false, four));
    ASSERT_TRUE(EncodeIconEntry(soft, 32, false, deep));
    ASSERT_TRUE(EncodeIconEntry(Square(16, 0xFF0000, 32), 32, false, small));
    png = deep;
    png.data = EncodePng(32, 32, soft.pixels);
    struct Row {
        std::vector<IconFileEntry> entries;
        int size, chosen;
    };
    const std::vector<Row> rows = {
        {{four, deep}, 32, 1},         // the 32-bit image, not the first
        {{deep, four}, 32, 0},         // order does not matter
        {{four, png}, 32, 1},          // a PNG image counts with its own depth (RGBA: 32)
        {{small, four, deep}, 16, 0},  // the size comes first
        {{four}, 32, 0},
    };
    for (size_t r = 0; r < rows.size(); ++r) {
        IconFile f;
        f.entries = rows[r].entries;
        for (auto& e : f.entries) e.bitCount = 0;
        EXPECT_EQ(ChooseIconFileEntry(f, rows[r].size), rows[r].chosen) << "row " << r;
    }
    // The whole file made into an icon shows the deep image's colour.
    IconFile f;
    f.entries = {four, deep};
    for (auto& e : f.entries) e.bitCount = 0;
    TIcon icon;
    icon.LoadFromData(WriteIconFile(f));
    EXPECT_EQ(IconImageOf(icon.Handle())->pixels[5] & 0xFFFFFF, 0x336699u);
}
