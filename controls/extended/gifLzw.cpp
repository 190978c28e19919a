#include "controls/extended/gifLzw.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "controls/extended/xcConsts.h"

// ---------------------------------------------------------------- code reader and writer

bool TGifCodeReader::NextBlock() {
    if (ended_) return false;
    uint8_t n = 0;
    if (source_.Read(&n, 1) != 1 || n == 0) {  // the closing sub-block, or no data at all
        ended_ = true;
        return false;
    }
    ++consumed_;
    const int64_t got = source_.Read(block_, n);
    if (got <= 0) {
        ended_ = true;
        return false;
    }
    consumed_ += got;
    pos_ = 0;
    end_ = unsigned(got);  // a cut-short sub-block yields what it has
    return true;
}

void TGifCodeReader::Refill() {
    if constexpr (std::endian::native == std::endian::little) {
        if (end_ - pos_ >= 8) {  // a whole word at once: as many bytes as fit
            uint64_t v;
            std::memcpy(&v, block_ + pos_, 8);
            const unsigned take = (63 - bits_) >> 3;
            acc_ |= (v & ((uint64_t(1) << (take * 8)) - 1)) << bits_;
            pos_ += take;
            bits_ += take * 8;
            return;
        }
    }
    while (bits_ <= 56) {
        if (pos_ == end_ && !NextBlock()) return;
        acc_ |= uint64_t(block_[pos_++]) << bits_;
        bits_ += 8;
    }
}

void TGifCodeWriter::WriteBlock() {
    block_[0] = uint8_t(fill_);
    dest_.WriteBuffer(block_, fill_ + 1);
    fill_ = 0;
}

void TGifCodeWriter::FlushGifCodes() {
    if (bits_ > 0) {
        block_[1 + fill_++] = uint8_t(acc_);
        acc_ = 0;
        bits_ = 0;
        if (fill_ == 255) WriteBlock();
    }
    if (fill_ > 0) WriteBlock();
    const uint8_t zero = 0;
    dest_.WriteBuffer(&zero, 1);
}

// ---------------------------------------------------------------- interlacing

int NextInterlacedRow(int row, int height, int& pass) {
    // Four passes: every 8th row from 0, every 8th from 4, every 4th from 2, every 2nd from 1.
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    row += kStep[pass < 3 ? pass : 3];
    while (row >= height && pass < 3) row = kStart[++pass];
    return row;
}

// ---------------------------------------------------------------- decoding

namespace {

constexpr unsigned MaxCodes = 4096;
constexpr unsigned NoCode = 0xFFFF;

void CheckFormat(const TGifPixelFormat& f, size_t size) {
    if (f.BitCount != 1 && f.BitCount != 4 && f.BitCount != 8)
        throw EInvalidGraphicOperation(SGifColorCount);
    if (f.Width < 0 || f.Height < 0) throw EInvalidGraphicOperation(SGifPixelArraySize);
    const size_t stride = GifStride(f.Width, f.BitCount);
    if (f.Height > 0 && stride > size / size_t(f.Height))
        throw EInvalidGraphicOperation(SGifPixelArraySize);
}

// Where decoded pixels go: row by row, top row at the end of the array.
class PixelSink {
public:
    PixelSink(uint8_t* pixels, const TGifPixelFormat& f, bool interlaced)
        : pixels_(pixels),
          stride_(GifStride(f.Width, f.BitCount)),
          width_(f.Width),
          height_(f.Height),
          bitCount_(f.BitCount),
          valueMask_((1u << f.BitCount) - 1),
          interlaced_(interlaced) {
        if (width_ == 0) row_ = height_;  // nothing to fill
        SetRow();
    }
    bool Full() const { return row_ >= height_; }

    // Writes the string ending in Code (Len values, walked backwards through the tables).
    void PutString(unsigned code, unsigned len, const uint16_t* prefix, const uint8_t* suffix) {
        if (bitCount_ == 8 && unsigned(width_ - x_) >= len) {
            uint8_t* p = line_ + x_ + len;
            for (unsigned n = len; n > 0; --n) {
                *--p = suffix[code];
                code = prefix[code];
            }
            x_ += int(len);
            if (x_ == width_) NextRow();
            return;
        }
        uint8_t* p = stack_ + len;
        for (unsigned n = len; n > 0; --n) {
            *--p = suffix[code];
            code = prefix[code];
        }
        for (unsigned i = 0; i < len && !Full(); ++i) Put(stack_[i]);
    }

private:
    void Put(unsigned v) {
        switch (bitCount_) {
            case 8:
                line_[x_] = uint8_t(v);
                break;
            case 4:
                v &= valueMask_;
                if ((x_ & 1) == 0)
                    line_[x_ >> 1] = uint8_t(v << 4);
                else
                    line_[x_ >> 1] |= uint8_t(v);
                break;
            default:
                v &= valueMask_;
                if ((x_ & 7) == 0)
                    line_[x_ >> 3] = uint8_t(v << 7);
                else
                    line_[x_ >> 3] |= uint8_t(v << (7 - (x_ & 7)));
                break;
        }
        if (++x_ == width_) NextRow();
    }
    void NextRow() {
        x_ = 0;
        row_ = interlaced_ ? NextInterlacedRow(row_, height_, pass_) : row_ + 1;
        SetRow();
    }
    void SetRow() {
        if (row_ < height_) line_ = pixels_ + size_t(height_ - 1 - row_) * stride_;
    }

