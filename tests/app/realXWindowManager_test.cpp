// The program's windows under a window manager (openbox on Xvfb), as a user meets them: the
// unattended message box drawn while the program holds, the caption of a window that gets
// the keyboard back, and windows the user cannot resize. Skipped, with the reason, where Xvfb
// or openbox cannot start.
#include <cstdio>

#include "tests/app/fixture.h"
#include "tests/app/xShot.h"

namespace {

constexpr char kMainTitle[] = " Vexomat 5.44d";
// The message box's caption: a dialog frame of 3 pixels, then 18 rows whose left end is the
// gradient's dark red and a line of the face colour (d4d0c8); its text is white while the box
// is active, d4d0c8 while it is not.
constexpr int kFrame = 3, kCaption = 19;
const TColor kInactiveText = TColor(0xC8D0D4);

class RealXWindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        x_ = std::make_unique<xtest::XServer>(/*windowManager=*/true);
        if (!x_->failure().empty()) GTEST_SKIP() << x_->failure();
        folder_ = apptest::MakeProgramFolder("vx realxwm ");
    }
    void TearDown() override {
        if (x_)
            for (pid_t p : started_) x_->stop(p);
        x_.reset();
        if (!folder_.empty()) apptest::RemoveTree(folder_);
    }

    pid_t Start(const std::vector<std::string>& argv) {
        const pid_t pid = x_->start(argv, folder_ + "output.txt");
        started_.push_back(pid);
        return pid;
    }
    void Stop(pid_t pid) {
        x_->stop(pid);
        std::erase(started_, pid);
    }
    static bool Running(pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == 0; }

    // The interactive program's main window, shown and holding the keyboard.
    bool StartInteractive(xtest::Geometry& main, std::string& mainId) {
        Start({folder_ + "vexomat"});
        if (!xtest::XServer::waitFor([&] { return x_->window(kMainTitle, main, &mainId); }, 60)) {
            ADD_FAILURE() << "the main window did not show within 60 s; the program said: "
                          << apptest::Slurp(folder_ + "output.txt");
            return false;
        }
        return KeyboardOn(mainId, "the main window");
    }
    // The X keyboard focus on the window within 20 s (a key typed before would go elsewhere).
    bool KeyboardOn(const std::string& id, const char* what) {
        std::string focus;
        if (x_->keyboardOn(id, 20, focus)) return true;
        ADD_FAILURE() << what << " (" << id << ") did not get the keyboard; it is on " << focus;
        return false;
    }

    // The screen now, kept where VEXOMAT_SCREENSHOTS says (else in the program folder).
    TBitmap& Shot(const std::string& name) { return shots_.take(*x_, folder_, name); }
    TColor At(const xtest::Geometry& g, int x, int y) {
        return shots_.pixel(g.left + x, g.top + y);
    }
    int Count(const xtest::Geometry& g, int l, int t, int r, int b, TColor c) {
        int n = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) n += At(g, x, y) == c;
        return n;
    }

    // The message box on the screen as it draws itself: its caption's left end dark red (the
    // screen behind it is white).
    bool BoxDrawn(const xtest::Geometry& box, const std::string& name) {
        Shot(name);
        const TColor c = At(box, kFrame + 1, kFrame + kCaption / 2);
        const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
        return r > 120 && r < 190 && g < 40 && b < 40;
    }
    // The caption's text pixels: white ones and d4d0c8 ones.
    std::pair<int, int> CaptionText(const xtest::Geometry& box, const std::string& name) {
        Shot(name);
        const int r = box.width / 2, b = kFrame + kCaption - 1;  // a face-coloured line below
        return {Count(box, kFrame, kFrame, r, b, clWhite),
                Count(box, kFrame, kFrame, r, b, kInactiveText)};
    }
    // Waits until the caption shows the box active (white text) or inactive (d4d0c8 text).
    void ExpectCaption(const xtest::Geometry& box, bool active, const char* when) {
        std::pair<int, int> text;
        const bool shown = xtest::XServer::waitFor(
            [&] {
                text = CaptionText(box,
                                   active ? "realxwm_caption_active" : "realxwm_caption_inactive");
                return active ? text.first > 10 && text.second == 0
                              : text.second > 10 && text.first == 0;
            },
            20);
        EXPECT_TRUE(shown) << "the caption does not show the box " << (active ? "" : "in")
                           << "active " << when << ": " << text.first << " white and "
                           << text.second << " d4d0c8 text pixels; screenshot " << shots_.path();
    }

    // The window manager's size hints of a window: its smallest and largest size.
    bool SizeHints(const std::string& id, xtest::Geometry& min, xtest::Geometry& max) {
        std::istringstream hints(x_->run({"xprop", "-id", id, "WM_NORMAL_HINTS"}));
        int found = 0;
        for (std::string l; std::getline(hints, l);) {
            found += std::sscanf(l.c_str(), " program specified minimum size: %d by %d", &min.width,
                                 &min.height) == 2;
            found += std::sscanf(l.c_str(), " program specified maximum size: %d by %d", &max.width,
                                 &max.height) == 2;
        }
        return found == 2;
    }

    // The message box opened by Alt+S (no source chosen yet), holding the keyboard.
    bool OpenBox(xtest::Geometry& box, std::string& boxId) {
        x_->run({"xdotool", "key", "alt+s"});
        if (!xtest::XServer::waitFor([&] { return x_->window(" 信 息 ", box, &boxId); }, 20)) {
            ADD_FAILURE() << "Alt+S showed no message box";
            return false;
        }
        return KeyboardOn(boxId, "the message box");
    }
    // Waits until the box shows with its top-left corner at (left, top).
    bool BoxAt(int left, int top, xtest::Geometry& box) {
        return xtest::XServer::waitFor(
            [&] { return x_->window(" 信 息 ", box) && box.left == left && box.top == top; }, 20);
    }
    // A drag of the window's caption (the message box's: no caption buttons), as a user makes it.
    void DragCaption(const xtest::Geometry& g, int dx, int dy) {
        x_->drag(g.left + g.width / 2, g.top + kFrame + kCaption / 2, dx, dy);
    }

    // The window a window is transient for (WM_TRANSIENT_FOR), as a number; 0 when none.
    unsigned long TransientFor(const std::string& id) {
        const std::string text = x_->run({"xprop", "-id", id, "WM_TRANSIENT_FOR"});
        const size_t at = text.find("window id # ");
        return at == std::string::npos ? 0 : std::stoul(text.substr(at + 12), nullptr, 16);
    }
    // The window manager functions a window's _MOTIF_WM_HINTS offers (flags and functions);
    // false when it has none.
    bool MotifFunctions(const std::string& id, unsigned& flags, unsigned& functions) {
        const std::string text = x_->run({"xprop", "-id", id, "_MOTIF_WM_HINTS"});
        const size_t at = text.find(" = ");
        return at != std::string::npos &&
               std::sscanf(text.c_str() + at + 3, "%x, %x", &flags, &functions) == 2;
    }

    std::unique_ptr<xtest::XServer> x_;
    std::string folder_;
    std::vector<pid_t> started_;
    xtest::ScreenShots shots_;
};

}  // namespace

