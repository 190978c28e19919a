// The caption painter's frame: the active state before and after the window system's word,
// the caption buttons a form's border asks for, the form's icon and the buttons drawn, the
// sizing cursors the frame shows through WM_NCHITTEST and WM_SETCURSOR, and the painter taking
// over the form again after its window was destroyed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/gradcap.h"
#include "platform/user/metrics.h"
#include "platform/win/icons.h"

namespace {

struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// A sizeable form with a painter, red to blue so that the title's own pixels tell apart.
struct CaptionForm {
    TForm form{nullptr};
    TGradientCaption* g;
    explicit CaptionForm(TFormBorderStyle bs = bsSizeable) {
        form.SetBorderStyle(bs);
        form.SetBounds(20, 20, 300, 120);
        g = new TGradientCaption(&form);
        g->ColorLeftActive = clRed;
        g->ColorRightActive = clBlue;
        g->ColorLeftInActive = clRed;
        g->ColorRightInActive = clBlue;
        g->CaptionText.SetCaption("标题");
    }
    ~CaptionForm() { form.Hide(); }
    void Shot(TBitmap& b, const std::string& name) {
        Application->ProcessMessages();
        // One file per test: ctest runs the tests of this group side by side.
        const std::string file = testing::TempDir() + "vx_gradcap_frame_" +
                                 testing::UnitTest::GetInstance()->current_test_info()->name() +
                                 ".png";
        EXPECT_TRUE(form.SaveScreenshot(file));
        b.LoadFromFile(file);
        const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
        if (keep && *keep) b.SaveToFile(std::string(keep) + "/" + name + ".png");
        std::filesystem::remove(file);
    }
};

uint32_t Px(TBitmap& b, int x, int y) { return b.Image().pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(CaptionFrame, AHiddenFormIsInactiveUntilItIsTheActiveWindow) {
    CaptionForm a;
    a.form.HandleNeeded();
    EXPECT_FALSE(a.g->Active());  // never shown: not the active window
    a.form.Show();
    Application->ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), a.form.Handle());
    EXPECT_TRUE(a.g->Active());
    // Another window taking the keyboard makes the frame say so.
    CaptionForm b;
    b.form.Show();
    Application->ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), b.form.Handle());
    EXPECT_FALSE(a.g->Active());
    EXPECT_TRUE(b.g->Active());
}

TEST(CaptionFrame, ButtonsFollowTheBorderStyleAndIcons) {
    using G = TGradientCaption;
    const unsigned close = 1u << G::cbClose, min = 1u << G::cbMinimize, max = 1u << G::cbMaximize,
                   help = 1u << G::cbHelp;
    const TBorderIcons sys = BorderIconBit(biSystemMenu), bmin = BorderIconBit(biMinimize),
                       bmax = BorderIconBit(biMaximize), bhelp = BorderIconBit(biHelp);
    struct Row {
        TFormBorderStyle bs;
        TBorderIcons icons;
        unsigned buttons;
    };
    for (Row row :
         {Row{bsSizeable, sys | bmin | bmax, close | min | max},
          Row{bsSizeable, sys | bmin, close | min | max},
          Row{bsSizeable, sys | bmin | bhelp, close | min | max},
          Row{bsSingle, sys | bhelp, close | help}, Row{bsDialog, sys | bmin | bhelp, close | help},
          Row{bsDialog, sys, close}, Row{bsToolWindow, sys | bmin | bmax | bhelp, close},
          Row{bsSizeable, bmin | bmax, 0}, Row{bsNone, sys | bmin | bmax, 0}}) {
        CaptionForm f(row.bs);
        f.form.BorderIcons = row.icons;
        EXPECT_EQ(f.g->CaptionButtons(), row.buttons) << int(row.bs) << " " << row.icons;
        const TRect caption = f.g->CaptionRect(), text = f.g->TextRect();
        if (row.bs == bsNone) {
            EXPECT_EQ(caption.Width(), 0);
            continue;
        }
        const bool tool = row.bs == bsToolWindow;
        const int w = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE);
        int taken = 0;
        for (unsigned b : {close, min, max, help})
            if (row.buttons & b) taken += w + (b == close || b == help ? 2 : 0);
        EXPECT_EQ(caption.Width() - text.Width(), taken) << int(row.bs);
        EXPECT_EQ(caption.Height(), GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION) - 1);
    }
}

