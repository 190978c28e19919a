// The command line of unattended runs: positions, switches, values and errors.
#include <algorithm>

#include "engine/constants.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

namespace {

class BatchTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        docs = folder + "docs 文档/";
        ForceDirectories(docs);
        for (const char* name : {"a.doc", "a.pdf", "b.pdf", "c.pdf", "notes.txt"})
            apptest::Spit(docs + name, "x");
        TForm_MsgDlg::AutoCloseHoldMs = 10;
        // The window as the show handler leaves it, without starting a run.
        CreateWindows();
        ShowMain();
        Form_main->FState.FBatchMode = true;
    }
    void TearDown() override {
        if (Form_MsgDlg) Form_MsgDlg->Timer_autoClose->SetEnabled(false);
        if (Form_main && Form_main->FIni) {
            TCloseAction action = caHide;
            Form_main->FormClose(Form_main, action);  // frees what the window owns
        }
        TForm_MsgDlg::AutoCloseHoldMs = 11000;
        AppTest::TearDown();
    }
    void Parse(const std::vector<std::string>& params) {
        SetParams(params);
        Form_main->ParseCommandLine();
    }
    // The message of the error the parser raises, or "" when it raises none.
    std::string ParseError(const std::vector<std::string>& params) {
        try {
            Parse(params);
        } catch (const Exception& e) {
            return e.Message;
        }
        return "";
    }
    std::vector<std::string> With(std::vector<std::string> extra,
                                  const std::string& function = "pdf2jpg") {
        std::vector<std::string> p = {"-c", function, "-s", docs + "a.pdf"};
        p.insert(p.end(), extra.begin(), extra.end());
        return p;
    }
    std::vector<std::string> Sources() const {
        std::vector<std::string> out;
        for (int i = 0; i < Form_main->FState.FSourceFiles->Count(); ++i)
            out.push_back((*Form_main->FState.FSourceFiles)[i]);
        return out;
    }
    std::string docs;
};

}  // namespace

TEST_F(BatchTest, FunctionSourceAndDestination) {
    Parse({"-c", "doc2pdf", "-s", docs + "a.doc", "-d", folder + "out"});
    EXPECT_EQ(Form_main->SelectedFunction().Name, "doc2pdf");
    EXPECT_EQ(Sources(), std::vector<std::string>{docs + "a.doc"});
    EXPECT_EQ(Form_main->FState.FDestDir, folder + "out/");
    EXPECT_EQ(Form_main->XcFileListBox_source->FileName(), docs + "a.doc");

    Parse(With({"-D", folder + "out/"}));
    EXPECT_EQ(Form_main->FState.FDestDir, folder + "out/");
    // A destination switch at the end has no value: the run falls back to the source folder.
    Parse(With({"-d"}));
    EXPECT_EQ(Form_main->FState.FDestDir, "");
}

TEST_F(BatchTest, SyntaxErrors) {
    EXPECT_EQ(ParseError({"-c", "pdf2jpg", "-s", docs + "a.pdf"}), "在批模式中少许参数。");
    EXPECT_EQ(ParseError({}), "在批模式中少许参数。");
    EXPECT_EQ(ParseError({"-C", "pdf2jpg", "-s", docs + "a.pdf", "-or"}),
              "第一个参数不是 “转换功能” 参数。");
    EXPECT_EQ(ParseError({"-s", docs + "a.pdf", "-c", "pdf2jpg", "-or"}),
              "第一个参数不是 “转换功能” 参数。");
    EXPECT_EQ(ParseError({"-c", "pdf2jpg", "-S", docs + "a.pdf", "-or"}),
              "第二个参数不是“源文件”参数。");
    EXPECT_EQ(ParseError({"-c", "pdf2jpg", "-d", docs + "a.pdf", "-or"}),
              "第二个参数不是“源文件”参数。");
    // Parsing stopped before any switch was applied.
    EXPECT_EQ(Form_main->FState.FSourceFiles->Count(), 0);
}

