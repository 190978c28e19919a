// The page-order window and a merge of two documents in a chosen order.
#include "app/arrange.h"

#include <chrono>

#include "platform/vcl/windowSystem.h"
#include "tests/app/fixture.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/pdf_revisions.h"

using apptest::AppTest;

namespace {

// A PDF of n pages whose text says "<tag> page k".
std::string MakePdf(const std::string& folder, const std::string& name, const std::string& tag,
                    int pages) {
    std::string ps = folder + name + ".ps", pdf = folder + name + ".pdf";
    std::string text = "%!PS\n";
    for (int i = 1; i <= pages; ++i)
        text += "/Helvetica findfont 30 scalefont setfont 72 700 moveto (" + tag + " page " +
                std::to_string(i) + ") show showpage\n";
    apptest::Spit(ps, text);
    e2e::Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
               "-sOutputFile=" + pdf, ps},
              folder + "gs.txt");
    return pdf;
}

std::string PageText(const std::string& pdf, int page, const std::string& scratch) {
    auto r =
        e2e::Exec({"pdftotext", "-f", std::to_string(page), "-l", std::to_string(page), pdf, "-"},
                  scratch + "txt.txt");
    return Trim(r.output);
}

// Drives the page-order window once it has analysed the files.
struct ArrangeDriver {
    explicit ArrangeDriver(const std::function<void()>& edit) : timer(nullptr) {
        timer.SetInterval(50);
        timer.OnTimer = [edit, this](TObject*) {
            if (!Form_arrange || !Form_arrange->Visible() ||
                Form_arrange->Panel_analyzing->Visible() || done)
                return;
            done = true;
            edit();
        };
        timer.SetEnabled(true);
    }
    TTimer timer;
    bool done = false;
};

void Select(TListBox* l, std::initializer_list<int> items) {
    for (int i = 0; i < l->Items()->Count(); ++i) l->SetSelected(i, false);
    for (int i : items) l->SetSelected(i, true);
}

// The merge function chosen in the shown main window, with its first and second file.
void ChooseMerge(const std::string& first, const std::string& second) {
    Form_main->ComboBoxEx_function->SetItemIndex(17);
    Form_main->ComboBoxEx_functionChange(nullptr);
    Form_main->SelectSource(first);
    Form_main->Edit_2ndFile->SetText(second);
}

}  // namespace

TEST_F(AppTest, InsertAndDeleteFollowTheSelection) {
    CreateWindows();
    Application->CreateForm(Form_arrange, "arrange.dfm");
    TForm_arrange* f = Form_arrange;
    for (int i = 1; i <= 3; ++i) f->ListBox_first->Items()->Add("页面 " + IntToStr(i));
    // After, into an empty target: first-file pages 1, 2 in order.
    Select(f->ListBox_first, {0, 1});
    f->StyButton_insertBeforeClick(f->StyButton_insertAfter);
    EXPECT_EQ(f->ListBox_destination->Items()->Text(), "F1: 页面 1\nF1: 页面 2\n");
    // Before the selected entry of a one-entry list: 2, 1, 1.
    f->ListBox_destination->Items()->Clear();
    f->ListBox_destination->Items()->Add("F1: 页面 1");
    Select(f->ListBox_destination, {0});
    f->StyButton_insertBeforeClick(f->StyButton_insertBefore);
    EXPECT_EQ(f->ListBox_destination->Items()->Text(), "F1: 页面 2\nF1: 页面 1\nF1: 页面 1\n");
    // Delete the selection; the first remaining entry becomes selected.
    Select(f->ListBox_destination, {0, 2});
    f->StyButton_deleteClick(nullptr);
    EXPECT_EQ(f->ListBox_destination->Items()->Text(), "F1: 页面 1\n");
    EXPECT_TRUE(f->ListBox_destination->Selected(0));
    // A click in one page list clears the other's selection.
    f->ListBox_second->Items()->Add("页面 1");
    Select(f->ListBox_second, {0});
    f->ListBox_firstClick(f->ListBox_first);
    EXPECT_FALSE(f->ListBox_second->Selected(0));
    delete Form_arrange;
    Form_arrange = nullptr;
}

