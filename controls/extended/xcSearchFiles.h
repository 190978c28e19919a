// TXcSearchFiles: enumerates a folder and, by option, its sub-folders, filters the entries by
// attribute, mask, size and date, and collects the matching names with counts and a total
// size. The file list runs one non-recursive search per refill.
//
// Attributes as this platform reports them: hidden = the name begins with a dot, read-only
// = not writable by us, folder, and "normal" when none of these;
// system and archive are never set.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <unordered_set>

#include "platform/rtl/classes.h"
#include "platform/vcl/component.h"

// A small set of enumeration values, as the class library's sets.
template <class E>
class TXcSet {
public:
    constexpr TXcSet() = default;
    constexpr TXcSet(std::initializer_list<E> values) {
        for (E v : values) bits_ |= Bit(v);
    }
    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr TXcSet& Include(E v) {
        bits_ |= Bit(v);
        return *this;
    }
    constexpr TXcSet& Exclude(E v) {
        bits_ &= ~Bit(v);
        return *this;
    }
    constexpr bool operator==(const TXcSet&) const = default;
    constexpr uint32_t Bits() const { return bits_; }

private:
    static constexpr uint32_t Bit(E v) { return uint32_t(1) << unsigned(v); }
    uint32_t bits_ = 0;
};

enum TXcDirOption {
    doExcludeSubDirs,
    doIncludeSubDirs,
    doExcludeInvalidDirs,
    doExcludeCompleteInvalidDirs
};
enum TXcSearchOption {
    soAllowDuplicates,
    soCheckRootDirValid,
    soExcludeFilesInRootDir,
    soOwnerData,
    soSearchDirs,
    soSearchFiles,
    soSorted,
    soStripDirs,
    soIncludeSystemHiddenDirs,
    soIncludeSystemHiddenFiles
};
using TXcSearchOptions = TXcSet<TXcSearchOption>;
enum TXcErrorResponse { erAbort, erIgnore, erRaise };
enum TXcAttrFlagKind { tsMustBeSet, tsDontCare, tsMustBeUnSet };
enum TXcSearchType {
    stAttribute,
    stFileMask,
    stFileMaskCaseSensitive,
    stLastChangeAfter,
    stLastChangeBefore,
    stMaxSize,
    stMinSize
};
using TXcSearchTypes = TXcSet<TXcSearchType>;

// File attribute bits (the Windows values).
enum : uint32_t {
    FILE_ATTRIBUTE_READONLY = 0x1,
    FILE_ATTRIBUTE_HIDDEN = 0x2,
    FILE_ATTRIBUTE_SYSTEM = 0x4,
    FILE_ATTRIBUTE_DIRECTORY = 0x10,
    FILE_ATTRIBUTE_ARCHIVE = 0x20,
    FILE_ATTRIBUTE_NORMAL = 0x80,
    FILE_ATTRIBUTE_TEMPORARY = 0x100,
    FILE_ATTRIBUTE_SPARSE_FILE = 0x200,
    FILE_ATTRIBUTE_REPARSE_POINT = 0x400,
    FILE_ATTRIBUTE_COMPRESSED = 0x800,
    FILE_ATTRIBUTE_OFFLINE = 0x1000,
    FILE_ATTRIBUTE_NOT_CONTENT_INDEXED = 0x2000,
    FILE_ATTRIBUTE_ENCRYPTED = 0x4000
};

// One entry found: the platform's find record and its attributes in the bits above.
struct TXcFoundEntry {
    const TSearchRec& Rec;
    uint32_t Attributes;
    bool IsDirectory() const { return (Attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

class TXcSearchAttributes : public TPersistent {
public:
    std::string ClassName() const override { return "TXcSearchAttributes"; }
    // One property per attribute; all tsDontCare at first.
    TXcAttrFlagKind ReadOnly() const { return Get(FILE_ATTRIBUTE_READONLY); }
    void SetReadOnly(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_READONLY, v); }
    TXcAttrFlagKind Hidden() const { return Get(FILE_ATTRIBUTE_HIDDEN); }
    void SetHidden(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_HIDDEN, v); }
    TXcAttrFlagKind System() const { return Get(FILE_ATTRIBUTE_SYSTEM); }
    void SetSystem(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_SYSTEM, v); }
    TXcAttrFlagKind Archive() const { return Get(FILE_ATTRIBUTE_ARCHIVE); }
    void SetArchive(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_ARCHIVE, v); }
    TXcAttrFlagKind Normal() const { return Get(FILE_ATTRIBUTE_NORMAL); }
    void SetNormal(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_NORMAL, v); }
    TXcAttrFlagKind Temporary() const { return Get(FILE_ATTRIBUTE_TEMPORARY); }
    void SetTemporary(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_TEMPORARY, v); }
    TXcAttrFlagKind SparseFile() const { return Get(FILE_ATTRIBUTE_SPARSE_FILE); }
    void SetSparseFile(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_SPARSE_FILE, v); }
    TXcAttrFlagKind ReparsePoint() const { return Get(FILE_ATTRIBUTE_REPARSE_POINT); }
    void SetReparsePoint(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_REPARSE_POINT, v); }
    TXcAttrFlagKind Compressed() const { return Get(FILE_ATTRIBUTE_COMPRESSED); }
    void SetCompressed(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_COMPRESSED, v); }
    TXcAttrFlagKind OffLine() const { return Get(FILE_ATTRIBUTE_OFFLINE); }
    void SetOffLine(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_OFFLINE, v); }
    TXcAttrFlagKind NotContentIndexed() const { return Get(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED); }
    void SetNotContentIndexed(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, v); }
    TXcAttrFlagKind Encrypted() const { return Get(FILE_ATTRIBUTE_ENCRYPTED); }
    void SetEncrypted(TXcAttrFlagKind v) { Set(FILE_ATTRIBUTE_ENCRYPTED, v); }
    // The condensed form (stored in form data as "IncludeAttr" and "ExcludeAttr").
    uint32_t IncludeAttr() const { return include_; }
    uint32_t ExcludeAttr() const { return exclude_; }
    void SetIncludeAttr(uint32_t v) {
        include_ = v;
        exclude_ &= ~v;
    }
    void SetExcludeAttr(uint32_t v) {
        exclude_ = v;
        include_ &= ~v;
    }

