// The option panel: group boxes per function, saved options per function, the paper and
// encryption combo boxes, the small handlers and the checks of typed numbers.
#include <map>
#include <set>

#include "engine/constants.h"
#include "platform/rtl/inifiles.h"
#include "platform/vcl/windowSystem.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

namespace {

int RowOf(const std::string& name) {
    for (size_t i = 0; i < Functions.size(); ++i)
        if (Functions[i].Name == name) return int(i);
    return -1;
}

// Chooses a function as the combo box does when the user picks it.
void Choose(const std::string& name) {
    Form_main->ComboBoxEx_function->SetItemIndex(RowOf(name));
    Form_main->ComboBoxEx_functionChange(Form_main->ComboBoxEx_function);
}

std::set<std::string> VisibleGroups() {
    std::set<std::string> names;
    TPanel* panel = Form_main->Panel_options;
    for (int i = 0; i < panel->ControlCount(); ++i) {
        auto* g = dynamic_cast<TGroupBox*>(panel->Controls(i));
        if (g && g->Visible()) names.insert(g->Name.substr(std::string("GroupBox_").size()));
    }
    return names;
}

std::vector<std::string> SectionKeys(const std::string& file, const std::string& section) {
    TIniFile ini(file);
    TStringList keys;
    ini.ReadSection(section, keys);
    std::vector<std::string> out;
    for (int i = 0; i < keys.Count(); ++i) out.push_back(keys[i]);
    return out;
}

class OptionsTest : public AppTest {
protected:
    // The window as a user sees it after start-up.
    void Open() {
        CreateWindows();
        ShowMain();
    }
    std::string Ini() const { return folder + "config.ini"; }
    // Shows a message without waiting for a button and returns its text.
    std::string LastMessage() {
        std::string text = Form_MsgDlg->LabelMsgDlg->Caption();
        Form_MsgDlg->Timer_autoClose->SetEnabled(false);
        return text;
    }
    // Runs the close handler, which frees what the window owns.
    void CloseMain() {
        if (!Form_main || !Form_main->FIni) return;
        TCloseAction action = caHide;
        Form_main->FormClose(Form_main, action);
    }
    void TearDown() override {
        CloseMain();
        TForm_MsgDlg::AutoCloseHoldMs = 11000;
        AppTest::TearDown();
    }
};

}  // namespace

// The nineteen groups with their captions share one row of the panel, each inside it.
TEST_F(OptionsTest, PanelHoldsNineteenGroupsInOneRow) {
    CreateWindows();
    TPanel* panel = Form_main->Panel_options;
    const std::map<std::string, std::string> captions = {
        {"GroupBox_identification", "识别空白区"},
        {"GroupBox_destination", "目标文件"},
        {"GroupBox_layer", "层"},
        {"GroupBox_data", "数据对象"},
        {"GroupBox_html", " HTML "},
        {"GroupBox_encryption", "加密"},
        {"GroupBox_sheets", "工作表"},
        {"GroupBox_papersize", "纸张大小"},
        {"GroupBox_colordepth", "颜色深度"},
        {"GroupBox_watermark", " 水印 "},
        {"GroupBox_mergeAll", " 正在合并..."},
        {"GroupBox_quality", " 质量 "},
        {"GroupBox_pagesperside", "每个幻灯片页面"},
        {"GroupBox_reduction", " 图形缩减 "},
        {"GroupBox_range", "正在转换..."},
        {"GroupBox_resolution", " 分辨率 "},
        {"GroupBox_orientation", " 方向 "},
        {"GroupBox_optimized", " PDF 优化... "},
        {"GroupBox_merge", " 合并 "},
    };
    int count = 0;
    std::set<int> tops, heights;
    for (int i = 0; i < panel->ControlCount(); ++i) {
        auto* g = dynamic_cast<TGroupBox*>(panel->Controls(i));
        if (!g) continue;
        ++count;
        auto it = captions.find(g->Name);
        ASSERT_NE(it, captions.end()) << g->Name;
        EXPECT_EQ(g->Caption(), it->second) << g->Name;
        EXPECT_EQ(g->Color(), clBlack) << g->Name;
        EXPECT_GE(g->Left(), 0) << g->Name;
        EXPECT_LE(g->Left() + g->Width(), panel->Width()) << g->Name;
        EXPECT_LE(g->Top() + g->Height(), panel->Height()) << g->Name;
        tops.insert(g->Top());
        heights.insert(g->Height());
    }
    EXPECT_EQ(count, 19);
    EXPECT_EQ(tops.size(), 1u);
    EXPECT_EQ(heights.size(), 1u);
}

