// The check, about and FAQ windows opened from the main window.
#include <functional>

#include "app/check.h"
#include "app/faqs.h"
#include "app/info.h"
#include "platform/rtl/rtf.h"
#include "platform/vcl/windowSystem.h"
#include "platform/win/printers.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

namespace {}  // namespace

TEST_F(AppTest, CheckWindowLightsEveryRowAndCopiesHints) {
    CreateWindows();
    ShowMain();
    bool done = false;
    TTimer t(nullptr);
    t.SetInterval(50);
    t.OnTimer = [&](TObject*) {
        if (!Form_check || !Form_check->Visible()) return;
        // The checks start 500 ms after showing; wait until the last lamp has left yellow.
        if (Form_check->XcLED_access->ColorOn() == TColor(65535)) return;
        apptest::KeepScreenshot(Form_check, "check-window");
        // Ghostscript is installed here and our PostScript printer always is.
        EXPECT_EQ(Form_check->XcLED_gs->ColorOn(), TColor(65280));
        EXPECT_EQ(Form_check->XcLED_printer->ColorOn(), TColor(65280));
        for (TXcLED* led : {Form_check->XcLED_word, Form_check->XcLED_excel,
                            Form_check->XcLED_powerpoint, Form_check->XcLED_access})
            EXPECT_TRUE(led->ColorOn() == TColor(65280) || led->ColorOn() == TColor(128));
        EXPECT_EQ(Form_check->Label_gs->Hint(), Form_check->XcLED_gs->Hint());
        EXPECT_EQ(Form_check->Panel_word->Hint(), Form_check->XcLED_word->Hint());
        done = true;
        Form_check->SpeedButton_closeClick(nullptr);
    };
    t.SetEnabled(true);
    Form_main->SpeedButton_checkClick(nullptr);
    EXPECT_TRUE(done);
    EXPECT_EQ(Form_check, nullptr);
    EXPECT_EQ(Application->FindComponent("Form_check"), nullptr);
}

TEST_F(AppTest, CheckWindowRowStatesWithMissingPieces) {
    CreateWindows();
    Application->CreateForm(Form_check, "check.dfm");
    ResetPrinters();
    UninstallPrinter("Generic Colour PostScript");
    Form_main->FState.FGsExe = folder + "no/gswin32c.exe";
    Form_check->RunChecks();
    EXPECT_EQ(Form_check->XcLED_gs->ColorOn(), TColor(255));
    EXPECT_EQ(Form_check->XcLED_printer->ColorOn(), TColor(255));
    EXPECT_NE(
        Form_check->XcLED_gs->Hint().find("软件没有安装。\n请安装这个免费软件。\n更多信息在 "),
        std::string::npos);
    Form_check->SetRow(Form_check->XcLED_word, -2);
    EXPECT_EQ(Form_check->XcLED_word->ColorOn(), TColor(128));
    EXPECT_EQ(Form_check->Label_word->Hint(), "可选软件没有安装。\n很可能这个软件不是必需。");
    Form_check->SetRow(Form_check->XcLED_word, 7);
    EXPECT_EQ(Form_check->XcLED_word->ColorOn(), TColor(65535));
    EXPECT_EQ(Form_check->Panel_word->Hint(), "软件的状态未知。");
    ResetPrinters();
    delete Form_check;
    Form_check = nullptr;
}

TEST_F(AppTest, FaqWindowLoadsTheFileAfreshEachTime) {
    CreateWindows();
    ShowMain();
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\b First\\b0\\par}";
    apptest::Spit(folder + "faqs.rtf", rtf);
    std::string seen;
    TTimer t(nullptr);
    t.SetInterval(30);
    t.OnTimer = [&](TObject*) {
        if (!Form_faqs || !Form_faqs->Visible()) return;
        seen = Form_faqs->RichEdit_faqs->Lines()->Text();
        Form_faqs->SpeedButton_closeClick(nullptr);
    };
    t.SetEnabled(true);
    Form_main->SpeedButton_faqsClick(nullptr);
    EXPECT_EQ(seen, "First\n");
    apptest::Spit(folder + "faqs.rtf", "{\\rtf1\\ansi Second\\par}");
    Form_main->SpeedButton_faqsClick(nullptr);
    EXPECT_EQ(seen, "Second\n");
}