TEST(CaptionFrame, TheIconAndTheButtonsAreDrawnInTheTitle) {
    CaptionForm f;
    f.g->Enabled = geAlways;
    f.form.Show();
    TBitmap shot;
    f.Shot(shot, "caption-icon-buttons");
    const TRect caption = f.g->CaptionRect();
    const TRect text = f.g->TextRect();
    // Buttons: the button face around dark glyphs, right of the text rectangle.
    const uint32_t face = ColorToRGB(clBtnFace) & 0xFFFFFF;
    auto count = [&](TBitmap& b, uint32_t colour) {
        int n = 0;
        for (int x = text.Right; x < caption.Right - 2; ++x)
            for (int y = caption.Top + 2; y < caption.Bottom - 2; ++y) n += Px(b, x, y) == colour;
        return n;
    };
    EXPECT_GT(count(shot, face), 3 * 20);  // three buttons' faces
    EXPECT_GT(count(shot, 0), 3 * 4);      // the cross, the box and the bar
    // The icon, compared with the same title without the system menu icon (no text): its 16
    // by 16 pixels at two in and one down.
    f.g->CaptionText.SetCaption("");
    f.form.RedrawFrame();
    TBitmap iconShot;
    f.Shot(iconShot, "caption-icon-only");
    f.form.BorderIcons = 0;
    f.form.RedrawFrame();
    TBitmap plain;
    f.Shot(plain, "caption-plain");
    int inIcon = 0;
    for (int y = text.Top + 1; y < text.Top + 17; ++y)
        for (int x = text.Left + 2; x < text.Left + 18; ++x)
            inIcon += Px(iconShot, x, y) != Px(plain, x, y);
    EXPECT_GT(inIcon, 16 * 16 / 2);
    // Left of the icon the title is the gradient's left colour in both.
    EXPECT_EQ(Px(iconShot, text.Left, text.Top + 8), Px(plain, text.Left, text.Top + 8));
    EXPECT_EQ(count(plain, face), 0);  // and no buttons
}

namespace {

// A 16 by 16 icon file of one opaque colour (32 bits per pixel, an all-zero mask).
std::string SolidIconFile(COLORREF colour) {
    const size_t pixels = 16 * 16 * 4, mask = 4 * 16, image = 40 + pixels + mask;
    std::string f(6 + 16 + image, '\0');
    auto put = [&f](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) f[at + size_t(i)] = char((v >> (8 * i)) & 0xFF);
    };
    put(2, 1, 2);  // an icon
    put(4, 1, 2);  // one image
    put(6, 16, 1);
    put(7, 16, 1);
    put(6 + 6, 32, 2);  // bits per pixel
    put(6 + 8, uint32_t(image), 4);
    put(6 + 12, 22, 4);
    put(22, 40, 4);  // BITMAPINFOHEADER: size, width, height of colour and mask, planes, bits
    put(26, 16, 4);
    put(30, 32, 4);
    put(34, 1, 2);
    put(36, 32, 2);
    const uint32_t pixel = 0xFF000000u | uint32_t(GetRValue(colour)) << 16 |
                           uint32_t(GetGValue(colour)) << 8 | GetBValue(colour);
    for (size_t i = 0; i < 16 * 16; ++i) put(62 + 4 * i, pixel, 4);
    return f;
}

}  // namespace

TEST(CaptionFrame, TheTitleShowsTheFormsIconElseTheApplicationsElseTheStandardOne) {
    CaptionForm f;
    f.g->CaptionText.SetCaption("");
    f.form.Show();
    const TRect text = f.g->TextRect();
    const int cx = text.Left + 2 + 8, cy = text.Top + 1 + 8;  // the middle of the 16-pixel icon
    TBitmap standard;
    f.Shot(standard, "caption-icon-standard");
    struct Row {
        COLORREF form, application;  // 0: no icon
        COLORREF shown;              // 0: the standard application icon
    };
    const COLORREF green = RGB(0, 0xC0, 0), olive = RGB(0xC0, 0xC0, 0);
    for (Row row :
         {Row{0, green, green}, Row{olive, green, olive}, Row{olive, 0, olive}, Row{0, 0, 0}}) {
        auto load = [](TIcon* icon, COLORREF colour) {
            if (colour)
                icon->LoadFromData(SolidIconFile(colour));
            else
                icon->SetHandle(nullptr);
        };
        load(f.form.Icon(), row.form);
        load(Application->Icon(), row.application);
        f.form.RedrawFrame();
        TBitmap shot;
        f.Shot(shot, "caption-icon-row");
        if (row.shown)
            EXPECT_EQ(Px(shot, cx, cy), row.shown)
                << std::hex << row.form << " " << row.application;
        else
            EXPECT_EQ(Px(shot, cx, cy), Px(standard, cx, cy));
    }
}

