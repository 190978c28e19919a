// Start-up, the "COMMON" section, status and progress of the main window.
#include <sys/stat.h>

#include <functional>

#include "engine/util.h"
#include "tests/app/fixture.h"

using apptest::AppTest;

TEST_F(AppTest, CreationFormsFoldersAndTable) {
    CreateWindows();
    EXPECT_EQ(Form_main->FState.FAppPath, folder);
    EXPECT_TRUE(DirectoryExists(folder + "logs"));
    std::string day = FormatDateTime("yyyy-mm-dd", Now());
    EXPECT_EQ(Form_main->FState.FLogDir, folder + "logs/" + day + "/");
    EXPECT_TRUE(DirectoryExists(Form_main->FState.FLogDir));
    EXPECT_EQ(Functions.size(), 22u);
    ASSERT_NE(Form_main->FState.FErrors, nullptr);
    ASSERT_NE(Form_main->FState.FMergeOrder, nullptr);
    EXPECT_EQ(Form_main->ClientWidth(), 692);
    EXPECT_EQ(Form_main->ClientHeight(), 591);
    EXPECT_EQ(Form_main->BorderStyle(), bsNone);
}

TEST_F(AppTest, TheWindowHandsItsOwnRunStateToTheEngineWhileItLives) {
    CreateWindows();
    ASSERT_EQ(MainState(), &Form_main->FState);
    // The engine finds the window by its name and the option controls through the state.
    EXPECT_EQ(MainState()->FindComponent("Form_main"), Form_main);
    EXPECT_EQ(MainState()->FindComponent("RadioButton_resolution72"),
              Form_main->RadioButton_resolution72);
    EXPECT_EQ(MainState()->FindComponent("NoSuchControl"), nullptr);
    delete Form_MsgDlg;
    Form_MsgDlg = nullptr;
    delete Form_main;
    Form_main = nullptr;
    EXPECT_EQ(MainState(), nullptr);
}

TEST_F(AppTest, ShowFillsFunctionsAndRestoresCommon) {
    std::string docs = folder + "docs 文档/";
    ForceDirectories(docs);
    apptest::Spit(docs + "a b.ps", "%!PS\nshowpage\n");
    apptest::Spit(folder + "config.ini",
                  "[COMMON]\nLAST_CONVERTING_FUNCTION=5\nLAST_FILE=" + docs +
                      "a b.ps\n"
                      "DESTINATION_EQUAL_SOURCE=0\nDESTINATION_PATH=/tmp/out/\nAUTO_SHOW=1\n");
    CreateWindows();
    ShowMain();
    EXPECT_EQ(Form_main->Caption(), " Vexomat 5.44d");
    EXPECT_EQ(Form_main->Label_applName->Caption(), "Vexomat 5.44d");
    ASSERT_EQ(Form_main->ComboBoxEx_function->ItemExCount(), 22);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemEx(0).Indent, 0);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemEx(1).Indent, 3);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemEx(7).Indent, 0);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemEx(16).Caption, "其他的功能");
    EXPECT_EQ(Form_main->ComboBoxEx_function->DropDownCount(), 22);
    EXPECT_EQ(Form_main->ComboBoxEx_function->ItemIndex(), 5);
    EXPECT_EQ(Form_main->StaticText_status->Caption(), "就绪。");
    EXPECT_EQ(Form_main->XcFileListBox_source->FileName(), docs + "a b.ps");
    EXPECT_FALSE(Form_main->CheckBox_destinationEqualSource->Checked());
    EXPECT_TRUE(Form_main->StaticText_destinationPath->Visible());
    EXPECT_EQ(Form_main->Panel_destination->Width(), 577);
    EXPECT_EQ(Form_main->StaticText_destinationPath->Caption(), "/tmp/out/");
    EXPECT_TRUE(Form_main->CheckBox_autoShow->Checked());
    EXPECT_FALSE(Form_main->FState.FBatchMode);
    EXPECT_EQ(Form_main->FState.FGsExe, folder + "gs/gswin32c.exe");
    apptest::KeepScreenshot(Form_main, "main-window");
}

