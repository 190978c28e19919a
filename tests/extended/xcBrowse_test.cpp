// The browse dialog driven through the folder browser's callback messages: the initial
// selection, the status text, the title line, validation, cancel, and the option rules.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "controls/extended/xcBrowse.h"
#include "controls/extended/xcUtils.h"
#include "platform/gdi/gdi.h"
#include "platform/user/metrics.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct Driver {
    explicit Driver(std::function<void(BrowseFolderDialog&)> f) {
        SetBrowseFolderTestDriver(std::move(f));
    }
    ~Driver() { SetBrowseFolderTestDriver(nullptr); }
};

struct Folders {
    Folders() {
        root = std::filesystem::temp_directory_path() / ("xcbrowse_" + std::to_string(::getpid()));
        std::filesystem::create_directories(root / "a" / "b");
    }
    ~Folders() { std::filesystem::remove_all(root); }
    std::string Path(const std::string& rel = "") const {
        return rel.empty() ? root.string() : (root / rel).string();
    }
    std::filesystem::path root;
};

constexpr TOptionsDir kMainWindow =
    Od(odOnlyDirectory) | Od(odStatusAvailable) | Od(odNewDialogStyle);

}  // namespace

TEST(XcBrowseDialog, StartsAtDirectoryAndReturnsTheChoice) {
    Folders f;
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(kMainWindow);
    d.Directory = f.Path("a");
    std::string initial;
    std::vector<std::string> changes;
    d.OnChange = [&](TObject*, const std::string& p) { changes.push_back(p); };
    Driver drv([&](BrowseFolderDialog& dlg) {
        initial = dlg.Selection();
        EXPECT_EQ(dlg.Flags(), UINT(0x0004 | 0x0040));
        dlg.Select(f.Path("a/b"));
        dlg.PressOk();
    });
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(initial, f.Path("a"));
    EXPECT_EQ(d.Directory, f.Path("a/b"));
    EXPECT_EQ(d.DisplayName, "b");
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.front(), f.Path("a"));
    EXPECT_EQ(changes.back(), f.Path("a/b"));
}

TEST(XcBrowseDialog, CancelLeavesDirectoryAndDisplayName) {
    Folders f;
    TXcBrowseForFolderDialog d(nullptr);
    d.Directory = f.Path("a");
    d.DisplayName = "kept";
    Driver drv([&](BrowseFolderDialog& dlg) {
        dlg.Select(f.Path("a/b"));
        dlg.Cancel();
    });
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(d.Directory, f.Path("a"));
    EXPECT_EQ(d.DisplayName, "kept");
}

TEST(XcBrowseDialog, StatusLineWithTheOldStyleAndTitleLineWithTheNew) {
    Folders f;
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(Od(odStatusAvailable));  // the old style: a status line
    d.Directory = f.Path("a");
    std::string status, title;
    Driver drv([&](BrowseFolderDialog& dlg) {
        status = dlg.StatusText();
        dlg.Select(f.Path("a/b"));
        EXPECT_EQ(dlg.StatusText(), f.Path("a/b"));
        d.StatusText = "x";
        dlg.Select(f.Path("a"));
        EXPECT_EQ(dlg.StatusText(), "x");
        dlg.Cancel();
    });
    d.Execute();
    EXPECT_EQ(status, f.Path("a"));

    d.SetOptions(kMainWindow);
    d.Title = "T";
    d.StatusText = "x";
    const TOptionsDir eff =
        TXcBrowseForFolderDialog::EffectiveOptions(d.Options(), ShellVersion(6, 0));
    EXPECT_EQ(d.TitleLine(eff), "T\rx");
    d.Title.clear();
    EXPECT_EQ(d.TitleLine(eff), "x");
    Driver drv2([&](BrowseFolderDialog& dlg) {
        title = dlg.Title();
        EXPECT_EQ(dlg.StatusText(), "");  // no status line is sent with the new style
        dlg.Cancel();
    });
    d.Execute();
    EXPECT_EQ(title, "x");
}