TEST(CaptionFrame, BordersShowSizingCursorsThroughHitTestAndSetCursor) {
    for (bool painter : {true, false}) {
        TForm form(nullptr);
        form.SetBounds(20, 20, 300, 120);
        TGradientCaption* g = painter ? new TGradientCaption(&form) : nullptr;
        form.Show();
        Application->ProcessMessages();
        struct Row {
            int x, y, hit;
            unsigned cursor;
        };
        const int w = 300, h = 120;
        for (Row row :
             {Row{1, 60, HTLEFT, IDC_SIZEWE}, Row{w - 2, 60, HTRIGHT, IDC_SIZEWE},
              Row{150, 1, HTTOP, IDC_SIZENS}, Row{150, h - 1, HTBOTTOM, IDC_SIZENS},
              Row{1, 1, HTTOPLEFT, IDC_SIZENWSE}, Row{w - 1, h - 1, HTBOTTOMRIGHT, IDC_SIZENWSE},
              Row{w - 1, 2, HTTOPRIGHT, IDC_SIZENESW}, Row{2, h - 2, HTBOTTOMLEFT, IDC_SIZENESW},
              Row{150, 12, HTCAPTION, 0}}) {
            EXPECT_EQ(form.Perform(WM_NCHITTEST, 0, MAKELPARAM_XY(20 + row.x, 20 + row.y)), row.hit)
                << row.x << "," << row.y;
            form.PeerAs<ws::WindowPeer>()->hover(row.x, row.y);
            EXPECT_EQ(form.PeerAs<ws::WindowPeer>()->cursorShown(), int(row.cursor))
                << row.x << "," << row.y << " painter " << painter;
        }
        // A fixed border is no sizing border.
        form.SetBorderStyle(bsDialog);
        EXPECT_EQ(form.Perform(WM_NCHITTEST, 0, MAKELPARAM_XY(21, 80)), HTBORDER);
        form.PeerAs<ws::WindowPeer>()->hover(1, 60);
        EXPECT_EQ(form.PeerAs<ws::WindowPeer>()->cursorShown(), 0);
        form.Hide();
        (void)g;
    }
}

TEST(CaptionFrame, ThePainterTakesOverTheFormAgainAfterItsWindowWasDestroyed) {
    CaptionForm f;
    f.form.Show();
    Application->ProcessMessages();
    f.form.Perform(WM_DESTROY);
    // Until the posted message arrives the painter does not see the frame's messages.
    f.form.Perform(WM_NCACTIVATE, 0, 0);
    EXPECT_TRUE(f.g->Active());
    Application->ProcessMessages();
    EXPECT_TRUE(f.g->Active());  // the new window is the active one
    f.form.Perform(WM_NCACTIVATE, 0, 0);
    EXPECT_FALSE(f.g->Active());
    // The painter going away while the message is on its way leaves nothing behind.
    f.form.Perform(WM_DESTROY);
    delete f.g;
    Application->ProcessMessages();
    f.form.Perform(WM_NCACTIVATE, 1, 0);
}

TEST(CaptionFrame, TheSystemCaptionFontComesFromTheNonClientMetrics) {
    NONCLIENTMETRICSA ncm;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0));
    ncm.cbSize = 100;
    EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 0, &ncm, 0));
    CaptionForm f;
    const TFont& font = f.g->SystemCaptionFont();
    EXPECT_EQ(font.Name(), "宋体");
    EXPECT_EQ(font.Height(), -12);
    EXPECT_TRUE(font.Style().count(fsBold));
    RECT work{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.right, GetSystemMetrics(SM_CXSCREEN));
}

// Display, colour and setting changes make the painter read the system caption font again
// and derive each part's font from it by its kind; the form hears the message as well.
TEST(CaptionFrame, SystemChangesReapplyTheSystemFontsAndReachTheForm) {
    class TListeningForm : public TForm {
    public:
        using TForm::TForm;
        std::vector<UINT> heard;
        void Dispatch(TMessage& m) override {
            if (m.Msg == WM_DISPLAYCHANGE || m.Msg == WM_SYSCOLORCHANGE ||
                m.Msg == WM_SETTINGCHANGE)
                heard.push_back(m.Msg);
            TForm::Dispatch(m);
        }
    };
    for (UINT msg : {UINT(WM_DISPLAYCHANGE), UINT(WM_SYSCOLORCHANGE), UINT(WM_SETTINGCHANGE)}) {
        SCOPED_TRACE(msg);
        TListeningForm form(nullptr);
        form.SetBounds(20, 20, 300, 120);
        auto* g = new TGradientCaption(&form);
        form.Show();
        g->CaptionText.SetFontKind(fkSystemI);
        g->CaptionText.Font()->SetColor(clYellow);
        g->AppNameText.SetFontKind(fkSystem);
        TFont custom;
        custom.SetName("Arial");
        custom.SetHeight(-20);
        g->CompanyText.SetFont(custom);  // custom: left alone
        // The fonts as they would stand after the system's caption font was another.
        g->CaptionText.Font()->SetName("Arial");
        g->CaptionText.Font()->SetStyle({});
        g->AppNameText.Font()->SetHeight(-30);
        SendMessageA(form.Handle(), msg, 0, 0);
        EXPECT_EQ(form.heard, std::vector<UINT>{msg});
        EXPECT_EQ(g->CaptionText.Font()->Name(), "宋体");
        EXPECT_TRUE(g->CaptionText.Font()->Style().count(fsItalic));
        EXPECT_TRUE(g->CaptionText.Font()->Style().count(fsBold));
        EXPECT_EQ(g->CaptionText.Font()->Color(), clYellow);  // its own colour stays
        EXPECT_EQ(g->AppNameText.Font()->Height(), -12);
        EXPECT_FALSE(g->AppNameText.Font()->Style().count(fsItalic));
        EXPECT_EQ(g->CompanyText.FontKind(), fkCustom);
        EXPECT_EQ(g->CompanyText.Font()->Name(), "Arial");
        EXPECT_EQ(g->CompanyText.Font()->Height(), -20);
        form.Hide();
    }
}
