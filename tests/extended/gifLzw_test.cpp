#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "controls/extended/gifLzw.h"
#include "controls/extended/xcConsts.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Image {
    TGifPixelFormat f;
    Bytes px;
    Image(int w, int h, int bits) : f{w, h, bits}, px(GifStride(w, bits) * size_t(h)) {}
    size_t Stride() const { return GifStride(f.Width, f.BitCount); }
    // Row 0 is the top row, stored last.
    uint8_t* Row(int y) { return px.data() + size_t(f.Height - 1 - y) * Stride(); }
    unsigned Get(int x, int y) {
        const uint8_t* r = Row(y);
        if (f.BitCount == 8) return r[x];
        if (f.BitCount == 4) return (r[x / 2] >> (x % 2 ? 0 : 4)) & 15;
        return (r[x / 8] >> (7 - x % 8)) & 1;
    }
    void Set(int x, int y, unsigned v) {
        uint8_t* r = Row(y);
        if (f.BitCount == 8)
            r[x] = uint8_t(v);
        else if (f.BitCount == 4)
            r[x / 2] = uint8_t((r[x / 2] & (x % 2 ? 0xF0 : 0x0F)) | (v & 15) << (x % 2 ? 0 : 4));
        else
            r[x / 8] = uint8_t((r[x / 8] & ~(0x80 >> x % 8)) | (v & 1) << (7 - x % 8));
    }
    bool SamePixels(Image& o) {
        for (int y = 0; y < f.Height; ++y)
            for (int x = 0; x < f.Width; ++x)
                if (Get(x, y) != o.Get(x, y)) return false;
        return true;
    }
};

Bytes Encode(Image& img, bool interlaced = false) {
    TMemoryStream s;
    EncodeGifLzw(s, img.f, interlaced, nullptr, img.px.data(), img.px.size());
    return s.Bytes();
}

TMemoryStream StreamOf(const Bytes& b) {
    TMemoryStream s;
    if (!b.empty()) s.WriteBuffer(b.data(), int64_t(b.size()));
    s.SetPosition(0);
    return s;
}

bool Decode(const Bytes& data, Image& out, bool interlaced = false, int bpp = 8,
            bool tolerate = false) {
    TMemoryStream s = StreamOf(data);
    return DecodeGifLzw(s, out.f, interlaced, nullptr, out.px.data(), out.px.size(), bpp, tolerate);
}

// Packs codes of the given widths into a minimum-code-size byte and sub-blocks.
Bytes Pack(uint8_t minSize, const std::vector<std::pair<unsigned, unsigned>>& codes,
           bool terminate = true) {
    Bytes bits;
    uint64_t acc = 0;
    unsigned n = 0;
    for (auto [code, width] : codes) {
        acc |= uint64_t(code) << n;
        n += width;
        while (n >= 8) {
            bits.push_back(uint8_t(acc));
            acc >>= 8;
            n -= 8;
        }
    }
    if (n) bits.push_back(uint8_t(acc));
    Bytes out{minSize};
    for (size_t i = 0; i < bits.size(); i += 255) {
        const size_t k = std::min<size_t>(255, bits.size() - i);
        out.push_back(uint8_t(k));
        out.insert(out.end(), bits.begin() + long(i), bits.begin() + long(i + k));
    }
    if (terminate) out.push_back(0);
    return out;
}

// Reads back the codes of encoded data with the decoder's width rules.
std::vector<unsigned> Codes(const Bytes& data) {
    Bytes bits;
    for (size_t i = 1; i < data.size() && data[i];) {
        bits.insert(bits.end(), data.begin() + long(i) + 1, data.begin() + long(i) + 1 + data[i]);
        i += 1 + data[i];
    }
    const unsigned m = data[0], clear = 1u << m, end = clear + 1;
    unsigned size = m + 1, freeCode = clear + 2, pos = 0;
    bool first = true;
    std::vector<unsigned> codes;
    while (pos + size <= bits.size() * 8) {
        unsigned c = 0;
        for (unsigned b = 0; b < size; ++b, ++pos) c |= ((bits[pos / 8] >> (pos % 8)) & 1u) << b;
        codes.push_back(c);
        if (c == end) break;
        if (c == clear) {
            size = m + 1;
            freeCode = clear + 2;
            first = true;
            continue;
        }
        if (!first && freeCode < 4096 && ++freeCode >= (1u << size) && size < 12) ++size;
        first = false;
    }
    return codes;
}

