#include "controls/extended/xcBrowse.h"

#include <cstring>

#include "controls/extended/xcUtils.h"
#include "controls/extended/xcWinUtils.h"
#include "platform/gdi/gdi.h"
#include "platform/user/metrics.h"
#include "platform/user/paint.h"
#include "platform/vcl/forms.h"

namespace {

struct TSpecialFolder {
    int csidl;
    DWORD minShell;           // lowest shell version that has it (0: all)
    TFromDirectory fallback;  // taken where this one is missing
};

// One row per TFromDirectory value, in its order.
const TSpecialFolder kFolders[] = {
    {0, 0, fdNoSpecialFolder},
    {0x00, 0, fdNoSpecialFolder},
    {0x0A, 0, fdNoSpecialFolder},
    {0x03, 0, fdNoSpecialFolder},
    {0x00, 0, fdNoSpecialFolder},
    {0x10, 0, fdNoSpecialFolder},
    {0x11, 0, fdNoSpecialFolder},
    {0x14, 0, fdNoSpecialFolder},
    {0x13, 0, fdNoSpecialFolder},
    {0x12, 0, fdNoSpecialFolder},
    {0x05, 0, fdNoSpecialFolder},
    {0x04, 0, fdNoSpecialFolder},
    {0x02, 0, fdNoSpecialFolder},
    {0x08, 0, fdNoSpecialFolder},
    {0x09, 0, fdNoSpecialFolder},
    {0x0B, 0, fdNoSpecialFolder},
    {0x07, 0, fdNoSpecialFolder},
    {0x15, 0, fdNoSpecialFolder},
    {0x1D, 0, fdNoSpecialFolder},
    {0x1E, 0, fdNoSpecialFolder},
    {0x2E, 0, fdNoSpecialFolder},
    {0x1F, 0, fdNoSpecialFolder},
    {0x17, 0, fdNoSpecialFolder},
    {0x18, 0, fdNoSpecialFolder},
    {0x2D, 0, fdNoSpecialFolder},
    {0x21, 0, fdNoSpecialFolder},
    {0x06, 0, fdNoSpecialFolder},
    {0x22, 0, fdNoSpecialFolder},
    {0x01, 0, fdNoSpecialFolder},
    {0x0D, 0, fdNoSpecialFolder},
    {0x1B, 0, fdNoSpecialFolder},
    {0x31, 0, fdNoSpecialFolder},
    {0x1A, 0x00040071, fdNoSpecialFolder},
    {0x20, 0x00040072, fdNoSpecialFolder},
    {0x30, 0x00050000, fdNoSpecialFolder},
    {0x2F, 0x00050000, fdNoSpecialFolder},
    {0x23, 0x00050000, fdNoSpecialFolder},
    {0x1C, 0x00050000, fdNoSpecialFolder},
    {0x27, 0x00050000, fdPersonal},
    {0x28, 0x00050000, fdNoSpecialFolder},
    {0x26, 0x00050000, fdNoSpecialFolder},
    {0x2B, 0x00050000, fdNoSpecialFolder},
    {0x25, 0x00050000, fdNoSpecialFolder},
    {0x24, 0x00050000, fdNoSpecialFolder},
    {0x3B, 0x00060000, fdNoSpecialFolder},
    {0x35, 0x00060000, fdCommonDocuments},
    {0x36, 0x00060000, fdCommonDocuments},
    {0x37, 0x00060000, fdCommonDocuments},
    {0x0C, 0x00060000, fdPersonal},
    {0x0E, 0x00060000, fdPersonal},
    {0x3E, 0x00060000, fdNoSpecialFolder},
    {0x38, 0x00060000, fdNoSpecialFolder},
    {0x39, 0x00060000, fdNoSpecialFolder},
    {0x3A, 0x00060000, fdNoSpecialFolder},
    {0x3D, 0x00060000, fdNoSpecialFolder},
};
static_assert(sizeof kFolders / sizeof kFolders[0] == fdComputersNearMe + 1);

constexpr UINT kFlags[] = {0x1000, 0,      0x2000, 0x0002, 0x0008, 0x0001, 0x0004, 0x4000,
                           0x0080, 0x0010, 0x0040, 0x8000, 0x0100, 0x0200, 0x0020};

bool Has(TOptionsDir s, TOptionsDirectory o) { return (s & Od(o)) != 0; }

// The SHCONTF_ flag of each TXcEnumFlag member, in its order.
constexpr DWORD kEnumFlags[] = {
    SHCONTF_FOLDERS,        SHCONTF_NONFOLDERS, SHCONTF_INCLUDEHIDDEN, SHCONTF_INIT_ON_FIRST_NEXT,
    SHCONTF_NETPRINTERSRCH, SHCONTF_SHAREABLE,  SHCONTF_STORAGE};

// The text of a name the shell gave back, in whichever of its three forms (a wide string is
// freed here).
std::string TextOf(STRRET& name, LPCITEMIDLIST item) {
    switch (name.uType) {
        case STRRET_WSTR: {
            if (!name.pOleStr) return "";
            std::string text = TextFromWide(name.pOleStr);
            CoTaskMemFree(name.pOleStr);
            name.pOleStr = nullptr;
            return text;
        }
        case STRRET_OFFSET: {
            const unsigned size = item ? ILGetSize(item) : 0;
            if (name.uOffset >= size) return "";
            const char* at = reinterpret_cast<const char*>(item) + name.uOffset;
            return std::string(at, strnlen(at, size - name.uOffset));
        }
        case STRRET_CSTR:
            return std::string(name.cStr, strnlen(name.cStr, sizeof name.cStr));
        default:
            return "";
    }
}

// An item's path: its parsing name within its folder ("" when the folder cannot name it).
std::string PathOf(IShellFolder* folder, LPCITEMIDLIST item) {
    STRRET name;
    if (!folder || FAILED(folder->GetDisplayNameOf(item, SHGDN_FORPARSING, &name))) return "";
    return TextOf(name, item);
}

// A whole item-id list's path, and a path's list, through the desktop folder.
std::string PathOfList(LPCITEMIDLIST list) {
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop))) return "";
    std::string path = PathOf(desktop, list);
    desktop->Release();
    return path;
}

