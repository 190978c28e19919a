// The folder browse dialog: shows the shell's folder browser (SHBrowseForFolderA) and
// returns the chosen folder in Directory. Its options are reduced to what the shell's
// version offers; it shows a status line, and offers events for selection changes, for
// a typed name that is no folder, and for filtering what the tree lists (the dialog is the
// shell's folder filter while one of those events is set).
#pragma once

#include <functional>
#include <string>

#include "platform/user/browseFolder.h"
#include "platform/user/window.h"
#include "platform/vcl/controls.h"

// Base of the layer's common dialogs: only Execute.
class TXcCommonDialogF : public TComponent {
public:
    explicit TXcCommonDialogF(TComponent* owner) : TComponent(owner) {}
    std::string ClassName() const override { return "TXcCommonDialogF"; }
    virtual bool Execute() = 0;
};

enum TOptionsDirectory {
    odBrowseForComputer,
    odOnlyDirectory,
    odOnlyPrinters,
    odNoBelowDomain,
    odSystemAncestorsOnly,
    odFileSystemDirectoryOnly,
    odStatusAvailable,
    odIncludeFiles,
    odIncludeUrls,
    odEditBox,
    odNewDialogStyle,
    odShareable,
    odUsageHint,
    odNoNewButtonFolder,
    odValidate,
};
using TOptionsDir = unsigned;  // bit (1 << TOptionsDirectory) per member
constexpr TOptionsDir Od(TOptionsDirectory o) { return 1u << unsigned(o); }

enum TXcFolderPos {
    fpDefault,
    fpScreenCenter,
    fpFormCenter,
    fpTopLeft,
    fpTopRight,
    fpBottomLeft,
    fpBottomRight
};

enum TFromDirectory {
    fdNoSpecialFolder,
    fdRootFolder,
    fdRecycleBin,
    fdControlPanel,
    fdDesktop,
    fdDesktopDirectory,
    fdMyComputer,
    fdFonts,
    fdNetHood,
    fdNetwork,
    fdPersonal,
    fdPrinters,
    fdPrograms,
    fdRecent,
    fdSendTo,
    fdStartMenu,
    fdStartup,
    fdTemplates,
    fdStartUpNonLocalized,
    fdCommonStartUpNonLocalized,
    fdCommonDocuments,
    fdCommonFavorites,
    fdCommonPrograms,
    fdCommonStartUp,
    fdCommonTemplates,
    fdCookies,
    fdFavorites,
    fdHistory,
    fdInternet,
    fdMyMusic,
    fdPrinthood,
    fdConnections,
    fdAppData,
    fdInternetCache,
    fdAdminTools,
    fdCommonAdminTools,
    fdCommonAppData,
    fdLocalAppData,
    fdMyPictures,
    fdProfile,
    fdProgramFiles,
    fdProgramFilesCommon,
    fdSystem,
    fdWindows,
    fdCDBurnArea,
    fdCommonMusic,
    fdCommonPictures,
    fdCommonVideo,
    fdMyDocuments,
    fdMyVideo,
    fdProfiles,
    fdResources,
    fdResourcesLocalized,
    fdCommonOEMLinks,
    fdComputersNearMe,
};

// The enumeration flags a folder is listed with, as a set (one member per SHCONTF_ flag).
enum TXcEnumFlag {
    efFolders,           // SHCONTF_FOLDERS
    efNonFolders,        // SHCONTF_NONFOLDERS
    efIncludeHidden,     // SHCONTF_INCLUDEHIDDEN
    efInitOnFirstNext,   // SHCONTF_INIT_ON_FIRST_NEXT
    efNetPrinterSearch,  // SHCONTF_NETPRINTERSRCH
    efShareable,         // SHCONTF_SHAREABLE
    efStorage,           // SHCONTF_STORAGE
};
using TXcEnumFlags = unsigned;  // bit (1 << TXcEnumFlag) per member
constexpr TXcEnumFlags Ef(TXcEnumFlag f) { return 1u << unsigned(f); }

using TXcBrowseAcceptChange =
    std::function<void(TObject* Sender, const std::string& NewFolder, bool& Accept)>;
using TXcDirChange = std::function<void(TObject* Sender, const std::string& NewFolder)>;
using TXcValidateFailedEvent =
    std::function<void(TObject* Sender, const std::string& Text, bool& CanCloseDialog)>;
