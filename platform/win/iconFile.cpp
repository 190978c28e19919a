#include "platform/win/iconFile.h"

#include <algorithm>
#include <map>

#include "platform/win/byteOrder.h"
#include "platform/win/dibHeader.h"

void IconImage::Resize(int w, int h) {
    width = std::max(0, w);
    height = std::max(0, h);
    pixels.assign(size_t(width) * size_t(height), 0);
    mask.assign(size_t(width) * size_t(height), 1);
}

namespace {

bool Fail(std::string* error, const char* why) {
    if (error) *error = why;
    return false;
}

constexpr size_t kHeaderSize = 6, kEntrySize = 16, kInfoSize = 40;

int Stride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

}  // namespace

bool ReadIconFile(const std::string& bytes, IconFile& out, std::string* error) {
    out = IconFile{};
    if (bytes.size() < kHeaderSize) return Fail(error, "too short for an icon header");
    if (Get16(bytes, 0) != 0) return Fail(error, "reserved field not 0");
    uint16_t type = Get16(bytes, 2);
    if (type != kIconFileIcon && type != kIconFileCursor)
        return Fail(error, "neither an icon nor a cursor");
    uint16_t count = Get16(bytes, 4);
    if (count == 0) return Fail(error, "no images");
    if (bytes.size() < kHeaderSize + kEntrySize * count) return Fail(error, "directory cut short");
    out.type = type;
    for (size_t i = 0; i < count; ++i) {
        size_t p = kHeaderSize + kEntrySize * i;
        IconFileEntry e;
        e.width = uint8_t(bytes[p]);
        e.height = uint8_t(bytes[p + 1]);
        e.colorCount = uint8_t(bytes[p + 2]);
        e.reserved = uint8_t(bytes[p + 3]);
        e.planes = Get16(bytes, p + 4);
        e.bitCount = Get16(bytes, p + 6);
        uint32_t size = Get32(bytes, p + 8), offset = Get32(bytes, p + 12);
        if (size == 0 || offset > bytes.size() || size > bytes.size() - offset)
            return Fail(error, "image lies outside the file");
        e.data = bytes.substr(offset, size);
        out.entries.push_back(std::move(e));
    }
    return true;
}

std::string WriteIconFile(const IconFile& file) {
    std::string out;
    Put16(out, 0);
    Put16(out, file.type);
    Put16(out, uint16_t(file.entries.size()));
    uint32_t offset = uint32_t(kHeaderSize + kEntrySize * file.entries.size());
    for (const IconFileEntry& e : file.entries) {
        out += char(e.width);
        out += char(e.height);
        out += char(e.colorCount);
        out += char(e.reserved);
        Put16(out, e.planes);
        Put16(out, e.bitCount);
        Put32(out, uint32_t(e.data.size()));
        Put32(out, offset);
        offset += uint32_t(e.data.size());
    }
    for (const IconFileEntry& e : file.entries) out += e.data;
    return out;
}

bool DecodeIconEntry(const IconFileEntry& entry, IconImage& out) {
    out = IconImage{};
    const std::string& d = entry.data;
    if (entry.IsPng()) {
        int w = 0, h = 0;
        std::vector<uint32_t> px;
        if (!DecodePng(d, w, h, px)) return false;
        out.Resize(w, h);
        out.pixels = std::move(px);
        for (size_t i = 0; i < out.pixels.size(); ++i) out.mask[i] = (out.pixels[i] >> 24) == 0;
        out.bitCount = 32;
        out.hasAlpha = true;
        return true;
    }
    DibHeader header;
    const auto* bytes = reinterpret_cast<const uint8_t*>(d.data());
    if (ReadDibHeader(bytes, d.size(), header, kIconImageHeader)) return false;
    const int w = header.width, h = header.height / 2, bits = header.bitCount;
    if (h <= 0) return false;
    size_t p = header.end;
    std::vector<uint32_t> palette;
    for (uint32_t c : header.colors) palette.push_back(0xFF000000u | c);
    size_t xorStride = header.Stride(), andStride = size_t(Stride(w, 1));
    if (!header.RowsFit(size_t(h), d.size() - p)) return false;
    out.Resize(w, h);
    out.bitCount = bits;
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const auto* row =
            reinterpret_cast<const uint8_t*>(d.data() + p + xorStride * size_t(h - 1 - y));
        for (int x = 0; x < w; ++x) {
            uint32_t c = 0;
            switch (bits) {
                case 1:
                    c = (row[x >> 3] >> (7 - (x & 7))) & 1;
                    break;
                case 4:
                    c = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
                    break;
                case 8:
                    c = row[x];
                    break;
                case 16: {
                    uint32_t v = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
                    c = 0xFF000000u | DibChannel(v, header.masks[0]) << 16 |
                        DibChannel(v, header.masks[1]) << 8 | DibChannel(v, header.masks[2]);
                    break;
                }
                case 24:
                    c = 0xFF000000u | uint32_t(row[3 * x + 2]) << 16 |
                        uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
                    break;
                case 32:
                    c = uint32_t(row[4 * x + 3]) << 24 | uint32_t(row[4 * x + 2]) << 16 |
                        uint32_t(row[4 * x + 1]) << 8 | row[4 * x];
                    anyAlpha = anyAlpha || (c >> 24) != 0;
                    break;
            }
            if (bits <= 8) c = c < palette.size() ? palette[c] : 0xFF000000u;
            out.pixels[size_t(y) * size_t(w) + size_t(x)] = c;
        }
    }
    p += xorStride * size_t(h);
    bool haveMask = p + andStride * size_t(h) <= d.size();
    for (int y = 0; y < h; ++y) {
        const auto* row =
            haveMask
                ? reinterpret_cast<const uint8_t*>(d.data() + p + andStride * size_t(h - 1 - y))
                : nullptr;
        for (int x = 0; x < w; ++x) {
            size_t i = size_t(y) * size_t(w) + size_t(x);
            uint8_t m = row ? (row[x >> 3] >> (7 - (x & 7))) & 1
                            : (bits == 32 && anyAlpha ? (out.pixels[i] >> 24) == 0 : 0);
            out.mask[i] = m;
        }
    }
    out.hasAlpha = bits == 32 && anyAlpha;
    if (!out.hasAlpha)
        for (size_t i = 0; i < out.pixels.size(); ++i)
            out.pixels[i] = (out.pixels[i] & 0xFFFFFF) | (out.mask[i] ? 0u : 0xFF000000u);
    if (!haveMask && bits != 32) return false;
    return true;
}