// Null for an empty path or one that cannot be parsed (the desktop then stands for it).
LPITEMIDLIST ListOfPath(const std::string& path) {
    IShellFolder* desktop = nullptr;
    if (path.empty() || FAILED(SHGetDesktopFolder(&desktop))) return nullptr;
    const std::u16string wide = WideFromText(path);
    LPITEMIDLIST list = nullptr;
    ULONG eaten = 0;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.c_str(), &eaten, &list, nullptr)))
        list = nullptr;
    desktop->Release();
    return list;
}

}  // namespace

TXcBrowseForFolderDialog::TXcBrowseForFolderDialog(TComponent* owner)
    : TXcCommonDialogF(owner), instance_(MakeObjectInstance([this](TMessage& m) {
          m.Result = DialogMessage(dialog_, m.Msg, m.WParam, m.LParam);
      })) {}

TXcBrowseForFolderDialog::~TXcBrowseForFolderDialog() {
    FreeItemIdList(result_);
    FreeObjectInstance(instance_);
}

TXcEnumFlags TXcBrowseForFolderDialog::EnumFlagSet(DWORD flags) {
    TXcEnumFlags set = 0;
    for (unsigned i = 0; i <= unsigned(efStorage); ++i)
        if ((flags & kEnumFlags[i]) == kEnumFlags[i]) set |= 1u << i;
    return set;
}

DWORD TXcBrowseForFolderDialog::EnumFlagSum(TXcEnumFlags set) {
    DWORD flags = 0;
    for (unsigned i = 0; i <= unsigned(efStorage); ++i)
        if (set & (1u << i)) flags += kEnumFlags[i];
    return flags;
}

HRESULT TXcBrowseForFolderDialog::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(iid, IID_IUnknown) && !IsEqualGUID(iid, IID_IFolderFilter))
        return E_NOINTERFACE;
    *out = static_cast<IFolderFilter*>(this);
    return S_OK;
}

HRESULT TXcBrowseForFolderDialog::ShouldShow(IShellFolder* folder, LPCITEMIDLIST,
                                             LPCITEMIDLIST item) {
    bool show = true;
    if (OnShouldShow) try {
            const std::string path = PathOf(folder, item);
            OnShouldShow(this, path, show);
        } catch (...) {
            show = true;  // a failing handler hides nothing
            if (Application) Application->HandleException(this);
        }
    return show ? S_OK : S_FALSE;
}

