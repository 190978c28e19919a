#include "engine/converters/tiffPages.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <utility>

#include "engine/util.h"
#include "platform/automation/tiffLibrary.h"
#include "platform/rtl/sysutils.h"

namespace {

// libtiff's errors are English and for the day log; the user is told in our own words.
thread_local std::string g_tiffError;

void TiffError(const char* module, const char* fmt, va_list ap) {
    char buf[512];
    vsnprintf(buf, sizeof buf, fmt, ap);
    if (!g_tiffError.empty()) g_tiffError += "; ";
    g_tiffError += std::string(module ? module : "") + (module ? ": " : "") + buf;
}

void TiffWarning(const char*, const char*, va_list) {}

void LogTiffError() {
    if (!g_tiffError.empty()) Log("ErrorLine", g_tiffError);
    g_tiffError.clear();
}

// A colour page is decoded into 4 bytes a pixel (1 GiB at most); a bilevel one keeps one
// bit a pixel and may have far more pixels in the same memory (an A0 drawing at 600 dpi).
constexpr uint64_t kMaxColourPixels = uint64_t(1) << 28;
constexpr uint64_t kMaxBilevelPixels = uint64_t(1) << 32;
constexpr uint32_t kMaxSide = 0x7FFFFFFF;           // a BMP file's width and height are signed
constexpr uint64_t kMaxBuffer = uint64_t(1) << 30;  // a row or a band of tile rows

constexpr uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) {
    return r | g << 8 | b << 16 | 0xFFu << 24;
}

// A colour laid on white by its coverage a (0..255). Premultiplied colours already hold
// their share, straight ones are weighted first.
uint32_t OnWhite(uint32_t c, uint32_t a, bool premultiplied) {
    if (premultiplied) return std::min<uint32_t>(255, c + 255 - a);
    return (c * a + 255 * (255 - a) + 127) / 255;
}

uint32_t OnWhite(uint32_t px, bool premultiplied) {
    const uint32_t a = px >> 24;
    if (a == 255) return px;
    return Pack(OnWhite(px & 0xFF, a, premultiplied), OnWhite(px >> 8 & 0xFF, a, premultiplied),
                OnWhite(px >> 16 & 0xFF, a, premultiplied));
}

// Whether the file begins as a TIFF does (classic or big, either byte order).
bool HasTiffMagic(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    char m[4] = {};
    if (!in.read(m, 4)) return false;
    return (m[0] == 'I' && m[1] == 'I' && (m[2] == 42 || m[2] == 43) && m[3] == 0) ||
           (m[0] == 'M' && m[1] == 'M' && m[2] == 0 && (m[3] == 42 || m[3] == 43));
}

uint16_t Field16(tiff* tif, uint32_t tag) {
    uint16_t v = 0;
    Tiff().GetFieldDefaulted(tif, tag, &v);
    return v;
}

// One sample of a row read by libtiff, as 0..1.
double Sample(const uint8_t* row, size_t index, int bits, bool ieee) {
    switch (bits) {
        case 1:
        case 2:
        case 4: {
            const size_t bit = index * size_t(bits);
            const int shift = 8 - bits - int(bit & 7);
            return double((row[bit >> 3] >> shift) & ((1 << bits) - 1)) / ((1 << bits) - 1);
        }
        case 8:
            return row[index] / 255.0;
        case 16: {
            uint16_t v;
            std::memcpy(&v, row + index * 2, 2);
            return v / 65535.0;
        }
        case 32: {
            if (ieee) {
                float f;
                std::memcpy(&f, row + index * 4, 4);
                return double(f);
            }
            uint32_t v;
            std::memcpy(&v, row + index * 4, 4);
            return v / 4294967295.0;
        }
        default: {  // 64-bit floating point
            double d;
            std::memcpy(&d, row + index * 8, 8);
            return d;
        }
    }
}

uint32_t To8(double v) {
    if (!(v > 0)) return 0;  // NaN too
    if (v >= 1) return 255;
    return uint32_t(std::lround(v * 255));
}

void Put16(std::string& s, uint32_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8 & 0xFF);
}

