#include "app/main.h"

#include "engine/optionControls.h"

#include "app/arrange.h"
#include "app/check.h"
#include "app/faqs.h"
#include "app/info.h"
#include "app/msgdlg.h"
#include "controls/extended/xcPublished.h"
#include "controls/styled/styPublished.h"
#include "engine/definitions.h"
#include "engine/optionControls.h"
#include "engine/util.h"
#include "platform/automation/olevariant.h"
#include "platform/win/launcher.h"
#include "platform/win/module.h"
#include "platform/win/registryClass.h"
#include "platform/win/runGuard.h"
#include "platform/win/shell.h"

TForm_main* Form_main = nullptr;
const char* const kMakerAddress = "https://maker.example.org/";

namespace {
std::vector<std::string> g_params;
const char* const kCommon = "COMMON";
}  // namespace

void SetParams(const std::vector<std::string>& params) { g_params = params; }
int ParamCount() { return int(g_params.size()); }
std::string ParamStr(int i) { return i >= 1 && i <= ParamCount() ? g_params[size_t(i - 1)] : ""; }

TForm_main::TForm_main(TComponent* owner) : TForm(owner) {
    SetMainState(&FState);
    BindField("Label_applName", Label_applName);
    BindField("SpeedButton_closeWindow", SpeedButton_closeWindow);
    BindField("SpeedButton_exit", SpeedButton_exit);
    BindField("SpeedButton_faqs", SpeedButton_faqs);
    BindField("SpeedButton_info", SpeedButton_info);
    BindField("SpeedButton_check", SpeedButton_check);
    BindField("Label_copyright", Label_copyright);
    BindField("ComboBoxEx_function", ComboBoxEx_function);
    BindField("StaticText_status", StaticText_status);
    BindField("StyProgress_converting", StyProgress_converting);
    BindField("Timer_progress", Timer_progress);
    BindField("StyButton_start", StyButton_start);
    BindField("StyButton_show", StyButton_show);
    BindField("CheckBox_autoShow", CheckBox_autoShow);
    BindField("Panel14", Panel14);
    BindField("XcDriveCombo_source", XcDriveCombo_source);
    BindField("XcDirectoryListBox_source", XcDirectoryListBox_source);
    BindField("XcFileListBox_source", XcFileListBox_source);
    BindField("Label_files", Label_files);
    BindField("CheckBox_rightFormat", CheckBox_rightFormat);
    BindField("Label_sourceFile", Label_sourceFile);
    BindField("StaticText_currentFile", StaticText_currentFile);
    BindField("SpeedButton_destinationFile", SpeedButton_destinationFile);
    BindField("OpenDialog_sourceFile", OpenDialog_sourceFile);
    BindField("Panel_destination", Panel_destination);
    BindField("CheckBox_destinationEqualSource", CheckBox_destinationEqualSource);
    BindField("Label_destinationPath", Label_destinationPath);
    BindField("StaticText_destinationPath", StaticText_destinationPath);
    BindField("SpeedButton_destinationPath", SpeedButton_destinationPath);
    BindField("XcBrowseForFolderDialog_destinationDialog",
              XcBrowseForFolderDialog_destinationDialog);

    BindMethod<TNotifyEvent>("FormCreate", this, &TForm_main::FormCreate);
    BindMethod<TNotifyEvent>("FormShow", this, &TForm_main::FormShow);
    BindMethod<TCloseEvent>("FormClose", this, &TForm_main::FormClose);
    BindMethod<TNotifyEvent>("Timer_progressTimer", this, &TForm_main::Timer_progressTimer);
    BindMethod<TNotifyEvent>("StyButton_showClick", this, &TForm_main::StyButton_showClick);
    BindMethod<TNotifyEvent>("StyButton_startClick", this, &TForm_main::StyButton_startClick);
    BindMethod<TNotifyEvent>("StyButton_2ndFileClick", this, &TForm_main::StyButton_2ndFileClick);
    BindMethod<TNotifyEvent>("StyButton_arrangeClick", this, &TForm_main::StyButton_arrangeClick);
    BindMethod<TNotifyEvent>("SpeedButton_closeWindowClick", this,
                             &TForm_main::SpeedButton_closeWindowClick);
    BindMethod<TNotifyEvent>("SpeedButton_faqsClick", this, &TForm_main::SpeedButton_faqsClick);
    BindMethod<TNotifyEvent>("SpeedButton_infoClick", this, &TForm_main::SpeedButton_infoClick);
    BindMethod<TNotifyEvent>("SpeedButton_checkClick", this, &TForm_main::SpeedButton_checkClick);
    BindMethod<TNotifyEvent>("Label_copyrightClick", this, &TForm_main::Label_copyrightClick);
    BindMethod<TNotifyEvent>("XcFileListBox_sourceClick", this,
                             &TForm_main::XcFileListBox_sourceClick);
    BindMethod<TNotifyEvent>("CheckBox_rightFormatClick", this,
                             &TForm_main::CheckBox_rightFormatClick);
    BindMethod<TNotifyEvent>("SpeedButton_destinationFileClick", this,
                             &TForm_main::SpeedButton_destinationFileClick);
    BindMethod<TNotifyEvent>("CheckBox_destinationEqualSourceClick", this,
                             &TForm_main::CheckBox_destinationEqualSourceClick);
    BindMethod<TNotifyEvent>("SpeedButton_destinationPathClick", this,
                             &TForm_main::SpeedButton_destinationPathClick);
    BindMethod<TNotifyEvent>("RadioButton_mergeAll_filesClick", this,
                             &TForm_main::RadioButton_mergeAll_filesClick);
    BindMethod<TNotifyEvent>("RadioButton_mergeAll_folderClick", this,
                             &TForm_main::RadioButton_mergeAll_folderClick);
    BindOptionPanel(this);
}