TEST_F(OptionsTest, BuiltInValues) {
    CreateWindows();
    TForm_main* f = Form_main;
    EXPECT_TRUE(f->RadioButton_resolution300->Checked());
    EXPECT_FALSE(f->RadioButton_resolution72->Checked());
    for (TRadioButton* r :
         {f->RadioButton_sheetsFirst, f->RadioButton_orientationD, f->RadioButton_typeR,
          f->RadioButton_optimizedD, f->RadioButton_qualityN, f->RadioButton_colordepth24,
          f->RadioButton_layerS, f->RadioButton_mergeAll_files, f->RadioButton_rangeAll,
          f->RadioButton_pagesperside_1})
        EXPECT_TRUE(r->Checked()) << r->Name;
    for (TCheckBox* c : {f->CheckBox_encryption_allowsP, f->CheckBox_encryption_allowsM,
                         f->CheckBox_encryption_allowsC, f->CheckBox_encryption_allowsA})
        EXPECT_TRUE(c->Checked()) << c->Name;
    EXPECT_FALSE(f->CheckBox_html_border->Checked());
    for (TEdit* e : {f->Edit_resolution, f->Edit_optimized, f->Edit_quality})
        EXPECT_EQ(e->MaxLength(), 4) << e->Name;
    EXPECT_EQ(f->Edit_papersize_width->MaxLength(), 5);
    EXPECT_EQ(f->Edit_papersize_height->MaxLength(), 5);
    EXPECT_EQ(f->Edit_watermark_text->MaxLength(), 50);
    EXPECT_EQ(f->Edit_html_title->MaxLength(), 50);
    EXPECT_EQ(f->Edit_html_pagetext->MaxLength(), 50);
    EXPECT_EQ(f->Edit_quality->Hint(), "请在这里输入品质值(1..100)");
    EXPECT_EQ(f->Edit_resolution->Hint(), "在这里输入“dpi”值");
    EXPECT_EQ(f->Edit_optimized->Hint(), "请在这里输入优化(品质)值(5..200)。");
    EXPECT_EQ(f->RadioButton_qualityX->Hint(), "质量值 = 100");
    EXPECT_EQ(f->StaticText_pagesize->Caption(), "000");
    EXPECT_EQ(f->StaticText_encryption_type->Caption(), "000");

    struct Counter {
        TXcUpDown* u;
        TStaticText* t;
        int min, max, pos, inc;
    };
    for (const Counter& c :
         {Counter{f->XcUpDown_ignore_noise, f->StaticText_ignore_noise, 0, 500, 0, 1},
          Counter{f->XcUpDown_skip_border, f->StaticText_skip_border, 0, 500, 0, 1},
          Counter{f->XcUpDown_add_border, f->StaticText_add_border, 0, 500, 0, 1},
          Counter{f->XcUpDown_watermark_fontsize, f->StaticText_watermark_fontsize, 0, 500, 0, 1},
          Counter{f->XcUpDown_watermark_opacity, f->StaticText_watermark_opacity, 0, 100, 0, 1},
          Counter{f->XcUpDown_html_columns, f->StaticText_html_columns, 1, 500, 1, 1},
          Counter{f->XcUpDown_reduction_quality, f->StaticText_reduction_quality, 5, 300, 5, 5}}) {
        EXPECT_EQ(c.u->Min(), c.min) << c.u->Name;
        EXPECT_EQ(c.u->Max(), c.max) << c.u->Name;
        EXPECT_EQ(c.u->Position(), c.pos) << c.u->Name;
        EXPECT_EQ(c.u->Increment(), c.inc) << c.u->Name;
        EXPECT_EQ(c.u->Orientation, udHorizontal) << c.u->Name;
        EXPECT_EQ(c.u->Associate(), c.t) << c.u->Name;
        EXPECT_EQ(c.t->Caption(), "0") << c.t->Name;
        EXPECT_EQ(c.t->Width(), 28) << c.t->Name;
        EXPECT_EQ(c.t->Alignment, taCenter) << c.t->Name;
    }
    EXPECT_FALSE(f->XcUpDown_ignore_noise->HotTrack());
    EXPECT_TRUE(f->XcUpDown_ignore_noise->Thousands);
    EXPECT_TRUE(f->XcUpDown_reduction_quality->HotTrack());
    EXPECT_FALSE(f->XcUpDown_reduction_quality->Thousands);
}

TEST_F(OptionsTest, EveryFunctionShowsItsGroups) {
    Open();
    const std::map<std::string, std::set<std::string>> expected = {
        {"doc2pdf", {"orientation", "optimized", "range", "pagesperside"}},
        {"xls2pdf", {"orientation", "optimized", "sheets"}},
        {"ppt2pdf", {"orientation", "optimized"}},
        {"mdb2pdf", {"data", "optimized"}},
        {"ps2pdf", {"optimized", "papersize"}},
        {"tiff2pdf", {"papersize", "optimized"}},
        {"pdf2jpg", {"quality", "resolution"}},
        {"pdf2bmp", {"resolution", "colordepth"}},
        {"pdf2tiff", {"resolution", "layer"}},
        {"pdf2eps", {"resolution"}},
        {"pdf2ppt", {"orientation", "resolution", "colordepth"}},
        {"pdf2pdf", {"reduction"}},
        {"pdf2ps", {}},
        {"pdf2htmlPreview", {"html", "optimized"}},
        {"pdfMerge", {"merge"}},
        {"pdfMergeAll", {"mergeAll"}},
        {"pdfAutoCrop", {"identification", "destination"}},
        {"pdfWatermark", {"watermark"}},
        {"pdfEncrypt", {"encryption"}},
    };
    ASSERT_EQ(expected.size(), 19u);
    for (const auto& [name, groups] : expected) {
        Choose(name);
        EXPECT_EQ(Form_main->SelectedFunction().Name, name);
        EXPECT_EQ(VisibleGroups(), groups) << name;
        const TConverter& row = Functions[size_t(RowOf(name))];
        EXPECT_EQ(Form_main->ComboBoxEx_function->Hint(), name + ": " + row.Description);
        EXPECT_EQ(Form_main->StaticText_status->Caption(), "就绪。");
        EXPECT_TRUE(Form_main->XcFileListBox_source->Visible() || name == "pdfMergeAll") << name;
        // Both combo boxes are refilled and left without a choice unless options were loaded.
        EXPECT_EQ(Form_main->ComboBox_papersize->Items()->Count(), 2 + PaperSizeCount);
        EXPECT_EQ((*Form_main->ComboBox_papersize->Items())[0], "- 默认 -");
        EXPECT_EQ((*Form_main->ComboBox_papersize->Items())[1], "- 用户定义 -");
        EXPECT_EQ((*Form_main->ComboBox_papersize->Items())[15], "A4");
        EXPECT_EQ(Form_main->ComboBox_encryption_type->Items()->Count(), 2);
    }
}

