#include "controls/extended/xcDataConsumerView.h"

#include <algorithm>

// ---------------------------------------------------------------- view list

TXcDataConsumerViewList::TXcDataConsumerViewList(TXcDataConsumer* consumer)
    : TXcDataConsumerAggregatedObject(consumer) {}

void TXcDataConsumerViewList::SetLevelIndent(int v) {
    if (v == levelIndent_) return;
    levelIndent_ = v;
    NotifyViewChange(xcfViewLayout);
}

bool TXcDataConsumerViewList::Accepts(TXcBaseDataItem* item) const {
    if (!item) return false;
    int state = 3;
    // The context the provider serves the reading consumer.
    IXcDataProvider* p = item->OwnerList() ? item->OwnerList()->Provider() : nullptr;
    TXcDataContext* context = p ? p->ServedContext() : nullptr;
    if (!context) context = Consumer()->SelectedContext();
    auto* byContext = context ? context->GetInterface<IXcDataContextItemStates>() : nullptr;
    if (byContext) state = byContext->ItemState(item);
    if (!byContext || state == 2 || state == 3)
        if (auto* own = item->GetInterface<IXcDataItemStates>()) state = own->State();
    return state != 0;
}

uint32_t TXcDataConsumerViewList::flagsFor(TXcBaseDataItem* item, int level) const {
    uint32_t f = uint32_t(level) & kLevelMask;
    if (TXcDataItemsList* sub = item->SubItems()) {
        f |= kHasSubItems;
        if (sub->Count() > 0) f |= kHasChildren;
    }
    return f;
}

int TXcDataConsumerViewList::endOfSubtree(int row) const {
    const int level = RowLevel(row);
    int i = row + 1;
    while (i < RowCount() && RowLevel(i) > level) ++i;
    return i;
}

void TXcDataConsumerViewList::SetRowFlags(int row, uint32_t value, uint32_t mask) {
    uint32_t& f = rows_.at(size_t(row)).flags;
    f = (f & ~mask) | (value & mask);
}

void TXcDataConsumerViewList::AppendRow(int parentRow, TXcBaseDataItem* item, int expandLevels) {
    if (!Accepts(item)) return;
    int at = RowCount(), level = 0;
    if (parentRow >= 0) {
        if (RowHasChildren(parentRow) && !RowExpanded(parentRow)) {
            // Expanding the parent shows the new item with the others.
            int r = parentRow + 1;
            InsertChildRows(r, RowItem(parentRow)->SubItems(), 0);
            return;
        }
        at = endOfSubtree(parentRow);
        level = RowLevel(parentRow) + 1;
        SetRowFlags(parentRow, kExpanded | kHasSubItems | kHasChildren,
                    kExpanded | kHasSubItems | kHasChildren);
    }
    rows_.insert(rows_.begin() + at, Row{item->ID(), flagsFor(item, level)});
    if (expandLevels > 0 && (rows_[size_t(at)].flags & kHasChildren)) {
        int r = at + 1;
        InsertChildRows(r, item->SubItems(), expandLevels - 1);
    }
}

void TXcDataConsumerViewList::InsertChildRows(int& row, TXcDataItemsList* list, int expandLevels) {
    if (!list) return;
    const int level = row > 0 ? RowLevel(row - 1) + 1 : 0;
    if (row > 0) SetRowFlags(row - 1, kExpanded, kExpanded);
    for (int i = 0; i < list->Count(); ++i) {
        TXcBaseDataItem* item = list->Item(i);
        if (!Accepts(item)) continue;
        rows_.insert(rows_.begin() + row, Row{item->ID(), flagsFor(item, level)});
        ++row;
        if (expandLevels > 0 && (rows_[size_t(row - 1)].flags & kHasChildren))
            InsertChildRows(row, item->SubItems(), expandLevels - 1);
    }
}

