// Icons drawn at their own size, and animated cursors whose frames are class-library icons:
// alpha-only and soft-edged 32-bit frames, PNG frames kept through a save, cursor frames,
// and the conversions to an icon and an icon list.
#include <gtest/gtest.h>

#include "controls/extended/xcAni.h"
#include "controls/extended/xcBitmaps.h"  // the picture errors come from one place
#include "controls/extended/xcGif.h"
#include "controls/extended/xcWinUtils.h"
#include "platform/vcl/forms.h"

namespace {

// W x H, colour 0x336699, alpha 255 inside the square [2, W-2), 128 on its border ring, 0
// outside; the AND mask is empty, so only the alpha channel carries the shape.
IconImage AlphaOnly(int w, int h) {
    IconImage img;
    img.Resize(w, h);
    img.bitCount = 32;
    img.hasAlpha = true;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= 2 && y >= 2 && x < w - 2 && y < h - 2;
            const bool ring = !inside && x >= 1 && y >= 1 && x < w - 1 && y < h - 1;
            const uint32_t a = inside ? 255 : ring ? 128 : 0;
            img.pixels[size_t(y) * size_t(w) + size_t(x)] = a << 24 | 0x336699;
            img.mask[size_t(y) * size_t(w) + size_t(x)] = 0;
        }
    return img;
}

std::string IconFileOf(const IconImage& img, bool png = false, bool cursor = false) {
    IconFile f;
    f.type = cursor ? kIconFileCursor : kIconFileIcon;
    IconFileEntry e;
    EXPECT_TRUE(EncodeIconEntry(img, img.bitCount, cursor, e));
    if (png) e.data = EncodePng(img.width, img.height, img.pixels);
    f.entries.push_back(e);
    return WriteIconFile(f);
}

// A white W x H bitmap with the picture drawn at (1, 1).
TBitmap& OnWhite(TBitmap& b, int w, int h) {
    b.SetSize(w, h);
    b.Canvas()->Brush()->Color = clWhite;
    b.Canvas()->FillRect(Rect(0, 0, w, h));
    return b;
}

uint32_t Rgb(TBitmap& b, int x, int y) {
    return uint32_t(ColorToRGB(b.Canvas()->Pixel(x, y))) & 0xFFFFFF;
}

// 0x00BBGGRR of 0x336699 blended on white with alpha 128.
constexpr uint32_t kInside = 0x996633, kOutside = 0xFFFFFF;

bool Near(uint32_t a, uint32_t b) {
    for (int s = 0; s < 24; s += 8)
        if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > 2) return false;
    return true;
}

uint32_t Half(uint32_t c) {
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) out |= ((((c >> s) & 0xFF) * 128 + 255 * 127 + 127) / 255) << s;
    return out;
}

std::string AniOf(const std::vector<std::string>& icons, std::vector<bool> isIcon = {}) {
    TAniContent c;
    c.Header.Flags = 1;
    c.Header.DefaultRate = 6;
    for (size_t i = 0; i < icons.size(); ++i) {
        TAniIcon a;
        a.Data = icons[i];
        a.IsIcon = isIcon.empty() || isIcon[i];
        if (!a.IsIcon) a.Data[2] = 1;  // stored as read: the writer puts the cursor type back
        c.Icons.push_back(a);
    }
    return WriteAniFile(c);
}

}  // namespace

TEST(IconAtOwnSize, CopyKeepsTheImageSizeAndEmptyGivesTheApplicationIcon) {
    TIcon empty;
    HICON app = CopyIconAtOwnSize(empty);
    EXPECT_EQ(app, LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_APPLICATION)));
    DestroyIcon(app);

    struct Row {
        int size;
        bool png, cursor;
    };
    for (const Row& r : {Row{48, false, false}, Row{20, true, false}, Row{24, false, true}}) {
        TIcon icon;
        if (r.cursor)
            icon.SetHandle(NewIconHandle(AlphaOnly(r.size, r.size), false));
        else
            icon.LoadFromData(IconFileOf(AlphaOnly(r.size, r.size), r.png));
        HICON h = CopyIconAtOwnSize(icon);
        ASSERT_NE(h, nullptr);
        int w = 0, ht = 0;
        GetIconSize(h, w, ht);
        EXPECT_EQ(w, r.size) << r.size;
        EXPECT_EQ(ht, r.size) << r.size;
        EXPECT_NE(h, icon.Handle());  // the caller's own copy
        DestroyIcon(h);
    }
    // A damaged directory raises the layer's error instead of reading past the data.
    TMemoryStream cut;
    const std::string file = IconFileOf(AlphaOnly(16, 16));
    cut.WriteBuffer(file.data(), 30);
    cut.SetPosition(6);
    HICON none = nullptr;
    EXPECT_THROW(LoadIconImageFromStream(cut, none, 1, 6), EXCLException);
    EXPECT_EQ(none, nullptr);
}

TEST(IconAtOwnSize, AnAlphaOnlyImageIsDrawnWithItsAlpha) {
    for (bool png : {false, true}) {
        TIcon icon;
        icon.LoadFromData(IconFileOf(AlphaOnly(40, 40), png));
        TBitmap b;
        OnWhite(b, 44, 44);
        DrawIconAtOwnSize(*b.Canvas(), icon, 1, 1);
        EXPECT_EQ(Rgb(b, 1, 1), kOutside) << png;                // alpha 0: not black
        EXPECT_TRUE(Near(Rgb(b, 2, 20), Half(kInside))) << png;  // the soft ring
        EXPECT_EQ(Rgb(b, 20, 20), kInside) << png;
        EXPECT_EQ(Rgb(b, 38, 38), kInside) << png;  // 40 pixels: its own size, not 32
        EXPECT_EQ(Rgb(b, 40, 40), kOutside) << png;
    }
}

