#include "controls/extended/xcSearchFiles.h"

#include <cerrno>

#include "controls/extended/xcConsts.h"
#include "controls/extended/xcUtils.h"
#include "platform/rtl/scopeExit.h"
#include "platform/win/wintypes.h"

namespace {

constexpr unsigned ErrorNoMoreFiles = 18;
constexpr unsigned ErrorOperationAborted = 995;

TDateTime FileDate(TDateTime t) {
    const int stamp = DateTimeToDosStamp(t);
    if (stamp == 0) throw EConvertError(SXcInvalidFileDate);
    return DosStampToDateTime(stamp);
}

}  // namespace

uint32_t XcFileAttributes(const TSearchRec& rec) {
    uint32_t a = 0;
    if (rec.Attr & faReadOnly) a |= FILE_ATTRIBUTE_READONLY;
    if (rec.Attr & faHidden) a |= FILE_ATTRIBUTE_HIDDEN;
    if (rec.Attr & faDirectory) a |= FILE_ATTRIBUTE_DIRECTORY;
    return a ? a : FILE_ATTRIBUTE_NORMAL;
}

// ---------------------------------------------------------------- parameters

TXcSearchParams::TXcSearchParams() { after_ = before_ = EncodeDateTime(1980, 1, 1, 0, 0, 0, 0); }

void TXcSearchParams::SetLastChangeAfter(TDateTime t) { after_ = FileDate(t); }
void TXcSearchParams::SetLastChangeBefore(TDateTime t) { before_ = FileDate(t); }

void TXcSearchParams::SetFileMasks(const std::string& masks) {
    SplitToStrings(masks, std::string(1, MaskSeparator), FileMasks, true);
}

bool TXcSearchParams::Matches(const TXcFoundEntry& entry) const {
    const TSearchRec& r = entry.Rec;
    if (SearchTypes.Contains(stAttribute)) {
        if ((entry.Attributes & Attributes.ExcludeAttr()) != 0) return false;
        if ((entry.Attributes & Attributes.IncludeAttr()) != Attributes.IncludeAttr()) return false;
    }
    if (SearchTypes.Contains(stMinSize) && r.Size < MinSize) return false;
    if (SearchTypes.Contains(stMaxSize) && r.Size > MaxSize) return false;
    if (SearchTypes.Contains(stLastChangeAfter) && r.Time < after_) return false;
    if (SearchTypes.Contains(stLastChangeBefore) && r.Time > before_) return false;
    if (SearchTypes.Contains(stFileMask)) {
        const bool sensitive = SearchTypes.Contains(stFileMaskCaseSensitive);
        const std::string name = sensitive ? r.Name : UpperCase(r.Name);
        bool any = false;  // empty pieces of the mask text are no masks
        for (int i = 0; i < FileMasks.Count(); ++i) {
            const std::string& m = FileMasks[i];
            if (m.empty()) continue;
            any = true;
            if (MatchWildcardPattern(sensitive ? m : UpperCase(m), name)) return true;
        }
        if (any) return false;
    }
    return true;
}

// ---------------------------------------------------------------- search

TXcSearchFiles::TXcSearchFiles(TComponent* owner) : TComponent(owner) { SetOptions(options_); }

void TXcSearchFiles::SetOptions(TXcSearchOptions v) {
    options_ = v;
    const bool sorted = v.Contains(soSorted);
    for (TStringList* l : {&Files, &Directories}) {
        if (sorted && !l->Sorted) l->Sort();
        l->Sorted = sorted;
    }
}

void TXcSearchFiles::Reset() {
    FileCount = DirCount = 0;
    TotalFileSize = 0;
    Files.Clear();
    Directories.Clear();
    seenFiles_.clear();
    seenDirs_.clear();
    Abort = false;
    abortReported_ = false;
    depth_ = 0;
}

bool TXcSearchFiles::Search() {
    if (running_) return false;
    Reset();
    running_ = true;
    ScopeExit idle([this] { running_ = false; });
    const bool valid = RootValid();
    if (!valid && (DirOption == doExcludeSubDirs || (DirOption == doExcludeCompleteInvalidDirs &&
                                                     options_.Contains(soCheckRootDirValid))))
        return true;
    return RecurseSearch(IncludeTrailingPathDelimiter(RootDirectory), valid);
}

bool TXcSearchFiles::RootValid() {
    if (options_.Contains(soExcludeFilesInRootDir)) return false;
    if (!options_.Contains(soCheckRootDirValid)) return true;
    const std::string root = ExcludeTrailingPathDelimiter(RootDirectory);
    const std::string name = ExtractFileName(root);
    if (!DirectoryExists(root.empty() ? std::string(1, PathDelim) : root)) return false;
    if (!name.empty() && name[0] == '.') return false;
    TSearchRec rec;
    if (name.empty()) {  // the file system's root: no entry of its own
        rec.Name = root;
        rec.Attr = faDirectory;
        return CheckDirectory(TXcFoundEntry{rec, XcFileAttributes(rec)});
    }
    // The root's own entry, from a search of its parent.
    ScopeExit closeSearch([&] { FindClose(rec); });
    for (int r = FindFirst(root, faAnyFile | faDirectory | faHidden, rec); r == 0;
         r = FindNext(rec))
        if (rec.Name == name && (rec.Attr & faDirectory))
            return CheckDirectory(TXcFoundEntry{rec, XcFileAttributes(rec)});
    return false;
}