TEST(XcBrowseDialog, ValidationFailureAndAcceptChange) {
    Folders f;
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(kMainWindow | Od(odValidate));
    EXPECT_TRUE(d.Options() & Od(odEditBox));
    d.Directory = f.Path("a");
    std::vector<std::string> typed;
    bool close = false;
    d.OnValidateFailed = [&](TObject*, const std::string& t, bool& can) {
        typed.push_back(t);
        can = close;
    };
    d.OnAcceptChange = [&](TObject*, const std::string& p, bool& accept) {
        accept = p != f.Path("a/b");
    };
    Driver drv([&](BrowseFolderDialog& dlg) {
        dlg.Select(f.Path("a/b"));
        EXPECT_FALSE(dlg.OkEnabled());
        dlg.Select(f.Path("a"));
        EXPECT_TRUE(dlg.OkEnabled());
        dlg.SetEditText("nowhere");
        dlg.PressOk();
        EXPECT_FALSE(dlg.Done());  // the handler kept the dialog open
        close = true;
        dlg.PressOk();
        EXPECT_TRUE(dlg.Done());
    });
    EXPECT_FALSE(d.Execute());
    EXPECT_EQ(typed, (std::vector<std::string>{"nowhere", "nowhere"}));
    EXPECT_EQ(d.Directory, f.Path("a"));
}

TEST(XcBrowseDialog, OptionRulesAndShellReduction) {
    TXcBrowseForFolderDialog d(nullptr);
    EXPECT_EQ(d.Options(), Od(odStatusAvailable) | Od(odNewDialogStyle));
    EXPECT_EQ(d.Position, fpScreenCenter);
    EXPECT_EQ(d.RootDirectory(), fdNoSpecialFolder);
    d.SetOptions(d.Options() | Od(odValidate));
    EXPECT_TRUE(d.Options() & Od(odEditBox));
    d.SetOptions(d.Options() & ~Od(odEditBox));
    EXPECT_FALSE(d.Options() & Od(odValidate));
    d.SetOptions(d.Options() | Od(odUsageHint));
    EXPECT_FALSE(d.Options() & Od(odEditBox));
    d.SetOptions(d.Options() | Od(odIncludeUrls));
    EXPECT_TRUE(d.Options() & Od(odIncludeFiles));
    EXPECT_TRUE(d.Options() & Od(odEditBox));
    EXPECT_FALSE(d.Options() & Od(odUsageHint));

    const TOptionsDir all = 0x7FFF;
    EXPECT_FALSE(TXcBrowseForFolderDialog::EffectiveOptions(all, ShellVersion(5, 0)) &
                 Od(odUsageHint));
    EXPECT_FALSE(TXcBrowseForFolderDialog::EffectiveOptions(all, ShellVersion(5, 0)) &
                 Od(odNoNewButtonFolder));
    EXPECT_TRUE(TXcBrowseForFolderDialog::EffectiveOptions(all, ShellVersion(5, 0)) &
                Od(odEditBox));
    EXPECT_FALSE(TXcBrowseForFolderDialog::EffectiveOptions(all, ShellVersion(4, 72)) &
                 Od(odEditBox));
    EXPECT_FALSE(TXcBrowseForFolderDialog::EffectiveOptions(all, ShellVersion(4, 72)) &
                 Od(odNewDialogStyle));
    EXPECT_EQ(TXcBrowseForFolderDialog::FlagsOf(kMainWindow), UINT(0x0044));
    EXPECT_EQ(TXcBrowseForFolderDialog::FlagsOf(all), UINT(0xF3FF));
}

TEST(XcBrowseDialog, RootDirectoryAndItsPath) {
    Folders f;
    TXcBrowseForFolderDialog d(nullptr);
    d.SetRootDirectoryPath(f.Path());
    EXPECT_EQ(d.RootDirectory(), fdNoSpecialFolder);
    EXPECT_EQ(d.RootDirectoryPath(), f.Path());
    std::string root;
    Driver drv([&](BrowseFolderDialog& dlg) {
        root = dlg.Root();
        dlg.Cancel();
    });
    d.Execute();
    EXPECT_EQ(root, f.Path());
    d.SetRootDirectory(fdPersonal);
    const std::string personal = d.RootDirectoryPath();
    d.SetRootDirectory(fdNoSpecialFolder);  // keeps the special folder's path
    EXPECT_EQ(d.RootDirectoryPath(), personal);
}

