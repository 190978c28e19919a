// The folder browser's state and messages. Its window is the window system's
// (runBrowseFolder of the window driver; platform/qt/browseFolderWindow.cpp).
#include "platform/user/browseFolder.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

#include "platform/gdi/gdi.h"
#include "platform/rtl/passedErrors.h"

#include "platform/user/window.h"
#include "platform/user/windowDriver.h"
#include "platform/win/drives.h"
#include "platform/win/shellInfo.h"

namespace {

bool IsFolder(const std::string& p) {
    struct stat st {};
    return !p.empty() && stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string Trimmed(std::string p) {
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p;
}

std::string Joined(const std::string& folder, const std::string& name) {
    return (folder == "/" ? "" : folder) + "/" + name;
}

}  // namespace

// The site the callback registers a filter with. It is counted, as the shell's objects are:
// a callback that keeps it past the dialog finds it detached (SetFilter fails) instead of gone.
class BrowseFolderDialog::FilterSite : public TComObject<IFolderFilterSite, IID_IFolderFilterSite> {
public:
    explicit FilterSite(BrowseFolderDialog* dialog) : dialog_(dialog) {}
    void Detach() { dialog_ = nullptr; }

    HRESULT SetFilter(IUnknown* filter) override {
        return dialog_ ? dialog_->SetFilter(filter) : E_FAIL;
    }

private:
    ~FilterSite() override = default;
    BrowseFolderDialog* dialog_;
};

std::string FolderDisplayName(const std::string& folder) {
    SHFILEINFOA fi;
    if (SHGetFileInfoA(folder.c_str(), 0, &fi, sizeof fi, SHGFI_DISPLAYNAME))
        return fi.szDisplayName;
    return folder;
}

std::function<void(BrowseFolderDialog&)>& BrowseFolderTestDriver() {
    static std::function<void(BrowseFolderDialog&)> driver;
    return driver;
}

std::function<bool(BrowseFolderDialog&)>& BrowseFolderWindowProbe() {
    static std::function<bool(BrowseFolderDialog&)> probe;
    return probe;
}

void SetBrowseFolderWindowProbe(std::function<bool(BrowseFolderDialog&)> probe) {
    BrowseFolderWindowProbe() = std::move(probe);
}

void SetBrowseFolderTestDriver(std::function<void(BrowseFolderDialog&)> driver) {
    BrowseFolderTestDriver() = std::move(driver);
}

BrowseFolderDialog::BrowseFolderDialog(BROWSEINFOA& bi) : bi_(bi) {
    std::string r = ItemIdListText(bi.pidlRoot);
    root_ = r == kComputerItem ? "" : Trimmed(r);
    selection_ = root_.empty() ? "/" : root_;
    hwnd_ = CreateWindowObject(
        "#32770", bi.hwndOwner,
        [this](HWND, UINT msg, WPARAM w, LPARAM l) { return Handle(msg, w, l); }, nullptr);
    // The window's size until the window layer reports the one it shows.
    if (WindowObject* w = WindowFromHandle(hwnd_))
        w->width = w->clientWidth = 330, w->height = w->clientHeight = 420;
    if (HasStatusLine()) {
        statusItem_ = CreateWindowObject("STATIC", hwnd_, nullptr, nullptr);
        if (WindowObject* s = WindowFromHandle(statusItem_))
            s->controlId = kBrowseStatusItem, s->left = 12, s->top = 40,
            s->width = s->clientWidth = 330 - 24, s->height = s->clientHeight = 16;
    }
    // The buttons of the bottom row are child windows, as the shell's are.
    auto button = [&](int id, const char* text) {
        const HWND b = CreateWindowObject("BUTTON", hwnd_, nullptr, nullptr);
        WindowObject* o = WindowFromHandle(b);
        o->controlId = id, o->text = text, o->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        buttons_.push_back(b);
    };
    if (HasNewFolderButton()) button(kBrowseNewFolderItem, "新建文件夹(&M)");
    button(IDOK, "确定");
    button(IDCANCEL, "取消");
    LayOutButtons();
}

bool BrowseFolderDialog::OwnButton(HWND child) const {
    return std::find(buttons_.begin(), buttons_.end(), child) != buttons_.end();
}

void BrowseFolderDialog::LayOutButtons() {
    const WindowObject* d = WindowFromHandle(hwnd_);
    if (!d) return;
    constexpr int margin = 12, gap = 6, w = 75, h = 23, wideW = 110;
    int right = d->clientWidth - margin;
    for (auto it = buttons_.rbegin(); it != buttons_.rend(); ++it) {
        WindowObject* b = WindowFromHandle(*it);
        if (!b) continue;
        const bool wide = b->controlId == kBrowseNewFolderItem;
        b->width = b->clientWidth = wide ? wideW : w, b->height = b->clientHeight = h;
        b->top = d->clientHeight - margin - h;
        b->left = wide ? margin : right - w;  // the new folder button stands at the left
        if (!wide) right -= w + gap;
    }
}

void BrowseFolderDialog::Resize(int clientWidth, int clientHeight) {
    WindowObject* d = WindowFromHandle(hwnd_);
    if (!d) return;
    d->width += clientWidth - d->clientWidth, d->height += clientHeight - d->clientHeight;
    d->clientWidth = clientWidth, d->clientHeight = clientHeight;
    LayOutButtons();
    SendMessageA(hwnd_, WM_SIZE, 0, MAKELPARAM_XY(clientWidth, clientHeight));
    Changed();
}

BrowseFolderDialog::~BrowseFolderDialog() {
    if (filter_) filter_->Release();
    if (site_) {
        site_->Detach();
        site_->Release();
    }
    // Its children (the status line, the buttons and those the program added) go with it.
    if (hwnd_) DestroyWindow(hwnd_);
}

void BrowseFolderDialog::Changed() {
    if (OnStateChanged) OnStateChanged();
}

int BrowseFolderDialog::Callback(UINT msg, LPARAM l) {
    return bi_.lpfn ? bi_.lpfn(hwnd_, msg, l, bi_.lParam) : 0;
}

bool BrowseFolderDialog::Allowed(const std::string& folder) const {
    std::string f = Trimmed(folder);
    if (root_.empty() || root_ == "/") return true;
    return f == root_ || f.compare(0, root_.size() + 1, root_ + "/") == 0;
}

void BrowseFolderDialog::Start() {
    if (started_) return;
    started_ = true;
    if (HasEditBox())
        edit_ = selection_ == "/" ? "/" : selection_.substr(selection_.find_last_of('/') + 1);
    std::string before = selection_;
    Callback(BFFM_INITIALIZED, 0);
    // The filter site follows, before the first selection is reported; what the tree listed
    // before a filter came is asked again then.
    site_ = new FilterSite(this);
    if (!done_) Callback(BFFM_IUNKNOWN, reinterpret_cast<LPARAM>(static_cast<IUnknown*>(site_)));
    if (!done_) SendMessageA(hwnd_, WM_SHOWWINDOW, 1, 0);
    // The callback may have chosen the selection already (which reported it).
    if (selection_ == before && !done_) {
        LPITEMIDLIST item = MakeItemIdList(selection_);
        Callback(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item));
        CoTaskMemFree(item);
    }
    Changed();
}

