// Icon and cursor files (".ico", ".cur"): the directory of images as stored, and the
// conversion of one stored image to and from plain pixels with an AND mask.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One picture of an icon or cursor as pixels. `pixels` are 0xAARRGGBB, row by row from the
// top; `mask` holds one byte per pixel, 1 where the AND mask lets the background through.
struct IconImage {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> mask;
    int bitCount = 32;       // the depth it was stored in (or is to be stored in)
    int hotX = 0, hotY = 0;  // the hot spot of a cursor
    bool hasAlpha = false;   // 32-bit pixels whose alpha channel carries the shape
    bool Empty() const { return width <= 0 || height <= 0; }
    void Resize(int w, int h);  // all pixels black and transparent
};

// A directory entry with its image bytes (a BITMAPINFOHEADER image or a PNG stream).
struct IconFileEntry {
    uint8_t width = 0, height = 0, colorCount = 0, reserved = 0;
    uint16_t planes = 0, bitCount = 0;  // hot spot x and y for cursors
    std::string data;
    bool IsPng() const { return data.size() >= 8 && data.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0; }
};

struct IconFile {
    uint16_t type = 1;  // 1 icon, 2 cursor
    std::vector<IconFileEntry> entries;
};

constexpr uint16_t kIconFileIcon = 1, kIconFileCursor = 2;

// Reads a whole file's bytes. False (with a reason) for anything that is not a well-formed
// icon or cursor directory whose images lie inside the data.
bool ReadIconFile(const std::string& bytes, IconFile& out, std::string* error = nullptr);
// The file with its images stored one after another behind the directory, in entry order.
std::string WriteIconFile(const IconFile& file);

// Decodes one entry (1, 4, 8, 16, 24 or 32 bits with palette and AND mask, or PNG).
bool DecodeIconEntry(const IconFileEntry& entry, IconImage& out);
// Stores pixels at a depth of 1, 4, 8, 24 or 32 bits. Palettes list the colours in the
// order they first appear (row by row from the top); a depth too small for the picture's
// colours gives false. For a cursor the entry carries the hot spot.
bool EncodeIconEntry(const IconImage& image, int bitCount, bool cursor, IconFileEntry& out);

// A PNG stream (8-bit grey, RGB, palette or with alpha, and 1/2/4-bit palette or grey)
// decoded into 0xAARRGGBB pixels; false for anything else.
bool DecodePng(const std::string& data, int& width, int& height, std::vector<uint32_t>& pixels);
// A 32-bit RGBA PNG of the pixels.
std::string EncodePng(int width, int height, const std::vector<uint32_t>& pixels);