TEST(XcBrowseDialog, PlacedByPositionInBothStyles) {
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    constexpr int w = 330, h = 420;  // the dialog's client size
    const int fx = GetSystemMetrics(SM_CXFIXEDFRAME), fy = GetSystemMetrics(SM_CYFIXEDFRAME),
              cap = GetSystemMetrics(SM_CYCAPTION);
    struct Row {
        TXcFolderPos pos;
        int x, y;
    };
    const Row rows[] = {
        {fpDefault, 0, 0},
        {fpScreenCenter, (work.right - work.left - w) / 2, (work.bottom - work.top - h) / 2},
        {fpFormCenter, 0, 0},  // no owner window to centre on: stays
        {fpTopLeft, work.left, work.top},
        {fpTopRight, work.right - w - fx, work.top},
        {fpBottomLeft, work.left, work.bottom - h - cap + fy},
        {fpBottomRight, work.right - w - fx, work.bottom - h - cap - fy},
    };
    for (TOptionsDir style : {Od(odStatusAvailable), kMainWindow})
        for (const Row& r : rows) {
            SCOPED_TRACE(int(r.pos) * 100 + int(style == kMainWindow));
            TXcBrowseForFolderDialog d(nullptr);
            d.SetOptions(style);
            d.Position = r.pos;
            RECT at{-1, -1, -1, -1}, client{};
            Driver drv([&](BrowseFolderDialog& dlg) {
                GetWindowRect(dlg.Window(), &at);
                GetClientRect(dlg.Window(), &client);
                dlg.Cancel();
            });
            d.Execute();
            EXPECT_EQ(at.left, r.x);
            EXPECT_EQ(at.top, r.y);
            EXPECT_EQ(client.right, w);  // moved, not sized
            EXPECT_EQ(client.bottom, h);
        }
}

TEST(XcBrowseDialog, StatusLineShortensALongPathToTheDialogsWidth) {
    Folders f;
    const std::string deep = "a/" + std::string(60, 'x') + "/" + std::string(60, 'y') + "/leaf";
    std::filesystem::create_directories(f.root / deep);
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(Od(odStatusAvailable));
    d.Directory = f.Path("a");
    std::string shortLine, longLine;
    Driver drv([&](BrowseFolderDialog& dlg) {
        shortLine = dlg.StatusText();
        dlg.Select(f.Path(deep));
        longLine = dlg.StatusText();
        dlg.Cancel();
    });
    d.Execute();
    EXPECT_EQ(shortLine, f.Path("a"));  // fits: as it stands
    EXPECT_NE(longLine, f.Path(deep));
    EXPECT_NE(longLine.find("..."), std::string::npos) << longLine;
    EXPECT_TRUE(EndsStr("/leaf", longLine)) << longLine;
    TCanvas canvas;
    EXPECT_LE(canvas.TextWidth(longLine), 330 - 2 * 12 - 8);  // the dialog less the line's margins
}