HRESULT TXcBrowseForFolderDialog::GetEnumFlags(IShellFolder*, LPCITEMIDLIST folderList, HWND*,
                                               DWORD* flags) {
    if (!flags) return E_POINTER;
    if (!OnGetEnumFlags) return S_OK;
    try {
        TXcEnumFlags set = EnumFlagSet(*flags);
        OnGetEnumFlags(this, PathOfList(folderList), set);
        // The flags the set cannot hold go on as they came.
        *flags = (*flags & ~EnumFlagSum(0x7F)) | EnumFlagSum(set);
    } catch (...) {
        if (Application) Application->HandleException(this);
    }
    return S_OK;
}

void TXcBrowseForFolderDialog::SetOptions(TOptionsDir value) {
    if (value == options_) return;
    const TOptionsDir added = value & ~options_, removed = options_ & ~value;
    TOptionsDir v = value;
    if (Has(added, odIncludeUrls)) v |= Od(odIncludeFiles) | Od(odEditBox) | Od(odNewDialogStyle);
    if (Has(added, odShareable)) v |= Od(odNewDialogStyle);
    if (Has(added, odUsageHint)) v = (v | Od(odNewDialogStyle)) & ~Od(odEditBox);
    if (Has(added, odValidate)) v |= Od(odEditBox);
    if (Has(added, odEditBox)) v &= ~Od(odUsageHint);
    if (Has(removed, odEditBox)) v &= ~(Od(odValidate) | Od(odIncludeUrls));
    if (Has(removed, odNewDialogStyle))
        v &= ~(Od(odIncludeUrls) | Od(odShareable) | Od(odUsageHint));
    if (Has(removed, odIncludeFiles)) v &= ~Od(odIncludeUrls);
    if (Has(v, odEditBox))
        v &= ~Od(odUsageHint);
    else
        v &= ~(Od(odValidate) | Od(odIncludeUrls));
    if (Has(v, odUsageHint)) v &= ~(Od(odValidate) | Od(odEditBox));
    options_ = v;
}

TOptionsDir TXcBrowseForFolderDialog::EffectiveOptions(TOptionsDir options, DWORD shell) {
    TOptionsDir v = options;
    if (shell < ShellVersion(6, 0)) v &= ~(Od(odUsageHint) | Od(odNoNewButtonFolder));
    if (shell < ShellVersion(5, 0))
        v &= ~(Od(odIncludeUrls) | Od(odNewDialogStyle) | Od(odShareable));
    // Compared with 0x00040071 as it stands: every 4.x shell (4.71 = 0x00040047 too) is below.
    if (shell < DWORD(0x00040071)) v &= ~(Od(odIncludeFiles) | Od(odEditBox) | Od(odValidate));
    return v;
}

UINT TXcBrowseForFolderDialog::FlagsOf(TOptionsDir options) {
    UINT flags = 0;
    for (unsigned i = 0; i <= unsigned(odValidate); ++i)
        if (options & (1u << i)) flags += kFlags[i];
    return flags;
}

std::string TXcBrowseForFolderDialog::TitleLine(TOptionsDir effective) const {
    if (!Has(effective, odNewDialogStyle) || StatusText.empty()) return Title;
    return Title.empty() ? StatusText : Title + "\r" + StatusText;
}

std::string TXcBrowseForFolderDialog::SpecialFolderPathOf(TFromDirectory folder) {
    const DWORD shell = GetShellVersion();
    for (int guard = 0; folder != fdNoSpecialFolder && guard < 4; ++guard) {
        const TSpecialFolder& row = kFolders[folder];
        if (shell >= row.minShell) {
            std::string path = SpecialFolderPath(row.csidl);
            if (!path.empty() || row.fallback == fdNoSpecialFolder) return path;
        }
        folder = row.fallback;
    }
    return "";
}

void TXcBrowseForFolderDialog::SetRootDirectory(TFromDirectory value) {
    if (value == fdNoSpecialFolder && root_ != fdNoSpecialFolder)
        rootPath_ = SpecialFolderPathOf(root_);
    root_ = value;
}