// Return and the keypad's Enter press the focused insert button, as Space does; Escape
// presses nothing.
TEST_F(AppTest, ReturnPressesTheFocusedInsertButton) {
    CreateWindows();
    Application->CreateForm(Form_arrange, "arrange.dfm");
    TForm_arrange* f = Form_arrange;
    f->Show();
    f->Timer_start->SetEnabled(false);  // no analysis: the page list is filled here
    f->Panel_analyzing->SetVisible(false);
    for (int i = 1; i <= 2; ++i) f->ListBox_first->Items()->Add("页面 " + IntToStr(i));
    Select(f->ListBox_first, {1});
    f->StyButton_insertAfter->SetFocus();
    Application->ProcessMessages();
    ASSERT_TRUE(f->StyButton_insertAfter->Focused());
    const struct {
        int key;
        bool keypad;
        const char* target;
    } rows[] = {
        {13, false, "F1: 页面 2\n"},
        {13, true, "F1: 页面 2\nF1: 页面 2\n"},
        {32, false, "F1: 页面 2\nF1: 页面 2\nF1: 页面 2\n"},
        {27, false, "F1: 页面 2\nF1: 页面 2\nF1: 页面 2\n"},
    };
    for (const auto& r : rows) {
        ws::PressKey(r.key, 0, r.keypad);
        Application->ProcessMessages();
        EXPECT_EQ(f->ListBox_destination->Items()->Text(), r.target) << r.key << r.keypad;
    }
    EXPECT_TRUE(f->Visible());
    delete Form_arrange;
    Form_arrange = nullptr;
}

// The page lists start no drag (their DragMode is the default): pressing, moving and
// releasing chooses the pages passed over, and the other list lets go of its choice.
TEST_F(AppTest, PageListsChooseByTheMouseAndStartNoDrag) {
    CreateWindows();
    Application->CreateForm(Form_arrange, "arrange.dfm");
    TForm_arrange* f = Form_arrange;
    for (int i = 1; i <= 5; ++i) f->ListBox_first->Items()->Add("页面 " + IntToStr(i));
    f->ListBox_second->Items()->Add("页面 1");
    f->Show();
    Application->ProcessMessages();
    Select(f->ListBox_second, {0});
    EXPECT_EQ(f->ListBox_first->DragMode, dmManual);
    auto row = [&](int i) {
        const TRect r = f->ListBox_first->ItemRect(i);
        const TPoint o = f->ListBox_first->ClientOrigin();
        return TPoint{o.X + (r.Left + r.Right) / 2, o.Y + (r.Top + r.Bottom) / 2};
    };
    auto mouse = [&](UINT msg, TPoint p) {
        f->Peer()->sendMouse(msg, p.X, p.Y);
        Application->ProcessMessages();
    };
    mouse(WM_LBUTTONDOWN, row(0));
    mouse(WM_MOUSEMOVE, row(1));
    mouse(WM_MOUSEMOVE, row(2));
    EXPECT_FALSE(f->ListBox_first->Dragging());
    mouse(WM_LBUTTONUP, row(2));
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f->ListBox_first->Selected(i), i <= 2) << i;
    EXPECT_FALSE(f->ListBox_second->Selected(0));
    EXPECT_TRUE(f->SaveScreenshot(::testing::TempDir() + "arrange_mouse_choice.png"));
    delete Form_arrange;
    Form_arrange = nullptr;
}

TEST_F(AppTest, PageNumbersAndPageFiles) {
    EXPECT_EQ(TForm_arrange::PageNumberOf("页面 12"), 12);
    EXPECT_EQ(TForm_arrange::PageNumberOf("F2: 页面 7"), 7);
    EXPECT_EQ(TForm_arrange::PageNumberOf("not"), -1);
    EXPECT_EQ(TForm_arrange::PageFile("/t/1234/", "2---", 12), "/t/1234/2---page_p0012.pdf");
}