bool EncodeIconEntry(const IconImage& image, int bits, bool cursor, IconFileEntry& out) {
    if (image.Empty() || image.width > 256 || image.height > 256) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;
    const int w = image.width, h = image.height;
    const size_t n = size_t(w) * size_t(h);
    if (image.pixels.size() != n || image.mask.size() != n) return false;
    std::vector<uint32_t> palette;
    std::map<uint32_t, uint32_t> index;
    if (bits <= 8) {
        for (uint32_t c : image.pixels) {
            uint32_t rgb = c & 0xFFFFFF;
            if (index.count(rgb)) continue;
            if (palette.size() == (1u << bits)) return false;
            index[rgb] = uint32_t(palette.size());
            palette.push_back(rgb);
        }
        palette.resize(1u << bits, 0);
    }
    const size_t xorStride = size_t(Stride(w, bits)), andStride = size_t(Stride(w, 1));
    std::string d;
    Put32(d, uint32_t(kInfoSize));
    Put32(d, uint32_t(w));
    Put32(d, uint32_t(2 * h));
    Put16(d, 1);
    Put16(d, uint16_t(bits));
    Put32(d, 0);
    Put32(d, uint32_t((xorStride + andStride) * size_t(h)));
    for (int i = 0; i < 4; ++i) Put32(d, 0);
    for (uint32_t c : palette) Put32(d, c);
    for (int y = h - 1; y >= 0; --y) {
        std::string row(xorStride, '\0');
        for (int x = 0; x < w; ++x) {
            uint32_t c = image.pixels[size_t(y) * size_t(w) + size_t(x)];
            switch (bits) {
                case 1:
                    row[size_t(x >> 3)] =
                        char(uint8_t(row[size_t(x >> 3)]) | (index[c & 0xFFFFFF] << (7 - (x & 7))));
                    break;
                case 4:
                    row[size_t(x >> 1)] = char(uint8_t(row[size_t(x >> 1)]) |
                                               (index[c & 0xFFFFFF] << ((x & 1) ? 0 : 4)));
                    break;
                case 8:
                    row[size_t(x)] = char(index[c & 0xFFFFFF]);
                    break;
                case 24:
                case 32: {
                    size_t q = size_t(x) * size_t(bits / 8);
                    row[q] = char(c & 0xFF);
                    row[q + 1] = char((c >> 8) & 0xFF);
                    row[q + 2] = char((c >> 16) & 0xFF);
                    if (bits == 32) row[q + 3] = char(image.hasAlpha ? (c >> 24) : 0);
                    break;
                }
            }
        }
        d += row;
    }
    for (int y = h - 1; y >= 0; --y) {
        std::string row(andStride, '\0');
        for (int x = 0; x < w; ++x)
            if (image.mask[size_t(y) * size_t(w) + size_t(x)])
                row[size_t(x >> 3)] = char(uint8_t(row[size_t(x >> 3)]) | (0x80 >> (x & 7)));
        d += row;
    }
    out = IconFileEntry{};
    out.width = uint8_t(w >= 256 ? 0 : w);
    out.height = uint8_t(h >= 256 ? 0 : h);
    out.colorCount = uint8_t(bits < 8 ? (1 << bits) : 0);
    out.planes = uint16_t(cursor ? image.hotX : 1);
    out.bitCount = uint16_t(cursor ? image.hotY : bits);
    out.data = std::move(d);
    return true;
}