std::string TXcBrowseForFolderDialog::RootDirectoryPath() const {
    return root_ != fdNoSpecialFolder ? SpecialFolderPathOf(root_) : rootPath_;
}

void TXcBrowseForFolderDialog::SetRootDirectoryPath(const std::string& path) {
    rootPath_ = path;
    root_ = fdNoSpecialFolder;
}

void TXcBrowseForFolderDialog::UpdateStatusText(const std::string& path) {
    if (!Has(effective_, odStatusAvailable) || Has(effective_, odNewDialogStyle) || !dialog_)
        return;
    std::string text = StatusText;
    if (text.empty()) text = ShortenedForStatusLine(path);
    SendMessageA(dialog_, BFFM_SETSTATUSTEXTA, 0, LPARAM(text.c_str()));
}

std::string TXcBrowseForFolderDialog::ShortenedForStatusLine(const std::string& path) const {
    RECT dialog, status;
    const HWND item = GetDlgItem(dialog_, kBrowseStatusItem);
    if (!item || !GetWindowRect(dialog_, &dialog) || !GetWindowRect(item, &status)) return path;
    // Measured in the main window's font, as the line shows it.
    TCanvas canvas;
    if (TForm* main = Application ? Application->MainForm() : nullptr)
        canvas.Font()->Assign(*main->Font());
    const int width = (dialog.right - dialog.left) - 2 * (status.left - dialog.left) - 8;
    return MinimizePathName(
        path, [&](const std::string& t) { return canvas.TextWidth(t); }, width);
}

