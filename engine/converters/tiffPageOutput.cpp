#include "engine/converters/tiffPageOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/util.h"
#include "platform/rtl/sysutils.h"

namespace {

uint64_t g_bandBytes = uint64_t(32) << 20;
// Seen rows made at once from a band: their runs stay in the processor's cache.
constexpr uint32_t kBlockRows = 64;
// A BMP file states its size in 32 bits.
constexpr uint64_t kMaxBmpBytes = 0xFFFFFFFFu;

void Put16(std::string& s, uint32_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8 & 0xFF);
}

void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

bool Bit(const uint8_t* row, uint32_t x) { return row[x >> 3] & (0x80 >> (x & 7)); }

void SetBit(uint8_t* row, uint32_t x) { row[x >> 3] |= uint8_t(0x80 >> (x & 7)); }

// A pixel as a 24-bit BMP file keeps it: blue, green, red.
void PutBgr(uint8_t* out, uint32_t px) {
    out[0] = uint8_t(px >> 16);
    out[1] = uint8_t(px >> 8);
    out[2] = uint8_t(px);
}

}  // namespace

uint64_t TiffBandBytes() { return g_bandBytes; }

void SetTiffBandBytes(uint64_t bytes) { g_bandBytes = bytes; }

TiffTurn TiffTurn::Of(uint16_t orientation, uint32_t width, uint32_t height) {
    // transpose, mirror across, mirror down
    static constexpr bool kTurns[9][3] = {
        {false, false, false}, {false, false, false}, {false, true, false},
        {false, true, true},   {false, false, true},  {true, false, false},
        {true, true, false},   {true, true, true},    {true, false, true}};
    const auto& t = kTurns[orientation <= 8 ? orientation : 0];
    return {t[0], t[1], t[2], t[0] ? height : width, t[0] ? width : height};
}

bool TiffPageInMemory::Begin(uint32_t width, uint32_t height, bool bilevel, uint16_t orientation) {
    turn_ = TiffTurn::Of(orientation, width, height);
    storedWidth_ = width;
    page_ = TiffPage();
    page_.width = turn_.width;
    page_.height = turn_.height;
    page_.bilevel = bilevel;
    if (bilevel)
        page_.bits.assign(page_.RowBytes() * page_.height, 0);
    else
        page_.rgba.resize(size_t(width) * height);
    return true;
}

void TiffPageInMemory::Row(uint32_t y, const uint8_t* bits) {
    if (turn_.None()) {
        std::memcpy(&page_.bits[y * page_.RowBytes()], bits, page_.RowBytes());
        return;
    }
    for (uint32_t x = 0; x < storedWidth_; ++x)
        if (Bit(bits, x)) {
            const auto [sx, sy] = turn_.At(y, x);
            SetBit(&page_.bits[sy * page_.RowBytes()], sx);
        }
}

void TiffPageInMemory::Row(uint32_t y, const uint32_t* pixels) {
    // The raster's rows run from the bottom.
    for (uint32_t x = 0; x < storedWidth_; ++x) {
        const auto [sx, sy] = turn_.At(y, x);
        page_.rgba[size_t(page_.height - 1 - sy) * page_.width + sx] = pixels[x];
    }
}

TiffPageBmpFile::~TiffPageBmpFile() {
    if (f_) std::fclose(f_);
}

uint32_t TiffPageBmpFile::BandRows(uint64_t rowBytes) {
    const uint64_t rows = g_bandBytes / std::max<uint64_t>(rowBytes, 1) / 8 * 8;
    return uint32_t(std::clamp<uint64_t>(rows, 8, uint64_t(1) << 24));
}

bool TiffPageBmpFile::Begin(uint32_t width, uint32_t height, bool bilevel, uint16_t orientation) {
    turn_ = TiffTurn::Of(orientation, width, height);
    bilevel_ = bilevel;
    storedWidth_ = width;
    storedHeight_ = height;
    const int bpp = bilevel ? 1 : 24;
    stride_ = (uint64_t(turn_.width) * bpp + 31) / 32 * 4;
    const uint32_t colours = bilevel ? 2 : 0;
    offset_ = 14 + 40 + colours * 4;
    const uint64_t size = offset_ + stride_ * turn_.height;
    if (size > kMaxBmpBytes) return false;
    if (turn_.transpose) {
        heldRowBytes_ = bilevel ? (size_t(width) + 7) / 8 : size_t(width) * 4;
        bandEnd_ = std::min(height, BandRows(heldRowBytes_));
        // Bands whose seen columns run from the right must end on whole bytes counted from
        // the page's right edge.
        if (bilevel && turn_.mirrorX && bandEnd_ < height)
            bandEnd_ -= (8 - (height - bandEnd_) % 8) % 8;
        band_.resize(heldRowBytes_ * BandRows(heldRowBytes_));
    }
    std::string head;
    head += "BM";
    Put32(head, uint32_t(size));
    Put32(head, 0);
    Put32(head, uint32_t(offset_));
    Put32(head, 40);
    Put32(head, turn_.width);
    Put32(head, turn_.height);  // rows from the bottom
    Put16(head, 1);
    Put16(head, uint32_t(bpp));
    Put32(head, 0);
    Put32(head, uint32_t(size - offset_));
    Put32(head, 3780);  // 96 dots an inch, as a screen bitmap has
    Put32(head, 3780);
    Put32(head, colours);
    Put32(head, colours);
    if (bilevel) {
        Put32(head, 0x000000);
        Put32(head, 0xFFFFFF);
    }
    f_ = std::fopen(file_.c_str(), "wb");
    if (!f_) RaiseFileOpenError(file_, errno);
    WriteAt(0, reinterpret_cast<const uint8_t*>(head.data()), head.size());
    // The file has its whole size from the start; the padding of the rows is never written.
    const uint8_t zero = 0;
    WriteAt(size - 1, &zero, 1);
    return true;
}

