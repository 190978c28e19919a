// Test support for the windows: the program's windows in-process over an isolated program
// folder, and runs of the built program through a link in a temporary folder.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/main.h"
#include "app/msgdlg.h"
#include "engine/definitions.h"
#include "platform/win/module.h"
#include "tests/e2e/e2e_support.h"

namespace apptest {

// File helpers shared with the end-to-end tests.
using e2e::Slurp;
using e2e::Spit;
using e2e::TempFolder;

inline void RemoveTree(const std::string& p) {
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
}

// A program folder of its own: the built program, its console program and helper linked in.
inline std::string MakeProgramFolder(const std::string& prefix = "vx app ") {
    std::string dir = TempFolder(prefix);
    std::string bin = VEXOMAT_BIN_DIR;
    symlink((bin + "/vexomat").c_str(), (dir + "vexomat").c_str());
    symlink((bin + "/gs").c_str(), (dir + "gs").c_str());
    symlink((bin + "/additional").c_str(), (dir + "additional").c_str());
    return dir;
}

// The windows in this process, as the program block makes them.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = MakeProgramFolder();
        SetModuleFileName((folder + "vexomat").c_str());
        Application->Initialize();
        Application->ResetTerminated();
        RegisterMainClasses();
        SetShowMsgHandler([](const std::string& text, TMsgKind kind, bool autoClose) {
            return Form_MsgDlg->ShowMsg(text, kind, autoClose);
        });
        SetParams({});
    }
    void TearDown() override {
        CloseWindows();
        Application->ProcessMessages();
        Application->ResetTerminated();
        RemoveTree(folder);
    }
    // Frees the program's two windows and forgets them as the main form and state.
    void CloseWindows() {
        delete Form_MsgDlg;
        Form_MsgDlg = nullptr;
        delete Form_main;
        Form_main = nullptr;
        SetMainState(nullptr);
        Application->SetMainForm(nullptr);
    }
    void CreateWindows() {
        Application->CreateForm(Form_main, "main.dfm");
        Application->CreateForm(Form_MsgDlg, "msgdlg.dfm");
    }
    // Shows the main window as Application->Run does (runs the show handler).
    void ShowMain() {
        Form_main->Show();
        Application->ProcessMessages();
    }
    std::string folder;
};

// Saves a screenshot when VEXOMAT_SCREENSHOTS names a folder (for looking at the windows).
inline void KeepScreenshot(TWinControl* w, const std::string& name) {
    const char* dir = std::getenv("VEXOMAT_SCREENSHOTS");
    if (dir && *dir) w->SaveScreenshot(IncludeTrailingPathDelimiter(dir) + name + ".png");
}

}  // namespace apptest
