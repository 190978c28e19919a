// The program as a user meets it on a real X server (Xvfb), with the mouse and the keyboard
// of the X test tools: the main window painted whole from the start, hover frames that go
// when the mouse goes into another window, the keyboard back on the main window after a
// modal one, the focused check box's light dots on the black window, and Return or the
// keypad's Enter on the focused Start button. Skipped, with the reason, where Xvfb cannot start.
#include <cstdio>

#include "tests/app/fixture.h"
#include "tests/app/xShot.h"

namespace {

constexpr char kMainTitle[] = " Vexomat 5.44d";

// The built program with no parameters (interactive), in a program folder of its own.
class RealX : public ::testing::Test {
protected:
    void TearDown() override {
        if (pid_ > 0 && x_) x_->stop(pid_);
        x_.reset();
        apptest::RemoveTree(folder_);
    }
    // False (and the test skipped or failed) when the window does not come.
    bool StartProgram(bool windowManager) {
        x_ = std::make_unique<xtest::XServer>(windowManager);
        if (!x_->failure().empty()) return false;
        folder_ = apptest::MakeProgramFolder("vx realx ");
        pid_ = x_->start({folder_ + "vexomat"}, folder_ + "output.txt");
        if (!xtest::XServer::waitFor([&] { return x_->window(kMainTitle, main_, &mainId_); }, 60)) {
            ADD_FAILURE() << "the main window did not show within 60 s; the program said: "
                          << apptest::Slurp(folder_ + "output.txt");
            return false;
        }
        return true;
    }
    // A screenshot, kept where VEXOMAT_SCREENSHOTS says (else in the test's temporary
    // folder), its path in `path`.
    TBitmap& Shot(const std::string& name) { return shots_.take(*x_, folder_, name); }
    // A pixel of the main window's client area (the window has no frame of its own).
    TColor At(int x, int y) { return shots_.pixel(main_.left + x, main_.top + y); }
    // How many pixels of a client rectangle have the colour.
    int Count(int l, int t, int r, int b, TColor c) {
        int n = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x) n += At(x, y) == c;
        return n;
    }
    // The title row: black, with the white texts of the name and the X on it.
    bool TitleRowBlack(std::string& why) {
        Shot("realx_main_at_start");
        const int area = (main_.width - 4) * 22;
        const int black = Count(2, 1, main_.width - 2, 23, clBlack);
        const int white = Count(2, 1, main_.width - 2, 23, clWhite);
        char text[200];
        std::snprintf(text, sizeof text, "%d of %d title-row pixels black, %d white", black, area,
                      white);
        why = text;
        return black > area * 85 / 100 && white > 40;
    }
    // Waits until the main window shows painted whole.
    void WaitPainted() {
        std::string why;
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return TitleRowBlack(why); }, 20))
            << "the main window's title row is not black with white texts 20 s after start (" << why
            << "); screenshot " << shots_.path();
    }
    void ModalWindowGivesTheKeyboardBack();
    // The X keyboard focus comes to the window (its id as xwininfo writes it) within 20 s.
    bool KeyboardComesTo(const std::string& id, std::string& focus) {
        return x_->keyboardOn(id, 20, focus);
    }
    void ExpectKeyboardOnMain() {
        std::string focus;
        EXPECT_TRUE(KeyboardComesTo(mainId_, focus)) << "the keyboard focus is on window " << focus
                                                     << ", not on the main window " << mainId_;
    }
    void Click(int x, int y) {
        MouseTo(x, y);
        x_->run({"xdotool", "click", "1"});
    }
    void MouseTo(int x, int y) {
        x_->run({"xdotool", "mousemove", std::to_string(main_.left + x),
                 std::to_string(main_.top + y)});
    }

    std::unique_ptr<xtest::XServer> x_;
    std::string folder_, mainId_;
    pid_t pid_ = 0;
    xtest::Geometry main_;
    xtest::ScreenShots shots_;
};

#define START_OR_SKIP(wm)                                                    \
    do {                                                                     \
        if (!StartProgram(wm)) {                                             \
            if (x_ && !x_->failure().empty()) GTEST_SKIP() << x_->failure(); \
            return;                                                          \
        }                                                                    \
    } while (0)

