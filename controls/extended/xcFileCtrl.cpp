#include "controls/extended/xcFileCtrl.h"

#include <algorithm>
#include <cstring>

#include "controls/extended/xcUtils.h"
#include "controls/extended/xcWinUtils.h"
#include "platform/gdi/gdi.h"
#include "platform/gdi/iconDraw.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/scopeExit.h"
#include "platform/rtl/utf8.h"
#include "platform/user/paint.h"
#include "platform/vcl/forms.h"
#include "platform/win/drives.h"
#include "platform/win/mountWatch.h"
#include "platform/win/shellInfo.h"

namespace {

// The part every device notification of WM_DEVICECHANGE starts with.
struct DevBroadcastHeader {
    DWORD size = 0, deviceType = 0, reserved = 0;
};

// Items keep their icon as their object: the system image list's index, and the overlay
// index + 1 in the top byte when the shell gives one.
TObject* IconObject(intptr_t value) { return reinterpret_cast<TObject*>(value); }
intptr_t IconValue(TObject* o) { return reinterpret_cast<intptr_t>(o); }

int IconHeight(HIMAGELIST list) {
    int cx = 0, cy = 0;
    return list && ImageList_GetIconSize(list, &cx, &cy) ? cy : 0;
}
int IconWidth(HIMAGELIST list) {
    int cx = 0, cy = 0;
    return list && ImageList_GetIconSize(list, &cx, &cy) ? cx : 0;
}

void DrawIconOf(HIMAGELIST list, TObject* obj, HDC dc, int x, int top, int height) {
    const intptr_t v = IconValue(obj);
    const int index = int(v & 0xFFFFFF);
    const int overlay = int((v >> 24) & 0xFF);
    UINT style = ILD_TRANSPARENT;
    if (overlay > 0) style |= UINT(overlay) << 8;  // INDEXTOOVERLAYMASK
    ImageList_Draw(list, index, dc, x, top + (height - IconHeight(list)) / 2, style);
}

// The drive a folder lies on, by the platform's drives.
std::string DriveRootOf(const std::string& path) {
    DriveInfo d;
    return DriveOfPath(path, d) ? d.root : std::string("/");
}

// "/a/b" -> "/a/b"; "/a/b/" -> "/a/b"; "/" stays.
std::string NormalFolder(const std::string& path) {
    std::string p = ExpandFileName(path);
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    return p.empty() ? "/" : p;
}

int CountSlashes(const std::string& s) { return int(std::count(s.begin(), s.end(), '/')); }

}  // namespace

std::string MinimizeName(const std::string& path, TCanvas& canvas, int maxWidth) {
    if (canvas.TextWidth(path) <= maxWidth) return path;
    // Leading folders give way to "..." one by one; the name itself stays to the last.
    std::string rest = path;
    while (true) {
        size_t slash = rest.find('/', 1);
        if (slash == std::string::npos) break;
        rest = rest.substr(slash);
        if (canvas.TextWidth("..." + rest) <= maxWidth) return "..." + rest;
    }
    std::string name = "..." + rest;
    while (name.size() > 3 && canvas.TextWidth(name) > maxWidth) name.pop_back();
    return name;
}

// ---------------------------------------------------------------- drives

TXcDriveCombo::TXcDriveCombo(TComponent* owner) : TXcCustomComboBox(owner) {
    Style = csOwnerDrawFixed;
    color_ = clWindow;
    images_ = SystemImageList(true);
    ResetItemHeight();
}

TXcDriveCombo::~TXcDriveCombo() {
    unhookMainWindow();
    if (dirList_ && dirList_->driveCombo_ == this) dirList_->driveCombo_ = nullptr;
}

void TXcDriveCombo::ResetItemHeight() {
    TCanvas c;
    c.Font()->Assign(font_);
    SetItemHeight(std::max(c.TextHeight("0"), IconHeight(images_)));
}

void TXcDriveCombo::FontChanged() {
    TXcCustomComboBox::FontChanged();
    ResetItemHeight();
}