// The unattended failure shows its box and holds the program for 11 seconds: the box is
// drawn however the window manager orders its map and exposures, and drawn again when a
// window that covered it goes away during the hold. Several runs, since the order varies.
TEST_F(RealXWindowManager, UnattendedMessageBoxIsDrawnWhileTheProgramHolds) {
    apptest::Spit(folder_ + "bad.pdf", "not a PDF at all\n");
    for (int run = 1; run <= 5; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        const pid_t pid = Start({folder_ + "vexomat", "-c", "pdf2jpg", "-s", folder_ + "bad.pdf",
                                 "-d", folder_ + "out/"});
        xtest::Geometry box;
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(" 信 息 ", box); }, 60))
            << "no message box within 60 s; the program said: "
            << apptest::Slurp(folder_ + "output.txt");
        // Until the program ends (the hold is 11 s) the box must show drawn.
        bool drawn = false;
        xtest::XServer::waitFor(
            [&] { return (drawn = BoxDrawn(box, "realxwm_unattended_box")) || !Running(pid); }, 60);
        ASSERT_TRUE(drawn) << "the box was never drawn while the program held; screenshot "
                           << shots_.path();
        ASSERT_TRUE(Running(pid)) << "the program ended before the box could be covered";

        // A window over the box that the window manager leaves alone, then gone.
        const pid_t cover =
            Start({"xmessage", "-geometry",
                   std::to_string(box.width + 40) + "x" + std::to_string(box.height + 40) + "+" +
                       std::to_string(box.left - 20) + "+" + std::to_string(box.top - 20),
                   "-xrm", "*overrideRedirect: true", "cover"});
        ASSERT_TRUE(xtest::XServer::waitFor(
            [&] { return !BoxDrawn(box, "realxwm_unattended_covered"); }, 20))
            << "the covering window did not show; screenshot " << shots_.path();
        Stop(cover);
        drawn = false;
        xtest::XServer::waitFor(
            [&] {
                return (drawn = BoxDrawn(box, "realxwm_unattended_uncovered")) || !Running(pid);
            },
            60);
        EXPECT_TRUE(drawn) << "the box was not drawn again after the window over it went, while "
                           << "the program held; screenshot " << shots_.path();
        Stop(pid);
    }
}