int Brightness(TColor c) {
    const uint32_t v = ColorToRGB(c);
    return int((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) / 3;
}

}  // namespace

TEST_F(RealX, MainWindowIsPaintedWholeRightAfterStart) {
    START_OR_SKIP(false);
    WaitPainted();
    if (HasFatalFailure()) return;
    // The bare background around the ">>" buttons and below the title row.
    for (auto [x, y] : {std::pair{3, 60}, {300, 40}, {98, 300}, {680, 580}})
        EXPECT_EQ(At(x, y), clBlack) << x << "," << y << " in " << shots_.path();
}

TEST_F(RealX, HoverFrameGoesWhenTheMouseGoesIntoAnotherWindow) {
    START_OR_SKIP(false);
    WaitPainted();
    if (HasFatalFailure()) return;
    // The ">> FAQ" button: 90 x 22 at 6,141; its raised frame's shadow is its last row.
    const TColor shadow = TColor(ColorToRGB(clBtnShadow));
    auto frameShown = [&](const std::string& name) {
        Shot(name);
        return Count(7, 141 + 21, 95, 141 + 22, shadow) > 60;
    };
    struct Row {
        const char* into;
        int x, y;
    };
    const Row rows[] = {
        {"the function combo", 300, 110},
        {"the folder list", 200, 300},
        {"the file list", 450, 250},
        {"the bare background", 50, 400},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.into);
        MouseTo(50, 152);
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return frameShown("realx_hover_on"); }, 20))
            << "the button shows no raised frame under the mouse; screenshot " << shots_.path();
        MouseTo(row.x, row.y);
        EXPECT_TRUE(xtest::XServer::waitFor([&] { return !frameShown("realx_hover_left"); }, 20))
            << "the raised frame stays after the mouse went into " << row.into << "; screenshot "
            << shots_.path();
    }
}

// With or without a window manager the keyboard goes back to the window that was active
// before the modal one.
void RealX::ModalWindowGivesTheKeyboardBack() {
    // ">> 信息" opens the about window modally; its close button is at 164,338 (100 x 22).
    MouseTo(50, 178);
    x_->run({"xdotool", "click", "1"});
    xtest::Geometry about;
    ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window("Vexomat", about); }, 20))
        << "the about window did not show";
    Shot("realx_about_open");
    x_->run({"xdotool", "mousemove", std::to_string(about.left + 214),
             std::to_string(about.top + 349), "click", "1"});
    ASSERT_TRUE(xtest::XServer::waitFor([&] { return !x_->window("Vexomat", about); }, 20))
        << "the about window did not close";
    // The mouse off every window: keys go where the keyboard focus is, not under the mouse.
    x_->run({"xdotool", "mousemove", "1", "1"});
    // Back on the main window, without any click: the keyboard is its own.
    ExpectKeyboardOnMain();
    // Alt+S starts a run, which with no source chosen says so in the message box.
    x_->run({"xdotool", "key", "alt+s"});
    xtest::Geometry box;
    EXPECT_TRUE(xtest::XServer::waitFor([&] { return x_->window(" 信 息 ", box); }, 20))
        << "Alt+S did nothing after the about window closed";
    Shot("realx_after_modal_alt_s");
}

TEST_F(RealX, KeyboardReturnsToTheMainWindowAfterAModalWindow) {
    START_OR_SKIP(false);
    WaitPainted();
    if (HasFatalFailure()) return;
    ModalWindowGivesTheKeyboardBack();
}

TEST_F(RealX, KeyboardReturnsToTheMainWindowAfterAModalWindowUnderAWindowManager) {
    START_OR_SKIP(true);
    WaitPainted();
    if (HasFatalFailure()) return;
    ModalWindowGivesTheKeyboardBack();
}

