#include <gtest/gtest.h>

#include "platform/win/builtinIcons.h"
#include "platform/win/byteOrder.h"
#include "platform/win/icons.h"
#include "platform/win/module.h"

namespace {

// A picture with as many colours as the depth allows, a transparent corner and a mask.
IconImage Sample(int w, int h, int bits) {
    IconImage img;
    img.Resize(w, h);
    img.bitCount = bits;
    const uint32_t palette[] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                0x0000FF, 0x808080, 0x123456, 0xABCDEF};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * size_t(w) + size_t(x);
            uint32_t rgb = bits == 1   ? palette[(x + y) % 2]
                           : bits == 4 ? palette[(x * 3 + y) % 8]
                           : bits == 8 ? uint32_t((x * 7 + y * 13) % 200) * 0x010101u
                                       : uint32_t(x * 255 / w) << 16 | uint32_t(y * 255 / h) << 8 |
                                             uint32_t((x + y) & 0xFF);
            bool clear = x < 3 && y < 3;
            img.mask[i] = clear ? 1 : 0;
            img.pixels[i] = (clear ? 0u : 0xFF000000u) | rgb;
        }
    if (bits == 32) {
        img.hasAlpha = true;
        img.pixels[size_t(w) + 5] = 0x80336699;  // half transparent
    }
    return img;
}

IconFile FileOf(const std::vector<IconImage>& images, bool cursor) {
    IconFile f;
    f.type = cursor ? kIconFileCursor : kIconFileIcon;
    for (const IconImage& img : images) {
        IconFileEntry e;
        EXPECT_TRUE(EncodeIconEntry(img, img.bitCount, cursor, e));
        f.entries.push_back(e);
    }
    return f;
}

}  // namespace

TEST(IconFile, EveryDepthRoundTripsByteForByteAndPixelForPixel) {
    std::vector<IconImage> images;
    for (int bits : {1, 4, 8, 24, 32})
        images.push_back(Sample(bits == 8 ? 17 : 16, 16, bits));  // odd width too
    images.push_back(Sample(32, 32, 32));
    std::string bytes = WriteIconFile(FileOf(images, false));

    IconFile read;
    std::string why;
    ASSERT_TRUE(ReadIconFile(bytes, read, &why)) << why;
    ASSERT_EQ(read.entries.size(), images.size());
    EXPECT_EQ(WriteIconFile(read), bytes);

    for (size_t i = 0; i < images.size(); ++i) {
        IconImage back;
        ASSERT_TRUE(DecodeIconEntry(read.entries[i], back)) << i;
        EXPECT_EQ(back.width, images[i].width);
        EXPECT_EQ(back.bitCount, images[i].bitCount);
        EXPECT_EQ(back.mask, images[i].mask) << "depth " << images[i].bitCount;
        for (size_t p = 0; p < back.pixels.size(); ++p)
            if (!back.mask[p]) {
                ASSERT_EQ(back.pixels[p], images[i].pixels[p])
                    << "depth " << images[i].bitCount << " pixel " << p;
            }
        IconFileEntry again;
        ASSERT_TRUE(EncodeIconEntry(back, back.bitCount, false, again));
        EXPECT_EQ(again.data, read.entries[i].data) << "depth " << images[i].bitCount;
    }
}

TEST(IconFile, DirectoryFieldsFollowTheImage) {
    IconFile f = FileOf({Sample(16, 16, 4), Sample(32, 32, 8)}, false);
    EXPECT_EQ(f.entries[0].width, 16);
    EXPECT_EQ(f.entries[0].colorCount, 16);
    EXPECT_EQ(f.entries[0].bitCount, 4);
    EXPECT_EQ(f.entries[1].colorCount, 0);  // 256 colours do not fit the byte
    // Header, 2 entries of 16 bytes, then 40-byte header + 64-entry... of the first image.
    std::string bytes = WriteIconFile(f);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\0\0\1\0\2\0", 6));
    EXPECT_EQ(uint8_t(bytes[6 + 12]), 6 + 2 * 16);
}