TEST_F(OptionsTest, DividerRowsStandForTheFunctionAfterThem) {
    Open();
    Form_main->ComboBoxEx_function->SetItemIndex(RowOf("pdf2jpg") - 1);
    ASSERT_EQ(Functions[size_t(RowOf("pdf2jpg") - 1)].Title, "PDF => ");
    Form_main->ComboBoxEx_functionChange(Form_main->ComboBoxEx_function);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemIndex(), RowOf("pdf2jpg"));
    EXPECT_EQ(VisibleGroups(), (std::set<std::string>{"quality", "resolution"}));

    Form_main->ComboBoxEx_function->SetItemIndex(0);
    Form_main->ComboBoxEx_functionChange(Form_main->ComboBoxEx_function);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemIndex(), RowOf("doc2pdf"));

    Form_main->ComboBoxEx_function->SetItemIndex(RowOf("pdfMerge") - 1);
    Form_main->ComboBoxEx_functionChange(Form_main->ComboBoxEx_function);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemIndex(), RowOf("pdfMerge"));
    EXPECT_EQ(VisibleGroups(), (std::set<std::string>{"merge"}));

    // No choice at all changes nothing.
    Form_main->ComboBoxEx_function->SetItemIndex(-1);
    Form_main->ComboBoxEx_functionChange(Form_main->ComboBoxEx_function);
    EXPECT_EQ(VisibleGroups(), (std::set<std::string>{"merge"}));
}

TEST_F(OptionsTest, AutoCropRendersAt72DpiInBlackAndWhiteAndPlacesCounters) {
    Open();
    Choose("pdfAutoCrop");
    EXPECT_TRUE(Form_main->RadioButton_resolution72->Checked());
    EXPECT_TRUE(Form_main->RadioButton_colordepth1->Checked());
    EXPECT_FALSE(Form_main->GroupBox_resolution->Visible());
    EXPECT_FALSE(Form_main->GroupBox_colordepth->Visible());
    EXPECT_EQ(Form_main->XcUpDown_ignore_noise->Top(), 23);
    EXPECT_EQ(Form_main->XcUpDown_skip_border->Top(), 43);
    EXPECT_EQ(Form_main->XcUpDown_add_border->Top(), 31);
    EXPECT_EQ(Form_main->XcUpDown_add_border->Width(), 32);
    EXPECT_EQ(Form_main->XcUpDown_add_border->Height(), 15);
    // A new section gives the defaults, with the counters' texts.
    EXPECT_EQ(Form_main->XcUpDown_ignore_noise->Position(), 4);
    EXPECT_EQ(Form_main->StaticText_ignore_noise->Caption(), "4");
    EXPECT_EQ(Form_main->XcUpDown_skip_border->Position(), 20);
    EXPECT_EQ(Form_main->StaticText_skip_border->Caption(), "20");
    EXPECT_EQ(Form_main->XcUpDown_add_border->Position(), 5);
    EXPECT_EQ(Form_main->StaticText_add_border->Caption(), "5");
    apptest::KeepScreenshot(Form_main, "options-pdfAutoCrop");
}

TEST_F(OptionsTest, NewSectionsLoadTheirDefaults) {
    CreateWindows();
    EXPECT_TRUE(Form_main->RadioButton_resolution300->Checked());
    ShowMain();
    Choose("pdf2ppt");
    EXPECT_TRUE(Form_main->RadioButton_resolution150->Checked());
    EXPECT_FALSE(Form_main->RadioButton_resolution300->Checked());
    for (const char* name : {"pdf2jpg", "pdf2bmp", "pdf2tiff", "pdf2eps"}) {
        Choose(name);
        EXPECT_TRUE(Form_main->RadioButton_resolution72->Checked()) << name;
        EXPECT_FALSE(Form_main->RadioButton_resolution150->Checked()) << name;
    }
    Choose("pdfWatermark");
    EXPECT_EQ(Form_main->Edit_watermark_text->Text(), "- STRICTLY CONFIDENTIAL -");
    EXPECT_EQ(Form_main->XcUpDown_watermark_fontsize->Position(), 60);
    EXPECT_EQ(Form_main->StaticText_watermark_fontsize->Caption(), "60");
    EXPECT_EQ(Form_main->XcUpDown_watermark_opacity->Position(), 30);
    EXPECT_EQ(Form_main->StaticText_watermark_opacity->Caption(), "30");
    Choose("pdf2htmlPreview");
    EXPECT_EQ(Form_main->Edit_html_title->Text(), "我的HTML标题");
    EXPECT_EQ(Form_main->Edit_html_pagetext->Text(), "页 #");
    EXPECT_EQ(Form_main->XcUpDown_html_columns->Position(), 4);
    EXPECT_TRUE(Form_main->CheckBox_html_border->Checked());
    Choose("pdf2pdf");
    EXPECT_EQ(Form_main->XcUpDown_reduction_quality->Position(), 50);
    EXPECT_EQ(Form_main->StaticText_reduction_quality->Caption(), "50");
    Choose("ps2pdf");
    EXPECT_EQ(Form_main->ComboBox_papersize->ItemIndex(), 0);
    EXPECT_FALSE(Form_main->StaticText_pagesize->Visible());
    Choose("pdfEncrypt");
    EXPECT_EQ(Form_main->ComboBox_encryption_type->ItemIndex(), 0);
    EXPECT_EQ(Form_main->StaticText_encryption_type->Caption(), "PDF: 1.2 / 密钥长度: 40 位");
    // Loading wrote nothing.
    EXPECT_FALSE(Form_main->FIni->SectionExists("PDFENCRYPT"));
}