void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// How a page as stored is turned to be seen, by its Orientation tag (1 to 8): stored rows
// become columns when transposed, then the page is mirrored across and/or down.
struct Turn {
    bool transpose = false, mirrorX = false, mirrorY = false;
    uint32_t width = 0, height = 0;  // the page as seen
    bool None() const { return !transpose && !mirrorX && !mirrorY; }
    // Where the stored pixel of row r, column c is seen, from the top left.
    std::pair<uint32_t, uint32_t> At(uint32_t r, uint32_t c) const {
        uint32_t x = transpose ? r : c, y = transpose ? c : r;
        if (mirrorX) x = width - 1 - x;
        if (mirrorY) y = height - 1 - y;
        return {x, y};
    }
    // The index of that pixel in a raster whose rows run from the bottom.
    size_t FromBottom(uint32_t r, uint32_t c) const {
        const auto [x, y] = At(r, c);
        return size_t(height - 1 - y) * width + x;
    }
};

Turn TurnOf(uint16_t orientation, uint32_t width, uint32_t height) {
    // transpose, mirror across, mirror down; a value outside the tag's range is upright.
    static constexpr bool kTurns[9][3] = {
        {false, false, false}, {false, false, false}, {false, true, false},
        {false, true, true},   {false, false, true},  {true, false, false},
        {true, true, false},   {true, true, true},    {true, false, true}};
    const auto& t = kTurns[orientation <= 8 ? orientation : 0];
    return {t[0], t[1], t[2], t[0] ? height : width, t[0] ? width : height};
}

// What libtiff's RGBA reader says when it meets a format it has no routine for.
bool CannotHandle(const std::string& error) {
    std::string lower = error;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    return lower.find("can not handle") != std::string::npos ||
           lower.find("cannot handle") != std::string::npos ||
           lower.find("sorry") != std::string::npos;
}

// The rows of a page from the top, one sample plane (or every sample, when they lie
// together) at a time, whether the page is stored in strips or in tiles. Each row holds at
// least `bytes` bytes; false when the file does not hold them.
class RowReader {
public:
    RowReader(tiff* tif, uint64_t bytes, uint16_t plane) : tif_(tif), plane_(plane) {
        uint32_t width = 0;
        Tiff().GetField(tif, TIFFTAG_IMAGEWIDTH, &width);
        if (!Tiff().IsTiled(tif)) {
            stride_ = Tiff().ScanlineSize64(tif);
            rows_ = 1;
        } else {
            Tiff().GetField(tif, TIFFTAG_TILEWIDTH, &tileWidth_);
            Tiff().GetField(tif, TIFFTAG_TILELENGTH, &rows_);
            tileRow_ = Tiff().TileRowSize64(tif);
            if (tileWidth_ == 0 || rows_ == 0 || tileRow_ == 0) return;
            stride_ = (uint64_t(width) + tileWidth_ - 1) / tileWidth_ * tileRow_;
            const uint64_t tileSize = Tiff().TileSize64(tif);
            if (tileSize < tileRow_ * rows_ || tileSize > kMaxBuffer) return;
            tile_.resize(tileSize);
        }
        // Row sizes no real page comes near are a damaged directory, not a page to allocate.
        good_ = stride_ >= bytes && stride_ <= kMaxBuffer && stride_ * rows_ <= kMaxBuffer;
        if (good_) band_.resize(stride_ * rows_);
    }
    bool Good() const { return good_; }
    // Row y, read in order; null when it cannot be read.
    const uint8_t* Row(uint32_t y) {
        if (tileWidth_ == 0)
            return Tiff().ReadScanline(tif_, band_.data(), y, plane_) < 0 ? nullptr : band_.data();
        const uint32_t top = y / rows_ * rows_;
        if (!loaded_ || top != top_) {
            for (uint64_t x = 0, n = 0; n * tileRow_ < stride_; x += tileWidth_, ++n) {
                if (Tiff().ReadTile(tif_, tile_.data(), uint32_t(x), top, 0, plane_) < 0)
                    return nullptr;
                for (uint32_t r = 0; r < rows_; ++r)
                    std::memcpy(&band_[r * stride_ + n * tileRow_], &tile_[r * tileRow_], tileRow_);
            }
            top_ = top;
            loaded_ = true;
        }
        return &band_[(y - top) * stride_];
    }

private:
    tiff* tif_;
    uint16_t plane_;
    uint32_t tileWidth_ = 0, rows_ = 0, top_ = 0;
    uint64_t tileRow_ = 0, stride_ = 0;
    bool good_ = false, loaded_ = false;
    std::vector<uint8_t> tile_, band_;
};

}  // namespace

