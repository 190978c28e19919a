// A run started from the window: sources from the pickers, the result beside the source,
// the completion message, the Show button and the function's saved options.
#include "platform/vcl/windowSystem.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

namespace {

// Answers every message box with OK and remembers the texts.
struct Answerer {
    Answerer() : timer(nullptr) {
        timer.SetInterval(40);
        timer.OnTimer = [this](TObject*) {
            if (!Form_MsgDlg->Visible()) return;
            texts.push_back(Form_MsgDlg->LabelMsgDlg->Caption());
            if (!screenshot.empty()) apptest::KeepScreenshot(Form_MsgDlg, screenshot);
            Form_MsgDlg->SpeedButtonOKClick(nullptr);
        };
        timer.SetEnabled(true);
    }
    TTimer timer;
    std::vector<std::string> texts;
    std::string screenshot;  // the name a shown message is kept under, if any
};

void SelectFunction(const std::string& name) {
    for (int i = 0; i < int(Functions.size()); ++i)
        if (Functions[size_t(i)].Name == name) Form_main->ComboBoxEx_function->SetItemIndex(i);
    Form_main->ComboBoxEx_functionChange(nullptr);
}

}  // namespace

TEST_F(AppTest, StartConvertsTheSelectedFileAndReports) {
    std::string docs = folder + "文档 a/";
    ForceDirectories(docs);
    e2e::WritePostScript(docs + "report 1.ps", 2);
    CreateWindows();
    ShowMain();
    SelectFunction("ps2pdf");
    Form_main->SelectSource(docs + "report 1.ps");
    ASSERT_EQ(Form_main->StaticText_currentFile->Caption(), docs + "report 1.ps");
    Answerer answer;
    Form_main->StyButton_startClick(nullptr);
    EXPECT_TRUE(FileExists(docs + "report 1.pdf")) << Form_main->FState.FErrors->Text();
    EXPECT_EQ(e2e::PdfPages(docs + "report 1.pdf", folder), 2);
    ASSERT_EQ(answer.texts.size(), 1u);
    EXPECT_EQ(answer.texts[0], "转换处理已完成!");
    EXPECT_TRUE(Form_main->StyButton_show->Visible());
    EXPECT_TRUE(Form_main->StyButton_start->Enabled());
    EXPECT_EQ(Form_main->StaticText_status->Caption(), "就绪。");
    EXPECT_EQ(Form_main->FState.FLastResult, docs + "report 1.pdf");
    // The list shows the new file after the run and the selection stayed.
    EXPECT_EQ(Form_main->XcFileListBox_source->FileName(), docs + "report 1.ps");
    // The function's options are saved after a successful run.
    EXPECT_NE(apptest::Slurp(folder + "config.ini").find("[PS2PDF]"), std::string::npos);
}

TEST_F(AppTest, StartWithoutASelectionSaysSoAndChangesNothing) {
    CreateWindows();
    ShowMain();
    SelectFunction("pdf2jpg");
    Answerer answer;
    Form_main->StyButton_startClick(nullptr);
    ASSERT_EQ(answer.texts.size(), 1u);
    EXPECT_EQ(answer.texts[0], "没有正确选择! \n\n请先选择你的源文件。");
    EXPECT_EQ(Form_main->StaticText_status->Caption(), "就绪。");
    EXPECT_TRUE(Form_main->StyButton_start->Enabled());
}

TEST_F(AppTest, AFailedRunListsItsErrors) {
    std::string docs = folder + "in/";
    ForceDirectories(docs);
    apptest::Spit(docs + "broken.pdf", "not a pdf\n");
    CreateWindows();
    ShowMain();
    SelectFunction("pdf2ps");
    Form_main->SelectSource(docs + "broken.pdf");
    Answerer answer;
    Form_main->StyButton_startClick(nullptr);
    ASSERT_EQ(answer.texts.size(), 1u);
    EXPECT_EQ(answer.texts[0].rfind("转换处理已完成但带有错误!\n\n- ", 0), 0u) << answer.texts[0];
    EXPECT_NE(answer.texts[0].find("在进行 gs 转换时出错。"), std::string::npos);
    EXPECT_EQ(Form_main->StaticText_status->Caption(), "发生错误。");
    EXPECT_FALSE(Form_main->StyButton_show->Visible());
    EXPECT_FALSE(FileExists(docs + "broken.ps"));
    // Options are saved only after success.
    EXPECT_EQ(apptest::Slurp(folder + "config.ini").find("[PDF2PS]"), std::string::npos);
}

