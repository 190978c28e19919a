// The run's branches for the PDF tools: merging, encryption, cropping, watermark, preview.
#include <functional>

#include "app/main.h"
#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/pdf2bmp.h"
#include "engine/converters/pdf2htmlPreview.h"
#include "engine/converters/pdfAutoCrop.h"
#include "engine/converters/pdfEncrypt.h"
#include "engine/converters/pdfMerge.h"
#include "engine/converters/pdfMergeAll.h"
#include "engine/converters/pdfWatermark.h"
#include "engine/pdfHelper.h"
#include "engine/util.h"
#include "platform/rtl/fileTransaction.h"
#include "platform/win/runGuard.h"

namespace {

int CountMatchingFiles(const std::string& mask) {
    int count = 0;
    TSearchRec rec;
    for (int r = FindFirst(mask, faAnyFile, rec); r == 0; r = FindNext(rec)) ++count;
    FindClose(rec);
    return count;
}

}  // namespace

bool TForm_main::RunPdfToolFunction(const std::string& name, std::string& target, const std::string& temp,
                                    bool& ok) {
    if (name != "pdf2htmlPreview" && name != "pdfMerge" && name != "pdfMergeAll" && name != "pdfAutoCrop" &&
        name != "pdfWatermark" && name != "pdfEncrypt")
        return false;

    const std::string first = (*FSourceFiles)[0];
    const std::string src = first;
    const std::string n = ChangeFileExt(ExtractFileName(first), "");
    auto inTemp = [&](const std::string& ext) { return ReplaceExt(JoinName(src, temp), ext); };
    auto movedWithSuffix = [&](const std::string& suffix) { return JoinName(AddSuffix(first, suffix), FDestDir); };

    // Ghostscript ends normally after most failures and leaves an output behind (a
    // document without pages, or one cut short); what tells is its error output, which
    // the runner adds to the error list. So a step succeeds only when it listed nothing.
    auto clean = [&](const std::function<bool()>& step) {
        const int before = FErrors->Count();
        const bool result = step();
        return result && FErrors->Count() == before;
    };

    ok = CheckGhostscript(true);
    if (!ok) return true;

    if (name == "pdf2htmlPreview") {
        target = FDestDir + "htmlPreview.html";
        MkDir(temp + "pdf/");
        ok = clean([&] { return TPdfChopToSingles().Chop(src, temp + "pdf/", "", temp); });
        TPdf2htmlPreview preview;
        int pageCount = 0;
        if (ok) {
            MkDir(temp + "images/");
            ok = clean([&] {
                pageCount = preview.MakeThumbnails(src, temp + "images/");
                return pageCount > 0;
            });
        }
        // The page files come from the document's stated page count, the thumbnails from
        // its pages as drawn; a count that lies would link thumbnails to missing pages.
        if (ok) {
            const int pageFiles = CountMatchingFiles(temp + "pdf/*.pdf");
            if (pageFiles != pageCount) {
                ReportError("PDF 文件的页数不一致: 页面树说 " + IntToStr(pageFiles) +
                            " 页, 实际有 " + IntToStr(pageCount) + " 页。文件可能已损坏: \"" +
                            EscapeControls(src) + "\"");
                ok = false;
            }
        }
        if (ok) {
            const std::string fileName = ExtractFileName(src);
            const std::string baseName = fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0);
            ok = preview.WriteHtml(temp + "htmlPreview.html", baseName, pageCount,
                                   UpDownPosition("XcUpDown_html_columns"), EditText("Edit_html_title"),
                                   EditText("Edit_html_pagetext"), CheckBoxChecked("CheckBox_html_border"));
        }
        // The page, its thumbnails and their PDFs arrive together or not at all.
        if (ok) {
            TFileTransaction moves;
            AddMatchingFiles(moves, temp + "pdf/*", FDestDir + "pdf/", nullptr, true);
            AddMatchingFiles(moves, temp + "images/*", FDestDir + "images/", nullptr, true);
            moves.Add(temp + "htmlPreview.html", target);
            ok = CommitResults(moves);
        }
    } else if (name == "pdfMerge") {
        target = DestName(first, ".pdf", "MERGED-", "");
        if (FMergeOrder->Count() == 0) {
            ReportError("没有页面顺序: 请先用 \">> 重排\" 设置要合并的页面。");
            ok = false;
            return true;
        }
        // Written in the temporary folder first, so a failed merge leaves an older result
        // as it was.
        const std::string merged = temp + "MERGED-" + n + ".pdf";
        ok = clean([&] { return TPdfMerge().Merge(merged); });
        if (ok) ok = MoveFileReplacing(merged, target);
        if (ok) ok = !FArrangeTmp.empty() && DeleteFolder(FArrangeTmp);
        if (ok) FArrangeClaim.reset();
    } else if (name == "pdfMergeAll") {
        target = FDestDir + "MERGED-ALL.pdf";
        const std::string merged = temp + "MERGED-ALL.pdf";
        ok = clean([&] { return TPdfMergeAll().Merge(*FSourceFiles, merged); });
        if (ok) ok = MoveFileReplacing(merged, target);
    } else if (name == "pdfAutoCrop") {
        target = DestName(first, ".pdf", "", "_CROPPED");
        // The intermediates belong to the run: in its temporary folder nothing of the user's
        // can be followed, replaced or deleted, and runs side by side do not meet.
        const std::string bitmap = temp + "TEMP-" + n + ".bmp";
        const std::string page1 = temp + "TEMP-" + n + "_p0001.bmp";
        const std::string uncompressed = temp + "TEMP-" + n + ".pdf";
        const std::string cropped = temp + n + "_CROPPED.pdf";
        // Both inputs of the cropper are made whatever the other gives; a cropped file is
        // written only from inputs made without errors, so a damaged source never replaces
        // an older result.
        const bool made = clean([&] {
            const bool a = TPdf2bmp().Convert(src, bitmap, 1, 1);
            const bool b = TPdfDecompress().Decompress(src, uncompressed);
            return a && b;
        });
        ok = made && TPdfAutoCrop().AutoCrop(page1, uncompressed, cropped);
        if (ok) ok = MoveFileReplacing(cropped, target);
    } else if (name == "pdfWatermark") {
        target = movedWithSuffix("_WATERMARKED");
        const std::string stamp = temp + "watermark.ps";
        TPdfWatermark watermark;
        ok = watermark.WriteStamp(stamp);
        if (ok) ok = clean([&] { return watermark.Apply(src, inTemp(".pdf"), stamp); });
        if (ok) ok = MoveFileReplacing(inTemp(".pdf"), target);
    } else if (name == "pdfEncrypt") {
        target = movedWithSuffix("_ENCRYPTED");
        ok = clean([&] { return TPdfEncrypt().Encrypt(src, inTemp(".pdf")); });
        if (ok) ok = MoveFileReplacing(inTemp(".pdf"), target);
    }
    return true;
}