TEST_F(OptionsTest, WatermarkSavesExactlyItsThreeKeys) {
    Open();
    Choose("pdfWatermark");
    Form_main->Edit_watermark_text->SetText("草稿");
    TOptionPanel::SetCounter(Form_main->XcUpDown_watermark_fontsize,
                             Form_main->StaticText_watermark_fontsize, 72);
    Form_main->SaveOptions();
    EXPECT_EQ(SectionKeys(Ini(), "PDFWATERMARK"),
              (std::vector<std::string>{"EDIT_WATERMARK_TEXT", "XCUPDOWN_WATERMARK_FONTSIZE",
                                        "XCUPDOWN_WATERMARK_OPACITY"}));
    TIniFile ini(Ini());
    EXPECT_EQ(ini.ReadString("PDFWATERMARK", "EDIT_WATERMARK_TEXT", ""), "草稿");
    EXPECT_EQ(ini.ReadString("PDFWATERMARK", "XCUPDOWN_WATERMARK_FONTSIZE", ""), "72");
    EXPECT_EQ(ini.ReadString("PDFWATERMARK", "XCUPDOWN_WATERMARK_OPACITY", ""), "30");
}

TEST_F(OptionsTest, SavedKeysFollowTheVisibleGroupsInOrder) {
    Open();
    Choose("doc2pdf");
    Form_main->SaveOptions();
    EXPECT_EQ(SectionKeys(Ini(), "DOC2PDF"),
              (std::vector<std::string>{
                  "RADIOBUTTON_ORIENTATIOND", "RADIOBUTTON_ORIENTATIONP",
                  "RADIOBUTTON_ORIENTATIONL", "RADIOBUTTON_OPTIMIZEDD", "RADIOBUTTON_OPTIMIZEDS",
                  "RADIOBUTTON_OPTIMIZEDP", "RADIOBUTTON_OPTIMIZEDR", "RADIOBUTTON_OPTIMIZEDEDIT",
                  "EDIT_OPTIMIZED", "RADIOBUTTON_RANGEALL", "RADIOBUTTON_RANGEEDIT", "EDIT_RANGE",
                  "RADIOBUTTON_PAGESPERSIDE_1", "RADIOBUTTON_PAGESPERSIDE_2",
                  "RADIOBUTTON_PAGESPERSIDE_4", "RADIOBUTTON_PAGESPERSIDE_6",
                  "RADIOBUTTON_PAGESPERSIDE_8", "RADIOBUTTON_PAGESPERSIDE_16"}));
    Choose("pdf2jpg");
    Form_main->SaveOptions();
    EXPECT_EQ(SectionKeys(Ini(), "PDF2JPG"),
              (std::vector<std::string>{
                  "RADIOBUTTON_RESOLUTION72", "RADIOBUTTON_RESOLUTION100",
                  "RADIOBUTTON_RESOLUTION150", "RADIOBUTTON_RESOLUTION300",
                  "RADIOBUTTON_RESOLUTION600", "RADIOBUTTON_RESOLUTIONEDIT", "EDIT_RESOLUTION",
                  "RADIOBUTTON_QUALITYN", "RADIOBUTTON_QUALITYL", "RADIOBUTTON_QUALITYX",
                  "RADIOBUTTON_QUALITYM", "RADIOBUTTON_QUALITYEDIT", "EDIT_QUALITY"}));
    Choose("pdfEncrypt");
    Form_main->Edit_encryption_password->SetText("geheim");
    Form_main->SaveOptions();
    EXPECT_EQ(
        SectionKeys(Ini(), "PDFENCRYPT"),
        (std::vector<std::string>{"CHECKBOX_ENCRYPTION_ALLOWSP", "CHECKBOX_ENCRYPTION_ALLOWSM",
                                  "CHECKBOX_ENCRYPTION_ALLOWSC", "CHECKBOX_ENCRYPTION_ALLOWSA",
                                  "COMBOBOX_ENCRYPTION_TYPE"}));
    EXPECT_EQ(apptest::Slurp(Ini()).find("geheim"), std::string::npos);
    Choose("pdfMerge");
    Form_main->Edit_2ndFile->SetText("/tmp/x.pdf");
    Form_main->SaveOptions();
    EXPECT_FALSE(Form_main->FIni->SectionExists("PDFMERGE"));
    Choose("pdf2ps");
    Form_main->SaveOptions();
    EXPECT_FALSE(Form_main->FIni->SectionExists("PDF2PS"));
}