// What the window owns is freed with it, in one place, whether or not it was closed.
TForm_main::~TForm_main() {
    if (MainState() == &FState) SetMainState(nullptr);
    EndArrangeFolder();
}

const TConverter& TForm_main::SelectedFunction() const {
    static const TConverter none{"Divider", "", "", {}, ""};
    int i = ComboBoxEx_function ? ComboBoxEx_function->ItemIndex() : -1;
    if (i < 0 || i >= int(Functions.size())) return none;
    return Functions[size_t(i)];
}

// ---------------------------------------------------------------- life cycle

TComponent* TForm_main::FindComponent(const std::string& name) const {
    if (!name.empty() && SameText(name, Name)) return const_cast<TForm_main*>(this);
    return TForm::FindComponent(name);
}

namespace {

// Makes a folder of the day log, or raises why it cannot be made, in words a user reads.
void MakeLogFolder(const std::string& dir) {
    if (ForceDirectories(dir)) return;
    const std::string name = ExcludeTrailingPathDelimiter(dir);
    std::string cause;
    if (FileExists(name) || (FileSizeOf(name) >= 0 && !DirectoryExists(name)))
        cause = "同名的文件已经存在, 它不是文件夹";
    else if (!DirectoryExists(ExtractFilePath(name)))
        cause = "上一级文件夹不存在";
    else
        cause = "没有在程序文件夹中写入的权限, 或磁盘已满";
    throw EInOutError("无法创建日志文件夹 \"" + EscapeControls(name) + "\": " + cause + "。");
}

}  // namespace

