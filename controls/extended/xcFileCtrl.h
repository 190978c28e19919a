// Drive, folder and file pickers. On this platform the "drives" are the file-system root
// and the user's home folder; the folder list shows the path from the root down to the
// current folder followed by its subfolders; the file list shows the files of a folder
// that match its masks.
#pragma once

#include "platform/vcl/stdctrls.h"

class TXcFileListBox;
class TXcDirectoryListBox;

class TXcDriveCombo : public TComboBox {
public:
    explicit TXcDriveCombo(TComponent* owner);
    std::string ClassName() const override { return "TXcDriveCombo"; }
    std::string Drive() const { return drive_; }
    void SetDrive(const std::string& root);
    TXcDirectoryListBox* DirList = nullptr;

protected:
    void PeerChanged(int code) override;

private:
    void fill();
    std::string drive_ = "/";
};

class TXcDirectoryListBox : public TListBox {
public:
    explicit TXcDirectoryListBox(TComponent* owner);
    std::string ClassName() const override { return "TXcDirectoryListBox"; }
    std::string Directory() const { return directory_; }  // without trailing "/" except the root
    void SetDirectory(const std::string& dir);
    TXcFileListBox* FileList = nullptr;
    TXcDriveCombo* DriveCombo = nullptr;
    TNotifyEvent OnChange;

protected:
    void PeerChanged(int code) override;

private:
    void fill();
    std::string directory_;
    std::vector<std::string> paths_;
};

class TXcFileListBox : public TListBox {
public:
    explicit TXcFileListBox(TComponent* owner);
    std::string ClassName() const override { return "TXcFileListBox"; }
    std::string Directory() const { return directory_; }
    void SetDirectory(const std::string& dir);
    // Masks separated by ";" ("*.pdf;*.ps"); "*.*" lists every file.
    std::string Mask() const { return mask_; }
    void SetMask(const std::string& m);
    // Full path of the current item, "" when there is none.
    std::string FileName() const;
    void SetFileName(const std::string& path);
    void SetMultiSelectAndRefill(bool m);
    // Reads the folder again.
    void Update() override;
    bool ShowHidden = false;

private:
    void fill();
    std::string directory_;
    std::string mask_ = "*.*";
};

void RegisterXcFileControls();
