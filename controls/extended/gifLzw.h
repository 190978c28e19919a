// LZW coding of GIF image data: the data sub-blocks of one frame <-> a bottom-up pixel
// array of 1, 4 or 8 bits per pixel (the body of a device-independent bitmap).
//
// Compressed data: the minimum code size byte, then sub-blocks (a count byte 1-255 and that
// many bytes), closed by a sub-block of count 0. Codes are packed least-significant bit
// first and never exceed 12 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/rtl/classes.h"
#include "platform/vcl/graphicErrors.h"

enum TProgressStage { psStarting, psRunning, psEnding };
// Stage, percentage 0-100, message (the error text when psEnding reports a failure).
using TGifProgressEvent = std::function<void(TProgressStage, int, const std::string&)>;

// The pixel array: Height rows of GifStride(Width, BitCount) bytes, the top row last in
// memory. In a byte the leftmost pixel is the most significant bit or the high nibble.
struct TGifPixelFormat {
    int Width = 0;
    int Height = 0;
    int BitCount = 8;  // 1, 4 or 8
};

constexpr size_t GifStride(int width, int bitCount) {
    return (size_t(bitCount) * size_t(width) + 31) / 32 * 4;
}

// GIF interlace order: pass 0 rows 0, 8, 16, ...; pass 1 rows 4, 12, ...; pass 2 rows 2,
// 6, ...; pass 3 rows 1, 3, .... Returns the row after Row; a result not below Height ends
// the image. Pass starts at 0.
int NextInterlacedRow(int row, int height, int& pass);

// Fills Pixels (PixelsSize bytes, at least stride x height, zero-filled by the caller) from
// the compressed data at Source's position. BitsPerPixel (1-8) is the depth of the frame's
// colour table; pixel values are masked to it. Returns true when damaged data was
// tolerated: with TolerateCorrupt, a code size byte outside 2..9, an invalid code or data
// that ends before the end code stop decoding and keep what was decoded; without it they
// raise EInvalidGraphicOperation.
bool DecodeGifLzw(TStream& source, const TGifPixelFormat& format, bool interlaced,
                  const TGifProgressEvent& progress, uint8_t* pixels, size_t pixelsSize,
                  int bitsPerPixel, bool tolerateCorrupt);

// Writes the compressed form of Pixels at Dest's position.
void EncodeGifLzw(TStream& dest, const TGifPixelFormat& format, bool interlaced,
                  const TGifProgressEvent& progress, const uint8_t* pixels, size_t pixelsSize);

// Bit-level reading of codes from the sub-blocks at a stream's position.
class TGifCodeReader {
public:
    static constexpr unsigned EndOfData = 0xFFFF;
    explicit TGifCodeReader(TStream& source) : source_(source) {}
    // The next code of CodeSize bits (1-12), EndOfData when the data runs out (a zero count
    // byte, or the end of the stream).
    unsigned ReadGifCode(unsigned codeSize) {
        if (bits_ < codeSize) {
            Refill();
            if (bits_ < codeSize) return EndOfData;
        }
        const unsigned code = unsigned(acc_) & ((1u << codeSize) - 1);
        acc_ >>= codeSize;
        bits_ -= codeSize;
        return code;
    }
    // Bytes taken from the stream so far.
    int64_t Consumed() const { return consumed_; }

private:
    void Refill();
    bool NextBlock();
    TStream& source_;
    uint64_t acc_ = 0;
    unsigned bits_ = 0;
    unsigned pos_ = 0, end_ = 0;
    bool ended_ = false;
    int64_t consumed_ = 0;
    uint8_t block_[256] = {};
};

// Bit-level writing of codes into 255-byte sub-blocks.
class TGifCodeWriter {
public:
    explicit TGifCodeWriter(TStream& dest) : dest_(dest) {}
    void WriteGifCode(unsigned code, unsigned codeSize) {
        acc_ |= uint64_t(code) << bits_;
        bits_ += codeSize;
        while (bits_ >= 8) {
            block_[1 + fill_++] = uint8_t(acc_);
            acc_ >>= 8;
            bits_ -= 8;
            if (fill_ == 255) WriteBlock();
        }
    }
    // Writes the last partial sub-block and the closing zero count byte.
    void FlushGifCodes();

private:
    void WriteBlock();
    TStream& dest_;
    uint64_t acc_ = 0;
    unsigned bits_ = 0;
    unsigned fill_ = 0;
    uint8_t block_[256] = {};
};