    uint8_t* pixels_;
    size_t stride_;
    int width_, height_, bitCount_;
    unsigned valueMask_;
    bool interlaced_;
    int x_ = 0, row_ = 0, pass_ = 0;
    uint8_t* line_ = nullptr;
    uint8_t stack_[MaxCodes + 1];
};

struct DecoderTables {
    uint16_t prefix[MaxCodes];
    uint8_t suffix[MaxCodes];
    uint8_t first[MaxCodes];
    uint16_t length[MaxCodes];
};

enum class Damage { None, Corrupt, Truncated };

// Runs the LZW loop; returns what stopped it when it did not end normally.
Damage RunDecoder(TGifCodeReader& reader, PixelSink& sink, DecoderTables& t, unsigned minSize,
                  unsigned pixelMask, bool startCorrupt, const std::function<void()>& tick) {
    const unsigned clear = 1u << minSize;
    const unsigned end = clear + 1;
    const unsigned firstFree = clear + 2;
    const unsigned initSize = minSize + 1;
    for (unsigned c = 0; c < clear; ++c) {
        t.prefix[c] = 0;
        t.suffix[c] = uint8_t(c & pixelMask);
        t.first[c] = uint8_t(c & pixelMask);
        t.length[c] = 1;
    }
    unsigned codeSize = initSize, maxCode = 1u << initSize, freeCode = firstFree;
    unsigned oldCode = NoCode;  // no previous code: the data starts as after a clear code

    unsigned code = reader.ReadGifCode(codeSize);
    while (code != end && code != TGifCodeReader::EndOfData && !sink.Full()) {
        if (code == clear) {
            codeSize = initSize;
            maxCode = 1u << initSize;
            freeCode = firstFree;
            oldCode = NoCode;
        } else {
            if (startCorrupt) return Damage::Corrupt;
            if (oldCode == NoCode) {
                if (code >= clear) return Damage::Corrupt;  // nothing is defined yet
            } else {
                if (code > freeCode) return Damage::Corrupt;
                if (freeCode < MaxCodes) {
                    // The new string: the previous one plus the first value of this one (of
                    // itself when it is the code being defined).
                    t.prefix[freeCode] = uint16_t(oldCode);
                    t.suffix[freeCode] = code == freeCode ? t.first[oldCode] : t.first[code];
                    t.first[freeCode] = t.first[oldCode];
                    t.length[freeCode] = uint16_t(t.length[oldCode] + 1);
                    if (++freeCode >= maxCode && codeSize < 12) {
                        ++codeSize;
                        maxCode <<= 1;
                    }
                }
            }
            sink.PutString(code, t.length[code], t.prefix, t.suffix);
            oldCode = code;
            if (sink.Full())
                return startCorrupt ? Damage::Corrupt : Damage::None;  // no end code needed
        }
        code = reader.ReadGifCode(codeSize);
        if (tick) tick();
    }
    if (code == TGifCodeReader::EndOfData) return Damage::Truncated;
    return startCorrupt ? Damage::Corrupt : Damage::None;
}

}  // namespace

bool DecodeGifLzw(TStream& source, const TGifPixelFormat& format, bool interlaced,
                  const TGifProgressEvent& progress, uint8_t* pixels, size_t pixelsSize,
                  int bitsPerPixel, bool tolerateCorrupt) {
    if (progress) progress(psStarting, 0, "");
    bool corrupted = false;
    try {
        CheckFormat(format, pixelsSize);
        const unsigned pixelMask = (1u << std::clamp(bitsPerPixel, 1, 8)) - 1;
        const int64_t start = source.Position();
        const int64_t size = progress ? source.Size() : 0;

        uint8_t m = 0;
        if (source.Read(&m, 1) != 1) {
            if (!tolerateCorrupt) throw EInvalidGraphicOperation(SStreamReadError);
            corrupted = true;
        } else {
            unsigned minSize = m;
            if (minSize < 2 || minSize > 9) {
                if (!tolerateCorrupt) throw EInvalidGraphicOperation(SGifCodeSizeRange);
                corrupted = true;
                minSize = std::clamp(minSize, 2u, 9u);
            }
            TGifCodeReader reader(source);
            auto sink = std::make_unique<PixelSink>(pixels, format, interlaced);
            auto tables = std::make_unique<DecoderTables>();
            int lastPercent = -1;
            std::function<void()> tick;
            if (progress && size > 0) {
                tick = [&] {
                    const int64_t at = start + 1 + reader.Consumed();
                    const int percent = int((at * 100 + size / 2) / size);
                    if (percent != lastPercent) {
                        lastPercent = percent;
                        progress(psRunning, percent, "");
                    }
                };
            }
            switch (RunDecoder(reader, *sink, *tables, minSize, pixelMask, corrupted, tick)) {
                case Damage::None:
                    break;
                case Damage::Corrupt:
                    if (!tolerateCorrupt) throw EInvalidGraphicOperation(SGifCorruptData);
                    corrupted = true;
                    break;
                case Damage::Truncated:
                    if (!tolerateCorrupt) throw EInvalidGraphicOperation(SStreamReadError);
                    corrupted = true;
                    break;
            }
        }
    } catch (const Exception& e) {
        if (progress) progress(psEnding, 0, e.Message);
        throw;
    } catch (const std::exception& e) {
        if (progress) progress(psEnding, 0, e.what());
        throw;
    }
    if (progress) progress(psEnding, 100, "");
    return corrupted;
}

