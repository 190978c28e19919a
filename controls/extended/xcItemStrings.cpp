#include "controls/extended/xcItemStrings.h"

#include <vector>

#include "platform/rtl/scopeExit.h"
#include "platform/user/listMessages.h"

const TXcItemMessages kListBoxItemMessages = {
    LB_GETTEXTLEN,   LB_GETTEXT,      LB_GETCOUNT,    LB_ADDSTRING,   LB_INSERTSTRING,
    LB_DELETESTRING, LB_RESETCONTENT, LB_GETITEMDATA, LB_SETITEMDATA, LB_FINDSTRINGEXACT};
const TXcItemMessages kComboBoxItemMessages = {
    CB_GETLBTEXTLEN, CB_GETLBTEXT,    CB_GETCOUNT,    CB_ADDSTRING,   CB_INSERTSTRING,
    CB_DELETESTRING, CB_RESETCONTENT, CB_GETITEMDATA, CB_SETITEMDATA, CB_FINDSTRINGEXACT};

namespace {

bool Failed(LRESULT r) { return int(r) < 0; }

}  // namespace

TXcItemStrings::TXcItemStrings(TWinControl* box, const TXcItemMessages& messages)
    : box_(box), msg_(messages) {}

void TXcItemStrings::IndexError(int i) { throw EListError(Format("列表索引超过了最大值(%d)", i)); }

void TXcItemStrings::beforeChange() {
    if (ClearProvider) ClearProvider();
}

int TXcItemStrings::Count() const {
    if (useInternal_) return hold_ > 0 ? 0 : internal_.Count();
    return int(Send(msg_.getCount));
}

std::string TXcItemStrings::Get(int i) const {
    if (useInternal_) {
        if (i < 0 || i >= internal_.Count()) IndexError(i);
        return internal_[i];
    }
    const LRESULT len = Send(msg_.getTextLen, WPARAM(i));
    if (Failed(len)) IndexError(i);
    std::vector<char> text(size_t(len) + 1, '\0');
    if (Failed(Send(msg_.getText, WPARAM(i), LPARAM(text.data())))) IndexError(i);
    return std::string(text.data(), size_t(len));
}

TObject* TXcItemStrings::Objects(int i) const {
    if (useInternal_) {
        if (i < 0 || i >= internal_.Count()) IndexError(i);
        return internal_.Objects(i);
    }
    if (i < 0 || i >= Count()) IndexError(i);
    return reinterpret_cast<TObject*>(Send(msg_.getItemData, WPARAM(i)));
}

void TXcItemStrings::SetObject(int i, TObject* o) {
    if (useInternal_) {
        if (i < 0 || i >= internal_.Count()) IndexError(i);
        internal_.SetObject(i, o);
        return;
    }
    if (Failed(Send(msg_.setItemData, WPARAM(i), LPARAM(o)))) IndexError(i);
}

int TXcItemStrings::Add(const std::string& s, TObject* o) {
    beforeChange();
    if (useInternal_) return internal_.Add(s, o);
    const LRESULT at = Send(msg_.addString, 0, LPARAM(s.c_str()));
    if (Failed(at)) throw EOutOfResources("不能插入行");
    if (o) SetObject(int(at), o);
    return int(at);
}

void TXcItemStrings::Insert(int i, const std::string& s, TObject* o) {
    beforeChange();
    if (useInternal_) {
        internal_.Insert(i, s, o);
        return;
    }
    const LRESULT at = Send(msg_.insertString, WPARAM(i), LPARAM(s.c_str()));
    if (Failed(at)) throw EOutOfResources("不能插入行");
    if (o) SetObject(int(at), o);
}

void TXcItemStrings::Delete(int i) {
    beforeChange();
    if (useInternal_) {
        if (i < 0 || i >= internal_.Count()) IndexError(i);
        internal_.Delete(i);
        return;
    }
    if (Failed(Send(msg_.deleteString, WPARAM(i)))) IndexError(i);
}

void TXcItemStrings::Clear() {
    beforeChange();
    if (useInternal_) {
        internal_.Clear();
        return;
    }
    Send(msg_.resetContent);
}

int TXcItemStrings::IndexOf(const std::string& s) const {
    if (useInternal_) return internal_.IndexOf(s);
    return int(Send(msg_.findStringExact, WPARAM(-1), LPARAM(s.c_str())));
}

void TXcItemStrings::SetUpdateState(bool updating) {
    Send(WM_SETREDRAW, updating ? 0 : 1);
    if (!updating) box_->Invalidate();
}

void TXcItemStrings::MoveToInternal() {
    Send(WM_SETREDRAW, 0);
    internal_.Clear();
    const int n = int(Send(msg_.getCount));
    for (int i = 0; i < n; ++i) internal_.Add(Get(i), Objects(i));
    useInternal_ = true;
    if (UpdateCount() == 0) Send(WM_SETREDRAW, 1);
}

void TXcItemStrings::MoveBack() {
    useInternal_ = false;
    Send(msg_.resetContent);
    while (internal_.Count() > 0) {
        const LRESULT at = Send(msg_.addString, 0, LPARAM(internal_[0].c_str()));
        if (!Failed(at) && internal_.Objects(0)) SetObject(int(at), internal_.Objects(0));
        internal_.Delete(0);
    }
}

std::string TXcListBoxStrings::Get(int i) const {
    if (!virtualData()) return TXcItemStrings::Get(i);
    if (i < 0 || i >= Count()) IndexError(i);
    return list_->DoGetData(i);
}

TObject* TXcListBoxStrings::Objects(int i) const {
    if (!virtualData()) return TXcItemStrings::Objects(i);
    if (i < 0 || i >= Count()) IndexError(i);
    return list_->DoGetDataObject(i);
}

int TXcListBoxStrings::IndexOf(const std::string& s) const {
    return virtualData() ? list_->DoFindData(s) : TXcItemStrings::IndexOf(s);
}

int TXcListBoxStrings::Add(const std::string& s, TObject* o) {
    return virtualData() ? -1 : TXcItemStrings::Add(s, o);
}

void TXcListBoxStrings::Insert(int i, const std::string& s, TObject* o) {
    if (!virtualData()) TXcItemStrings::Insert(i, s, o);
}

void TXcComboBoxStrings::Clear() {
    const std::string text = ReadText ? ReadText() : std::string();
    beforeChange();
    if (useInternal_) {
        internal_.Clear();
        return;
    }
    Send(msg_.resetContent);
    if (WriteText) WriteText(text);
    box_->Invalidate();
}