void TiffPageBmpFile::WriteFailed(int err) const {
    RaiseInOutError(err ? err : EIO, "无法写入文件 \"" + EscapeControls(file_) + "\"");
}

void TiffPageBmpFile::WriteAt(uint64_t at, const uint8_t* data, size_t n) {
    errno = 0;
    if (std::fseek(f_, long(at), SEEK_SET) != 0 || std::fwrite(data, 1, n, f_) != n)
        WriteFailed(errno);
}

void TiffPageBmpFile::Row(uint32_t y, const uint8_t* bits) {
    if (turn_.transpose) return Hold(y, bits);
    out_.assign(stride_, 0);
    if (!turn_.mirrorX) {
        std::memcpy(out_.data(), bits, (size_t(storedWidth_) + 7) / 8);
    } else {
        for (uint32_t x = 0; x < storedWidth_; ++x)
            if (Bit(bits, x)) SetBit(out_.data(), storedWidth_ - 1 - x);
    }
    const uint32_t seenY = turn_.mirrorY ? storedHeight_ - 1 - y : y;
    WriteAt(offset_ + (turn_.height - 1 - seenY) * stride_, out_.data(), out_.size());
}

void TiffPageBmpFile::Row(uint32_t y, const uint32_t* pixels) {
    if (turn_.transpose) return Hold(y, pixels);
    out_.assign(stride_, 0);
    for (uint32_t x = 0; x < storedWidth_; ++x)
        PutBgr(&out_[size_t(turn_.mirrorX ? storedWidth_ - 1 - x : x) * 3], pixels[x]);
    const uint32_t seenY = turn_.mirrorY ? storedHeight_ - 1 - y : y;
    WriteAt(offset_ + (turn_.height - 1 - seenY) * stride_, out_.data(), out_.size());
}

void TiffPageBmpFile::Hold(uint32_t y, const void* row) {
    std::memcpy(&band_[size_t(y - bandTop_) * heldRowBytes_], row, heldRowBytes_);
    if (y + 1 < bandEnd_) return;
    WriteBand();
    bandTop_ = bandEnd_;
    bandEnd_ =
        uint32_t(std::min<uint64_t>(storedHeight_, uint64_t(bandTop_) + BandRows(heldRowBytes_)));
}

// The band's stored rows are seen columns side by side: in every row of the file one run.
void TiffPageBmpFile::WriteBand() {
    const uint32_t rows = bandEnd_ - bandTop_;
    const uint32_t seenWidth = turn_.width, seenHeight = turn_.height;
    const uint32_t left = turn_.mirrorX ? seenWidth - bandEnd_ : bandTop_;
    const size_t run = bilevel_ ? (size_t(rows) + 7) / 8 : size_t(rows) * 3;
    const uint64_t at = bilevel_ ? left / 8 : uint64_t(left) * 3;
    for (uint32_t c0 = 0; c0 < storedWidth_; c0 += kBlockRows) {
        const uint32_t n = std::min(kBlockRows, storedWidth_ - c0);
        out_.assign(run * n, 0);
        for (uint32_t k = 0; k < rows; ++k) {
            const uint8_t* held = &band_[size_t(k) * heldRowBytes_];
            const uint32_t x = turn_.mirrorX ? rows - 1 - k : k;
            for (uint32_t j = 0; j < n; ++j) {
                uint8_t* out = &out_[j * run];
                if (bilevel_) {
                    if (Bit(held, c0 + j)) SetBit(out, x);
                } else {
                    uint32_t px;
                    std::memcpy(&px, held + size_t(c0 + j) * 4, 4);
                    PutBgr(out + size_t(x) * 3, px);
                }
            }
        }
        for (uint32_t j = 0; j < n; ++j) {
            const uint32_t seenY = turn_.mirrorY ? seenHeight - 1 - (c0 + j) : c0 + j;
            WriteAt(offset_ + (seenHeight - 1 - seenY) * stride_ + at, &out_[j * run], run);
        }
    }
}

void TiffPageBmpFile::End() {
    std::FILE* f = f_;
    f_ = nullptr;
    errno = 0;
    if (std::fclose(f) != 0) WriteFailed(errno);
}