// Another program takes the keyboard from the message box, then the box gets it back, by
// the window manager's activation or by a click into it: its caption follows each time.
TEST_F(RealXWindowManager, CaptionShowsTheBoxActiveAgainWhenItGetsTheKeyboardBack) {
    xtest::Geometry main, box;
    std::string mainId, boxId;
    if (!StartInteractive(main, mainId)) return;
    // Alt+S with no source chosen says so in the message box.
    x_->run({"xdotool", "key", "alt+s"});
    ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(" 信 息 ", box, &boxId); }, 20))
        << "Alt+S showed no message box";
    ASSERT_TRUE(KeyboardOn(boxId, "the message box"));
    ExpectCaption(box, true, "when it shows");
    // Another program's window in the screen's corner, away from the box.
    Start({"xmessage", "-geometry", "160x60+0+0", "elsewhere"});
    xtest::Geometry other;
    std::string otherId;
    ASSERT_TRUE(
        xtest::XServer::waitFor([&] { return x_->window("xmessage", other, &otherId); }, 20))
        << "xmessage did not show";
    struct Row {
        const char* back;
        std::vector<std::string> action;
    };
    const Row rows[] = {
        {"by the window manager", {"xdotool", "windowactivate", boxId}},
        {"by a click into it",
         {"xdotool", "mousemove", std::to_string(box.left + box.width / 2),
          std::to_string(box.top + 60), "click", "1"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.back);
        x_->run({"xdotool", "windowactivate", otherId});
        ASSERT_TRUE(KeyboardOn(otherId, "the other program's window"));
        ExpectCaption(box, false, "while another program has the keyboard");
        x_->run(row.action);
        ASSERT_TRUE(KeyboardOn(boxId, "the message box"));
        ExpectCaption(box, true, "once it has the keyboard back");
    }
}