void TXcDataConsumerViewList::InsertChildRow(int parentRow, TXcBaseDataItem* item) {
    if (!Accepts(item)) return;
    if (parentRow < 0) {
        rows_.push_back(Row{item->ID(), flagsFor(item, 0)});
        return;
    }
    if (!RowHasChildren(parentRow))
        SetRowFlags(parentRow, kHasSubItems | kHasChildren, kHasSubItems | kHasChildren);
    if (!RowExpanded(parentRow)) {
        int r = parentRow + 1;
        InsertChildRows(r, RowItem(parentRow)->SubItems(), 0);
        return;
    }
    // Among the shown children at the item's place in its list.
    const int pos = item->OwnerList() ? item->OwnerList()->IndexOf(item) : -1;
    int at = pos >= 0 ? RowChild(parentRow, pos) : -1;
    if (at < 0) at = endOfSubtree(parentRow);
    InsertRow(at, parentRow, item);
}

void TXcDataConsumerViewList::InsertRow(int row, int parentRow, TXcBaseDataItem* item) {
    const int level = parentRow >= 0 ? RowLevel(parentRow) + 1 : 0;
    rows_.insert(rows_.begin() + row, Row{item->ID(), flagsFor(item, level)});
    if (parentRow >= 0) SetRowFlags(parentRow, kExpanded, kExpanded);
}

void TXcDataConsumerViewList::CollapseRow(int row) {
    if (!RowExpanded(row) || !RowHasChildren(row)) return;
    rows_.erase(rows_.begin() + row + 1, rows_.begin() + endOfSubtree(row));
    SetRowFlags(row, 0, kExpanded);
}

void TXcDataConsumerViewList::DeleteRow(int row) {
    CollapseRow(row);
    const int parent = RowParent(row);
    rows_.erase(rows_.begin() + row);
    if (parent >= 0 && RowChild(parent, 0) < 0) SetRowFlags(parent, 0, kExpanded | kHasChildren);
}

void TXcDataConsumerViewList::ClearRows() { rows_.clear(); }

void TXcDataConsumerViewList::RebuildRows() {
    TXcProviderAccess reading(Consumer());
    ClearRows();
    if (TXcDataItemsList* items = Consumer()->Items()) {
        int r = 0;
        InsertChildRows(r, items, ExpandDepth);
    }
    Changed();
}

void TXcDataConsumerViewList::RevealItem(TXcBaseDataItem* item) {
    if (!item || RowOfItem(item) >= 0) return;
    TXcProviderAccess reading(Consumer());
    std::vector<TXcBaseDataItem*> chain;
    for (TXcBaseDataItem* p = item->ParentItem(); p; p = p->ParentItem()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const int row = RowOfItem(*it);
        if (row < 0) throw EXCLDataConsumer(XcDataMessage(65200));
        if (!RowExpanded(row)) {
            if (!RowHasChildren(row))
                SetRowFlags(row, kHasSubItems | kHasChildren, kHasSubItems | kHasChildren);
            ToggleRow(row);
        }
    }
    if (RowOfItem(item) < 0 && Accepts(item)) throw EXCLDataConsumer(XcDataMessage(65200));
}

void TXcDataConsumerViewList::ToggleRow(int row) {
    if (!(RowFlags(row) & kHasSubItems)) return;
    TXcProviderAccess reading(Consumer());
    if (RowExpanded(row)) {
        CollapseRow(row);
    } else {
        int r = row + 1;
        InsertChildRows(r, RowItem(row)->SubItems(), 0);
        SetRowFlags(row, kExpanded, kExpanded);
    }
    Changed();
}

int TXcDataConsumerViewList::RowOfID(const std::string& id) const {
    for (int i = RowCount() - 1; i >= 0; --i)
        if (SameText(rows_[size_t(i)].id, id)) return i;
    return -1;
}

int TXcDataConsumerViewList::RowOfItem(TXcBaseDataItem* item) const {
    return item ? RowOfID(item->ID()) : -1;
}