TEST_F(OptionsTest, RoundTripRestoresEveryGroup) {
    Open();
    TForm_main* f = Form_main;
    Choose("pdf2jpg");
    f->RadioButton_resolutionEdit->SetChecked(true);
    f->Edit_resolution->SetText("250");
    f->RadioButton_qualityX->SetChecked(true);
    f->SaveOptions();
    Choose("ps2pdf");
    f->RadioButton_optimizedEdit->SetChecked(true);
    f->Edit_optimized->SetText("120");
    f->ComboBox_papersize->SetItemIndex(15);
    f->ComboBox_papersizeChange(f->ComboBox_papersize);
    f->SaveOptions();
    Choose("pdf2htmlPreview");
    f->Edit_html_title->SetText("标题 1");
    f->Edit_html_pagetext->SetText("第 # 页");
    TOptionPanel::SetCounter(f->XcUpDown_html_columns, f->StaticText_html_columns, 6);
    f->CheckBox_html_border->SetChecked(false);
    f->SaveOptions();
    Choose("pdfEncrypt");
    f->CheckBox_encryption_allowsM->SetChecked(false);
    f->ComboBox_encryption_type->SetItemIndex(1);
    f->SaveOptions();
    Choose("mdb2pdf");
    f->RadioButton_typeQ->SetChecked(true);
    f->Edit_dataName->SetText("Orders");
    f->SaveOptions();
    Choose("doc2pdf");
    f->RadioButton_rangeEdit->SetChecked(true);
    f->Edit_range->SetText("2, 6-10");
    f->RadioButton_pagesperside_4->SetChecked(true);
    f->RadioButton_orientationL->SetChecked(true);
    f->SaveOptions();
    Choose("pdfMergeAll");
    f->RadioButton_mergeAll_folder->SetChecked(true);
    f->SaveOptions();
    EXPECT_FALSE(f->XcFileListBox_source->Visible());

    // Another window on the same config.ini reads all of it back.
    CloseMain();
    delete Form_MsgDlg;
    Form_MsgDlg = nullptr;
    delete Form_main;
    Form_main = nullptr;
    Open();
    f = Form_main;
    Choose("pdf2jpg");
    EXPECT_TRUE(f->RadioButton_resolutionEdit->Checked());
    EXPECT_FALSE(f->RadioButton_resolution72->Checked());
    EXPECT_EQ(f->Edit_resolution->Text(), "250");
    EXPECT_TRUE(f->RadioButton_qualityX->Checked());
    EXPECT_EQ(f->Edit_quality->Text(), "");
    Choose("ps2pdf");
    EXPECT_TRUE(f->RadioButton_optimizedEdit->Checked());
    EXPECT_EQ(f->Edit_optimized->Text(), "120");
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), 15);
    EXPECT_TRUE(f->StaticText_pagesize->Visible());
    EXPECT_EQ(f->StaticText_pagesize->Caption(),
              "W/H: 8.3/11.7 inches = 210/297 mm = 595/842 points");
    Choose("pdf2htmlPreview");
    EXPECT_EQ(f->Edit_html_title->Text(), "标题 1");
    EXPECT_EQ(f->Edit_html_pagetext->Text(), "第 # 页");
    EXPECT_EQ(f->XcUpDown_html_columns->Position(), 6);
    EXPECT_EQ(f->StaticText_html_columns->Caption(), "6");
    EXPECT_FALSE(f->CheckBox_html_border->Checked());
    Choose("pdfEncrypt");
    EXPECT_TRUE(f->CheckBox_encryption_allowsP->Checked());
    EXPECT_FALSE(f->CheckBox_encryption_allowsM->Checked());
    EXPECT_EQ(f->ComboBox_encryption_type->ItemIndex(), 1);
    EXPECT_EQ(f->StaticText_encryption_type->Caption(), "PDF: 1.4 / 密钥长度: 128 位");
    Choose("mdb2pdf");
    EXPECT_TRUE(f->RadioButton_typeQ->Checked());
    EXPECT_FALSE(f->RadioButton_typeR->Checked());
    EXPECT_EQ(f->Edit_dataName->Text(), "Orders");
    Choose("doc2pdf");
    EXPECT_TRUE(f->RadioButton_rangeEdit->Checked());
    EXPECT_EQ(f->Edit_range->Text(), "2, 6-10");
    EXPECT_TRUE(f->RadioButton_pagesperside_4->Checked());
    EXPECT_TRUE(f->RadioButton_orientationL->Checked());
    Choose("pdfMergeAll");
    EXPECT_TRUE(f->RadioButton_mergeAll_folder->Checked());
    EXPECT_FALSE(f->RadioButton_mergeAll_files->Checked());
    EXPECT_FALSE(f->XcFileListBox_source->Visible());
    // Another function brings the list back in single selection.
    Choose("pdf2ps");
    EXPECT_TRUE(f->XcFileListBox_source->Visible());
    EXPECT_FALSE(f->XcFileListBox_source->MultiSelect());
}

