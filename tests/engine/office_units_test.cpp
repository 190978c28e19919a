// Office pieces that need no office: variants and calls by name, the bridge's JSON, the
// page range syntax, BMP headers, PDF page sizes, the print-file question answered by the
// helper program, TIFF pages read with libtiff, and the registry entries of the servers.
#include <sys/wait.h>
#include <tiffio.h>
#include <unistd.h>

#include "engine/checker.h"
#include "engine/converters/tiff2ps.h"
#include "platform/automation/officeSession.h"
#include "platform/automation/olevariant.h"
#include "platform/automation/psPrinter.h"
#include "platform/automation/servers.h"
#include "platform/vcl/graphics.h"
#include "tests/engine/fixture.h"

namespace {

class Counter : public TAutoObject {
public:
    OleVariant Invoke(const std::string& m, TInvokeKind kind,
                      const std::vector<OleVariant>& args) override {
        if (SameText(m, "Value")) {
            if (kind == TInvokeKind::PropertyPut) value = args.back().AsInt();
            return OleVariant(value);
        }
        if (SameText(m, "Add")) {
            lastArgs = args;
            value += Arg(args, 0).AsInt() + (Arg(args, 1).IsOmitted() ? 0 : Arg(args, 1).AsInt());
            return OleVariant(value);
        }
        UnknownMember(m);
    }
    std::string TypeName() const override { return "Counter"; }
    long long value = 0;
    std::vector<OleVariant> lastArgs;
};

}  // namespace

TEST(OfficeVariant, CallsByNameWithOmittedSlots) {
    auto c = std::make_shared<Counter>();
    OleVariant v{std::shared_ptr<TAutoObject>(c)};
    v.Put("value", 5);
    EXPECT_EQ(v.Get("VALUE").AsInt(), 5);
    EXPECT_EQ(v.Call("Add", {2, EmptyParam}).AsInt(), 7);
    EXPECT_TRUE(c->lastArgs[1].IsOmitted());
    EXPECT_EQ(v.Call("Add", {"3", 1}).AsInt(), 11);
    EXPECT_THROW(v.Call("Subtract"), EOleError);
    EXPECT_THROW(OleVariant("abc").AsInt(), EOleError);
    EXPECT_THROW(OleVariant(3).Get("x"), EOleError);
    EXPECT_EQ(OleVariant(true).AsInt(), -1);
    EXPECT_EQ(OleVariant(2.5).AsString(), "2.5");
}

TEST(OfficeVariant, UnknownServerRaises) {
    EXPECT_THROW(CreateOleObject("Lotus.Application"), EOleError);
}

TEST(OfficeBridgeJson, RoundTripOfAwkwardText) {
    std::string text = "a \"quoted\" \\ path\n文件\t";
    OleVariant v = office::ParseJson("{\"ok\":true,\"result\":[" + office::Json(text) +
                                     ",12,-3.5,null,false]}");
    OleVariant r = office::JsonMember(v, "result");
    ASSERT_EQ(r.AsArray().size(), 5u);
    EXPECT_EQ(r.AsArray()[0].AsString(), text);
    EXPECT_EQ(r.AsArray()[1].AsInt(), 12);
    EXPECT_DOUBLE_EQ(r.AsArray()[2].AsDouble(), -3.5);
    EXPECT_TRUE(r.AsArray()[3].IsEmpty());
    EXPECT_EQ(office::ParseJson("\"\\u00e9\\ud83d\\ude00\"").AsString(),
              "\xC3\xA9\xF0\x9F\x98\x80");
    EXPECT_THROW(office::ParseJson("{\"ok\":"), EOleError);
}

// Bytes that are not UTF-8 (names in GBK) go to the bridge as the escapes U+DC80..U+DCFF and
// come back from it as the same bytes, not as the escapes' own encoding; a lone surrogate or
// a broken pair becomes U+FFFD.
TEST(OfficeBridgeJson, BytesThatAreNotUtf8ComeBackAsThoseBytes) {
    const std::string gbk = "C:/\xB2\xE2\xCA\xD4/\xFF.doc";
    EXPECT_EQ(office::Json(gbk), "\"C:/\\udcb2\\udce2\\udcca\\udcd4/\\udcff.doc\"");
    EXPECT_EQ(office::ParseJson(office::Json(gbk)).AsString(), gbk);
    EXPECT_EQ(office::ParseJson("\"\\udc41\"").AsString(), "\xEF\xBF\xBD");
    EXPECT_EQ(office::ParseJson("\"\\ud800\\u0041\"").AsString(),
              "\xEF\xBF\xBD"
              "A");
}

TEST(OfficePageRange, WordSyntax) {
    EXPECT_EQ(office::OfficePageRange("2, 6-10"), "2,6-10");
    EXPECT_EQ(office::OfficePageRange(" 3 "), "3");
    EXPECT_EQ(office::OfficePageRange("4-"), "4-");
    for (const char* bad : {"", "a", "0", "5-2", "1--2", "1,,2", "p1s2"})
        EXPECT_THROW(office::OfficePageRange(bad), EOleError) << bad;
}