void BrowseFolderDialog::Finish() {
    if (!started_ || finished_) return;
    finished_ = true;
    Callback(BFFM_IUNKNOWN, 0);
    SetFilter(nullptr);
}

HRESULT BrowseFolderDialog::SetFilter(IUnknown* filter) {
    IFolderFilter* next = nullptr;
    if (filter) {
        void* asked = nullptr;
        const HRESULT hr = filter->QueryInterface(IID_IFolderFilter, &asked);
        if (FAILED(hr) || !asked) return FAILED(hr) ? hr : E_NOINTERFACE;
        next = static_cast<IFolderFilter*>(asked);
    }
    if (filter_) filter_->Release();
    filter_ = next;
    enumFlags_.clear();
    shown_.clear();
    if (OnFilterChanged) OnFilterChanged();
    return S_OK;
}

DWORD BrowseFolderDialog::EnumFlags(const std::string& folder) {
    DWORD flags =
        SHCONTF_FOLDERS | ((bi_.ulFlags & BIF_BROWSEINCLUDEFILES) ? SHCONTF_NONFOLDERS : 0);
    if (!filter_) return flags;
    if (auto it = enumFlags_.find(folder); it != enumFlags_.end()) return it->second;
    IFolderFilter* filter = filter_;
    filter->AddRef();  // it may take itself away while it is asked
    IShellFolder *desktop = nullptr, *shellFolder = nullptr;
    LPITEMIDLIST list = MakeItemIdList(folder);
    DWORD asked = flags;
    HWND window = hwnd_;
    try {
        if (SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
            SUCCEEDED(desktop->BindToObject(list, nullptr, IID_IShellFolder,
                                            reinterpret_cast<void**>(&shellFolder))) &&
            SUCCEEDED(filter->GetEnumFlags(shellFolder, list, &window, &asked)))
            flags = asked;
    } catch (...) {
        // A filter that fails leaves the folder listed as it would be without it.
        LogPassedException("folder filter (GetEnumFlags)");
    }
    if (shellFolder) shellFolder->Release();
    if (desktop) desktop->Release();
    CoTaskMemFree(list);
    if (filter == filter_) enumFlags_[folder] = flags;
    filter->Release();
    return flags;
}

