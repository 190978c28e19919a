#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "controls/styled/lzrw.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Compress(const Bytes& in) {
    Bytes out(in.size() + LZRWSlack);
    out.resize(LZRWCompress(in, out));
    return out;
}

Bytes Decompress(const Bytes& block, size_t room) {
    Bytes out(room);
    out.resize(LZRWDecompress(block, out));
    return out;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Mixed content: runs, repeated phrases, noise.
Bytes Sample(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b;
    while (b.size() < n) {
        switch (rng() % 4) {
            case 0:
                b.insert(b.end(), 1 + rng() % 300, uint8_t(rng()));
                break;
            case 1: {
                if (b.size() > 20) {
                    const size_t from = rng() % (b.size() - 10), len = 3 + rng() % 20;
                    for (size_t i = 0; i < len && from + i < b.size(); ++i)
                        b.push_back(b[from + i]);
                }
                break;
            }
            default:
                for (int i = rng() % 40; i > 0; --i) b.push_back(uint8_t(rng()));
        }
    }
    b.resize(n);
    return b;
}

}  // namespace

TEST(LzrwBlocks, EmptyInputIsTheStoredMarkerAlone) {
    EXPECT_EQ(Compress({}), Bytes{128});
    EXPECT_TRUE(Decompress({128}, 10).empty());
}

TEST(LzrwBlocks, HundredEqualBytesAreOneRun) {
    EXPECT_EQ(Compress(Bytes(100, 'x')), (Bytes{64, 128, 0, 0, 0, 84, 'x'}));
    EXPECT_EQ(Decompress({64, 128, 0, 0, 0, 84, 'x'}, 100), Bytes(100, 'x'));
}

TEST(LzrwBlocks, RepeatedPhraseIsThreeLiteralsAndOneCopy) {
    // Control bits 0001 (top first), then copy offset 3 length 6: (3 << 4) + 3.
    EXPECT_EQ(Compress(Text("abcabcabc")), (Bytes{64, 0x10, 0x00, 'a', 'b', 'c', 0x00, 0x33}));
}

TEST(LzrwBlocks, FifteenEqualBytesAreALiteralAndACopy) {
    EXPECT_EQ(Compress(Bytes(15, 'q')), (Bytes{64, 0x40, 0x00, 'q', 0x00, (1 << 4) + 11}));
}

TEST(LzrwBlocks, SixteenEqualBytesAreARun) {
    EXPECT_EQ(Compress(Bytes(16, 'q')), (Bytes{64, 0x80, 0x00, 0, 0, 0, 'q'}));
}

TEST(LzrwBlocks, LongRunSplitsAt4095) {
    // 4095 = R 4079 (0x0FEF), then the remaining 905 = R 889 (0x0379).
    const Bytes block = Compress(Bytes(5000, 'z'));
    EXPECT_EQ(block, (Bytes{64, 0xC0, 0x00, 0, 0x0F, 0xEF, 'z', 0, 0x03, 0x79, 'z'}));
    EXPECT_EQ(Decompress(block, 5000), Bytes(5000, 'z'));
}

TEST(LzrwBlocks, RandomDataIsStoredOneByteLonger) {
    Bytes in(1000);
    std::mt19937 rng(1);
    for (auto& b : in) b = uint8_t(rng());
    const Bytes block = Compress(in);
    ASSERT_EQ(block.size(), in.size() + 1);
    EXPECT_EQ(block[0], 128);
    EXPECT_TRUE(std::equal(in.begin(), in.end(), block.begin() + 1));
}

TEST(LzrwBlocks, FullSizeStoredBlockLengthIsNotTruncated) {
    Bytes in(65535);
    std::mt19937 rng(2);
    for (auto& b : in) b = uint8_t(rng());
    const Bytes block = Compress(in);
    EXPECT_EQ(block.size(), 65536u);
    EXPECT_EQ(Decompress(block, 65535), in);
}