TEST(AniFrames, AlphaPngAndCursorFramesAreReadDrawnAndKept) {
    const std::string alpha = IconFileOf(AlphaOnly(32, 32));
    const std::string png = IconFileOf(AlphaOnly(32, 32), true);
    IconImage arrow = AlphaOnly(16, 16);
    arrow.hotX = 3, arrow.hotY = 5;
    const std::string cursor = IconFileOf(arrow, false, true);
    const std::string file = AniOf({alpha, png, cursor}, {true, true, false});

    TXcAni ani;
    ani.LoadFromData(file);
    ASSERT_EQ(ani.IconCount(), 3);  // the PNG frame neither refused nor ending the reading
    EXPECT_EQ(ani.FrameCount(), 3);
    EXPECT_EQ(ani.GetIcon(1)->Width(), 32);
    EXPECT_FALSE(ani.GetIcon(2)->IsIcon);
    EXPECT_EQ(ani.GetIcon(2)->HotSpotX, 3);
    EXPECT_EQ(ani.GetIcon(0)->HotSpotX, 16);  // an icon's middle

    for (int step : {0, 1}) {
        ani.SetFrameIndex(step);
        TBitmap b;
        OnWhite(b, 40, 40);
        ani.Draw(b.Canvas(), Rect(1, 1, 5, 5));  // own size, whatever the rectangle
        EXPECT_EQ(Rgb(b, 1, 1), kOutside) << step;
        EXPECT_TRUE(Near(Rgb(b, 2, 10), Half(kInside))) << step;
        EXPECT_EQ(Rgb(b, 30, 30), kInside) << step;
    }

    // Saving writes every icon, the PNG one as it was read.
    TMemoryStream out;
    ani.SaveToStream(out);
    const std::string saved(reinterpret_cast<const char*>(out.Memory()), size_t(out.Size()));
    EXPECT_EQ(saved, file);
    TXcAni back;
    back.LoadFromData(saved);
    EXPECT_EQ(back.IconCount(), 3);
}

TEST(AniFrames, ADamagedFrameEndsTheReadingKeepingTheFramesBefore) {
    std::string broken = IconFileOf(AlphaOnly(16, 16));
    broken[6 + 12] = char(0xF0);  // the image lies outside the data
    TXcAni ani;
    ani.LoadFromData(AniOf({IconFileOf(AlphaOnly(16, 16)), broken, IconFileOf(AlphaOnly(8, 8))}));
    EXPECT_EQ(ani.IconCount(), 1);
    EXPECT_THROW(ani.LoadFromData(AniOf({broken})), EReadError);
}

TEST(AniFrames, AssignToAnIconAndAnIconList) {
    TXcAni ani;
    TIcon icon;
    ani.AssignTo(icon);
    EXPECT_TRUE(icon.Empty());

    ani.LoadFromData(AniOf({IconFileOf(AlphaOnly(16, 16)), IconFileOf(AlphaOnly(16, 16), true)}));
    ani.SetFrameIndex(1);
    ani.AssignTo(icon);
    EXPECT_EQ(icon.SaveToData(), IconFileOf(AlphaOnly(16, 16), true));
    EXPECT_EQ(ani.FrameIndex(), 1);

    TImageList list(nullptr, 16, 16);
    TBitmap filler;
    filler.SetSize(16, 16);
    list.Add(&filler, nullptr);
    int changes = 0;
    list.OnChange = [&](TObject*) { ++changes; };
    ani.AssignTo(list);
    EXPECT_EQ(list.Count(), 2);  // emptied, then one image per step
    EXPECT_EQ(changes, 1);       // one change for the whole update
    TBitmap b;
    OnWhite(b, 16, 16);
    list.Draw(b.Canvas(), 0, 0, 1);
    EXPECT_EQ(Rgb(b, 0, 0), kOutside);
    EXPECT_EQ(Rgb(b, 8, 8), kInside);

    // The frames' copies are their own: the source can go.
    auto copy = std::make_unique<TXcAni>();
    copy->Assign(ani);
    ani.Clear();
    EXPECT_EQ(copy->IconCount(), 2);
    EXPECT_EQ(copy->GetIcon(0)->Width(), 16);
    EXPECT_THROW(copy->SetWidth(3), EInvalidGraphicOperation);
}

// A GIF made of an animated cursor: each frame over the window colour, its soft ring blended
// with that colour (not with the key), the uncovered pixels transparent.
TEST(AniFrames, AGifOfTheFramesBlendsSoftEdgesWithTheWindowColour) {
    TXcAni ani;
    ani.LoadFromData(AniOf({IconFileOf(AlphaOnly(16, 16)), IconFileOf(AlphaOnly(16, 16), true)}));
    TXcGIFImage gif;
    gif.Assign(ani);
    ASSERT_EQ(gif.FrameCount(), 2);
    const uint32_t window = uint32_t(ColorToRGB(clWindow)) & 0xFFFFFF;
    for (int i = 0; i < 2; ++i) {
        TBitmap* b = gif.Frames(i)->Bitmap();
        EXPECT_EQ(b->Image().pixel(0, 0) & 0xFFFFFF, gif.Frames(i)->TransparentColor) << i;
        EXPECT_EQ(b->Image().pixel(8, 8) & 0xFFFFFF, kInside) << i;
        uint32_t ring = 0;
        for (int s = 0; s < 24; s += 8)
            ring |= (((kInside >> s & 0xFF) * 128 + (window >> s & 0xFF) * 127 + 127) / 255) << s;
        EXPECT_TRUE(Near(b->Image().pixel(1, 8) & 0xFFFFFF, ring)) << i;
    }
}