void TForm_main::FormCreate(TObject*) {
    // Every control the converters read must be on the window, of its kind: checked once
    // here rather than found missing in the middle of a run.
    VerifyOptionControls([this](const std::string& n) { return FindComponent(n); });
    char buffer[516];
    GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    FState.FAppPath = ExtractFilePath(buffer);
    // Runs started at once make these folders side by side: one that another process has
    // just made is there, which is all that counts.
    FState.FLogDir = FState.FAppPath + "logs/";
    MakeLogFolder(FState.FLogDir);
    FState.FLogDir += FormatDateTime("yyyy-mm-dd", Now()) + "/";
    MakeLogFolder(FState.FLogDir);
    Application->OnException = [this](TObject* s, Exception& e) { AppException(s, e); };
    FIni = std::make_unique<TIniFile>(FState.FAppPath + "config.ini");
    BuildFunctionTable();

    // The pickers follow each other.
    XcDirectoryListBox_source->SetDriveCombo(XcDriveCombo_source);
    XcDirectoryListBox_source->SetFileList(XcFileListBox_source);
    XcDirectoryListBox_source->SetDirectory("/");
}

void TForm_main::FormShow(TObject*) {
    SetCaption(" Vexomat 5.44d");
    Label_applName->SetCaption("Vexomat 5.44d");
    ComboBoxEx_function->ClearItems();
    for (const TConverter& row : Functions)
        ComboBoxEx_function->AddItem(row.Title, -1, -1, -1, row.Name == "Divider" ? 0 : 3, nullptr);
    ComboBoxEx_function->SetDropDownCount(int(Functions.size()));
    SetStatus(0);

    {
        TRegistry reg(KEY_READ);
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        std::string dll;
        if (reg.OpenKeyReadOnly("SOFTWARE\\AFPL Ghostscript\\8.51")) dll = reg.ReadString("GS_DLL");
        reg.CloseKey();
        FState.FGsExe =
            (dll.size() > 11 ? dll.substr(0, dll.size() - 11) : std::string()) + "gswin32c.exe";
    }

    FState.FBatchMode = ParamCount() > 0;
    long long index =
        FState.FBatchMode ? 1 : FIni->ReadInteger(kCommon, "LAST_CONVERTING_FUNCTION", 0);
    if (index < 1 || index > int(Functions.size()) - 1) index = 1;
    ComboBoxEx_function->SetItemIndex(int(index));
    ComboBoxEx_functionChange(this);
    CheckBox_rightFormatClick(this);

    if (FState.FBatchMode) {
        ParseCommandLine();
        StyButton_startClick(this);
        return;
    }
    std::string path = FIni->ReadString(kCommon, "LAST_FILE", "");
    if (ExtInList(LowerCase(ExtractFileExt(path)), SelectedFunction().InputExtensions) &&
        FileExists(path)) {
        SelectSource(path);
    } else {
        path = ExtractFilePath(path);
        if (DirectoryExists(path)) SelectSource(path);
    }
    CheckBox_destinationEqualSource->SetChecked(
        FIni->ReadBool(kCommon, "DESTINATION_EQUAL_SOURCE", true));
    CheckBox_destinationEqualSourceClick(this);
    StaticText_destinationPath->SetCaption(FIni->ReadString(kCommon, "DESTINATION_PATH", ""));
    CheckBox_autoShow->SetChecked(FIni->ReadBool(kCommon, "AUTO_SHOW", false));
}

void TForm_main::FormClose(TObject*, TCloseAction&) {
    // Closed during a run: its children end now, and the run, when it returns, moves
    // nothing into place and removes its folder.
    if (!FState.FRunTemp.empty()) {
        FState.FRunCancelled = true;
        EndLaunchedChildren();
    }
    if (!FState.FBatchMode) {
        // Settings that cannot be kept are reported; the window closes all the same.
        try {
            std::string current = XcFileListBox_source->FileName();
            if (FileExists(current)) FIni->WriteString(kCommon, "LAST_FILE", current);
            FIni->WriteInteger(kCommon, "LAST_CONVERTING_FUNCTION",
                               ComboBoxEx_function->ItemIndex());
            FIni->WriteBool(kCommon, "DESTINATION_EQUAL_SOURCE",
                            CheckBox_destinationEqualSource->Checked());
            FIni->WriteString(kCommon, "DESTINATION_PATH", StaticText_destinationPath->Caption());
            FIni->WriteBool(kCommon, "AUTO_SHOW", CheckBox_autoShow->Checked());
        } catch (const Exception& e) {
            Log("ErrorMessage", MessageForLog(e));
            Form_MsgDlg->ShowMsg("设置没有保存!\n\n" + e.Message, mkError, false);
        }
        EndArrangeFolder();
    }
}