// ---------------------------------------------------------------- encoding

namespace {

constexpr unsigned HashSlots = 17777;
constexpr unsigned RestartAt = 4094;

struct EncoderTables {
    uint16_t slot[HashSlots];  // 0 = empty (no string code is below 6)
    uint16_t prefix[MaxCodes];
    uint8_t suffix[MaxCodes];
    void Empty() { std::fill(std::begin(slot), std::end(slot), uint16_t(0)); }
};

}  // namespace

void EncodeGifLzw(TStream& dest, const TGifPixelFormat& format, bool interlaced,
                  const TGifProgressEvent& progress, const uint8_t* pixels, size_t pixelsSize) {
    if (progress) progress(psStarting, 0, "");
    try {
        if (format.BitCount != 1 && format.BitCount != 4 && format.BitCount != 8)
            throw EInvalidGraphicOperation(SGifEncodeError);
        CheckFormat(format, pixelsSize);
        const unsigned initSize = format.BitCount == 1 ? 3 : unsigned(format.BitCount) + 1;
        const uint8_t minSize = uint8_t(initSize - 1);
        dest.WriteBuffer(&minSize, 1);
        const unsigned clear = 1u << (initSize - 1);
        const unsigned end = clear + 1;
        unsigned freeCode = end, codeSize = initSize, maxCode = 1u << initSize;

        TGifCodeWriter writer(dest);
        writer.WriteGifCode(clear, codeSize);
        auto t = std::make_unique<EncoderTables>();
        t->Empty();

        const size_t stride = GifStride(format.Width, format.BitCount);
        const int w = format.Width, h = format.Height;
        unsigned run = 0, prefix = 0, hash = 0;
        bool emitted = false;  // a code written since the last clear code
        int row = 0, pass = 0;
        for (int done = 0; done < h && row < h; ++done) {
            const uint8_t* line = pixels + size_t(h - 1 - row) * stride;
            for (int x = 0; x < w; ++x) {
                unsigned p;
                if (format.BitCount == 8)
                    p = line[x];
                else if (format.BitCount == 4)
                    p = (line[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
                else
                    p = (line[x >> 3] >> (7 - (x & 7))) & 1;
                if (++run == 1) {
                    prefix = p;
                    hash = (p + 3) * 301;
                    continue;
                }
                hash = (hash * (p + run + 4)) % HashSlots;
                unsigned s = hash;
                for (;;) {
                    const unsigned c = t->slot[s];
                    if (c == 0 || (t->prefix[c] == prefix && t->suffix[c] == p)) break;
                    if (++s == HashSlots) s = 0;
                }
                if (t->slot[s] != 0) {
                    prefix = t->slot[s];
                    continue;
                }
                writer.WriteGifCode(prefix, codeSize);
                emitted = true;
                ++freeCode;
                t->prefix[freeCode] = uint16_t(prefix);
                t->suffix[freeCode] = uint8_t(p);
                t->slot[s] = uint16_t(freeCode);
                prefix = p;
                hash = (p + 3) * 301;
                run = 1;
                if (freeCode >= maxCode) {
                    maxCode <<= 1;
                    ++codeSize;
                } else if (freeCode >= RestartAt) {
                    writer.WriteGifCode(prefix, codeSize);
                    writer.WriteGifCode(clear, codeSize);
                    run = 0;
                    emitted = false;
                    freeCode = end;
                    codeSize = initSize;
                    maxCode = 1u << initSize;
                    t->Empty();
                }
            }
            row = interlaced ? NextInterlacedRow(row, h, pass) : row + 1;
            if (progress) progress(psRunning, int(int64_t(done + 1) * 100 / h), "");
        }
        if (run > 0) {  // the string in hand
            writer.WriteGifCode(prefix, codeSize);
            // A decoder defines one more code on reading it and may widen its codes for the
            // end code; write that at the width it will read.
            if (emitted && freeCode + 1 >= maxCode && codeSize < 12) ++codeSize;
        }
        writer.WriteGifCode(end, codeSize);
        writer.FlushGifCodes();
    } catch (const Exception& e) {
        if (progress) progress(psEnding, 0, e.Message);
        throw;
    } catch (const std::exception& e) {
        if (progress) progress(psEnding, 0, e.what());
        throw;
    }
    if (progress) progress(psEnding, 100, "");
}
