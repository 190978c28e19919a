#include "engine/converters/tiff2ps.h"

#include <cstring>
#include <vector>

#include "engine/constants.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/officeCommon.h"
#include "engine/runner.h"
#include "engine/util.h"
#include "platform/automation/olevariant.h"
#include "platform/automation/tiffLibrary.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/graphics.h"

namespace {

// libtiff's warnings and errors go to our own message instead of the error output.
thread_local std::string g_tiffError;

void tiffError(const char* module, const char* fmt, va_list ap) {
    char buf[512];
    vsnprintf(buf, sizeof buf, fmt, ap);
    g_tiffError = std::string(module ? module : "") + (module ? ": " : "") + buf;
}

void tiffWarning(const char*, const char*, va_list) {}

struct TiffFile {
    explicit TiffFile(const std::string& name) {
        Tiff().SetErrorHandler(tiffError);
        Tiff().SetWarningHandler(tiffWarning);
        g_tiffError.clear();
        tif = Tiff().Open(name.c_str(), "r");
        if (!tif)
            throw Exception("无法打开 TIFF 文件: " + name +
                            (g_tiffError.empty() ? "" : " (" + g_tiffError + ")"));
    }
    ~TiffFile() { Tiff().Close(tif); }
    TiffFile(const TiffFile&) = delete;
    TiffFile& operator=(const TiffFile&) = delete;
    TIFF* tif;
};

// Width or height of the paper from the points column "w/h" of a paper row.
int PaperPoints(const std::string& wh, bool height) {
    size_t slash = wh.find('/');
    return int(StrToInt(Trim(height ? wh.substr(slash + 1) : wh.substr(0, slash))));
}

}  // namespace

int TTiff2ps::TiffPageCount(const std::string& tiffFile) {
    TiffFile f(tiffFile);
    int count = 1;
    while (Tiff().ReadDirectory(f.tif)) ++count;
    return count;
}

void TTiff2ps::SwapRedBlue(int width, int height, uint8_t* pixels) {
    const size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i) std::swap(pixels[i * 4], pixels[i * 4 + 2]);
}

std::unique_ptr<TBitmap> TTiff2ps::TiffPageToBitmap(const std::string& tiffFile, int page) {
    TiffFile f(tiffFile);
    for (int i = 1; i < page; ++i)
        if (!Tiff().ReadDirectory(f.tif))
            throw Exception("TIFF 文件没有第 " + std::to_string(page) + " 页: " + tiffFile);
    uint32_t width = 0, height = 0;
    Tiff().GetField(f.tif, TIFFTAG_IMAGEWIDTH, &width);
    Tiff().GetField(f.tif, TIFFTAG_IMAGELENGTH, &height);
    if (width == 0 || height == 0 || uint64_t(width) * height > (uint64_t(1) << 28))
        throw Exception("TIFF 页面的大小无效: " + tiffFile);
    // The raster starts at the bottom row, as a bottom-up bitmap's memory does.
    std::vector<uint32_t> raster(size_t(width) * height);
    g_tiffError.clear();
    // A strip that is cut short, lies past the end of the file or does not decode would
    // leave its part of the page black: every read is checked and such a page refused.
    const int read = Tiff().ReadRGBAImage(f.tif, width, height, raster.data(), 1);
    if (read != 1 || !g_tiffError.empty()) {
        if (!g_tiffError.empty()) Log("ErrorLine", g_tiffError);
        throw Exception("TIFF 文件已损坏, 无法读取第 " + std::to_string(page) + " 页: \"" +
                        EscapeControls(tiffFile) + "\"");
    }
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(int(width), int(height));
    for (uint32_t r = 0; r < height; ++r)
        std::memcpy(bitmap->ScanLine(int(height - 1 - r)), &raster[size_t(r) * width],
                    size_t(width) * 4);
    for (uint32_t y = 0; y < height; ++y) SwapRedBlue(int(width), 1, bitmap->ScanLine(int(y)));
    return bitmap;
}

bool TTiff2ps::Convert(const std::string& tiffFile, const std::string& psFile,
                       const std::string& tempDir) {
    return RunOfficeJob([&]() -> bool {
        const int n = TiffPageCount(tiffFile);
        const auto bitmapName = [&](int page) {
            char name[32];
            std::snprintf(name, sizeof name, "%.8d.bmp", page);
            return tempDir + name;
        };
        // Every page is read before the office starts: a damaged page ends the run at once.
        for (int page = n; page >= 1; --page) {
            TiffPageToBitmap(tiffFile, page)->SaveToFile(bitmapName(page));
            OfficeProcessMessages();
        }
        OleVariant app = CreateOleObject("Word.Application");
        OfficeProcessMessages();
        OleVariant doc;
        for (int page = n; page >= 1; --page) {
            const std::string bmp = bitmapName(page);
            if (page == n) {
                doc = app.Get("Documents").Call("Add", {EmptyParam, EmptyParam, 0, EmptyParam});
                OleVariant setup = app.Get("ActiveDocument").Get("PageSetup");
                setup.Put("TopMargin", 0);
                setup.Put("BottomMargin", 0);
                setup.Put("LeftMargin", 0);
                setup.Put("RightMargin", 0);
                const int item = ComboIndex("ComboBox_papersize");
                if (item > 0 && GroupVisible("GroupBox_papersize")) {
                    int width = 0, height = 0;
                    if (item == 1) {
                        width = int(StrToInt(EditText("Edit_papersize_width")));
                        height = int(StrToInt(EditText("Edit_papersize_height")));
                    } else if (item - 2 < PaperSizeCount) {
                        const std::string& points = PaperSizes[size_t(item - 2)][4];
                        width = PaperPoints(points, false);
                        height = PaperPoints(points, true);
                    }
                    if (width >= 8 && width <= 1584) setup.Put("PageWidth", width);
                    if (height >= 8 && height <= 1584) setup.Put("PageHeight", height);
                }
            } else {
                OleVariant selection = app.Get("Selection");
                selection.Call("HomeKey", {6});
                selection.Call("InsertBreak", {2});
                selection.Call("HomeKey", {6});
            }
            OfficeProcessMessages();
            OleVariant shape = app.Get("ActiveDocument").Get("Shapes").Call("AddPicture", {bmp});
            shape.Get("WrapFormat").Put("AllowOverlap", false);
            shape.Get("WrapFormat").Put("Side", 0);
            shape.Get("WrapFormat").Put("Type", 3);
            shape.Put("RelativeHorizontalPosition", 1);
            shape.Put("RelativeVerticalPosition", 1);
            shape.Put("Left", -999995);
            shape.Put("Top", -999995);
        }
        app.Put("ActivePrinter", "Generic Colour PostScript");
        std::vector<OleVariant> print(15, EmptyParam);
        print[0] = false;
        print[1] = false;
        print[3] = psFile;
        print[10] = true;
        doc.Call("PrintOut", print);
        OfficeProcessMessages();
        WaitForPrintFile(psFile);
        doc.Call("Close", {0});
        app.Call("Quit");
        doc.Clear();
        app.Clear();
        OfficeProcessMessages();
        return true;
    });
}

bool RunTiff2pdf(TRun& run) {
    return OfficeFunctionReady("Word", false, false) &&
           ViaPostScript(run, [&](const std::string& ps) {
               return TTiff2ps().Convert(run.Source(), ps, run.Temp());
           });
}
