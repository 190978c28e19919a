// The windows show their focus as they open: the main window's function box drawn on the
// highlight colour, the page-order window's first page list with its focus on page 1 once
// the pages are listed.
#include "app/arrange.h"
#include "platform/gdi/gdi.h"
#include "tests/app/fixture.h"
#include "tests/e2e/e2e_support.h"

using apptest::AppTest;

namespace {

int HighlightPixels(TWinControl* c) {
    gdi::Image img;
    if (!c->Peer()->grab(img)) return -1;
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == GetSysColor(COLOR_HIGHLIGHT);
    return n;
}

}  // namespace

TEST_F(AppTest, TheFunctionBoxShowsItsFocusAtStart) {
    CreateWindows();
    ShowMain();
    TWinControl* box = Form_main->ComboBoxEx_function;
    ASSERT_TRUE(box->Peer()->hasFocus());
    EXPECT_GT(HighlightPixels(box), box->Width() * box->Height() / 3);
    apptest::KeepScreenshot(Form_main, "main-window-focus-at-start");
}

TEST_F(AppTest, ThePageOrderWindowShowsItsFocusOnTheFirstPage) {
    const std::string pdf = folder + "two.pdf";
    e2e::WriteBlankPdf(pdf, 2);
    CreateWindows();
    ShowMain();
    Form_main->ComboBoxEx_function->SetItemIndex(17);
    Form_main->ComboBoxEx_functionChange(nullptr);
    Form_main->SelectSource(pdf);
    TTimer timer(nullptr);
    timer.SetInterval(50);
    bool looked = false;
    timer.OnTimer = [&](TObject*) {
        if (!Form_arrange || !Form_arrange->Visible() || Form_arrange->Panel_analyzing->Visible() ||
            looked)
            return;
        looked = true;
        TListBox* first = Form_arrange->ListBox_first;
        Application->ProcessMessages();
        EXPECT_TRUE(first->Peer()->hasFocus());
        EXPECT_EQ(first->Items()->Count(), 2);
        gdi::Image img;
        EXPECT_TRUE(first->Peer()->grab(img));
        // The dotted rectangle along page 1's top edge.
        const TRect r = first->ItemRect(0);
        int changes = 0;
        for (int x = r.Left + 1; x < r.Right - 1; ++x)
            changes += img.pixel(x, r.Top) != img.pixel(x - 1, r.Top);
        EXPECT_GT(changes, (r.Right - r.Left) / 3);
        EXPECT_EQ(first->ItemIndex(), -1);
        apptest::KeepScreenshot(Form_arrange, "page-order-focus-at-open");
        Form_arrange->SpeedButton_closeClick(nullptr);
    };
    timer.SetEnabled(true);
    Form_main->StyButton_arrangeClick(nullptr);
    EXPECT_TRUE(looked) << "the page-order window did not list the pages";
}
