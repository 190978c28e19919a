#include "engine/converters/pdf2ps.h"

#include "engine/converters/gsOptions.h"

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
