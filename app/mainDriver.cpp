// The conversion run started by the Start button (or by the command line): checks,
// converters in a temporary folder, the move into the destination, and the report.
#include "app/arrange.h"
#include "app/main.h"
#include "app/msgdlg.h"
#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/converters/watermarkGlyphs.h"
#include "engine/definitions.h"
#include "engine/pdfHelper.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "engine/util.h"
#include "platform/rtl/startTrace.h"
#include "platform/win/module.h"
#include "platform/win/runGuard.h"
#include "platform/win/shell.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// "5.44d, " + the program file's modification date and time.
std::string VersionText() {
    TSearchRec sr;
    std::string stamp;
    if (FindFirst(ModuleFileName(), faAnyFile, sr) == 0) {
        stamp = FormatDateTime("yyyy-mm-dd hh:nn:ss", sr.Time);
        FindClose(sr);
    }
    return "5.44d, " + stamp;
}

}  // namespace

std::string TForm_main::ReplaceExt(const std::string& path, const std::string& ext) const {
    return ::ReplaceExt(path, ext);
}

std::string TForm_main::JoinName(const std::string& path, const std::string& folder) const {
    return ::JoinName(path, folder);
}

std::string TForm_main::DestName(const std::string& path, const std::string& ext,
                                 const std::string& prefix, const std::string& suffix) const {
    return ::DestName(FState.FDestDir, path, ext, prefix, suffix);
}

std::string TForm_main::AddSuffix(const std::string& path, const std::string& suffix) const {
    return ::AddSuffix(path, suffix);
}

bool TForm_main::RunFunction(const TConverter& row, std::string& target, const std::string& temp) {
    // An empty PDF or PostScript file is no document: Ghostscript would make a blank page
    // of it and call that a success.
    for (int i = 0; i < FState.FSourceFiles->Count(); ++i) {
        const std::string s = (*FState.FSourceFiles)[i];
        const std::string ext = ExtractFileExt(s);
        // A pipe or a device has no size to tell and would hold every reader of it.
        if (const std::string kind = NonRegularFileKind(s); !kind.empty()) {
            ReportError("源文件不是普通文件, 而是一个" + kind + ": \"" + EscapeControls(s) + "\"");
            return false;
        }
        const bool document =
            SameText(ext, ".pdf") || SameText(ext, ".ps") || SameText(ext, ".eps");
        if (document && FileSizeOf(s) == 0) {
            ReportError("源文件是空的 (0 字节): \"" + EscapeControls(s) + "\"");
            return false;
        }
        // A PDF without a page, or a portfolio (drawn as the files it embeds), converts
        // into nothing or into other documents: refused before anything runs.
        if (SameText(ext, ".pdf") && row.Run) {
            if (const std::string problem = PdfSourceProblem(s); !problem.empty()) {
                ReportError(problem);
                return false;
            }
        }
    }
    if (!row.Run) return false;  // a divider row
    TRun run(FState, temp);
    const bool ok = row.Run(run);
    target = run.Target;
    return ok;
}

// A stamp of font size 0 is no stamp (Ghostscript fails on the font), and one of opacity
// 0 is drawn in white, so the run would report an invisible stamp as done. Both are
// refused before anything runs, naming the option (and its switch on the command line),
// and so is a text the stamp's fonts cannot draw.
bool TForm_main::WatermarkCanShow() {
    if (!GroupVisible("GroupBox_watermark")) return true;
    const struct {
        TOptionName<TOptionKind::UpDown> counter;
        const char* option;
        const char* batchSwitch;
    } checks[] = {
        {"XcUpDown_watermark_fontsize", "字体大小[字号]", "-owf"},
        {"XcUpDown_watermark_opacity", "不透明度 [%]", "-owo"},
    };
    for (const auto& c : checks) {
        if (UpDownPosition(c.counter) > 0) continue;
        const std::string head = std::string("水印的“") + c.option + "”为 0, 水印不会显示! \n\n";
        if (FState.FBatchMode)
            Form_MsgDlg->ShowMsg(head + "请用参数 " + c.batchSwitch + " 给出一个大于 0 的值。",
                                 mkError, true);
        else
            Form_MsgDlg->ShowMsg(head + "请设置一个大于 0 的值。", mkInformation, false);
        return false;
    }
    // A character the stamp's fonts lack would be drawn as nothing while the run reports
    // success; the text is refused before any folder or file is made.
    const std::string problem = WatermarkTextProblem(Edit_watermark_text->Text());
    if (!problem.empty()) {
        if (FState.FBatchMode)
            Form_MsgDlg->ShowMsg(problem + "\n\n(参数 -owt)", mkError, true);
        else
            Form_MsgDlg->ShowMsg(problem, mkInformation, false);
        return false;
    }
    return true;
}

