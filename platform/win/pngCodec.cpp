// PNG reading and writing for icon images and theme icons (zlib does the compression).
#include <zlib.h>

#include <cstdlib>

#include "platform/win/byteOrder.h"
#include "platform/win/iconFile.h"

namespace {

int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// Undoes the per-row filters in place; rows are stride bytes plus the filter byte.
bool Unfilter(std::string& raw, size_t stride, int rows, size_t bpp) {
    std::string prev(stride, '\0');
    for (int y = 0; y < rows; ++y) {
        auto* row = reinterpret_cast<uint8_t*>(&raw[size_t(y) * (stride + 1)]);
        int filter = row[0];
        uint8_t* cur = row + 1;
        const auto* up = reinterpret_cast<const uint8_t*>(prev.data());
        for (size_t i = 0; i < stride; ++i) {
            int a = i >= bpp ? cur[i - bpp] : 0, b = up[i], c = i >= bpp ? up[i - bpp] : 0;
            switch (filter) {
                case 0:
                    break;
                case 1:
                    cur[i] = uint8_t(cur[i] + a);
                    break;
                case 2:
                    cur[i] = uint8_t(cur[i] + b);
                    break;
                case 3:
                    cur[i] = uint8_t(cur[i] + (a + b) / 2);
                    break;
                case 4:
                    cur[i] = uint8_t(cur[i] + Paeth(a, b, c));
                    break;
                default:
                    return false;
            }
        }
        prev.assign(reinterpret_cast<const char*>(cur), stride);
    }
    return true;
}

}  // namespace

bool DecodePng(const std::string& data, int& width, int& height, std::vector<uint32_t>& pixels) {
    if (data.size() < 8 || data.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return false;
    std::string idat, plte, trns;
    int depth = 0, colorType = -1, interlace = 0;
    width = height = 0;
    for (size_t p = 8; p + 12 <= data.size();) {
        uint32_t len = GetBE32(data, p);
        if (len > data.size() - p - 12) return false;
        std::string type = data.substr(p + 4, 4), body = data.substr(p + 8, len);
        if (type == "IHDR" && len >= 13) {
            width = int(GetBE32(body, 0));
            height = int(GetBE32(body, 4));
            depth = uint8_t(body[8]);
            colorType = uint8_t(body[9]);
            interlace = uint8_t(body[12]);
        } else if (type == "PLTE") {
            plte = body;
        } else if (type == "tRNS") {
            trns = body;
        } else if (type == "IDAT") {
            idat += body;
        } else if (type == "IEND") {
            break;
        }
        p += 12 + len;
    }
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096 || interlace != 0) return false;
    int channels = colorType == 0   ? 1
                   : colorType == 2 ? 3
                   : colorType == 3 ? 1
                   : colorType == 4 ? 2
                   : colorType == 6 ? 4
                                    : 0;
    if (channels == 0) return false;
    bool lowDepth = (colorType == 0 || colorType == 3) && (depth == 1 || depth == 2 || depth == 4);
    if (depth != 8 && !lowDepth) return false;
    size_t stride = (size_t(width) * size_t(channels) * size_t(depth) + 7) / 8;
    size_t bpp = std::max<size_t>(1, size_t(channels) * size_t(depth) / 8);
    std::string raw((stride + 1) * size_t(height), '\0');
    uLongf rawLen = uLongf(raw.size());
    if (uncompress(reinterpret_cast<Bytef*>(&raw[0]), &rawLen,
                   reinterpret_cast<const Bytef*>(idat.data()), uLong(idat.size())) != Z_OK ||
        rawLen != raw.size())
        return false;
    if (!Unfilter(raw, stride, height, bpp)) return false;
    pixels.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        const auto* row =
            reinterpret_cast<const uint8_t*>(raw.data() + size_t(y) * (stride + 1) + 1);
        for (int x = 0; x < width; ++x) {
            uint32_t r = 0, g = 0, b = 0, a = 255;
            if (lowDepth || colorType == 3) {
                int perByte = 8 / depth;
                unsigned v = depth == 8
                                 ? row[x]
                                 : (row[x / perByte] >> ((perByte - 1 - x % perByte) * depth)) &
                                       ((1u << depth) - 1);
                if (colorType == 3) {
                    if (3 * v + 2 >= plte.size()) return false;
                    r = uint8_t(plte[3 * v]);
                    g = uint8_t(plte[3 * v + 1]);
                    b = uint8_t(plte[3 * v + 2]);
                    if (v < trns.size()) a = uint8_t(trns[v]);
                } else {
                    r = g = b = v * 255 / ((1u << depth) - 1);
                }
            } else {
                const uint8_t* px = row + size_t(x) * size_t(channels);
                if (channels <= 2) {
                    r = g = b = px[0];
                    if (channels == 2) a = px[1];
                } else {
                    r = px[0];
                    g = px[1];
                    b = px[2];
                    if (channels == 4) a = px[3];
                }
            }
            pixels[size_t(y) * size_t(width) + size_t(x)] = a << 24 | r << 16 | g << 8 | b;
        }
    }
    return true;
}

namespace {
void PutChunk(std::string& out, const char* type, const std::string& body) {
    PutBE32(out, uint32_t(body.size()));
    std::string tb = std::string(type, 4) + body;
    out += tb;
    PutBE32(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(tb.data()), uInt(tb.size()))));
}
}  // namespace

std::string EncodePng(int width, int height, const std::vector<uint32_t>& pixels) {
    std::string raw;
    raw.reserve(size_t(height) * (size_t(width) * 4 + 1));
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        for (int x = 0; x < width; ++x) {
            uint32_t c = pixels[size_t(y) * size_t(width) + size_t(x)];
            raw += char((c >> 16) & 0xFF);
            raw += char((c >> 8) & 0xFF);
            raw += char(c & 0xFF);
            raw += char(c >> 24);
        }
    }
    uLongf len = compressBound(uLong(raw.size()));
    std::string z(len, '\0');
    compress2(reinterpret_cast<Bytef*>(&z[0]), &len, reinterpret_cast<const Bytef*>(raw.data()),
              uLong(raw.size()), 9);
    z.resize(len);
    std::string ihdr;
    PutBE32(ihdr, uint32_t(width));
    PutBE32(ihdr, uint32_t(height));
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    std::string out = "\x89PNG\r\n\x1a\n";
    PutChunk(out, "IHDR", ihdr);
    PutChunk(out, "IDAT", z);
    PutChunk(out, "IEND", "");
    return out;
}
