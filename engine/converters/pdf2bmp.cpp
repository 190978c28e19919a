#include "engine/converters/pdf2bmp.h"

#include "engine/converters/gsOptions.h"
#include "engine/runner.h"
#include "platform/rtl/sysutils.h"

std::string TPdf2bmp::Parameters(const std::string& src, const std::string& dst, int firstPage,
                                 int lastPage) {
    GsArgs p = GsPrefix();
    p += GsResolution();
    if (RadioChecked("RadioButton_colordepth24")) p += "-sDEVICE=bmp16m";
    if (RadioChecked("RadioButton_colordepth8")) p += "-sDEVICE=bmp256";
    if (RadioChecked("RadioButton_colordepth4")) p += "-sDEVICE=bmp16";
    if (RadioChecked("RadioButton_colordepth1")) p += "-sDEVICE=bmpmono";
    if (RadioChecked("RadioButton_colordepth8g")) p += "-sDEVICE=bmpgray";
    if (firstPage > 0) p += "-dFirstPage=" + IntToStr(firstPage);
    if (lastPage > 0) p += "-dLastPage=" + IntToStr(lastPage);
    p += "-dUseCIEColor";
    p += GsPaged(dst);
    p += GsSource(src);
    return p.Line();
}

bool TPdf2bmp::Convert(const std::string& src, const std::string& dst, int firstPage,
                       int lastPage) {
    return RunGsJob("pdf2bmp", [&] { return Parameters(src, dst, firstPage, lastPage); });
}

bool RunPdf2bmp(TRun& run) {
    return run.Pages(".bmp", [&](const std::string& dst) {
        return TPdf2bmp().Convert(run.Source(), dst, 0, 0);
    });
}
