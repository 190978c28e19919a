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
#include <type_traits>
#include <vector>

#include "engine/constants.h"
#include "engine/host.h"
#include "engine/optionControls.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

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
        for (auto it = fs::recursive_directory_iterator(
                 path, fs::directory_options::skip_permission_denied, ec);
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

// Stands in for the main window's up-down counters: answers the position message the way
// the common controls' up-down window does.
class TestUpDown : public TWinControl {
public:
    static constexpr UINT kGetPos32 = 0x0400 + 114;  // UDM_GETPOS32
    explicit TestUpDown(TComponent* owner) : TWinControl(owner) {}
    std::string ClassName() const override { return "TTestUpDown"; }
    int Position = 0;
    void WndProc(TMessage& m) override {
        if (m.Msg == kGetPos32) {
            m.Result = Position;
            return;
        }
        TWinControl::WndProc(m);
    }
};

// The option panel of the main window as the converters read it: the group boxes with
// their radio buttons, check boxes, edits, combo boxes and up-downs, named as on the
// window and holding the window's built-in values. Every group box starts hidden, as
// after a change of function; Show() makes the groups of a function visible.
// Makes named controls owned by one component and finds them again by name; the engine
// reads option controls this way.
class ControlMaker {
public:
    ControlMaker() : owner_(new TComponent(nullptr)) {}
    const std::map<std::string, TComponent*>& All() const { return all_; }

    template <class T>
    T* Get(const std::string& name) const {
        T* c = dynamic_cast<T*>(all_.at(name));
        if (!c) throw std::runtime_error("wrong kind of control: " + name);
        return c;
    }

protected:
    template <class T>
    T* Make(TWinControl* parent, const std::string& name) {
        auto* c = new T(owner_.get());
        c->Name = name;
        // The stand-ins carry the names and kinds the converters read from the window.
        for (const auto& e : OptionControls)
            if (e.name == name && !IsOfOptionKind(c, e.kind))
                throw std::runtime_error("stand-in of another kind than the window's: " + name);
        if constexpr (std::is_base_of_v<TControl, T>) {
            if (parent) c->SetParent(parent);
        }
        all_[name] = c;
        return c;
    }

    std::unique_ptr<TComponent> owner_;
    std::map<std::string, TComponent*> all_;
};

class OptionPanel : public ControlMaker {
public:
    OptionPanel() {
        TGroupBox* g = Group("GroupBox_resolution");
        for (const char* n : {"RadioButton_resolution72", "RadioButton_resolution100",
                              "RadioButton_resolution150", "RadioButton_resolution300",
                              "RadioButton_resolution600", "RadioButton_resolutionEdit"})
            Radio(g, n);
        Edit(g, "Edit_resolution");
        Radio("RadioButton_resolution300")->SetChecked(true);

        g = Group("GroupBox_orientation");
        for (const char* n :
             {"RadioButton_orientationD", "RadioButton_orientationP", "RadioButton_orientationL"})
            Radio(g, n);
        Radio("RadioButton_orientationD")->SetChecked(true);

        g = Group("GroupBox_optimized");
        for (const char* n :
             {"RadioButton_optimizedD", "RadioButton_optimizedR", "RadioButton_optimizedS",
              "RadioButton_optimizedP", "RadioButton_optimizedEdit"})
            Radio(g, n);
        Edit(g, "Edit_optimized");
        Radio("RadioButton_optimizedD")->SetChecked(true);

        g = Group("GroupBox_quality");
        for (const char* n :
             {"RadioButton_qualityN", "RadioButton_qualityM", "RadioButton_qualityL",
              "RadioButton_qualityX", "RadioButton_qualityEdit"})
            Radio(g, n);
        Edit(g, "Edit_quality");
        Radio("RadioButton_qualityN")->SetChecked(true);

        g = Group("GroupBox_colordepth");
        for (const char* n :
             {"RadioButton_colordepth24", "RadioButton_colordepth8", "RadioButton_colordepth4",
              "RadioButton_colordepth1", "RadioButton_colordepth8g"})
            Radio(g, n);
        Radio("RadioButton_colordepth24")->SetChecked(true);

        g = Group("GroupBox_papersize");
        auto* combo = Make<TComboBox>(g, "ComboBox_papersize");
        combo->Style = csDropDownList;
        combo->Items()->Add("- 默认 -");
        combo->Items()->Add("- 用户定义 -");
        for (const auto& row : PaperSizes) combo->Items()->Add(row[0]);
        combo->SetItemIndex(-1);
        Edit(g, "Edit_papersize_width");
        Edit(g, "Edit_papersize_height");

        g = Group("GroupBox_layer");
        Radio(g, "RadioButton_layerS");
        Radio(g, "RadioButton_layerM");
        Radio("RadioButton_layerS")->SetChecked(true);

        g = Group("GroupBox_reduction");
        Make<TestUpDown>(g, "XcUpDown_reduction_quality")->Position = 5;

        for (auto& [name, group] : groups_) group->SetVisible(false);
    }

    // Hides every group box, then shows the named ones.
    void Show(std::initializer_list<const char*> names) {
        for (auto& [name, group] : groups_) group->SetVisible(false);
        for (const char* n : names) groups_.at(n)->SetVisible(true);
    }

    TRadioButton* Radio(const std::string& name) { return Get<TRadioButton>(name); }
    TEdit* Edit(const std::string& name) { return Get<TEdit>(name); }
    TComboBox* Combo(const std::string& name) { return Get<TComboBox>(name); }
    TGroupBox* GroupBox(const std::string& name) { return Get<TGroupBox>(name); }
    TestUpDown* UpDown(const std::string& name) { return Get<TestUpDown>(name); }

private:
    TGroupBox* Group(const std::string& name) {
        return groups_[name] = Make<TGroupBox>(nullptr, name);
    }
    TRadioButton* Radio(TGroupBox* parent, const std::string& name) {
        return Make<TRadioButton>(parent, name);
    }
    TEdit* Edit(TGroupBox* parent, const std::string& name) { return Make<TEdit>(parent, name); }

    std::map<std::string, TGroupBox*> groups_;
};

// The main window as the engine sees it, over a fresh temporary program folder.
class TestMainState : public TMainState {
public:
    explicit TestMainState(const std::string& prefix = "vx engine 程序 ")
        : TMainState([this](const std::string& name) -> TComponent* {
              auto it = Components.find(name);
              return it == Components.end() ? nullptr : it->second;
          }) {
        FAppPath = MakeTempFolder(prefix);
        FGsExe = FAppPath + "gs/gswin32c.exe";
    }
    ~TestMainState() { RemoveTree(FAppPath); }
    // Components a test offers to the engine by name (not owned).
    std::map<std::string, TComponent*> Components;

    // Creates the option panel (once) and offers its controls by name.
    OptionPanel& Options() {
        if (!options_) {
            options_ = std::make_unique<OptionPanel>();
            for (const auto& [name, c] : options_->All()) Components[name] = c;
        }
        return *options_;
    }

private:
    std::unique_ptr<OptionPanel> options_;
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

// An engine test with a scratch folder of its own (`dir`, ending in "/", named from the
// prefix) and files written into it.
class EngineFolderTest : public EngineTest {
protected:
    explicit EngineFolderTest(std::string prefix) : prefix_(std::move(prefix)) {}
    void SetUp() override {
        EngineTest::SetUp();
        dir = MakeTempFolder(prefix_);
    }
    void TearDown() override {
        RemoveTree(dir);
        EngineTest::TearDown();
    }
    std::string Write(const std::string& name, const std::string& text) {
        WriteFile(dir + name, text);
        return dir + name;
    }
    std::string dir;

private:
    std::string prefix_;
};

}  // namespace vxtest
