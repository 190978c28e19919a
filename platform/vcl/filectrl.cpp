#include "platform/vcl/filectrl.h"

#include "platform/rtl/classes.h"

TFileListBox::TFileListBox(TComponent* owner) : TListBox(owner) {
    directory_ = ExcludeTrailingPathDelimiter(GetCurrentDir());
    if (directory_.empty()) directory_ = "/";
}

void TFileListBox::SetMask(const std::string& m) {
    if (m == mask_) return;
    mask_ = m;
    ReadFileNames();
}

void TFileListBox::SetFileType(TFileType t) {
    if (t == fileType_) return;
    fileType_ = t;
    ReadFileNames();
}

void TFileListBox::Update() {
    ReadFileNames();
    TListBox::Update();
}

void TFileListBox::PeerCreated() {
    TListBox::PeerCreated();
    ReadFileNames();
}

void TFileListBox::ReadFileNames() {
    if (!HandleAllocated()) return;
    items_.Clear();
    TSearchRec sr;
    int attrs = 0;
    if (fileType_ & FileTypeBit(ftReadOnly)) attrs |= faReadOnly;
    if (fileType_ & FileTypeBit(ftHidden)) attrs |= faHidden;
    if (fileType_ & FileTypeBit(ftDirectory)) attrs |= faDirectory;
    if (FindFirst(IncludeTrailingPathDelimiter(directory_) + "*", attrs | faArchive, sr) == 0) {
        do {
            if ((sr.Attr & faDirectory) && !(fileType_ & FileTypeBit(ftDirectory))) continue;
            if (sr.Name == "." || sr.Name == "..") continue;
            if (MatchesFileMask(sr.Name, mask_)) items_.Add(sr.Name);
        } while (FindNext(sr) == 0);
        FindClose(sr);
    }
}

void TFileListBox::SetFilePath(const std::string& path) {
    std::string dir = ExcludeTrailingPathDelimiter(ExtractFilePath(path));
    if (dir.empty() && !path.empty() && path[0] == '/') dir = "/";
    if (!dir.empty() && dir != directory_) {
        directory_ = dir;
        ReadFileNames();
    }
    const std::string name = ExtractFileName(path);
    if (name.empty()) return;
    for (int i = 0; i < items_.Count(); ++i)
        if (ItemFileName(i) == name) {
            SetItemIndex(i);
            return;
        }
}

std::string TFileListBox::FileName() const {
    if (ItemIndex() < 0 || ItemIndex() >= items_.Count()) return "";
    return IncludeTrailingPathDelimiter(directory_) + ItemFileName(ItemIndex());
}

void TFileListBox::SetFileName(const std::string& path) { SetFilePath(path); }

void TFileListBox::SetMultiSelectAndRefill(bool m) {
    SetMultiSelect(m);
    ReadFileNames();
}