// None of the program's windows can be resized by the user: the window manager is told that
// each one's smallest and largest sizes are its size (it holds a user's Alt+right-drag to
// them too), and a request for another size leaves it as it is. The message box keeps its
// own size when it opens again.
TEST_F(RealXWindowManager, WindowsKeepTheirSizeWhateverTheWindowManagerIsAskedFor) {
    struct Row {
        const char* window;
        const char* key;  // opens it from the main window (none: the main window itself)
        const char* title;
    };
    const Row rows[] = {
        {"the main window", nullptr, kMainTitle}, {"the message box", "alt+s", " 信 息 "},
        {"the about window", "alt+i", "Vexomat"}, {"the FAQ window", "alt+f", "Vexomat"},
        {"the check window", "alt+c", "检查"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.window);
        xtest::Geometry main, shown, min, max;
        std::string mainId, id;
        if (!StartInteractive(main, mainId)) return;
        if (row.key) x_->run({"xdotool", "key", row.key});
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(row.title, shown, &id); }, 20))
            << row.window << " did not show";
        ASSERT_TRUE(SizeHints(id, min, max)) << x_->run({"xprop", "-id", id, "WM_NORMAL_HINTS"});
        EXPECT_EQ(min.width, shown.width);
        EXPECT_EQ(min.height, shown.height);
        EXPECT_EQ(max.width, shown.width);
        EXPECT_EQ(max.height, shown.height);
        // A larger size asked of the window manager, then a move as a fence: once the move
        // shows, the manager has dealt with the size too.
        const int left = shown.left > 100 ? shown.left - 60 : shown.left + 60;
        x_->run({"xdotool", "windowsize", id, std::to_string(shown.width + 80),
                 std::to_string(shown.height + 97), "windowmove", id, std::to_string(left),
                 std::to_string(shown.top)});
        xtest::Geometry now;
        ASSERT_TRUE(xtest::XServer::waitFor(
            [&] { return x_->window(row.title, now) && now.left == left; }, 20))
            << "the window did not move to " << left;
        EXPECT_EQ(now.width, shown.width);
        EXPECT_EQ(now.height, shown.height);
        if (std::string(row.title) == " 信 息 ") {
            // Closed and opened again, it has the size it computes for its message.
            x_->run({"xdotool", "key", "--window", id, "Return"});
            ASSERT_TRUE(xtest::XServer::waitFor([&] { return !x_->window(row.title, now); }, 20))
                << "the message box did not close";
            ASSERT_TRUE(KeyboardOn(mainId, "the main window"));
            x_->run({"xdotool", "key", "alt+s"});
            ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(row.title, now); }, 20))
                << "the message box did not open again";
            EXPECT_EQ(now.width, shown.width);
            EXPECT_EQ(now.height, shown.height);
        }
        for (pid_t p : std::vector<pid_t>(started_)) Stop(p);
    }
}

// The message box's caption drags it from wherever it was put from outside the program, by
// another program or by the window manager's Alt+drag, and again in its next showing.
TEST_F(RealXWindowManager, TheCaptionDragsTheBoxAfterAMoveFromOutside) {
    const bool altDrags[] = {false, true};
    for (const bool altDrag : altDrags) {
        SCOPED_TRACE(altDrag ? "moved by the window manager's Alt+drag"
                             : "moved by another program");
        xtest::Geometry main, box;
        std::string mainId, boxId;
        if (!StartInteractive(main, mainId)) return;
        ASSERT_TRUE(OpenBox(box, boxId));
        // Down the screen, crossing no edge of the main window (the window manager holds a
        // window back at other windows' edges).
        int left = box.left, top = box.top + 150;
        if (altDrag) {
            x_->drag(box.left + box.width / 2, box.top + box.height / 2, 0, 150, "alt");
        } else {
            left = 120, top = 100;
            x_->run({"xdotool", "windowmove", boxId, std::to_string(left), std::to_string(top)});
        }
        ASSERT_TRUE(BoxAt(left, top, box)) << "the box was not moved to " << left << "," << top
                                           << "; it is at " << box.left << "," << box.top;
        for (int showing = 1; showing <= 2; ++showing) {
            SCOPED_TRACE("showing " + std::to_string(showing));
            left = box.left + 60, top = box.top + 40;
            DragCaption(box, 60, 40);
            EXPECT_TRUE(BoxAt(left, top, box))
                << "the caption did not drag the box to " << left << "," << top << "; it is at "
                << box.left << "," << box.top;
            if (showing == 2) break;
            // Closed and opened again: it drags from where it shows then.
            ASSERT_TRUE(KeyboardOn(boxId, "the message box"));
            x_->run({"xdotool", "key", "Return"});
            ASSERT_TRUE(xtest::XServer::waitFor([&] { return !x_->window(" 信 息 ", box); }, 20))
                << "the message box did not close";
            ASSERT_TRUE(KeyboardOn(mainId, "the main window"));
            ASSERT_TRUE(OpenBox(box, boxId));
        }
        for (pid_t p : std::vector<pid_t>(started_)) Stop(p);
    }
}

