// The caption painter: band colours and edges, the colour count's limits, the form caption
// made of the parts, parts dropped when the title is narrow, and the message box's title at
// the active and inactive states (pixels from screenshots).
#include "app/gradcap.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

namespace {

// Shows the message box, grabs it into a bitmap while it stands, and closes it.
void GrabMessageBox(const std::string& text, TBitmap& shot,
                    const std::function<void()>& before = nullptr) {
    const std::string file =
        std::filesystem::temp_directory_path() / ("vxgradcap" + std::to_string(getpid()) + ".png");
    TTimer t(nullptr);
    t.SetInterval(40);
    bool done = false;
    t.OnTimer = [&](TObject*) {
        if (!Form_MsgDlg->Visible() || done) return;
        done = true;
        if (before) before();
        Application->ProcessMessages();
        Form_MsgDlg->SaveScreenshot(file);
        Form_MsgDlg->SpeedButtonOKClick(nullptr);
    };
    t.SetEnabled(true);
    Form_MsgDlg->ShowMsg(text, mkInformation, false);
    ASSERT_TRUE(done) << "the box never showed";
    shot.LoadFromFile(file);
    std::filesystem::remove(file);
    const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
    if (keep && *keep)
        shot.SaveToFile(IncludeTrailingPathDelimiter(keep) + "title-" + text + ".png");
}

uint32_t Px(TBitmap& b, int x, int y) { return b.Image().pixel(x, y) & 0xFFFFFF; }

bool Near(uint32_t a, uint32_t b, int tol = 12) {
    for (int s : {0, 8, 16})
        if (std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)) > tol) return false;
    return true;
}

// Text pixels in a column range of the title band: pixels of the text colour.
int TextPixels(TBitmap& b, int x0, int x1, int top, int bottom, uint32_t colour) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = x0; x < x1; ++x) n += Near(Px(b, x, y), colour, 40);
    return n;
}

}  // namespace

TEST(GradientBands, ColoursAndEdgesFollowMulDivRounding) {
    EXPECT_EQ(GradientBandColor(0x000099, 0xDFDFDF, 0, 128), 0x000099u);
    EXPECT_EQ(GradientBandColor(0x000099, 0xDFDFDF, 127, 128), 0xDFDFDFu);
    // Channel 0x99 -> 0xDF over 3 bands: 153, 153 + MulDiv(1, 70, 2) = 188 (35 rounded), 223.
    EXPECT_EQ(GradientBandColor(0x99, 0xDF, 1, 3) & 0xFF, 188u);
    EXPECT_EQ(GradientBandColor(0x123456, 0xFFFFFF, 0, 1), 0x123456u);  // one band: the left colour
    EXPECT_EQ(GradientBandColor(0xFF, 0x00, 1, 2), 0x00u);
}

TEST_F(AppTest, CaptionPainterPartsAndColourCount) {
    CreateWindows();
    TGradientCaption& g = *Form_MsgDlg->GradientCaptionMsgDlg;
    g.SetNumColors(300);
    EXPECT_EQ(g.NumColors(), 256);
    g.SetNumColors(0);
    EXPECT_EQ(g.NumColors(), 256);
    g.SetNumColors(128);
    // The form caption is made of the visible parts; the caption part reads it back without them.
    g.CompanyText.SetVisible(true);
    g.CaptionText.SetCaption("标题");
    EXPECT_EQ(Form_MsgDlg->Caption(), "Dorvel's 标题");
    EXPECT_EQ(g.CaptionText.Caption(), "标题");
    g.AppNameText.SetVisible(true);
    EXPECT_EQ(Form_MsgDlg->Caption(), "Dorvel's 程序 - 标题");
    EXPECT_EQ(g.CaptionText.Caption(), "标题");
    // A caption set by code keeps words that only look like a part.
    Form_MsgDlg->SetCaption("About Dorvel's tools");
    EXPECT_EQ(g.CaptionText.Caption(), "About Dorvel's tools");
    // An empty visible part is not looked for.
    g.CompanyText.SetCaption("");
    g.AppNameText.SetVisible(false);
    Form_MsgDlg->SetCaption(" 警 告 ");
    EXPECT_EQ(g.CaptionText.Caption(), " 警 告 ");
    EXPECT_THROW(TGradientCaption(nullptr), EInvalidCast);
}