TEST_F(BatchTest, FunctionByTheBeginningOfItsTitle) {
    Parse({"-c", "pdf", "-s", docs + "a.pdf", "-or"});
    EXPECT_EQ(Form_main->SelectedFunction().Name, "pdf2jpg");
    EXPECT_EQ(Form_main->GroupBox_quality->Visible(), true);
    Parse({"-c", "pdfM", "-s", docs + "a.pdf", "-or"});
    EXPECT_EQ(Form_main->SelectedFunction().Name, "pdfMerge");
    Parse({"-cX", "pdfMergeAll", "-s", docs, "-or"});
    EXPECT_EQ(Form_main->SelectedFunction().Name, "pdfMergeAll");
    std::vector<std::string> found = Sources();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{docs + "a.pdf", docs + "b.pdf", docs + "c.pdf"}));
}

TEST_F(BatchTest, UnknownFunctionShowsAMessageAndStops) {
    Parse({"-c", "PDF2JPG", "-s", docs + "a.pdf", "-or", "600"});
    std::string text = Form_MsgDlg->LabelMsgDlg->Caption();
    EXPECT_NE(text.find("批模式: 转换功能 \n> PDF2JPG <\n不存在!"), std::string::npos) << text;
    EXPECT_EQ(Form_MsgDlg->Caption(), " 错 误 ");
    EXPECT_TRUE(Form_MsgDlg->Timer_autoClose->Enabled());
    EXPECT_EQ(Form_main->FState.FSourceFiles->Count(), 0);
    EXPECT_FALSE(Form_main->RadioButton_resolution600->Checked());
}

TEST_F(BatchTest, SourceSwitchLetterAndLength) {
    // Upper case in the loop is a source switch; a longer one is not.
    Parse({"-c", "pdf2jpg", "-s", docs + "a.pdf", "-S", docs + "b.pdf"});
    EXPECT_EQ(Sources(), std::vector<std::string>{docs + "b.pdf"});
    Form_main->FState.FSourceFiles->Clear();
    Parse({"-c", "pdf2jpg", "-sx", docs + "a.pdf", "-or", "72"});
    EXPECT_EQ(Form_main->FState.FSourceFiles->Count(), 0);
    EXPECT_TRUE(Form_main->RadioButton_resolution72->Checked());
    Parse(With({"-s", docs + "a.pdf#" + docs + "c.pdf"}));
    EXPECT_EQ(Sources(), (std::vector<std::string>{docs + "a.pdf", docs + "c.pdf"}));
}

TEST_F(BatchTest, ResolutionValuesAndFreeNumbers) {
    Parse(With({"-or", "250"}));
    EXPECT_TRUE(Form_main->RadioButton_resolution300->Checked());
    EXPECT_FALSE(Form_main->RadioButton_resolutionEdit->Checked());
    Parse(With({"-or", "=250"}));
    EXPECT_TRUE(Form_main->RadioButton_resolutionEdit->Checked());
    EXPECT_FALSE(Form_main->RadioButton_resolution300->Checked());
    EXPECT_EQ(Form_main->Edit_resolution->Text(), "250");
    // A fixed value afterwards also empties the edit.
    Parse(With({"-or", "=250", "-OR", "72"}));
    EXPECT_TRUE(Form_main->RadioButton_resolution72->Checked());
    EXPECT_EQ(Form_main->Edit_resolution->Text(), "");
    for (const char* v : {"100", "150", "600", "300"}) {
        Parse(With({"-or", v}));
        EXPECT_EQ(Form_main->Edit_resolution->Text(), "");
    }
    EXPECT_TRUE(Form_main->RadioButton_resolution300->Checked());
    EXPECT_THROW(Parse(With({"-or", "=abc"})), EConvertError);
    EXPECT_THROW(Parse(With({"-oq", "=99999999999"})), EConvertError);
}

