#include "engine/converters/tiffPages.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "engine/util.h"
#include "platform/automation/tiffLibrary.h"
#include "platform/rtl/scopeExit.h"
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
    TiffPageInMemory page;
    ReadInto(page);
    return page.Take();
}

void TiffPages::SaveAsBmp(const std::string& file) {
    TiffPageBmpFile bmp(file);
    ReadInto(bmp);
}

void TiffPages::ReadInto(TiffPageSink& sink) {
    const std::string page = "第 " + std::to_string(page_) + " 页";
    uint32_t width = 0, height = 0;
    Tiff().GetField(tif_, TIFFTAG_IMAGEWIDTH, &width);
    Tiff().GetField(tif_, TIFFTAG_IMAGELENGTH, &height);
    if (width == 0 || height == 0) Fail("TIFF 页面的大小无效, 无法读取" + page);
    const std::string size = std::to_string(width) + " × " + std::to_string(height) + " 像素";
    if (width > kMaxSide || height > kMaxSide)
        Fail("页面太大, 无法转换" + page + " (" + size + ")");
    const auto begin = [&](bool bilevel) {
        if (!sink.Begin(width, height, bilevel, Field16(tif_, TIFFTAG_ORIENTATION)))
            Fail("页面太大, 无法转换" + page + " (" + size + ", 位图文件超过 4 GB)");
    };
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
    try {
        if (grey && bits == 1 && samples == 1) {
            begin(true);
            ReadBilevel(sink, width, height);
            sink.End();
            return;
        }
        g_tiffError.clear();
        char why[1024] = {};
        const bool rgbaOk = Tiff().RGBAImageOK(tif_, why) != 0;
        const bool ownFormat = format == SAMPLEFORMAT_IEEEFP
                                   ? (bits == 32 || bits == 64) && !palette
                                   : format == SAMPLEFORMAT_UINT &&
                                         (bits == 1 || bits == 2 || bits == 4 || bits == 8 ||
                                          bits == 16 || (bits == 32 && !palette));
        const bool own =
            ownFormat &&
            (grey || palette || cmyk || (photometric == PHOTOMETRIC_RGB && samples >= 3)) &&
            samples >= 1 && samples <= 8;
        if (!rgbaOk && !own) {
            Log("ErrorLine", file_ + ": " + why);
            unsupported(std::to_string(samples) + " 个样本, 每个样本 " + std::to_string(bits) +
                        " 位" + (format == SAMPLEFORMAT_IEEEFP ? ", 浮点数" : ""));
        }
        // libtiff's RGBA reader keeps the alpha of grey pages at 8 bits only and hands it
        // over unweighted where it weights colour, drops the alpha of a palette page, and has
        // no routine for CMYK of other than 8 bits or a 16-bit palette: those are read here.
        uint16_t extraCount = 0;
        uint16_t* extra = nullptr;
        Tiff().GetFieldDefaulted(tif_, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
        const bool withAlpha =
            (grey || palette) && samples > 1 && extraCount > 0 && extra &&
            (extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA);
        const bool ownReading = withAlpha || (cmyk && bits != 8) || (palette && bits > 8);
        // The rows libtiff's RGBA reader decodes together: a strip or a row of tiles. It reads
        // a band of them at once; a page whose one strip is larger than a band is read row
        // by row where it can be.
        uint32_t unit = 0;
        if (Tiff().IsTiled(tif_))
            Tiff().GetField(tif_, TIFFTAG_TILELENGTH, &unit);
        else
            Tiff().GetFieldDefaulted(tif_, TIFFTAG_ROWSPERSTRIP, &unit);
        unit = std::clamp<uint32_t>(unit, 1, height);
        const bool rowByRow =
            !rgbaOk || (ownReading && own) || (own && uint64_t(unit) * width * 4 > TiffBandBytes());
        begin(false);
        if (rowByRow)
            ReadSamples(sink, width, height);
        else
            ReadRgba(sink, width, height, unit);
        sink.End();
    } catch (const std::bad_alloc&) {
        Fail("内存不足, 无法读取" + page + " (" + size + ")");
    }
}

void TiffPages::ReadBilevel(TiffPageSink& sink, uint32_t width, uint32_t height) {
    const std::string damaged = "TIFF 文件已损坏, 无法读取第 " + std::to_string(page_) + " 页";
    const size_t rowBytes = (size_t(width) + 7) / 8;
    RowReader rows(tif_, rowBytes, 0);
    if (!rows.Good()) Fail(damaged);
    uint16_t photometric = PHOTOMETRIC_MINISWHITE;
    Tiff().GetField(tif_, TIFFTAG_PHOTOMETRIC, &photometric);
    const bool invert = photometric == PHOTOMETRIC_MINISWHITE;
    // The bits past the last pixel are no part of the page.
    const uint8_t lastByte = uint8_t(0xFF00 >> ((width - 1) % 8 + 1));
    std::vector<uint8_t> row(rowBytes);
    g_tiffError.clear();
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* line = rows.Row(y);
        if (!line || !g_tiffError.empty()) Fail(damaged);
        for (size_t i = 0; i < rowBytes; ++i) row[i] = invert ? uint8_t(~line[i]) : line[i];
        row[rowBytes - 1] &= lastByte;
        sink.Row(y, row.data());
    }
}