TEST_F(AppTest, OneFileWithoutSecondAndTheCloseButton) {
    std::string pdf = MakePdf(folder, "three", "A", 3);
    CreateWindows();
    ShowMain();
    ChooseMerge(pdf, "nothing here.pdf");
    ArrangeDriver d([] {
        EXPECT_EQ(Form_arrange->ListBox_first->Items()->Text(), "页面 1\n页面 2\n页面 3\n");
        EXPECT_EQ(Form_arrange->ListBox_second->Items()->Text(), "not\navailable\n");
        EXPECT_FALSE(Form_arrange->ListBox_second->Enabled());
        Form_arrange->ListBox_first->SetSelected(1, true);  // a selection in the picture
        apptest::KeepScreenshot(Form_arrange, "arrange-window");
        Form_arrange->SpeedButton_closeClick(nullptr);
    });
    Form_main->FState.FMergeOrder->Add("stale");
    Form_main->StyButton_arrangeClick(nullptr);
    EXPECT_TRUE(d.done);
    EXPECT_EQ(Form_main->FState.FMergeOrder->Count(), 0);
    EXPECT_EQ(Form_main->FState.FMergeFile1, pdf);
    EXPECT_EQ(Form_main->FState.FMergeFile2, "nothing here.pdf");
    EXPECT_TRUE(DirectoryExists(Form_main->FState.FArrangeTmp));
    EXPECT_TRUE(FileExists(Form_main->FState.FArrangeTmp + "1---page_p0003.pdf"));
    // Closing the main window removes the page-order folder.
    std::string tmp = Form_main->FState.FArrangeTmp;
    Form_main->Close();
    EXPECT_FALSE(DirectoryExists(tmp));
}

TEST_F(AppTest, TwoFilesMergedInTheChosenOrder) {
    std::string a = MakePdf(folder, "first doc", "A", 3);
    std::string b = MakePdf(folder, "second", "B", 2);
    CreateWindows();
    ShowMain();
    ChooseMerge(a, b);
    ArrangeDriver d([] {
        TForm_arrange* f = Form_arrange;
        EXPECT_EQ(f->ListBox_second->Items()->Count(), 2);
        // Choosing pages in one list clears the other, as a click does.
        Select(f->ListBox_second, {1});
        f->ListBox_firstClick(f->ListBox_second);
        f->StyButton_insertBeforeClick(f->StyButton_insertAfter);  // B2
        Select(f->ListBox_first, {2, 0});
        f->ListBox_firstClick(f->ListBox_first);
        f->StyButton_insertBeforeClick(f->StyButton_insertAfter);  // B2 A1 A3
        Select(f->ListBox_second, {0});
        f->ListBox_firstClick(f->ListBox_second);
        Select(f->ListBox_destination, {0});
        f->StyButton_insertBeforeClick(f->StyButton_insertBefore);  // B1 B2 A1 A3
        f->SpeedButton_closeClick(nullptr);
    });
    Form_main->StyButton_arrangeClick(nullptr);
    ASSERT_TRUE(d.done);
    EXPECT_EQ(Form_main->FState.FMergeOrder->Text(),
              "F2: 页面 1\nF2: 页面 2\nF1: 页面 1\nF1: 页面 3\n");
    std::string tmp = Form_main->FState.FArrangeTmp;
    // Start, answering the completion message.
    TTimer ok(nullptr);
    ok.SetInterval(50);
    ok.OnTimer = [](TObject*) {
        if (Form_MsgDlg->Visible()) Form_MsgDlg->SpeedButtonOKClick(nullptr);
    };
    ok.SetEnabled(true);
    Form_main->StyButton_startClick(nullptr);
    std::string merged = folder + "MERGED-first doc.pdf";
    ASSERT_TRUE(FileExists(merged)) << Form_main->FState.FErrors->Text();
    EXPECT_EQ(e2e::PdfPages(merged, folder), 4);
    EXPECT_EQ(PageText(merged, 1, folder), "B page 1");
    EXPECT_EQ(PageText(merged, 2, folder), "B page 2");
    EXPECT_EQ(PageText(merged, 3, folder), "A page 1");
    EXPECT_EQ(PageText(merged, 4, folder), "A page 3");
    EXPECT_FALSE(DirectoryExists(tmp));
}

TEST_F(AppTest, ArrangeWithoutASelectedFileSaysSo) {
    CreateWindows();
    ShowMain();
    Form_main->StaticText_currentFile->SetCaption("");
    std::string shown;
    TTimer t(nullptr);
    t.SetInterval(30);
    t.OnTimer = [&](TObject*) {
        if (!Form_MsgDlg->Visible()) return;
        shown = Form_MsgDlg->LabelMsgDlg->Caption();
        Form_MsgDlg->SpeedButtonOKClick(nullptr);
    };
    t.SetEnabled(true);
    Form_main->StyButton_arrangeClick(nullptr);
    EXPECT_EQ(shown, "没有选择! \n\n请先选择你的源文件。");
}

