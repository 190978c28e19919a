#include "engine/converters/bmp2ppt.h"

#include <cmath>

#include "engine/converters/gsOptions.h"
#include "engine/converters/officeCommon.h"
#include "engine/converters/pdf2bmp.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "engine/util.h"
#include "platform/automation/olevariant.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/graphics.h"

bool TBmp2ppt::Convert(const std::string& srcMask, const std::string& dstPpt) {
    return RunOfficeJob([&]() -> bool {
        OleVariant app = CreateOleObject("Powerpoint.Application");
        OfficeProcessMessages();
        OleVariant pres = app.Get("Presentations").Call("Add", {EmptyParam});
        OfficeProcessMessages();
        if (RadioChecked("RadioButton_orientationL"))
            pres.Get("PageSetup").Put("SlideOrientation", 1);
        if (RadioChecked("RadioButton_orientationP"))
            pres.Get("PageSetup").Put("SlideOrientation", 2);

        const std::string folder = ExtractFilePath(srcMask);
        int index = 1;
        TSearchRec sr;
        if (FindFirst(folder + "*.bmp", faAnyFile, sr) == 0) {
            do {
                const std::string file = folder + sr.Name;
                OleVariant slide = pres.Get("Slides").Call("Add", {index, 12});
                OleVariant setup = pres.Get("PageSetup");
                const double slideWidth = setup.Get("SlideWidth").AsDouble();
                const double slideHeight = setup.Get("SlideHeight").AsDouble();
                if (RadioChecked("RadioButton_orientationD")) {
                    // Full slide height, proportional width, centred across.
                    TBitmap bitmap;
                    bitmap.LoadFromFile(file);
                    if (bitmap.Width() <= 0 || bitmap.Height() <= 0)
                        throw Exception("无法读取图片: " + file);
                    const double scale = slideHeight / bitmap.Height();
                    const double pictureWidth = std::nearbyint(bitmap.Width() * scale);
                    const double left = std::nearbyint((slideWidth - pictureWidth) / 2);
                    slide.Get("Shapes").Call(
                        "AddPicture", {file, false, true, left, 0, pictureWidth, slideHeight});
                } else {
                    slide.Get("Shapes").Call("AddPicture",
                                             {file, false, true, 0, 0, slideWidth, slideHeight});
                }
                ++index;
                OfficeProcessMessages();
            } while (FindNext(sr) == 0);
            FindClose(sr);
        }
        pres.Call("SaveAs", {dstPpt, EmptyParam, EmptyParam});
        OfficeProcessMessages();
        if (Application) Application->HandleMessage();
        pres.Put("Saved", true);
        app.Call("Quit");
        pres.Clear();
        app.Clear();
        OfficeProcessMessages();
        return true;
    });
}

bool RunPdf2ppt(TRun& run) {
    if (!OfficeFunctionReady("PowerPoint", false, false)) return false;
    run.Target = run.Moved(".ppt");
    const std::string bitmaps = run.InTemp(".bmp");
    bool ok = run.Clean([&] { return TPdf2bmp().Convert(run.Source(), bitmaps, 0, 0); });
    // A slide for every page: a presentation without slides, or short of pages, is no
    // result.
    if (ok)
        ok = PagesAsExpected(ExpectedPdfPages(run.Source()),
                             PagesInFiles(ExtractFilePath(bitmaps) + "*.bmp"), {run.Source()});
    if (ok) ok = TBmp2ppt().Convert(bitmaps, run.InTemp(".ppt"));
    if (ok) ok = MoveFileReplacing(run.InTemp(".ppt"), run.Target);
    return ok;
}