Image RandomImage(int w, int h, int bits, uint32_t seed, unsigned colours = 0) {
    Image img(w, h, bits);
    std::mt19937 rng(seed);
    const unsigned n = colours ? colours : 1u << bits;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.Set(x, y, rng() % 5 ? rng() % n : 0);
    return img;
}

std::vector<int> InterlaceOrder(int height) {
    std::vector<int> rows;
    int pass = 0;
    for (int r = 0; r < height; r = NextInterlacedRow(r, height, pass)) rows.push_back(r);
    return rows;
}

}  // namespace

TEST(GifInterlace, RowsInPassOrderEachOnce) {
    EXPECT_EQ(InterlaceOrder(1), (std::vector<int>{0}));
    EXPECT_EQ(InterlaceOrder(2), (std::vector<int>{0, 1}));
    EXPECT_EQ(InterlaceOrder(3), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(InterlaceOrder(5), (std::vector<int>{0, 4, 2, 1, 3}));
    EXPECT_EQ(InterlaceOrder(9), (std::vector<int>{0, 8, 4, 2, 6, 1, 3, 5, 7}));
    EXPECT_EQ(InterlaceOrder(20).size(), 20u);
}

TEST(GifInterlace, InterlacedDataFillsRowsInPassOrder) {
    for (int h : {1, 2, 3, 5, 9}) {
        Image img(3, h, 8);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < 3; ++x) img.Set(x, y, unsigned(10 + y));
        const Bytes data = Encode(img, true);
        Image back(3, h, 8);
        EXPECT_FALSE(Decode(data, back, true));
        EXPECT_TRUE(img.SamePixels(back)) << h;
        // Read as if not interlaced, the rows come in the order they were written.
        Image flat(3, h, 8);
        Decode(data, flat, false);
        const std::vector<int> order = InterlaceOrder(h);
        for (int i = 0; i < h; ++i) EXPECT_EQ(flat.Get(0, i), unsigned(10 + order[size_t(i)])) << h;
    }
}

TEST(GifRoundTrip, AllDepthsAndOddWidths) {
    uint32_t seed = 1;
    for (int bits : {1, 4, 8})
        for (int w : {1, 3, 7, 13, 31, 33, 101})
            for (int h : {1, 2, 5, 17})
                for (bool inter : {false, true}) {
                    Image img = RandomImage(w, h, bits, seed++);
                    Image back(w, h, bits);
                    EXPECT_FALSE(Decode(Encode(img, inter), back, inter, 8));
                    EXPECT_TRUE(img.SamePixels(back))
                        << bits << " " << w << "x" << h << " " << inter;
                }
}

TEST(GifRoundTrip, TwoColourImageUsesCodeSizeTwoAndThreeBitCodes) {
    Image img = RandomImage(10, 4, 1, 3);
    const Bytes data = Encode(img);
    EXPECT_EQ(data[0], 2);
    EXPECT_EQ(data[2] & 7, 4);  // the clear code 4 in the first three bits
    EXPECT_EQ(data.back(), 0);
}

TEST(GifRoundTrip, CodesGrowToTwelveBitsAndRestartAt4094) {
    Image img = RandomImage(512, 128, 8, 4);
    const Bytes data = Encode(img);
    EXPECT_EQ(data[0], 8);
    const std::vector<unsigned> codes = Codes(data);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), 256u);
    EXPECT_EQ(codes.back(), 257u);
    size_t clears = 0, sinceClear = 0, most = 0;
    unsigned highest = 0;
    for (unsigned c : codes) {
        highest = std::max(highest, c);
        if (c == 256) {
            ++clears;
            most = std::max(most, sinceClear);
            sinceClear = 0;
        } else
            ++sinceClear;
    }
    EXPECT_GE(clears, 3u);
    EXPECT_GE(highest, 2048u);  // twelve-bit codes were used
    EXPECT_LT(highest, 4094u);
    EXPECT_LE(most, 4094u - 258u + 2u);
    Image back(512, 128, 8);
    EXPECT_FALSE(Decode(data, back));
    EXPECT_TRUE(img.SamePixels(back));
}

TEST(GifRoundTrip, LongRunsOfOneValue) {
    Image img(1000, 50, 8);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 1000; ++x) img.Set(x, y, unsigned(y / 10));
    Image back(1000, 50, 8);
    EXPECT_FALSE(Decode(Encode(img), back));
    EXPECT_TRUE(img.SamePixels(back));
}

