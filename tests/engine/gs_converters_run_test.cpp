// The seven Ghostscript converters run for real through the console program: outputs,
// page counts and image sizes at the chosen resolution, damaged inputs, and file names
// that must reach Ghostscript exactly as they are.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "engine/converters/pdf2bmp.h"
#include "engine/converters/pdf2eps.h"
#include "engine/converters/pdf2jpg.h"
#include "engine/converters/pdf2pdf.h"
#include "engine/converters/pdf2ps.h"
#include "engine/converters/pdf2tiff.h"
#include "engine/converters/ps2pdf.h"
#include "fixture.h"

namespace vxtest {
namespace {

// Two pages of 144 x 72 points (2 x 1 inches), so a page is 2r x r pixels at r dpi.
const char kTwoPages[] =
    "%!PS\n"
    "<< /PageSize [144 72] >> setpagedevice\n"
    "/Helvetica findfont 12 scalefont setfont\n"
    "10 30 moveto (Page one) show showpage\n"
    "1 0 0 setrgbcolor 0 0 72 72 rectfill 0 setgray 80 30 moveto (Page two) show showpage\n";

int PdfPages(const std::string& path) {
    // Page objects: "/Type /Page" (or "/Type/Page") not followed by the "s" of "/Pages".
    const std::string text = ReadFile(path);
    int pages = 0;
    for (size_t at = text.find("/Type"); at != std::string::npos; at = text.find("/Type", at + 5)) {
        size_t i = at + 5;
        while (i < text.size() && (text[i] == ' ' || text[i] == '\n' || text[i] == '\r')) ++i;
        if (text.compare(i, 5, "/Page") == 0 && (i + 5 >= text.size() || text[i + 5] != 's'))
            ++pages;
    }
    return pages;
}

struct Size {
    int w = -1, h = -1;
    bool operator==(const Size& o) const { return w == o.w && h == o.h; }
};
std::ostream& operator<<(std::ostream& os, const Size& s) { return os << s.w << "x" << s.h; }

// Width and height from the frame header of a JPEG file.
Size JpegSize(const std::string& path) {
    const std::string d = ReadFile(path);
    auto u8 = [&](size_t i) { return unsigned(static_cast<unsigned char>(d[i])); };
    if (d.size() < 4 || u8(0) != 0xFF || u8(1) != 0xD8) return {};
    size_t i = 2;
    while (i + 9 < d.size()) {
        if (u8(i) != 0xFF) return {};
        const unsigned marker = u8(i + 1);
        const size_t len = (u8(i + 2) << 8) | u8(i + 3);
        if (marker >= 0xC0 && marker <= 0xC2)
            return {int((u8(i + 7) << 8) | u8(i + 8)), int((u8(i + 5) << 8) | u8(i + 6))};
        i += 2 + len;
    }
    return {};
}

uint32_t Le32(const std::string& d, size_t i) {
    return uint32_t(uint8_t(d[i])) | uint32_t(uint8_t(d[i + 1])) << 8 |
           uint32_t(uint8_t(d[i + 2])) << 16 | uint32_t(uint8_t(d[i + 3])) << 24;
}

struct BmpInfo {
    Size size;
    int bits = 0;
};
BmpInfo BmpHeader(const std::string& path) {
    const std::string d = ReadFile(path);
    if (d.size() < 30 || d.compare(0, 2, "BM") != 0) return {};
    return {{int(int32_t(Le32(d, 18))), std::abs(int(int32_t(Le32(d, 22))))},
            int(uint8_t(d[28]) | uint8_t(d[29]) << 8)};
}

// Pages of a TIFF file and the width and height of each.
std::vector<Size> TiffPages(const std::string& path) {
    const std::string d = ReadFile(path);
    std::vector<Size> pages;
    if (d.size() < 8) return pages;
    const bool le = d.compare(0, 2, "II") == 0;
    auto u16 = [&](size_t i) {
        return le ? unsigned(uint8_t(d[i])) | unsigned(uint8_t(d[i + 1])) << 8
                  : unsigned(uint8_t(d[i])) << 8 | unsigned(uint8_t(d[i + 1]));
    };
    auto u32 = [&](size_t i) {
        return le ? (u16(i) | u16(i + 2) << 16) : (u16(i) << 16 | u16(i + 2));
    };
    size_t ifd = u32(4);
    while (ifd != 0 && ifd + 2 <= d.size() && pages.size() < 100) {
        const unsigned n = u16(ifd);
        Size s;
        for (unsigned k = 0; k < n && ifd + 2 + 12 * (k + 1) <= d.size(); ++k) {
            const size_t e = ifd + 2 + 12 * k;
            const unsigned tag = u16(e), type = u16(e + 2);
            const int value = int(type == 3 ? u16(e + 8) : u32(e + 8));
            if (tag == 256) s.w = value;
            if (tag == 257) s.h = value;
        }
        pages.push_back(s);
        if (ifd + 2 + 12 * n + 4 > d.size()) break;
        ifd = u32(ifd + 2 + 12 * n);
    }
    return pages;
}

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ConverterRun : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        unsetenv("VEXOMAT_GS");
        State().FGsExe = VEXOMAT_BIN_DIR "/gs/gswin32c.exe";
        opt_ = &State().Options();
        work_ = AppPath() + "work dir 文件/";
        MkDir(work_);
    }
    OptionPanel& Opt() { return *opt_; }
    // Makes the two-page PDF from PostScript in `dir`, named `stem`.pdf.
    std::string MakePdf(const std::string& dir, const std::string& stem) {
        const std::string ps = dir + stem + ".ps";
        std::string pdf = dir + stem + ".pdf";
        WriteFile(ps, kTwoPages);
        EXPECT_TRUE(TPs2pdf().Convert(ps, pdf));
        EXPECT_TRUE(Errors().empty()) << (Errors().empty() ? "" : Errors()[0]);
        return pdf;
    }
    void ExpectClean() {
        EXPECT_TRUE(Errors().empty()) << (Errors().empty() ? "" : Errors()[0]);
        EXPECT_TRUE(Messages().empty());
    }
    OptionPanel* opt_ = nullptr;
    std::string work_;
};

