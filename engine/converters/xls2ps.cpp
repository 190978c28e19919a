#include "engine/converters/xls2ps.h"

#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/officeCommon.h"
#include "engine/runner.h"
#include "platform/automation/olevariant.h"

bool TXls2ps::Convert(const std::string& src, const std::string& dstPs) {
    return RunOfficeJob([&]() -> bool {
        OleVariant app = CreateOleObject("Excel.Application");
        OfficeProcessMessages();
        std::vector<OleVariant> open(13, EmptyParam);
        open[0] = src;
        open[2] = true;
        OleVariant book = app.Get("Workbooks").Call("Open", open);
        OfficeProcessMessages();

        const std::pair<bool, int> orientations[] = {{RadioChecked("RadioButton_orientationL"), 2},
                                                     {RadioChecked("RadioButton_orientationP"), 1}};
        for (auto [checked, orientation] : orientations) {
            if (!checked) continue;
            const long long n = book.Get("Sheets").Get("Count").AsInt();
            for (long long i = 1; i <= n; ++i) {
                book.Get("Sheets", {i}).Call("Activate");
                app.Get("ActiveSheet").Get("PageSetup").Put("Orientation", orientation);
            }
        }

        if (RadioChecked("RadioButton_sheetsFirst")) book.Get("Sheets", {1}).Call("Select");
        if (RadioChecked("RadioButton_sheetsLast"))
            book.Get("Sheets", {book.Get("Sheets").Get("Count")}).Call("Select");
        if (RadioChecked("RadioButton_sheetsAll")) {
            const long long n = book.Get("Sheets").Get("Count").AsInt();
            std::vector<OleVariant> names;
            for (long long i = 1; i <= n; ++i) names.push_back(book.Get("Sheets", {i}).Get("Name"));
            book.Get("Sheets", {OleVariant(names)}).Call("Select");
        }

        OleVariant selected = app.Get("ActiveWindow").Get("SelectedSheets");
        if (OfficeVersion("Excel") == 8) {
            RunHelper(dstPs, "EXCEL.EXE");
            selected.Call("PrintOut", {EmptyParam, EmptyParam, EmptyParam, EmptyParam,
                                       "Generic Colour PostScript", true, EmptyParam});
        } else {
            selected.Call("PrintOut", {EmptyParam, EmptyParam, EmptyParam, EmptyParam,
                                       "Generic Colour PostScript", true, EmptyParam, dstPs});
        }
        OfficeProcessMessages();
        WaitForPrintFile(dstPs);
        book.Put("Saved", true);
        app.Call("Quit");
        selected.Clear();
        book.Clear();
        app.Clear();
        OfficeProcessMessages();
        return true;
    });
}

bool RunXls2pdf(TRun& run) {
    return OfficeFunctionReady("Excel", true, false) &&
           ViaPostScript(
               run, [&](const std::string& ps) { return TXls2ps().Convert(run.Source(), ps); });
}