TEST(GifRoundTrip, EndCodeIsReadableAtTheDecodersWidth) {
    // 56 equal pixels end just as the decoder widens its codes to five bits.
    Image img(14, 4, 1);
    const Bytes data = Encode(img);
    const std::vector<unsigned> codes = Codes(data);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), 5u);
}

TEST(GifDecode, CodeOfTheStringBeingDefined) {
    // Clear, 1, then 6 (the code being defined: "1" + "1"), end: pixels 1 1 1.
    Image img(3, 1, 8);
    EXPECT_FALSE(Decode(Pack(2, {{4, 3}, {1, 3}, {6, 3}, {5, 3}}), img, false, 2));
    EXPECT_EQ(img.Get(0, 0), 1u);
    EXPECT_EQ(img.Get(1, 0), 1u);
    EXPECT_EQ(img.Get(2, 0), 1u);
}

TEST(GifDecode, DataWithoutLeadingClearCode) {
    Image img(3, 1, 8);
    EXPECT_FALSE(Decode(Pack(2, {{2, 3}, {3, 3}, {6, 3}, {5, 3}}), img, false, 2));
    EXPECT_EQ(img.Get(0, 0), 2u);
    EXPECT_EQ(img.Get(1, 0), 3u);
    EXPECT_EQ(img.Get(2, 0), 2u);  // code 6 is "2 3"; the 3 falls past the last row
}

TEST(GifDecode, AllRowsFilledWithoutEndCode) {
    Image img(2, 2, 8);
    EXPECT_FALSE(Decode(Pack(2, {{4, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 3}}), img, false, 2));
    EXPECT_EQ(img.Get(0, 0), 1u);
    EXPECT_EQ(img.Get(1, 1), 0u);
    EXPECT_EQ(img.Get(0, 1), 3u);
}

TEST(GifDecode, CodeBeyondTheFreeCodeIsCorrupt) {
    const Bytes data = Pack(2, {{4, 3}, {1, 3}, {7, 3}, {5, 3}});
    Image img(3, 1, 8);
    try {
        Decode(data, img);
        FAIL() << "no error";
    } catch (const EInvalidGraphicOperation& e) {
        EXPECT_EQ(e.Message, SGifCorruptData);
    }
    Image kept(3, 1, 8);
    EXPECT_TRUE(Decode(data, kept, false, 8, true));
    EXPECT_EQ(kept.Get(0, 0), 1u);
    EXPECT_EQ(kept.Get(1, 0), 0u);
}

TEST(GifDecode, FirstCodeAfterClearMustBeAValue) {
    Image img(3, 1, 8);
    EXPECT_THROW(Decode(Pack(2, {{4, 3}, {6, 3}, {5, 3}}), img), EInvalidGraphicOperation);
    EXPECT_TRUE(Decode(Pack(2, {{4, 3}, {6, 3}, {5, 3}}), img, false, 8, true));
}

TEST(GifDecode, CodeSizeOutsideTwoToNine) {
    for (uint8_t m : {uint8_t(0), uint8_t(1), uint8_t(10), uint8_t(200)}) {
        Bytes data = Pack(2, {{4, 3}, {1, 3}, {1, 3}, {5, 3}});
        data[0] = m;
        Image img(3, 1, 8);
        try {
            Decode(data, img);
            FAIL() << "no error";
        } catch (const EInvalidGraphicOperation& e) {
            EXPECT_EQ(e.Message, SGifCodeSizeRange);
        }
        // Tolerated: clamped, marked, nothing decoded.
        Image kept(3, 1, 8);
        EXPECT_TRUE(Decode(data, kept, false, 8, true));
        EXPECT_EQ(kept.px, Bytes(kept.px.size(), 0));
    }
}

TEST(GifDecode, SubBlocksThatStopEarly) {
    Image img = RandomImage(200, 30, 8, 8);
    const Bytes data = Encode(img);
    for (size_t cut : {size_t(1), size_t(2), size_t(100), data.size() / 2, data.size() - 3}) {
        const Bytes part(data.begin(), data.begin() + long(cut));
        Image back(200, 30, 8);
        try {
            Decode(part, back);
            FAIL() << "no error at " << cut;
        } catch (const EInvalidGraphicOperation& e) {
            EXPECT_EQ(e.Message, SStreamReadError);
        }
        Image kept(200, 30, 8);
        EXPECT_TRUE(Decode(part, kept, false, 8, true));
    }
    // What decoded before the cut is kept: the top row is complete at half the data.
    const Bytes half(data.begin(), data.begin() + long(data.size() / 2));
    Image kept(200, 30, 8);
    Decode(half, kept, false, 8, true);
    for (int x = 0; x < 200; ++x) EXPECT_EQ(kept.Get(x, 0), img.Get(x, 0));
    // No data at all.
    Image none(2, 2, 8);
    EXPECT_THROW(Decode({}, none), EInvalidGraphicOperation);
}