TEST_F(AppTest, PageOrderWindowClosesByAltLAndKeepsOpenOnEscape) {
    std::string pdf = MakePdf(folder, "keys", "K", 2);
    CreateWindows();
    ShowMain();
    Form_main->ComboBoxEx_function->SetItemIndex(17);
    Form_main->ComboBoxEx_functionChange(nullptr);
    Form_main->SelectSource(pdf);
    bool stayed = false;
    ArrangeDriver d([&] {
        ws::PressKey(27, 0);
        Application->ProcessMessages();
        stayed = Form_arrange && Form_arrange->Visible();
        ws::PressKey('L', 2);  // ">> 关闭(&L)"
        Application->ProcessMessages();
    });
    Form_main->StyButton_arrangeClick(nullptr);
    EXPECT_TRUE(d.done);
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(!Form_arrange || !Form_arrange->Visible());
}

namespace {

class PrivateTmpDir {
public:
    PrivateTmpDir() : dir(e2e::TempFolder("vx arrange tmp ")) { setenv("TMPDIR", dir.c_str(), 1); }
    ~PrivateTmpDir() {
        unsetenv("TMPDIR");
        apptest::RemoveTree(dir);
    }
    std::string dir;
};

}  // namespace

TEST_F(AppTest, PageFilesLieInAPrivateTemporaryFolderAndNothingIsWrittenBesideTheSource) {
    const std::string src = e2e::TempFolder("vx arrange src ");
    PrivateTmpDir tmp;
    const std::string pdf = MakePdf(src, "pages", "P", 2);
    std::filesystem::remove(src + "pages.ps");
    std::filesystem::remove(src + "gs.txt");
    // Named like the program's page folders: one a killed program left (its marker unheld),
    // one that is not the program's (no marker); only the first is removed.
    const std::string abandoned = tmp.dir + "vexomat-pages-12345678/";
    const std::string foreign = tmp.dir + "vexomat-pages-87654321/";
    std::filesystem::create_directories(abandoned);
    std::filesystem::create_directories(foreign);
    apptest::Spit(abandoned + ".vexomat-run", "");
    apptest::Spit(abandoned + "1---pages_p0001.pdf", "left over");
    apptest::Spit(foreign + "keep.txt", "somebody's");
    const std::vector<std::string> sources = e2e::Listing(src);

    CreateWindows();
    ShowMain();
    Form_main->ComboBoxEx_function->SetItemIndex(17);
    Form_main->ComboBoxEx_functionChange(nullptr);
    Form_main->SelectSource(pdf);
    std::vector<std::string> whileOpen;
    ArrangeDriver d([&] {
        whileOpen = e2e::Listing(src);
        Form_arrange->SpeedButton_closeClick(nullptr);
    });
    Form_main->StyButton_arrangeClick(nullptr);
    ASSERT_TRUE(d.done);
    EXPECT_EQ(whileOpen, sources);
    const std::string first = Form_main->FState.FArrangeTmp;
    EXPECT_EQ(first.rfind(tmp.dir + "vexomat-pages-", 0), 0u) << first;
    EXPECT_TRUE(FileExists(first + "1---page_p0002.pdf"));
    EXPECT_FALSE(DirectoryExists(abandoned));
    EXPECT_EQ(apptest::Slurp(foreign + "keep.txt"), "somebody's");

    // Arranging again starts a new folder; the old one goes.
    ArrangeDriver again([] { Form_arrange->SpeedButton_closeClick(nullptr); });
    Form_main->StyButton_arrangeClick(nullptr);
    ASSERT_TRUE(again.done);
    EXPECT_NE(Form_main->FState.FArrangeTmp, first);
    EXPECT_FALSE(DirectoryExists(first));
    EXPECT_TRUE(DirectoryExists(Form_main->FState.FArrangeTmp));

    Form_main->Close();
    EXPECT_EQ(e2e::Listing(src), sources);
    EXPECT_EQ(e2e::Listing(tmp.dir), std::vector<std::string>{"vexomat-pages-87654321"});
    apptest::RemoveTree(src);
}

