// The styled controls in the windows as a user sees them: the main window's progress bar at
// 0, 50 and 100 percent read from screenshots, and the buttons of the main and page-order
// windows.
#include <gtest/gtest.h>

#include <map>

#include "app/arrange.h"
#include "platform/vcl/windowSystem.h"
#include "tests/app/fixture.h"

using namespace apptest;

namespace {

// The lit small bars of the main window's bar on its middle row, from a screenshot.
struct BarShot {
    int lit = 0;       // pixels in the bar colour
    int runs = 0;      // separate bars
    TColor space = 0;  // the colour between the bars
    TColor topLeft = 0;
};

BarShot ShootBar(TForm_main* w, const std::string& path) {
    EXPECT_TRUE(w->SaveScreenshot(path));
    TBitmap shot;
    shot.LoadFromFile(path);
    TStyProgress* bar = w->StyProgress_converting;
    const int y = bar->Top() + bar->Height() / 2;
    BarShot s;
    bool inRun = false;
    for (int x = bar->Left() + 1; x < bar->Left() + bar->Width() - 1; ++x) {
        bool on = shot.Canvas()->Pixel(x, y) == 153;
        if (on) ++s.lit;
        if (on && !inRun) ++s.runs;
        inRun = on;
    }
    s.space = shot.Canvas()->Pixel(bar->Left() + bar->Width() - 3, y);
    s.topLeft = shot.Canvas()->Pixel(bar->Left(), bar->Top());
    return s;
}

}  // namespace

TEST_F(AppTest, MainWindowBarAtZeroHalfAndFull) {
    CreateWindows();
    ShowMain();
    TStyProgress* bar = Form_main->StyProgress_converting;
    EXPECT_EQ(bar->Width(), 455);
    EXPECT_EQ(bar->Height(), 17);
    EXPECT_EQ(bar->SmallBar()->BarCount(), 157);
    EXPECT_EQ(bar->Bevel()->Extent(), 1);
    EXPECT_EQ(bar->Step, 5);
    const std::string path = folder + "bar.png";
    struct Row {
        int position, runs;
    };
    for (Row row : {Row{0, 0}, Row{50, 78}, Row{100, 157}}) {
        bar->SetPosition(row.position);
        Application->ProcessMessages();
        BarShot s = ShootBar(Form_main, path);
        EXPECT_EQ(s.runs, row.runs) << row.position;
        EXPECT_EQ(s.lit, row.runs) << row.position;  // one pixel each
        EXPECT_EQ(s.space, TColor(0xDFDFDF)) << row.position;
        EXPECT_EQ(s.topLeft, TColor(ColorToRGB(clBtnShadow))) << row.position;
        if (row.position == 50) KeepScreenshot(Form_main, "main_bar_50");
    }
    // Start and the Show button stand clear of the bar and of each other.
    Form_main->StyButton_show->SetVisible(true);
    TRect b = bar->BoundsRect();
    for (TControl* c : {static_cast<TControl*>(Form_main->StyButton_start),
                        static_cast<TControl*>(Form_main->StyButton_show)}) {
        TRect r = c->BoundsRect();
        EXPECT_TRUE(r.Left >= b.Right || r.Right <= b.Left || r.Top >= b.Bottom ||
                    r.Bottom <= b.Top)
            << c->Name;
    }
    TRect s = Form_main->StyButton_show->BoundsRect(), t = Form_main->StyButton_start->BoundsRect();
    EXPECT_TRUE(s.Right <= t.Left || t.Right <= s.Left || s.Bottom <= t.Top || t.Bottom <= s.Top);
    Form_main->SetStatus(0);
    KeepScreenshot(Form_main, "main_idle");
}

TEST_F(AppTest, MainWindowAtHalfOfARun) {
    CreateWindows();
    ShowMain();
    // What the driver does at the start of a run, then ten ticks of the progress timer.
    Form_main->StyButton_start->SetEnabled(false);
    Form_main->SetStatus(1);
    for (int i = 0; i < 10; ++i) Form_main->Timer_progressTimer(nullptr);
    EXPECT_EQ(Form_main->StyProgress_converting->Position(), 50);
    BarShot s = ShootBar(Form_main, folder + "run.png");
    EXPECT_EQ(s.runs, 78);
    EXPECT_EQ(Form_main->StyButton_start->State(), 1);  // drawn disabled
    KeepScreenshot(Form_main, "main_run_50");
    Form_main->StyButton_start->SetEnabled(true);
}

