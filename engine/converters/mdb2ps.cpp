#include "engine/converters/mdb2ps.h"

#include "engine/converters/gsOptions.h"
#include "engine/converters/officeCommon.h"
#include "engine/host.h"
#include "engine/runner.h"
#include "platform/automation/olevariant.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/printers.h"

namespace {

const char* const kPrinter = "Generic Colour PostScript";

// The main window to the front and its progress timer stopped, before the message.
void StopProgress() {
    if (TForm* form = MainForm("Form_main")) form->BringToFront();
    if (TTimer* timer = MainTimer("Timer_progress")) timer->SetEnabled(false);
}

}  // namespace

bool TMdb2ps::Convert(const std::string& src, const std::string& dstPs) {
    return RunOfficeJob([&]() -> bool {
        Printer()->SetPrinterIndex(-1);
        const std::string oldDefault = Printer()->Printers()[Printer()->PrinterIndex()];
        if (oldDefault != kPrinter) {
            SwitchDefaultPrinter(kPrinter);
            OfficeProcessMessages();
        }
        OleVariant app = CreateOleObject("Access.Application");
        OfficeProcessMessages();
        app.Call("OpenCurrentDatabase", {src, false});
        OfficeProcessMessages();

        std::string type;
        if (RadioChecked("RadioButton_typeR")) type = "report";
        if (RadioChecked("RadioButton_typeQ")) type = "query";
        if (RadioChecked("RadioButton_typeT")) type = "table";
        const std::string name = EditText("Edit_dataName");
        try {
            OleVariant cmd = app.Get("DoCmd");
            if (type == "report")
                cmd.Call("OpenReport", {name, 2});
            else if (type == "query")
                cmd.Call("OpenQuery", {name, 2});
            else if (type == "table")
                cmd.Call("OpenTable", {name, 2});
            RunHelper(dstPs, "MSACCESS.EXE");
            cmd.Call("PrintOut");
            OfficeProcessMessages();
        } catch (const std::exception& e) {
            ReportError(e);
            // The database program ends here, before the message: an unattended run
            // may end while the message is shown, and nothing of it may stay behind.
            app.Clear();
            StopProgress();
            ShowMsg("无法在数据库中找到“对象类型”或“对象名称”。", mkError,
                    MainState() && MainState()->FBatchMode);
            // The switched default printer goes back, and releasing the application ends it.
            if (oldDefault != kPrinter) SwitchDefaultPrinter(oldDefault);
            return false;
        }
        WaitForPrintFile(dstPs);
        app.Get("DoCmd").Call("Close");
        app.Call("CloseCurrentDatabase");
        app.Call("Quit");
        app.Clear();
        OfficeProcessMessages();
        if (oldDefault != kPrinter) {
            SwitchDefaultPrinter(oldDefault);
            OfficeProcessMessages();
        }
        return true;
    });
}

bool RunMdb2pdf(TRun& run) {
    return OfficeFunctionReady("Access", true, true) &&
           ViaPostScript(
               run, [&](const std::string& ps) { return TMdb2ps().Convert(run.Source(), ps); });
}
