// The main window on the keyboard of a real X server (Xvfb, with and without a window
// manager), keys pressed by the X test tools: the function box shows its focus from the
// start, and after Tab takes it away and Shift+Tab brings it back; in the folder list the
// arrow keys and typing move the selection, opening nothing, and Return opens the folder; the
// page-order window opens with its focus on the first page.
// Skipped, with the reason, where Xvfb cannot start.
#include <cstdio>

#include "platform/gdi/gdi.h"
#include "tests/app/fixture.h"
#include "tests/app/xShot.h"
#include "tests/e2e/e2e_support.h"

namespace {

constexpr char kMainTitle[] = " Vexomat 5.44d";

// Client rectangles of the main window: the function box, the file list inside its frame.
struct Area {
    int l, t, r, b;
};
constexpr Area kFunctionBox{170, 99, 679, 121};
constexpr Area kFileList{309, 170, 664, 340};

class RealXKeyboard : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { folder_ = apptest::MakeProgramFolder("vx realx keys "); }
    void TearDown() override {
        if (pid_ > 0 && x_) x_->stop(pid_);
        x_.reset();
        apptest::RemoveTree(folder_);
    }
    // The program with no parameters; false (the test skipped or failed) when its window
    // does not come, or does not get the keyboard.
    bool StartProgram() {
        x_ = std::make_unique<xtest::XServer>(GetParam());
        if (!x_->failure().empty()) return false;
        pid_ = x_->start({folder_ + "vexomat"}, folder_ + "output.txt");
        if (!xtest::XServer::waitFor([&] { return x_->window(kMainTitle, main_, &mainId_); }, 60)) {
            ADD_FAILURE() << "the main window did not show within 60 s; the program said: "
                          << apptest::Slurp(folder_ + "output.txt");
            return false;
        }
        std::string focus;
        const bool keyboard = x_->keyboardOn(mainId_, 20, focus);
        if (!keyboard)
            ADD_FAILURE() << "the keyboard is on window " << focus << ", not on the main window";
        return keyboard;
    }
    void Key(const char* key) { x_->run({"xdotool", "key", key}); }
    void Click(const xtest::Geometry& w, int x, int y) {
        x_->run({"xdotool", "mousemove", std::to_string(w.left + x), std::to_string(w.top + y)});
        x_->run({"xdotool", "click", "1"});
    }
    void Shot(const std::string& name) { shots_.take(*x_, folder_, name); }
    TColor At(int x, int y) { return shots_.pixel(main_.left + x, main_.top + y); }
    TColor At(const xtest::Geometry& w, int x, int y) {
        return shots_.pixel(w.left + x, w.top + y);
    }
    int Highlighted(const Area& a) {
        int n = 0;
        for (int y = a.t; y < a.b; ++y)
            for (int x = a.l; x < a.r; ++x) n += At(x, y) == TColor(GetSysColor(COLOR_HIGHLIGHT));
        return n;
    }
    // The rows of an area holding dark pixels (text, icons), counted as runs of such rows.
    int DarkRowRuns(const Area& a) {
        int runs = 0;
        bool inRun = false;
        for (int y = a.t; y < a.b; ++y) {
            bool dark = false;
            for (int x = a.l; x < a.r && !dark; ++x) {
                const uint32_t v = ColorToRGB(At(x, y));
                dark = (v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF) < 3 * 0x80;
            }
            runs += dark && !inRun;
            inRun = dark;
        }
        return runs;
    }

    std::unique_ptr<xtest::XServer> x_;
    std::string folder_, mainId_;
    pid_t pid_ = 0;
    xtest::Geometry main_;
    xtest::ScreenShots shots_{GetParam() ? "_wm" : ""};
};

#define START_OR_SKIP()                                                      \
    do {                                                                     \
        if (!StartProgram()) {                                               \
            if (x_ && !x_->failure().empty()) GTEST_SKIP() << x_->failure(); \
            return;                                                          \
        }                                                                    \
    } while (0)

}  // namespace

TEST_P(RealXKeyboard, TheFunctionBoxShowsItsFocusFromTheStart) {
    START_OR_SKIP();
    const int area = (kFunctionBox.r - kFunctionBox.l) * (kFunctionBox.b - kFunctionBox.t);
    int lit = 0;
    auto litWithin = [&](const char* name, const std::function<bool(int)>& enough) {
        return xtest::XServer::waitFor(
            [&] {
                Shot(name);
                lit = Highlighted(kFunctionBox);
                return enough(lit);
            },
            20);
    };
    const auto shown = [&](int n) { return n > area / 2; };
    EXPECT_TRUE(litWithin("realx_function_focus_at_start", shown))
        << lit << " of " << area << " pixels of the focused function box highlighted; screenshot "
        << shots_.path();
    Key("Tab");
    EXPECT_TRUE(litWithin("realx_function_after_tab", [](int n) { return n == 0; }))
        << lit << " pixels of the function box highlighted after Tab; screenshot " << shots_.path();
    Key("shift+Tab");
    EXPECT_TRUE(litWithin("realx_function_after_shift_tab", shown))
        << lit << " of " << area << " pixels highlighted after Shift+Tab; screenshot "
        << shots_.path();
}