TEST_F(OptionsTest, StoredValuesOutsideACounterRangeAreRefused) {
    apptest::Spit(
        Ini(),
        "[PDFWATERMARK]\nXCUPDOWN_WATERMARK_OPACITY=150\nXCUPDOWN_WATERMARK_FONTSIZE=0x30\n"
        "[PDF2PDF]\nXCUPDOWN_REDUCTION_QUALITY=2\n");
    Open();
    Choose("pdfWatermark");
    // The opacity keeps the position it had: the built-in 0.
    EXPECT_EQ(Form_main->XcUpDown_watermark_opacity->Position(), 0);
    EXPECT_EQ(Form_main->StaticText_watermark_opacity->Caption(), "0");
    EXPECT_EQ(Form_main->XcUpDown_watermark_fontsize->Position(), 48);
    Choose("pdf2pdf");
    EXPECT_EQ(Form_main->XcUpDown_reduction_quality->Position(), 5);
    EXPECT_EQ(Form_main->StaticText_reduction_quality->Caption(), "5");
}

TEST_F(OptionsTest, AllFalseLeavesAGroupWithNothingChecked) {
    apptest::Spit(Ini(),
                  "[PDF2EPS]\nRADIOBUTTON_RESOLUTION72=0\nRADIOBUTTON_RESOLUTION600=junk\nEDIT_"
                  "RESOLUTION=99\n");
    Open();
    Choose("pdf2eps");
    for (TRadioButton* r :
         {Form_main->RadioButton_resolution72, Form_main->RadioButton_resolution100,
          Form_main->RadioButton_resolution150, Form_main->RadioButton_resolution300,
          Form_main->RadioButton_resolution600, Form_main->RadioButton_resolutionEdit})
        EXPECT_FALSE(r->Checked()) << r->Name;
    // The edit belongs to its radio: emptied when that is not checked.
    EXPECT_EQ(Form_main->Edit_resolution->Text(), "");
}

TEST_F(OptionsTest, UserPaperSizeLoadedShowsStoredEditsAndByHandEmptyOnes) {
    apptest::Spit(
        Ini(),
        "[PS2PDF]\nCOMBOBOX_PAPERSIZE=1\nEDIT_PAPERSIZE_WIDTH=500\nEDIT_PAPERSIZE_HEIGHT=700\n");
    Open();
    TForm_main* f = Form_main;
    Choose("ps2pdf");
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), 1);
    EXPECT_TRUE(f->Edit_papersize_width->Visible());
    EXPECT_TRUE(f->Label_papersize_height->Visible());
    EXPECT_FALSE(f->StaticText_pagesize->Visible());
    EXPECT_EQ(f->Edit_papersize_width->Text(), "500");
    EXPECT_EQ(f->Edit_papersize_height->Text(), "700");

    f->ComboBox_papersize->SetItemIndex(3);
    f->ComboBox_papersizeChange(f->ComboBox_papersize);
    EXPECT_FALSE(f->Edit_papersize_width->Visible());
    EXPECT_TRUE(f->StaticText_pagesize->Visible());
    EXPECT_EQ(f->StaticText_pagesize->Caption(),
              "W/H: 17.0/11.0 inches = 432/279 mm = 1224/792 points");

    f->ComboBox_papersize->SetItemIndex(1);
    f->ComboBox_papersizeChange(f->ComboBox_papersize);
    EXPECT_TRUE(f->Edit_papersize_width->Visible());
    EXPECT_EQ(f->Edit_papersize_width->Text(), "");
    EXPECT_EQ(f->Edit_papersize_height->Text(), "");

    f->ComboBox_papersize->SetItemIndex(0);
    f->ComboBox_papersizeChange(f->ComboBox_papersize);
    EXPECT_FALSE(f->Edit_papersize_width->Visible());
    EXPECT_FALSE(f->StaticText_pagesize->Visible());
}

TEST_F(OptionsTest, CombosWithoutAChoiceIndexNoTable) {
    apptest::Spit(Ini(),
                  "[TIFF2PDF]\nCOMBOBOX_PAPERSIZE=99\n[PDFENCRYPT]\nCOMBOBOX_ENCRYPTION_TYPE=7\n");
    Open();
    TForm_main* f = Form_main;
    Choose("tiff2pdf");
    EXPECT_EQ(f->ComboBox_papersize->ItemIndex(), -1);
    EXPECT_FALSE(f->StaticText_pagesize->Visible());
    EXPECT_FALSE(f->Edit_papersize_width->Visible());
    Choose("pdfEncrypt");
    EXPECT_EQ(f->ComboBox_encryption_type->ItemIndex(), -1);
    EXPECT_EQ(f->StaticText_encryption_type->Caption(), "");
    f->ComboBox_encryption_type->SetItemIndex(-1);
    f->ComboBox_encryption_typeChange(nullptr);
    f->ComboBox_papersizeChange(nullptr);
    EXPECT_EQ(f->StaticText_encryption_type->Caption(), "");
}

TEST_F(OptionsTest, RightFormatMaskKeepsTheMatchingSelection) {
    std::string docs = folder + "docs/";
    ForceDirectories(docs);
    apptest::Spit(docs + "scan.tif", std::string("II*\0", 4));
    apptest::Spit(docs + "paper.pdf", "%PDF-1.4\n");
    Open();
    TForm_main* f = Form_main;
    ASSERT_TRUE(f->CheckBox_rightFormat->Checked());
    f->XcFileListBox_source->SetMask("*.*");
    f->SelectSource(docs + "scan.tif");
    ASSERT_EQ(f->XcFileListBox_source->FileName(), docs + "scan.tif");
    Choose("tiff2pdf");
    EXPECT_EQ(f->XcFileListBox_source->Mask(), "*.tif;*.tiff");
    EXPECT_EQ(f->XcFileListBox_source->FileName(), docs + "scan.tif");
    Choose("pdf2jpg");
    EXPECT_EQ(f->XcFileListBox_source->Mask(), "*.pdf");
    EXPECT_EQ(f->XcFileListBox_source->FileName(), "");

    // Unchecked, a function leaves the mask alone.
    f->CheckBox_rightFormat->SetChecked(false);
    EXPECT_EQ(f->XcFileListBox_source->Mask(), "*.*");
    Choose("tiff2pdf");
    EXPECT_EQ(f->XcFileListBox_source->Mask(), "*.*");
}