void TXcDriveCombo::hookMainWindow() {
    if (hooked_) return;
    TForm* main = Application ? Application->MainForm() : nullptr;
    TWinControl* top = main;
    if (!top) {
        top = this;
        while (top->Parent()) top = top->Parent();
    }
    if (!top || top == this || !top->HandleAllocated()) return;
    hooked_ = top->Handle();
    hookProc_ = std::make_shared<WNDPROC>([this](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
        if (msg == WM_DEVICECHANGE) {
            auto* header = reinterpret_cast<const DevBroadcastHeader*>(l);
            // A volume that arrived or went; other devices leave the drives as they are.
            if ((w == DBT_DEVICEARRIVAL || w == DBT_DEVICEREMOVECOMPLETE) &&
                (!header || header->deviceType == DBT_DEVTYP_VOLUME))
                Rebuild();
        }
        return CallWindowProcA(oldProc_, h, msg, w, l);
    });
    oldProc_ = SetWindowProc(hooked_, hookProc_);
}

void TXcDriveCombo::unhookMainWindow() {
    if (!hooked_) return;
    if (IsWindow(hooked_) && GetWindowProc(hooked_) == hookProc_) SetWindowProc(hooked_, oldProc_);
    hooked_ = nullptr;
}

void TXcDriveCombo::PeerCreated() {
    TXcCustomComboBox::PeerCreated();
    FillDriveItems();
    if (drive_.empty() && !roots_.empty()) {
        const std::string here = DriveRootOf(GetCurrentDir());
        SetDrive(std::find(roots_.begin(), roots_.end(), here) != roots_.end() ? here
                                                                               : roots_.front());
    }
    hookMainWindow();
}

void TXcDriveCombo::Rebuild() {
    if (HandleAllocated()) FillDriveItems();
}

void TXcDriveCombo::FillDriveItems() {
    items_.Clear();
    roots_.clear();
    const bool small = imageSize_ == isSmall;
    const UINT iconFlags = SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : 0);
    SHFILEINFOA sfi;
    images_ = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA("/", 0, &sfi, sizeof sfi, iconFlags));
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    // Mount points are paths of any length: the buffer is as large as the list asks.
    std::vector<char> buffer(105);
    DWORD need = GetLogicalDriveStringsA(DWORD(buffer.size()), buffer.data());
    if (need > buffer.size()) {
        buffer.assign(need, 0);
        need = GetLogicalDriveStringsA(DWORD(buffer.size()), buffer.data());
    }
    for (const char* root = buffer.data(); *root; root += std::strlen(root) + 1) {
        const UINT kind = GetDriveTypeA(root);
        const TXcDriveType type = kind == DRIVE_REMOVABLE ? dtRemovable
                                  : kind == DRIVE_FIXED   ? dtFixed
                                  : kind == DRIVE_REMOTE  ? dtRemote
                                  : kind == DRIVE_CDROM   ? dtCDROM
                                  : kind == DRIVE_RAMDISK ? dtRamDisk
                                                          : dtUnknown;
        if (kind == DRIVE_NO_ROOT_DIR || !driveTypes_.Contains(type)) continue;
        SHFILEINFOA info;
        SHGetFileInfoA(root, 0, &info, sizeof info, iconFlags | SHGFI_DISPLAYNAME);
        items_.Add(Trim(info.szDisplayName), IconObject(info.iIcon));
        roots_.push_back(root);
    }
    SetErrorMode(oldMode);
    // The drive shown stays when it is still there.
    const std::string shown = drive_;
    drive_.clear();
    driveIndex_ = -1;
    if (!shown.empty()) SetDrive(shown);
    Update();
}

void TXcDriveCombo::SetDrive(const std::string& root) {
    if (root.empty()) return;
    const std::string r = IncludeTrailingPathDelimiter(root);
    if (r != drive_) {
        auto it = std::find(roots_.begin(), roots_.end(), r);
        if (it == roots_.end()) {
            // Before the list is filled (while a form is read) the drive waits for it; the
            // filling keeps it when it is there.
            if (!HandleAllocated()) drive_ = r;
            return;
        }
        drive_ = r;
        driveIndex_ = int(it - roots_.begin());
        displayName_ = items_[driveIndex_];
        SetItemIndex(driveIndex_);
        if (dirList_) dirList_->ChangeDrive(drive_);
        return;
    }
    SetItemIndex(driveIndex_ >= 0 ? driveIndex_ : 0);
}

void TXcDriveCombo::SetDriveTypes(TXcDriveTypes t) {
    driveTypes_ = t.Bits() == 0 ? TXcDriveTypes{dtFixed} : t;
    Rebuild();
}

