#include "engine/converters/ps2pdf.h"

#include "engine/constants.h"
#include "engine/converters/gsOptions.h"
#include "engine/runner.h"
#include "platform/rtl/sysutils.h"

namespace {

GsArgs Quality() {
    GsArgs q;
    if (!GroupVisible("GroupBox_optimized")) return q += "-dPDFSETTINGS=/default";
    if (RadioChecked("RadioButton_optimizedD")) q += "-dPDFSETTINGS=/default";
    if (RadioChecked("RadioButton_optimizedS")) q += "-dPDFSETTINGS=/screen";
    if (RadioChecked("RadioButton_optimizedP")) q += "-dPDFSETTINGS=/printer";
    if (RadioChecked("RadioButton_optimizedR")) q += "-dPDFSETTINGS=/prepress";
    if (RadioChecked("RadioButton_optimizedEdit") && !EditText("Edit_optimized").empty()) {
        const long long r = EditNumber("Edit_optimized");
        if (r >= 5 && r <= 200) q += GsDownsample(r);
    }
    return q;
}

// Entry 0 of the paper combo box is the document's own size and 1 the size of the two
// edits; entry k >= 2 is row k - 2 of the paper table. No selection counts as entry 0.
GsArgs Paper() {
    GsArgs p;
    if (!GroupVisible("GroupBox_papersize")) return p;
    const int item = ComboIndex("ComboBox_papersize");
    if (item == 1) {
        p += "-dDEVICEWIDTHPOINTS=" + PaperPoints("Edit_papersize_width", "宽度", "-opw");
        p += "-dDEVICEHEIGHTPOINTS=" + PaperPoints("Edit_papersize_height", "高度", "-oph");
        return p += "-dFIXEDMEDIA";
    }
    if (item >= 2 && item - 2 < PaperSizeCount) {
        p += "-sPAPERSIZE=" + PaperSizes[size_t(item - 2)][1];
        p += "-dFIXEDMEDIA";
    }
    return p;
}

GsArgs Orientation() {
    GsArgs o;
    if (!GroupVisible("GroupBox_orientation")) return o;
    if (RadioChecked("RadioButton_orientationL"))
        (o += "-c").Quoted("", "<</Orientation 3>> setpagedevice");
    else if (RadioChecked("RadioButton_orientationP"))
        (o += "-c").Quoted("", "<</Orientation 0>> setpagedevice");
    return o;
}

}  // namespace

std::string TPs2pdf::Parameters(const std::string& src, const std::string& dst) {
    GsArgs p = GsPrefix();
    p += Quality();
    p += Paper();
    p += "-r300 -dAutoRotatePages=/None -sDEVICE=pdfwrite";
    p += GsOut(dst);
    p += Orientation();
    p += GsSource(src);
    return p.Line();
}

bool TPs2pdf::Convert(const std::string& src, const std::string& dst) {
    return RunGsJob("ps2pdf", [&] { return Parameters(src, dst); });
}

bool RunPs2pdf(TRun& run) {
    return run.Single(".pdf", run.Moved(".pdf"),
                      [&](const std::string& dst) { return TPs2pdf().Convert(run.Source(), dst); });
}