TEST_F(BatchTest, RadioSwitches) {
    TForm_main* f = Form_main;
    struct Case {
        const char* sw;
        const char* value;
        TRadioButton* radio;
    };
    const Case cases[] = {
        {"-os", "l", f->RadioButton_sheetsLast},       {"-os", "a", f->RadioButton_sheetsAll},
        {"-os", "f", f->RadioButton_sheetsFirst},      {"-oo", "p", f->RadioButton_orientationP},
        {"-oo", "l", f->RadioButton_orientationL},     {"-oo", "d", f->RadioButton_orientationD},
        {"-oq", "m", f->RadioButton_qualityM},         {"-oq", "l", f->RadioButton_qualityL},
        {"-oq", "x", f->RadioButton_qualityX},         {"-oq", "n", f->RadioButton_qualityN},
        {"-od", "8", f->RadioButton_colordepth8},      {"-od", "4", f->RadioButton_colordepth4},
        {"-od", "1", f->RadioButton_colordepth1},      {"-od", "8g", f->RadioButton_colordepth8g},
        {"-od", "24", f->RadioButton_colordepth24},    {"-of", "s", f->RadioButton_optimizedS},
        {"-of", "p", f->RadioButton_optimizedP},       {"-of", "r", f->RadioButton_optimizedR},
        {"-of", "d", f->RadioButton_optimizedD},       {"-oa", "2", f->RadioButton_pagesperside_2},
        {"-oa", "16", f->RadioButton_pagesperside_16}, {"-oa", "1", f->RadioButton_pagesperside_1},
        {"-obt", "query", f->RadioButton_typeQ},       {"-obt", "table", f->RadioButton_typeT},
        {"-obt", "r", f->RadioButton_typeR},           {"-ol", "m", f->RadioButton_layerM},
        {"-ol", "s", f->RadioButton_layerS},           {"-ov", "d", f->RadioButton_rangeAll},
    };
    for (const Case& c : cases) {
        Parse(With({c.sw, c.value}));
        EXPECT_TRUE(c.radio->Checked()) << c.sw << " " << c.value;
    }
    // Values are case-sensitive; a wrong length is no switch.
    Parse(With({"-od", "8G", "-ol", "M", "-oll", "m", "-o", "m"}));
    EXPECT_TRUE(f->RadioButton_colordepth24->Checked());
    EXPECT_TRUE(f->RadioButton_layerS->Checked());

    Parse(With({"-oq", "=33", "-of", "=120", "-ov", "=2, 6-10", "-obn", "=Orders"}));
    EXPECT_TRUE(f->RadioButton_qualityEdit->Checked());
    EXPECT_EQ(f->Edit_quality->Text(), "33");
    EXPECT_TRUE(f->RadioButton_optimizedEdit->Checked());
    EXPECT_EQ(f->Edit_optimized->Text(), "120");
    EXPECT_TRUE(f->RadioButton_rangeEdit->Checked());
    EXPECT_EQ(f->Edit_range->Text(), "2, 6-10");
    EXPECT_EQ(f->Edit_dataName->Text(), "Orders");
}

TEST_F(BatchTest, CountersTakeNumbersInRangeAndShowThem) {
    TForm_main* f = Form_main;
    Parse(With({"-oin", "=7", "-oib", "=30", "-onb", "=12", "-owf", "=48", "-owo", "=50", "-ohc",
                "=3", "-og", "=150"}));
    EXPECT_EQ(f->XcUpDown_ignore_noise->Position(), 7);
    EXPECT_EQ(f->StaticText_ignore_noise->Caption(), "7");
    EXPECT_EQ(f->XcUpDown_skip_border->Position(), 30);
    EXPECT_EQ(f->StaticText_skip_border->Caption(), "30");
    EXPECT_EQ(f->XcUpDown_add_border->Position(), 12);
    EXPECT_EQ(f->StaticText_add_border->Caption(), "12");
    EXPECT_EQ(f->XcUpDown_watermark_fontsize->Position(), 48);
    EXPECT_EQ(f->StaticText_watermark_fontsize->Caption(), "48");
    EXPECT_EQ(f->XcUpDown_watermark_opacity->Position(), 50);
    EXPECT_EQ(f->StaticText_watermark_opacity->Caption(), "50");
    EXPECT_EQ(f->XcUpDown_html_columns->Position(), 3);
    EXPECT_EQ(f->StaticText_html_columns->Caption(), "3");
    EXPECT_EQ(f->XcUpDown_reduction_quality->Position(), 150);
    EXPECT_EQ(f->StaticText_reduction_quality->Caption(), "150");

    // Outside the range: refused, the text keeps the previous position.
    Parse(With({"-owo", "=150", "-ohc", "=0", "-og", "=4"}));
    EXPECT_EQ(f->XcUpDown_watermark_opacity->Position(), 50);
    EXPECT_EQ(f->StaticText_watermark_opacity->Caption(), "50");
    EXPECT_EQ(f->XcUpDown_html_columns->Position(), 3);
    EXPECT_EQ(f->XcUpDown_reduction_quality->Position(), 150);
    // Without "=" a number does nothing.
    Parse(With({"-owo", "20"}));
    EXPECT_EQ(f->XcUpDown_watermark_opacity->Position(), 50);
    EXPECT_THROW(Parse(With({"-owf", "=big"})), EConvertError);
}