void TXcDriveCombo::SetOffset(int px) {
    offset_ = px;
    Invalidate();
}

void TXcDriveCombo::SetImageSize(TXcImageSize s) {
    imageSize_ = s;
    images_ = SystemImageList(s == isSmall);
    ResetItemHeight();
    Rebuild();
}

void TXcDriveCombo::PeerChanged(int code) {
    if (code != ws::pnSelChange) {
        TXcCustomComboBox::PeerChanged(code);
        return;
    }
    const int i = peer()->itemIndex();
    if (i < 0 || i >= int(roots_.size())) return;
    itemIndex_ = i;
    SetDrive(roots_[size_t(i)]);
    displayName_ = items_[i];
    if (OnChange) OnChange(this);
}

void TXcDriveCombo::DrawItem(int index, const TRect& r, TOwnerDrawState state) {
    TCanvas* c = Canvas();
    HDC dc = c->Handle();
    TRect text = r;
    if (index >= 0 && index < items_.Count() && images_ && ImageList_GetImageCount(images_) > 0) {
        DrawIconOf(images_, items_.Objects(index), dc, r.Left + offset_, r.Top, r.Bottom - r.Top);
        text.Left = r.Left + IconWidth(images_) + 2 * offset_;
        const std::string s = index >= 0 && index < items_.Count() ? items_[index] : std::string();
        text.Right = std::min(r.Right, text.Left + c->TextWidth(s) + 6);
    }
    c->FillRect(text);
    if (state & ODS_FOCUS) c->DrawFocusRect(text);
    if (index < 0 || index >= items_.Count()) return;
    RECT t{text.Left + 3, text.Top, text.Right, text.Bottom};
    c->Brush()->Style = bsClear;
    DrawTextA(c->Handle(), items_[index], t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// ---------------------------------------------------------------- folders

namespace {
constexpr UINT kOpenItem = WM_APP + 0x3A1;  // opens an item after the click that chose it
}

TXcDirectoryListBox::TXcDirectoryListBox(TComponent* owner) : TXcCustomListBox(owner) {
    SetStyle(lbOwnerDrawFixed);
    width_ = 145;
    directory_ = NormalFolder(GetCurrentDir());
    images_ = SystemImageList(true);
    ResetItemHeight();
}

TXcDirectoryListBox::~TXcDirectoryListBox() {
    if (driveCombo_ && driveCombo_->dirList_ == this) driveCombo_->dirList_ = nullptr;
}

void TXcDirectoryListBox::ResetItemHeight() {
    TCanvas c;
    c.Font()->Assign(font_);
    SetItemHeight(std::max(c.TextHeight("0"), IconHeight(images_) + 1));
}

void TXcDirectoryListBox::FontChanged() {
    TXcCustomListBox::FontChanged();
    ResetItemHeight();
}

void TXcDirectoryListBox::Loaded() {
    TXcCustomListBox::Loaded();
    ResetItemHeight();
}

void TXcDirectoryListBox::Notification(TComponent* c, TOperation op) {
    TXcCustomListBox::Notification(c, op);
    if (op != opRemove) return;
    // The three may sit on another form: each is told here however it goes.
    if (c == fileList_) ReferTo(fileList_, nullptr);
    if (c == driveCombo_) ReferTo(driveCombo_, nullptr);
    if (c == dirLabel_) ReferTo(dirLabel_, nullptr);
}

void TXcDirectoryListBox::SetFileList(TXcFileListBox* list) {
    ReferTo(fileList_, list);
    if (fileList_) fileList_->SetDirectory(directory_);
}

void TXcDirectoryListBox::SetDriveCombo(TXcDriveCombo* combo) {
    if (driveCombo_ && driveCombo_->dirList_ == this) driveCombo_->dirList_ = nullptr;
    ReferTo(driveCombo_, combo);
    if (!combo) return;
    combo->dirList_ = this;
    combo->HandleNeeded();
    combo->SetDrive(DriveRootOf(directory_));
}

void TXcDirectoryListBox::SetDirLabel(TLabel* label) {
    ReferTo(dirLabel_, label);
    DirectoryChanged();
}

void TXcDirectoryListBox::SetShowAllFolders(bool on) {
    showAllFolders_ = on;
    if (HandleAllocated()) FillDirectoryItems();
}

bool TXcDirectoryListBox::DriveChangeError(std::string& drive) {
    if (!OnDriveChangeError) return false;
    OnDriveChangeError(this, drive);
    return true;
}

void TXcDirectoryListBox::ChangeDrive(const std::string& root) {
    if (root.empty() || DriveRootOf(directory_) == IncludeTrailingPathDelimiter(root)) return;
    std::string target = root;
    if (!DirectoryExists(target)) {
        std::string other = target;
        if (DriveChangeError(other) && other != target && DirectoryExists(other))
            target = other;
        else
            target = DriveRootOf(directory_);  // stays on the drive it was on
    }
    directory_ = NormalFolder(target);
    DWORD flags = 0;
    GetVolumeInformationA(IncludeTrailingPathDelimiter(directory_).c_str(), nullptr, 0, nullptr,
                          nullptr, &flags, nullptr, 0);
    casePreserved_ = (flags & 3) != 0;
    caseSensitive_ = (flags & 1) != 0;
    if (!inDriveChange_) {
        FillDirectoryItems();
        DirectoryChanged();
    }
}

void TXcDirectoryListBox::SetDirectory(const std::string& dir) {
    if (dir.empty()) return;
    // Only absolute folders of this machine: relative and network ("//server") paths are refused.
    if (dir[0] != '/' || dir.compare(0, 2, "//") == 0) return;
    std::string target = NormalFolder(dir);
    if (target == directory_ && !Loading() && items_.Count() > 0) return;
    const std::string drive = DriveRootOf(target);
    if (drive != DriveRootOf(directory_)) {
        inDriveChange_ = true;
        ScopeExit done([this] { inDriveChange_ = false; });
        if (driveCombo_)
            driveCombo_->SetDrive(drive);
        else
            ChangeDrive(drive);
    }
    // A folder that is not there (any more) gives way to the one shown, or to the nearest
    // folder above it that is still there.
    if (!DirectoryExists(target)) {
        target = directory_;
        while (target != "/" && !DirectoryExists(target))
            target = NormalFolder(ExtractFileDir(target));
    }
    directory_ = target;
    FillDirectoryItems();
    DirectoryChanged();
}

void TXcDirectoryListBox::DirectoryChanged() {
    if (fileList_) fileList_->SetDirectory(directory_);
    if (driveCombo_) driveCombo_->SetDrive(DriveRootOf(directory_));
    if (dirLabel_) {
        TCanvas c;
        c.Font()->Assign(*dirLabel_->Font());
        dirLabel_->SetCaption(
            MinimizeName(directory_, c, dirLabel_->AutoSize ? Width() : dirLabel_->Width()));
    }
    if (OnChange) OnChange(this);
}

void TXcDirectoryListBox::FillDirectoryItems() {
    if (!HandleAllocated()) return;
    Perform(WM_SETREDRAW, 0, 0);
    items_.Clear();
    names_.clear();
    auto add = [this](const std::string& path, UINT flags) {
        SHFILEINFOA sfi;
        if (!SHGetFileInfoA(path.c_str(), 0, &sfi, sizeof sfi, flags)) {
            sfi.iIcon = 0;
            CopyTextToBuffer(ExtractFileName(path).empty() ? path : ExtractFileName(path),
                             sfi.szDisplayName, sizeof sfi.szDisplayName);
        }
        names_.push_back(sfi.szDisplayName);
        items_.Add(path, IconObject(sfi.iIcon));
    };
    // The levels from the root down to the folder, in their open look.
    const UINT levelFlags =
        SHGFI_SELECTED | SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_OPENICON | SHGFI_SMALLICON;
    for (size_t i = 0; i < directory_.size(); ++i)
        if (directory_[i] == '/')
            add(i == 0 ? std::string("/") : directory_.substr(0, i), levelFlags);
    if (directory_ != "/") add(directory_, levelFlags);
    const int current = items_.Count() - 1;
    // The folder's own folders, sorted.
    TStringList subs;
    TSearchRec sr;
    const int attrs =
        showAllFolders_ ? faDirectory | faHidden | faSysFile | faReadOnly | faArchive : faDirectory;
    if (FindFirst(IncludeTrailingPathDelimiter(directory_) + "*", attrs, sr) == 0) {
        do {
            if ((sr.Attr & faDirectory) && sr.Name != "." && sr.Name != "..") subs.Add(sr.Name);
        } while (FindNext(sr) == 0);
        FindClose(sr);
    }
    subs.Sort();
    for (int i = 0; i < subs.Count(); ++i)
        add(IncludeTrailingPathDelimiter(directory_) + subs[i],
            SHGFI_DISPLAYNAME | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    SetItemIndex(current);
    Perform(WM_SETREDRAW, 1, 0);
}

void TXcDirectoryListBox::PeerCreated() {
    TXcCustomListBox::PeerCreated();
    FillDirectoryItems();
}

void TXcDirectoryListBox::OpenItem(int index) {
    if (index < 0 || index >= items_.Count()) return;
    SetDirectory(items_[index]);
}

void TXcDirectoryListBox::PeerChanged(int code) {
    TXcCustomListBox::PeerChanged(code);
    // The arrow keys and typing only move the selection: a folder opens when chosen.
    if (code == ws::pnDblClick) OpenItem(ItemIndex());
}

void TXcDirectoryListBox::Dispatch(TMessage& m) {
    switch (m.Msg) {
        case kOpenItem:
            if (int(m.WParam) == ItemIndex()) OpenItem(int(m.WParam));
            return;
        case WM_LBUTTONDOWN:
            pressedItem_ = ItemAtPos(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)), true);
            break;
        case WM_LBUTTONDBLCLK:
            pressedItem_ = -1;  // the double click opens what it chose itself
            break;
        default:
            break;
    }
    TXcCustomListBox::Dispatch(m);
    if (m.Msg != WM_LBUTTONUP) return;
    // A click (press and release on one item) opens that item with AutoExpand; the list
    // refills when it opens the item: not inside the click that chose it.
    const int item = ItemAtPos(Point(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)), true);
    const bool clicked = item >= 0 && item == pressedItem_ && item == ItemIndex();
    pressedItem_ = -1;
    if (clicked && AutoExpand && HandleAllocated())
        PostMessageA(Handle(), kOpenItem, WPARAM(item), 0);
}

