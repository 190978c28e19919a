#include "engine/converters/pdfMergeAll.h"

#include <cerrno>

#include "engine/converters/gsOptions.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"

std::string TPdfMergeAll::Parameters(const TStringList& files, const std::string& dst) {
    std::string list;
    for (int i = 0; i < files.Count(); ++i) list += QuoteGsArg(GsFileName(files[i])) + " ";
    return "-dNOPAUSE -dBATCH -dSAFER -dDownsampleMonoImages=false -dDownsampleGrayImages=false "
           "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite " +
           GsOut(dst) + "-c .setpdfwrite -f " + list;
}

bool TPdfMergeAll::Merge(const TStringList& files, const std::string& dst) {
    return RunGsJob("pdfMergeAll", [&] {
        if (FileExists(dst) && !DeleteFile(dst)) RaiseInOutError(errno ? errno : EACCES, dst);
        Application->ProcessMessages();
        return Parameters(files, dst);
    });
}