// Every window opened from the main window belongs to it (WM_TRANSIENT_FOR) and offers the
// window manager no minimize or maximize, which its frame has no buttons for; the main
// window keeps its minimize. Asked to iconify such a window, the window manager takes the
// main window along or leaves both: the user who brings the main window back finds the
// window there with the keyboard, never a main window that answers nothing.
TEST_F(RealXWindowManager, OpenedWindowsBelongToTheMainWindowAndAreNotIconifiedAlone) {
    symlink((std::string(VEXOMAT_BIN_DIR) + "/faqs.rtf").c_str(), (folder_ + "faqs.rtf").c_str());
    BuildFunctionTable();
    int merge = 0;
    for (size_t i = 0; i < Functions.size(); ++i)
        if (Functions[i].Name == "pdfMerge") merge = int(i);
    ASSERT_GT(merge, 0);
    struct Row {
        const char* window;
        const char* key;  // opens it from the main window (none: a click on the page-order button)
        const char* title;
    };
    const Row rows[] = {
        {"the message box", "alt+s", " 信 息 "},        {"the about window", "alt+i", "Vexomat"},
        {"the FAQ window", "alt+f", "Vexomat"},         {"the check window", "alt+c", "检查"},
        {"the page-order window", nullptr, "页面顺序"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.window);
        if (!row.key) {
            // The merge function with a PDF chosen shows the page-order button.
            apptest::Spit(
                folder_ + "one.pdf",
                e2e::BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                               "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                               "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>"}));
            apptest::Spit(folder_ + "config.ini",
                          "[COMMON]\nLAST_CONVERTING_FUNCTION=" + std::to_string(merge) +
                              "\nLAST_FILE=" + folder_ + "one.pdf\n");
        }
        xtest::Geometry main, shown;
        std::string mainId, id;
        if (!StartInteractive(main, mainId)) return;
        if (row.key) {
            x_->run({"xdotool", "key", row.key});
        } else {
            // ">> 重排": 96 x 23 at 230,484 of the main window (it has no frame).
            x_->run({"xdotool", "mousemove", std::to_string(main.left + 278),
                     std::to_string(main.top + 495), "click", "1"});
        }
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(row.title, shown, &id); }, 30))
            << row.window << " did not show; screenshot "
            << (Shot("realxwm_not_opened"), shots_.path());
        ASSERT_TRUE(KeyboardOn(id, row.window));
        EXPECT_EQ(TransientFor(id), std::stoul(mainId, nullptr, 16))
            << x_->run({"xprop", "-id", id, "WM_TRANSIENT_FOR"});
        unsigned flags = 0, functions = 0;
        ASSERT_TRUE(MotifFunctions(id, flags, functions))
            << x_->run({"xprop", "-id", id, "_MOTIF_WM_HINTS"});
        EXPECT_TRUE(flags & 1) << "no functions named";
        EXPECT_FALSE(functions & 8) << "minimize offered";
        EXPECT_FALSE(functions & 16) << "maximize offered";
        ASSERT_TRUE(MotifFunctions(mainId, flags, functions));
        EXPECT_TRUE(!(flags & 1) || (functions & 8)) << "the main window offers no minimize";

        // The window manager's iconify, as its window menu and its keys ask for it.
        x_->run({"xdotool", "windowminimize", id});
        if (xtest::XServer::waitFor([&] { return !x_->viewable(id); }, 10)) {
            EXPECT_TRUE(xtest::XServer::waitFor([&] { return !x_->viewable(mainId); }, 20))
                << row.window << " was iconified alone; screenshot "
                << (Shot("realxwm_iconified_alone"), shots_.path());
            x_->run({"xdotool", "windowactivate", mainId});
        }
        EXPECT_TRUE(xtest::XServer::waitFor([&] { return x_->viewable(id); }, 20))
            << row.window << " did not come back with the main window";
        EXPECT_TRUE(KeyboardOn(id, row.window));
        for (pid_t p : std::vector<pid_t>(started_)) Stop(p);
    }
}