TEST(GifDecode, ZeroCountByteEndsTheData) {
    // The closing sub-block comes before the end code; what follows it is not read.
    Bytes data = Pack(2, {{4, 3}, {1, 3}});
    data.push_back(1);
    data.push_back(0x05);
    Image img(4, 1, 8);
    EXPECT_THROW(Decode(data, img), EInvalidGraphicOperation);
}

TEST(GifDecode, ValuesAreMaskedToTheColourTableAndThePixelDepth) {
    Image img(2, 1, 8);
    EXPECT_FALSE(Decode(Pack(3, {{8, 4}, {7, 4}, {5, 4}, {9, 4}}), img, false, 2));
    EXPECT_EQ(img.Get(0, 0), 3u);
    EXPECT_EQ(img.Get(1, 0), 1u);
    Image four(3, 1, 4);
    EXPECT_FALSE(
        Decode(Pack(8, {{256, 9}, {0xAB, 9}, {0xCD, 9}, {0x12, 9}, {257, 9}}), four, false, 8));
    EXPECT_EQ(four.Get(0, 0), 0xBu);
    EXPECT_EQ(four.Get(1, 0), 0xDu);
    EXPECT_EQ(four.Get(2, 0), 0x2u);
    EXPECT_EQ(four.px[0], 0xBD);
}

TEST(GifDecode, PixelArrayOfTheWrongSizeIsRefused) {
    Image img(10, 10, 8);
    const Bytes data = Encode(img);
    TMemoryStream s = StreamOf(data);
    EXPECT_THROW(DecodeGifLzw(s, img.f, false, nullptr, img.px.data(), img.px.size() - 1, 8, false),
                 EInvalidGraphicOperation);
    TGifPixelFormat bad{10, 10, 24};
    EXPECT_THROW(DecodeGifLzw(s, bad, false, nullptr, img.px.data(), img.px.size(), 8, false),
                 EInvalidGraphicOperation);
    EXPECT_THROW(EncodeGifLzw(s, bad, false, nullptr, img.px.data(), img.px.size()),
                 EInvalidGraphicOperation);
}

TEST(GifDecode, EmptyImages) {
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{0, 0}}) {
        Image img(w, h, 8);
        const Bytes data = Encode(img);
        EXPECT_EQ(Codes(data), (std::vector<unsigned>{256, 257}));
        EXPECT_FALSE(Decode(data, img));
    }
}

TEST(GifProgress, StagesAndPercentages) {
    Image img = RandomImage(300, 40, 8, 12);
    std::vector<std::pair<TProgressStage, int>> seen;
    auto record = [&](TProgressStage s, int p, const std::string&) { seen.push_back({s, p}); };
    TMemoryStream enc;
    EncodeGifLzw(enc, img.f, false, record, img.px.data(), img.px.size());
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(seen.back(), std::make_pair(psEnding, 100));
    EXPECT_EQ(seen[seen.size() - 2], std::make_pair(psRunning, 100));

    seen.clear();
    enc.SetPosition(0);
    Image back(300, 40, 8);
    DecodeGifLzw(enc, back.f, false, record, back.px.data(), back.px.size(), 8, false);
    EXPECT_EQ(seen.front(), std::make_pair(psStarting, 0));
    EXPECT_EQ(seen.back(), std::make_pair(psEnding, 100));
    int last = -1;
    for (size_t i = 1; i + 1 < seen.size(); ++i) {
        EXPECT_EQ(seen[i].first, psRunning);
        EXPECT_GT(seen[i].second, last);
        last = seen[i].second;
    }
    EXPECT_GE(last, 95);

    // A failure reports its message at the end and still raises.
    std::string message;
    int endPercent = -1;
    auto onEnd = [&](TProgressStage s, int p, const std::string& m) {
        if (s == psEnding) {
            message = m;
            endPercent = p;
        }
    };
    TMemoryStream cut = StreamOf(Bytes{8, 2, 0, 1});
    EXPECT_THROW(DecodeGifLzw(cut, back.f, false, onEnd, back.px.data(), back.px.size(), 8, false),
                 EInvalidGraphicOperation);
    EXPECT_EQ(message, SStreamReadError);
    EXPECT_EQ(endPercent, 0);
}
