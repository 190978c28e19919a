// Choosing the run's sources and its destination.
#include <algorithm>
#include <string>
#include <vector>

#include "app/main.h"
#include "app/msgdlg.h"
#include "engine/definitions.h"
#include "engine/util.h"
#include "platform/rtl/osErrors.h"

namespace {

const char* const kMergedAll = "MERGED-ALL.pdf";

// The function's input extensions as file masks: "*.tif;*.tiff".
std::string MaskOf(const TConverter& row) {
    std::string mask;
    for (const auto& ext : row.InputExtensions) mask += (mask.empty() ? "*" : ";*") + ext;
    return mask;
}

// Extension from the last "." after the last folder separator, dot included.
std::string ExtOf(const std::string& path) { return ExtractFileExt(path); }

}  // namespace

void TForm_main::CollectSources() {
    FState.FSourceFiles->Clear();
    FUnlistedFolder.clear();
    std::string dir = XcDirectoryListBox_source->Directory();
    if (XcFileListBox_source->Visible()) {
        TStrings* items = XcFileListBox_source->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (XcFileListBox_source->Selected(i))
                FState.FSourceFiles->Add(IncludeTrailingPathDelimiter(dir) + (*items)[i]);
        return;
    }
    // Folder mode: every fitting file of the folder.
    const auto& exts = SelectedFunction().InputExtensions;
    TSearchRec sr;
    if (const int r = FindFirst(dir + "/*.*", faAnyFile, sr); r != 0) {
        if (r == int(ERROR_ACCESS_DENIED)) FUnlistedFolder = dir;
        return;
    }
    do {
        if (sr.Attr & faDirectory) continue;
        if (ExtInList(LowerCase(ExtOf(sr.Name)), exts) && sr.Name != kMergedAll)
            FState.FSourceFiles->Add(dir + "/" + sr.Name);
    } while (FindNext(sr) == 0);
    FindClose(sr);
}

void TForm_main::CollectSourcesFromParam(const std::string& value) {
    FState.FSourceFiles->Clear();
    FUnlistedFolder.clear();
    FSourceParam = value;
    if (value.find('#') == std::string::npos) {
        if (FileExists(value)) {
            FState.FSourceFiles->Add(value);
        } else if (DirectoryExists(value)) {
            // The value is a prefix as it stands: a folder must end with "/".
            const auto& exts = SelectedFunction().InputExtensions;
            TSearchRec sr;
            const int r = FindFirst(value + "*.*", faAnyFile, sr);
            if (r == int(ERROR_ACCESS_DENIED)) FUnlistedFolder = value;
            if (r == 0) {
                do {
                    std::string full = value + sr.Name;
                    if (FileExists(full) && ExtInList(LowerCase(ExtOf(sr.Name)), exts) &&
                        sr.Name != kMergedAll)
                        FState.FSourceFiles->Add(full);
                } while (FindNext(sr) == 0);
                FindClose(sr);
            }
        }
        return;
    }
    size_t start = 0;
    for (;;) {
        size_t hash = value.find('#', start);
        FState.FSourceFiles->Add(
            value.substr(start, hash == std::string::npos ? std::string::npos : hash - start));
        if (hash == std::string::npos) break;
        start = hash + 1;
    }
}

// Names the first source or destination that the system cannot take: a relative name in
// a working folder deeper than the path limit (the system cannot name that folder, and
// every expanded name would point elsewhere), or a full name longer than the limit.
// Empty when every name can be used.
std::string TForm_main::PathTooLong() {
    std::vector<std::string> names;
    for (int i = 0; i < FState.FSourceFiles->Count(); ++i)
        names.push_back((*FState.FSourceFiles)[i]);
    if (!FState.FDestDir.empty()) names.push_back(FState.FDestDir);
    std::string cwd;
    const bool cwdKnown = TryGetCurrentDir(cwd);
    const std::string limit = IntToStr(int(MaxPathBytes));
    for (const std::string& name : names) {
        const bool relative = !name.empty() && name[0] != '/';
        if (relative && !cwdKnown)
            return "当前文件夹的路径太长 (超过 " + limit + " 字节), 无法使用相对的文件名: \"" +
                   EscapeControls(name) + "\"";
        const std::string full = relative ? IncludeTrailingPathDelimiter(cwd) + name : name;
        // The run's own names inside the folder add some 40 bytes.
        if (full.size() + 40 > MaxPathBytes)
            return "路径太长 (超过 " + limit + " 字节): \"" + EscapeControls(name) + "\"";
    }
    return "";
}

