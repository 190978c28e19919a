// The program block: the application, the main window and the message box.
#include <cstdlib>

#include "app/main.h"
#include "app/msgdlg.h"
#include "controls/styled/styApplication.h"
#include "engine/util.h"
#include "platform/automation/officeSession.h"
#include "platform/rtl/startTrace.h"
#include "platform/win/module.h"
#include "platform/win/runGuard.h"

int main(int argc, char** argv) {
    StartTrace("main");
    std::atexit([] { StartTrace("exit"); });
    SetModuleFileName(argv[0]);
    // Ctrl-C, SIGTERM and a closed terminal end the children and remove the run's folder.
    InstallRunGuard();
    std::vector<std::string> params(argv + 1, argv + argc);
    SetParams(params);
    // An unattended office job: the office starts while the windows are made.
    if (CommandLineRunsOfficeFunction()) office::StartSessionAhead();
    // fontconfig's set-up, the largest single cost of the start, runs beside the rest.
    Application->SetUpFontsAhead();
    Application->Initialize();
    StartTrace("toolkit");
    RegisterMainClasses();
    // The styled layer's theme state, timer pool and instance mutex exist before any window.
    StyLayerInitialize();
    StartTrace("classes");
    SetShowMsgHandler([](const std::string& text, TMsgKind kind, bool autoClose) {
        return Form_MsgDlg->ShowMsg(text, kind, autoClose);
    });
    Application->Title = "Vexomat";
    try {
        Application->CreateForm(Form_main, "main.dfm");
        Application->CreateForm(Form_MsgDlg, "msgdlg.dfm");
        StartTrace("forms");
    } catch (Exception& e) {
        std::fprintf(stderr, "vexomat: %s\n", e.Message.c_str());
        // Started from a desktop, nobody reads the error output: the message box says why
        // the program ends (an unattended run ends with its exit code alone).
        if (params.empty()) {
            try {
                if (!Form_MsgDlg) Application->CreateForm(Form_MsgDlg, "msgdlg.dfm");
                Form_MsgDlg->ShowMsg(e.Message, mkError, false);
            } catch (Exception& shown) {
                std::fprintf(stderr, "vexomat: %s\n", shown.Message.c_str());
            }
        }
        office::DropSessionAhead();
        // What the start made (the instance mutex's files among it) goes on this path too.
        StyLayerFinalize();
        return 1;
    }
    Application->Run();
    office::DropSessionAhead();
    StyLayerFinalize();
    return Application->ExitCode;
}
