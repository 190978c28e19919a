// The main window: the state every run shares, start-up and close, the status line and
// progress, the Show button, source and destination selection, and the conversion run.
#pragma once

#include "app/options.h"
#include "controls/extended/xcBrowse.h"
#include "controls/extended/xcFileCtrl.h"
#include "controls/styled/styButton.h"
#include "controls/styled/styProgress.h"
#include "engine/host.h"
#include "platform/rtl/inifiles.h"
#include "platform/vcl/dialogs.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm_main : public TForm, public TOptionPanel {
public:
    explicit TForm_main(TComponent* owner);
    ~TForm_main() override;
    std::string ClassName() const override { return "TForm_main"; }
    // The engine finds the window's controls by name, and the window itself by its own name
    // (as the application would find it among the forms it owns).
    TComponent* FindComponent(const std::string& name) const;

    // The state every run shares; the window registers it with the engine while it lives.
    TMainState FState{[this](const std::string& name) { return FindComponent(name); }};

    std::unique_ptr<TIniFile> FIni;  // made at start-up, freed with the window

    // Title bar and side buttons.
    TLabel* Label_applName = nullptr;
    TSpeedButton* SpeedButton_closeWindow = nullptr;
    TSpeedButton* SpeedButton_exit = nullptr;
    TSpeedButton* SpeedButton_faqs = nullptr;
    TSpeedButton* SpeedButton_info = nullptr;
    TSpeedButton* SpeedButton_check = nullptr;
    TLabel* Label_copyright = nullptr;
    // Function, status, run.
    TComboBoxEx* ComboBoxEx_function = nullptr;
    TStaticText* StaticText_status = nullptr;
    TStyProgress* StyProgress_converting = nullptr;
    TTimer* Timer_progress = nullptr;
    TStyButton* StyButton_start = nullptr;
    TStyButton* StyButton_show = nullptr;
    TCheckBox* CheckBox_autoShow = nullptr;
    // Sources.
    TPanel* Panel14 = nullptr;
    TXcDriveCombo* XcDriveCombo_source = nullptr;
    TXcDirectoryListBox* XcDirectoryListBox_source = nullptr;
    TXcFileListBox* XcFileListBox_source = nullptr;
    TLabel* Label_files = nullptr;
    TCheckBox* CheckBox_rightFormat = nullptr;
    TLabel* Label_sourceFile = nullptr;
    TStaticText* StaticText_currentFile = nullptr;
    TSpeedButton* SpeedButton_destinationFile = nullptr;
    TOpenDialog* OpenDialog_sourceFile = nullptr;
    // Destination.
    TPanel* Panel_destination = nullptr;
    TCheckBox* CheckBox_destinationEqualSource = nullptr;
    TLabel* Label_destinationPath = nullptr;
    TStaticText* StaticText_destinationPath = nullptr;
    TSpeedButton* SpeedButton_destinationPath = nullptr;
    TXcBrowseForFolderDialog* XcBrowseForFolderDialog_destinationDialog = nullptr;

    // Life cycle.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void AppException(TObject* Sender, Exception& E);
    void SetStatus(int State);
    void Timer_progressTimer(TObject* Sender);
    void StyButton_showClick(TObject* Sender);
    void SpeedButton_closeWindowClick(TObject* Sender);
    void SpeedButton_faqsClick(TObject* Sender);
    void SpeedButton_infoClick(TObject* Sender);
    void SpeedButton_checkClick(TObject* Sender);
    void Label_copyrightClick(TObject* Sender);

    // Sources and destination.
    void CollectSources();
    void CollectSourcesFromParam(const std::string& value);
    // The source folder whose files could not be listed (no permission), "" for none.
    std::string FUnlistedFolder;
    // The source as the command line gave it ("-s").
    std::string FSourceParam;
    bool SourcesExist();
    // Lines naming what SourcesExist or ExtensionsOk found missing or wrong.
    std::string MissingSources();
    std::string WrongExtensions(const std::vector<std::string>& extensions);
    std::string PathTooLong();
    bool ExtensionsOk(const std::vector<std::string>& extensions);
    bool WatermarkCanShow();
    void SelectSource(const std::string& path);
    void RememberSelection();
    void RestoreSelection();
    void SetFileListMode(bool show);
    void XcFileListBox_sourceClick(TObject* Sender);
    void CheckBox_rightFormatClick(TObject* Sender);
    void RadioButton_mergeAll_filesClick(TObject* Sender);
    void RadioButton_mergeAll_folderClick(TObject* Sender);
    void SpeedButton_destinationFileClick(TObject* Sender);
    void CheckBox_destinationEqualSourceClick(TObject* Sender);
    void SpeedButton_destinationPathClick(TObject* Sender);

    // The run, and the preparation of a page-order merge.
    void StyButton_startClick(TObject* Sender);
    void StyButton_2ndFileClick(TObject* Sender);
    void StyButton_arrangeClick(TObject* Sender);
    // The page-order window's folder of single pages (FArrangeTmp): made in the system's
    // temporary folder and claimed like a run folder, so nothing is written beside the
    // source and a killed program's folder is removed by the next one.
    void MakeArrangeFolder();
    void EndArrangeFolder();
    std::string ReplaceExt(const std::string& path, const std::string& ext) const;
    std::string JoinName(const std::string& path, const std::string& folder) const;
    std::string DestName(const std::string& path, const std::string& ext, const std::string& prefix,
                         const std::string& suffix) const;
    std::string AddSuffix(const std::string& path, const std::string& suffix) const;

    // Command line (unattended runs).
    void ParseCommandLine();

    // The selected row of the function table (a divider row when nothing fits).
    const struct TConverter& SelectedFunction() const;

private:
    // Runs the row's runner in the run's temporary folder; target receives its result file.
    bool RunFunction(const struct TConverter& row, std::string& target, const std::string& temp);
};

extern TForm_main* Form_main;

// Shows a side window modally, then frees it and clears its global, also when showing fails.
template <class T>
void ShowModalAndFree(T*& window) {
    struct Clear {
        T*& ref;
        ~Clear() { ref = nullptr; }
    } clear{window};                         // runs last: the global is cleared after...
    const std::unique_ptr<T> owner(window);  // ...the window is freed
    window->ShowModal();
}

// The maker's web page opened by the copyright notice.
extern const char* const kMakerAddress;

void RegisterMainClasses();
// The program's command-line parameters (set by the program block; tests set them too).
void SetParams(const std::vector<std::string>& params);
int ParamCount();
std::string ParamStr(int i);
// Whether the conversion function of that name goes through office applications.
bool IsOfficeFunction(const std::string& name);
// Whether the command line runs an office function unattended ("-c doc2pdf ...").
bool CommandLineRunsOfficeFunction();