TEST_F(ConverterRun, PostScriptToPdf) {
    const std::string pdf = MakePdf(work_, "brief");
    ASSERT_TRUE(Exists(pdf));
    EXPECT_EQ(PdfPages(pdf), 2);
    EXPECT_NE(ReadFile(pdf).find("/MediaBox [0 0 144 72]"), std::string::npos);
    EXPECT_FALSE(Exists(State().FLogDir + "temp.log"));
}

TEST_F(ConverterRun, PostScriptToPdfOnA4WithDownsampling) {
    Opt().Show({"GroupBox_optimized", "GroupBox_papersize"});
    Opt().Radio("RadioButton_optimizedEdit")->SetChecked(true);
    Opt().Edit("Edit_optimized")->SetText("72");
    Opt().Combo("ComboBox_papersize")->SetItemIndex(1);
    Opt().Edit("Edit_papersize_width")->SetText("595");
    Opt().Edit("Edit_papersize_height")->SetText("842");
    const std::string pdf = MakePdf(work_, "a4");
    EXPECT_EQ(PdfPages(pdf), 2);
    EXPECT_NE(ReadFile(pdf).find("/MediaBox [0 0 595 842]"), std::string::npos);
}

TEST_F(ConverterRun, PdfToJpegPages) {
    const std::string pdf = MakePdf(work_, "brief");
    Opt().Radio("RadioButton_resolution100")->SetChecked(true);
    EXPECT_TRUE(TPdf2jpg().Convert(pdf, work_ + "out.jpg"));
    ExpectClean();
    EXPECT_EQ(JpegSize(work_ + "out_p0001.jpg"), (Size{200, 100}));
    EXPECT_EQ(JpegSize(work_ + "out_p0002.jpg"), (Size{200, 100}));
    EXPECT_FALSE(Exists(work_ + "out_p0003.jpg"));
    EXPECT_FALSE(Exists(work_ + "out.jpg"));
}

