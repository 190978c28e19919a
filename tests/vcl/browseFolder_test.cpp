#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/user/browseFolder.h"

namespace {

// What the callback saw, and how it answers.
struct Probe {
    std::vector<UINT> messages;
    std::vector<std::string> selections;
    std::string validated;
    std::string initialSelection;
    std::string status;
    int validateAnswer = 0;
    bool disableOk = false;
};

int Callback(HWND hwnd, UINT msg, LPARAM l, LPARAM data) {
    auto* p = reinterpret_cast<Probe*>(data);
    p->messages.push_back(msg);
    if (msg == BFFM_INITIALIZED) {
        if (!p->initialSelection.empty())
            SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE_,
                         reinterpret_cast<LPARAM>(p->initialSelection.c_str()));
        if (!p->status.empty())
            SendMessageA(hwnd, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(p->status.c_str()));
        if (p->disableOk) SendMessageA(hwnd, BFFM_ENABLEOK, 0, FALSE_);
    } else if (msg == BFFM_SELCHANGED) {
        char path[MAX_PATH];
        p->selections.push_back(
            SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(l), path) ? path : "");
    } else if (msg == BFFM_VALIDATEFAILEDA) {
        p->validated = reinterpret_cast<const char*>(l);
        return p->validateAnswer;
    }
    return 0;
}

class BrowseFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vx-browse-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        ASSERT_EQ(mkdir((dir_ + "/a").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((dir_ + "/a/b").c_str(), 0755), 0);
        bi_.lpfn = Callback;
        bi_.lParam = reinterpret_cast<LPARAM>(&probe_);
        bi_.pszDisplayName = name_;
    }
    void TearDown() override {
        SetBrowseFolderTestDriver(nullptr);
        rmdir((dir_ + "/a/新建文件夹").c_str());
        rmdir((dir_ + "/a/b").c_str());
        rmdir((dir_ + "/a").c_str());
        rmdir(dir_.c_str());
    }
    std::string Run() {
        LPITEMIDLIST r = SHBrowseForFolderA(&bi_);
        if (!r) return "<null>";
        char path[MAX_PATH];
        EXPECT_TRUE(SHGetPathFromIDListA(r, path));
        CoTaskMemFree(r);
        return path;
    }
    std::string dir_;
    Probe probe_;
    BROWSEINFOA bi_;
    char name_[MAX_PATH] = {};
};

}  // namespace

TEST_F(BrowseFolder, InitialSelectionFromTheCallbackThenOk) {
    probe_.initialSelection = dir_ + "/a";
    probe_.status = "状态";
    bi_.ulFlags = BIF_STATUSTEXT | BIF_RETURNONLYFSDIRS;
    std::string statusSeen;
    bool okSeen = false;
    SetBrowseFolderTestDriver([&](BrowseFolderDialog& d) {
        statusSeen = d.StatusText();
        okSeen = d.OkEnabled();
        EXPECT_TRUE(d.HasStatusLine());
        d.Select(dir_ + "/a/b");
        d.PressOk();
    });
    EXPECT_EQ(Run(), dir_ + "/a/b");
    EXPECT_EQ(std::string(name_), "b");
    ASSERT_GE(probe_.messages.size(), 3u);
    EXPECT_EQ(probe_.messages[0], BFFM_INITIALIZED);
    EXPECT_EQ(probe_.selections, (std::vector<std::string>{dir_ + "/a", dir_ + "/a/b"}));
    EXPECT_EQ(statusSeen, "状态");
    EXPECT_TRUE(okSeen);
}