bool TXcDirectoryListBox::DoKeyDown(WORD& key, TShiftState shift) {
    if (key == 13) {
        OpenItem(ItemIndex());
        return true;
    }
    return TXcCustomListBox::DoKeyDown(key, shift);
}

bool TXcDirectoryListBox::DoKeyPress(char& key) {
    if (TXcCustomListBox::DoKeyPress(key)) return true;
    const auto c = static_cast<unsigned char>(key);
    if (c < 0x20 || c == 0x7F) {
        pendingChar_.clear();
        return false;
    }
    // A character of several bytes comes a byte at a time: it is a letter once it is whole.
    std::string letter(1, key);
    if (c >= 0x80) {
        if (!IsUtf8Continuation(c)) pendingChar_.clear();
        pendingChar_ += key;
        if (pendingChar_.size() < Utf8AnnouncedLength(static_cast<unsigned char>(pendingChar_[0])))
            return true;
        letter.swap(pendingChar_);
        pendingChar_.clear();
    }
    // The keys typed within a moment make one prefix of the names shown; a letter typed
    // alone (or again) steps to the next item beginning with it, as list boxes do.
    const uint32_t now = GetTickCount();
    if (now - lastTyped_ >= kTypeAheadMs) typed_.clear();
    lastTyped_ = now;
    typed_ += letter;
    const bool alone = typed_ == letter;
    int found = FindItemFrom(typed_, alone ? ItemIndex() + 1 : ItemIndex());
    if (found < 0 && !alone) {
        typed_ = letter;
        found = FindItemFrom(typed_, ItemIndex() + 1);
    }
    if (found >= 0 && found != ItemIndex()) {
        SetItemIndex(found);
        TXcCustomListBox::PeerChanged(ws::pnSelChange);  // a choice like one made by the mouse
    }
    return true;
}