TEST_F(ConverterRun, PdfToJpegWithTypedResolutionAndQuality) {
    const std::string pdf = MakePdf(work_, "brief");
    Opt().Radio("RadioButton_resolutionEdit")->SetChecked(true);
    Opt().Edit("Edit_resolution")->SetText("36");
    Opt().Radio("RadioButton_qualityEdit")->SetChecked(true);
    Opt().Edit("Edit_quality")->SetText("10");
    EXPECT_TRUE(TPdf2jpg().Convert(pdf, work_ + "small.jpg"));
    ExpectClean();
    EXPECT_EQ(JpegSize(work_ + "small_p0002.jpg"), (Size{72, 36}));
}

TEST_F(ConverterRun, PdfToBmpColourDepthsAndPages) {
    const std::string pdf = MakePdf(work_, "brief");
    Opt().Radio("RadioButton_resolution72")->SetChecked(true);
    const std::pair<const char*, int> depths[] = {{"RadioButton_colordepth24", 24},
                                                  {"RadioButton_colordepth8", 8},
                                                  {"RadioButton_colordepth4", 4},
                                                  {"RadioButton_colordepth1", 1},
                                                  {"RadioButton_colordepth8g", 8}};
    int n = 0;
    for (const auto& [radio, bits] : depths) {
        Opt().Radio(radio)->SetChecked(true);
        const std::string stem = work_ + "d" + std::to_string(n++);
        EXPECT_TRUE(TPdf2bmp().Convert(pdf, stem + ".bmp", 0, 0)) << radio;
        const BmpInfo b = BmpHeader(stem + "_p0001.bmp");
        EXPECT_EQ(b.size, (Size{144, 72})) << radio;
        EXPECT_EQ(b.bits, bits) << radio;
        EXPECT_TRUE(Exists(stem + "_p0002.bmp")) << radio;
    }
    ExpectClean();

    // Only the second page: one file.
    Opt().Radio("RadioButton_resolution150")->SetChecked(true);
    Opt().Radio("RadioButton_colordepth24")->SetChecked(true);
    EXPECT_TRUE(TPdf2bmp().Convert(pdf, work_ + "second.bmp", 2, 2));
    EXPECT_EQ(BmpHeader(work_ + "second_p0001.bmp").size, (Size{300, 150}));
    EXPECT_FALSE(Exists(work_ + "second_p0002.bmp"));
    ExpectClean();
}

TEST_F(ConverterRun, PdfToTiffSingleAndMultiPage) {
    const std::string pdf = MakePdf(work_, "brief");
    Opt().Radio("RadioButton_resolution150")->SetChecked(true);
    EXPECT_TRUE(TPdf2tiff().Convert(pdf, work_ + "single.tiff"));
    ASSERT_EQ(TiffPages(work_ + "single_p0001.tiff").size(), 1u);
    EXPECT_EQ(TiffPages(work_ + "single_p0001.tiff")[0], (Size{300, 150}));
    EXPECT_EQ(TiffPages(work_ + "single_p0002.tiff").size(), 1u);
    EXPECT_FALSE(Exists(work_ + "single.tiff"));

    Opt().Radio("RadioButton_layerM")->SetChecked(true);
    EXPECT_TRUE(TPdf2tiff().Convert(pdf, work_ + "multi.tif"));
    const auto pages = TiffPages(work_ + "multi.tif");
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1], (Size{300, 150}));
    ExpectClean();
}

TEST_F(ConverterRun, PdfToEpsPages) {
    const std::string pdf = MakePdf(work_, "brief");
    EXPECT_TRUE(TPdf2eps().Convert(pdf, work_ + "fig.eps"));
    ExpectClean();
    for (const char* name : {"fig_p0001.eps", "fig_p0002.eps"}) {
        const std::string eps = ReadFile(work_ + name);
        EXPECT_EQ(eps.rfind("%!PS-Adobe-3.0 EPSF", 0), 0u) << name;
        EXPECT_NE(eps.find("%%BoundingBox:"), std::string::npos) << name;
    }
    EXPECT_FALSE(Exists(work_ + "fig_p0003.eps"));
}