void TForm_main::StyButton_startClick(TObject*) {
    bool ok = true;
    FState.FErrors->Clear();
    FState.FRunCancelled = false;
    FState.FStepCut = false;
    try {
        EnsureLogFolder(true);
    } catch (const std::exception&) {
        // Reported by the first log line; a log that cannot be written stops no run.
    }
    Log("Version", VersionText());
    const TConverter& row = SelectedFunction();
    Log("功能", row.Name);
    if (!FState.FBatchMode) CollectSources();
    std::string comma;
    for (int i = 0; i < FState.FSourceFiles->Count(); ++i) {
        std::string s = (*FState.FSourceFiles)[i];
        bool quote = s.find_first_of(" ,\"") != std::string::npos || s.empty();
        comma += (i ? "," : "") + (quote ? "\"" + StringReplaceAll(s, "\"", "\"\"") + "\"" : s);
    }
    Log("源文件", comma);

    // Checked before anything is made, so a name the system cannot take leaves nothing.
    if (const std::string tooLong = PathTooLong(); !tooLong.empty()) {
        Log("ErrorMessage", tooLong);
        Form_MsgDlg->ShowMsg("文件的路径不能使用! \n\n" + tooLong,
                             FState.FBatchMode ? mkError : mkInformation, FState.FBatchMode);
        return;
    }
    if (!SourcesExist()) {
        // A folder that is there but cannot be listed is no missing folder.
        if (!FUnlistedFolder.empty()) {
            const std::string why =
                "没有读取文件夹 \"" + EscapeControls(FUnlistedFolder) + "\" 的权限。";
            Log("ErrorMessage", why);
            Form_MsgDlg->ShowMsg("无法读取源文件夹! \n\n" + why,
                                 FState.FBatchMode ? mkError : mkInformation, FState.FBatchMode);
            return;
        }
        if (FState.FBatchMode)
            Form_MsgDlg->ShowMsg(
                "源文件或源文件夹不存在! \n" + MissingSources() + "\n\n请检查你的源文件参数。",
                mkError, true);
        else
            Form_MsgDlg->ShowMsg("没有正确选择! \n\n请先选择你的源文件。", mkInformation, false);
        return;
    }
    if (!ExtensionsOk(row.InputExtensions)) {
        if (FState.FBatchMode)
            Form_MsgDlg->ShowMsg("源文件没有正确的文件扩展名! \n" +
                                     WrongExtensions(row.InputExtensions) +
                                     "\n\n请检查你的源文件参数。",
                                 mkError, true);
        else
            Form_MsgDlg->ShowMsg(
                "源文件没有正确的文件扩展名! \n\n选择一个不同的源文件或一个合适的功能。",
                mkInformation, false);
        return;
    }

    if (!WatermarkCanShow()) return;

    Screen->SetCursor(crHourGlass);
    StyButton_start->SetEnabled(false);
    SetStatus(1);
    Timer_progress->SetEnabled(true);

    std::string firstFolder = ExtractFilePath((*FState.FSourceFiles)[0]);
    if (FState.FBatchMode) {
        if (!DirectoryExists(FState.FDestDir)) FState.FDestDir = firstFolder;
    } else {
        FState.FDestDir = CheckBox_destinationEqualSource->Checked()
                              ? firstFolder
                              : StaticText_destinationPath->Caption();
    }

    std::string temp;
    try {
        // Run folders that a killed run of this program left, and that no process holds
        // any more, go first: those recorded (a folder it may not list hides them), and
        // those found where this run's folder goes.
        RemoveRecordedRunFolders();
        // Beside the source, unless the user may not write there (a shared folder,
        // read-only media): then in the destination, else in the temporary folder.
        temp = MakeRunFolder({firstFolder, FState.FDestDir, GetTempDir()});
        RecordRunFolder(temp);
    } catch (...) {
        // Without a temporary folder there is no run: put the window back before reporting.
        Timer_progress->SetEnabled(false);
        Screen->SetCursor(crDefault);
        StyButton_start->SetEnabled(true);
        SetStatus(-1);
        throw;
    }
    // An unattended message ends the process at the next message processing, which may
    // come in the middle of the run: the temporary folder goes with it then.
    const int removeTemp = AddExitProc([temp] {
        std::string list = ExcludeTrailingPathDelimiter(temp) + std::string(1, '\0');
        SHFILEOPSTRUCTA op;
        op.wFunc = FO_DELETE;
        op.pFrom = list.c_str();
        op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
        if (SHFileOperationA(&op) == 0) ForgetRunFolder(temp);
        EndSafeNames();
    });

    // The folder is this run's: held while it runs, removed when a signal ends the program.
    std::optional<TRunFolderClaim> claim;
    claim.emplace(temp);
    FState.FRunTemp = temp;

    std::string target;
    try {
        StartTrace("run-start");
        ok = RunFunction(row, target, temp);
        StartTrace("run-end");
    } catch (Exception& e) {
        Log("ErrorMessage", e.Message);
        FState.FErrors->Add(e.Message);
        Screen->SetCursor(crDefault);
        StyButton_start->SetEnabled(true);
        Form_MsgDlg->ShowMsg("在进行转换的处理时发生了错误!", mkError, FState.FBatchMode);
        SetStatus(-1);
        ok = false;
    }

    Timer_progress->SetEnabled(false);
    Screen->SetCursor(crDefault);
    StyButton_start->SetEnabled(true);
    if (ok) {
        FState.FLastResult = target;
        if (!FileExists(target)) ok = false;
    }
    claim.reset();
    FState.FRunTemp.clear();
    if (DeleteFolder(temp)) ForgetRunFolder(temp);
    EndSafeNames();
    RemoveExitProc(removeTemp);
    SetStatus(ok ? 0 : -1);
    if (ok && !FState.FBatchMode) {
        StyButton_show->SetVisible(true);
        if (!CheckBox_autoShow->Checked())
            Form_MsgDlg->ShowMsg("转换处理已完成!", mkInformation, false);
    }
    if (!ok && !FState.FRunCancelled) {
        std::string text = "转换处理已完成但带有错误!\n\n";
        // Steps that fail on the same cause (the cropper's two readings of one damaged
        // source) give one reason, shown once.
        std::vector<std::string> shown;
        for (int i = 0; i < FState.FErrors->Count(); ++i) {
            const std::string& line = (*FState.FErrors)[i];
            if (std::find(shown.begin(), shown.end(), line) != shown.end()) continue;
            shown.push_back(line);
            text += "- " + line + "\n";
        }
        Form_MsgDlg->ShowMsg(text, mkInformation, FState.FBatchMode);
    }
    if (FState.FBatchMode) {
        SpeedButton_closeWindowClick(this);
        if (!ok) Halt(1);
        return;
    }
    RememberSelection();
    XcFileListBox_source->Update();
    RestoreSelection();
    if (ok) SaveOptions();
    // Let the window catch up with the run; the posted messages keep each wait short.
    Application->ProcessMessages();
    PostMessageA(Handle(), WM_NULL, 0, 0);
    Application->HandleMessage();
    Application->ProcessMessages();
    PostMessageA(Handle(), WM_NULL, 0, 0);
    Application->HandleMessage();
    Application->ProcessMessages();
    if (ok && CheckBox_autoShow->Checked()) StyButton_showClick(this);
}

