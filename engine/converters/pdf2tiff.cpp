#include "engine/converters/pdf2tiff.h"

#include "engine/converters/gsOptions.h"
#include "engine/runner.h"

std::string TPdf2tiff::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    p += GsResolution();
    p += "-dUseCIEColor -sDEVICE=tiff24nc";
    p += RadioChecked("RadioButton_layerS") ? GsPaged(dst) : GsOut(dst);
    p += GsSource(src);
    return p.Line();
}

bool TPdf2tiff::Convert(const std::string& src, const std::string& dst) {
    return RunGsJob("pdf2tiff", [&] { return Parameters(src, dst); });
}

bool RunPdf2tiff(TRun& run) {
    return run.Pages(
        ".tiff", [&](const std::string& dst) { return TPdf2tiff().Convert(run.Source(), dst); });
}