void TXcBrowseForFolderDialog::Place() {
    RECT client;
    if (Position == fpDefault || !dialog_ || !GetClientRect(dialog_, &client)) return;
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int w = client.right - client.left, h = client.bottom - client.top;
    int x = work.left, y = work.top;
    switch (Position) {
        case fpScreenCenter:
            x = (work.right - work.left - w) / 2, y = (work.bottom - work.top - h) / 2;
            break;
        case fpFormCenter: {
            RECT owner;
            if (!GetWindowRect(owner_, &owner)) return;  // no owner to centre on: left where it is
            x = owner.left + (owner.right - owner.left - w) / 2,
            y = owner.top + (owner.bottom - owner.top - h) / 2;
            break;
        }
        case fpTopRight:
            x = work.right - w - GetSystemMetrics(SM_CXFIXEDFRAME);
            break;
        case fpBottomLeft:
            y = work.bottom - h - GetSystemMetrics(SM_CYCAPTION) +
                GetSystemMetrics(SM_CYFIXEDFRAME);
            break;
        case fpBottomRight:
            x = work.right - w - GetSystemMetrics(SM_CXFIXEDFRAME);
            y = work.bottom - h - GetSystemMetrics(SM_CYCAPTION) -
                GetSystemMetrics(SM_CYFIXEDFRAME);
            break;
        default:
            break;
    }
    SetWindowPos(dialog_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TXcBrowseForFolderDialog::AddHelpButton(HWND dialog) {
    const HWND first = FindWindowExA(dialog, nullptr, "BUTTON", nullptr);
    RECT button, window;
    if (!first || !GetWindowRect(first, &button) || !GetWindowRect(dialog, &window)) return;
    POINT topLeft{button.left, button.top}, bottomRight{button.right, button.bottom};
    ScreenToClient(dialog, &topLeft);
    ScreenToClient(dialog, &bottomRight);
    helpDistance_ = (window.bottom - window.top) - topLeft.y;
    help_ = CreateWindowExA(0, "BUTTON", "帮助(&H)",
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 12, topLeft.y,
                            bottomRight.x - topLeft.x, bottomRight.y - topLeft.y, dialog,
                            reinterpret_cast<HMENU>(intptr_t(0xFFFF)), nullptr, nullptr);
    SendMessageA(help_, WM_SETFONT, WPARAM(SendMessageA(dialog, WM_GETFONT, 0, 0)), 1);
    UpdateWindow(dialog);
}

// The help button keeps its distance from the dialog's bottom edge.
void TXcBrowseForFolderDialog::FollowSize(HWND dialog) {
    RECT window, button;
    if (!help_ || !GetWindowRect(dialog, &window) || !GetWindowRect(help_, &button)) return;
    POINT at{button.left, button.top};
    ScreenToClient(dialog, &at);
    SetWindowPos(help_, nullptr, at.x, (window.bottom - window.top) - helpDistance_,
                 button.right - button.left, button.bottom - button.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT TXcBrowseForFolderDialog::DialogMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    try {
        if (msg == WM_SHOWWINDOW && !positioned_) {
            Place();
            positioned_ = true;
        }
        if (msg == WM_SIZE) {
            const LRESULT result = CallWindowProcA(previousProc_, hwnd, msg, w, l);
            FollowSize(hwnd);
            return result;
        }
    } catch (...) {
        if (Application) Application->HandleException(this);
    }
    return CallWindowProcA(previousProc_, hwnd, msg, w, l);
}

int TXcBrowseForFolderDialog::BrowseCallback(HWND hwnd, UINT msg, LPARAM l, LPARAM data) {
    auto* self = reinterpret_cast<TXcBrowseForFolderDialog*>(data);
    try {
        return self->Callback(hwnd, msg, l);
    } catch (...) {
        if (Application) Application->HandleException(self);
        return 0;
    }
}

int TXcBrowseForFolderDialog::Callback(HWND hwnd, UINT msg, LPARAM l) {
    dialog_ = hwnd;
    switch (msg) {
        case BFFM_INITIALIZED:
            positioned_ = !Has(effective_, odNewDialogStyle);
            if (positioned_) {
                Place();
            } else if (!previousProc_) {
                // The new-style dialog is placed when it first shows.
                previousProc_ = SetWindowProc(hwnd, instance_);
            }
            if (HelpContext != 0) AddHelpButton(hwnd);
            if (!Directory.empty())
                SendMessageA(hwnd, BFFM_SETSELECTIONA, 1, LPARAM(Directory.c_str()));
            UpdateStatusText(Directory);
            if (OnInitialized) OnInitialized(this);
            return 0;
        case BFFM_SELCHANGED: {
            char buffer[MAX_PATH + 1] = {};
            std::string path =
                SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(l), buffer) ? buffer : "";
            if (OnAcceptChange) {
                bool accept = true;
                OnAcceptChange(this, path, accept);
                SendMessageA(hwnd, BFFM_ENABLEOK, 0, accept ? 1 : 0);
            }
            UpdateStatusText(path);
            if (OnChange) OnChange(this, path);
            return 0;
        }
        case BFFM_IUNKNOWN: {
            // The site of the dialog's folder filter (null when the dialog ends).
            auto* site = reinterpret_cast<IUnknown*>(l);
            if (!site || (!OnGetEnumFlags && !OnShouldShow)) return 0;
            void* asked = nullptr;
            if (FAILED(site->QueryInterface(IID_IFolderFilterSite, &asked)) || !asked) return 0;
            auto* filterSite = static_cast<IFolderFilterSite*>(asked);
            filterSite->SetFilter(static_cast<IFolderFilter*>(this));
            filterSite->Release();
            return 0;
        }
        case BFFM_VALIDATEFAILEDA:
        case BFFM_VALIDATEFAILEDW: {
            if (!OnValidateFailed) return 0;
            bool canClose = true;
            // The wide message carries UTF-16 text.
            const std::string typed = !l ? std::string()
                                      : msg == BFFM_VALIDATEFAILEDW
                                          ? TextFromWide(reinterpret_cast<LPCWSTR>(l))
                                          : std::string(reinterpret_cast<const char*>(l));
            OnValidateFailed(this, typed, canClose);
            return canClose ? 0 : 1;
        }
        default:
            return 0;
    }
}

HWND TXcBrowseForFolderDialog::OwnerWindow() const {
    if (auto* control = dynamic_cast<TControl*>(Owner())) {
        TControl* top = control;
        while (top->Parent()) top = top->Parent();
        if (auto* form = dynamic_cast<TForm*>(top)) return form->Handle();
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) return windowed->Handle();
    }
    // The screen's active form, else the window in the foreground.
    if (HWND active = GetActiveWindow(); active && dynamic_cast<TForm*>(FindControl(active)))
        return active;
    return GetForegroundWindow();
}

bool TXcBrowseForFolderDialog::Execute() {
    const DWORD shell = GetShellVersion();
    if (shell < ShellVersion(4, 0)) throw EXCLException("这个对话框需要外壳程序 4.0 或更高版本。");
    owner_ = OwnerWindow();
    positioned_ = false;
    help_ = nullptr;
    helpDistance_ = 0;
    previousProc_ = nullptr;
    effective_ = EffectiveOptions(options_, shell);
    const std::string title = TitleLine(effective_);
    char displayName[MAX_PATH + 1] = {};
    const std::string rootPath = RootDirectoryPath();
    LPITEMIDLIST root = ListOfPath(rootPath);
    BROWSEINFOA bi;
    bi.hwndOwner = owner_;
    bi.pidlRoot = root;
    bi.pszDisplayName = displayName;
    bi.lpszTitle = title.c_str();
    bi.ulFlags = FlagsOf(effective_);
    bi.lpfn = &BrowseCallback;
    bi.lParam = LPARAM(this);
    const bool com = Has(effective_, odNewDialogStyle);
    if (com) CoInitialize(nullptr);
    FreeItemIdList(result_);
    try {
        result_ = SHBrowseForFolderA(&bi);
    } catch (...) {
        if (com) CoUninitialize();
        FreeItemIdList(root);
        dialog_ = owner_ = nullptr;
        previousProc_ = nullptr;
        throw;
    }
    if (com) CoUninitialize();
    FreeItemIdList(root);
    dialog_ = owner_ = nullptr;
    previousProc_ = nullptr;
    if (!result_) return false;
    DisplayName = displayName;
    Directory = PathOfList(result_);
    return true;
}

void RegisterXcBrowseDialog() {
    static const char* names[] = {
        "odBrowseForComputer", "odOnlyDirectory",       "odOnlyPrinters",
        "odNoBelowDomain",     "odSystemAncestorsOnly", "odFileSystemDirectoryOnly",
        "odStatusAvailable",   "odIncludeFiles",        "odIncludeUrls",
        "odEditBox",           "odNewDialogStyle",      "odShareable",
        "odUsageHint",         "odNoNewButtonFolder",   "odValidate"};
    static const char* positions[] = {"fpDefault",  "fpScreenCenter", "fpFormCenter", "fpTopLeft",
                                      "fpTopRight", "fpBottomLeft",   "fpBottomRight"};
    TClassReg<TXcCommonDialogF>("TXcCommonDialogF", "TComponent", false);
    TClassReg<TXcBrowseForFolderDialog>("TXcBrowseForFolderDialog", "TXcCommonDialogF")
        .prop("Directory",
              [](TXcBrowseForFolderDialog* d, const TDfmValue& v) { d->Directory = v.s; })
        .prop("DisplayName",
              [](TXcBrowseForFolderDialog* d, const TDfmValue& v) { d->DisplayName = v.s; })
        .prop(
            "HelpContext",
            [](TXcBrowseForFolderDialog* d, const TDfmValue& v) { d->HelpContext = v.AsInt(); },
            "0")
        .prop("Title", [](TXcBrowseForFolderDialog* d, const TDfmValue& v) { d->Title = v.s; })
        .prop("StatusText",
              [](TXcBrowseForFolderDialog* d, const TDfmValue& v) { d->StatusText = v.s; })
        .prop("RootDirectoryPath",
              [](TXcBrowseForFolderDialog* d, const TDfmValue& v) { d->SetRootDirectoryPath(v.s); })
        .prop(
            "Position",
            [](TXcBrowseForFolderDialog* d, const TDfmValue& v) {
                for (int i = 0; i < 7; ++i)
                    if (SameText(v.s, positions[i])) return void(d->Position = TXcFolderPos(i));
                throw EReadError("Invalid property value: " + v.s);
            },
            "fpScreenCenter")
        .prop("Options", [](TXcBrowseForFolderDialog* d, const TDfmValue& v) {
            TOptionsDir set = 0;
            for (const std::string& n : v.set) {
                bool known = false;
                for (unsigned i = 0; i < 15; ++i)
                    if (SameText(n, names[i])) set |= 1u << i, known = true;
                if (!known) throw EReadError("Invalid property value: " + n);
            }
            // The form holds the stored set as it stands.
            d->SetOptions(set);
        });
}