TEST_F(BatchTest, OpacityAboveTheRangeKeepsTheBuiltInValue) {
    Parse(With({"-owo", "=150"}, "pdfWatermark"));
    EXPECT_EQ(Form_main->XcUpDown_watermark_opacity->Position(), 0);
    EXPECT_EQ(Form_main->StaticText_watermark_opacity->Caption(), "0");
}

TEST_F(BatchTest, TextSwitches) {
    TForm_main* f = Form_main;
    Parse(With({"-owt", "=机密 文件", "-oht", "=Title", "-ohx", "=Page #", "-oyp", "=s3cret",
                "-owt", "no equals"}));
    EXPECT_EQ(f->Edit_watermark_text->Text(), "机密 文件");
    EXPECT_EQ(f->Edit_html_title->Text(), "Title");
    EXPECT_EQ(f->Edit_html_pagetext->Text(), "Page #");
    EXPECT_EQ(f->Edit_encryption_password->Text(), "s3cret");
}

TEST_F(BatchTest, PaperSizes) {
    TForm_main* f = Form_main;
    Parse(With({"-op", "A4"}, "ps2pdf"));
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), 15);
    EXPECT_TRUE(f->StaticText_pagesize->Visible());
    EXPECT_EQ(f->StaticText_pagesize->Caption(),
              "W/H: 8.3/11.7 inches = 210/297 mm = 595/842 points");
    Parse(With({"-op", "Letter"}, "ps2pdf"));
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), 5);
    Parse(With({"-op", "A4", "-op", "a4"}, "ps2pdf"));  // no row of that name: nothing
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), 15);
    Parse(With({"-op", "d"}, "ps2pdf"));
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), 0);
    EXPECT_FALSE(f->StaticText_pagesize->Visible());

    f->Edit_papersize_width->SetText("");
    Parse(With({"-opw", "=500", "-oph", "=700"}, "tiff2pdf"));
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), 1);
    EXPECT_TRUE(f->Edit_papersize_width->Visible());
    // In batch mode the user size row keeps what the switches typed.
    EXPECT_EQ(f->Edit_papersize_width->Text(), "500");
    EXPECT_EQ(f->Edit_papersize_height->Text(), "700");

    // A second -c lays the panel out again and drops the choice.
    Parse(With({"-op", "A4", "-c", "ps2pdf"}, "ps2pdf"));
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), -1);
}

TEST_F(BatchTest, EncryptionTypeAndPermissions) {
    TForm_main* f = Form_main;
    Parse({"-c", "pdfEncrypt", "-s", docs + "a.pdf", "-or"});
    EXPECT_EQ(f->ComboBox_encryption_type->ItemIndex(), -1);  // no -oyt: no preset

    Parse(With({"-oyt", "tighten"}, "pdfEncrypt"));
    EXPECT_EQ(f->ComboBox_encryption_type->ItemIndex(), 1);
    EXPECT_EQ(f->StaticText_encryption_type->Caption(), "PDF: 1.4 / 密钥长度: 128 位");
    Parse(With({"-oyt", "tighten", "-oyt", "Standard"}, "pdfEncrypt"));  // case-sensitive: nothing
    EXPECT_EQ(f->ComboBox_encryption_type->ItemIndex(), 1);
    Parse(With({"-oyt", "s"}, "pdfEncrypt"));
    EXPECT_EQ(f->ComboBox_encryption_type->ItemIndex(), 0);
    EXPECT_EQ(f->StaticText_encryption_type->Caption(), "PDF: 1.2 / 密钥长度: 40 位");

    Parse(With({"-oya", "pc"}, "pdfEncrypt"));
    EXPECT_TRUE(f->CheckBox_encryption_allowsP->Checked());
    EXPECT_FALSE(f->CheckBox_encryption_allowsM->Checked());
    EXPECT_TRUE(f->CheckBox_encryption_allowsC->Checked());
    EXPECT_FALSE(f->CheckBox_encryption_allowsA->Checked());
    // Letters present never check a box again.
    Parse(With({"-oya", "pmca"}, "pdfEncrypt"));
    EXPECT_FALSE(f->CheckBox_encryption_allowsM->Checked());
    // As the last parameter the switch has no value and changes nothing.
    Parse(With({"-oya"}, "pdfEncrypt"));
    EXPECT_TRUE(f->CheckBox_encryption_allowsP->Checked());
    EXPECT_TRUE(f->CheckBox_encryption_allowsC->Checked());
}