TEST_F(AppTest, AWatermarkThatCannotShowIsRefusedNamingTheOption) {
    std::string docs = folder + "in/";
    ForceDirectories(docs);
    apptest::Spit(docs + "a.pdf", "%PDF-1.4\n");
    CreateWindows();
    ShowMain();
    SelectFunction("pdfWatermark");
    Form_main->SelectSource(docs + "a.pdf");
    struct Row {
        int size, opacity;
        std::string option;
    } rows[] = {{0, 30, "字体大小[字号]"}, {48, 0, "不透明度 [%]"}};
    for (const Row& r : rows) {
        Form_main->XcUpDown_watermark_fontsize->SetPosition(r.size);
        Form_main->XcUpDown_watermark_opacity->SetPosition(r.opacity);
        Answerer answer;
        Form_main->StyButton_startClick(nullptr);
        ASSERT_EQ(answer.texts.size(), 1u);
        EXPECT_EQ(answer.texts[0],
                  "水印的“" + r.option + "”为 0, 水印不会显示! \n\n请设置一个大于 0 的值。");
        EXPECT_FALSE(FileExists(docs + "a_WATERMARKED.pdf"));
        EXPECT_TRUE(Form_main->StyButton_start->Enabled());
    }
    // A text the stamp's fonts cannot draw (GBK "水印", which happens to be UTF-8) is refused
    // the same way, before the run makes its folder beside the source.
    Form_main->XcUpDown_watermark_fontsize->SetPosition(48);
    Form_main->XcUpDown_watermark_opacity->SetPosition(30);
    Form_main->Edit_watermark_text->SetText("\xcb\xae\xd3\xa1");
    Answerer answer;
    answer.screenshot = "watermark-text-refused";
    Form_main->StyButton_startClick(nullptr);
    ASSERT_EQ(answer.texts.size(), 1u);
    EXPECT_EQ(answer.texts[0].rfind("水印文字无法显示: 水印的字体没有字符 U+02EE", 0), 0u)
        << answer.texts[0];
    EXPECT_EQ(e2e::Listing(docs), std::vector<std::string>{"a.pdf"});
    EXPECT_TRUE(Form_main->StyButton_start->Enabled());
}

TEST_F(AppTest, AltSOnTheKeyboardStartsARun) {
    CreateWindows();
    ShowMain();
    SelectFunction("pdf2jpg");
    Answerer answer;
    ws::PressKey('S', 2);  // Alt+S: " 开始(&S)"
    Application->ProcessMessages();
    ASSERT_EQ(answer.texts.size(), 1u);
    EXPECT_EQ(answer.texts[0], "没有正确选择! \n\n请先选择你的源文件。");
}

TEST_F(AppTest, ClosingTheWindowDuringARunEndsItAndKeepsTheOlderResult) {
    std::string docs = folder + "close/";
    ForceDirectories(docs);
    e2e::WritePostScript(docs + "a.ps", 1);
    apptest::Spit(docs + "a.pdf", "older result");
    CreateWindows();
    ShowMain();
    SelectFunction("ps2pdf");
    Form_main->SelectSource(docs + "a.ps");
    // Ghostscript's stand-in never ends; the window is closed while the run waits for it.
    setenv("VEXOMAT_GS", VX_GS_STANDIN, 1);
    setenv("VX_STANDIN_MODE", "hang", 1);
    TTimer closer(nullptr);
    closer.SetInterval(300);
    closer.OnTimer = [&](TObject*) {
        closer.SetEnabled(false);
        Form_main->Close();
    };
    closer.SetEnabled(true);
    Answerer answer;
    Form_main->StyButton_startClick(nullptr);
    unsetenv("VEXOMAT_GS");
    unsetenv("VX_STANDIN_MODE");
    EXPECT_EQ(apptest::Slurp(docs + "a.pdf"), "older result");
    EXPECT_TRUE(answer.texts.empty()) << answer.texts[0];
    EXPECT_TRUE(Form_main->FState.FRunTemp.empty());
    for (const auto& e : std::filesystem::directory_iterator(docs))
        EXPECT_TRUE(e.path().filename() == "a.ps" || e.path().filename() == "a.pdf") << e.path();
    Application->ResetTerminated();
}
