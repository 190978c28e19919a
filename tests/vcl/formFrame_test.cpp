// A form's frame follows its border style as Windows sizes and draws it, around the client
// size the form asks for: the caption and the frame are the window's, never the client's.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/user/metrics.h"
#include "platform/vcl/forms.h"

namespace {

// A borderless form with a 1-pixel border, the way a program asks for one.
class ThinBorderForm : public TForm {
public:
    using TForm::TForm;
    void CreateParams(TCreateParams& params) override {
        TForm::CreateParams(params);
        params.Style |= WS_BORDER;
    }
};

struct Row {
    const char* name;
    TFormBorderStyle style;
    bool thin;     // the 1-pixel border added to a borderless form
    int side;      // frame width on each side
    int caption;   // caption height above the client area
    TColor outer;  // the frame's outermost pixel at the bottom right
};

const Row kRows[] = {
    {"bsNone", bsNone, false, 0, 0, clNone},
    {"bsNone + WS_BORDER", bsNone, true, 1, 0, clWindowFrame},
    {"bsSingle", bsSingle, false, 3, 19, cl3DDkShadow},
    {"bsSizeable", bsSizeable, false, 4, 19, cl3DDkShadow},
    {"bsDialog", bsDialog, false, 3, 19, cl3DDkShadow},
    {"bsToolWindow", bsToolWindow, false, 3, 16, cl3DDkShadow},
    {"bsSizeToolWin", bsSizeToolWin, false, 4, 16, cl3DDkShadow},
};

}  // namespace

TEST(FormFrame, EachBorderStyleHasWindowsFrameAroundTheClientSize) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<TForm> form(row.thin ? new ThinBorderForm(nullptr) : new TForm(nullptr));
        form->SetBorderStyle(row.style);
        form->SetColor(clWhite);
        form->SetClientWidth(200);
        form->SetClientHeight(100);
        form->SetText("Frame");
        EXPECT_EQ(form->FrameWidth(), row.side);
        EXPECT_EQ(form->CaptionHeight(), row.caption);
        form->Show();
        Application->ProcessMessages();
        RECT client{}, window{};
        ASSERT_TRUE(GetClientRect(form->Handle(), &client));
        ASSERT_TRUE(GetWindowRect(form->Handle(), &window));
        EXPECT_EQ(client.right - client.left, 200);
        EXPECT_EQ(client.bottom - client.top, 100);
        EXPECT_EQ(window.right - window.left, 200 + 2 * row.side);
        EXPECT_EQ(window.bottom - window.top, 100 + 2 * row.side + row.caption);
        // The same from the style alone, as a program asks Windows.
        TCreateParams params;
        form->CreateParams(params);
        RECT r{0, 0, 200, 100};
        AdjustWindowRectEx(&r, params.Style, FALSE_, params.ExStyle);
        EXPECT_EQ(r.right - r.left, window.right - window.left);
        EXPECT_EQ(r.bottom - r.top, window.bottom - window.top);

        const std::string path = ::testing::TempDir() + "form_frame.png";
        ASSERT_TRUE(form->SaveScreenshot(path));
        TBitmap shot;
        shot.LoadFromFile(path);
        TCanvas* c = shot.Canvas();
        const int w = 200 + 2 * row.side, h = 100 + 2 * row.side + row.caption;
        ASSERT_EQ(shot.Width(), w);
        ASSERT_EQ(shot.Height(), h);
        // The client area starts right inside the frame and the caption.
        EXPECT_EQ(c->Pixel(row.side, row.side + row.caption), clWhite);
        EXPECT_EQ(c->Pixel(w - row.side - 1, h - row.side - 1), clWhite);
        if (row.side == 0) continue;
        EXPECT_EQ(c->Pixel(w - 1, h - 1), TColor(ColorToRGB(row.outer)));
        EXPECT_EQ(c->Pixel(w / 2, h - 1), TColor(ColorToRGB(row.outer)));
        if (row.thin) {
            EXPECT_EQ(c->Pixel(0, 0), TColor(ColorToRGB(clWindowFrame)));
            continue;
        }
        // A raised edge: light, then highlight, then the face out to the client area.
        EXPECT_EQ(c->Pixel(0, h / 2), TColor(ColorToRGB(cl3DLight)));
        EXPECT_EQ(c->Pixel(1, h / 2), TColor(ColorToRGB(clBtnHighlight)));
        EXPECT_EQ(c->Pixel(w - 2, h / 2), TColor(ColorToRGB(clBtnShadow)));
        EXPECT_EQ(c->Pixel(row.side - 1, h / 2), TColor(ColorToRGB(clBtnFace)));
        // The caption bar of the active window, parted from the client by a face line.
        EXPECT_EQ(c->Pixel(row.side + 60, row.side + 1), TColor(ColorToRGB(clActiveCaption)));
        EXPECT_EQ(c->Pixel(row.side + 60, row.side + row.caption - 1),
                  TColor(ColorToRGB(clBtnFace)));
    }
}

TEST(FormFrame, HitTestsFollowTheFrame) {
    struct HitRow {
        const char* name;
        TFormBorderStyle style;
        bool thin;
        int x, y, hit;
    };
    const HitRow rows[] = {
        {"borderless: all client", bsNone, false, 0, 0, HTCLIENT},
        {"thin border", bsNone, true, 0, 50, HTBORDER},
        {"thin border, inside", bsNone, true, 1, 50, HTCLIENT},
        {"dialog frame", bsDialog, false, 1, 60, HTBORDER},
        {"dialog caption", bsDialog, false, 40, 5, HTCAPTION},
        {"sizing frame", bsSizeable, false, 1, 60, HTLEFT},
        {"tool caption", bsToolWindow, false, 40, 17, HTCAPTION},
        {"tool client", bsToolWindow, false, 40, 20, HTCLIENT},
    };
    for (const HitRow& row : rows) {
        SCOPED_TRACE(row.name);
        std::unique_ptr<TForm> form(row.thin ? new ThinBorderForm(nullptr) : new TForm(nullptr));
        form->SetBorderStyle(row.style);
        form->SetClientWidth(200);
        form->SetClientHeight(100);
        EXPECT_EQ(form->HitTestFrame(row.x, row.y), row.hit);
    }
}

// Only a sizing frame lets the user resize a window (the window system is told the others'
// smallest and largest sizes); the program resizes a window of any style, shown or not.
TEST(FormFrame, OnlyASizingFrameIsSizeableWhileTheProgramResizesAny) {
    const std::pair<TFormBorderStyle, bool> rows[] = {
        {bsNone, false},   {bsSingle, false},     {bsSizeable, true},
        {bsDialog, false}, {bsToolWindow, false}, {bsSizeToolWin, true},
    };
    for (auto [style, sizeable] : rows) {
        SCOPED_TRACE(int(style));
        TForm form(nullptr);
        form.SetBorderStyle(style);
        EXPECT_EQ(form.Sizeable(), sizeable);
        form.SetClientWidth(200);
        form.SetClientHeight(100);
        form.Show();
        Application->ProcessMessages();
        // Larger, then smaller than the size first shown.
        for (auto [cw, ch] : {std::pair{257, 131}, std::pair{150, 60}}) {
            form.SetClientWidth(cw);
            form.SetClientHeight(ch);
            Application->ProcessMessages();
            RECT client{};
            ASSERT_TRUE(GetClientRect(form.Handle(), &client));
            EXPECT_EQ(client.right, cw);
            EXPECT_EQ(client.bottom, ch);
        }
        form.Hide();
    }
}
