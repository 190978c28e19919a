#include "engine/converters/ppt2ps.h"

#include "engine/converters/gsOptions.h"
#include "engine/converters/officeCommon.h"
#include "engine/runner.h"
#include "platform/automation/olevariant.h"

bool TPpt2ps::Convert(const std::string& src, const std::string& dstPs) {
    return RunOfficeJob([&]() -> bool {
        OleVariant app = CreateOleObject("Powerpoint.Application");
        OfficeProcessMessages();
        // FileName, ReadOnly, Untitled, WithWindow
        OleVariant pres = app.Get("Presentations").Call("Open", {src, true, true, false});
        OfficeProcessMessages();
        if (RadioChecked("RadioButton_orientationL"))
            pres.Get("PageSetup").Put("SlideOrientation", 1);
        if (RadioChecked("RadioButton_orientationP"))
            pres.Get("PageSetup").Put("SlideOrientation", 2);
        pres.Get("PrintOptions").Put("ActivePrinter", "Generic Colour PostScript");
        pres.Get("PrintOptions").Put("PrintInBackground", false);
        pres.Call("PrintOut", {EmptyParam, EmptyParam, dstPs, EmptyParam, EmptyParam});
        OfficeProcessMessages();
        WaitForPrintFile(dstPs);
        pres.Put("Saved", true);
        app.Call("Quit");
        pres.Clear();
        app.Clear();
        OfficeProcessMessages();
        return true;
    });
}

bool RunPpt2pdf(TRun& run) {
    return OfficeFunctionReady("PowerPoint", true, false) &&
           ViaPostScript(
               run, [&](const std::string& ps) { return TPpt2ps().Convert(run.Source(), ps); });
}