TEST(OfficePrinter, PageSizesOfAPdf) {
    std::string dir = vxtest::MakeTempFolder();
    vxtest::WriteFile(dir + "a.pdf",
                      "%PDF-1.4\n1 0 obj<</Type/Page/MediaBox[0 0 595.3 841.9]>>endobj\n"
                      "2 0 obj<</Type/Page/MediaBox [ 0 0 842 595 ]>>endobj\n");
    auto sizes = office::PdfPageSizes(dir + "a.pdf");
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_NEAR(sizes[0].first, 595.3, 0.01);
    EXPECT_NEAR(sizes[1].second, 595, 0.01);
    EXPECT_TRUE(office::IsPostScriptPrinter("Generic Colour PostScript"));
    EXPECT_TRUE(office::IsPostScriptPrinter("Generic Colour PostScript on 文件:"));
    EXPECT_FALSE(office::IsPostScriptPrinter("Other"));
    vxtest::RemoveTree(dir);
}

TEST(OfficePrinter, BitmapHeader) {
    std::string dir = vxtest::MakeTempFolder();
    TBitmap b;
    b.SetSize(30, 20);
    b.SaveToFile(dir + "p.bmp");
    int w = 0, h = 0;
    double dx = 0, dy = 0;
    office::BitmapInfo(dir + "p.bmp", w, h, dx, dy);
    EXPECT_EQ(w, 30);
    EXPECT_EQ(h, 20);
    EXPECT_GT(dx, 0);
    vxtest::WriteFile(dir + "x.bmp", "not a bitmap at all, not at all, not at all, not at all");
    EXPECT_THROW(office::BitmapInfo(dir + "x.bmp", w, h, dx, dy), EOleError);
    vxtest::RemoveTree(dir);
}

// The helper program answers the print-file question for the process that started it.
TEST(OfficePrinter, HelperAnswersThePrintFileQuestion) {
    std::string helper = std::string(VEXOMAT_BIN_DIR) + "/additional/enumWindows.exe";
    ASSERT_EQ(access(helper.c_str(), X_OK), 0);
    const std::string file = "/tmp/some \"print\" 文件.ps";
    pid_t pid = fork();
    if (pid == 0) {
        execl(helper.c_str(), helper.c_str(), file.c_str(), "MSACCESS.EXE",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int st = 0;
    waitpid(pid, &st, 0);
    ASSERT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
    EXPECT_EQ(office::AskPrintFileName("MSACCESS.EXE", std::chrono::seconds(5)), file);
    // Asked once, the answer is gone; with nobody to answer, the question fails.
    EXPECT_THROW(office::AskPrintFileName("MSACCESS.EXE", std::chrono::milliseconds(50)),
                 EOleError);
}

namespace {

// A TIFF of pages (width, height, RGB colour) written with libtiff, LZW-compressed.
void WriteTiff(const std::string& path, const std::vector<std::array<uint32_t, 3>>& pages) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(t, nullptr);
    for (auto& p : pages) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, p[0]);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, p[1]);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, p[1]);
        std::vector<uint8_t> row(size_t(p[0]) * 3);
        for (uint32_t x = 0; x < p[0]; ++x) {
            row[x * 3] = uint8_t(p[2] >> 16);
            row[x * 3 + 1] = uint8_t(p[2] >> 8);
            row[x * 3 + 2] = uint8_t(p[2]);
        }
        for (uint32_t y = 0; y < p[1]; ++y) TIFFWriteScanline(t, row.data(), y, 0);
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
}

// The TIFF reader writes libtiff's own words to the day log, which needs the main state.
class OfficeTiff : public vxtest::EngineTest {};

}  // namespace

TEST_F(OfficeTiff, PagesCountedAndReadInTheirOwnSizesAndColours) {
    std::string dir = vxtest::MakeTempFolder();
    WriteTiff(dir + "t.tif", {{10, 20, 0xFF0000}, {30, 5, 0x00FF00}, {7, 7, 0x0000FF}});
    TTiff2ps t;
    EXPECT_EQ(t.TiffPageCount(dir + "t.tif"), 3);
    auto p2 = t.TiffPageToBitmap(dir + "t.tif", 2);
    EXPECT_EQ(p2->Width(), 30);
    EXPECT_EQ(p2->Height(), 5);
    auto p1 = t.TiffPageToBitmap(dir + "t.tif", 1);
    const uint8_t* px = p1->ScanLine(0);
    EXPECT_EQ(px[0], 0);    // blue
    EXPECT_EQ(px[2], 255);  // red: the bitmap holds B G R A
    EXPECT_THROW(t.TiffPageToBitmap(dir + "t.tif", 4), Exception);
    vxtest::WriteFile(dir + "bad.tif", std::string("II*\0garbage", 11));
    EXPECT_THROW(t.TiffPageCount(dir + "bad.tif"), Exception);
    vxtest::RemoveTree(dir);
}

TEST_F(OfficeTiff, SwapRedBlueKeepsGreenAndAlpha) {
    uint8_t px[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    TTiff2ps().SwapRedBlue(2, 1, px);
    EXPECT_EQ(std::vector<uint8_t>(px, px + 8), (std::vector<uint8_t>{3, 2, 1, 4, 7, 6, 5, 8}));
}

TEST(OfficeRegistry, ServersAnswerTheChecksFromWhatIsInstalled) {
    RegisterOfficeServers();
    for (const char* app : {"Word", "Excel", "PowerPoint", "Access"}) {
        if (office::ServerInstalled(app))
            EXPECT_EQ(OfficeVersion(app), 11) << app;
        else
            EXPECT_EQ(OfficeVersion(app), -1) << app;
    }
}