private:
    TXcAttrFlagKind Get(uint32_t bit) const {
        return (include_ & bit) ? tsMustBeSet : (exclude_ & bit) ? tsMustBeUnSet : tsDontCare;
    }
    void Set(uint32_t bit, TXcAttrFlagKind v) {
        include_ &= ~bit;
        exclude_ &= ~bit;
        if (v == tsMustBeSet)
            include_ |= bit;
        else if (v == tsMustBeUnSet)
            exclude_ |= bit;
    }
    uint32_t include_ = 0, exclude_ = 0;
};

class TXcSearchParams : public TPersistent {
public:
    TXcSearchParams();
    std::string ClassName() const override { return "TXcSearchParams"; }
    TXcSearchAttributes Attributes;
    TXcSearchTypes SearchTypes;
    int64_t MinSize = 0;
    int64_t MaxSize = 0;
    // Dates are kept at the 2-second resolution of file dates; a date outside 1980..2107
    // raises EConvertError.
    TDateTime LastChangeAfter() const { return after_; }
    void SetLastChangeAfter(TDateTime t);
    TDateTime LastChangeBefore() const { return before_; }
    void SetLastChangeBefore(TDateTime t);
    // The masks; set from one string they are split at MaskSeparator, empty pieces kept
    // (the test passes them over).
    TStringList FileMasks;
    void SetFileMasks(const std::string& masks);
    char MaskSeparator = ';';
    // The parameter test of one entry.
    bool Matches(const TXcFoundEntry& entry) const;

private:
    TDateTime after_, before_;
};

class TXcSearchFiles : public TComponent {
public:
    using TXcFileSearchEvent = std::function<void(TObject* sender, const std::string& name)>;
    using TXcNotifyEvent = std::function<void(TObject* sender)>;
    using TXcSearchErrorEvent = std::function<void(TObject* sender, TXcErrorResponse& response)>;
    using TXcCheckEvent =
        std::function<void(TObject* sender, const TXcFoundEntry& entry, bool& accept)>;

    explicit TXcSearchFiles(TComponent* owner = nullptr);
    std::string ClassName() const override { return "TXcSearchFiles"; }

    // Published properties.
    std::string RootDirectory;
    TXcDirOption DirOption = doIncludeSubDirs;
    int RecurseDepth = 0;  // 0 = unlimited; 1 = the root and its direct sub-folders
    TXcSearchOptions Options() const { return options_; }
    void SetOptions(TXcSearchOptions v);
    TXcErrorResponse ErrorResponse = erAbort;
    TXcSearchParams DirParams;
    TXcSearchParams FileParams;

    // Events.
    TXcFileSearchEvent OnBeginScanDir, OnFindFile, OnFindDirectory;
    TXcNotifyEvent OnAbort, OnProgress;
    TXcSearchErrorEvent OnError;  // may change the response
    TXcCheckEvent OnCheck;        // replaces the parameter test

    // Runs one search; false at once while a search runs, false when it was aborted or an
    // error ended it. A missing folder is nothing found; an unreadable one goes by
    // ErrorResponse (erRaise raises EOSError).
    bool Search();
    // Set (from an event) to end the search at the next entry.
    bool Abort = false;
    bool Running() const { return running_; }

    TStringList Files;
    TStringList Directories;
    int FileCount = 0;
    int DirCount = 0;
    int64_t TotalFileSize = 0;
    // The entry being looked at, during a search.
    const TSearchRec& FindData() const { return current_; }

protected:
    virtual void DoFindFile(const TXcFoundEntry& entry, const std::string& folder);
    virtual void DoFindDirectory(const TXcFoundEntry& entry, const std::string& folder);
    virtual void DoBeginScanDir(const std::string& folder);
    virtual void DoAbort();
    virtual void DoProgress();
    virtual bool CheckDirectory(const TXcFoundEntry& entry);
    virtual bool CheckFile(const TXcFoundEntry& entry);
    // Called when a folder cannot be read (or the search was aborted); true to go on.
    virtual bool HandleError(unsigned errorCode);
    virtual void Reset();
    virtual bool RecurseSearch(const std::string& folder, bool reportEntries);

private:
    struct SubDir {
        std::string path;
        bool report;
    };
    // Scans one folder; 0 when done, else the error code that stopped it.
    unsigned ScanDir(const std::string& folder, bool reportEntries, std::vector<SubDir>& subDirs);
    bool RootValid();
    void AddTo(TStringList& list, std::unordered_set<std::string>& seen, const std::string& name);
    TXcSearchOptions options_{soSearchFiles};
    bool running_ = false;
    bool abortReported_ = false;
    int depth_ = 0;
    TSearchRec current_;
    std::unordered_set<std::string> seenFiles_, seenDirs_;
};

// This platform's attribute bits of a find record.
uint32_t XcFileAttributes(const TSearchRec& rec);

// Registers the search component and its parameters with the form reader.
void RegisterXcSearchFiles();