int TXcDataConsumerViewList::SiblingPosOfID(const std::string& id) const {
    const int row = RowOfID(id);
    if (row < 0) return -1;
    const int level = RowLevel(row);
    int pos = 0;
    for (int i = RowParent(row) + 1; i < row; ++i)
        if (RowLevel(i) == level) ++pos;
    return pos;
}

int TXcDataConsumerViewList::SiblingPosOfItem(TXcBaseDataItem* item) const {
    return item ? SiblingPosOfID(item->ID()) : -1;
}

int TXcDataConsumerViewList::RowParent(int row) const {
    const int level = RowLevel(row);
    for (int i = row - 1; i >= 0; --i)
        if (RowLevel(i) < level) return i;
    return -1;
}

TXcBaseDataItem* TXcDataConsumerViewList::RowItem(int row) const {
    if (row < 0 || row >= RowCount()) return nullptr;
    TXcProviderAccess reading(Consumer());
    const int parent = RowParent(row);
    TXcDataItemsList* list = parent < 0 ? Consumer()->Items() : nullptr;
    if (parent >= 0)
        if (TXcBaseDataItem* p = RowItem(parent)) list = p->SubItems();
    return list ? list->FindByID(rows_[size_t(row)].id, false) : nullptr;
}

TXcBaseDataItem* TXcDataConsumerViewList::RowParentItem(int row) const {
    return RowItem(RowParent(row));
}

int TXcDataConsumerViewList::RowNextSibling(int row) const {
    const int level = RowLevel(row);
    for (int i = row + 1; i < RowCount(); ++i) {
        if (RowLevel(i) < level) return -1;
        if (RowLevel(i) == level) return i;
    }
    return -1;
}

TXcBaseDataItem* TXcDataConsumerViewList::RowNextSiblingItem(int row) const {
    return RowItem(RowNextSibling(row));
}

int TXcDataConsumerViewList::RowChild(int row, int n) const {
    if (row < 0 || row + 1 >= RowCount() || RowLevel(row + 1) != RowLevel(row) + 1) return -1;
    int child = row + 1;
    for (int k = 0; k < n && child >= 0; ++k) child = RowNextSibling(child);
    return child;
}

TXcBaseDataItem* TXcDataConsumerViewList::RowChildItem(int row, int n) const {
    return RowItem(RowChild(row, n));
}

std::vector<uint32_t> TXcDataConsumerViewList::RowTreeLines(int row) const {
    const int level = RowLevel(row);
    std::vector<uint32_t> bits(size_t((level + 31) / 32), 0);
    int r = row;
    for (int k = level - 1; k >= 0; --k) {
        r = RowParent(r);
        if (r >= 0 && RowNextSibling(r) >= 0) bits[size_t(k / 32)] |= 1u << (k % 32);
    }
    return bits;
}

void TXcDataConsumerViewList::ProviderChanging(IXcDataProvider*, unsigned char reason,
                                               TObject* source) {
    if (reason != xcrItemRemoving) return;
    const int row = RowOfItem(dynamic_cast<TXcBaseDataItem*>(source));
    if (row < 0) return;
    DeleteRow(row);
    Changed();
}

void TXcDataConsumerViewList::ProviderChanged(IXcDataProvider*, unsigned char reason,
                                              TObject* source) {
    switch (reason) {
        case xcrItemAdded: {
            auto* item = dynamic_cast<TXcBaseDataItem*>(source);
            if (!item) return;
            TXcBaseDataItem* parent = item->ParentItem();
            if (!parent) {
                InsertChildRow(-1, item);
                Changed();
                return;
            }
            int prow = RowOfItem(parent);
            if (prow < 0 && RevealNew) {
                RevealItem(parent);
                prow = RowOfItem(parent);
            }
            if (prow < 0) return;
            if (!RowExpanded(prow)) {
                if (!RevealNew) {
                    // Hidden under a collapsed parent: the parent now has children.
                    SetRowFlags(prow, kHasSubItems | kHasChildren, kHasSubItems | kHasChildren);
                    Changed();
                    return;
                }
                if (!RowHasChildren(prow))
                    SetRowFlags(prow, kHasSubItems | kHasChildren, kHasSubItems | kHasChildren);
                ToggleRow(prow);
                return;
            }
            InsertChildRow(prow, item);
            Changed();
            return;
        }
        case xcrListChanged:
            // A list emptied or put in another order: the rows are made anew.
            RebuildRows();
            return;
        case xcrItemChanged:
            Changed();
            return;
        default:
            return;
    }
}

