#include "engine/converters/tiff2ps.h"

#include <vector>

#include "engine/constants.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/officeCommon.h"
#include "engine/converters/tiffPages.h"
#include "engine/runner.h"
#include "engine/util.h"
#include "platform/automation/olevariant.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/graphics.h"

namespace {

// Width or height of the paper from the points column "w/h" of a paper row.
int PaperPoints(const std::string& wh, bool height) {
    size_t slash = wh.find('/');
    return int(StrToInt(Trim(height ? wh.substr(slash + 1) : wh.substr(0, slash))));
}

}  // namespace

int TTiff2ps::TiffPageCount(const std::string& tiffFile) {
    TiffPages pages(tiffFile);
    while (pages.Next()) {}
    return pages.Page();
}

void TTiff2ps::SwapRedBlue(int width, int height, uint8_t* pixels) {
    const size_t n = size_t(width) * size_t(height);
    for (size_t i = 0; i < n; ++i) std::swap(pixels[i * 4], pixels[i * 4 + 2]);
}

std::unique_ptr<TBitmap> TTiff2ps::TiffPageToBitmap(const std::string& tiffFile, int page) {
    TiffPages pages(tiffFile);
    while (pages.Page() < page)
        if (!pages.Next())
            throw Exception("TIFF 文件没有第 " + std::to_string(page) + " 页: " + tiffFile);
    const TiffPage p = pages.Read();
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(int(p.width), int(p.height));
    for (uint32_t y = 0; y < p.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(bitmap->ScanLine(int(y)));
        for (uint32_t x = 0; x < p.width; ++x) {
            if (p.bilevel) {
                const bool white = p.bits[y * p.RowBytes() + x / 8] & (0x80 >> (x % 8));
                row[x] = white ? 0xFFFFFFFFu : 0xFF000000u;
            } else {
                // The raster's rows run from the bottom, as a bottom-up bitmap's memory does.
                row[x] = p.rgba[size_t(p.height - 1 - y) * p.width + x];
            }
        }
        if (!p.bilevel) SwapRedBlue(int(p.width), 1, bitmap->ScanLine(int(y)));
    }
    return bitmap;
}

std::string TTiff2ps::BitmapName(const std::string& tempDir, int page) {
    char name[32];
    std::snprintf(name, sizeof name, "%.8d.bmp", page);
    return tempDir + name;
}

int TTiff2ps::SavePages(const std::string& tiffFile, const std::string& tempDir) {
    // One pass in page order: each directory is read once, and a damaged page or a broken
    // chain ends the run before the office starts, so no page is ever left out.
    TiffPages pages(tiffFile);
    do {
        pages.SaveAsBmp(BitmapName(tempDir, pages.Page()));
        OfficeProcessMessages();
    } while (pages.Next());
    return pages.Page();
}

bool TTiff2ps::Convert(const std::string& tiffFile, const std::string& psFile,
                       const std::string& tempDir) {
    return RunOfficeJob([&]() -> bool {
        const int n = SavePages(tiffFile, tempDir);
        OleVariant app = CreateOleObject("Word.Application");
        OfficeProcessMessages();
        OleVariant doc;
        for (int page = n; page >= 1; --page) {
            const std::string bmp = BitmapName(tempDir, page);
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