TEST(LzrwBlocks, CompressorReadsNothingPastTheInput) {
    // The same input followed by different bytes must give the same block.
    for (size_t n : {1u, 2u, 3u, 4u, 17u, 18u, 19u, 100u}) {
        Bytes a = Sample(n, 5), b = a;
        a.insert(a.end(), 64, 'a');
        b.insert(b.end(), 64, 'b');
        Bytes oa(n + LZRWSlack), ob(n + LZRWSlack);
        oa.resize(LZRWCompress(a.data(), oa.data(), uint16_t(n)));
        ob.resize(LZRWCompress(b.data(), ob.data(), uint16_t(n)));
        EXPECT_EQ(oa, ob) << n;
    }
    // A run that ends exactly at the input's end stops there.
    Bytes tail(20, 'r');
    tail.push_back('r');  // beyond the 20 given
    Bytes out(26);
    out.resize(LZRWCompress(tail.data(), out.data(), 20));
    EXPECT_EQ(Decompress(out, 20), Bytes(20, 'r'));
}

TEST(LzrwRoundTrip, RandomBlocksUpToTheChunkSize) {
    std::mt19937 rng(9);
    std::vector<size_t> sizes = {0,  1,  2,    3,    4,    15,    16,    17,
                                 18, 19, 4095, 4096, 4097, 32767, 32768, 32781};
    for (int i = 0; i < 30; ++i) sizes.push_back(rng() % 32782);
    for (size_t n : sizes) {
        const Bytes in = Sample(n, uint32_t(n) + 11);
        const Bytes block = Compress(in);
        EXPECT_LE(block.size(), n + 1);
        EXPECT_EQ(Decompress(block, n), in) << n;
    }
}

TEST(LzrwRoundTrip, DistantRepeatsBeyond32KAreNotMatchSources) {
    Bytes in = Sample(40000, 3);
    std::copy(in.begin() + 33000, in.begin() + 33100, in.begin() + 34000);
    EXPECT_EQ(Decompress(Compress(in), in.size()), in);
}

TEST(LzrwDamage, CopyBeforeTheStartRaises) {
    // One copy item, offset 5, with nothing written yet.
    EXPECT_THROW(Decompress({64, 0x80, 0x00, 0x00, 0x50}, 100), ELZRWError);
}

TEST(LzrwDamage, ExpansionBeyondTheRoomRaises) {
    const Bytes block = Compress(Bytes(100, 'x'));
    EXPECT_THROW(Decompress(block, 99), ELZRWError);
    EXPECT_THROW(Decompress({128, 1, 2, 3}, 2), ELZRWError);
    EXPECT_THROW(Decompress(Compress(Text("abcabcabc")), 8), ELZRWError);
}

TEST(LzrwDamage, CutShortBlocksRaise) {
    const Bytes block = Compress(Bytes(5000, 'z'));
    for (size_t cut = 4; cut < block.size(); ++cut) {
        const Bytes part(block.begin(), block.begin() + cut);
        bool raised = false;
        try {
            Decompress(part, 5000);
        } catch (const ELZRWError&) {
            raised = true;
        }
        // Cutting inside a code raises; a cut between items just yields less.
        if (cut != 7) {
            EXPECT_TRUE(raised) << cut;
        }
    }
    EXPECT_THROW(Decompress({}, 10), ELZRWError);
}

TEST(LzrwDamage, ControlWordWithoutItemsRaises) {
    // 16 literals, then a control word and nothing after it.
    Bytes block = {64, 0x00, 0x00};
    for (int i = 0; i < 16; ++i) block.push_back(uint8_t('a' + i));
    block.push_back(0x80);
    block.push_back(0x00);
    EXPECT_THROW(Decompress(block, 100), ELZRWError);
}

TEST(LzrwDamage, CompressorChecksItsRoom) {
    Bytes in(10, 'a'), out(15);
    EXPECT_THROW(LZRWCompress(in, out), ELZRWError);
    Bytes big(65536), room(65536 + LZRWSlack);
    EXPECT_THROW(LZRWCompress(big, room), ELZRWError);
}
