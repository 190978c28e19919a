// Base object, string lists, streams, file search and the random generator.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"

class TObject {
public:
    virtual ~TObject() = default;
    // The class name as the form files name it ("TForm_main", "TEdit").
    virtual std::string ClassName() const { return "TObject"; }
};

// ---------------------------------------------------------------- string lists

// A list of strings with an object each, as the controls' item lists and the string list
// present it: the few primitive operations are virtual, everything else is built on them.
class TStrings : public TObject {
public:
    std::string ClassName() const override { return "TStrings"; }
    virtual int Count() const = 0;
    virtual std::string Get(int i) const = 0;
    std::string operator[](int i) const { return Get(i); }
    std::string Strings(int i) const { return Get(i); }
    // Replaces the text of item i, keeping its object.
    virtual void SetString(int i, const std::string& s);
    virtual TObject* Objects(int /*i*/) const { return nullptr; }
    virtual void SetObject(int /*i*/, TObject* /*o*/) {}
    // Appends (a sorted list puts it in its place) and answers the index it went to.
    virtual int Add(const std::string& s, TObject* o = nullptr);
    virtual void Insert(int i, const std::string& s, TObject* o = nullptr) = 0;
    virtual void Delete(int i) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int a, int b);
    virtual int IndexOf(const std::string& s) const;  // case-insensitive, as the class library does
    // The other list's strings and objects in place of these, as one change.
    virtual void Assign(const TStrings& other);
    virtual void AddStrings(const TStrings& other);
    // Lines joined by "\n" each (the last one too); setting splits on "\n", "\r\n" or "\r".
    std::string Text() const;
    virtual void SetText(const std::string& text);
    std::vector<std::string> ToVector() const;
    // Changes between these are shown once, when the count returns to 0.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return updateCount_; }

protected:
    // Told when updating begins (true) and ends (false).
    virtual void SetUpdateState(bool /*updating*/) {}
    // Splits a text into lines as SetText does.
    static std::vector<std::string> SplitLines(const std::string& text);

private:
    int updateCount_ = 0;
};

class TStringList : public TStrings {
public:
    std::string ClassName() const override { return "TStringList"; }
    int Count() const override { return int(items_.size()); }
    std::string Get(int i) const override { return (*this)[i]; }
    const std::string& operator[](int i) const {
        check(i);
        return items_[size_t(i)].s;
    }
    const std::string& Strings(int i) const { return (*this)[i]; }
    void SetString(int i, const std::string& s) override {
        check(i);
        items_[size_t(i)].s = s;
        Changed(lcSet, i);
    }
    TObject* Objects(int i) const override {
        check(i);
        return items_[size_t(i)].obj;
    }
    void SetObject(int i, TObject* o) override {
        check(i);
        items_[size_t(i)].obj = o;
    }
    int Add(const std::string& s, TObject* o = nullptr) override;
    void Insert(int i, const std::string& s, TObject* o = nullptr) override;
    void Delete(int i) override;
    void Clear() override;
    void Exchange(int a, int b) override;
    int IndexOf(const std::string& s) const override;
    void Assign(const TStrings& other) override;
    void AddStrings(const TStrings& other) override;
    void SetText(const std::string& text) override;
    void LoadFromFile(const std::string& name);
    void SaveToFile(const std::string& name) const;
    bool Sorted = false;  // when set, Add keeps the list sorted (case-insensitive)
    void Sort();
    // Called after every change of the strings; while the update count is raised, once when
    // it falls back to 0 (when anything changed meanwhile).
    std::function<void()> OnChange;
    // Called after each single change with what changed, before OnChange: lists shown in
    // controls keep their per-item state (selection) in step with it.
    enum TChange { lcInsert, lcDelete, lcSet, lcReset };
    std::function<void(TChange, int)> OnItemChange;
    // Called before an item is deleted (lcDelete) or the list cleared (lcReset), while the
    // strings are still there.
    std::function<void(TChange, int)> OnItemChanging;

private:
    struct Item {
        std::string s;
        TObject* obj;
    };
    void check(int i) const {
        if (i < 0 || i >= Count())
            throw EListError("List index out of bounds (" + IntToStr(i) + ")");
    }
    void Changed(TChange what = lcReset, int index = -1) {
        if (OnItemChange) OnItemChange(what, index);
        if (UpdateCount() > 0)
            changedWhileUpdating_ = true;
        else if (OnChange)
            OnChange();
    }
    void SetUpdateState(bool updating) override {
        if (updating || !changedWhileUpdating_) return;
        changedWhileUpdating_ = false;
        if (OnChange) OnChange();
    }
    std::vector<Item> items_;
    bool changedWhileUpdating_ = false;
};

// ---------------------------------------------------------------- streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t p) { Seek(p, soBeginning); }
    int64_t Size();
    virtual void SetSize(int64_t size) = 0;
    void ReadBuffer(void* buffer, int64_t count);         // raises EReadError when short
    void WriteBuffer(const void* buffer, int64_t count);  // raises EStreamError when short
    int64_t CopyFrom(TStream& source, int64_t count);     // count 0 = the whole source
};

class TMemoryStream : public TStream {
public:
    std::string ClassName() const override { return "TMemoryStream"; }
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;
    uint8_t* Memory() { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    void Clear() {
        data_.clear();
        pos_ = 0;
    }
    void LoadFromFile(const std::string& name);
    void SaveToFile(const std::string& name);

private:
    std::vector<uint8_t> data_;
    int64_t pos_ = 0;
};

enum : unsigned { fmCreate = 0xFFFF, fmOpenRead = 0, fmOpenWrite = 1, fmOpenReadWrite = 2 };

class TFileStream : public TStream {
public:
    TFileStream(const std::string& name, unsigned mode);  // raises EFOpenError / EFCreateError
    ~TFileStream() override;
    std::string ClassName() const override { return "TFileStream"; }
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t size) override;

private:
    int fd_ = -1;
};

// ---------------------------------------------------------------- file search

struct TSearchRec {
    std::string Name;  // the file's name, without folder
    int64_t Size = 0;
    int Attr = 0;        // fa* flags
    TDateTime Time = 0;  // last write time, local
    // internal
    std::shared_ptr<void> FindHandle;
    int ExcludeAttr = 0;
};

// Lists the entries of the folder part of `path` whose names match its last part, in the
// order NTFS keeps a folder (SortFileNames), whatever order the file system stores them in.
// Masks: "*" any run, "?" one character (UTF-8 aware), case folded for ASCII; "*.*"
// matches every name, with or without a dot. "." and ".." are never listed.
// Hidden = a leading dot; read-only = not writable by us; folders only with faDirectory.
// Returns 0 when something was found, else an error code (2 = nothing found).
int FindFirst(const std::string& path, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);
// Sorts names as NTFS orders a folder: by UTF-16 code units, letters compared in upper
// case ("a_b" after "AB", "b" after "A", "Z" before "_").
void SortFileNames(std::vector<std::string>& names);
// The letter in upper case as NTFS maps it (ASCII, Latin-1, Latin Extended-A, Greek,
// Cyrillic and full-width letters); anything else stays.
char32_t UpperCaseLetter(char32_t c);
// The mask test FindFirst uses.
bool MatchesFileMask(const std::string& name, const std::string& mask);

// ---------------------------------------------------------------- random numbers

// The classic 32-bit linear congruential generator: seed := seed * 134775813 + 1,
// Random(n) := (seed * n) >> 32.
extern uint32_t RandSeed;
void Randomize();  // seeds from the high-resolution clock
int Random(int range);