int TXcDirectoryListBox::FindItemFrom(const std::string& prefix, int start) const {
    const int n = items_.Count();
    for (int k = 0; k < n; ++k) {
        const int i = ((std::max(start, 0) + k) % n + n) % n;
        const std::string& name = i < int(names_.size()) ? names_[size_t(i)] : items_[i];
        if (AnsiPrefixLength(name, prefix) != std::string::npos) return i;
    }
    return -1;
}

void TXcDirectoryListBox::DrawItem(int index, const TRect& r, TOwnerDrawState state) {
    if (OnDrawItem) {
        TXcCustomListBox::DrawItem(index, r, state);
        return;
    }
    TCanvas* c = Canvas();
    c->FillRect(r);
    if (index < 0 || index >= items_.Count()) return;
    const int indent = index == 0 ? 0 : 4 * (CountSlashes(items_[index]) + 1);
    DrawIconOf(images_, items_.Objects(index), c->Handle(), r.Left + indent + 2, r.Top,
               r.Bottom - r.Top);
    c->Brush()->Style = bsClear;
    const std::string& name = index < int(names_.size()) ? names_[size_t(index)] : items_[index];
    c->TextOut(r.Left + IconWidth(images_) + indent + 4, r.Top + 2, name);
    if (state & ODS_FOCUS) c->DrawFocusRect(r);
}