bool BrowseFolderDialog::AskShouldShow(const std::string& folder, const std::string& name) {
    IFolderFilter* filter = filter_;
    filter->AddRef();
    IShellFolder *desktop = nullptr, *shellFolder = nullptr;
    LPITEMIDLIST folderList = MakeItemIdList(folder), item = MakeItemIdList(name);
    bool show = true;
    try {
        if (SUCCEEDED(SHGetDesktopFolder(&desktop)) &&
            SUCCEEDED(desktop->BindToObject(folderList, nullptr, IID_IShellFolder,
                                            reinterpret_cast<void**>(&shellFolder))))
            show = filter->ShouldShow(shellFolder, folderList, item) != S_FALSE;
    } catch (...) {
        // A filter that fails hides nothing.
        LogPassedException("folder filter (ShouldShow)");
    }
    if (shellFolder) shellFolder->Release();
    if (desktop) desktop->Release();
    CoTaskMemFree(item);
    CoTaskMemFree(folderList);
    filter->Release();
    return show;
}

bool BrowseFolderDialog::Lists(const std::string& folder, const std::string& name, bool isFolder,
                               bool hidden) {
    const DWORD flags = EnumFlags(folder);
    if (!(flags & (isFolder ? SHCONTF_FOLDERS : SHCONTF_NONFOLDERS))) return false;
    if (hidden && !(flags & SHCONTF_INCLUDEHIDDEN)) return false;
    if (!filter_) return true;
    const std::string path = Joined(folder, name);
    if (auto it = shown_.find(path); it != shown_.end()) return it->second;
    IFolderFilter* asked = filter_;
    const bool show = AskShouldShow(folder, name);
    if (asked == filter_) shown_[path] = show;
    return show;
}

std::vector<std::string> BrowseFolderDialog::Items(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    std::vector<std::string> listed;
    for (const std::string& name : names)
        if (Lists(folder, name, IsFolder(Joined(folder, name)), name[0] == '.'))
            listed.push_back(name);
    return listed;
}

void BrowseFolderDialog::Select(const std::string& folder) {
    std::string f = Trimmed(folder);
    if (!IsFolder(f) || !Allowed(f) || done_) return;
    selection_ = f;
    if (HasEditBox()) edit_ = f == "/" ? "/" : f.substr(f.find_last_of('/') + 1);
    LPITEMIDLIST item = MakeItemIdList(selection_);
    Callback(BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item));
    CoTaskMemFree(item);
    Changed();
}