// The toolkit's file and folder dialogs give the keyboard back to the main window too, closed
// by Escape or by choosing: Alt+F then opens the FAQ window without a click first.
TEST_F(RealX, KeyboardReturnsToTheMainWindowAfterAFileOrFolderDialog) {
    START_OR_SKIP(false);
    WaitPainted();
    if (HasFatalFailure()) return;
    struct Row {
        const char* dialog;
        std::pair<int, int> before;  // a click that makes the opening button shown, or none
        std::pair<int, int> button;
        const char* title;
        const char* closeKey;
    };
    const Row rows[] = {
        {"the source file dialog", {}, {654, 381}, "源文件", "Escape"},
        // Unchecking "与源文件同一路径" shows the destination's "...".
        {"the folder-browse dialog", {112, 421}, {662, 421}, "浏览文件夹", "Escape"},
        {"the folder-browse dialog, chosen", {}, {662, 421}, "浏览文件夹", "Return"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.dialog);
        if (row.before.first) Click(row.before.first, row.before.second);
        Click(row.button.first, row.button.second);
        xtest::Geometry dialog;
        std::string dialogId, focus;
        ASSERT_TRUE(
            xtest::XServer::waitFor([&] { return x_->window(row.title, dialog, &dialogId); }, 20))
            << "the dialog did not show";
        // A key typed before the dialog holds the keyboard would go elsewhere.
        ASSERT_TRUE(KeyboardComesTo(dialogId, focus))
            << "the dialog " << dialogId << " did not get the keyboard; it is on " << focus;
        x_->run({"xdotool", "mousemove", "1", "1"});
        x_->run({"xdotool", "key", row.closeKey});
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return !x_->window(row.title, dialog); }, 20))
            << "the dialog did not close";
        ExpectKeyboardOnMain();
    }
    x_->run({"xdotool", "key", "alt+f"});
    xtest::Geometry faqs;
    EXPECT_TRUE(xtest::XServer::waitFor([&] { return x_->window("Vexomat", faqs); }, 20))
        << "Alt+F did nothing after the dialogs closed";
    Shot("realx_after_dialogs_alt_f");
}

// A start that cannot go on (no log folder can be made: a file stands where it must go)
// says why in the message box, which a user started from a desktop sees, and then ends.
TEST_F(RealX, AStartThatCannotGoOnSaysWhyInTheMessageBox) {
    x_ = std::make_unique<xtest::XServer>(false);
    if (!x_->failure().empty()) GTEST_SKIP() << x_->failure();
    folder_ = apptest::MakeProgramFolder("vx realx ");
    apptest::Spit(folder_ + "logs", "a file, not a folder");
    pid_ = x_->start({folder_ + "vexomat"}, folder_ + "output.txt");
    xtest::Geometry box;
    std::string boxId;
    ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(" 错 误 ", box, &boxId); }, 60))
        << "no message box within 60 s; the program said: "
        << apptest::Slurp(folder_ + "output.txt");
    x_->run({"xdotool", "key", "--window", boxId, "Return"});
    int status = 0;
    const bool ended =
        xtest::XServer::waitFor([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, 20);
    ASSERT_TRUE(ended) << "the program did not end after its message box was closed";
    pid_ = 0;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    EXPECT_NE(apptest::Slurp(folder_ + "output.txt").find("无法创建日志文件夹"), std::string::npos);
}

TEST_F(RealX, AFocusedCheckBoxShowsLightDotsAroundItsCaptionOnBlack) {
    START_OR_SKIP(false);
    WaitPainted();
    // The caption of "自动显示" (the box at 440,521, 100 x 17), right of its mark.
    const int l = 456, t = 519, r = 542, b = 540;
    std::vector<TColor> before;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x) before.push_back(At(x, y));
    // What differs from the picture without the focus: how many, how many of them light dots
    // where black was.
    auto changes = [&](int& light) {
        int changed = 0;
        light = 0;
        size_t i = 0;
        for (int y = t; y < b; ++y)
            for (int x = l; x < r; ++x, ++i) {
                if (At(x, y) == before[i]) continue;
                ++changed;
                light += Brightness(before[i]) < 0x40 && Brightness(At(x, y)) > 0xC0;
            }
        return changed;
    };
    // Two clicks leave the box as it was, with the focus.
    MouseTo(447, 529);
    x_->run({"xdotool", "click", "1"});
    x_->run({"xdotool", "click", "1"});
    int changed = 0, light = 0;
    EXPECT_TRUE(xtest::XServer::waitFor(
        [&] {
            Shot("realx_check_focused");
            changed = changes(light);
            return changed > 40 && light * 10 >= changed * 9;
        },
        20))
        << changed << " pixels changed around the caption, " << light
        << " of them light dots on black; screenshot " << shots_.path();
    // Tab takes the focus away: the dots go.
    x_->run({"xdotool", "key", "Tab"});
    EXPECT_TRUE(xtest::XServer::waitFor(
        [&] {
            Shot("realx_check_unfocused");
            return changes(light) == 0;
        },
        20))
        << "the focus rectangle stays after Tab; screenshot " << shots_.path();
}