TEST_F(AppTest, FunctionIndexOutOfRangeSelectsRowOne) {
    for (const char* stored : {"0", "-4", "22", "999", "junk"}) {
        apptest::Spit(folder + "config.ini",
                      std::string("[COMMON]\nLAST_CONVERTING_FUNCTION=") + stored + "\n");
        CreateWindows();
        ShowMain();
        EXPECT_EQ(Form_main->ComboBoxEx_function->ItemIndex(), 1) << stored;
        delete Form_MsgDlg;
        Form_MsgDlg = nullptr;
        delete Form_main;
        Form_main = nullptr;
        Application->SetMainForm(nullptr);
    }
}

TEST_F(AppTest, LastFileOfAnotherTypeSelectsItsFolder) {
    std::string docs = folder + "in/";
    ForceDirectories(docs);
    apptest::Spit(docs + "x.pdf", "%PDF-1.4\n");
    apptest::Spit(folder + "config.ini",
                  "[COMMON]\nLAST_CONVERTING_FUNCTION=5\nLAST_FILE=" + docs + "x.pdf\n");
    CreateWindows();
    ShowMain();
    EXPECT_EQ(Form_main->XcDirectoryListBox_source->Directory(), folder + "in");
    EXPECT_EQ(Form_main->XcFileListBox_source->FileName(), "");
}

TEST_F(AppTest, CloseWritesCommonInOrderAndKeepsVanishedLastFile) {
    apptest::Spit(folder + "config.ini", "[COMMON]\nLAST_FILE=/gone/old.ps\n");
    CreateWindows();
    ShowMain();
    Form_main->ComboBoxEx_function->SetItemIndex(8);
    Form_main->CheckBox_autoShow->SetChecked(true);
    Form_main->Close();
    std::string ini = apptest::Slurp(folder + "config.ini");
    EXPECT_EQ(
        ini,
        "[COMMON]\nLAST_FILE=/gone/old.ps\nLAST_CONVERTING_FUNCTION=8\nDESTINATION_EQUAL_SOURCE=1\n"
        "DESTINATION_PATH=\nAUTO_SHOW=1\n");
}

TEST_F(AppTest, StatusTextsAndProgressByteWrap) {
    CreateWindows();
    ShowMain();
    Form_main->SetStatus(1);
    EXPECT_EQ(Form_main->StaticText_status->Caption(), "正在转换...");
    EXPECT_EQ(Form_main->StyProgress_converting->Position(), 0);
    Form_main->SetStatus(-1);
    EXPECT_EQ(Form_main->StaticText_status->Caption(), "发生错误。");
    Form_main->SetStatus(7);
    EXPECT_EQ(Form_main->StaticText_status->Caption(), "没有定义。");
    EXPECT_EQ(Form_main->StyProgress_converting->Position(), 100);
    EXPECT_FALSE(Form_main->StyButton_show->Visible());

    // 0..100 by 5: 5, 10, ..., 100, then 5 again.
    Form_main->SetStatus(0);
    std::vector<int> seen;
    for (int i = 0; i < 22; ++i) {
        Form_main->Timer_progressTimer(nullptr);
        seen.push_back(Form_main->StyProgress_converting->Position());
    }
    EXPECT_EQ(seen[0], 5);
    EXPECT_EQ(seen[19], 100);
    EXPECT_EQ(seen[20], 5);
    // The position is a byte: a step past 255 wraps (100 + 200 = 44), and the bar keeps
    // its percent within 0..100. The tick compares the percent with MaxValue as it stands.
    Form_main->StyProgress_converting->SetMaxValue(300);
    Form_main->StyProgress_converting->Step = 200;
    Form_main->StyProgress_converting->SetPosition(250);
    EXPECT_EQ(Form_main->StyProgress_converting->Position(), 100);
    Form_main->Timer_progressTimer(nullptr);
    EXPECT_EQ(Form_main->StyProgress_converting->Position(), 44);
}