TEST_F(BrowseFolder, CancelAndAnOpenDialogLeftByTheDriverGiveNull) {
    SetBrowseFolderTestDriver([](BrowseFolderDialog& d) { d.Cancel(); });
    EXPECT_EQ(Run(), "<null>");
    SetBrowseFolderTestDriver([](BrowseFolderDialog&) {});
    EXPECT_EQ(Run(), "<null>");
    // Closing the window by message is a cancel too.
    SetBrowseFolderTestDriver(
        [](BrowseFolderDialog& d) { SendMessageA(d.Window(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(Run(), "<null>");
}

TEST_F(BrowseFolder, DisabledOkIgnoresThePress) {
    probe_.disableOk = true;
    SetBrowseFolderTestDriver([](BrowseFolderDialog& d) {
        d.PressOk();
        EXPECT_FALSE(d.Done());
        SendMessageA(d.Window(), BFFM_ENABLEOK, 0, TRUE_);
        SendMessageA(d.Window(), WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(Run(), "/");
}

TEST_F(BrowseFolder, EditBoxValidation) {
    bi_.ulFlags = BIF_EDITBOX | BIF_VALIDATE | BIF_NEWDIALOGSTYLE;
    probe_.initialSelection = dir_ + "/a";
    // A typed sub-folder name is taken relative to the selection.
    SetBrowseFolderTestDriver([](BrowseFolderDialog& d) {
        EXPECT_EQ(d.EditText(), "a");
        d.SetEditText("b");
        d.PressOk();
    });
    EXPECT_EQ(Run(), dir_ + "/a/b");
    EXPECT_TRUE(probe_.validated.empty());

    // A name that is no folder goes to the callback; non-zero keeps the dialog open.
    probe_.validateAnswer = 1;
    bool stayedOpen = false;
    SetBrowseFolderTestDriver([&](BrowseFolderDialog& d) {
        d.SetEditText("nichts");
        d.PressOk();
        stayedOpen = !d.Done();
        d.SetEditText("b");
        d.PressOk();
    });
    EXPECT_EQ(Run(), dir_ + "/a/b");
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(probe_.validated, "nichts");

    // Zero closes the dialog without a folder.
    probe_.validateAnswer = 0;
    SetBrowseFolderTestDriver([](BrowseFolderDialog& d) {
        d.SetEditText("nichts");
        d.PressOk();
    });
    EXPECT_EQ(Run(), "<null>");
}

TEST_F(BrowseFolder, RootLimitsTheSelectionAndNewFolderIsMadeBelowIt) {
    bi_.pidlRoot = MakeItemIdList(dir_);
    bi_.ulFlags = BIF_NEWDIALOGSTYLE;
    SetBrowseFolderTestDriver([&](BrowseFolderDialog& d) {
        EXPECT_EQ(d.Selection(), dir_);
        d.Select("/");  // outside the root: refused
        EXPECT_EQ(d.Selection(), dir_);
        d.Select(dir_ + "/a");
        EXPECT_TRUE(d.HasNewFolderButton());
        EXPECT_TRUE(d.NewFolder());
        d.PressOk();
    });
    EXPECT_EQ(Run(), dir_ + "/a/新建文件夹");
    CoTaskMemFree(const_cast<ITEMIDLIST*>(bi_.pidlRoot));
}

TEST_F(BrowseFolder, TheWindowRunsUntilAMessageEndsIt) {
    // No driver: the real window, ended by the callback posting OK; a timer makes sure the
    // test cannot hang when the message were lost.
    struct Closer {
        static int Callback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
            if (msg == BFFM_INITIALIZED) {
                SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE_, data);
                PostMessageA(hwnd, WM_COMMAND, IDOK, 0);
            }
            return 0;
        }
    };
    static HWND shown = nullptr;
    std::string start = dir_ + "/a";
    bi_.lpfn = Closer::Callback;
    bi_.lParam = reinterpret_cast<LPARAM>(start.c_str());
    bi_.ulFlags = BIF_EDITBOX | BIF_STATUSTEXT;
    UINT_PTR guard = SetTimer(nullptr, 0, 5000, [](HWND, UINT, UINT_PTR, DWORD) {
        ADD_FAILURE() << "the dialog did not close within 5 s";
        PostQuitMessage(0);
    });
    EXPECT_EQ(Run(), start);
    KillTimer(nullptr, guard);
    (void)shown;
}

TEST_F(BrowseFolder, TheWindowOpensScrolledToADeepStartFolder) {
    // Forty folders come before the way down, so the start folder lies far below the top.
    for (int i = 0; i < 40; ++i) mkdir((dir_ + "/a" + std::to_string(100 + i)).c_str(), 0755);
    std::string deep = dir_ + "/z";
    mkdir(deep.c_str(), 0755);
    for (const char* level : {"/第一层", "/2", "/3", "/4", "/5", "/目标"}) {
        deep += level;
        mkdir(deep.c_str(), 0755);
    }
    struct Start {
        static int Callback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
            if (msg == BFFM_INITIALIZED) SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE_, data);
            return 0;
        }
    };
    bi_.lpfn = Start::Callback;
    bi_.lParam = reinterpret_cast<LPARAM>(deep.c_str());
    bi_.ulFlags = BIF_STATUSTEXT;
    bi_.pidlRoot = MakeItemIdList(dir_);
    bool seen = false;
    SetBrowseFolderWindowProbe([&](BrowseFolderDialog& d) {
        if (!d.SelectionInView || !d.SelectionInView()) return false;
        seen = true;
        const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
        if (keep && *keep) d.SaveScreenshot(std::string(keep) + "/browse-deep.png");
        d.PressOk();
        return true;
    });
    UINT_PTR guard = SetTimer(nullptr, 0, 10000, [](HWND, UINT, UINT_PTR, DWORD) {
        ADD_FAILURE() << "the start folder never came into view";
        PostQuitMessage(0);
    });
    EXPECT_EQ(Run(), deep);
    KillTimer(nullptr, guard);
    SetBrowseFolderWindowProbe(nullptr);
    EXPECT_TRUE(seen);
    CoTaskMemFree(const_cast<ITEMIDLIST*>(bi_.pidlRoot));
    std::filesystem::remove_all(dir_ + "/z");
    for (int i = 0; i < 40; ++i) rmdir((dir_ + "/a" + std::to_string(100 + i)).c_str());
}
