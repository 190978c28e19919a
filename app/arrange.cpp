#include "app/arrange.h"

#include "app/main.h"
#include "app/msgdlg.h"
#include "engine/checker.h"
#include "engine/converters/pdfMerge.h"
#include "engine/pdfHelper.h"
#include "engine/util.h"
#include "platform/user/metrics.h"
#include "platform/win/shell.h"

TForm_arrange* Form_arrange = nullptr;

namespace {
const char* const kPage = "页面 ";
}

TForm_arrange::TForm_arrange(TComponent* owner) : TForm(owner) {
    BindField("ListBox_first", ListBox_first);
    BindField("ListBox_second", ListBox_second);
    BindField("ListBox_destination", ListBox_destination);
    BindField("StyButton_insertBefore", StyButton_insertBefore);
    BindField("StyButton_insertAfter", StyButton_insertAfter);
    BindField("StyButton_delete", StyButton_delete);
    BindField("StyButton_show", StyButton_show);
    BindField("SpeedButton_close", SpeedButton_close);
    BindField("Panel_analyzing", Panel_analyzing);
    BindField("StaticText_dots", StaticText_dots);
    BindField("Timer_start", Timer_start);
    BindField("Timer_analyzing", Timer_analyzing);
    BindMethod<TNotifyEvent>("FormShow", this, &TForm_arrange::FormShow);
    BindMethod<TNotifyEvent>("Timer_startTimer", this, &TForm_arrange::Timer_startTimer);
    BindMethod<TNotifyEvent>("Timer_analyzingTimer", this, &TForm_arrange::Timer_analyzingTimer);
    BindMethod<TNotifyEvent>("ListBox_firstClick", this, &TForm_arrange::ListBox_firstClick);
    BindMethod<TNotifyEvent>("StyButton_insertBeforeClick", this,
                             &TForm_arrange::StyButton_insertBeforeClick);
    BindMethod<TNotifyEvent>("StyButton_deleteClick", this, &TForm_arrange::StyButton_deleteClick);
    BindMethod<TNotifyEvent>("StyButton_showClick", this, &TForm_arrange::StyButton_showClick);
    BindMethod<TNotifyEvent>("SpeedButton_closeClick", this,
                             &TForm_arrange::SpeedButton_closeClick);
}

void TForm_arrange::FormShow(TObject*) { Timer_start->SetEnabled(true); }

void TForm_arrange::Timer_startTimer(TObject*) {
    Timer_start->SetEnabled(false);
    Analyse();
}

bool TForm_arrange::secondUsable() const {
    std::string second = Form_main->Edit_2ndFile->Text();
    return FileExists(second) && LowerCase(ExtractFileExt(second)) == ".pdf";
}

void TForm_arrange::Analyse() {
    Screen->SetCursor(crHourGlass);
    StaticText_dots->SetCaption("");
    Timer_analyzing->SetEnabled(true);
    std::string tmp = Form_main->FState.FArrangeTmp;
    // Without a temporary folder, or for a file that is no PDF, there is nothing to split:
    // the lists stay empty and the merge has no pages.
    bool canSplit =
        !tmp.empty() && DirectoryExists(tmp) && LowerCase(ExtractFileExt(FFirstFile)) == ".pdf";
    // A file that cannot be split wholly says so once its list is filled, so a short or
    // empty list is never taken for the document.
    std::string failures;
    auto split = [&](const std::string& file, const std::string& prefix) {
        TStrings& errors = *Form_main->FState.FErrors;
        const int before = errors.Count();
        const bool ok = TPdfChopToSingles().Chop(file, tmp, prefix, tmp, kMergePageBase);
        if (ok && errors.Count() == before) return;
        if (!failures.empty()) failures += "\n\n";
        failures += "无法把文件 \"" + EscapeControls(file) + "\" 分成单页, 列表中缺少它的页面。";
        for (int i = before; i < errors.Count(); ++i) failures += "\n" + errors[i];
    };
    if (canSplit) split(FFirstFile, "1---");
    bool second = canSplit && secondUsable();
    if (canSplit && second) split(Form_main->Edit_2ndFile->Text(), "2---");

    int n = canSplit ? CountChoppedPages("1---") : 0;
    ListBox_first->Items()->Clear();
    for (int i = 1; i <= n; ++i) ListBox_first->Items()->Add(kPage + IntToStr(i));
    if (second) {
        n = canSplit ? CountChoppedPages("2---") : 0;
        ListBox_second->Items()->Clear();
        for (int i = 1; i <= n; ++i) ListBox_second->Items()->Add(kPage + IntToStr(i));
    } else {
        ListBox_second->Items()->Add("not");
        ListBox_second->Items()->Add("available");
        ListBox_second->SetEnabled(false);
    }
    Timer_analyzing->SetEnabled(false);
    Panel_analyzing->SetVisible(false);
    Screen->SetCursor(crDefault);
    Form_main->FState.FMergeFile1 = FFirstFile;
    Form_main->FState.FMergeFile2 = Form_main->Edit_2ndFile->Text();
    if (!failures.empty()) Form_MsgDlg->ShowMsg(failures, mkError, false);
}

