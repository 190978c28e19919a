#include "engine/converters/pdf2pdf.h"

#include "engine/converters/gsOptions.h"
#include "engine/runner.h"

std::string TPdf2pdf::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    if (GroupVisible("GroupBox_reduction")) {
        p += "-dCompressPages=true -dAutoFilterColorImages=true -dAutoFilterGrayImages=true "
             "-dColorConversionStrategy=/sRGB";
        p += GsDownsample(UpDownPosition("XcUpDown_reduction_quality"));
    }
    p += "-r300 -sDEVICE=pdfwrite";
    p += GsOut(dst);
    p += "-c .setpdfwrite";
    p += GsSource(src);
    return p.Line();
}

bool TPdf2pdf::Convert(const std::string& src, const std::string& dst) {
    return RunGsJob("pdf2pdf", [&] { return Parameters(src, dst); });
}

bool RunPdf2pdf(TRun& run) {
    return run.Single(".pdf", run.MovedWithSuffix("_REDUCED"), [&](const std::string& dst) {
        return TPdf2pdf().Convert(run.Source(), dst);
    });
}
