// The program's start, phase by phase, as the program block runs it: the toolkit, the class
// registrations, the styled layer, reading the main form and the message box, and showing the
// main window. Each phase runs once per process, so this prints one line per phase (wall and
// processor time) instead of looping. For repeatable counts run it under
//   valgrind --tool=callgrind build-bench/bench/bench_startup
// and read the inclusive counts of the same functions.
#include <stdlib.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "app/main.h"
#include "app/msgdlg.h"
#include "controls/styled/styApplication.h"
#include "platform/vcl/forms.h"
#include "platform/win/module.h"

namespace {

double CpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

void Phase(const char* name, const std::function<void()>& run) {
    const auto wall = std::chrono::steady_clock::now();
    const double cpu = CpuSeconds();
    run();
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - wall).count();
    std::printf("%-28s %8.2f ms wall %8.2f ms cpu\n", name, ms, (CpuSeconds() - cpu) * 1000.0);
}

}  // namespace

int main() {
    // What the process spent before main: the dynamic loader linking the libraries, and
    // static set-up.
    std::printf("%-28s %8s    wall %8.2f ms cpu\n", "libraries (before main)", "",
                CpuSeconds() * 1000.0);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The built program's folder, so the forms find their config.ini and logs where it does.
    SetModuleFileName(VEXOMAT_BIN_DIR "/vexomat");
    SetParams({});
    Phase("toolkit", [] { Application->Initialize(); });
    Phase("class registrations", [] { RegisterMainClasses(); });
    Phase("styled layer", [] { StyLayerInitialize(); });
    Phase("main form (read, create)", [] { Application->CreateForm(Form_main, "main.dfm"); });
    Phase("message box form", [] { Application->CreateForm(Form_MsgDlg, "msgdlg.dfm"); });
    Phase("main window shown", [] {
        Form_main->Show();
        Application->ProcessMessages();
    });
    StyLayerFinalize();
    return 0;
}