using TXcGetEnumFlagsEvent =
    std::function<void(TObject* Sender, const std::string& Folder, TXcEnumFlags& Flags)>;
using TXcShouldShowEvent =
    std::function<void(TObject* Sender, const std::string& Item, bool& Show)>;

class TXcBrowseForFolderDialog : public TXcCommonDialogF, public IFolderFilter {
public:
    explicit TXcBrowseForFolderDialog(TComponent* owner);
    ~TXcBrowseForFolderDialog() override;
    std::string ClassName() const override { return "TXcBrowseForFolderDialog"; }

    std::string Directory;    // the start folder before, the chosen folder after Execute
    std::string DisplayName;  // the chosen item's display name
    int HelpContext = 0;      // not 0: the dialog gets a help button
    TXcFolderPos Position = fpScreenCenter;
    std::string Title;
    std::string StatusText;
    TOptionsDir Options() const { return options_; }
    // Stores the options with the members that go with the added ones, without the ones
    // that exclude them.
    void SetOptions(TOptionsDir value);
    TFromDirectory RootDirectory() const { return root_; }
    void SetRootDirectory(TFromDirectory value);
    std::string RootDirectoryPath() const;
    void SetRootDirectoryPath(const std::string& path);

    TXcBrowseAcceptChange OnAcceptChange;
    TXcDirChange OnChange;
    TNotifyEvent OnInitialized;
    TXcValidateFailedEvent OnValidateFailed;
    TXcGetEnumFlagsEvent OnGetEnumFlags;
    TXcShouldShowEvent OnShouldShow;

    bool Execute() override;

    // The folder filter the dialog registers. Its references are not counted: the component
    // lives as its owner says. A handler that raises goes to the application's exception
    // handler, and the item shows (the flags stay as they came).
    HRESULT QueryInterface(REFIID iid, void** out) override;
    ULONG AddRef() override { return ULONG(-1); }
    ULONG Release() override { return ULONG(-1); }
    HRESULT ShouldShow(IShellFolder* folder, LPCITEMIDLIST folderList, LPCITEMIDLIST item) override;
    HRESULT GetEnumFlags(IShellFolder* folder, LPCITEMIDLIST folderList, HWND* window,
                         DWORD* flags) override;
    // SHCONTF_ flags as the set and back (flags outside the set are not in it).
    static TXcEnumFlags EnumFlagSet(DWORD flags);
    static DWORD EnumFlagSum(TXcEnumFlags set);

    // The options Execute uses on a shell of this version, and their BROWSEINFO flags.
    static TOptionsDir EffectiveOptions(TOptionsDir options, DWORD shellVersion);
    static UINT FlagsOf(TOptionsDir options);
    // The text above the tree for these effective options.
    std::string TitleLine(TOptionsDir effective) const;
    // The folder of a special folder here ("" when it has none).
    static std::string SpecialFolderPathOf(TFromDirectory folder);

private:
    static int BrowseCallback(HWND hwnd, UINT msg, LPARAM l, LPARAM data);
    int Callback(HWND hwnd, UINT msg, LPARAM l);
    void UpdateStatusText(const std::string& path);
    // The path cut with "..." to fit the status line (as it stands when there is none).
    std::string ShortenedForStatusLine(const std::string& path) const;
    // The window the dialog belongs to: the owning control's form, else the control's own
    // window, else the active form, else the foreground window.
    HWND OwnerWindow() const;
    // Moves the dialog window to where Position puts it.
    void Place();
    LRESULT DialogMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    // The help button (HelpContext not 0) beside the dialog's first button, and its move
    // when the dialog is resized.
    void AddHelpButton(HWND dialog);
    void FollowSize(HWND dialog);

    TOptionsDir options_ = Od(odStatusAvailable) | Od(odNewDialogStyle);
    TOptionsDir effective_ = 0;
    TFromDirectory root_ = fdNoSpecialFolder;
    std::string rootPath_;
    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    bool positioned_ = false;
    HWND help_ = nullptr;
    int helpDistance_ = 0;  // from the help button's top to the dialog's bottom edge
    std::shared_ptr<WNDPROC> previousProc_;  // of the dialog window while it is subclassed
    std::shared_ptr<WNDPROC> instance_;      // the dialog window's procedure bound to this object
    LPITEMIDLIST result_ = nullptr;
};

void RegisterXcBrowseDialog();