int TForm_arrange::CountChoppedPages(const std::string& Prefix) {
    int n = 0;
    TSearchRec sr;
    if (FindFirst(Form_main->FState.FArrangeTmp + Prefix + "*.pdf", faAnyFile, sr) == 0) {
        do {
            if (!(sr.Attr & faDirectory)) ++n;
        } while (FindNext(sr) == 0);
        FindClose(sr);
    }
    return n;
}

void TForm_arrange::Timer_analyzingTimer(TObject*) {
    std::string dots = StaticText_dots->Caption();
    if (dots.size() > 10) {
        StaticText_dots->SetCaption("");
    } else {
        dots += ".";
        StaticText_dots->SetCaption(dots);
        Panel_analyzing->SetColor(dots.size() % 2 ? TColor(6737151) : TColor(16777215));
    }
    Application->HandleMessage();
}

void TForm_arrange::ListBox_firstClick(TObject* Sender) {
    TListBox* other = Sender == ListBox_first ? ListBox_second : ListBox_first;
    for (int i = 0; i < other->Items()->Count(); ++i) other->SetSelected(i, false);
}

void TForm_arrange::StyButton_insertBeforeClick(TObject* Sender) {
    bool after = Sender == StyButton_insertAfter;
    TListBox* dest = ListBox_destination;
    auto insertFrom = [&](TListBox* list, const std::string& tag) {
        if (!list->Enabled()) return;
        for (int i = 0; i < list->Items()->Count(); ++i) {
            if (!list->Selected(i)) continue;
            std::string entry = tag + (*list->Items())[i];
            int pos = -1;
            for (int k = 0; k < dest->Items()->Count(); ++k)
                if (dest->Selected(k)) pos = k;
            if (pos < 0) pos = dest->Items()->Count() - 1;
            // An empty list takes the entry at its end.
            if (pos < 0) {
                dest->Items()->Add(entry);
                dest->SetSelected(dest->Items()->Count() - 1, true);
                continue;
            }
            dest->SetSelected(pos, false);
            int at = after ? pos + 1 : pos;
            dest->Items()->Insert(at, entry);
            dest->SetSelected(at, true);
        }
    };
    insertFrom(ListBox_first, "F1: ");
    insertFrom(ListBox_second, "F2: ");
}

void TForm_arrange::StyButton_deleteClick(TObject*) {
    TListBox* dest = ListBox_destination;
    for (int i = dest->Items()->Count() - 1; i >= 0; --i)
        if (dest->Selected(i)) dest->Items()->Delete(i);
    if (dest->Items()->Count() > 0) dest->SetSelected(0, true);
}

int TForm_arrange::PageNumberOf(const std::string& item) {
    size_t p = item.rfind(kPage);
    if (p == std::string::npos) return -1;
    long long n;
    return TryStrToInt(item.substr(p + std::string(kPage).size()), n) ? int(n) : -1;
}

std::string TForm_arrange::PageFile(const std::string& folder, const std::string& prefix,
                                    int page) {
    return MergePageFile(folder, prefix, page);
}

void TForm_arrange::StyButton_showClick(TObject*) {
    auto firstSelected = [](TListBox* l) -> int {
        if (!l->Enabled()) return -1;
        for (int i = 0; i < l->Items()->Count(); ++i)
            if (l->Selected(i)) return i;
        return -1;
    };
    int a = firstSelected(ListBox_first), b = firstSelected(ListBox_second);
    if (a < 0 && b < 0) {
        Form_MsgDlg->ShowMsg("无法显示选择页面!\n请先选择一个页面。", mkInformation, false);
        return;
    }
    std::string prefix = "1---", item = a >= 0 ? (*ListBox_first->Items())[a] : "";
    if (b >= 0) {
        prefix = "2---";
        item = (*ListBox_second->Items())[b];
    }
    int page = PageNumberOf(item);
    if (page < 0) return;
    std::string path = PageFile(Form_main->FState.FArrangeTmp, prefix, page);
    if (FileExists(path) && CheckPdfViewer(true))
        ShellExecuteA(Handle(), "open", path.c_str(), "", "C:\\", 3);
}

void TForm_arrange::CreateParams(TCreateParams& params) {
    TForm::CreateParams(params);
    params.Style |= WS_BORDER;
}

void TForm_arrange::SpeedButton_closeClick(TObject*) {
    Form_main->FState.FMergeOrder->Clear();
    for (int i = 0; i < ListBox_destination->Items()->Count(); ++i)
        Form_main->FState.FMergeOrder->Add((*ListBox_destination->Items())[i]);
    Close();
}

void RegisterArrangeClasses() { TClassReg<TForm_arrange>("TForm_arrange", "TForm", false); }