TEST_F(AppTest, NarrowTitleDropsTheCompanyThenTheApplicationName) {
    CreateWindows();
    TGradientCaption& g = *Form_MsgDlg->GradientCaptionMsgDlg;
    g.CompanyText.SetVisible(true);
    g.AppNameText.SetVisible(true);
    g.CaptionText.SetCaption("信息");
    TBitmap b;
    b.SetSize(10, 10);
    TCanvas& c = *b.Canvas();
    auto width = [&c](TCompanyText& p) {
        c.Font()->Assign(*p.Font());
        return c.TextWidth(p.Caption()) + 3;
    };
    const int cw = width(g.CompanyText), aw = width(g.AppNameText), pw = width(g.CaptionText);
    EXPECT_EQ(g.PartsThatFit(c, cw + aw + pw), 3);
    EXPECT_EQ(g.PartsThatFit(c, cw + aw + pw - 1), 2);
    EXPECT_EQ(g.PartsThatFit(c, aw + pw), 2);
    EXPECT_EQ(g.PartsThatFit(c, aw + pw - 1), 1);
    EXPECT_EQ(g.PartsThatFit(c, 5), 1);
}

TEST_F(AppTest, MessageBoxTitleActiveInactiveAndLong) {
    CreateWindows();
    TGradientCaption& g = *Form_MsgDlg->GradientCaptionMsgDlg;
    const int fw = Form_MsgDlg->FrameWidth(), ch = Form_MsgDlg->CaptionHeight();
    const int mid = fw + ch / 2;
    TBitmap active;
    GrabMessageBox("活动", active);
    const int w = active.Width();
    // Dark red on the left, light grey on the right, the title's text in between.
    EXPECT_TRUE(Near(Px(active, fw + 1, fw + 1), 0x000099))
        << std::hex << Px(active, fw + 1, fw + 1);
    EXPECT_TRUE(Near(Px(active, w - fw - 2, fw + 1), 0xDFDFDF))
        << std::hex << Px(active, w - fw - 2, fw + 1);
    const uint32_t textColour = ColorToRGB(clCaptionText) & 0xFFFFFF;
    EXPECT_GT(TextPixels(active, fw, fw + 60, fw, fw + ch - 1, textColour), 10);
    EXPECT_EQ(Px(active, fw + 1, mid - 3) & 0xFFFFFF, Px(active, fw + 1, fw + 1));

    // Inactive: the inactive colours (made different here to tell them apart).
    TBitmap inactive;
    g.ColorLeftInActive = 0x008000;
    g.CaptionText.SetColorInactive(clYellow);
    GrabMessageBox("不活动", inactive, [] { Form_MsgDlg->Perform(WM_NCACTIVATE, 0, 0); });
    EXPECT_TRUE(Near(Px(inactive, fw + 1, fw + 1), 0x008000))
        << std::hex << Px(inactive, fw + 1, fw + 1);
    EXPECT_GT(TextPixels(inactive, fw, fw + 60, fw, fw + ch - 1, 0x00FFFF), 10);
    Form_MsgDlg->Perform(WM_NCACTIVATE, 1, 0);

    // A long title with all parts: company and application name dropped, the caption cut
    // with an ellipsis that reaches the right end.
    g.CompanyText.SetVisible(true);
    g.AppNameText.SetVisible(true);
    TBitmap longTitle;
    GrabMessageBox("长标题", longTitle, [] {
        Form_MsgDlg->SetCaption("Dorvel's 程序 - " + std::string(80, 'W') + " 很长很长很长的标题");
        Form_MsgDlg->RedrawFrame();
    });
    TBitmap probe;
    probe.SetSize(4, 4);
    EXPECT_EQ(g.PartsThatFit(*probe.Canvas(), w - 2 * fw), 1);
    // Text right up to the end of the band, and none of the company's own letters in front:
    // the first text column is where the caption part starts.
    EXPECT_GT(TextPixels(longTitle, w - fw - 40, w - fw - 3, fw, fw + ch - 1, textColour), 3);
    EXPECT_GT(TextPixels(longTitle, fw, fw + 30, fw, fw + ch - 1, textColour), 10);
    g.CompanyText.SetVisible(false);
    g.AppNameText.SetVisible(false);
}
