// SHBrowseForFolderA: the shell's folder browser as a dialog of our own (a folder tree, an
// optional edit box and status line, OK and Cancel), with the callback messages and the
// dialog messages of the Windows call. The dialog's state and message handling live here;
// its window is made by the window layer (platform/qt).
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/user/messages.h"
#include "platform/win/folderFilter.h"
#include "platform/win/shellFolders.h"

using BFFCALLBACK = int (*)(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data);

struct BROWSEINFOA {
    HWND hwndOwner = nullptr;
    LPCITEMIDLIST pidlRoot = nullptr;  // null: the desktop (the whole file system)
    char* pszDisplayName = nullptr;    // MAX_PATH bytes: the chosen folder's display name
    const char* lpszTitle = nullptr;   // the text above the tree
    UINT ulFlags = 0;
    BFFCALLBACK lpfn = nullptr;
    LPARAM lParam = 0;
    int iImage = 0;  // the chosen folder's index in the system image list
};

constexpr UINT BIF_RETURNONLYFSDIRS = 0x0001, BIF_DONTGOBELOWDOMAIN = 0x0002,
               BIF_STATUSTEXT = 0x0004, BIF_RETURNFSANCESTORS = 0x0008, BIF_EDITBOX = 0x0010,
               BIF_VALIDATE = 0x0020, BIF_NEWDIALOGSTYLE = 0x0040, BIF_USENEWUI = 0x0050,
               BIF_BROWSEINCLUDEURLS = 0x0080, BIF_UAHINT = 0x0100, BIF_NONEWFOLDERBUTTON = 0x0200,
               BIF_NOTRANSLATETARGETS = 0x0400, BIF_BROWSEFORCOMPUTER = 0x1000,
               BIF_BROWSEFORPRINTER = 0x2000, BIF_BROWSEINCLUDEFILES = 0x4000,
               BIF_SHAREABLE = 0x8000;
// Callback messages. BFFM_IUNKNOWN hands the callback the dialog's IFolderFilterSite right
// after BFFM_INITIALIZED, and a null pointer when the dialog ends.
constexpr UINT BFFM_INITIALIZED = 1, BFFM_SELCHANGED = 2, BFFM_VALIDATEFAILEDA = 3,
               BFFM_VALIDATEFAILEDW = 4, BFFM_IUNKNOWN = 5;
// Messages to the dialog window.
constexpr UINT BFFM_SETSTATUSTEXTA = WM_USER + 100, BFFM_ENABLEOK = WM_USER + 101,
               BFFM_SETSELECTIONA = WM_USER + 102, BFFM_SETOKTEXT = WM_USER + 105,
               BFFM_SETEXPANDED = WM_USER + 106;
constexpr int IDOK = 1, IDCANCEL = 2;
constexpr int kBrowseStatusItem = 14147;     // the status line's dialog item
constexpr int kBrowseNewFolderItem = 14150;  // the new folder button

// Shows the dialog modally; the chosen folder's item-id list (free it with CoTaskMemFree
// or ILFree), or null when cancelled. With BIF_VALIDATE a typed name that is no folder
// goes to the callback (BFFM_VALIDATEFAILEDA); when the callback answers 0 the dialog
// closes and the call returns null (no folder was chosen), otherwise it stays open.
LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* bi);

// The dialog while it is open: what the window shows and what the user does.
class BrowseFolderDialog {
public:
    explicit BrowseFolderDialog(BROWSEINFOA& bi);
    ~BrowseFolderDialog();
    BrowseFolderDialog(const BrowseFolderDialog&) = delete;
    BrowseFolderDialog& operator=(const BrowseFolderDialog&) = delete;

    HWND Window() const { return hwnd_; }
    // What the caller passed (a driver acting as the shell may call its callback).
    const BROWSEINFOA& Info() const { return bi_; }
    UINT Flags() const { return bi_.ulFlags; }
    std::string Title() const { return bi_.lpszTitle ? bi_.lpszTitle : ""; }
    std::string Root() const { return root_; }  // "" for the whole file system
    std::string Selection() const { return selection_; }
    std::string StatusText() const { return status_; }
    bool OkEnabled() const { return okEnabled_; }
    std::string EditText() const { return edit_; }
    bool Done() const { return done_; }
    bool HasEditBox() const { return (bi_.ulFlags & BIF_EDITBOX) != 0; }
    bool HasStatusLine() const {
        return (bi_.ulFlags & BIF_STATUSTEXT) && !(bi_.ulFlags & BIF_NEWDIALOGSTYLE);
    }
    bool HasNewFolderButton() const {
        return (bi_.ulFlags & BIF_NEWDIALOGSTYLE) && !(bi_.ulFlags & BIF_NONEWFOLDERBUTTON);
    }