TEST_F(ConverterRun, PdfToPostScript) {
    const std::string pdf = MakePdf(work_, "brief");
    EXPECT_TRUE(TPdf2ps().Convert(pdf, work_ + "brief.ps2"));
    ExpectClean();
    const std::string ps = ReadFile(work_ + "brief.ps2");
    EXPECT_EQ(ps.rfind("%!PS", 0), 0u);
    EXPECT_NE(ps.find("%%Pages: 2"), std::string::npos);
}

TEST_F(ConverterRun, PdfToReducedPdf) {
    const std::string pdf = MakePdf(work_, "brief");
    Opt().Show({"GroupBox_reduction"});
    Opt().UpDown("XcUpDown_reduction_quality")->Position = 50;
    EXPECT_TRUE(TPdf2pdf().Convert(pdf, work_ + "brief_REDUCED.pdf"));
    ExpectClean();
    EXPECT_EQ(PdfPages(work_ + "brief_REDUCED.pdf"), 2);
}

TEST_F(ConverterRun, RepairedPdfCountsAsSuccess) {
    const std::string pdf = MakePdf(work_, "brief");
    const std::string text = ReadFile(pdf);
    const auto at = text.rfind("startxref");
    ASSERT_NE(at, std::string::npos);
    WriteFile(work_ + "broken.pdf", text.substr(0, at) + "startxref\n999999\n%%EOF\n");
    Opt().Radio("RadioButton_resolution72")->SetChecked(true);
    EXPECT_TRUE(TPdf2jpg().Convert(work_ + "broken.pdf", work_ + "fixed.jpg"));
    ExpectClean();
    EXPECT_EQ(JpegSize(work_ + "fixed_p0002.jpg"), (Size{144, 72}));
}

TEST_F(ConverterRun, NonPdfInputIsListedAndLeavesNoResult) {
    WriteFile(work_ + "not a pdf.pdf", "plain text, not a PDF\n");
    EXPECT_TRUE(TPdf2pdf().Convert(work_ + "not a pdf.pdf", work_ + "x_REDUCED.pdf"));
    ASSERT_EQ(Errors().size(), 1u);
    // The message, and beneath it the first line of Ghostscript's error output.
    EXPECT_EQ(Errors()[0].rfind("在进行 gs 转换时出错。\n", 0), 0u) << Errors()[0];
    EXPECT_TRUE(Messages().empty());
}

// File names with quotes, backslashes, "$", "'", "%", blanks and non-ASCII characters go
// to Ghostscript as data: every result lands under exactly the expected name.
TEST_F(ConverterRun, AwkwardNamesEndToEnd) {
    const std::string dir = work_ + "d \"q\" \\b\\ $HOME `id` 'x' 50% 中/";
    MkDir(dir);
    const std::string stem = "a \"b\" \\c\\ $d 'e' %d 中";
    const std::string pdf = MakePdf(dir, stem);
    ASSERT_TRUE(Exists(pdf));
    EXPECT_EQ(PdfPages(pdf), 2);

    Opt().Radio("RadioButton_resolution72")->SetChecked(true);
    EXPECT_TRUE(TPdf2jpg().Convert(pdf, dir + "p %s 100%.jpg"));
    EXPECT_TRUE(TPdf2pdf().Convert(pdf, dir + stem + "_REDUCED.pdf"));
    EXPECT_TRUE(TPdf2ps().Convert(pdf, dir + "back\\.ps"));
    ExpectClean();
    EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{
                                "a \"b\" \\c\\ $d 'e' %d 中.pdf", "a \"b\" \\c\\ $d 'e' %d 中.ps",
                                "a \"b\" \\c\\ $d 'e' %d 中_REDUCED.pdf", "back\\.ps",
                                "p %s 100%_p0001.jpg", "p %s 100%_p0002.jpg"}));
    EXPECT_EQ(JpegSize(dir + "p %s 100%_p0002.jpg"), (Size{144, 72}));
    // Nothing was written beside the folder either.
    EXPECT_EQ(FilesIn(work_).size(), 1u);
}

}  // namespace
}  // namespace vxtest