TEST_F(OptionsTest, TheSourceDialogOffersTheFunctionsExtensionsJoinedWithSemicolons) {
    std::string docs = folder + "docs/";
    ForceDirectories(docs);
    apptest::Spit(docs + "scan.tif", std::string("II*\0", 4));
    Open();
    TForm_main* f = Form_main;
    f->SelectSource(docs + "scan.tif");
    struct Row {
        const char* function;
        bool rightFormat;
        const char* filter;
    };
    const Row rows[] = {
        {"tiff2pdf", true, "源格式文件 (*.tif;*.tiff)|*.tif;*.tiff"},
        {"tiff2pdf", false, "源格式文件 (*.tif;*.tiff)|*.tif;*.tiff"},  // whatever the box says
        {"pdf2jpg", true, "源格式文件 (*.pdf)|*.pdf"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.function);
        f->CheckBox_rightFormat->SetChecked(r.rightFormat);
        Choose(r.function);
        std::string shownFilter, shownFolder;
        ws::SetOpenFileDialogDriver([&](const std::string&, const std::string& dir,
                                        const std::string& filter, std::string& chosen) {
            shownFilter = filter;
            shownFolder = dir;
            chosen = docs + "scan.tif";
            return true;
        });
        f->SpeedButton_destinationFileClick(nullptr);
        ws::SetOpenFileDialogDriver(nullptr);
        EXPECT_EQ(shownFilter, r.filter);
        EXPECT_EQ(IncludeTrailingPathDelimiter(shownFolder), docs);
        if (r.rightFormat && std::string(r.function) == "tiff2pdf") {
            EXPECT_EQ(f->XcFileListBox_source->FileName(), docs + "scan.tif");  // the one chosen
        }
    }
}

TEST_F(OptionsTest, SmallHandlersKeepEditsAndRadiosTogether) {
    Open();
    TForm_main* f = Form_main;
    f->Edit_resolutionClick(f->Edit_resolution);
    EXPECT_TRUE(f->RadioButton_resolutionEdit->Checked());
    f->Edit_resolution->SetText("120");
    f->RadioButton_resolution600->SetChecked(true);
    EXPECT_EQ(f->Edit_resolution->Text(), "");

    f->Edit_qualityClick(f->Edit_quality);
    EXPECT_TRUE(f->RadioButton_qualityEdit->Checked());
    f->Edit_quality->SetText("50");
    f->RadioButton_qualityL->SetChecked(true);
    EXPECT_EQ(f->Edit_quality->Text(), "");

    f->Edit_optimizedClick(f->Edit_optimized);
    EXPECT_TRUE(f->RadioButton_optimizedEdit->Checked());
    f->Edit_optimized->SetText("50");
    f->RadioButton_optimizedP->SetChecked(true);
    EXPECT_EQ(f->Edit_optimized->Text(), "");

    f->Edit_rangeClick(f->Edit_range);
    EXPECT_TRUE(f->RadioButton_rangeEdit->Checked());
    f->Edit_range->SetText("1-3");
    f->RadioButton_rangeAll->SetChecked(true);
    EXPECT_EQ(f->Edit_range->Text(), "");

    // Unchecking from code runs nothing.
    f->Edit_resolution->SetText("77");
    f->RadioButton_resolution600->SetChecked(false);
    EXPECT_EQ(f->Edit_resolution->Text(), "77");
}

