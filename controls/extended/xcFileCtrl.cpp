#include "controls/extended/xcFileCtrl.h"

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/classes.h"

namespace {

std::vector<std::string> Split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    size_t b = 0;
    for (size_t i = 0; i <= s.size(); ++i) {
        if (i == s.size() || s[i] == sep) {
            std::string p = Trim(s.substr(b, i - b));
            if (!p.empty()) parts.push_back(p);
            b = i + 1;
        }
    }
    return parts;
}

std::string HomeFolder() {
    const char* h = std::getenv("HOME");
    return h && *h ? ExcludeTrailingPathDelimiter(h) : "/";
}

}  // namespace

// ---------------------------------------------------------------- drives

TXcDriveCombo::TXcDriveCombo(TComponent* owner) : TComboBox(owner) {
    Style = csDropDownList;
    fill();
}

void TXcDriveCombo::fill() {
    items_.Clear();
    items_.Add("/");
    std::string home = HomeFolder();
    if (home != "/") items_.Add(home);
    SetItemIndex(items_.IndexOf(drive_));
}

void TXcDriveCombo::SetDrive(const std::string& root) {
    drive_ = root;
    if (items_.IndexOf(root) < 0) items_.Add(root);
    SetItemIndex(items_.IndexOf(root));
}

void TXcDriveCombo::PeerChanged(int code) {
    TComboBox::PeerChanged(code);
    if (code != qtbridge::pnSelChange || ItemIndex() < 0) return;
    drive_ = items_[ItemIndex()];
    if (DirList) DirList->SetDirectory(drive_);
}

// ---------------------------------------------------------------- folders

TXcDirectoryListBox::TXcDirectoryListBox(TComponent* owner) : TListBox(owner) {}

void TXcDirectoryListBox::fill() {
    paths_.clear();
    std::vector<std::string> names;
    // The chain from the root down to the current folder.
    std::string acc;
    names.push_back("/");
    paths_.push_back("/");
    for (const auto& part : Split(directory_, '/')) {
        acc += "/" + part;
        names.push_back(std::string(paths_.size() * 2, ' ') + part);
        paths_.push_back(acc);
    }
    size_t depth = paths_.size();
    std::vector<std::string> subs;
    TSearchRec sr;
    if (FindFirst(IncludeTrailingPathDelimiter(directory_) + "*", faDirectory, sr) == 0) {
        do {
            if ((sr.Attr & faDirectory) && sr.Name[0] != '.') subs.push_back(sr.Name);
        } while (FindNext(sr) == 0);
        FindClose(sr);
    }
    std::sort(subs.begin(), subs.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    for (const auto& s : subs) {
        names.push_back(std::string(depth * 2, ' ') + s);
        paths_.push_back(IncludeTrailingPathDelimiter(directory_) + s);
    }
    items_.Clear();
    for (const auto& n : names) items_.Add(n);
    SetItemIndex(int(depth) - 1);
}

void TXcDirectoryListBox::SetDirectory(const std::string& dir) {
    std::string d = ExcludeTrailingPathDelimiter(ExpandFileName(dir.empty() ? "/" : dir));
    if (!DirectoryExists(d)) throw EInOutError("Folder not found: " + dir);
    directory_ = d;
    fill();
    if (DriveCombo) {
        std::string home = HomeFolder();
        DriveCombo->SetDrive(home != "/" && (d == home || StartsStr(home + "/", d)) ? home : "/");
    }
    if (FileList) FileList->SetDirectory(d);
    if (OnChange) OnChange(this);
}

void TXcDirectoryListBox::PeerChanged(int code) {
    TListBox::PeerChanged(code);
    if (code == qtbridge::pnDblClick && ItemIndex() >= 0 && ItemIndex() < int(paths_.size()))
        SetDirectory(paths_[size_t(ItemIndex())]);
}

// ---------------------------------------------------------------- files

TXcFileListBox::TXcFileListBox(TComponent* owner) : TListBox(owner) {}

void TXcFileListBox::fill() {
    std::vector<std::string> files;
    if (!directory_.empty()) {
        TSearchRec sr;
        int attrs = faReadOnly | faArchive | (ShowHidden ? faHidden : 0);
        if (FindFirst(IncludeTrailingPathDelimiter(directory_) + "*", attrs, sr) == 0) {
            auto masks = Split(mask_, ';');
            do {
                if (sr.Attr & faDirectory) continue;
                bool match = masks.empty();
                for (const auto& m : masks) match = match || MatchesFileMask(sr.Name, m);
                if (match) files.push_back(sr.Name);
            } while (FindNext(sr) == 0);
            FindClose(sr);
        }
    }
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    items_.Clear();
    for (const auto& f : files) items_.Add(f);
    SetItemIndex(-1);
}

void TXcFileListBox::SetDirectory(const std::string& dir) {
    directory_ = ExcludeTrailingPathDelimiter(dir);
    fill();
}

void TXcFileListBox::SetMask(const std::string& m) {
    if (m == mask_) return;
    mask_ = m;
    fill();
}

void TXcFileListBox::Update() {
    fill();
    TListBox::Update();
}

std::string TXcFileListBox::FileName() const {
    if (ItemIndex() < 0 || ItemIndex() >= items_.Count()) return "";
    return IncludeTrailingPathDelimiter(directory_) + items_[ItemIndex()];
}

void TXcFileListBox::SetFileName(const std::string& path) {
    std::string dir = ExtractFileDir(path);
    if (!dir.empty() && ExcludeTrailingPathDelimiter(dir) != directory_) SetDirectory(dir);
    SetItemIndex(items_.IndexOf(ExtractFileName(path)));
}

void TXcFileListBox::SetMultiSelectAndRefill(bool m) {
    SetMultiSelect(m);
    fill();
}

void RegisterXcFileControls() {
    TClassReg<TXcDriveCombo>("TXcDriveCombo", "TComboBox");
    TClassReg<TXcDirectoryListBox>("TXcDirectoryListBox", "TListBox");
    TClassReg<TXcFileListBox>("TXcFileListBox", "TListBox")
        .prop("Mask", [](TXcFileListBox* f, const TDfmValue& v) { f->SetMask(v.s); })
        .prop("OnClick", [](TXcFileListBox* f, const TDfmValue& v) { f->OnClick = ResolveEvent<TNotifyEvent>(ReadingRoot(), v.s); });
}