// ---------------------------------------------------------------- files

TXcFileListBox::TXcFileListBox(TComponent* owner) : TFileListBox(owner) {
    SetStyle(lbOwnerDrawFixed);
    images_ = SystemImageList(true);
    search_ = std::make_unique<TXcSearchFiles>();
    search_->SetOptions({soAllowDuplicates, soSearchDirs, soSearchFiles, soStripDirs});
    search_->DirOption = doExcludeSubDirs;
    search_->ErrorResponse = erIgnore;
    search_->FileParams.SearchTypes = {stAttribute, stFileMask};
    search_->FileParams.MaskSeparator = ';';
    search_->FileParams.Attributes.SetIncludeAttr(0);
    search_->DirParams.SearchTypes = {};
}

TXcFileListBox::~TXcFileListBox() = default;

void TXcFileListBox::SetForceFileExtensions(bool on) {
    forceFileExtensions_ = on;
    ReadFileNames();
}

void TXcFileListBox::ReadFileNames() {
    if (!HandleAllocated()) return;
    uint32_t mask = 0;
    if (fileType_ & FileTypeBit(ftReadOnly)) mask |= 0x01;
    if (fileType_ & FileTypeBit(ftHidden)) mask |= 0x02;
    if (fileType_ & FileTypeBit(ftSystem)) mask |= 0x04;
    if (fileType_ & FileTypeBit(ftArchive)) mask |= 0x20;
    if (fileType_ & FileTypeBit(ftNormal)) mask |= 0xA1;
    Perform(WM_SETREDRAW, 0, 0);
    items_.Clear();
    const TCursor cursor = Screen ? Screen->Cursor() : crDefault;
    search_->RootDirectory = IncludeTrailingPathDelimiter(directory_);
    search_->FileParams.SetFileMasks(mask_);
    search_->FileParams.Attributes.SetExcludeAttr(~mask & 0xA7);
    TXcSearchOptions options = search_->Options();
    if (fileType_ & FileTypeBit(ftDirectory))
        options.Include(soSearchDirs);
    else
        options.Exclude(soSearchDirs);
    search_->SetOptions(options);
    search_->Search();
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON;
    if (GetShellVersion() >= ShellVersion(5, 0)) flags |= SHGFI_OVERLAYINDEX;
    auto add = [&](const std::string& name, bool folder) {
        SHFILEINFOA sfi;
        const std::string path = IncludeTrailingPathDelimiter(directory_) + name;
        if (!SHGetFileInfoA(path.c_str(), 0, &sfi, sizeof sfi, flags))
            CopyTextToBuffer(name, sfi.szDisplayName, sizeof sfi.szDisplayName);
        std::string text = forceFileExtensions_ ? name : std::string(sfi.szDisplayName);
        if (folder) text = " " + text;
        intptr_t icon = sfi.iIcon & 0xFFFFFF;
        const int overlay = (sfi.iIcon >> 24) & 0xFF;
        if (overlay > 0) icon |= intptr_t(overlay + 1) << 24;
        items_.Add(text, IconObject(icon));
        if (items_.Count() == 100 && Screen) Screen->SetCursor(crHourGlass);
    };
    for (int i = 0; i < search_->Directories.Count(); ++i) add(search_->Directories[i], true);
    for (int i = 0; i < search_->Files.Count(); ++i) add(search_->Files[i], false);
    if (Screen) Screen->SetCursor(cursor);
    Perform(WM_SETREDRAW, 1, 0);
}