// ---------------------------------------------------------------- item selection

std::string TXcDataConsumerItemSelect::Item() const { return item_ ? item_->ID() : std::string(); }

void TXcDataConsumerItemSelect::SetItem(const std::string& id) {
    if (!Consumer()->Provider()) throw EXCLDataConsumer(XcDataMessage(65230));
    if (id.empty()) {
        SelectItem(nullptr);
        return;
    }
    TXcProviderAccess reading(Consumer());
    TXcDataItemsList* items = Consumer()->Items();
    TXcBaseDataItem* found = items ? items->FindByID(id, true) : nullptr;
    if (!found) throw EXCLDataConsumer(XcDataMessage(65231));
    SelectItem(found);
}

void TXcDataConsumerItemSelect::SelectItem(TXcBaseDataItem* item) {
    if (item == item_) return;
    item_ = item;
    Changed();
}

void TXcDataConsumerItemSelect::Loaded() {
    if (pending_.empty()) return;
    const std::string id = pending_;
    pending_.clear();
    SetItem(id);
}

std::vector<std::pair<std::string, TDfmValue>> TXcDataConsumerItemSelect::Properties() const {
    if (!item_) return {};
    TDfmValue v;
    v.kind = TDfmValue::vString;
    v.s = item_->ID();
    return {{"Item", v}};
}

void TXcDataConsumerItemSelect::SetProperty(const std::string& name, const TDfmValue& v) {
    if (!SameText(name, "Item")) throw EReadError("Property " + name + " does not exist");
    TComponent* owner = Consumer()->OwnerComponent();
    if (owner && owner->Loading())
        SetPendingItem(v.AsString());
    else
        SetItem(v.AsString());
}

void TXcDataConsumerItemSelect::ProviderChanging(IXcDataProvider*, unsigned char reason,
                                                 TObject* source) {
    if (reason == xcrItemRemoving) {
        auto* removed = dynamic_cast<TXcBaseDataItem*>(source);
        if (removed && item_ && (removed == item_ || removed->IsAncestorOf(item_)))
            SelectItem(nullptr);
    } else if (reason == xcrListChanged && item_) {
        // A whole list changes (emptied or re-sorted): the selection is kept by its ID.
        keptID_ = item_->ID();
        item_ = nullptr;
    }
}

void TXcDataConsumerItemSelect::ProviderChanged(IXcDataProvider*, unsigned char reason, TObject*) {
    if (reason != xcrListChanged || keptID_.empty()) return;
    TXcDataItemsList* items = Consumer()->Items();
    item_ = items ? items->FindByID(keptID_, true) : nullptr;
    keptID_.clear();
    if (!item_) Changed();
}

// ---------------------------------------------------------------- strings

TXcDataConsumerViewList* TXcConsumerStrings::view() const {
    return consumer_ ? consumer_->GetInterface<TXcDataConsumerViewList>() : nullptr;
}

int TXcConsumerStrings::Count() const {
    TXcDataConsumerViewList* v = view();
    return v ? v->RowCount() : 0;
}

std::string TXcConsumerStrings::Get(int i) const {
    if (i < 0 || i >= Count()) throw EListError("列表索引超过了最大值(" + IntToStr(i) + ")");
    TXcBaseDataItem* item = view()->RowItem(i);
    auto* text = item ? item->GetInterface<IXcDataItemText>() : nullptr;
    return text ? text->Caption() : std::string();
}