    // Sends BFFM_INITIALIZED, BFFM_IUNKNOWN with the filter site and then BFFM_SELCHANGED for
    // the first selection.
    void Start();
    // Sends BFFM_IUNKNOWN with a null pointer and lets go of the filter: the dialog ended.
    void Finish();
    // The user's actions.
    void Select(const std::string& folder);
    void SetEditText(const std::string& text);
    void PressOk();
    void Cancel();
    // Makes a new folder "新建文件夹" (numbered when taken) below the selection and selects it.
    bool NewFolder();
    // The dialog's client area takes this size (the user drags its border): its own buttons
    // keep their distance from the bottom right corner, and the window hears WM_SIZE.
    void Resize(int clientWidth, int clientHeight);
    // Whether a child window is one of the dialog's own buttons (else the program made it).
    bool OwnButton(HWND child) const;

    // What the tree lists of a folder: folders, files too with BIF_BROWSEINCLUDEFILES, hidden
    // entries (a name starting with ".") only with SHCONTF_INCLUDEHIDDEN, as the folder's
    // enumeration flags say, and of those only what a registered filter lets show. The filter
    // is asked for a folder's flags when the folder is first listed and for each item once.
    bool Lists(const std::string& folder, const std::string& name, bool isFolder, bool hidden);
    // The names the tree lists in a folder, sorted (what the window shows, without a window).
    std::vector<std::string> Items(const std::string& folder);
    DWORD EnumFlags(const std::string& folder);
    bool HasFilter() const { return filter_ != nullptr; }

    // What the window shows follows these (set by the window layer).
    std::function<void()> OnStateChanged;
    std::function<void()> OnFilterChanged;  // what was listed must be asked again
    // Set by the window layer while it shows: whether the selected folder's row is in view
    // (the tree reads folders in the background and scrolls to it once they are there), and
    // a picture of the window.
    std::function<bool()> SelectionInView;
    std::function<bool(const std::string& pngPath)> SaveScreenshot;

    // The result once Done(): the chosen folder, or "" when cancelled.
    std::string Chosen() const { return chosen_; }

private:
    class FilterSite;
    friend class FilterSite;
    HRESULT SetFilter(IUnknown* filter);
    bool AskShouldShow(const std::string& folder, const std::string& name);

    LRESULT Handle(UINT msg, WPARAM w, LPARAM l);
    int Callback(UINT msg, LPARAM l);
    void Changed();
    bool Allowed(const std::string& folder) const;

    BROWSEINFOA& bi_;
    void LayOutButtons();

    HWND hwnd_ = nullptr, statusItem_ = nullptr;
    std::vector<HWND> buttons_;  // new folder (when shown), OK, Cancel
    std::string root_, selection_, status_, edit_, chosen_;
    bool okEnabled_ = true, done_ = false, started_ = false, finished_ = false;
    FilterSite* site_ = nullptr;              // counted: a callback may hold it past the dialog
    IFolderFilter* filter_ = nullptr;         // a reference held while registered
    std::map<std::string, DWORD> enumFlags_;  // per folder, asked of the filter
    std::map<std::string, bool> shown_;       // per item path, asked of the filter
};

// For tests: when set, SHBrowseForFolderA makes no window and lets the driver act as the
// user (it is called once after BFFM_INITIALIZED); a dialog the driver leaves open is
// cancelled. Empty function: the window again.
void SetBrowseFolderTestDriver(std::function<void(BrowseFolderDialog&)> driver);
std::function<void(BrowseFolderDialog&)>& BrowseFolderTestDriver();
// For tests of the real window: called on every turn of the dialog's message loop while the
// window shows, until it answers true (it may look at the window, act as the user, end it).
void SetBrowseFolderWindowProbe(std::function<bool(BrowseFolderDialog&)> probe);
std::function<bool(BrowseFolderDialog&)>& BrowseFolderWindowProbe();
// The text a folder shows in the dialog's tree and status line.
std::string FolderDisplayName(const std::string& folder);