TiffPages::TiffPages(const std::string& file) : file_(file) {
    Tiff().SetErrorHandler(TiffError);
    Tiff().SetWarningHandler(TiffWarning);
    g_tiffError.clear();
    tif_ = Tiff().Open(file.c_str(), "r");
    if (tif_) return;
    LogTiffError();
    const std::string name = "\"" + EscapeControls(file) + "\"";
    errno = 0;
    std::ifstream probe(file, std::ios::binary);
    if (!probe) throw Exception("无法打开 TIFF 文件 " + name + ": " + SysErrorMessage(errno));
    if (!HasTiffMagic(file)) throw Exception("文件 " + name + " 不是 TIFF 文件");
    throw Exception("TIFF 文件已损坏, 无法读取第 1 页: " + name);
}

TiffPages::~TiffPages() {
    if (tif_) Tiff().Close(tif_);
}

void TiffPages::Fail(const std::string& what) const {
    LogTiffError();
    throw Exception(what + ": \"" + EscapeControls(file_) + "\"");
}

std::optional<uint64_t> TiffPages::NextDirectoryOffset() const {
    std::ifstream in(file_, std::ios::binary);
    uint8_t bytes[8] = {};
    if (!in.read(reinterpret_cast<char*>(bytes), 8)) return std::nullopt;
    const bool little = bytes[0] == 'I';
    const auto number = [&](int n) {
        uint64_t v = 0;
        for (int i = 0; i < n; ++i) v |= uint64_t(bytes[little ? i : n - 1 - i]) << (8 * i);
        return v;
    };
    const auto readAt = [&](uint64_t at, int n) {
        return at < uint64_t(1) << 62 && in.seekg(std::streamoff(at)) &&
               in.read(reinterpret_cast<char*>(bytes), n);
    };
    // A classic directory: a 2-byte count, 12-byte entries and a 4-byte offset; a big one
    // 8, 20 and 8 bytes.
    std::memmove(bytes, bytes + 2, 2);
    const bool big = number(2) == 43;
    const uint64_t at = Tiff().CurrentDirOffset(tif_);
    if (!readAt(at, big ? 8 : 2)) return std::nullopt;
    const uint64_t count = number(big ? 8 : 2);
    if (count > uint64_t(1) << 32 ||
        !readAt(at + (big ? 8 : 2) + count * (big ? 20 : 12), big ? 8 : 4))
        return std::nullopt;
    return number(big ? 8 : 4);
}

bool TiffPages::Next() {
    if (Tiff().LastDirectory(tif_)) return false;
    // A chain that leads back to a page already read holds no page beyond those; reading on
    // would go round for ever, or libtiff would call the file damaged.
    directories_.insert(Tiff().CurrentDirOffset(tif_));
    const std::optional<uint64_t> next = NextDirectoryOffset();
    if (next && directories_.count(*next)) {
        Log("TiffChain", file_ + ": 第 " + std::to_string(page_) +
                             " 页之后的页面链指回已读过的页 (循环), 文件共 " +
                             std::to_string(page_) + " 页");
        return false;
    }
    g_tiffError.clear();
    if (!Tiff().ReadDirectory(tif_))
        Fail("TIFF 文件已损坏, 无法读取第 " + std::to_string(page_ + 1) + " 页");
    ++page_;
    return true;
}

