#include "engine/converters/pdf2eps.h"

#include "engine/converters/gsOptions.h"
#include "engine/runner.h"

std::string TPdf2eps::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    p += GsResolution();
    p += "-sDEVICE=epswrite";
    p += GsPaged(dst);
    p += GsSource(src);
    return p.Line();
}

bool TPdf2eps::Convert(const std::string& src, const std::string& dst) {
    return RunGsJob("pdf2eps", [&] { return Parameters(src, dst); });
}

bool RunPdf2eps(TRun& run) {
    return run.Pages(".eps",
                     [&](const std::string& dst) { return TPdf2eps().Convert(run.Source(), dst); });
}
