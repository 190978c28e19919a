// The run's branches that go through office applications: Word, Excel, PowerPoint and
// Access documents, TIFF images and presentations of PDF pages.
#include "app/main.h"
#include "engine/checker.h"
#include "engine/converters/bmp2ppt.h"
#include "engine/converters/doc2ps.h"
#include "engine/converters/mdb2ps.h"
#include "engine/converters/pdf2bmp.h"
#include "engine/converters/ppt2ps.h"
#include "engine/converters/ps2pdf.h"
#include "engine/converters/tiff2ps.h"
#include "engine/converters/xls2ps.h"
#include "engine/util.h"
#include "platform/automation/olevariant.h"

bool IsOfficeFunction(const std::string& name) {
    static const char* const kNames[] = {"doc2pdf", "xls2pdf", "ppt2pdf", "mdb2pdf", "tiff2pdf", "pdf2ppt"};
    bool mine = false;
    for (const char* n : kNames) mine = mine || name == n;
    return mine;
}

bool CommandLineRunsOfficeFunction() {
    return ParamCount() >= 2 && ParamStr(1).compare(0, 2, "-c") == 0 && IsOfficeFunction(ParamStr(2));
}

bool TForm_main::RunOfficeFunction(const std::string& name, std::string& target, const std::string& temp, bool& ok) {
    if (!IsOfficeFunction(name)) return false;

    // The office servers answer the checks from what is installed.
    RegisterOfficeServers();
    const std::string first = (*FSourceFiles)[0];
    const std::string src = first;
    auto inTemp = [&](const std::string& ext) { return ReplaceExt(JoinName(src, temp), ext); };
    auto moved = [&](const std::string& ext) { return JoinName(ReplaceExt(first, ext), FDestDir); };

    // Every check runs, so each missing piece shows its own message.
    auto checks = [&](const char* office, bool printer, bool port) {
        bool good = CheckOffice(office, true);
        good = CheckGhostscript(true) && good;
        if (printer) good = CheckPrinter(true, port) && good;
        return good;
    };

    // A Ghostscript step that listed an error has failed, whatever it left behind.
    auto clean = [&](auto step) {
        const int before = FErrors->Count();
        const bool result = step();
        return result && FErrors->Count() == before;
    };

    auto viaPostScript = [&](auto print) {
        const std::string ps = inTemp(".ps");
        const std::string pdf = inTemp(".pdf");
        target = moved(".pdf");
        bool good = print(ps);
        if (good) good = clean([&] { return TPs2pdf().Convert(ps, pdf); });
        if (good) good = MoveFileReplacing(pdf, target);
        return good;
    };

    ok = true;
    if (name == "doc2pdf") {
        ok = checks("Word", true, false) &&
             viaPostScript([&](const std::string& ps) { return TDoc2ps().Convert(src, ps); });
    } else if (name == "xls2pdf") {
        ok = checks("Excel", true, false) &&
             viaPostScript([&](const std::string& ps) { return TXls2ps().Convert(src, ps); });
    } else if (name == "ppt2pdf") {
        ok = checks("PowerPoint", true, false) &&
             viaPostScript([&](const std::string& ps) { return TPpt2ps().Convert(src, ps); });
    } else if (name == "mdb2pdf") {
        ok = checks("Access", true, true) &&
             viaPostScript([&](const std::string& ps) { return TMdb2ps().Convert(src, ps); });
    } else if (name == "tiff2pdf") {
        ok = checks("Word", false, false) &&
             viaPostScript([&](const std::string& ps) { return TTiff2ps().Convert(src, ps, temp); });
    } else if (name == "pdf2ppt") {
        ok = checks("PowerPoint", false, false);
        if (ok) {
            target = moved(".ppt");
            ok = clean([&] { return TPdf2bmp().Convert(src, inTemp(".bmp"), 0, 0); });
            // Pages there must be: a presentation without slides is no result.
            if (ok && !FileExists(ReplaceExt(inTemp(".bmp"), "_p0001.bmp"))) {
                ReportError("在进行 gs 转换时出错。\n没有生成任何页面。");
                ok = false;
            }
            if (ok) ok = TBmp2ppt().Convert(inTemp(".bmp"), inTemp(".ppt"));
            if (ok) ok = MoveFileReplacing(inTemp(".ppt"), target);
        }
    }
    return true;
}