TiffPage TiffPages::Read() {
    const std::string page = "第 " + std::to_string(page_) + " 页";
    uint32_t width = 0, height = 0;
    Tiff().GetField(tif_, TIFFTAG_IMAGEWIDTH, &width);
    Tiff().GetField(tif_, TIFFTAG_IMAGELENGTH, &height);
    if (width == 0 || height == 0) Fail("TIFF 页面的大小无效, 无法读取" + page);
    const uint64_t pixels = uint64_t(width) * height;
    const std::string tooLarge = "页面太大, 无法转换" + page + " (" + std::to_string(width) +
                                 " × " + std::to_string(height) + " 像素)";
    if (width > kMaxSide || height > kMaxSide) Fail(tooLarge);
    uint16_t photometric = 0xFFFF;
    Tiff().GetField(tif_, TIFFTAG_PHOTOMETRIC, &photometric);
    const uint16_t bits = Field16(tif_, TIFFTAG_BITSPERSAMPLE);
    const uint16_t samples = Field16(tif_, TIFFTAG_SAMPLESPERPIXEL);
    const uint16_t format = Field16(tif_, TIFFTAG_SAMPLEFORMAT);
    const uint16_t compression = Field16(tif_, TIFFTAG_COMPRESSION);
    const auto unsupported = [&](const std::string& detail) {
        Fail("不支持的 TIFF 格式, 无法读取" + page + " (" + detail + ")");
    };
    // A compression this libtiff was built without is no damage to the file.
    if (!Tiff().IsCODECConfigured(compression))
        unsupported("压缩方式 " + std::to_string(compression));
    const bool grey =
        photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
    const bool palette = photometric == PHOTOMETRIC_PALETTE;
    const bool cmyk = photometric == PHOTOMETRIC_SEPARATED && samples >= 4 &&
                      Field16(tif_, TIFFTAG_INKSET) == INKSET_CMYK;
    const uint16_t orientation = Field16(tif_, TIFFTAG_ORIENTATION);
    if (grey && bits == 1 && samples == 1) {
        if (pixels > kMaxBilevelPixels) Fail(tooLarge);
        return ReadBilevel(width, height, orientation);
    }
    g_tiffError.clear();
    char why[1024] = {};
    const bool rgbaOk = Tiff().RGBAImageOK(tif_, why) != 0;
    const bool ownFormat =
        format == SAMPLEFORMAT_IEEEFP
            ? (bits == 32 || bits == 64) && !palette
            : format == SAMPLEFORMAT_UINT && (bits == 1 || bits == 2 || bits == 4 || bits == 8 ||
                                              bits == 16 || (bits == 32 && !palette));
    const bool own =
        ownFormat &&
        (grey || palette || cmyk || (photometric == PHOTOMETRIC_RGB && samples >= 3)) &&
        samples >= 1 && samples <= 8;
    if (!rgbaOk && !own) {
        Log("ErrorLine", file_ + ": " + why);
        unsupported(std::to_string(samples) + " 个样本, 每个样本 " + std::to_string(bits) + " 位" +
                    (format == SAMPLEFORMAT_IEEEFP ? ", 浮点数" : ""));
    }
    if (pixels > kMaxColourPixels) Fail(tooLarge);
    // libtiff's RGBA reader keeps the alpha of grey pages at 8 bits only and hands it over
    // unweighted where it weights colour, drops the alpha of a palette page, and has no
    // routine for CMYK of other than 8 bits or a 16-bit palette: those are read here.
    uint16_t extraCount = 0;
    uint16_t* extra = nullptr;
    Tiff().GetFieldDefaulted(tif_, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    const bool withAlpha =
        (grey || palette) && samples > 1 && extraCount > 0 && extra &&
        (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA);
    const bool ownReading = withAlpha || (cmyk && bits != 8) || (palette && bits > 8);
    return rgbaOk && !(ownReading && own) ? ReadRgba(width, height, orientation)
                                          : ReadSamples(width, height, orientation);
}

TiffPage TiffPages::ReadBilevel(uint32_t width, uint32_t height, uint16_t orientation) {
    TiffPage p;
    p.width = width;
    p.height = height;
    p.bilevel = true;
    const size_t rowBytes = p.RowBytes();
    RowReader rows(tif_, rowBytes, 0);
    if (!rows.Good()) Fail("TIFF 文件已损坏, 无法读取第 " + std::to_string(page_) + " 页");
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    Tiff().GetField(tif_, TIFFTAG_PHOTOMETRIC, &photometric);
    const bool invert = photometric == PHOTOMETRIC_MINISWHITE;
    p.bits.resize(rowBytes * height);
    g_tiffError.clear();
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* line = rows.Row(y);
        if (!line || !g_tiffError.empty())
            Fail("TIFF 文件已损坏, 无法读取第 " + std::to_string(page_) + " 页");
        uint8_t* row = &p.bits[y * rowBytes];
        for (size_t i = 0; i < rowBytes; ++i) row[i] = invert ? uint8_t(~line[i]) : line[i];
    }
    const Turn turn = TurnOf(orientation, width, height);
    if (turn.None()) return p;
    TiffPage seen;
    seen.width = turn.width;
    seen.height = turn.height;
    seen.bilevel = true;
    seen.bits.assign(seen.RowBytes() * seen.height, 0);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            if (p.bits[y * rowBytes + x / 8] & (0x80 >> (x % 8))) {
                const auto [sx, sy] = turn.At(y, x);
                seen.bits[sy * seen.RowBytes() + sx / 8] |= uint8_t(0x80 >> (sx % 8));
            }
    return seen;
}