void TForm_main::AppException(TObject*, Exception& E) {
    Log("ErrorMessage", MessageForLog(E));
    Form_MsgDlg->ShowMsg("转换处理已完成但带有错误!\n\n" + E.Message, mkError, FState.FBatchMode);
}

void TForm_main::SetStatus(int State) {
    StyProgress_converting->SetPosition(0);
    StyButton_show->SetVisible(false);
    switch (State) {
        case -1:
            StaticText_status->SetCaption("发生错误。");
            break;
        case 0:
            StaticText_status->SetCaption("就绪。");
            break;
        case 1:
            StaticText_status->SetCaption("正在转换...");
            break;
        default:
            StaticText_status->SetCaption("没有定义。");
            StyProgress_converting->SetPosition(100);
            break;
    }
    Application->ProcessMessages();
}

void TForm_main::Timer_progressTimer(TObject*) {
    TStyProgress* bar = StyProgress_converting;
    if (bar->Position() >= bar->MaxValue()) bar->SetPosition(bar->MinValue());
    bar->SetPosition(uint8_t(bar->Position() + bar->Step));  // the position is one byte
    Application->ProcessMessages();
}

void TForm_main::StyButton_showClick(TObject*) {
    if (!FileExists(FState.FLastResult)) {
        Form_MsgDlg->ShowMsg("无法找到输出文件。", mkInformation, false);
        return;
    }
    if (HasAssociatedProgram(FState.FLastResult)) {
        ShellExecuteA(Handle(), "open", FState.FLastResult.c_str(), "", "C:\\", 3);
        return;
    }
    Form_MsgDlg->ShowMsg(
        "没有标准的查看器与输出文件相关联。 \n\n请手动打开的的查看器程序， 并在其中打开输出文件。",
        mkInformation, false);
}

void TForm_main::SpeedButton_closeWindowClick(TObject*) { Close(); }

namespace {
// A side window is made when none of its name exists, shown modally and freed.
template <class T>
void OpenSideWindow(T*& ref, const std::string& name, const std::string& resource) {
    if (Application->FindComponent(name)) return;
    Application->CreateForm(ref, resource);
    ShowModalAndFree(ref);
}
}  // namespace

void TForm_main::SpeedButton_faqsClick(TObject*) {
    OpenSideWindow(Form_faqs, "Form_faqs", "faqs.dfm");
}
void TForm_main::SpeedButton_infoClick(TObject*) {
    OpenSideWindow(Form_info, "Form_info", "info.dfm");
}
void TForm_main::SpeedButton_checkClick(TObject*) {
    OpenSideWindow(Form_check, "Form_check", "check.dfm");
}

void TForm_main::Label_copyrightClick(TObject*) {
    ShellExecuteA(Handle(), "open", kMakerAddress, nullptr, nullptr, 10);
}

void RegisterMainClasses() {
    // The office servers answer in the registry when their office is installed.
    RegisterOfficeServers();
    // Every class of the two control layers, so the forms may hold any of them.
    RegisterStyledClasses();
    RegisterExtendedClasses();
    RegisterMsgDlgClasses();
    RegisterCheckClasses();
    RegisterArrangeClasses();
    RegisterInfoClasses();
    RegisterFaqsClasses();
    RegisterOptionPanelClasses();
    TClassReg<TForm_main>("TForm_main", "TForm", false);
    TClassReg<TOpenDialog>("TOpenDialog", "TComponent")
        .prop("Filter", [](TOpenDialog* d, const TDfmValue& v) { d->Filter = v.s; })
        .prop("Title", [](TOpenDialog* d, const TDfmValue& v) { d->Title = v.s; });
}
