// Drive, folder and file pickers that follow each other: choosing a drive moves the folder
// list to it, choosing a folder refills the file list. All three draw the shell's icons and
// names. A "drive" is a mount point of this platform ("/", the home folder, removable media);
// paths use "/" and the folder list's Directory has no trailing "/" except the root.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/extended/xcComboBox.h"
#include "controls/extended/xcListBox.h"
#include "controls/extended/xcSearchFiles.h"
#include "platform/user/window.h"
#include "platform/vcl/filectrl.h"
#include "platform/win/imageList.h"

class TXcDirectoryListBox;
class TXcFileListBox;

enum TXcDriveType { dtUnknown, dtRemovable, dtFixed, dtRemote, dtCDROM, dtRamDisk };
using TXcDriveTypes = TXcSet<TXcDriveType>;
enum TXcImageSize { isSmall, isLarge };

class TXcDriveCombo : public TXcCustomComboBox {
public:
    explicit TXcDriveCombo(TComponent* owner);
    ~TXcDriveCombo() override;
    std::string ClassName() const override { return "TXcDriveCombo"; }
    // The root of the drive shown ("/", "/home/user/", "/media/usb/"); "" before the first fill.
    std::string Drive() const { return drive_; }
    void SetDrive(const std::string& root);
    TXcDriveTypes DriveTypes() const { return driveTypes_; }
    void SetDriveTypes(TXcDriveTypes t);
    int Offset() const { return offset_; }
    void SetOffset(int px);
    TXcImageSize ImageSize() const { return imageSize_; }
    void SetImageSize(TXcImageSize s);
    // The shell's name of the drive shown.
    std::string DisplayName() const { return displayName_; }
    // The drives' roots, one per item.
    const std::vector<std::string>& Roots() const { return roots_; }
    // Fills the items again (also when drives come or go).
    void Rebuild();
    TNotifyEvent OnChange;

protected:
    friend class TXcDirectoryListBox;
    void PeerCreated() override;
    void PeerChanged(int code) override;
    void DrawItem(int index, const TRect& r, TOwnerDrawState state) override;
    void FontChanged() override;
    virtual void FillDriveItems();
    void ResetItemHeight();

private:
    void hookMainWindow();
    void unhookMainWindow();
    std::string drive_;
    int driveIndex_ = -1;
    TXcDriveTypes driveTypes_{dtFixed, dtRemote, dtCDROM};
    int offset_ = 4;
    TXcImageSize imageSize_ = isSmall;
    std::string displayName_;
    HIMAGELIST images_ = nullptr;
    std::vector<std::string> roots_;
    TXcDirectoryListBox* dirList_ = nullptr;
    HWND hooked_ = nullptr;
    std::shared_ptr<WNDPROC> hookProc_, oldProc_;
};

class TXcDirectoryListBox : public TXcCustomListBox {
public:
    explicit TXcDirectoryListBox(TComponent* owner);
    ~TXcDirectoryListBox() override;
    std::string ClassName() const override { return "TXcDirectoryListBox"; }
    std::string Directory() const { return directory_; }
    virtual void SetDirectory(const std::string& dir);
    TXcFileListBox* FileList() const { return fileList_; }
    void SetFileList(TXcFileListBox* list);
    TXcDriveCombo* DriveCombo() const { return driveCombo_; }
    void SetDriveCombo(TXcDriveCombo* combo);
    TLabel* DirLabel() const { return dirLabel_; }
    void SetDirLabel(TLabel* label);
    bool AutoExpand = true;
    bool ShowAllFolders() const { return showAllFolders_; }
    void SetShowAllFolders(bool on);
    // The shell's names of the items (which hold full paths).
    const std::vector<std::string>& DisplayNames() const { return names_; }
    bool CasePreserved() const { return casePreserved_; }
    bool CaseSensitive() const { return caseSensitive_; }
    // Opens the item (a double click, Enter, or a click with AutoExpand).
    void OpenItem(int index);
    // Called when a drive cannot be entered; the handler may name another.
    std::function<void(TObject* Sender, std::string& Drive)> OnDriveChangeError;
    TNotifyEvent OnChange;  // the folder changed
    void Notification(TComponent* c, TOperation op) override;
    void Loaded() override;
    void Dispatch(TMessage& m) override;

protected:
    friend class TXcDriveCombo;
    void PeerCreated() override;
    void PeerChanged(int code) override;
    bool DoKeyDown(WORD& key, TShiftState shift) override;
    // Typing selects the next item whose shown name begins with what was typed.
    bool DoKeyPress(char& key) override;
    void DrawItem(int index, const TRect& r, TOwnerDrawState state) override;
    void FontChanged() override;
    // The folder shown changed: the linked file list, drive combo and label follow, then OnChange.
    virtual void DirectoryChanged();
    virtual void FillDirectoryItems();
    virtual bool DriveChangeError(std::string& drive);
    void ChangeDrive(const std::string& root);
    void ResetItemHeight();
    // The first item from `start` on (wrapping) whose shown name begins with `prefix`; -1
    // when none.
    int FindItemFrom(const std::string& prefix, int start) const;

private:
    static constexpr uint32_t kTypeAheadMs = 500;  // keys typed closer make one prefix
    std::string typed_;
    std::string pendingChar_;  // the bytes of a character typed so far
    uint32_t lastTyped_ = 0;
    int pressedItem_ = -1;  // the item the left button went down on
    std::string directory_;
    TXcFileListBox* fileList_ = nullptr;
    TXcDriveCombo* driveCombo_ = nullptr;
    TLabel* dirLabel_ = nullptr;
    bool showAllFolders_ = false;
    HIMAGELIST images_ = nullptr;
    std::vector<std::string> names_;
    bool casePreserved_ = true;
    bool caseSensitive_ = true;
    bool inDriveChange_ = false;
};

class TXcFileListBox : public TFileListBox {
public:
    explicit TXcFileListBox(TComponent* owner);
    ~TXcFileListBox() override;
    std::string ClassName() const override { return "TXcFileListBox"; }
    bool ForceFileExtensions() const { return forceFileExtensions_; }
    void SetForceFileExtensions(bool on);
    // The search that fills the list.
    TXcSearchFiles* Search() { return search_.get(); }

protected:
    void ReadFileNames() override;
    void DrawItem(int index, const TRect& r, TOwnerDrawState state) override;

private:
    bool forceFileExtensions_ = false;
    HIMAGELIST images_ = nullptr;
    std::unique_ptr<TXcSearchFiles> search_;
};

// A path shortened with "..." in place of leading folders so that it fits the width in the
// canvas's font.
std::string MinimizeName(const std::string& path, TCanvas& canvas, int maxWidth);

void RegisterXcFileControls();