void TForm_main::StyButton_2ndFileClick(TObject*) {
    OpenDialog_2ndFile->InitialDir = ExtractFilePath(StaticText_currentFile->Caption());
    OpenDialog_2ndFile->Filter = "PDF (*.pdf)|*.pdf";
    if (OpenDialog_2ndFile->Execute() && FileExists(OpenDialog_2ndFile->FileName))
        Edit_2ndFile->SetText(OpenDialog_2ndFile->FileName);
}

namespace {
const char* const kArrangePrefix = "vexomat-pages-";
}

void TForm_main::MakeArrangeFolder() {
    EndArrangeFolder();
    const std::string tmp = GetTempDir();
    // Folders of programs that were killed while their page-order window was open.
    RemoveAbandonedFolders(tmp, kArrangePrefix);
    Randomize();
    for (int attempt = 0;; ++attempt) {
        const std::string folder = tmp + kArrangePrefix + Format("%.8d", Random(100000000)) + "/";
        // A folder that exists already is somebody else's: it is never taken, nor removed.
        if (CreateDir(folder)) {
            FState.FArrangeTmp = folder;
            FState.FArrangeClaim = std::make_unique<TRunFolderClaim>(folder);
            return;
        }
        if (attempt >= 100) MkDir(folder);  // raises the reason
    }
}

void TForm_main::EndArrangeFolder() {
    if (!FState.FArrangeTmp.empty() && DirectoryExists(FState.FArrangeTmp))
        DeleteFolder(FState.FArrangeTmp);
    FState.FArrangeClaim.reset();
}

void TForm_main::StyButton_arrangeClick(TObject*) {
    if (!CheckGhostscript(true)) return;
    std::string current = StaticText_currentFile->Caption();
    if (!FileExists(current)) {
        Form_MsgDlg->ShowMsg("没有选择! \n\n请先选择你的源文件。", mkInformation, false);
        return;
    }
    if (LowerCase(ExtractFileExt(current)) == ".pdf") MakeArrangeFolder();
    if (Application->FindComponent("Form_arrange")) return;
    Application->CreateForm(Form_arrange, "arrange.dfm");
    Form_arrange->FFirstFile = current;
    ShowModalAndFree(Form_arrange);
}
