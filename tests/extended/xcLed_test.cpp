// The LED: its pixels from a screenshot (on and off colours, the mask's corners showing the
// parent), the colour rules and the blink timer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "controls/extended/xcLed.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        RegisterXcLED();
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct Lamp {
    Lamp() : form(new TForm(nullptr)) {
        form->SetBounds(0, 0, 120, 80);
        panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 120, 80);
        panel->SetColor(clWhite);
        led = new TXcLED(form.get());
        led->SetParent(panel);
        led->SetBounds(10, 10, 18, 18);
    }
    // The lamp's pixel at (x, y) of its 17 x 17 image, from a screenshot of the panel.
    TColor Shot(int x, int y) {
        TBitmap shot;
        EXPECT_TRUE(panel->SaveScreenshot(path));
        shot.LoadFromFile(path);
        // The image is centred in the 18 x 18 control: offset 0.
        return shot.Canvas()->Pixel(10 + x, 10 + y);
    }
    std::unique_ptr<TForm> form;
    TPanel* panel;
    TXcLED* led;
    ~Lamp() { std::remove(path.c_str()); }
    // One file per process and lamp: runs of the suite side by side must not share it.
    std::string path = ::testing::TempDir() + "xcled_shot_" + std::to_string(::getpid()) + "_" +
                       std::to_string(reinterpret_cast<uintptr_t>(this)) + ".png";
};

}  // namespace

TEST(XcLED, PixelsOnOffAndTransparentCorners) {
    Lamp l;
    l.led->SetColorOn(clYellow);
    EXPECT_EQ(l.Shot(8, 10), clYellow);  // inside the lamp: the on colour
    EXPECT_EQ(l.Shot(6, 6), clWhite);    // the highlight
    EXPECT_EQ(l.Shot(2, 8), clGray);     // the ring
    for (auto [x, y] : {std::pair{0, 0}, {16, 0}, {0, 16}, {16, 16}, {3, 3}})
        EXPECT_EQ(l.Shot(x, y), clWhite) << x << "," << y;  // the panel shows through
    l.panel->SetColor(clNavy);
    EXPECT_EQ(l.Shot(0, 0), clNavy);
    l.led->SetStatus(false);
    EXPECT_EQ(l.Shot(8, 10), clRed);  // the off colour
    EXPECT_EQ(l.Shot(0, 0), clNavy);
}

TEST(XcLED, ColourRules) {
    TXcLED led(nullptr);
    EXPECT_EQ(led.Width(), 17);
    EXPECT_EQ(led.Height(), 17);
    EXPECT_EQ(led.Color(), clLime);
    EXPECT_TRUE(led.Status());
    EXPECT_FALSE(led.Active());
    EXPECT_EQ(led.Interval(), 1000u);
    led.SetColorOn(clYellow);
    EXPECT_EQ(led.Color(), clYellow);
    led.SetStatus(false);
    EXPECT_EQ(led.Color(), clRed);
    led.SetColorOn(clBlue);  // takes effect at the next switch-on only
    EXPECT_EQ(led.Color(), clRed);
    int changes = 0;
    led.OnChange = [&](TObject*) { ++changes; };
    led.SetStatus(true);
    EXPECT_EQ(led.Color(), clBlue);
    led.SetStatus(true);  // written again: the event again
    EXPECT_EQ(changes, 2);
    // Only exactly lime pixels were recoloured: the ring and highlight keep theirs.
    EXPECT_EQ(led.Image()->Canvas()->Pixel(8, 10), TColor(clBlue));
    EXPECT_EQ(led.Image()->Canvas()->Pixel(2, 8), TColor(clGray));
    EXPECT_EQ(led.Image()->Canvas()->Pixel(6, 6), TColor(clWhite));
    EXPECT_EQ(led.Mask()->Canvas()->Pixel(0, 0), TColor(clWhite));
    EXPECT_EQ(led.Mask()->Canvas()->Pixel(8, 8), TColor(clBlack));
}

TEST(XcLED, BlinksOnTheTimerUntilActiveGoesFalse) {
    TXcLED led(nullptr);
    led.SetInterval(20);
    int toggles = 0;
    led.OnChange = [&](TObject*) { ++toggles; };
    led.SetActive(true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (toggles < 3 && std::chrono::steady_clock::now() < deadline) {
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ASSERT_GE(toggles, 3) << "the blink timer did not fire three times within 5 s";
    EXPECT_EQ(led.Status(), toggles % 2 == 0);
    led.SetActive(false);
    const int stopped = toggles;
    const auto quiet = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    while (std::chrono::steady_clock::now() < quiet) {
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_EQ(toggles, stopped);
}