TEST_P(RealXKeyboard, ArrowsAndTypingChooseAFolderThatReturnOpens) {
    // A folder with three folders: one file of the function's kind in the first, three in
    // the second, none in the third. The program starts in it (the last file lay there).
    const std::string in = folder_ + "in/";
    for (const char* d : {"alpha", "beta", "bravo"}) ForceDirectories(in + d);
    apptest::Spit(in + "alpha/a.doc", "x");
    for (const char* f : {"b1.doc", "b2.doc", "b3.doc"}) apptest::Spit(in + "beta/" + f, "x");
    apptest::Spit(folder_ + "config.ini",
                  "[COMMON]\nLAST_CONVERTING_FUNCTION=1\nLAST_FILE=" + in + "gone.txt\n");
    START_OR_SKIP();
    // The function box, the drive box, then the folder list.
    Key("Tab");
    Key("Tab");
    int runs = 0;
    auto filesWithin = [&](const char* name, int seconds, int want) {
        return xtest::XServer::waitFor(
            [&] {
                Shot(name);
                runs = DarkRowRuns(kFileList);
                return runs == want;
            },
            seconds);
    };
    ASSERT_TRUE(filesWithin("realx_folder_at_start", 20, 0))
        << runs << " rows in the file list of a folder without files; screenshot " << shots_.path();
    // Down selects "alpha", "b" then "beta": neither opens (alpha's file would show).
    for (const char* key : {"Down", "b"}) {
        SCOPED_TRACE(key);
        Key(key);
        Sleep(1500);  // time for a wrong opening to show
        EXPECT_TRUE(filesWithin("realx_folder_after_key", 1, 0))
            << "the key opened a folder: " << runs << " rows in the file list; screenshot "
            << shots_.path();
    }
    Key("Return");
    EXPECT_TRUE(filesWithin("realx_folder_opened", 20, 3))
        << runs << " rows in the file list after Return, not beta's three files; screenshot "
        << shots_.path();
}

TEST_P(RealXKeyboard, ThePageOrderWindowOpensWithItsFocusOnTheFirstPage) {
    // The merge function chosen last, with a PDF of three pages.
    const std::string pdf = folder_ + "three.pdf";
    e2e::WriteBlankPdf(pdf, 3);
    apptest::Spit(folder_ + "config.ini",
                  "[COMMON]\nLAST_CONVERTING_FUNCTION=17\nLAST_FILE=" + pdf + "\n");
    START_OR_SKIP();
    Click(main_, 277, 495);  // the page order's button of the merge options
    xtest::Geometry order;
    ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window("页面顺序", order); }, 20))
        << "the page-order window did not open; the program said: "
        << apptest::Slurp(folder_ + "output.txt");
    // In the first page list (client 12,44, 71 x 227): page 1's text, and the dotted line of
    // the focus along its top edge, the longest run of pixels changing colour at every step
    // on one of the rows where that edge may lie (text makes no such run).
    auto dots = [&] {
        int most = 0;
        for (int y = 44; y < 52; ++y)
            for (int x = 15, run = 0; x < 82; ++x) {
                const bool step = At(order, x, y) != At(order, x - 1, y) &&
                                  At(order, x, y) == At(order, x - 2, y);
                run = step ? run + 1 : 0;
                most = std::max(most, run);
            }
        return most;
    };
    auto pageText = [&] {
        int dark = 0;
        for (int y = 48; y < 57; ++y)  // inside the row, off the focus rectangle's edges
            for (int x = 18; x < 76; ++x) dark += ColorToRGB(At(order, x, y)) == 0;
        return dark;
    };
    int seen = 0, text = 0;
    EXPECT_TRUE(xtest::XServer::waitFor(
        [&] {
            Shot("realx_page_order_at_open");
            text = pageText();
            seen = dots();
            return text > 10 && seen > 30;
        },
        30))
        << "the first page list shows no focus on page 1 (" << text << " pixels of text, a " << seen
        << "-pixel dotted run along its top edge); screenshot " << shots_.path();
    // Tab takes the focus to the insert button: the dots go.
    Key("Tab");
    EXPECT_TRUE(xtest::XServer::waitFor(
        [&] {
            Shot("realx_page_order_after_tab");
            seen = dots();
            return seen < 8;
        },
        20))
        << "a " << seen << "-pixel dotted run along page 1's top edge after Tab; screenshot "
        << shots_.path();
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutWindowManager, RealXKeyboard, ::testing::Bool(),
                         [](const auto& info) {
                             return info.param ? "WindowManager" : "BareServer";
                         });
