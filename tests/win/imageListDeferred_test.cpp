// Pictures added to an image list to be made when first needed: made once, at the first
// read, and before any change that could move them away from their index.
#include <gtest/gtest.h>

#include <functional>

#include "platform/win/imageList.h"

namespace {

// A picture of one colour, and a counter of how often a maker ran.
IconImage Plain(uint32_t argb, int size = 16) {
    IconImage img;
    img.Resize(size, size);
    for (uint32_t& p : img.pixels) p = argb;
    for (auto& m : img.mask) m = 0;
    img.bitCount = 32;
    img.hasAlpha = true;
    return img;
}

uint32_t FirstPixel(HIMAGELIST list, int i) {
    IconImage img;
    EXPECT_TRUE(ImageListGetImage(list, i, img)) << i;
    return img.pixels.empty() ? 0 : img.pixels[0];
}

}  // namespace

TEST(ImageListDeferred, MadeOnceAtTheFirstReadAndScaledToTheList) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    int runs = 0;
    const int i = ImageListAddDeferred(list, [&] {
        ++runs;
        return Plain(0xFF112233u, 32);
    });
    ASSERT_EQ(i, 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 1);
    EXPECT_EQ(runs, 0);  // counted, not made
    IconImage img;
    ASSERT_TRUE(ImageListGetImage(list, i, img));
    EXPECT_EQ(img.width, 16);
    EXPECT_EQ(img.pixels[0], 0xFF112233u);
    ASSERT_TRUE(ImageListGetImage(list, i, img));
    EXPECT_EQ(runs, 1);
    // An icon taken from the list is made from it the same way.
    HICON icon = ImageList_GetIcon(list, i, ILD_NORMAL);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(IconImageOf(icon)->pixels[0], 0xFF112233u);
    DestroyIcon(icon);
    EXPECT_EQ(runs, 1);
    // No maker, no list: nothing added.
    EXPECT_EQ(ImageListAddDeferred(list, nullptr), -1);
    EXPECT_EQ(ImageListAddDeferred(nullptr, [] { return Plain(1); }), -1);
    ImageList_Destroy(list);
}

// Every change other than an addition at the end makes the waiting pictures first, so each
// index keeps its own picture whichever change comes.
TEST(ImageListDeferred, ChangesKeepEveryIndexWithItsOwnPicture) {
    struct Row {
        const char* change;
        std::function<void(HIMAGELIST)> apply;
        std::vector<uint32_t> expected;  // first pixels, by index, after the change
    };
    const uint32_t a = 0xFF0000AAu, b = 0xFF00BB00u, c = 0xFFCC0000u, d = 0xFF123456u;
    const Row rows[] = {
        {"the first removed", [](HIMAGELIST l) { ImageList_Remove(l, 0); }, {b, c}},
        {"the middle replaced",
         [&](HIMAGELIST l) { ImageListReplaceImage(l, 1, Plain(d)); },
         {a, d, c}},
        {"the count grown", [](HIMAGELIST l) { ImageList_SetImageCount(l, 4); }, {a, b, c, 0}},
        {"the count cut", [](HIMAGELIST l) { ImageList_SetImageCount(l, 2); }, {a, b}},
        {"one added at the end",
         [&](HIMAGELIST l) { ImageListAddImage(l, Plain(d)); },
         {a, b, c, d}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.change);
        HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
        ImageListAddImage(list, Plain(a));
        ImageListAddDeferred(list, [&] { return Plain(b); });
        ImageListAddDeferred(list, [&] { return Plain(c); });
        row.apply(list);
        ASSERT_EQ(ImageList_GetImageCount(list), int(row.expected.size()));
        for (size_t i = 0; i < row.expected.size(); ++i)
            EXPECT_EQ(FirstPixel(list, int(i)), row.expected[i]) << i;
        ImageList_Destroy(list);
    }
}

TEST(ImageListDeferred, ACopyHasThePicturesAndAnEmptyOneIsBlank) {
    HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 4, 4);
    int runs = 0;
    ImageListAddDeferred(list, [&] {
        ++runs;
        return Plain(0xFF445566u);
    });
    ImageListAddDeferred(list, [] { return IconImage{}; });
    HIMAGELIST copy = ImageList_Duplicate(list);
    EXPECT_EQ(runs, 1);  // made once, for both lists
    EXPECT_EQ(FirstPixel(copy, 0), 0xFF445566u);
    EXPECT_EQ(FirstPixel(list, 0), 0xFF445566u);
    IconImage blank;
    ASSERT_TRUE(ImageListGetImage(list, 1, blank));
    EXPECT_EQ(blank.width, 16);
    EXPECT_EQ(blank.pixels[0] >> 24, 0u);  // fully transparent
    EXPECT_EQ(runs, 1);
    ImageList_Destroy(copy);
    ImageList_Destroy(list);
}