TiffPage TiffPages::ReadRgba(uint32_t width, uint32_t height, uint16_t orientation) {
    TiffPage p;
    p.width = width;
    p.height = height;
    p.rgba.resize(size_t(width) * height);
    g_tiffError.clear();
    // libtiff turns a page upright and mirrors it, but never transposes one: a transposed
    // page is read as stored (rows from the top) and turned here.
    const Turn turn = TurnOf(orientation, width, height);
    const int wanted = turn.transpose ? orientation : ORIENTATION_BOTLEFT;
    // A strip that is cut short, lies past the end of the file or does not decode would
    // leave its part of the page black: every read is checked and such a page refused.
    if (Tiff().ReadRGBAImageOriented(tif_, width, height, p.rgba.data(), wanted, 1) != 1 ||
        !g_tiffError.empty()) {
        if (CannotHandle(g_tiffError))
            Fail("不支持的 TIFF 格式, 无法读取第 " + std::to_string(page_) + " 页");
        Fail("TIFF 文件已损坏, 无法读取第 " + std::to_string(page_) + " 页");
    }
    // Colour comes weighted by its alpha (libtiff weights an unassociated one itself).
    for (uint32_t& px : p.rgba) px = OnWhite(px, true);
    if (!turn.transpose) return p;
    TiffPage seen;
    seen.width = turn.width;
    seen.height = turn.height;
    seen.rgba.resize(p.rgba.size());
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            seen.rgba[turn.FromBottom(y, x)] = p.rgba[size_t(y) * width + x];
    return seen;
}

