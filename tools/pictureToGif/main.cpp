// Makes a GIF picture of a PNG (or other) picture file with the program's own GIF writer:
//   pictureToGif <picture> <out.gif> [background colour as RRGGBB, default FFFFFF]
// Partly transparent pixels are blended onto the background colour, fully transparent ones
// (alpha below 128) become the GIF's transparent colour, so the picture looks the same when
// drawn transparently on that background. Used to make the pictures in resources/images.
#include <cstdio>
#include <set>

#include "controls/extended/xcGif.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: pictureToGif <picture> <out.gif> [RRGGBB]\n");
        return 2;
    }
    try {
        const unsigned bg = argc > 3 ? unsigned(std::stoul(argv[3], nullptr, 16)) : 0xFFFFFF;
        TBitmap bmp;
        bmp.LoadFromData(ReadFileText(argv[1]));
        std::set<uint32_t> used;
        for (int y = 0; y < bmp.Height(); ++y) {
            uint8_t* p = bmp.ScanLine(y);
            for (int x = 0; x < bmp.Width(); ++x, p += 4) {
                const unsigned a = p[3];
                for (int c = 0; c < 3; ++c)
                    p[c] = uint8_t((p[c] * a + ((bg >> (8 * c)) & 0xFF) * (255 - a) + 127) / 255);
                if (a >= 128)
                    used.insert(uint32_t(p[2]) | uint32_t(p[1]) << 8 | uint32_t(p[0]) << 16);
            }
        }
        // A key colour no opaque pixel has.
        uint32_t key = 0xFF00FF;
        while (used.count(key)) --key;
        bool any = false;
        for (int y = 0; y < bmp.Height(); ++y) {
            uint8_t* p = bmp.ScanLine(y);
            for (int x = 0; x < bmp.Width(); ++x, p += 4) {
                if (p[3] < 128) {
                    p[0] = uint8_t(key >> 16), p[1] = uint8_t(key >> 8), p[2] = uint8_t(key);
                    any = true;
                }
                p[3] = 0xFF;
            }
        }
        bmp.Transparent = any;
        bmp.TransparentColor = TColor(key);
        TXcGIFImage gif;
        gif.AddFrame(&bmp);
        gif.SaveToFile(argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pictureToGif: %s\n", e.what());
        return 1;
    }
    return 0;
}
