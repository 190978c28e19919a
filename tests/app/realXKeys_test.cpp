// Keys and the focus on a real X server (Xvfb), with the keyboard and mouse of the X test
// tools: the focused check box shows light dots around its caption on the black main window,
// and Return or the keypad's Enter presses the focused Start button. Skipped, with the reason,
// where Xvfb cannot start.
#include "tests/app/fixture.h"
#include "tests/app/xserver.h"

namespace {

constexpr char kMainTitle[] = " Vexomat 5.44d";

// The built program with no parameters (interactive), in a program folder of its own.
class RealXKeys : public ::testing::Test {
protected:
    void TearDown() override {
        if (pid_ > 0 && x_) x_->stop(pid_);
        x_.reset();
        apptest::RemoveTree(folder_);
    }
    // False (and the test skipped or failed) when the window does not come painted.
    bool StartProgram() {
        x_ = std::make_unique<xtest::XServer>(false);
        if (!x_->failure().empty()) return false;
        folder_ = apptest::MakeProgramFolder("vx realx keys ");
        pid_ = x_->start({folder_ + "vexomat"}, folder_ + "output.txt");
        if (!xtest::XServer::waitFor([&] { return x_->window(kMainTitle, main_, &mainId_); }, 60)) {
            ADD_FAILURE() << "the main window did not show within 60 s; the program said: "
                          << apptest::Slurp(folder_ + "output.txt");
            return false;
        }
        // Painted: the bare background below the title row is black.
        if (!xtest::XServer::waitFor(
                [&] { return Shot("realxkeys_start") && At(3, 60) == clBlack; }, 20)) {
            ADD_FAILURE() << "the main window is not painted 20 s after start; screenshot "
                          << path_;
            return false;
        }
        return true;
    }
    // A screenshot, kept where VEXOMAT_SCREENSHOTS says (else in the program folder).
    bool Shot(const std::string& name) {
        const char* dir = std::getenv("VEXOMAT_SCREENSHOTS");
        path_ = (dir && *dir ? IncludeTrailingPathDelimiter(dir) : folder_) + name + ".png";
        shot_ = std::make_unique<TBitmap>();
        if (!x_->screenshot(path_)) return false;
        shot_->LoadFromFile(path_);
        return true;
    }
    // A pixel of the main window's client area.
    TColor At(int x, int y) { return shot_->Canvas()->Pixel(main_.left + x, main_.top + y); }
    // Waits until the X keyboard focus is on the window with this id (as the X tools write it).
    bool KeyboardOn(const std::string& id) {
        return xtest::XServer::waitFor(
            [&] {
                const std::string focus = x_->run({"xdotool", "getwindowfocus"});
                return std::stoul("0" + focus) == std::stoul(id, nullptr, 16);
            },
            20);
    }
    void MouseTo(int x, int y) {
        x_->run({"xdotool", "mousemove", std::to_string(main_.left + x),
                 std::to_string(main_.top + y)});
    }

    std::unique_ptr<xtest::XServer> x_;
    std::string folder_, path_, mainId_;
    pid_t pid_ = 0;
    xtest::Geometry main_;
    std::unique_ptr<TBitmap> shot_;
};

#define START_OR_SKIP()                                                      \
    do {                                                                     \
        if (!StartProgram()) {                                               \
            if (x_ && !x_->failure().empty()) GTEST_SKIP() << x_->failure(); \
            return;                                                          \
        }                                                                    \
    } while (0)

int Brightness(TColor c) {
    const uint32_t v = ColorToRGB(c);
    return int((v & 0xFF) + ((v >> 8) & 0xFF) + ((v >> 16) & 0xFF)) / 3;
}

}  // namespace

TEST_F(RealXKeys, AFocusedCheckBoxShowsLightDotsAroundItsCaptionOnBlack) {
    START_OR_SKIP();
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
            Shot("realxkeys_check_focused");
            changed = changes(light);
            return changed > 40 && light * 10 >= changed * 9;
        },
        20))
        << changed << " pixels changed around the caption, " << light
        << " of them light dots on black; screenshot " << path_;
    // Tab takes the focus away: the dots go.
    x_->run({"xdotool", "key", "Tab"});
    EXPECT_TRUE(xtest::XServer::waitFor(
        [&] {
            Shot("realxkeys_check_unfocused");
            return changes(light) == 0;
        },
        20))
        << "the focus rectangle stays after Tab; screenshot " << path_;
}

TEST_F(RealXKeys, ReturnAndKeypadEnterPressTheFocusedStartButton) {
    START_OR_SKIP();
    // A press on Start released off it gives it the focus without a click.
    MouseTo(625, 568);
    x_->run({"xdotool", "mousedown", "1"});
    MouseTo(300, 400);
    x_->run({"xdotool", "mouseup", "1"});
    xtest::Geometry box;
    std::string boxId;
    ASSERT_TRUE(KeyboardOn(mainId_)) << "the keyboard is not on the main window";
    ASSERT_FALSE(x_->window(" 信 息 ", box)) << "the press released off the button started a run";
    // With no source chosen a run says so in the message box; Return closes it again.
    for (const char* key : {"Return", "KP_Enter"}) {
        SCOPED_TRACE(key);
        ASSERT_TRUE(KeyboardOn(mainId_)) << "the keyboard is not back on the main window";
        x_->run({"xdotool", "key", key});
        ASSERT_TRUE(xtest::XServer::waitFor([&] { return x_->window(" 信 息 ", box, &boxId); }, 20))
            << key << " on the focused Start button started no run; the program said: "
            << apptest::Slurp(folder_ + "output.txt");
        ASSERT_TRUE(KeyboardOn(boxId)) << "the keyboard is not on the message box";
        x_->run({"xdotool", "key", "Return"});
        const bool closed =
            xtest::XServer::waitFor([&] { return !x_->window(" 信 息 ", box); }, 20);
        Shot(std::string("realxkeys_after_") + key);
        ASSERT_TRUE(closed) << "the message box did not close; screenshot " << path_;
    }
}