// Whole strips or rows of tiles at a time, as stored: the page is turned by the sink.
void TiffPages::ReadRgba(TiffPageSink& sink, uint32_t width, uint32_t height, uint32_t unit) {
    const std::string page = "第 " + std::to_string(page_) + " 页";
    char why[1024] = {};
    TIFFRGBAImage image;
    std::memset(&image, 0, sizeof image);
    g_tiffError.clear();
    // A strip that is cut short, lies past the end of the file or does not decode would
    // leave its part of the page black: every read is checked and such a page refused.
    const auto refuse = [&] {
        if (CannotHandle(g_tiffError) || CannotHandle(why))
            Fail("不支持的 TIFF 格式, 无法读取" + page);
        Fail("TIFF 文件已损坏, 无法读取" + page);
    };
    if (!Tiff().RGBAImageBegin(&image, tif_, 1, why)) {
        if (g_tiffError.empty()) g_tiffError = why;
        refuse();
    }
    ScopeExit end([&] { Tiff().RGBAImageEnd(&image); });
    image.orientation = ORIENTATION_TOPLEFT;
    image.req_orientation = ORIENTATION_TOPLEFT;
    const uint64_t unitBytes = uint64_t(unit) * width * 4;
    const uint32_t bandRows = uint32_t(std::min<uint64_t>(
        height, uint64_t(unit) * std::max<uint64_t>(1, TiffBandBytes() / unitBytes)));
    std::vector<uint32_t> band(size_t(bandRows) * width);
    for (uint32_t top = 0; top < height; top += bandRows) {
        const uint32_t rows = std::min(bandRows, height - top);
        image.row_offset = int(top);
        image.col_offset = 0;
        if (Tiff().RGBAImageGet(&image, band.data(), width, rows) != 1 || !g_tiffError.empty())
            refuse();
        for (uint32_t r = 0; r < rows; ++r) {
            uint32_t* row = &band[size_t(r) * width];
            // Colour comes weighted by its alpha (libtiff weights an unassociated one itself).
            for (uint32_t x = 0; x < width; ++x) row[x] = OnWhite(row[x], true);
            sink.Row(top + r, row);
        }
    }
}

// The formats libtiff's RGBA reader leaves out or reads wrongly (floating-point samples,
// grey or palette pages with alpha, CMYK of other than 8 bits), and pages whose one strip
// is too large to decode at once, read sample by sample, row by row.
void TiffPages::ReadSamples(TiffPageSink& sink, uint32_t width, uint32_t height) {
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

    // Separate planes stored in strips are read side by side, each through a handle of its
    // own: one handle would decode a strip again from its start at every change of plane.
    const int planes = separate ? used : 1;
    const bool tiled = Tiff().IsTiled(tif_);
    const uint64_t directory = Tiff().CurrentDirOffset(tif_);
    const auto close = [](tiff* t) { Tiff().Close(t); };
    std::vector<std::unique_ptr<tiff, decltype(close)>> handles;
    std::vector<std::unique_ptr<RowReader>> readers;
    const uint64_t needed = (uint64_t(width) * (separate ? 1 : samples) * bits + 7) / 8;
    for (int plane = 0; plane < planes; ++plane) {
        tiff* t = tif_;
        if (plane > 0 && !tiled) {
            handles.emplace_back(Tiff().Open(file_.c_str(), "r"), close);
            t = handles.back().get();
            if (!t || !Tiff().SetSubDirectory(t, directory)) Fail(damaged);
        }
        readers.push_back(std::make_unique<RowReader>(t, needed, uint16_t(plane)));
        if (!readers.back()->Good()) Fail(damaged);
    }

    std::vector<uint32_t> row(width);
    // The black of a CMYK row, until its colour is made.
    std::vector<uint8_t> black(cmyk ? width : 0);
    // Each sample lands in its byte of the pixel (R, G, B or C, M, Y; alpha in the top byte).
    const auto put = [&](uint32_t x, int s, double v) {
        uint32_t& px = row[x];
        if (s == colours) {
            px = (px & 0xFFFFFFu) | To8(v) << 24;
        } else if (palette) {
            px = (px & 0xFF000000u) | map[size_t(std::lround(v * double(map.size() - 1)))];
        } else if (colours == 1) {
            const uint32_t c = To8(invert ? 1 - v : v);
            px = (px & 0xFF000000u) | c | c << 8 | c << 16;
        } else if (s == 3) {
            black[x] = uint8_t(To8(v));
        } else {
            px = (px & ~(0xFFu << (8 * s))) | To8(v) << (8 * s);
        }
    };
    g_tiffError.clear();
    for (uint32_t y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0xFF000000u);
        for (int plane = 0; plane < planes; ++plane) {
            const uint8_t* line = readers[size_t(plane)]->Row(y);
            if (!line || !g_tiffError.empty()) Fail(damaged);
            for (uint32_t x = 0; x < width; ++x) {
                if (separate) {
                    put(x, plane, Sample(line, x, bits, ieee));
                    continue;
                }
                for (int s = 0; s < used; ++s)
                    put(x, s, Sample(line, size_t(x) * samples + size_t(s), bits, ieee));
            }
        }
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t px = row[x];
            if (cmyk) {
                // As libtiff makes RGB of 8-bit CMYK: each colour's complement, darkened by K.
                const uint32_t k = 255u - black[x];
                const uint32_t rgb =
                    Pack(k * (255 - (px & 0xFF)) / 255, k * (255 - (px >> 8 & 0xFF)) / 255,
                         k * (255 - (px >> 16 & 0xFF)) / 255);
                px = (px & 0xFF000000u) | (rgb & 0xFFFFFFu);
            }
            row[x] = OnWhite(px, premultiplied);
        }
        sink.Row(y, row.data());
    }
}