TEST_F(RealX, ReturnAndKeypadEnterPressTheFocusedStartButton) {
    START_OR_SKIP(false);
    WaitPainted();
    // A press on Start released off it gives it the focus without a click.
    MouseTo(625, 568);
    x_->run({"xdotool", "mousedown", "1"});
    MouseTo(300, 400);
    x_->run({"xdotool", "mouseup", "1"});
    xtest::Geometry box;
    std::string boxId, focus;
    ASSERT_TRUE(KeyboardComesTo(mainId_, focus)) << "the keyboard is not on the main window";
    ASSERT_FALSE(x_->window(" 信 息 ", box)) << "the press released off the button started a run";
    // With no source chosen a run says so in the message box; Return closes it again.
    for (const char* key : {"Return", "KP_Enter"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(KeyboardComesTo(mainId_, focus))
            << "the keyboard is not back on the main window";
        x_->run({"xdotool", "key", key});
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(" 信 息 ", box, &boxId); }, 20))
            << key << " on the focused Start button started no run; the program said: "
            << apptest::Slurp(folder_ + "output.txt");
        ASSERT_TRUE(KeyboardComesTo(boxId, focus)) << "the keyboard is not on the message box";
        x_->run({"xdotool", "key", "Return"});
        const bool closed =
            xtest::XServer::waitFor([&] { return !x_->window(" 信 息 ", box); }, 20);
        Shot(std::string("realx_after_") + key);
        ASSERT_TRUE(closed) << "the message box did not close; screenshot " << shots_.path();
    }
}

// Without a window manager too, the message box's caption drags it from where another
// program moved it, and again in its next showing.
TEST_F(RealX, TheCaptionDragsTheBoxAfterAnotherProgramMovedIt) {
    START_OR_SKIP(false);
    WaitPainted();
    if (HasFatalFailure()) return;
    xtest::Geometry box;
    std::string boxId, focus;
    auto open = [&] {
        x_->run({"xdotool", "key", "alt+s"});
        return xtest::XServer::waitFor([&] { return x_->window(" 信 息 ", box, &boxId); }, 20) &&
               KeyboardComesTo(boxId, focus);
    };
    auto boxAt = [&](int left, int top) {
        return xtest::XServer::waitFor(
            [&] { return x_->window(" 信 息 ", box) && box.left == left && box.top == top; }, 20);
    };
    ExpectKeyboardOnMain();
    ASSERT_TRUE(open()) << "Alt+S showed no message box holding the keyboard (it is on " << focus
                        << ")";
    x_->run({"xdotool", "windowmove", boxId, "120", "100"});
    ASSERT_TRUE(boxAt(120, 100)) << "the box did not move; it is at " << box.left << "," << box.top;
    for (int showing = 1; showing <= 2; ++showing) {
        SCOPED_TRACE("showing " + std::to_string(showing));
        const int left = box.left + 60, top = box.top + 40;
        // The middle of the caption: below its 3-pixel frame, in its 18 rows.
        x_->drag(box.left + box.width / 2, box.top + 12, 60, 40);
        EXPECT_TRUE(boxAt(left, top)) << "the caption did not drag the box to " << left << ","
                                      << top << "; it is at " << box.left << "," << box.top;
        if (showing == 2) break;
        x_->run({"xdotool", "key", "Return"});
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return !x_->window(" 信 息 ", box); }, 20))
            << "the message box did not close";
        ExpectKeyboardOnMain();
        ASSERT_TRUE(open()) << "the message box did not open again";
    }
}