TEST_F(AppTest, MissingFaqFileReachesTheExceptionHandler) {
    CreateWindows();
    ShowMain();
    std::string shown;
    TTimer t(nullptr);
    t.SetInterval(30);
    t.OnTimer = [&](TObject*) {
        if (Form_MsgDlg->Visible()) {
            shown = Form_MsgDlg->LabelMsgDlg->Caption();
            Form_MsgDlg->SpeedButtonOKClick(nullptr);
        } else if (Form_faqs && Form_faqs->Visible()) {
            // The window stays open, empty, after the error was shown.
            Form_faqs->SpeedButton_closeClick(nullptr);
        }
    };
    t.SetEnabled(true);
    Form_main->SpeedButton_faqsClick(nullptr);
    EXPECT_NE(shown.find("转换处理已完成但带有错误!\n\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("faqs.rtf"), std::string::npos);
    EXPECT_EQ(Form_faqs, nullptr);
    // In Chinese, naming the file and the cause; the system's own words go to the log.
    EXPECT_NE(shown.find("无法打开文件 \"" + folder + "faqs.rtf\"。系统找不到指定的文件。"),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.find("No such file"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("Cannot"), std::string::npos) << shown;
    const std::string log = apptest::Slurp(Form_main->FState.FLogDir + "info.log");
    EXPECT_NE(log.find("faqs.rtf\"。系统找不到指定的文件。 [No such file or directory]"),
              std::string::npos)
        << log;
}

TEST_F(AppTest, BundledFaqAndAboutWindowLookRight) {
    CreateWindows();
    ShowMain();
    std::filesystem::copy_file(std::string(VEXOMAT_BIN_DIR) + "/faqs.rtf", folder + "faqs.rtf");
    TTimer t(nullptr);
    t.SetInterval(60);
    t.OnTimer = [&](TObject*) {
        if (Form_faqs && Form_faqs->Visible()) {
            EXPECT_NE(Form_faqs->RichEdit_faqs->Lines()->Text().find("常见问题解答"),
                      std::string::npos);
            apptest::KeepScreenshot(Form_faqs, "faq-window");
            Form_faqs->SpeedButton_closeClick(nullptr);
        }
        if (Form_info && Form_info->Visible()) {
            apptest::KeepScreenshot(Form_info, "about-window");
            Form_info->SpeedButton_closeClick(nullptr);
        }
    };
    t.SetEnabled(true);
    Form_main->SpeedButton_faqsClick(nullptr);
    Form_main->SpeedButton_infoClick(nullptr);
    EXPECT_EQ(Form_info, nullptr);
}

TEST(Rtf, FormattingColoursAndUnicode) {
    std::string rtf =
        "{\\rtf1\\ansi{\\colortbl ;\\red153\\green0\\blue0;}\\qc\\cf1\\b\\fs28 T\\u26631?\\b0\\par"
        "\\pard a\\tab b\\line c \\{x\\}\\'e9\\par}";
    EXPECT_EQ(RtfToText(rtf), "T标\na\tb\nc {x}é\n");
    std::string html = RtfToHtml(rtf);
    EXPECT_NE(html.find("<p align=\"center\">"), std::string::npos);
    EXPECT_NE(html.find("color:#990000"), std::string::npos);
    EXPECT_NE(html.find("<b>T标</b>"), std::string::npos);
    EXPECT_NE(html.find("font-size:14pt"), std::string::npos);
    EXPECT_THROW(RtfToHtml("plain text"), EConvertError);
}

// Numbers a writer should not have written are read as a reader would: taken at their
// limit, or, where no number follows a minus sign, as no parameter.
TEST(Rtf, HostileNumbersAreReadAtTheirLimits) {
    const struct {
        const char* rtf;
        const char* text;
        const char* inHtml;
    } rows[] = {
        {"{\\rtf1\\fs99999999999999999999 big}", "big", "font-size:1638pt"},
        {"{\\rtf1\\fs-99999999999999999999 small}", "small", "font-size:1pt"},
        {"{\\rtf1\\fs0 zero}", "zero", "font-size:1pt"},
        {"{\\rtf1\\b- x}", "- x", "<b>- x</b>"},
        {"{\\rtf1\\b-}", "-", "<b>-</b>"},
        {"{\\rtf1\\b-1 y}", "y", "<b>y</b>"},
        {"{\\rtf1{\\colortbl;\\red99999999999\\green-7\\blue12;}\\cf1 c}", "c", "color:#ff000c"},
        {"{\\rtf1\\u99999999999? u}", "\xEF\xBF\xBD u", "\xEF\xBF\xBD u"},
        {"{\\rtf1\\u-3? v}", "\xEF\xBF\xBD v", ""},
        {"{\\rtf1\\uc99999999999\\u26631?? w}", "\xE6\xA0\x87", ""},
        {"{\\rtf1 a\\'zz b\\'4}", "azz b", ""},
        {"{\\rtf1 a\\'", "a", ""},
        {"{\\rtf1\\cf99999999999999 d}", "d", ""},
    };
    for (const auto& r : rows) {
        std::string text, html;
        ASSERT_NO_THROW(text = RtfToText(r.rtf)) << r.rtf;
        ASSERT_NO_THROW(html = RtfToHtml(r.rtf)) << r.rtf;
        EXPECT_EQ(text, std::string(r.text) + "\n") << r.rtf;
        EXPECT_NE(html.find(r.inHtml), std::string::npos) << r.rtf << "\n" << html;
    }
}

TEST_F(AppTest, SideWindowsCloseByAltLAndKeepOpenOnEscapeAndEnter) {
    // ">> 关闭(&L)": Alt+L closes each window; Escape and Enter, which no control of theirs
    // takes, leave them open.
    CreateWindows();
    ShowMain();
    std::filesystem::copy_file(std::string(VEXOMAT_BIN_DIR) + "/faqs.rtf", folder + "faqs.rtf");
    struct Row {
        const char* name;
        std::function<TForm*()> window;
        std::function<void()> open;
    } rows[] = {
        {"check", [] { return static_cast<TForm*>(Form_check); },
         [] { Form_main->SpeedButton_checkClick(nullptr); }},
        {"faq", [] { return static_cast<TForm*>(Form_faqs); },
         [] { Form_main->SpeedButton_faqsClick(nullptr); }},
        {"about", [] { return static_cast<TForm*>(Form_info); },
         [] { Form_main->SpeedButton_infoClick(nullptr); }},
    };
    for (const Row& r : rows) {
        bool stayed = false, pressed = false;
        TTimer t(nullptr);
        t.SetInterval(60);
        t.OnTimer = [&](TObject*) {
            TForm* w = r.window();
            if (!w || !w->Visible() || pressed) return;
            pressed = true;
            for (int key : {27, 13}) {
                ws::PressKey(key, 0);
                Application->ProcessMessages();
            }
            stayed = r.window() && r.window()->Visible();
            ws::PressKey('L', 2);
            Application->ProcessMessages();
        };
        t.SetEnabled(true);
        r.open();
        t.SetEnabled(false);
        EXPECT_TRUE(pressed) << r.name;
        EXPECT_TRUE(stayed) << r.name;
        EXPECT_TRUE(!r.window() || !r.window()->Visible()) << r.name;
    }
}

// The FAQ reader goes to the end and back to the start with Ctrl+End and Ctrl+Home.
TEST_F(AppTest, FaqReaderGoesToItsEndAndStartByKeyboard) {
    CreateWindows();
    ShowMain();
    std::filesystem::copy_file(std::string(VEXOMAT_BIN_DIR) + "/faqs.rtf", folder + "faqs.rtf");
    std::string atStart, atEnd, backAtStart;
    auto picture = [&](const std::string& name) {
        const std::string png = folder + name + ".png";
        Form_faqs->SaveScreenshot(png);
        return apptest::Slurp(png);
    };
    TTimer t(nullptr);
    t.SetInterval(60);
    t.OnTimer = [&](TObject*) {
        if (!Form_faqs || !Form_faqs->Visible()) return;
        t.SetEnabled(false);
        Form_faqs->RichEdit_faqs->SetFocus();
        Application->ProcessMessages();
        atStart = picture("start");
        ws::PressKey(35, 4);  // Ctrl+End
        Application->ProcessMessages();
        atEnd = picture("end");
        ws::PressKey(36, 4);  // Ctrl+Home
        Application->ProcessMessages();
        backAtStart = picture("back");
        Form_faqs->SpeedButton_closeClick(nullptr);
    };
    t.SetEnabled(true);
    Form_main->SpeedButton_faqsClick(nullptr);
    ASSERT_FALSE(atStart.empty());
    EXPECT_NE(atEnd, atStart) << "Ctrl+End did not move the view";
    EXPECT_EQ(backAtStart, atStart) << "Ctrl+Home did not bring the start back";
}