TEST_F(AppTest, ShowButtonWithoutResultSaysSo) {
    CreateWindows();
    ShowMain();
    Form_main->FState.FLastResult = folder + "missing.pdf";
    std::vector<std::string> shown;
    SetShowMsgHandler(nullptr);
    // The message box is modal here: answer it from a timer as a user would.
    TTimer answer(nullptr);
    answer.SetInterval(50);
    answer.OnTimer = [](TObject*) {
        if (Form_MsgDlg->Visible()) Form_MsgDlg->SpeedButtonOKClick(nullptr);
    };
    answer.SetEnabled(true);
    Form_main->StyButton_showClick(nullptr);
    EXPECT_EQ(Form_MsgDlg->LabelMsgDlg->Caption(), "无法找到输出文件。");
    EXPECT_EQ(Form_MsgDlg->Caption(), " 信 息 ");
}

// Settings that cannot be written (a folder holds the name, the name leads nowhere, a
// read-only program folder) are reported in Chinese with the file and the cause, the
// system's own words go to the log, and the window closes all the same.
TEST_F(AppTest, CloseWithUnwritableSettingsReportsTheFileAndCloses) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> spoil;
        const char* cause;
        const char* systemText;
        bool needsUnprivileged;
    } rows[] = {
        {"a folder named config.ini",
         [](const std::string& d) { std::filesystem::create_directory(d + "config.ini"); },
         "这是一个文件夹，不是文件。", "Is a directory", false},
        {"a link into a missing folder",
         [](const std::string& d) {
             std::filesystem::create_symlink(d + "missing/config.ini", d + "config.ini");
         },
         "系统找不到指定的文件。", "No such file or directory", false},
        {"a read-only program folder", [](const std::string& d) { chmod(d.c_str(), 0555); },
         "拒绝访问。", "Permission denied", true},
    };
    for (const auto& row : rows) {
        if (row.needsUnprivileged && geteuid() == 0) continue;  // root writes anyway
        CreateWindows();
        ShowMain();
        row.spoil(folder);
        SetShowMsgHandler(nullptr);
        std::string shown;
        TTimer answer(nullptr);
        answer.SetInterval(50);
        answer.OnTimer = [&](TObject*) {
            if (!Form_MsgDlg->Visible()) return;
            shown = Form_MsgDlg->LabelMsgDlg->Caption();
            Form_MsgDlg->SpeedButtonOKClick(nullptr);
        };
        answer.SetEnabled(true);
        Form_main->SpeedButton_closeWindowClick(nullptr);
        answer.SetEnabled(false);
        Application->ProcessMessages();  // the quit the close posted
        chmod(folder.c_str(), 0755);
        EXPECT_TRUE(Application->Terminated()) << row.what << ": the window stays";
        EXPECT_EQ(shown.rfind("设置没有保存!\n\n", 0), 0u) << row.what << ": " << shown;
        EXPECT_NE(shown.find(folder + "config.ini"), std::string::npos) << row.what << shown;
        EXPECT_NE(shown.find(row.cause), std::string::npos) << row.what << ": " << shown;
        EXPECT_EQ(shown.find(row.systemText), std::string::npos) << row.what << ": " << shown;
        const std::string log = apptest::Slurp(Form_main->FState.FLogDir + "info.log");
        EXPECT_NE(log.find(std::string("[") + row.systemText + "]"), std::string::npos)
            << row.what << "\n"
            << log;
        // The next row starts from fresh windows over a clean folder.
        CloseWindows();
        Application->ResetTerminated();
        std::filesystem::remove_all(folder + "config.ini");
        std::filesystem::remove(folder + "config.ini");
        SetShowMsgHandler([](const std::string& text, TMsgKind kind, bool autoClose) {
            return Form_MsgDlg->ShowMsg(text, kind, autoClose);
        });
    }
}