TEST(IconFile, CursorKeepsItsHotSpot) {
    IconImage img = Sample(32, 32, 1);
    img.hotX = 7;
    img.hotY = 21;
    std::string bytes = WriteIconFile(FileOf({img}, true));
    IconFile f;
    ASSERT_TRUE(ReadIconFile(bytes, f));
    EXPECT_EQ(f.type, kIconFileCursor);
    EXPECT_EQ(f.entries[0].planes, 7);
    EXPECT_EQ(f.entries[0].bitCount, 21);
    bool isIcon = true;
    HICON h = CreateIconFromFileBytes(bytes, 32, &isIcon);
    ASSERT_NE(h, nullptr);
    EXPECT_FALSE(isIcon);
    EXPECT_TRUE(IconIsCursor(h));
    EXPECT_EQ(IconImageOf(h)->hotX, 7);
    EXPECT_EQ(IconImageOf(h)->hotY, 21);
    DestroyCursor(h);
}

TEST(IconFile, PngEntriesAreReadAndKeptAsStored) {
    IconImage img = Sample(24, 24, 32);
    IconFile f;
    IconFileEntry e;
    e.width = e.height = 24;
    e.planes = 1;
    e.bitCount = 32;
    e.data = EncodePng(img.width, img.height, img.pixels);
    f.entries.push_back(e);
    std::string bytes = WriteIconFile(f);
    IconFile read;
    ASSERT_TRUE(ReadIconFile(bytes, read));
    EXPECT_TRUE(read.entries[0].IsPng());
    EXPECT_EQ(WriteIconFile(read), bytes);
    IconImage back;
    ASSERT_TRUE(DecodeIconEntry(read.entries[0], back));
    EXPECT_EQ(back.pixels, img.pixels);
    EXPECT_TRUE(back.hasAlpha);
}

struct BadIcon {
    const char* why;
    std::string bytes;
};

class IconFileRejects : public ::testing::TestWithParam<BadIcon> {};

TEST_P(IconFileRejects, MalformedFiles) {
    IconFile f;
    EXPECT_FALSE(ReadIconFile(GetParam().bytes, f)) << GetParam().why;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IconFileRejects,
    ::testing::Values(BadIcon{"empty", ""}, BadIcon{"short header", std::string("\0\0\1", 3)},
                      BadIcon{"type 3", std::string("\0\0\3\0\1\0", 6)},
                      BadIcon{"no images", std::string("\0\0\1\0\0\0", 6)},
                      BadIcon{"directory cut", std::string("\0\0\1\0\1\0\x10\x10", 8)},
                      BadIcon{"image past the end", std::string("\0\0\1\0\1\0", 6) +
                                                        std::string(8, '\0') +
                                                        std::string("\xFF\0\0\0\x16\0\0\0", 8)}));

TEST(IconFile, ColoursBeyondTheDepthAreRefused) {
    IconImage img = Sample(16, 16, 24);
    IconFileEntry e;
    EXPECT_FALSE(EncodeIconEntry(img, 4, false, e));
    EXPECT_FALSE(EncodeIconEntry(img, 7, false, e));
}

TEST(IconHandles, CreateCopyDestroyAndStaleHandles) {
    // 8 x 2 icon: AND rows are padded to 16 bits, XOR 32-bit rows.
    const BYTE andBits[] = {0xF0, 0, 0x0F, 0};
    uint32_t xorBits[16];
    for (int i = 0; i < 16; ++i) xorBits[i] = 0x00112233u + uint32_t(i);
    HICON h = CreateIcon(nullptr, 8, 2, 1, 32, andBits, reinterpret_cast<const BYTE*>(xorBits));
    ASSERT_NE(h, nullptr);
    auto img = IconImageOf(h);
    EXPECT_EQ(img->mask[0], 1);
    EXPECT_EQ(img->mask[4], 0);
    EXPECT_EQ(img->mask[8 + 4], 1);
    EXPECT_EQ(img->pixels[5], 0xFF112238u);
    HICON copy = CopyIcon(h);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, h);
    EXPECT_TRUE(DestroyIcon(h));
    EXPECT_FALSE(DestroyIcon(h));
    EXPECT_EQ(IconImageOf(h), nullptr);
    EXPECT_EQ(IconImageOf(copy)->pixels, img->pixels);
    HANDLE big = CopyImage(copy, IMAGE_ICON, 16, 4, LR_COPYDELETEORG);
    EXPECT_EQ(IconImageOf(static_cast<HICON>(big))->width, 16);
    EXPECT_EQ(IconImageOf(copy), nullptr);
    DestroyIcon(static_cast<HICON>(big));
    EXPECT_EQ(CreateIcon(nullptr, 0, 2, 1, 32, andBits, andBits), nullptr);
}