bool TForm_main::SourcesExist() {
    int n = FState.FSourceFiles->Count();
    if (n == 0) return false;
    if (n == 1)
        return FileExists((*FState.FSourceFiles)[0]) || DirectoryExists((*FState.FSourceFiles)[0]);
    for (int i = 0; i < n; ++i)
        if (!FileExists((*FState.FSourceFiles)[i])) return false;
    return true;
}

namespace {

std::string Quoted(const std::string& name) { return "\"" + EscapeControls(name) + "\""; }

// Why one named source cannot be taken as a file.
std::string MissingFile(const std::string& name) {
    if (name.empty()) return "源文件的名称是空的。";
    if (DirectoryExists(name)) return Quoted(name) + " 是一个文件夹，不是文件。";
    return "找不到 " + Quoted(name) + "。";
}

}  // namespace

std::string TForm_main::MissingSources() {
    std::string lines;
    const int n = FState.FSourceFiles->Count();
    if (n == 0 && FSourceParam.empty()) return "没有给出源文件。";
    if (n == 0) {
        // A single value that gave no file: a folder without fitting files, a folder
        // given without its trailing "/", or nothing there.
        if (!DirectoryExists(FSourceParam)) return "找不到 " + Quoted(FSourceParam) + "。";
        if (FSourceParam.back() != '/')
            return Quoted(FSourceParam) + " 是一个文件夹，不是文件 (源文件夹要以 \"/\" 结尾)。";
        return "文件夹 " + Quoted(FSourceParam) + " 中没有 " + MaskOf(SelectedFunction()) +
               " 文件。";
    }
    std::vector<std::string> said;  // a name given twice ("a#a", "###") is missed once
    for (int i = 0; i < n; ++i) {
        const std::string& name = (*FState.FSourceFiles)[i];
        if (n == 1 ? FileExists(name) || DirectoryExists(name) : FileExists(name)) continue;
        const std::string line = MissingFile(name);
        if (std::find(said.begin(), said.end(), line) != said.end()) continue;
        said.push_back(line);
        lines += (lines.empty() ? "" : "\n") + line;
    }
    // "#" joins several sources, so a file whose name holds one cannot be named alone.
    if (FSourceParam.find('#') != std::string::npos && FileExists(FSourceParam))
        lines += "\n文件 " + Quoted(FSourceParam) + " 存在, 但 \"#\" 用来分隔多个源文件。";
    return lines;
}

std::string TForm_main::WrongExtensions(const std::vector<std::string>& extensions) {
    std::string lines;
    std::vector<std::string> said;  // a name given twice is named once
    for (int i = 0; i < FState.FSourceFiles->Count(); ++i) {
        const std::string& name = (*FState.FSourceFiles)[i];
        if (ExtInList(LowerCase(ExtOf(name)), extensions)) continue;
        if (std::find(said.begin(), said.end(), name) != said.end()) continue;
        said.push_back(name);
        lines += (lines.empty() ? "" : "\n") + Quoted(name) + " 不是 " +
                 MaskOf(SelectedFunction()) + " 文件。";
    }
    return lines;
}

bool TForm_main::ExtensionsOk(const std::vector<std::string>& extensions) {
    if (FState.FSourceFiles->Count() == 0) return false;
    for (int i = 0; i < FState.FSourceFiles->Count(); ++i)
        if (!ExtInList(LowerCase(ExtOf((*FState.FSourceFiles)[i])), extensions)) return false;
    return true;
}

