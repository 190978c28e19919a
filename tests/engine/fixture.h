// Test support for the engine: a main-window state over a temporary program folder and a
// message-box handler that records what would have been shown.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/host.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"

namespace vxtest {

struct RecordedMessage {
    std::string text;
    TMsgKind kind;
    bool autoClose;
};

// Makes a new folder under the temporary folder; the name may hold awkward characters.
// Returns it with a trailing "/".
inline std::string MakeTempFolder(const std::string& prefix = "vx-engine ") {
    std::string tmpl = GetTempDir() + prefix + "XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed for " + tmpl);
    return std::string(buf.data()) + "/";
}

// Removes a folder tree, making its folders writable first (tests make read-only ones).
inline void RemoveTree(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(path, ec))) return;
    if (fs::is_directory(fs::symlink_status(path, ec))) {
        chmod(path.c_str(), 0700);
        for (auto it = fs::recursive_directory_iterator(path, fs::directory_options::skip_permission_denied, ec);
             it != fs::recursive_directory_iterator(); it.increment(ec)) {
            if (it->is_directory(ec) && !it->is_symlink(ec)) chmod(it->path().c_str(), 0700);
        }
    }
    fs::remove_all(path, ec);
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out << content;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The main window as the engine sees it, over a fresh temporary program folder.
class TestMainState : public TMainState {
public:
    explicit TestMainState(const std::string& prefix = "vx engine 程序 ") {
        FAppPath = MakeTempFolder(prefix);
        FGsExe = FAppPath + "gs/gswin32c.exe";
        FSourceFiles = new TStringList;
        FSelection = new TStringList;
        FErrors = new TStringList;
        FMergeOrder = new TStringList;
    }
    ~TestMainState() override {
        delete FSourceFiles;
        delete FSelection;
        delete FErrors;
        delete FMergeOrder;
        RemoveTree(FAppPath);
    }
    TComponent* FindComponent(const std::string& name) const override {
        auto it = Components.find(name);
        return it == Components.end() ? nullptr : it->second;
    }
    // Components a test offers to the engine by name (not owned).
    std::map<std::string, TComponent*> Components;
};

// Base of engine tests: installs a TestMainState and a recording message box, and
// removes both afterwards.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApplication();
        state_ = std::make_unique<TestMainState>();
        SetMainState(state_.get());
        Messages().clear();
        Reply() = 1;
        SetShowMsgHandler(&EngineTest::Record);
    }
    void TearDown() override {
        SetShowMsgHandler(nullptr);
        SetMainState(nullptr);
        state_.reset();
    }

    TestMainState& State() { return *state_; }
    const std::string& AppPath() const { return state_->FAppPath; }
    std::vector<std::string> Errors() const { return state_->FErrors->ToVector(); }

    // The messages shown so far, and what the box answers (1 OK/Yes, 2 Cancel/No; always 2
    // when auto-closing).
    static std::vector<RecordedMessage>& Messages() {
        static std::vector<RecordedMessage> m;
        return m;
    }
    static int& Reply() {
        static int r = 1;
        return r;
    }

    // Lines of today's info.log (no trailing empty entry for the final line end).
    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        std::string text = ReadFile(state_->FLogDir + "info.log");
        size_t start = 0;
        while (start < text.size()) {
            size_t nl = text.find('\n', start);
            if (nl == std::string::npos) nl = text.size();
            lines.push_back(text.substr(start, nl - start));
            start = nl + 1;
        }
        return lines;
    }

    // The application object the waits handle messages with (offscreen), made once.
    static void EnsureApplication() {
        static bool done = false;
        if (done) return;
        done = true;
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Application->Initialize();
    }

private:
    static int Record(const std::string& text, TMsgKind kind, bool autoClose) {
        Messages().push_back({text, kind, autoClose});
        return autoClose ? 2 : Reply();
    }
    std::unique_ptr<TestMainState> state_;
};

}  // namespace vxtest