TEST_F(AppTest, ButtonsOfBothWindowsAreStyledWithGlyphs) {
    CreateWindows();
    ShowMain();
    for (TStyButton* b : {Form_main->StyButton_start, Form_main->StyButton_show,
                          Form_main->StyButton_arrange, Form_main->StyButton_2ndFile}) {
        EXPECT_FALSE(b->Glyph()->Empty()) << b->Name;
        EXPECT_EQ(b->Color(), TColor(0xDFDFDF)) << b->Name;
        EXPECT_TRUE(b->TabStop) << b->Name;
    }
    EXPECT_EQ(Form_main->StyButton_start->Hint(), "开始转换。");
    // The merge options hold the second-file and page-order buttons.
    for (size_t i = 0; i < Functions.size(); ++i)
        if (Functions[i].Name == "pdfMerge") Form_main->ComboBoxEx_function->SetItemIndex(int(i));
    Form_main->ComboBoxEx_functionChange(nullptr);
    Form_main->SaveScreenshot(folder + "merge.png");
    EXPECT_EQ(Form_main->StyButton_arrange->State(), 0);
    KeepScreenshot(Form_main, "main_merge");
    // The second-file button is narrower than its glyph and "..." side by side: the whole
    // glyph shows, every pixel of each of its colours.
    {
        TStyButton* second = Form_main->StyButton_2ndFile;
        ASSERT_TRUE(second->SaveScreenshot(folder + "second.png"));
        TBitmap shot;
        shot.LoadFromFile(folder + "second.png");
        TBitmap* glyph = second->Glyph();
        const TColor clear = second->GlyphObject()->TransparentColor();
        std::map<TColor, int> inGlyph, shown;
        for (int y = 0; y < glyph->Height(); ++y)
            for (int x = 0; x < glyph->Width(); ++x)
                if (TColor c = glyph->Canvas()->Pixel(x, y); c != clear) ++inGlyph[c];
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x)
                if (auto it = inGlyph.find(shot.Canvas()->Pixel(x, y)); it != inGlyph.end())
                    ++shown[it->first];
        inGlyph.erase(clBlack);  // the caption is black too
        ASSERT_FALSE(inGlyph.empty());
        for (auto [colour, n] : inGlyph) EXPECT_EQ(shown[colour], n) << std::hex << colour;
    }
    EXPECT_FALSE(Form_main->StyButton_show->Visible());
    // Start takes the keyboard focus like a push button.
    Form_main->StyButton_start->SetFocus();
    Application->ProcessMessages();
    EXPECT_TRUE(Form_main->StyButton_start->Focused());
    Application->CreateForm(Form_arrange, "arrange.dfm");
    Form_arrange->Show();
    Application->ProcessMessages();
    for (TStyButton* b : {Form_arrange->StyButton_insertBefore, Form_arrange->StyButton_insertAfter,
                          Form_arrange->StyButton_delete, Form_arrange->StyButton_show}) {
        EXPECT_FALSE(b->Glyph()->Empty()) << b->Name;
        EXPECT_EQ(b->NumGlyphs(), 1) << b->Name;
    }
    // Glyphs of one cell size share one strip: the main window's and these 16 x 16 ones.
    Form_arrange->Panel_analyzing->SetVisible(false);
    Form_arrange->SaveScreenshot(folder + "arrange.png");
    EXPECT_EQ(Form_arrange->StyButton_show->GlyphObject()->List(),
              Form_arrange->StyButton_delete->GlyphObject()->List());
    KeepScreenshot(Form_arrange, "arrange_buttons");
    // Disabled, the delete button's red cross (a glyph without black) is etched, not gone.
    {
        TStyButton* del = Form_arrange->StyButton_delete;
        auto shadowPixels = [&](const char* name) {
            EXPECT_TRUE(del->SaveScreenshot(folder + name));
            TBitmap shot;
            shot.LoadFromFile(folder + name);
            int n = 0;
            for (int y = 0; y < shot.Height(); ++y)
                for (int x = 0; x < shot.Width(); ++x)
                    n += shot.Canvas()->Pixel(x, y) == TColor(ColorToRGB(clBtnShadow));
            return n;
        };
        del->SetUseCaption(false);  // the disabled caption is drawn in the shadow colour too
        const int enabled = shadowPixels("delete_on.png");
        del->SetEnabled(false);
        Application->ProcessMessages();
        EXPECT_GE(shadowPixels("delete_off.png"), enabled + 40);  // the cross, less its light edge
        del->SetUseCaption(true);
        KeepScreenshot(del, "arrange_delete_disabled");
    }
    delete Form_arrange;
    Form_arrange = nullptr;
}