TEST(IconHandles, StandardIconsAndCursorsAreSharedAndDistinct) {
    HICON app = LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_APPLICATION));
    HICON err = LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_ERROR));
    ASSERT_NE(app, nullptr);
    ASSERT_NE(err, nullptr);
    EXPECT_EQ(LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_APPLICATION)), app);
    EXPECT_NE(IconImageOf(app)->pixels, IconImageOf(err)->pixels);
    EXPECT_TRUE(DestroyIcon(app));
    EXPECT_NE(IconImageOf(app), nullptr);  // shared: still there
    HCURSOR drag = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_DRAG));
    HCURSOR multi = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_MULTIDRAG));
    ASSERT_NE(drag, nullptr);
    ASSERT_NE(multi, nullptr);
    EXPECT_TRUE(IconIsCursor(drag));
    EXPECT_NE(IconImageOf(drag)->pixels, IconImageOf(multi)->pixels);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(12345)), nullptr);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "no-such-icon"), nullptr);
}

TEST(IconHandles, SetCursorAnswersThePreviousOne) {
    HCURSOR arrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
    HCURSOR wait = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_WAIT));
    SetCursor(arrow);
    EXPECT_EQ(SetCursor(wait), arrow);
    EXPECT_EQ(GetCursor(), wait);
    SetCursor(nullptr);
}

// A 16-bit image with bit fields reads its channels by the stored masks (5-6-5 here, the
// layout most 16-bit pictures use); a table of fewer colours than the depth allows puts the
// pixels right behind it.
TEST(IconFile, StoredMasksAndShortColourTablesAreHonoured) {
    auto header = [](int bits, uint32_t compression, uint32_t colorsUsed) {
        std::string d;
        for (uint32_t v : {40u, 2u, 2u}) Put32(d, v);  // 2 x 1 pixels: colour and mask rows
        Put16(d, 1);
        Put16(d, uint16_t(bits));
        Put32(d, compression);
        for (int i = 0; i < 3; ++i) Put32(d, 0);
        Put32(d, colorsUsed);
        Put32(d, 0);
        return d;
    };
    IconFileEntry masked;
    masked.data = header(16, 3, 0);
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Put32(masked.data, m);
    Put16(masked.data, 0xF800);  // red
    Put16(masked.data, 0x07E0);  // green
    Put32(masked.data, 0);       // mask row: both shown
    IconFileEntry shortTable;
    shortTable.data = header(8, 0, 2);
    Put32(shortTable.data, 0x0000FF);  // blue
    Put32(shortTable.data, 0xFFFF00);  // yellow
    shortTable.data += std::string{char(1), char(0), char(0), char(0)};
    Put32(shortTable.data, 0);
    struct Row {
        const char* name;
        const IconFileEntry* entry;
        uint32_t left, right;
    };
    for (const Row& r : {Row{"5-6-5 masks", &masked, 0xFFFF0000u, 0xFF00FF00u},
                         Row{"two colours used", &shortTable, 0xFFFFFF00u, 0xFF0000FFu}}) {
        SCOPED_TRACE(r.name);
        IconImage img;
        ASSERT_TRUE(DecodeIconEntry(*r.entry, img));
        ASSERT_EQ(img.width, 2);
        ASSERT_EQ(img.height, 1);
        EXPECT_EQ(img.pixels[0], r.left);
        EXPECT_EQ(img.pixels[1], r.right);
    }
}