void TXcFileListBox::DrawItem(int index, const TRect& r, TOwnerDrawState state) {
    if (OnDrawItem) {
        TFileListBox::DrawItem(index, r, state);
        return;
    }
    TCanvas* c = Canvas();
    c->FillRect(r);
    if (index < 0 || index >= items_.Count()) return;
    int x = r.Left + 2;
    if (images_) {
        DrawIconOf(images_, items_.Objects(index), c->Handle(), r.Left + 2, r.Top,
                   r.Bottom - r.Top);
        x = r.Left + IconWidth(images_) + 6;
    }
    c->Brush()->Style = bsClear;
    const std::string text = Trim(items_[index]);
    c->TextOut(x, r.Top + (r.Bottom - r.Top - c->TextHeight(text)) / 2, text);
    // The focus rectangle is the list's own, drawn after the item: a second one here would
    // invert it away again.
}

// ---------------------------------------------------------------- form properties

namespace {

TXcDriveTypes DriveTypesOf(const TDfmValue& v) {
    static const char* names[] = {"dtUnknown", "dtRemovable", "dtFixed",
                                  "dtRemote",  "dtCDROM",     "dtRamDisk"};
    TXcDriveTypes t;
    for (const std::string& s : v.set)
        for (int i = 0; i < 6; ++i)
            if (SameText(s, names[i])) t.Include(TXcDriveType(i));
    return t;
}

TFileType FileTypeOf(const TDfmValue& v) {
    static const char* names[] = {"ftReadOnly",  "ftHidden",  "ftSystem", "ftVolumeID",
                                  "ftDirectory", "ftArchive", "ftNormal"};
    TFileType t = 0;
    for (const std::string& s : v.set)
        for (int i = 0; i < 7; ++i)
            if (SameText(s, names[i])) t |= FileTypeBit(TFileAttr(i));
    return t;
}

TScrollStyle ScrollStyleOf(const TDfmValue& v) {
    return SameText(v.s, "ssNone")         ? ssNone
           : SameText(v.s, "ssHorizontal") ? ssHorizontal
           : SameText(v.s, "ssVertical")   ? ssVertical
                                           : ssBoth;
}

}  // namespace

void RegisterXcFileControls() {
    RegisterXcExControls();
    RegisterXcListBox();
    RegisterXcComboBox();
    TClassReg<TXcDriveCombo>("TXcDriveCombo", "TComboBox")
        .prop("DriveTypes",
              [](TXcDriveCombo* c, const TDfmValue& v) { c->SetDriveTypes(DriveTypesOf(v)); })
        .prop("Offset", [](TXcDriveCombo* c, const TDfmValue& v) { c->SetOffset(v.AsInt()); })
        .prop("ImageSize", [](TXcDriveCombo* c, const TDfmValue& v) {
            c->SetImageSize(SameText(v.s, "isLarge") ? isLarge : isSmall);
        });
    TClassReg<TXcDirectoryListBox>("TXcDirectoryListBox", "TListBox")
        .prop("Directory", [](TXcDirectoryListBox* l, const TDfmValue& v) { l->SetDirectory(v.s); })
        .prop("AutoExpand",
              [](TXcDirectoryListBox* l, const TDfmValue& v) { l->AutoExpand = v.AsBool(); })
        .prop("ShowAllFolders",
              [](TXcDirectoryListBox* l, const TDfmValue& v) { l->SetShowAllFolders(v.AsBool()); })
        .prop("ScrollBars", [](TXcDirectoryListBox* l, const TDfmValue& v) {
            l->SetScrollBars(ScrollStyleOf(v));
        });
    TClassReg<TXcFileListBox>("TXcFileListBox", "TListBox")
        .prop("Mask", [](TXcFileListBox* f, const TDfmValue& v) { f->SetMask(v.s); })
        .prop("FileType",
              [](TXcFileListBox* f, const TDfmValue& v) { f->SetFileType(FileTypeOf(v)); })
        .prop("ForceFileExtensions",
              [](TXcFileListBox* f, const TDfmValue& v) { f->SetForceFileExtensions(v.AsBool()); });
}