TEST_F(BatchTest, HtmlBorderTakesNoValue) {
    TForm_main* f = Form_main;
    ASSERT_FALSE(f->CheckBox_html_border->Checked());
    Parse(With({"-ohb", "-oyt", "t"}, "pdf2htmlPreview"));
    EXPECT_TRUE(f->CheckBox_html_border->Checked());
    EXPECT_EQ(f->ComboBox_encryption_type->ItemIndex(), 1);
}

TEST_F(BatchTest, MergeAllFolderModeHidesTheFileList) {
    TForm_main* f = Form_main;
    Parse(With({"-om", "a"}, "pdfMergeAll"));
    EXPECT_TRUE(f->RadioButton_mergeAll_folder->Checked());
    EXPECT_FALSE(f->XcFileListBox_source->Visible());
    Parse(With({"-om", "s"}, "pdfMergeAll"));
    EXPECT_TRUE(f->RadioButton_mergeAll_files->Checked());
    EXPECT_TRUE(f->XcFileListBox_source->Visible());
    EXPECT_TRUE(f->XcFileListBox_source->MultiSelect());
    // Each click in the list toggles one file.
    EXPECT_FALSE(f->XcFileListBox_source->ExtendedSelect());
}

TEST_F(BatchTest, LaterSwitchesWinAndOtherFormsAreSkipped) {
    TForm_main* f = Form_main;
    Parse(With({"-oq", "l", "x", "-oq", "m", "--", "-", "-ox", "1", "-ozz", "=1", "+or", "600"}));
    EXPECT_TRUE(f->RadioButton_qualityM->Checked());
    EXPECT_TRUE(f->RadioButton_resolution300->Checked());
    // The value of a switch is examined as a switch itself.
    Parse(With({"-ov", "-oq", "x"}));
    EXPECT_TRUE(f->RadioButton_qualityX->Checked());
}

TEST_F(BatchTest, ConfigIsNeitherReadNorWritten) {
    apptest::Spit(folder + "config.ini", "[PDF2JPG]\nRADIOBUTTON_RESOLUTION600=1\n");
    std::string before = apptest::Slurp(folder + "config.ini");
    Parse(With({"-oq", "x"}));
    EXPECT_FALSE(Form_main->RadioButton_resolution600->Checked());
    EXPECT_EQ(apptest::Slurp(folder + "config.ini"), before);
}

// A syntax error leaves the show handler and reaches the application's exception handler,
// which shows it with auto-close; the run is not started.
TEST_F(AppTest, BatchSyntaxErrorReachesTheExceptionHandler) {
    TForm_MsgDlg::AutoCloseHoldMs = 10;
    SetParams({"-c", "pdf2jpg", "-s", folder + "a.pdf"});
    CreateWindows();
    ShowMain();
    EXPECT_TRUE(Form_main->FState.FBatchMode);
    std::string text = Form_MsgDlg->LabelMsgDlg->Caption();
    EXPECT_NE(text.find("转换处理已完成但带有错误!\n\n在批模式中少许参数。"), std::string::npos)
        << text;
    EXPECT_EQ(Form_MsgDlg->Caption(), " 错 误 ");
    EXPECT_TRUE(Form_MsgDlg->Timer_autoClose->Enabled());
    Form_MsgDlg->Timer_autoClose->SetEnabled(false);
    TForm_MsgDlg::AutoCloseHoldMs = 11000;
    TCloseAction action = caHide;
    Form_main->FormClose(Form_main, action);
}
