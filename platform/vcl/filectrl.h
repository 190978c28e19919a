// The class library's file list: the files of a folder that match a mask (masks separated by
// ";") and a set of file kinds. Descendants fill the items their own way (ReadFileNames).
#pragma once

#include <string>

#include "platform/vcl/stdctrls.h"

enum TFileAttr { ftReadOnly, ftHidden, ftSystem, ftVolumeID, ftDirectory, ftArchive, ftNormal };
using TFileType = unsigned;  // bit (1 << TFileAttr) per member
constexpr TFileType FileTypeBit(TFileAttr a) { return 1u << unsigned(a); }

class TFileListBox : public TListBox {
public:
    explicit TFileListBox(TComponent* owner);
    std::string ClassName() const override { return "TFileListBox"; }
    // The folder, without a trailing "/" except the root.
    std::string Directory() const { return directory_; }
    void SetDirectory(const std::string& dir) { SetFilePath(IncludeTrailingPathDelimiter(dir)); }
    std::string Mask() const { return mask_; }
    void SetMask(const std::string& m);
    TFileType FileType() const { return fileType_; }
    void SetFileType(TFileType t);
    // The current item's full path, "" when there is none; setting it may change the folder.
    std::string FileName() const;
    void SetFileName(const std::string& path);
    void SetMultiSelectAndRefill(bool m);
    // Reads the folder again.
    void Update() override;
    TNotifyEvent OnChange;

protected:
    // Fills the items from the folder (only while the list has a window).
    virtual void ReadFileNames();
    // The writer of Directory and FileName: a path whose folder part differs from the current
    // one moves the list there and refills it.
    virtual void SetFilePath(const std::string& path);
    // The name an item stands for (the item text by default).
    virtual std::string ItemFileName(int index) const { return Trim(items_[index]); }
    void PeerCreated() override;
    std::string directory_;
    std::string mask_ = "*.*";
    TFileType fileType_ = FileTypeBit(ftNormal);
};
