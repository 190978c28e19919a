// A document of bitmaps written as PDF without the office, as Ghostscript draws it: every
// pixel in its place (rows from the bottom of the file at the bottom of the picture), runs
// longer than one code can say, both colours of a 1-bit bitmap; and the page sizes of a
// print job read a piece at a time.
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <functional>

#include "platform/automation/olevariant.h"
#include "platform/automation/picturePdf.h"
#include "platform/automation/psPrinter.h"
#include "tests/engine/fixture.h"

namespace {

void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += char(v >> (8 * i) & 0xFF);
}

// A BMP file of 24 bits (pixel gives R | G << 8 | B << 16) or of 1 bit (pixel gives 0 or
// 1, the colours black and white), rows from the bottom.
std::string Bmp(uint32_t width, uint32_t height, int bits,
                const std::function<uint32_t(uint32_t x, uint32_t y)>& pixel) {
    const uint32_t stride = (width * uint32_t(bits) + 31) / 32 * 4;
    const uint32_t offset = 54 + (bits == 1 ? 8 : 0);
    std::string s = "BM";
    Put32(s, offset + stride * height);
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, width);
    Put32(s, height);
    s += char(1), s += char(0), s += char(bits), s += char(0);
    for (int i = 0; i < 6; ++i) Put32(s, i == 2 || i == 3 ? 3780 : 0);
    if (bits == 1) Put32(s, 0), Put32(s, 0xFFFFFF);
    for (uint32_t row = 0; row < height; ++row) {
        std::string line(stride, '\0');
        const uint32_t y = height - 1 - row;
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t v = pixel(x, y);
            if (bits == 1) {
                if (v) line[x / 8] = char(uint8_t(line[x / 8]) | 0x80 >> (x % 8));
            } else {
                line[x * 3] = char(v >> 16), line[x * 3 + 1] = char(v >> 8),
                         line[x * 3 + 2] = char(v);
            }
        }
        s += line;
    }
    return s;
}

// The first page drawn by Ghostscript at 72 dots an inch: pixels R | G << 8 | B << 16 from the top.
std::vector<uint32_t> Render(const std::string& pdf, const std::string& dir, int& width) {
    const std::string ppm = dir + "page.ppm";
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string out = "-sOutputFile=" + ppm;
        execlp("gs", "gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=ppmraw", "-r72",
               "-dLastPage=1", out.c_str(), pdf.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const std::string d = vxtest::ReadFile(ppm);
    // "P6", width, height, maximum, with comment lines between.
    std::vector<long> values;
    size_t at = 2;
    while (values.size() < 3 && at < d.size()) {
        if (d[at] == '#') {
            at = d.find('\n', at);
        } else if (std::isdigit(static_cast<unsigned char>(d[at]))) {
            char* end = nullptr;
            values.push_back(std::strtol(d.c_str() + at, &end, 10));
            at = size_t(end - d.c_str());
            continue;
        }
        ++at;
    }
    if (d.compare(0, 2, "P6") != 0 || values.size() < 3) return {};
    const int w = int(values[0]), h = int(values[1]);
    ++at;  // the one blank after the maximum
    if (d.size() < at + size_t(w) * size_t(h) * 3) return {};
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (size_t i = 0; i < px.size(); ++i) {
        const auto c = [&](size_t k) { return uint32_t(uint8_t(d[at + i * 3 + k])); };
        px[i] = c(0) | c(1) << 8 | c(2) << 16;
    }
    width = w;
    return px;
}

class PicturePdf : public ::testing::Test {
protected:
    void TearDown() override { vxtest::RemoveTree(dir); }
    const std::string dir = vxtest::MakeTempFolder("vx picture pdf ");
};

}  // namespace