void TForm_main::SelectSource(const std::string& path) {
    if (DirectoryExists(path)) {
        XcDirectoryListBox_source->SetDirectory(path);
        return;
    }
    if (!FileExists(path)) return;
    std::string dir = ExtractFileDir(path);
    XcDirectoryListBox_source->SetDirectory(dir.empty() ? "/" : dir);
    std::string name = ExtractFileName(path);
    TStrings* items = XcFileListBox_source->Items();
    for (int i = 0; i < items->Count(); ++i) {
        if ((*items)[i] != name) continue;
        XcFileListBox_source->SetSelected(i, true);
        XcFileListBox_source->SetItemIndex(i);
        StaticText_currentFile->SetCaption(XcFileListBox_source->FileName());
        Application->ProcessMessages();
        return;
    }
}

void TForm_main::RememberSelection() {
    FState.FSelection->Clear();
    TStrings* items = XcFileListBox_source->Items();
    for (int i = 0; i < items->Count(); ++i)
        if (XcFileListBox_source->Selected(i)) FState.FSelection->Add((*items)[i]);
}

void TForm_main::RestoreSelection() {
    TStrings* items = XcFileListBox_source->Items();
    for (int i = 0; i < items->Count(); ++i) {
        bool wanted = false;
        for (int k = 0; k < FState.FSelection->Count() && !wanted; ++k)
            wanted = (*FState.FSelection)[k] == (*items)[i];
        if (!wanted) continue;
        XcFileListBox_source->SetSelected(i, true);
        if (!XcFileListBox_source->MultiSelect()) XcFileListBox_source->SetItemIndex(i);
        StaticText_currentFile->SetCaption(XcFileListBox_source->FileName());
        Application->ProcessMessages();
    }
}

void TForm_main::SetFileListMode(bool show) {
    XcFileListBox_source->SetVisible(show);
    Label_files->SetVisible(show);
    CheckBox_rightFormat->SetVisible(show);
    Label_sourceFile->SetVisible(show);
    StaticText_currentFile->SetVisible(show);
    SpeedButton_destinationFile->SetVisible(show);
    if (XcFileListBox_source->Visible()) XcFileListBox_sourceClick(this);
}

void TForm_main::XcFileListBox_sourceClick(TObject*) {
    StaticText_currentFile->SetCaption(XcFileListBox_source->FileName());
}

void TForm_main::CheckBox_rightFormatClick(TObject*) {
    RememberSelection();
    XcFileListBox_source->SetMask(CheckBox_rightFormat->Checked() ? MaskOf(SelectedFunction())
                                                                  : "*.*");
    RestoreSelection();
}

void TForm_main::RadioButton_mergeAll_filesClick(TObject*) {
    RememberSelection();
    XcFileListBox_source->SetMultiSelectAndRefill(true);
    SetFileListMode(true);
    RestoreSelection();
}

void TForm_main::RadioButton_mergeAll_folderClick(TObject*) {
    XcFileListBox_source->SetMultiSelectAndRefill(false);
    SetFileListMode(false);
}

void TForm_main::SpeedButton_destinationFileClick(TObject*) {
    OpenDialog_sourceFile->InitialDir = XcDirectoryListBox_source->Directory();
    std::string mask = MaskOf(SelectedFunction());
    OpenDialog_sourceFile->Filter = "源格式文件 (" + mask + ")|" + mask;
    if (OpenDialog_sourceFile->Execute()) SelectSource(OpenDialog_sourceFile->FileName);
}

void TForm_main::CheckBox_destinationEqualSourceClick(TObject*) {
    bool same = CheckBox_destinationEqualSource->Checked();
    Label_destinationPath->SetVisible(!same);
    StaticText_destinationPath->SetVisible(!same);
    SpeedButton_destinationPath->SetVisible(!same);
    Panel_destination->SetWidth(same ? 296 : 577);
}

void TForm_main::SpeedButton_destinationPathClick(TObject*) {
    if (StaticText_destinationPath->Caption().empty() &&
        DirectoryExists(XcDirectoryListBox_source->Directory()))
        XcBrowseForFolderDialog_destinationDialog->Directory =
            XcDirectoryListBox_source->Directory();
    if (!XcBrowseForFolderDialog_destinationDialog->Execute()) return;
    std::string chosen = XcBrowseForFolderDialog_destinationDialog->Directory;
    StaticText_destinationPath->SetCaption(chosen.empty() ? ""
                                                          : IncludeTrailingPathDelimiter(chosen));
}