bool TXcSearchFiles::RecurseSearch(const std::string& folder, bool reportEntries) {
    std::vector<SubDir> subDirs;
    if (const unsigned err = ScanDir(folder, reportEntries, subDirs); err != 0) {
        if (!HandleError(err)) return false;
    }
    ++depth_;
    ScopeExit up([this] { --depth_; });
    if (RecurseDepth != 0 && depth_ > RecurseDepth) return true;
    for (const SubDir& d : subDirs) {
        if (Abort) return HandleError(ErrorOperationAborted);
        if (!RecurseSearch(d.path, d.report)) return false;
    }
    return true;
}

unsigned TXcSearchFiles::ScanDir(const std::string& folder, bool reportEntries,
                                 std::vector<SubDir>& subDirs) {
    DoBeginScanDir(folder);
    TSearchRec& rec = current_;
    ScopeExit closeSearch([&] { FindClose(rec); });
    int r = FindFirst(folder + "*", faAnyFile | faDirectory | faHidden, rec);
    if (r != 0) {
        // Nothing there, or no such folder: nothing found. Anything else is an error.
        return r == int(ERROR_FILE_NOT_FOUND) || r == int(ERROR_PATH_NOT_FOUND) ? 0 : unsigned(r);
    }
    for (; r == 0; r = FindNext(rec)) {
        DoProgress();
        if (Abort) return ErrorOperationAborted;
        const TXcFoundEntry entry{rec, XcFileAttributes(rec)};
        const bool hiddenSystem =
            (entry.Attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ==
            (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        if (!entry.IsDirectory()) {
            if (reportEntries && options_.Contains(soSearchFiles) && CheckFile(entry))
                DoFindFile(entry, folder);
            continue;
        }
        if (rec.Name == "." || rec.Name == "..") continue;
        if (hiddenSystem && !options_.Contains(soIncludeSystemHiddenDirs)) continue;
        const std::string path = folder + rec.Name + PathDelim;
        if (DirOption == doExcludeSubDirs || DirOption == doIncludeSubDirs) {
            if (reportEntries && options_.Contains(soSearchDirs) && CheckDirectory(entry))
                DoFindDirectory(entry, folder);
            if (DirOption == doIncludeSubDirs) subDirs.push_back({path, true});
        } else {
            const bool ok = CheckDirectory(entry);
            if (ok && reportEntries && options_.Contains(soSearchDirs))
                DoFindDirectory(entry, folder);
            if (ok || DirOption == doExcludeInvalidDirs) subDirs.push_back({path, ok});
        }
    }
    return r == int(ErrorNoMoreFiles) ? 0 : unsigned(r);
}

bool TXcSearchFiles::HandleError(unsigned errorCode) {
    if (Abort) {
        if (!abortReported_) {
            abortReported_ = true;
            DoAbort();
        }
        return false;
    }
    TXcErrorResponse response = ErrorResponse;
    if (OnError) OnError(this, response);
    switch (response) {
        case erIgnore:
            return true;
        case erRaise:
            throw EOSError(SysErrorMessage(errorCode == ERROR_ACCESS_DENIED ? EACCES : EIO),
                           errorCode);
        default:
            return false;
    }
}

void TXcSearchFiles::AddTo(TStringList& list, std::unordered_set<std::string>& seen,
                           const std::string& name) {
    if (options_.Contains(soOwnerData)) return;
    if (!options_.Contains(soAllowDuplicates) && !seen.insert(name).second) return;
    list.Add(name);
}

void TXcSearchFiles::DoFindFile(const TXcFoundEntry& entry, const std::string& folder) {
    ++FileCount;
    const std::string name =
        options_.Contains(soStripDirs) ? entry.Rec.Name : folder + entry.Rec.Name;
    AddTo(Files, seenFiles_, name);
    TotalFileSize += entry.Rec.Size;
    if (OnFindFile) OnFindFile(this, name);
}

void TXcSearchFiles::DoFindDirectory(const TXcFoundEntry& entry, const std::string& folder) {
    ++DirCount;
    const std::string name =
        options_.Contains(soStripDirs) ? entry.Rec.Name : folder + entry.Rec.Name;
    AddTo(Directories, seenDirs_, name);
    TotalFileSize += entry.Rec.Size;
    if (OnFindDirectory) OnFindDirectory(this, name);
}

void TXcSearchFiles::DoBeginScanDir(const std::string& folder) {
    if (OnBeginScanDir) OnBeginScanDir(this, folder);
}

void TXcSearchFiles::DoAbort() {
    if (OnAbort) OnAbort(this);
}

void TXcSearchFiles::DoProgress() {
    if (OnProgress) OnProgress(this);
}

bool TXcSearchFiles::CheckFile(const TXcFoundEntry& entry) {
    const uint32_t hs = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((entry.Attributes & hs) == hs && !options_.Contains(soIncludeSystemHiddenFiles))
        return false;
    if (OnCheck) {
        bool accept = true;
        OnCheck(this, entry, accept);
        return accept;
    }
    return FileParams.Matches(entry);
}

bool TXcSearchFiles::CheckDirectory(const TXcFoundEntry& entry) {
    if (OnCheck) {
        bool accept = true;
        OnCheck(this, entry, accept);
        return accept;
    }
    return DirParams.Matches(entry);
}
