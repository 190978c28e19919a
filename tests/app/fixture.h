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

namespace apptest {

inline std::string TempFolder(const std::string& prefix) {
    std::string tmpl = GetTempDir() + prefix + "XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    return std::string(buf.data()) + "/";
}

inline void RemoveTree(const std::string& p) {
    std::error_code ec;
    std::filesystem::remove_all(p, ec);
}

inline std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void Spit(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
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
        delete Form_MsgDlg;
        Form_MsgDlg = nullptr;
        delete Form_main;
        Form_main = nullptr;
        SetMainState(nullptr);
        Application->SetMainForm(nullptr);
        Application->ProcessMessages();
        Application->ResetTerminated();
        RemoveTree(folder);
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

struct RunResult {
    int exitCode = -1;
    std::string output;
};

// Runs the built program from a program folder with the arguments (no shell).
inline RunResult RunProgram(const std::string& programFolder, const std::vector<std::string>& args) {
    std::string out = programFolder + "run-output.txt";
    pid_t pid = fork();
    if (pid == 0) {
        FILE* f = std::fopen(out.c_str(), "w");
        if (f) { dup2(fileno(f), 1); dup2(fileno(f), 2); }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv;
        std::string prog = programFolder + "vexomat";
        argv.push_back(const_cast<char*>(prog.c_str()));
        for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(prog.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    RunResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.output = Slurp(out);
    return r;
}

// Saves a screenshot when VEXOMAT_SCREENSHOTS names a folder (for looking at the windows).
inline void KeepScreenshot(TWinControl* w, const std::string& name) {
    const char* dir = std::getenv("VEXOMAT_SCREENSHOTS");
    if (dir && *dir) w->SaveScreenshot(IncludeTrailingPathDelimiter(dir) + name + ".png");
}

}  // namespace apptest
