#include "engine/converters/pdf2jpg.h"

#include "engine/converters/gsOptions.h"
#include "engine/runner.h"
#include "platform/rtl/sysutils.h"

std::string TPdf2jpg::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    if (RadioChecked("RadioButton_qualityEdit") && !EditText("Edit_quality").empty()) {
        const long long q = EditNumber("Edit_quality");
        if (q >= 1 && q <= 100) p += "-dJPEGQ=" + IntToStr(q);
    }
    if (RadioChecked("RadioButton_qualityX")) p += "-dJPEGQ=100";
    if (RadioChecked("RadioButton_qualityN")) p += "-dJPEGQ=75";
    if (RadioChecked("RadioButton_qualityM")) p += "-dJPEGQ=40";
    if (RadioChecked("RadioButton_qualityL")) p += "-dJPEGQ=5";
    p += GsResolution();
    p += "-dUseCIEColor -sDEVICE=jpeg";
    p += GsPaged(dst);
    p += GsSource(src);
    return p.Line();
}

bool TPdf2jpg::Convert(const std::string& src, const std::string& dst) {
    return RunGsJob("pdf2jpg", [&] { return Parameters(src, dst); });
}

bool RunPdf2jpg(TRun& run) {
    return run.Pages(".jpg",
                     [&](const std::string& dst) { return TPdf2jpg().Convert(run.Source(), dst); });
}
