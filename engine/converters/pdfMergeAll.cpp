#include "engine/converters/pdfMergeAll.h"

#include <cerrno>

#include "engine/converters/gsOptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"

std::string TPdfMergeAll::Parameters(const TStringList& files, const std::string& dst) {
    GsArgs p = GsPrefix();
    p += "-dDownsampleMonoImages=false -dDownsampleGrayImages=false "
         "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite";
    p += GsOut(dst);
    p += "-c .setpdfwrite -f";
    for (int i = 0; i < files.Count(); ++i) p.Quoted("", GsFileName(files[i]));
    return p.Line();
}

bool TPdfMergeAll::Merge(const TStringList& files, const std::string& dst) {
    return RunGsJob("pdfMergeAll", [&] {
        if (FileExists(dst) && !DeleteFile(dst)) RaiseInOutError(errno ? errno : EACCES, dst);
        Application->ProcessMessages();
        return Parameters(files, dst);
    });
}
