// A meter draws each step at once on its window's image; a repaint of that window asked for
// before the step (a colour change, a control moved away) must still happen at the next paint.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "controls/styled/styProgress.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

struct MeterOnForm {
    // On the form itself, or on a panel filling the form.
    explicit MeterOnForm(bool onPanel) : form(new TForm(nullptr)) {
        form->SetBorderStyle(bsNone);
        form->SetBounds(0, 0, 240, 120);
        form->SetColor(clWhite);
        holder = form.get();
        if (onPanel) {
            auto* panel = new TPanel(form.get());
            panel->SetParent(form.get());
            panel->SetBounds(0, 0, 240, 120);
            panel->BevelOuter = TBevelCut::bvNone;
            panel->SetColor(clWhite);
            holder = panel;
        }
        bar = new TStyProgress(form.get());
        bar->SetParent(holder);
        bar->SetBounds(10, 10, 120, 20);
        form->Show();
        Application->ProcessMessages();
        Shot();  // painted once: what follows changes a window already shown
    }
    TBitmap& Shot() {
        EXPECT_TRUE(form->SaveScreenshot(path));
        shot.LoadFromFile(path);
        return shot;
    }
    TColor At(int x, int y) { return shot.Canvas()->Pixel(x, y); }
    std::unique_ptr<TForm> form;
    TWinControl* holder;
    TStyProgress* bar;
    TBitmap shot;
    std::string path = ::testing::TempDir() + "stymeter_repaint_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
};

struct Row {
    const char* name;
    bool onPanel;
};
const Row kRows[] = {{"on the form", false}, {"on a panel", true}};

}  // namespace

TEST(StyMeterRepaint, ColourChangeBeforeAStepStillRepaints) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        MeterOnForm m(row.onPanel);
        EXPECT_EQ(m.At(200, 100), clWhite);
        // The colour changes, then the meter steps before any message is handled.
        m.holder->SetColor(clBlack);
        m.bar->SetPosition(50);
        Application->ProcessMessages();
        m.Shot();
        EXPECT_EQ(m.At(200, 100), clBlack);
        EXPECT_NE(m.At(10, 20), clBlack);  // the bar's bevel
        // A step with no repaint pending shows the bar's new state on the new background.
        m.bar->SetPosition(100);
        m.Shot();
        EXPECT_EQ(m.At(200, 100), clBlack);
    }
}

TEST(StyMeterRepaint, MovedMeterLeavesNoImageBehind) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        MeterOnForm m(row.onPanel);
        m.bar->SetPosition(50);
        m.Shot();
        EXPECT_NE(m.At(11, 11), clWhite);  // the bar's frame or its bars
        m.bar->SetBounds(100, 80, m.bar->Width(),
                         m.bar->Height());  // its width already fitted to its bars
        m.bar->SetPosition(60);
        m.Shot();
        for (int x : {10, 11, 50, 99})
            for (int y : {10, 11, 20, 29}) EXPECT_EQ(m.At(x, y), clWhite) << x << "," << y;
        EXPECT_NE(m.At(106, 90), clWhite);  // the first small bar in its new place
    }
}

TEST(StyMeterRepaint, StepBeforeTheFirstPaintShowsTheWholeWindow) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 200, 80);
    form->SetColor(clBlack);
    auto* bar = new TStyProgress(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(10, 10, 120, 20);
    form->Show();
    bar->SetPosition(30);  // drawn at once on an image nothing has painted yet
    const std::string path = ::testing::TempDir() + "stymeter_repaint_first.png";
    ASSERT_TRUE(form->SaveScreenshot(path));
    TBitmap shot;
    shot.LoadFromFile(path);
    EXPECT_EQ(shot.Canvas()->Pixel(180, 70), clBlack);
    EXPECT_EQ(shot.Canvas()->Pixel(5, 5), clBlack);
}