TEST_F(PicturePdf, EveryPixelOfABitmapIsDrawnInItsPlace) {
    struct Row {
        const char* what;
        uint32_t width, height;
        int bits;
        std::function<uint32_t(uint32_t, uint32_t)> pixel;
    } rows[] = {
        // Each pixel says where it is: red its column, green its row.
        {"24 bits", 7, 5, 24,
         [](uint32_t x, uint32_t y) { return x * 30 | (y * 50) << 8 | 0x800000; }},
        // 600 equal bytes, then 300 of which no three in a row are equal: longer than one code
        // of either kind.
        {"long runs", 300, 2, 24,
         [](uint32_t x, uint32_t y) {
             return x < 200 ? 0x505050u
                            : x % 256 | (x * 7 + y) % 256 << 8 | (x * 13 + 5) % 256 << 16;
         }},
        {"1 bit", 13, 4, 1, [](uint32_t x, uint32_t y) { return (x * 3 + y) % 5 < 2 ? 1u : 0u; }},
    };
    for (const Row& row : rows) {
        vxtest::WriteFile(dir + "p.bmp", Bmp(row.width, row.height, row.bits, row.pixel));
        ASSERT_TRUE(office::PdfTakesPicture(dir + "p.bmp")) << row.what;
        // Two points a pixel, 10 points from the left and 20 from the top of the page.
        const double w = row.width * 2.0, h = row.height * 2.0;
        office::WritePicturePdf(dir + "p.pdf", w + 20, h + 30,
                                {{{dir + "p.bmp", 10, 20, w, h}}, {}});
        EXPECT_EQ(office::PdfPageSizes(dir + "p.pdf").size(), 2u) << row.what;
        int width = 0;
        const std::vector<uint32_t> page = Render(dir + "p.pdf", dir, width);
        ASSERT_EQ(page.size(), size_t(w + 20) * size_t(h + 30)) << row.what;
        int wrong = 0;
        for (uint32_t y = 0; y < row.height; ++y)
            for (uint32_t x = 0; x < row.width; ++x) {
                uint32_t expected = row.pixel(x, y);
                if (row.bits == 1) expected = expected ? 0xFFFFFF : 0;
                const uint32_t seen = page[size_t(20 + y * 2 + 1) * size_t(width) + 10 + x * 2 + 1];
                if (seen != expected && wrong++ < 3)
                    ADD_FAILURE() << row.what << " at " << x << ", " << y << ": " << std::hex
                                  << seen << " instead of " << expected;
            }
        EXPECT_EQ(wrong, 0) << row.what;
        // Outside the picture the paper stays white.
        EXPECT_EQ(page[size_t(10) * size_t(width) + 5], 0xFFFFFFu) << row.what;
    }
}

TEST_F(PicturePdf, WhatIsNoBitmapOfItsKindIsLeftToTheOffice) {
    std::string eight = Bmp(4, 4, 24, [](uint32_t, uint32_t) { return 0u; });
    eight[28] = 8;
    std::string topDown = Bmp(4, 4, 24, [](uint32_t, uint32_t) { return 0u; });
    topDown.replace(22, 4, std::string("\xFC\xFF\xFF\xFF", 4));
    const std::pair<const char*, std::string> rows[] = {
        {"8 bits", eight}, {"rows from the top", topDown}, {"no bitmap", "GIF89a"}};
    for (const auto& [what, content] : rows) {
        vxtest::WriteFile(dir + "p.bmp", content);
        EXPECT_FALSE(office::PdfTakesPicture(dir + "p.bmp")) << what;
    }
    EXPECT_FALSE(office::PdfTakesPicture(dir + "missing.bmp"));
    // A bitmap cut short is refused naming it, not drawn in part.
    const std::string whole = Bmp(40, 40, 24, [](uint32_t, uint32_t) { return 0u; });
    vxtest::WriteFile(dir + "cut.bmp", whole.substr(0, whole.size() / 2));
    try {
        office::WritePicturePdf(dir + "p.pdf", 100, 100, {{{dir + "cut.bmp", 0, 0, 40, 40}}});
        ADD_FAILURE() << "a bitmap cut short was written";
    } catch (const EOleError& e) {
        EXPECT_NE(std::string(e.what()).find("cut.bmp"), std::string::npos) << e.what();
    }
}

TEST_F(PicturePdf, PageSizesAcrossThePiecesOfALargeFileAreEachCountedOnce) {
    // Boxes lying across the first piece's end (1 MiB), just before it, and far beyond it.
    const size_t piece = size_t(1) << 20;
    for (const size_t at : {piece - 20, piece - 4, piece - 300, piece + 5}) {
        std::string pdf = "%PDF-1.4\n<</MediaBox [0 0 100 200]>>\n";
        pdf += std::string(at - pdf.size(), ' ');
        pdf += "<</MediaBox [0 0 300 400]>>\n";
        pdf += std::string(3 * piece, 'x');
        pdf += "<</MediaBox [0 0 500 600]>>\n";
        vxtest::WriteFile(dir + "big.pdf", pdf);
        const auto sizes = office::PdfPageSizes(dir + "big.pdf");
        ASSERT_EQ(sizes.size(), 3u) << at;
        EXPECT_EQ(sizes[0], std::make_pair(100.0, 200.0)) << at;
        EXPECT_EQ(sizes[1], std::make_pair(300.0, 400.0)) << at;
        EXPECT_EQ(sizes[2], std::make_pair(500.0, 600.0)) << at;
    }
}