TEST_F(AppTest, TabReachesStartLikeAPushButton) {
    CreateWindows();
    ShowMain();
    Form_main->CheckBox_autoShow->SetFocus();
    Application->ProcessMessages();
    if (!Form_main->CheckBox_autoShow->Focused())
        GTEST_SKIP() << "no keyboard focus on this platform";
    bool reached = false;
    for (int i = 0; i < 12 && !reached; ++i) {
        ws::PressKey(9, 0);
        Application->ProcessMessages();
        reached = Form_main->StyButton_start->Focused();
    }
    EXPECT_TRUE(reached);
    Form_main->SaveScreenshot(folder + "focus.png");
    EXPECT_TRUE(Form_main->StyButton_start->FrameFlags() & bfFocused);
    // Space presses the focused button and releases it: one click.
    int clicks = 0;
    Form_main->StyButton_start->OnClick = [&](TObject*) { ++clicks; };
    ws::PressKey(32, 0);
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 1);
    // So do Return and the keypad's Enter, once each.
    ws::PressKey(13, 0);
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 2);
    ws::PressKey(13, 0, true);
    Application->ProcessMessages();
    EXPECT_EQ(clicks, 3);
}
// Bold captions read in the face standing in for 宋体: the W of "显示(W)" is a letter, not
// a solid block; the merge group's narrow "..." button shows all three dots inside its frame,
// beside its whole glyph.
TEST_F(AppTest, BoldLettersAndANarrowButtonsDotsRead) {
    CreateWindows();
    ShowMain();
    for (size_t i = 0; i < Functions.size(); ++i)
        if (Functions[i].Name == "pdfMerge") Form_main->ComboBoxEx_function->SetItemIndex(int(i));
    Form_main->ComboBoxEx_functionChange(nullptr);
    Form_main->StyButton_show->SetVisible(true);
    Application->ProcessMessages();
    KeepScreenshot(Form_main, "main_show_and_second_file");
    // The black columns of a button's caption, as runs [first, last] on the rows given.
    auto blackRuns = [&](TBitmap& shot, int top, int bottom, int from, int to) {
        std::vector<std::pair<int, int>> runs;
        for (int x = from; x < to; ++x) {
            bool black = false;
            for (int y = top; y < bottom; ++y)
                black = black || shot.Canvas()->Pixel(x, y) == clBlack;
            if (!black) continue;
            if (!runs.empty() && runs.back().second == x - 1)
                runs.back().second = x;
            else
                runs.push_back({x, x});
        }
        return runs;
    };
    {
        TStyButton* show = Form_main->StyButton_show;
        ASSERT_TRUE(show->SaveScreenshot(folder + "show.png"));
        TBitmap shot;
        shot.LoadFromFile(folder + "show.png");
        // The caption's characters stand apart; the W is the one before the last ")".
        const auto runs = blackRuns(shot, 3, shot.Height() - 3, 3, shot.Width() - 3);
        ASSERT_GE(runs.size(), 3u);
        const auto [left, right] = runs[runs.size() - 2];
        int top = shot.Height(), bottom = 0, black = 0;
        for (int y = 3; y < shot.Height() - 3; ++y)
            for (int x = left; x <= right; ++x)
                if (shot.Canvas()->Pixel(x, y) == clBlack) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        --bottom;  // the accelerator's underline is the cell's last black row
        int rowsWithThreeStrokes = 0;
        for (int y = top; y < bottom; ++y) {
            int strokes = 0;
            for (int x = left; x <= right; ++x) {
                const bool on = shot.Canvas()->Pixel(x, y) == clBlack;
                black += on;
                strokes += on && (x == left || shot.Canvas()->Pixel(x - 1, y) != clBlack);
            }
            rowsWithThreeStrokes += strokes >= 3;
        }
        const int area = (right - left + 1) * (bottom - top);
        EXPECT_LT(black * 100, area * 75) << black << " of " << area << " pixels of the W black";
        EXPECT_GE(rowsWithThreeStrokes, 2) << "the W shows no strokes apart";
    }
    {
        TStyButton* second = Form_main->StyButton_2ndFile;
        ASSERT_EQ(second->Width(), 24);
        ASSERT_TRUE(second->SaveScreenshot(folder + "second.png"));
        TBitmap shot;
        shot.LoadFromFile(folder + "second.png");
        // Right of the glyph (7 wide, from the client area's left) and inside the 2-pixel frame.
        const int glyphRight = 3 + second->Glyph()->Width();
        const auto dots = blackRuns(shot, 2, shot.Height() - 2, glyphRight, shot.Width() - 2);
        EXPECT_EQ(dots.size(), 3u) << "the caption shows " << dots.size() << " dots";
    }
}