// A document saved incrementally offers the pages of its latest revision, and the merge
// writes them all.
TEST_F(AppTest, IncrementalSavesOfferAndMergeTheirLatestPages) {
    struct Row {
        const char* name;
        std::string text;
        int pages;
    } rows[] = {{"added", pdfrev::PageAdded(), 4}, {"deleted", pdfrev::PageDeleted(), 2}};
    for (const Row& row : rows) {
        const std::string pdf = folder + row.name + ".pdf";
        apptest::Spit(pdf, row.text);
        CreateWindows();
        ShowMain();
        ChooseMerge(pdf, "");
        int offered = -1;
        ArrangeDriver d([&] {
            TForm_arrange* f = Form_arrange;
            offered = f->ListBox_first->Items()->Count();
            for (int i = 0; i < offered; ++i) f->ListBox_first->SetSelected(i, true);
            f->ListBox_firstClick(f->ListBox_first);
            f->StyButton_insertBeforeClick(f->StyButton_insertAfter);
            f->SpeedButton_closeClick(nullptr);
        });
        Form_main->StyButton_arrangeClick(nullptr);
        ASSERT_TRUE(d.done) << row.name;
        EXPECT_EQ(offered, row.pages) << row.name;
        TTimer ok(nullptr);
        ok.SetInterval(50);
        ok.OnTimer = [](TObject*) {
            if (Form_MsgDlg && Form_MsgDlg->Visible()) Form_MsgDlg->SpeedButtonOKClick(nullptr);
        };
        ok.SetEnabled(true);
        Form_main->StyButton_startClick(nullptr);
        ok.SetEnabled(false);  // the windows it answers go before the timer does
        const std::string merged = folder + "MERGED-" + row.name + ".pdf";
        ASSERT_TRUE(FileExists(merged)) << Form_main->FState.FErrors->Text();
        EXPECT_TRUE(Form_main->FState.FErrors->ToVector().empty())
            << Form_main->FState.FErrors->Text();
        EXPECT_EQ(e2e::PdfPages(merged, folder), row.pages) << row.name;
        CloseWindows();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }
}

// A file that cannot be split wholly says why, naming it, once its list is filled; the
// list holds the pages that were split.
TEST_F(AppTest, AFileThatCannotBeSplitSaysSoWhenItsListIsFilled) {
    struct Row {
        const char* name;
        std::string text;
        int listed;
        const char* reason;
    } rows[] = {
        // The pages the tree holds are the count, whatever its root says.
        {"promises five", pdfrev::BrokenXref(pdfrev::CountPromisesMore()), 3, nullptr},
        {"no number", "%PDF-1.4\n1 0 obj << /Type /Pages /Count /X >> endobj\n", 0,
         "PDF 页面树的页数 \"/X\" 不是有效的数字。"},
    };
    for (const Row& row : rows) {
        const std::string pdf = folder + row.name + ".pdf";
        apptest::Spit(pdf, row.text);
        CreateWindows();
        ShowMain();
        ChooseMerge(pdf, "");
        std::string shown;
        int listed = -1;
        TTimer t(nullptr);
        t.SetInterval(50);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        bool timedOut = false;
        t.OnTimer = [&](TObject*) {
            const bool late = std::chrono::steady_clock::now() > deadline;
            if (Form_MsgDlg->Visible()) {
                shown = Form_MsgDlg->LabelMsgDlg->Caption();
                Form_MsgDlg->SpeedButtonOKClick(nullptr);
            } else if (Form_arrange && Form_arrange->Visible()) {
                const int count = Form_arrange->ListBox_first->Items()->Count();
                // Closed once the refusal was shown, or once a good file is listed.
                if (!shown.empty() || (!row.reason && count > 0) || late) {
                    listed = count;
                    timedOut = late;
                    Form_arrange->SpeedButton_closeClick(nullptr);
                }
            }
        };
        t.SetEnabled(true);
        Form_main->StyButton_arrangeClick(nullptr);
        t.SetEnabled(false);
        EXPECT_FALSE(timedOut) << row.name << ": the window was not filled within 60 s";
        if (row.reason) {
            EXPECT_NE(shown.find("无法把文件 \"" + pdf + "\" 分成单页"), std::string::npos)
                << row.name << ": " << shown;
            EXPECT_NE(shown.find(row.reason), std::string::npos) << row.name << ": " << shown;
        } else {
            EXPECT_EQ(shown, "") << row.name;
        }
        EXPECT_EQ(listed, row.listed) << row.name;
        CloseWindows();
        Application->ProcessMessages();
        Application->ResetTerminated();
    }
}
