// Animated cursor files: the round trip of icons, sequence, rates, title and author; odd
// chunk sizes and their padding; cut and absurd files.
#include <gtest/gtest.h>

#include "controls/extended/xcAniFile.h"

namespace {

// An icon (or cursor) file of one W x H 32-bit image of one colour, with a mask whose first
// column is transparent.
std::string MakeIcon(int w, int h, uint32_t colour, bool cursor = false, int hx = 0, int hy = 0) {
    const size_t maskRow = RowLength(size_t(w), 1);
    const size_t image = 40 + size_t(w) * size_t(h) * 4 + maskRow * size_t(h);
    std::string f(6 + 16 + image, '\0');
    auto* p = reinterpret_cast<uint8_t*>(f.data());
    PutLE16(p + 2, cursor ? 2 : 1);
    PutLE16(p + 4, 1);
    p[6] = uint8_t(w);
    p[7] = uint8_t(h);
    PutLE16(p + 6 + 4, uint16_t(cursor ? hx : 1));
    PutLE16(p + 6 + 6, uint16_t(cursor ? hy : 32));
    PutLE32(p + 6 + 8, uint32_t(image));
    PutLE32(p + 6 + 12, 22);
    TDibInfoHeader hd;
    hd.biWidth = w;
    hd.biHeight = 2 * h;
    hd.biBitCount = 32;
    WriteDibInfoHeader(p + 22, hd);
    for (int i = 0; i < w * h; ++i) PutLE32(p + 62 + 4 * i, colour);
    for (int y = 0; y < h; ++y) p[62 + 4 * w * h + maskRow * size_t(y)] = 0x80;
    return f;
}

TAniContent Sample() {
    TAniContent c;
    c.Header.DefaultRate = 6;
    c.Header.Flags = 1;
    c.Title = "ab";  // with its zero byte an odd chunk size: a padding byte follows
    c.Author = "作者";
    c.Rates = {6, 12, 0, 60};
    c.Sequence = {0, 1, 1, 0};
    c.HasSequence = true;
    TAniIcon a, b;
    a.Data = MakeIcon(8, 8, 0xFF0000);
    b.Data = MakeIcon(16, 16, 0x00FF00, true, 3, 4);
    b.IsIcon = false;
    c.Icons = {a, b};
    return c;
}

TAniContent Read(const std::string& s) {
    return ReadAniFile(reinterpret_cast<const uint8_t*>(s.data()), s.size());
}

}  // namespace

TEST(XcAniFile, RoundTripKeepsIconsSequenceRatesTitleAndAuthor) {
    const std::string file = WriteAniFile(Sample());
    EXPECT_EQ(file.substr(0, 4), "RIFF");
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(file.data()) + 4),
              file.size());  // the whole length, as written
    const TAniContent c = Read(file);
    ASSERT_EQ(c.Icons.size(), 2u);
    EXPECT_EQ(c.Header.IconTotal, 2u);
    EXPECT_EQ(c.Sequence, (std::vector<uint32_t>{0, 1, 1, 0}));
    EXPECT_EQ(c.Rates, (std::vector<uint32_t>{6, 12, 0, 60}));
    EXPECT_EQ(c.Title, "ab");
    EXPECT_EQ(c.Author, "作者");
    EXPECT_TRUE(c.Icons[0].IsIcon);
    EXPECT_EQ(c.Icons[0].HotX, 4);  // an icon's hot spot is its middle
    EXPECT_FALSE(c.Icons[1].IsIcon);
    EXPECT_EQ(c.Icons[1].HotX, 3);
    EXPECT_EQ(c.Icons[1].HotY, 4);
    EXPECT_EQ(WriteAniFile(c), file);
    ASSERT_NE(c.Icons[1].Picture, nullptr);
    auto pic = IconImageOf(c.Icons[1].Picture->Handle());
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->width, 16);
    EXPECT_EQ(pic->pixels[5] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(pic->mask[0], 1);
    EXPECT_EQ(pic->mask[1], 0);
}

TEST(XcAniFile, WithoutSequenceOrRates) {
    TAniContent s = Sample();
    s.Sequence.clear();
    s.HasSequence = false;
    s.Rates.clear();
    s.Title.clear();
    s.Author.clear();
    const std::string file = WriteAniFile(s);
    EXPECT_EQ(file.find("INFO"), std::string::npos);
    const TAniContent c = Read(file);
    EXPECT_FALSE(c.HasSequence);
    EXPECT_TRUE(c.Rates.empty());
    EXPECT_EQ(c.Header.DefaultRate, 6u);
}

TEST(XcAniFile, BadFilesAreRefusedAndCutFilesKeepWhatWasRead) {
    const std::string file = WriteAniFile(Sample());
    EXPECT_THROW(Read(""), EReadError);
    EXPECT_THROW(Read("RIFX" + file.substr(4)), EReadError);
    std::string form = file;
    form.replace(8, 4, "ACOX");
    EXPECT_THROW(Read(form), EReadError);
    // Without the icon flag the frames would be raw bitmaps: refused.
    std::string flags = file;
    const size_t anih = flags.find("anih");
    flags[anih + 8 + 32] = 0;
    EXPECT_THROW(Read(flags), EReadError);
    // Every cut: an error (no icon read yet) or what was read, never a read past the data.
    size_t kept = 0;
    for (size_t cut = 0; cut < file.size(); ++cut) {
        try {
            kept = std::max(kept, Read(file.substr(0, cut)).Icons.size());
        } catch (const EReadError&) {}
    }
    EXPECT_EQ(kept, 1u);
    // Absurd chunk sizes end the reading instead of allocating.
    std::string rate = file;
    PutLE32(reinterpret_cast<uint8_t*>(rate.data()) + rate.find("rate") + 4, 0x7FFFFFF0);
    EXPECT_THROW(Read(rate), EReadError);  // the reading ends before the icons
    std::string list = file;
    const size_t fram = list.find("fram");
    PutLE32(reinterpret_cast<uint8_t*>(list.data()) + fram + 8 + 4,
            0xFFFFFFF0);  // the first icon's size
    EXPECT_THROW(Read(list), EReadError);
}