// The formats libtiff's RGBA reader leaves out or reads wrongly (floating-point samples,
// grey or palette pages with alpha, CMYK of other than 8 bits), read sample by sample.
TiffPage TiffPages::ReadSamples(uint32_t width, uint32_t height, uint16_t orientation) {
    uint16_t photometric = 0, extraCount = 0;
    uint16_t* extra = nullptr;
    Tiff().GetField(tif_, TIFFTAG_PHOTOMETRIC, &photometric);
    Tiff().GetFieldDefaulted(tif_, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    const int bits = Field16(tif_, TIFFTAG_BITSPERSAMPLE);
    const int samples = Field16(tif_, TIFFTAG_SAMPLESPERPIXEL);
    const bool ieee = Field16(tif_, TIFFTAG_SAMPLEFORMAT) == SAMPLEFORMAT_IEEEFP;
    const bool separate = Field16(tif_, TIFFTAG_PLANARCONFIG) == PLANARCONFIG_SEPARATE;
    const bool cmyk = photometric == PHOTOMETRIC_SEPARATED;
    const bool palette = photometric == PHOTOMETRIC_PALETTE;
    const int colours = photometric == PHOTOMETRIC_RGB ? 3 : cmyk ? 4 : 1;
    const bool hasAlpha =
        samples > colours && extraCount > 0 && extra &&
        (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA);
    const bool premultiplied = hasAlpha && extra[0] == EXTRASAMPLE_ASSOCALPHA;
    const bool invert = photometric == PHOTOMETRIC_MINISWHITE;
    const int used = colours + (hasAlpha ? 1 : 0);
    const std::string damaged = "TIFF 文件已损坏, 无法读取第 " + std::to_string(page_) + " 页";

    // A palette page's colours as R | G << 8 | B << 16. Old writers put 8-bit values into the
    // 16-bit map; libtiff's own reader tells them apart the same way.
    std::vector<uint32_t> map;
    if (palette) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (!Tiff().GetField(tif_, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b) Fail(damaged);
        const size_t n = size_t(1) << bits;
        bool eightBit = true;
        for (size_t i = 0; i < n; ++i)
            eightBit = eightBit && r[i] < 256 && g[i] < 256 && b[i] < 256;
        const int shift = eightBit ? 0 : 8;
        map.resize(n);
        for (size_t i = 0; i < n; ++i)
            map[i] = Pack(r[i] >> shift, g[i] >> shift, b[i] >> shift) & 0xFFFFFFu;
    }

    const Turn turn = TurnOf(orientation, width, height);
    TiffPage p;
    p.width = turn.width;
    p.height = turn.height;
    p.rgba.assign(size_t(width) * height, 0xFF000000u);
    // The black of a CMYK page, until its colour is made.
    std::vector<uint8_t> black(cmyk ? p.rgba.size() : 0);
    const uint64_t needed = (uint64_t(width) * (separate ? 1 : samples) * bits + 7) / 8;
    // Each sample lands in its byte of the pixel (R, G, B or C, M, Y; alpha in the top byte);
    // separate planes are read one whole plane after another, as they lie in the file.
    const auto put = [&](size_t i, int s, double v) {
        uint32_t& px = p.rgba[i];
        if (s == colours) {
            px = (px & 0xFFFFFFu) | To8(v) << 24;
        } else if (palette) {
            px = (px & 0xFF000000u) | map[size_t(std::lround(v * double(map.size() - 1)))];
        } else if (colours == 1) {
            const uint32_t c = To8(invert ? 1 - v : v);
            px = (px & 0xFF000000u) | c | c << 8 | c << 16;
        } else if (s == 3) {
            black[i] = uint8_t(To8(v));
        } else {
            px = (px & ~(0xFFu << (8 * s))) | To8(v) << (8 * s);
        }
    };
    g_tiffError.clear();
    for (int plane = 0; plane < (separate ? used : 1); ++plane) {
        RowReader rows(tif_, needed, uint16_t(plane));
        if (!rows.Good()) Fail(damaged);
        for (uint32_t y = 0; y < height; ++y) {
            const uint8_t* line = rows.Row(y);
            if (!line || !g_tiffError.empty()) Fail(damaged);
            for (uint32_t x = 0; x < width; ++x) {
                const size_t i = turn.FromBottom(y, x);
                if (separate) {
                    put(i, plane, Sample(line, x, bits, ieee));
                    continue;
                }
                for (int s = 0; s < used; ++s)
                    put(i, s, Sample(line, size_t(x) * samples + size_t(s), bits, ieee));
            }
        }
    }
    for (size_t i = 0; i < p.rgba.size(); ++i) {
        uint32_t px = p.rgba[i];
        if (cmyk) {
            // As libtiff makes RGB of 8-bit CMYK: each colour's complement, darkened by K.
            const uint32_t k = 255u - black[i];
            const uint32_t rgb =
                Pack(k * (255 - (px & 0xFF)) / 255, k * (255 - (px >> 8 & 0xFF)) / 255,
                     k * (255 - (px >> 16 & 0xFF)) / 255);
            px = (px & 0xFF000000u) | (rgb & 0xFFFFFFu);
        }
        p.rgba[i] = OnWhite(px, premultiplied);
    }
    return p;
}

void SaveTiffPageAsBmp(const TiffPage& page, const std::string& file) {
    const int bpp = page.bilevel ? 1 : 24;
    const size_t stride = (size_t(page.width) * bpp + 31) / 32 * 4;
    const uint32_t colours = page.bilevel ? 2 : 0;
    const uint32_t offset = 14 + 40 + colours * 4;
    const uint64_t size = offset + uint64_t(stride) * page.height;
    std::string head;
    head += "BM";
    Put32(head, uint32_t(size));
    Put32(head, 0);
    Put32(head, offset);
    Put32(head, 40);
    Put32(head, page.width);
    Put32(head, page.height);  // rows from the bottom
    Put16(head, 1);
    Put16(head, uint32_t(bpp));
    Put32(head, 0);
    Put32(head, uint32_t(size - offset));
    Put32(head, 3780);  // 96 dots an inch, as a screen bitmap has
    Put32(head, 3780);
    Put32(head, colours);
    Put32(head, colours);
    if (page.bilevel) {
        Put32(head, 0x000000);
        Put32(head, 0xFFFFFF);
    }
    std::FILE* f = std::fopen(file.c_str(), "wb");
    if (!f) RaiseFileOpenError(file, errno);
    bool ok = std::fwrite(head.data(), 1, head.size(), f) == head.size();
    std::vector<uint8_t> row(stride, 0);
    for (uint32_t i = 0; ok && i < page.height; ++i) {
        if (page.bilevel) {
            const uint8_t* src = &page.bits[size_t(page.height - 1 - i) * page.RowBytes()];
            std::memcpy(row.data(), src, page.RowBytes());
        } else {
            const uint32_t* src = &page.rgba[size_t(i) * page.width];
            for (uint32_t x = 0; x < page.width; ++x) {
                row[x * 3] = uint8_t(src[x] >> 16);
                row[x * 3 + 1] = uint8_t(src[x] >> 8);
                row[x * 3 + 2] = uint8_t(src[x]);
            }
        }
        ok = std::fwrite(row.data(), 1, stride, f) == stride;
    }
    const int err = ok ? 0 : errno;
    if (std::fclose(f) != 0 && ok) ok = false;
    if (!ok) RaiseInOutError(err ? err : EIO, "无法写入文件 \"" + EscapeControls(file) + "\"");
}
