#include "engine/converters/doc2ps.h"

#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/officeCommon.h"
#include "engine/runner.h"
#include "platform/automation/olevariant.h"

bool TDoc2ps::Convert(const std::string& src, const std::string& dstPs) {
    return RunOfficeJob([&]() -> bool {
        OleVariant app = CreateOleObject("Word.Application");
        OfficeProcessMessages();
        // FileName, ConfirmConversions, ReadOnly, AddToRecentFiles, PasswordDocument,
        // PasswordTemplate, Revert, WritePasswordDocument, WritePasswordTemplate, Format
        OleVariant doc = app.Get("Documents")
                             .Call("Open", {src, EmptyParam, true, EmptyParam, EmptyParam,
                                            EmptyParam, false, EmptyParam, EmptyParam, 0});
        OfficeProcessMessages();
        if (RadioChecked("RadioButton_orientationL")) doc.Get("PageSetup").Put("Orientation", 1);
        if (RadioChecked("RadioButton_orientationP")) doc.Get("PageSetup").Put("Orientation", 0);

        int rangeMode = 0;
        std::string pages;
        if (RadioChecked("RadioButton_rangeEdit") && !EditText("Edit_range").empty()) {
            rangeMode = 4;
            pages = EditText("Edit_range");
        }
        int columns = 1, rows = 1;
        if (RadioChecked("RadioButton_pagesperside_2")) {
            columns = 2;
            rows = 1;
        }
        if (RadioChecked("RadioButton_pagesperside_4")) {
            columns = 2;
            rows = 2;
        }
        if (RadioChecked("RadioButton_pagesperside_6")) {
            columns = 3;
            rows = 2;
        }
        if (RadioChecked("RadioButton_pagesperside_8")) {
            columns = 4;
            rows = 2;
        }
        if (RadioChecked("RadioButton_pagesperside_16")) {
            columns = 4;
            rows = 4;
        }

        OleVariant setup = doc.Get("PageSetup");
        int paperWidth, paperHeight;
        if (setup.Get("Orientation").AsInt() == 1) {
            paperWidth = int(setup.Get("PageHeight").AsDouble() * 20);
            paperHeight = int(setup.Get("PageWidth").AsDouble() * 20);
        } else {
            paperWidth = int(setup.Get("PageWidth").AsDouble() * 20);
            paperHeight = int(setup.Get("PageHeight").AsDouble() * 20);
        }
        app.Put("ActivePrinter", "Generic Colour PostScript");

        std::vector<OleVariant> args{false,      false,      rangeMode,  dstPs,     EmptyParam,
                                     EmptyParam, 0,          1,          pages,     0,
                                     true,       EmptyParam, EmptyParam, EmptyParam};
        const int version = OfficeVersion("Word");
        if (version == 8) {
            doc.Call("PrintOut", args);
        } else if (version >= 9) {
            args.push_back(columns);
            args.push_back(rows);
            if (columns == 1 && rows == 1) {
                args.push_back(EmptyParam);
                args.push_back(EmptyParam);
            } else {
                args.push_back(paperWidth);
                args.push_back(paperHeight);
            }
            doc.Call("PrintOut", args);
        }
        OfficeProcessMessages();
        WaitForPrintFile(dstPs);
        doc.Put("Saved", true);
        app.Call("Quit");
        doc.Clear();
        setup.Clear();
        app.Clear();
        OfficeProcessMessages();
        return true;
    });
}

bool RunDoc2pdf(TRun& run) {
    return OfficeFunctionReady("Word", true, false) &&
           ViaPostScript(
               run, [&](const std::string& ps) { return TDoc2ps().Convert(run.Source(), ps); });
}