TEST_F(OptionsTest, TypedNumbersAreCheckedWhenLeavingTheEdit) {
    Open();
    TForm_main* f = Form_main;
    f->FState.FBatchMode = true;  // the message box does not wait
    TForm_MsgDlg::AutoCloseHoldMs = 10;
    const std::string notice = "*** 此对话框将在 10 秒后自动关闭! ***\n\n";
    struct Case {
        TEdit* edit;
        void (TOptionPanel::*exit)(TObject*);
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {f->Edit_quality, &TOptionPanel::Edit_qualityExit, "abc", "请只输入整数值!"},
        {f->Edit_quality, &TOptionPanel::Edit_qualityExit, "0", "请只输入在 1 与 100 间的值!"},
        {f->Edit_quality, &TOptionPanel::Edit_qualityExit, "101", "请只输入在 1 与 100 间的值!"},
        {f->Edit_optimized, &TOptionPanel::Edit_optimizedExit, "4", "请只输入在 5 与 200 间的值!"},
        {f->Edit_optimized, &TOptionPanel::Edit_optimizedExit, "2.5", "请只输入整数值!"},
        {f->Edit_resolution, &TOptionPanel::Edit_resolutionExit, "x1", "请只输入整数值!"},
        {f->Edit_resolution, &TOptionPanel::Edit_resolutionExit, "0x10", "请只输入整数值!"},
    };
    for (const Case& c : cases) {
        f->FState.FBatchMode = true;
        Form_MsgDlg->LabelMsgDlg->SetCaption("");
        c.edit->SetText(c.text);
        (f->*c.exit)(c.edit);
        EXPECT_EQ(LastMessage(), notice + c.message) << c.text;
        EXPECT_EQ(Form_MsgDlg->Caption(), " 信 息 ") << c.text;
        EXPECT_EQ(c.edit->Text(), c.text);  // left as typed
    }
    // Accepted values show nothing.
    const Case fine[] = {
        {f->Edit_quality, &TOptionPanel::Edit_qualityExit, "", ""},
        {f->Edit_quality, &TOptionPanel::Edit_qualityExit, "100", ""},
        {f->Edit_optimized, &TOptionPanel::Edit_optimizedExit, "5", ""},
        {f->Edit_optimized, &TOptionPanel::Edit_optimizedExit, "200", ""},
        {f->Edit_resolution, &TOptionPanel::Edit_resolutionExit, "9999", ""},
        {f->Edit_resolution, &TOptionPanel::Edit_resolutionExit, "", ""},
    };
    for (const Case& c : fine) {
        Form_MsgDlg->LabelMsgDlg->SetCaption("");
        c.edit->SetText(c.text);
        (f->*c.exit)(c.edit);
        EXPECT_EQ(Form_MsgDlg->LabelMsgDlg->Caption(), "") << c.text;
    }
    f->FState.FBatchMode = false;
}

TEST_F(OptionsTest, BatchFunctionChangeLoadsNothingAndSaveWritesNothing) {
    apptest::Spit(Ini(), "[PDF2JPG]\nRADIOBUTTON_RESOLUTION600=1\n");
    CreateWindows();
    ShowMain();
    Form_main->FState.FBatchMode = true;
    Choose("pdf2jpg");
    EXPECT_FALSE(Form_main->RadioButton_resolution600->Checked());
    std::string before = apptest::Slurp(Ini());
    Form_main->SaveOptions();
    EXPECT_EQ(apptest::Slurp(Ini()), before);
}

// Whatever groups a function shows lie inside the option panel and do not cover each other.
TEST_F(OptionsTest, EveryFunctionsGroupsFitThePanelWithoutOverlapping) {
    Open();
    for (const char* name :
         {"doc2pdf", "ps2pdf", "pdf2jpg", "pdf2ppt", "pdf2htmlPreview", "pdfMerge", "pdfMergeAll",
          "pdfWatermark", "pdfEncrypt", "mdb2pdf", "pdf2pdf", "pdf2tiff"}) {
        Choose(name);
        if (std::string(name) == "ps2pdf") {
            Form_main->ComboBox_papersize->SetItemIndex(15);
            Form_main->ComboBox_papersizeChange(nullptr);
        }
        Application->ProcessMessages();
        apptest::KeepScreenshot(Form_main, std::string("options-") + name);
        apptest::KeepScreenshot(Form_main->Panel_options, std::string("panel-") + name);
        EXPECT_EQ(Form_main->SelectedFunction().Name, name);
        TWinControl* panel = Form_main->Panel_options;
        std::vector<TRect> shown;
        for (int i = 0; i < panel->ControlCount(); ++i) {
            TControl* c = panel->Controls(i);
            if (!c->Visible() || !dynamic_cast<TGroupBox*>(c)) continue;
            const TRect r = c->BoundsRect();
            EXPECT_GE(r.Left, 0) << name << " " << c->Name;
            EXPECT_GE(r.Top, 0) << name << " " << c->Name;
            EXPECT_LE(r.Right, panel->Width()) << name << " " << c->Name;
            EXPECT_LE(r.Bottom, panel->Height()) << name << " " << c->Name;
            for (const TRect& o : shown) {
                const bool apart = r.Right <= o.Left || o.Right <= r.Left || r.Bottom <= o.Top ||
                                   o.Bottom <= r.Top;
                EXPECT_TRUE(apart) << name << ": " << c->Name << " covers another group";
            }
            shown.push_back(r);
        }
        EXPECT_FALSE(shown.empty()) << name << " shows no option group";
    }
}

TEST_F(OptionsTest, StoredFolderModeHidesTheListEachTimeTheFunctionIsChosen) {
    apptest::Spit(Ini(),
                  "[PDFMERGEALL]\nRADIOBUTTON_MERGEALL_FILES=0\nRADIOBUTTON_MERGEALL_FOLDER=1\n");
    Open();
    for (int pass = 0; pass < 2; ++pass) {
        Choose("pdfMergeAll");
        EXPECT_TRUE(Form_main->RadioButton_mergeAll_folder->Checked()) << pass;
        EXPECT_FALSE(Form_main->XcFileListBox_source->Visible()) << pass;
        Choose("pdf2jpg");
        EXPECT_TRUE(Form_main->XcFileListBox_source->Visible()) << pass;
    }
    apptest::Spit(Ini(),
                  "[PDFMERGEALL]\nRADIOBUTTON_MERGEALL_FILES=1\nRADIOBUTTON_MERGEALL_FOLDER=0\n");
    Choose("pdfMergeAll");
    EXPECT_TRUE(Form_main->XcFileListBox_source->Visible());
    EXPECT_TRUE(Form_main->XcFileListBox_source->MultiSelect());
}
