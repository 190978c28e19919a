// What a list-like control's consumer carries: the view list, which flattens the provider's
// item tree into rows (levels, expansion, indentation), and the item selection, which keeps
// the selected item by its ID; both follow the provider's notifications. And the read-only
// strings a control shows from the view.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/extended/xcDataProvider.h"

// Optional say in whether an item shows (0 hides it): the context's and the item's own.
class IXcDataContextItemStates {
public:
    virtual ~IXcDataContextItemStates() = default;
    virtual int ItemState(TXcBaseDataItem* item) = 0;
};
class IXcDataItemStates {
public:
    virtual ~IXcDataItemStates() = default;
    virtual int State() = 0;
};

class TXcDataConsumerViewList : public TXcDataConsumerAggregatedObject {
public:
    // Row flags: the level in bits 0-23, then expanded, may have children, has children.
    static constexpr uint32_t kLevelMask = 0xFFFFFF, kExpanded = 1u << 29, kHasSubItems = 1u << 30,
                              kHasChildren = 1u << 31;
    struct Row {
        std::string id;
        uint32_t flags = 0;
    };

    explicit TXcDataConsumerViewList(TXcDataConsumer* consumer);
    std::string ClassName() const override { return "TXcDataConsumerViewList"; }
    int ExpandDepth = 0;
    bool RevealNew = false;
    int LevelIndent() const { return levelIndent_; }
    void SetLevelIndent(int v);

    void AppendRow(int parentRow, TXcBaseDataItem* item, int expandLevels);
    void InsertChildRows(int& row, TXcDataItemsList* list, int expandLevels);
    void InsertChildRow(int parentRow, TXcBaseDataItem* item);
    void InsertRow(int row, int parentRow, TXcBaseDataItem* item);
    void DeleteRow(int row);
    void CollapseRow(int row);
    void SetRowFlags(int row, uint32_t value, uint32_t mask);
    void ClearRows();
    void RebuildRows();
    void RevealItem(TXcBaseDataItem* item);
    void ToggleRow(int row);
    int RowOfItem(TXcBaseDataItem* item) const;
    int RowOfID(const std::string& id) const;
    int SiblingPosOfItem(TXcBaseDataItem* item) const;
    int SiblingPosOfID(const std::string& id) const;
    TXcBaseDataItem* RowItem(int row) const;
    int RowLevel(int row) const { return int(rows_.at(size_t(row)).flags & kLevelMask); }
    bool RowExpanded(int row) const { return (rows_.at(size_t(row)).flags & kExpanded) != 0; }
    bool RowHasChildren(int row) const { return (rows_.at(size_t(row)).flags & kHasChildren) != 0; }
    uint32_t RowFlags(int row) const { return rows_.at(size_t(row)).flags; }
    int RowParent(int row) const;
    TXcBaseDataItem* RowParentItem(int row) const;
    int RowNextSibling(int row) const;
    TXcBaseDataItem* RowNextSiblingItem(int row) const;
    int RowChild(int row, int n) const;
    TXcBaseDataItem* RowChildItem(int row, int n) const;
    // Bit k set: the ancestor at level k has a later sibling (for tree lines).
    std::vector<uint32_t> RowTreeLines(int row) const;
    int RowCount() const { return int(rows_.size()); }
    // Whether the item shows at all (the states of the context and of the item).
    bool Accepts(TXcBaseDataItem* item) const;

    void ProviderChanging(IXcDataProvider* p, unsigned char reason, TObject* source) override;
    void ProviderChanged(IXcDataProvider* p, unsigned char reason, TObject* source) override;
    void ProviderSet() override { RebuildRows(); }
    void ContextSet() override { RebuildRows(); }

private:
    uint32_t flagsFor(TXcBaseDataItem* item, int level) const;
    int endOfSubtree(int row) const;
    std::vector<Row> rows_;
    int levelIndent_ = 16;
};

class TXcDataConsumerItemSelect : public TXcDataConsumerAggregatedObject {
public:
    explicit TXcDataConsumerItemSelect(TXcDataConsumer* consumer)
        : TXcDataConsumerAggregatedObject(consumer) {}
    std::string ClassName() const override { return "TXcDataConsumerItemSelect"; }
    // The selected item's ID ("" when none); setting looks the item up in the consumer's items.
    std::string Item() const;
    void SetItem(const std::string& id);
    TXcBaseDataItem* SelectedItem() const { return item_; }
    void SelectItem(TXcBaseDataItem* item);
    // A value read from a form, applied once loading is done.
    void SetPendingItem(const std::string& id) { pending_ = id; }
    void Loaded() override;
    std::vector<std::pair<std::string, TDfmValue>> Properties() const override;
    // While the owning component loads, the item waits for the provider.
    void SetProperty(const std::string& name, const TDfmValue& v) override;
    void ProviderChanging(IXcDataProvider* p, unsigned char reason, TObject* source) override;
    void ProviderChanged(IXcDataProvider* p, unsigned char reason, TObject* source) override;
    void ProviderSet() override { item_ = nullptr; }

private:
    std::string pending_;
    std::string keptID_;  // while a whole list changes
    TXcBaseDataItem* item_ = nullptr;
};

// The captions of the consumer's view rows as read-only strings: always those of the rows
// the view shows now. Clear, Delete and Insert change nothing (the provider's items are
// changed through the provider).
class TXcConsumerStrings : public TStrings {
public:
    explicit TXcConsumerStrings(TXcDataConsumer* consumer) : consumer_(consumer) {}
    std::string ClassName() const override { return "TXcConsumerStrings"; }
    TXcDataConsumer* Consumer() const { return consumer_; }
    // The view's row count (0 without a view).
    int Count() const override;
    // The row item's caption ("" for an item without text); an index outside raises the
    // list-index error.
    std::string Get(int i) const override;
    void Insert(int, const std::string&, TObject* = nullptr) override {}
    void Delete(int) override {}
    void Clear() override {}

private:
    TXcDataConsumerViewList* view() const;
    TXcDataConsumer* consumer_;
};
