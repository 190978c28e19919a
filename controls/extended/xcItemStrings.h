// The Items of the extended list and combo boxes: every operation goes to the box's window
// through its item messages, or, while a data provider supplies what the box shows, to an
// internal list that keeps the box's own strings. A change made through Items while a
// provider shows first takes the provider away, so the own strings come back to the window
// and the change lands among them.
#pragma once

#include <functional>
#include <string>

#include "platform/rtl/classes.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/stdctrls.h"

// The item messages of one kind of box.
struct TXcItemMessages {
    UINT getTextLen, getText, getCount, addString, insertString, deleteString, resetContent,
        getItemData, setItemData, findStringExact;
};
extern const TXcItemMessages kListBoxItemMessages;
extern const TXcItemMessages kComboBoxItemMessages;

class TXcItemStrings : public TStrings {
public:
    TXcItemStrings(TWinControl* box, const TXcItemMessages& messages);
    int Count() const override;
    std::string Get(int i) const override;
    TObject* Objects(int i) const override;
    void SetObject(int i, TObject* o) override;
    int Add(const std::string& s, TObject* o = nullptr) override;
    void Insert(int i, const std::string& s, TObject* o = nullptr) override;
    void Delete(int i) override;
    void Clear() override;
    int IndexOf(const std::string& s) const override;

    // Takes the provider away before the items change (set by the box).
    std::function<void()> ClearProvider;
    // The window's items go to the internal list (with their objects), which is used from
    // then on; and back.
    virtual void MoveToInternal();
    virtual void MoveBack();
    bool UsesInternal() const { return useInternal_; }
    const TStringList& Internal() const { return internal_; }
    // While above 0 and the internal list is used, the list counts no items (the window is
    // being made anew).
    void Hold() { ++hold_; }
    void Release() { --hold_; }

protected:
    void SetUpdateState(bool updating) override;
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return box_->Perform(msg, w, l); }
    // The index error of the class library, with the index.
    [[noreturn]] static void IndexError(int i);
    void beforeChange();
    TWinControl* box_;
    const TXcItemMessages& msg_;
    TStringList internal_;
    bool useInternal_ = false;
    int hold_ = 0;
};

class TXcListBoxStrings : public TXcItemStrings {
public:
    explicit TXcListBoxStrings(TListBox* box)
        : TXcItemStrings(box, kListBoxItemMessages), list_(box) {}
    std::string ClassName() const override { return "TXcListBoxStrings"; }
    // A virtual list's items are its data callbacks': read through them, never added.
    std::string Get(int i) const override;
    TObject* Objects(int i) const override;
    int IndexOf(const std::string& s) const override;
    int Add(const std::string& s, TObject* o = nullptr) override;
    void Insert(int i, const std::string& s, TObject* o = nullptr) override;

private:
    bool virtualData() const { return !useInternal_ && list_->IsVirtual(); }
    TListBox* list_;
};

class TXcComboBoxStrings : public TXcItemStrings {
public:
    explicit TXcComboBoxStrings(TWinControl* box) : TXcItemStrings(box, kComboBoxItemMessages) {}
    std::string ClassName() const override { return "TXcComboBoxStrings"; }
    // Emptying keeps the edit text: read before, written back after.
    void Clear() override;
    std::function<std::string()> ReadText;
    std::function<void(const std::string&)> WriteText;
};
