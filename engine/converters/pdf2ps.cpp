#include "engine/converters/pdf2ps.h"

#include "engine/converters/gsOptions.h"
#include "engine/runner.h"

std::string TPdf2ps::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    p += "-dDownsampleMonoImages=false -dDownsampleGrayImages=false "
         "-dDownsampleColorImages=false -r300 -sDEVICE=pswrite";
    p += GsOut(dst);
    p += "-c .setpdfwrite";
    p += GsSource(src);
    return p.Line();
}

bool TPdf2ps::Convert(const std::string& src, const std::string& dst) {
    return RunGsJob("pdf2ps", [&] { return Parameters(src, dst); });
}

bool RunPdf2ps(TRun& run) {
    return run.Single(".ps", run.Moved(".ps"),
                      [&](const std::string& dst) { return TPdf2ps().Convert(run.Source(), dst); });
}