TEST(XcBrowseDialog, FormCenterCentresOnTheOwningForm) {
    constexpr int w = 330, h = 420;  // the dialog's client size
    TForm form(nullptr);
    form.SetBounds(200, 150, 400, 300);
    form.Show();
    auto* panel = new TPanel(&form);  // a dialog owned by a control of the form
    panel->SetParent(&form);
    struct Row {
        TComponent* owner;
        int x, y;
    };
    for (const Row& r :
         {Row{&form, 200 + (400 - w) / 2, 150 + (300 - h) / 2},
          Row{panel, 200 + (400 - w) / 2, 150 + (300 - h) / 2},
          Row{nullptr, 200 + (400 - w) / 2, 150 + (300 - h) / 2}}) {  // the active form
        TXcBrowseForFolderDialog d(r.owner);
        d.Position = fpFormCenter;
        RECT at{-1, -1, -1, -1};
        HWND owner = nullptr;
        Driver drv([&](BrowseFolderDialog& dlg) {
            GetWindowRect(dlg.Window(), &at);
            owner = WindowFromHandle(dlg.Window())->parent;
            dlg.Cancel();
        });
        d.Execute();
        EXPECT_EQ(owner, form.Handle());
        EXPECT_EQ(at.left, r.x);
        EXPECT_EQ(at.top, r.y);
    }
    // The form moved by the user: the dialog follows it.
    ASSERT_TRUE(SetWindowPos(form.Handle(), nullptr, 20, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    TXcBrowseForFolderDialog d(&form);
    d.Position = fpFormCenter;
    RECT at{};
    Driver drv([&](BrowseFolderDialog& dlg) {
        GetWindowRect(dlg.Window(), &at);
        dlg.Cancel();
    });
    d.Execute();
    EXPECT_EQ(at.left, 20 + (400 - w) / 2);
    EXPECT_EQ(at.top, 40 + (300 - h) / 2);
    form.Hide();
}

TEST(XcBrowseDialog, AHelpContextAddsAHelpButtonThatFollowsTheBottomEdge) {
    struct Found {
        HWND help = nullptr;
        RECT at{}, ok{};
    };
    auto find = [](BrowseFolderDialog& dlg) {
        Found f;
        f.help = FindWindowExA(dlg.Window(), nullptr, "button", "帮助(&H)");
        if (f.help) GetWindowRect(f.help, &f.at);
        GetWindowRect(GetDlgItem(dlg.Window(), IDOK), &f.ok);
        return f;
    };
    {
        TXcBrowseForFolderDialog d(nullptr);
        d.SetOptions(kMainWindow);
        Found none;
        Driver drv([&](BrowseFolderDialog& dlg) {
            none = find(dlg);
            dlg.Cancel();
        });
        d.Execute();
        EXPECT_EQ(none.help, nullptr);  // HelpContext 0: no button
    }
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(Od(odStatusAvailable) | Od(odNewDialogStyle) | Od(odNoNewButtonFolder));
    d.HelpContext = 7;
    d.Position = fpDefault;
    std::vector<Found> seen;
    int id = 0;
    Driver drv([&](BrowseFolderDialog& dlg) {
        seen.push_back(find(dlg));
        if (seen.back().help) id = WindowFromHandle(seen.back().help)->controlId;
        dlg.Resize(500, 600);
        seen.push_back(find(dlg));
        dlg.Resize(300, 380);
        seen.push_back(find(dlg));
        dlg.Cancel();
    });
    d.Execute();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(id, 0xFFFF);
    for (const Found& f : seen) {
        ASSERT_NE(f.help, nullptr);
        EXPECT_EQ(f.at.left, 12);       // the dialog lies at 0, 0 and has no frame here
        EXPECT_EQ(f.at.top, f.ok.top);  // beside the first button, at the same distance
        EXPECT_EQ(f.at.bottom - f.at.top, f.ok.bottom - f.ok.top);
        EXPECT_EQ(f.at.right - f.at.left, f.ok.right - f.ok.left);
    }
    EXPECT_EQ(seen[1].at.top - seen[0].at.top, 600 - 420);
    EXPECT_EQ(seen[2].at.top - seen[0].at.top, 380 - 420);
}

TEST(XcBrowseDialog, TheShownDialogShowsItsHelpButton) {
    Folders f;
    TXcBrowseForFolderDialog d(nullptr);
    d.SetOptions(Od(odStatusAvailable) | Od(odNewDialogStyle) | Od(odNoNewButtonFolder));
    d.HelpContext = 3;
    d.Title = "选择目标文件夹";
    d.Directory = f.Path("a/b");
    RECT help{}, ok{};
    bool shot = false;
    SetBrowseFolderWindowProbe([&](BrowseFolderDialog& dlg) {
        const HWND h = FindWindowExA(dlg.Window(), nullptr, "BUTTON", "帮助(&H)");
        if (!h || !dlg.SaveScreenshot) return false;
        GetWindowRect(h, &help);
        GetWindowRect(GetDlgItem(dlg.Window(), IDOK), &ok);
        const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
        const std::string png =
            (keep && *keep ? std::string(keep) + "/" : testing::TempDir()) + "browse-help.png";
        shot = dlg.SaveScreenshot(png);
        dlg.Cancel();
        return true;
    });
    EXPECT_FALSE(d.Execute());
    SetBrowseFolderWindowProbe(nullptr);
    EXPECT_TRUE(shot);
    EXPECT_EQ(help.top, ok.top);
    EXPECT_LT(help.right, ok.left);  // at the left, clear of OK
}