void BrowseFolderDialog::SetEditText(const std::string& text) {
    edit_ = text;
    Changed();
}

void BrowseFolderDialog::PressOk() {
    if (done_ || !okEnabled_) return;
    std::string chosen = selection_;
    if (HasEditBox()) {
        std::string typed = edit_;
        std::string shown =
            selection_ == "/" ? "/" : selection_.substr(selection_.find_last_of('/') + 1);
        if (!typed.empty() && typed != shown) {
            // A typed name is taken relative to the selected folder, an absolute one as it stands.
            std::string parent = selection_ == "/" ? "" : selection_;
            std::string candidate = typed[0] == '/' ? Trimmed(typed) : parent + "/" + typed;
            if (IsFolder(candidate) && Allowed(candidate)) {
                chosen = Trimmed(candidate);
            } else if (bi_.ulFlags & BIF_VALIDATE) {
                if (Callback(BFFM_VALIDATEFAILEDA, reinterpret_cast<LPARAM>(typed.c_str())) != 0)
                    return;  // stays open
                chosen_.clear();
                done_ = true;
                Changed();
                return;
            }
        }
    }
    chosen_ = chosen;
    done_ = true;
    Changed();
}

void BrowseFolderDialog::Cancel() {
    if (done_) return;
    chosen_.clear();
    done_ = true;
    Changed();
}

bool BrowseFolderDialog::NewFolder() {
    if (done_ || !IsFolder(selection_)) return false;
    std::string base = (selection_ == "/" ? "" : selection_) + "/新建文件夹";
    for (int i = 1; i < 1000; ++i) {
        std::string cand = i == 1 ? base : base + " (" + std::to_string(i) + ")";
        struct stat st {};
        if (stat(cand.c_str(), &st) == 0) continue;
        if (mkdir(cand.c_str(), 0755) != 0) return false;
        Select(cand);
        return true;
    }
    return false;
}

LRESULT BrowseFolderDialog::Handle(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case BFFM_SETSELECTIONA: {
            if (!l) return 0;
            std::string p = w ? std::string(reinterpret_cast<const char*>(l))
                              : ItemIdListText(reinterpret_cast<LPCITEMIDLIST>(l));
            Select(p);
            return 0;
        }
        case BFFM_SETSTATUSTEXTA:
            status_ = l ? reinterpret_cast<const char*>(l) : "";
            Changed();
            return 0;
        case BFFM_ENABLEOK:
            okEnabled_ = l != 0;
            Changed();
            return 0;
        case WM_COMMAND:
            if ((w & 0xFFFF) == IDOK)
                PressOk();
            else if ((w & 0xFFFF) == IDCANCEL)
                Cancel();
            else if ((w & 0xFFFF) == kBrowseNewFolderItem)
                NewFolder();
            return 0;
        case WM_PARENTNOTIFY:  // a child the program made: the window shows it
            Changed();
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
        case WM_CLOSE:
            Cancel();
            return 0;
        default:
            return DefWindowProcA(hwnd_, msg, w, l);
    }
}

LPITEMIDLIST SHBrowseForFolderA(BROWSEINFOA* bi) {
    if (!bi) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    BrowseFolderDialog d(*bi);
    if (auto& driver = BrowseFolderTestDriver()) {
        d.Start();
        if (!d.Done()) driver(d);
        d.Cancel();  // a driver that left it open cancelled it
    } else {
        WindowSystem().runBrowseFolder(d);
    }
    d.Finish();
    std::string chosen = d.Chosen();
    if (chosen.empty()) return nullptr;
    if (bi->pszDisplayName)
        CopyTextToBuffer(FolderDisplayName(chosen), bi->pszDisplayName, MAX_PATH);
    SHFILEINFOA fi;
    if (SHGetFileInfoA(chosen.c_str(), 0, &fi, sizeof fi, SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
        bi->iImage = fi.iIcon;
    return MakeItemIdList(chosen);
}
