#include "controls/extended/xcDataProvider.h"

#include <algorithm>
#include <cstdlib>
#include <map>

#include "controls/extended/xcDataConsumerView.h"
#include "platform/rtl/hex.h"
#include "platform/user/ownerDraw.h"
#include "platform/win/com.h"
#include "platform/win/guid.h"

std::string XcDataMessage(int id) {
    static const std::map<int, std::string> texts = {
        {65200, "查看列表不同步"},
        {65201, "已有该类工具"},
        {65202, "预期收集"},
        {65203, "缺失的类名称属性"},
        {65204, "类的类型无效"},
        {65218, "(项目不支持 IXcDataItemText 界面)"},
        {65219, "内部错误"},
        {65223, "项目无法被删除"},
        {65224, "已有相同的上下文名称"},
        {65225, "非上下文列表所有者无法创建上下文"},
        {65226, "设置上下文前必须指定一个提供器"},
        {65227, "提供器无名称为 \"%s\" 的上下文"},
        {65228, "提供器不支持上下文"},
        {65229, "指定上下文非同一提供器的一部分"},
        {65230, "设置项目前必须指定一个提供器"},
        {65231, "在选定的上下文中找不到项目"},
    };
    auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
}

namespace {

std::string NewItemID() {
    GUID g;
    CoCreateGuid(&g);
    return HexBytes(std::string_view(reinterpret_cast<const char*>(&g), sizeof g));
}

// The collection entries of a streamed value, checked as "Extensions" and "Items" are read.
const std::vector<std::vector<std::pair<std::string, TDfmValue>>>& EntriesOf(const TDfmValue& v) {
    if (v.kind != TDfmValue::vCollection) throw EReadError(XcDataMessage(65202));
    for (const auto& entry : v.items)
        if (entry.empty() || !SameText(entry.front().first, "ClassName"))
            throw EReadError(XcDataMessage(65203));
    return v.items;
}

TDfmValue StringValue(const std::string& s) {
    TDfmValue v;
    v.kind = TDfmValue::vString;
    v.s = s;
    return v;
}

}  // namespace

void RegisterXcImplementerClass(const std::string& name, TXcImplementerFactory make) {
    RegisterPersistentClass(name, {"TAggregatedPersistentEx", "TPersistent"},
                            [make = std::move(make)](TPersistent* owner) -> TPersistent* {
                                auto* o = dynamic_cast<TExtensibleInterfacedPersistent*>(owner);
                                return o && make ? make(o).release() : nullptr;
                            });
}

bool IsXcImplementerClassRegistered(const std::string& name) {
    return PersistentClassInheritsFrom(name, "TAggregatedPersistentEx");
}

// ---------------------------------------------------------------- foundation

TExtensibleInterfacedPersistent::TExtensibleInterfacedPersistent() = default;

TExtensibleInterfacedPersistent::~TExtensibleInterfacedPersistent() {
    ClearImplementers();
    // Freeing an object that somebody still holds is a fault of the program.
    if (refCount_ > 0 && !std::uncaught_exceptions()) std::abort();
}

void TExtensibleInterfacedPersistent::AfterConstruction() {
    CreateStandardImplementers();
    --refCount_;
}

int TExtensibleInterfacedPersistent::AddRef() { return ++refCount_; }

int TExtensibleInterfacedPersistent::Release() {
    const int n = --refCount_;
    if (n == 0) delete this;
    return n;
}

void TExtensibleInterfacedPersistent::RemoveImplementer(TAggregatedPersistentEx* impl) {
    auto it = std::find_if(implementers_.begin(), implementers_.end(),
                           [&](auto& p) { return p.get() == impl; });
    if (it != implementers_.end()) implementers_.erase(it);
}

void TExtensibleInterfacedPersistent::ClearImplementers() {
    while (!implementers_.empty()) implementers_.pop_back();
}

bool TExtensibleInterfacedPersistent::IsStreamable(const TAggregatedPersistentEx& impl) const {
    return IsPersistentClassRegistered(impl.ClassName());
}

bool TExtensibleInterfacedPersistent::HasExtensions() const {
    return std::any_of(implementers_.begin(), implementers_.end(),
                       [&](auto& i) { return IsStreamable(*i); });
}

TDfmValue TExtensibleInterfacedPersistent::WriteExtensions() const {
    TDfmValue v;
    v.kind = TDfmValue::vCollection;
    for (const auto& impl : implementers_) {
        if (!IsStreamable(*impl)) continue;
        std::vector<std::pair<std::string, TDfmValue>> entry{
            {"ClassName", StringValue(impl->ClassName())}};
        for (auto& p : impl->Properties()) entry.push_back(p);
        v.items.push_back(std::move(entry));
    }
    return v;
}

void TExtensibleInterfacedPersistent::ReadExtensions(const TDfmValue& v) {
    XcRef<TExtensibleInterfacedPersistent> hold(this);  // held while reading
    for (const auto& entry : EntriesOf(v)) {
        const std::string name = entry.front().second.s;
        if (!PersistentClassInheritsFrom(name, "TAggregatedPersistentEx"))
            throw EReadError(XcDataMessage(65204));
        TAggregatedPersistentEx* target = nullptr;
        for (auto& i : implementers_)
            if (SameText(i->ClassName(), name)) target = i.get();
        if (!target) {
            std::unique_ptr<TPersistent> any(CreatePersistent(name, this));
            std::unique_ptr<TAggregatedPersistentEx> made(
                dynamic_cast<TAggregatedPersistentEx*>(any.get()));
            if (!made) throw EReadError(XcDataMessage(65204));
            (void)any.release();
            target = made.get();
            implementers_.push_back(std::move(made));
            ImplementerAdded(target);
        }
        for (size_t k = 1; k < entry.size(); ++k)
            target->SetProperty(entry[k].first, entry[k].second);
    }
}

// ---------------------------------------------------------------- items

TXcBaseDataItem::TXcBaseDataItem(TXcDataItemsList* owner) : list_(owner), id_(NewItemID()) {}

void TXcBaseDataItem::CreateStandardImplementers() {
    AddImplementer(std::make_unique<TXcDataItemTextImpl>(this));
    AddImplementer(std::make_unique<TXcDataItemImageImpl>(this));
    AddImplementer(std::make_unique<TXcBaseDataItemSubItems>(this));
}

int TXcBaseDataItem::AddRef() {
    if (list_ && !list_->DynamicItems()) return -1;
    return TExtensibleInterfacedPersistent::AddRef();
}

int TXcBaseDataItem::Release() {
    if (list_ && !list_->DynamicItems()) return -1;
    return TExtensibleInterfacedPersistent::Release();
}

TXcBaseDataItem* TXcBaseDataItem::ParentItem() const {
    return list_ ? list_->ParentItem() : nullptr;
}

bool TXcBaseDataItem::IsAncestorOf(const TXcBaseDataItem* other) const {
    for (const TXcBaseDataItem* p = other ? other->ParentItem() : nullptr; p; p = p->ParentItem())
        if (p == this) return true;
    return false;
}

TXcDataItemsList* TXcBaseDataItem::SubItems() {
    auto* s = GetInterface<TXcBaseDataItemSubItems>();
    return s ? s->Items() : nullptr;
}

bool TXcBaseDataItem::CanDelete() {
    bool allow = true;
    for (auto& i : implementers_)
        if (auto* n = dynamic_cast<IXcItemImplementerNotify*>(i.get()))
            allow = n->AllowDelete() && allow;
    return allow;
}

void TXcBaseDataItem::Notify() {
    for (size_t i = 0; i < implementers_.size(); ++i)
        if (auto* n = dynamic_cast<IXcItemImplementerNotify*>(implementers_[i].get())) n->Notify();
}

std::vector<std::pair<std::string, TDfmValue>> TXcBaseDataItem::Properties() const {
    std::vector<std::pair<std::string, TDfmValue>> p{{"ID", StringValue(id_)}};
    for (auto& i : implementers_)
        for (auto& q : i->Properties()) p.push_back(q);
    return p;
}

void TXcBaseDataItem::SetProperty(const std::string& name, const TDfmValue& v) {
    if (SameText(name, "ID")) {
        id_ = v.s;
        return;
    }
    if (SameText(name, "SubItems")) {
        if (TXcDataItemsList* s = SubItems()) s->ReadItems(v);
        return;
    }
    // A name that no implementer publishes is a fault of the stream, not a value to drop.
    const auto known = Properties();
    if (std::none_of(known.begin(), known.end(), [&](auto& p) { return SameText(p.first, name); }))
        throw EReadError("Property " + name + " does not exist");
    for (auto& i : implementers_) i->SetProperty(name, v);
}

void TXcDataItemTextImpl::SetCaption(const std::string& s) {
    if (s == caption_) return;
    auto* item = static_cast<TXcBaseDataItem*>(Owner());
    IXcDataProvider* p = item->OwnerList() ? item->OwnerList()->Provider() : nullptr;
    if (p) p->Changing(xcrItemChanged, item);
    caption_ = s;
    if (p) p->Changed(xcrItemChanged, item);
}

std::vector<std::pair<std::string, TDfmValue>> TXcDataItemTextImpl::Properties() const {
    return {{"Caption", StringValue(caption_)}};
}

void TXcDataItemTextImpl::SetProperty(const std::string& name, const TDfmValue& v) {
    if (SameText(name, "Caption")) caption_ = v.s;
}

namespace {
template <class T>
void SetNotified(TAggregatedPersistentEx* impl, T& field, T value) {
    if (field == value) return;
    auto* item = static_cast<TXcBaseDataItem*>(impl->Owner());
    IXcDataProvider* p = item->OwnerList() ? item->OwnerList()->Provider() : nullptr;
    if (p) p->Changing(xcrItemChanged, item);
    field = value;
    if (p) p->Changed(xcrItemChanged, item);
}
}  // namespace

void TXcDataItemImageImpl::SetImageIndex(int i) { SetNotified(this, imageIndex_, i); }
void TXcDataItemImageImpl::SetSelectedIndex(int i) { SetNotified(this, selectedIndex_, i); }
void TXcDataItemImageImpl::SetAlignment(TAlignment a) { SetNotified(this, alignment_, a); }

namespace {
const char* const kAlignmentNames[] = {"taLeftJustify", "taRightJustify", "taCenter"};
TDfmValue IntValue(int i) {
    TDfmValue v;
    v.i = i;
    return v;
}
}  // namespace

std::vector<std::pair<std::string, TDfmValue>> TXcDataItemImageImpl::Properties() const {
    TDfmValue a;
    a.kind = TDfmValue::vIdent;
    a.s = kAlignmentNames[std::clamp(int(alignment_), 0, 2)];
    return {{"Alignment", a},
            {"ImageIndex", IntValue(imageIndex_)},
            {"SelectedIndex", IntValue(selectedIndex_)}};
}

void TXcDataItemImageImpl::SetProperty(const std::string& name, const TDfmValue& v) {
    if (SameText(name, "Alignment"))
        alignment_ = IdentOf<TAlignment>(v, {"taLeftJustify", "taRightJustify", "taCenter"});
    else if (SameText(name, "ImageIndex"))
        imageIndex_ = v.AsInt();
    else if (SameText(name, "SelectedIndex"))
        selectedIndex_ = v.AsInt();
}

TXcBaseDataItemSubItems::TXcBaseDataItemSubItems(TExtensibleInterfacedPersistent* owner)
    : TAggregatedPersistentEx(owner) {
    auto* item = static_cast<TXcBaseDataItem*>(owner);
    IXcDataProvider* p = item->OwnerList() ? item->OwnerList()->Provider() : nullptr;
    items_ = XcCreate<TXcDataItemsList>(p, item);
    items_->AddRef();
}

TXcBaseDataItemSubItems::~TXcBaseDataItemSubItems() { items_->Release(); }

// ---------------------------------------------------------------- item lists

TXcDataItemsList::TXcDataItemsList(IXcDataProvider* provider, TXcBaseDataItem* parentItem)
    : provider_(provider), parent_(parentItem) {}

TXcDataItemsList::~TXcDataItemsList() {
    // The items go with the list (they are not counted).
    items_.clear();
}

void TXcDataItemsList::CreateStandardImplementers() {
    AddImplementer(std::make_unique<TXcBaseDataItemsListManagement>(this));
}

void TXcDataItemsList::Tell(bool changing, unsigned char reason, TXcBaseDataItem* item) {
    if (!provider_) return;
    if (changing)
        provider_->Changing(reason, item ? static_cast<TObject*>(item) : this);
    else
        provider_->Changed(reason, item ? static_cast<TObject*>(item) : this);
}

TXcBaseDataItem* TXcDataItemsList::Item(int i) const {
    if (i < 0 || i >= Count()) throw EXCLDataItems("列表索引超过了最大值(" + IntToStr(i) + ")");
    return items_[size_t(i)].get();
}

int TXcDataItemsList::IndexOf(const TXcBaseDataItem* item) const {
    for (int i = 0; i < Count(); ++i)
        if (items_[size_t(i)].get() == item) return i;
    return -1;
}

void TXcDataItemsList::InsertItem(int index, TXcBaseDataItem* item) {
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, std::unique_ptr<TXcBaseDataItem>(item));
}

std::unique_ptr<TXcBaseDataItem> TXcDataItemsList::TakeItem(int index) {
    (void)Item(index);  // raises for an index outside the list
    std::unique_ptr<TXcBaseDataItem> gone = std::move(items_[size_t(index)]);
    items_.erase(items_.begin() + index);
    return gone;
}

void TXcDataItemsList::ClearItems() { items_.clear(); }

void TXcDataItemsList::MoveItem(int from, int to) {
    auto item = std::move(items_[size_t(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
}

namespace {
IXcDataItemsManagement& ManagementOf(TXcDataItemsList& list) {
    auto* m = list.GetInterface<IXcDataItemsManagement>();
    if (!m) throw EXCLDataItems(XcDataMessage(65223));
    return *m;
}
// The list that holds the parent item of a list's items (null at the root).
TXcDataItemsList* EnclosingList(TXcDataItemsList* list) {
    return list->ParentItem() ? list->ParentItem()->OwnerList() : nullptr;
}
}  // namespace

TXcBaseDataItem* TXcDataItemsList::Add(const std::string& caption) {
    return ManagementOf(*this).Add(caption);
}
void TXcDataItemsList::Delete(int index) { ManagementOf(*this).Delete(index); }
void TXcDataItemsList::Remove(TXcBaseDataItem* item) { ManagementOf(*this).Remove(item); }
void TXcDataItemsList::Clear() { ManagementOf(*this).Clear(); }
void TXcDataItemsList::Move(int from, int to) { ManagementOf(*this).Move(from, to); }

IXcDataItemsRenderer* TXcDataItemsList::Renderer() {
    for (TXcDataItemsList* l = this; l; l = EnclosingList(l))
        if (auto* r = l->GetInterface<IXcDataItemsRenderer>()) return r;
    return nullptr;
}

IXcDataItemsImages* TXcDataItemsList::Images() {
    for (TXcDataItemsList* l = this; l; l = EnclosingList(l))
        if (auto* i = l->GetInterface<IXcDataItemsImages>()) return i;
    return nullptr;
}

// ---------------------------------------------------------------- management

TXcBaseDataItem* TXcBaseDataItemsListManagement::Add(const std::string& caption) {
    TXcDataItemsList& l = list();
    TXcBaseDataItem* item = XcCreate<TXcBaseDataItem>(&l);
    l.InsertItem(l.Count(), item);
    // The new item's caption is part of its addition: set as a stored value is.
    if (auto* t = item->GetInterface<TXcDataItemTextImpl>()) {
        TDfmValue v;
        v.kind = TDfmValue::vString;
        v.s = caption;
        t->SetProperty("Caption", v);
    }
    l.Tell(false, xcrItemAdded, item);
    return item;
}

void TXcBaseDataItemsListManagement::Delete(int index) { Remove(list().Item(index)); }

void TXcBaseDataItemsListManagement::Remove(TXcBaseDataItem* item) {
    TXcDataItemsList& l = list();
    const int i = l.IndexOf(item);
    if (i < 0) return;
    if (!item->CanDelete()) throw EXCLDataItems(XcDataMessage(65223));
    l.Tell(true, xcrItemRemoving, item);
    std::unique_ptr<TXcBaseDataItem> gone = l.TakeItem(i);
    l.Tell(false, xcrItemRemoving, gone.get());
}

void TXcBaseDataItemsListManagement::Clear() {
    TXcDataItemsList& l = list();
    l.Tell(true, xcrListChanged, nullptr);
    l.ClearItems();
    l.Tell(false, xcrListChanged, nullptr);
}

void TXcBaseDataItemsListManagement::Move(int from, int to) {
    TXcDataItemsList& l = list();
    if (from < 0 || from >= l.Count() || to < 0 || to >= l.Count() || from == to) return;
    l.Tell(true, xcrListChanged, nullptr);
    l.MoveItem(from, to);
    l.Tell(false, xcrListChanged, nullptr);
}

// ---------------------------------------------------------------- images

// Hears of the image lists being freed, whoever owns them.
class TXcCustomDataItemsImages::TWatcher : public TComponent {
public:
    explicit TWatcher(TXcCustomDataItemsImages* images) : TComponent(nullptr), images_(images) {}
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == opRemove) images_->freed(c);
    }

private:
    TXcCustomDataItemsImages* images_;
};

TXcCustomDataItemsImages::TXcCustomDataItemsImages(TExtensibleInterfacedPersistent* owner)
    : TAggregatedPersistentEx(owner), watcher_(std::make_unique<TWatcher>(this)) {}

TXcCustomDataItemsImages::~TXcCustomDataItemsImages() {
    for (TComponent* c : watched_)
        if (c) unwatch(c);
}

void TXcCustomDataItemsImages::watch(TComponent* c) { watcher_->FreeNotification(c); }
void TXcCustomDataItemsImages::unwatch(TComponent* c) { watcher_->RemoveFreeNotification(c); }

void TXcCustomDataItemsImages::set(int which, TCustomImageList* l) {
    if (lists_[which] == l) return;
    auto* list = dynamic_cast<TXcDataItemsList*>(Owner());
    if (list) list->Tell(true, xcrListChanged, nullptr);
    TComponent* old = watched_[which];
    lists_[which] = l;
    watched_[which] = l;
    // The watcher stays registered with a list while any of the three refers to it.
    if (old && std::find(std::begin(watched_), std::end(watched_), old) == std::end(watched_))
        unwatch(old);
    if (l) watch(watched_[which]);
    if (list) list->Tell(false, xcrListChanged, nullptr);
}

// `c` is going: only its component part is left, so it is compared as a component.
void TXcCustomDataItemsImages::freed(TComponent* c) {
    for (int which = 0; which < 3; ++which)
        if (watched_[which] == c) set(which, nullptr);
}

namespace {
const char* const kImageListNames[] = {"Images", "HotImages", "DisabledImages"};
}  // namespace

std::vector<std::pair<std::string, TDfmValue>> TXcCustomDataItemsImages::Properties() const {
    std::vector<std::pair<std::string, TDfmValue>> p;
    for (int which = 0; which < 3; ++which) {
        if (!lists_[which]) continue;
        TDfmValue v;
        v.kind = TDfmValue::vIdent;
        v.s = lists_[which]->Name;
        p.emplace_back(kImageListNames[which], v);
    }
    return p;
}

void TXcCustomDataItemsImages::SetProperty(const std::string& name, const TDfmValue& v) {
    for (int which = 0; which < 3; ++which) {
        if (!SameText(name, kImageListNames[which])) continue;
        if (v.s.empty() || SameText(v.s, "nil")) return set(which, nullptr);
        // The list may be declared further down the form: bound once every component exists.
        ResolveReferenceLater(v.s, [this, which, target = v.s](TComponent* found) {
            auto* l = dynamic_cast<TCustomImageList*>(found);
            if (!l) throw EReadError("Invalid property value: " + target);
            set(which, l);
        });
        return;
    }
    throw EReadError("Property " + name + " does not exist");
}

TXcBaseDataItem* TXcDataItemsList::FindByID(const std::string& id, bool recursive) const {
    for (const auto& i : items_)
        if (SameText(i->ID(), id)) return i.get();
    if (!recursive) return nullptr;
    for (auto it = items_.rbegin(); it != items_.rend(); ++it)
        if (TXcDataItemsList* sub = (*it)->SubItems())
            if (TXcBaseDataItem* found = sub->FindByID(id, true)) return found;
    return nullptr;
}

TXcBaseDataItem* TXcDataItemsList::FindByIndexPath(const std::vector<int>& path) const {
    const TXcDataItemsList* list = this;
    TXcBaseDataItem* item = nullptr;
    for (int index : path) {
        if (!list || index < 0 || index >= list->Count()) return nullptr;
        item = list->Item(index);
        list = item->SubItems();
    }
    return item;
}

namespace {

// Follows a path of names split by "/" or "\\" through nested lists: a leading separator starts
// at `root`, ".." climbs to the list that holds the parent, a name (any case) takes the last
// entry of that name. Null where a name is missing. `Steps` says how lists and entries link.
template <class Steps, class List>
auto WalkPath(const List* list, const List* root, const std::string& path) {
    decltype(Steps::At(list, 0)) found = nullptr;
    size_t pos = 0;
    if (!path.empty() && (path[0] == '/' || path[0] == '\\')) {
        list = root;
        pos = 1;
    }
    while (pos <= path.size()) {
        const size_t end = path.find_first_of("/\\", pos);
        const std::string seg =
            path.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        if (seg == "..") {
            auto* parent = list ? Steps::Parent(list) : nullptr;
            list = parent ? Steps::Owner(parent) : nullptr;
            found = list ? Steps::Parent(list) : nullptr;
        } else if (!seg.empty()) {
            found = nullptr;
            for (int i = list ? list->Count() - 1 : -1; i >= 0 && !found; --i)
                if (SameText(Steps::Name(Steps::At(list, i)), seg)) found = Steps::At(list, i);
            if (!found) return found;
            list = Steps::Children(found);
        }
        if (end == std::string::npos) break;
        pos = end + 1;
    }
    return found;
}

struct TItemSteps {
    static TXcBaseDataItem* At(const TXcDataItemsList* l, int i) { return l->Item(i); }
    static TXcBaseDataItem* Parent(const TXcDataItemsList* l) { return l->ParentItem(); }
    static TXcDataItemsList* Owner(const TXcBaseDataItem* item) { return item->OwnerList(); }
    static std::string Name(const TXcBaseDataItem* item) { return item->ID(); }
    static TXcDataItemsList* Children(TXcBaseDataItem* item) { return item->SubItems(); }
};

struct TContextSteps {
    static TXcDataContext* At(const TXcDataContexts* l, int i) { return l->Context(i); }
    static TXcDataContext* Parent(const TXcDataContexts* l) { return l->ParentContext(); }
    static TXcDataContexts* Owner(const TXcDataContext* c) { return c->List(); }
    static std::string Name(const TXcDataContext* c) { return c->Name(); }
    static TXcDataContexts* Children(TXcDataContext* c) { return c->SubContexts(); }
};

}  // namespace

TXcBaseDataItem* TXcDataItemsList::FindByPath(const std::string& path) const {
    return WalkPath<TItemSteps>(this, provider_ ? provider_->RootItems() : this, path);
}

TDfmValue TXcDataItemsList::WriteItems() const {
    TDfmValue v;
    v.kind = TDfmValue::vCollection;
    for (const auto& item : items_) {
        if (!IsPersistentClassRegistered(item->ClassName())) continue;
        std::vector<std::pair<std::string, TDfmValue>> entry{
            {"ClassName", StringValue(item->ClassName())}};
        for (auto& p : item->Properties()) entry.push_back(p);
        if (TXcDataItemsList* sub = item->SubItems(); sub && sub->Count() > 0)
            entry.push_back({"SubItems", sub->WriteItems()});
        v.items.push_back(std::move(entry));
    }
    return v;
}

void TXcDataItemsList::ReadItems(const TDfmValue& v) {
    for (const auto& entry : EntriesOf(v)) {
        const std::string& name = entry.front().second.s;
        if (!PersistentClassInheritsFrom(name, "TXcBaseDataItem"))
            throw EReadError(XcDataMessage(65204));
        std::unique_ptr<TPersistent> made(CreatePersistent(name, this));
        auto* item = dynamic_cast<TXcBaseDataItem*>(made.get());
        if (!item) throw EReadError(XcDataMessage(65204));
        (void)made.release();
        items_.emplace_back(item);
        for (size_t k = 1; k < entry.size(); ++k)
            item->SetProperty(entry[k].first, entry[k].second);
    }
}

// ---------------------------------------------------------------- text rendering

std::string TXcCustomDataItemsTextRenderer::TextOf(TXcBaseDataItem* item) {
    auto* t = item ? item->GetInterface<IXcDataItemText>() : nullptr;
    return t ? t->Caption() : XcDataMessage(65218);
}

void TXcBaseDataItemsRenderer::DrawItemIndex(TCanvas& c, int index, const TRect& r,
                                             TOwnerDrawState state) {
    DrawItem(c, list().Item(index), r, state);
}

SIZE TXcBaseDataItemsRenderer::MeasureItemIndex(TCanvas& c, int index) {
    if (index == -1) return AverageItemSize(c);
    return MeasureItem(c, list().Item(index));
}

namespace {

// The picture an item shows in a state: the list it comes from (null when none), its index
// and whether it is drawn greyed (disabled, with no list of disabled pictures).
TCustomImageList* PictureOf(TXcBaseDataItem* item, TOwnerDrawState state, int& index,
                            TAlignment& alignment, bool& greyed) {
    auto* image = item ? item->GetInterface<IXcDataItemImage>() : nullptr;
    auto* images = item && item->OwnerList() ? item->OwnerList()->Images() : nullptr;
    if (!image || !images) return nullptr;
    index = (state & ODS_SELECTED) && image->SelectedIndex() >= 0 ? image->SelectedIndex()
                                                                  : image->ImageIndex();
    alignment = image->Alignment();
    const bool disabled = (state & (ODS_DISABLED | ODS_GRAYED)) != 0;
    TCustomImageList* l = images->Images();
    greyed = disabled;
    if (disabled && images->DisabledImages()) {
        l = images->DisabledImages();
        greyed = false;
    } else if ((state & ODS_HOTLIGHT) && images->HotImages()) {
        l = images->HotImages();
    }
    return l && index >= 0 && index < l->Count() ? l : nullptr;
}

constexpr int kPictureGap = 2;  // between the picture and the text

}  // namespace

void TXcCustomDataItemsTextRenderer::DrawItem(TCanvas& c, TXcBaseDataItem* item, const TRect& r,
                                              TOwnerDrawState state) {
    const std::string text = TextOf(item);
    int index = -1;
    TAlignment alignment = taLeftJustify;
    bool greyed = false;
    TCustomImageList* pictures = PictureOf(item, state, index, alignment, greyed);
    if (!pictures) {
        c.TextRect(r, r.Left, r.Top, text);
        return;
    }
    const int w = pictures->Width(), h = pictures->Height();
    const int y = r.Top + (r.Height() - h) / 2;
    int x = r.Left, textLeft = r.Left + w + kPictureGap;
    if (alignment == taRightJustify) {
        x = r.Right - w;
        textLeft = r.Left;
    } else if (alignment == taCenter) {
        const int whole = w + kPictureGap + c.TextWidth(text);
        x = r.Left + std::max(0, (r.Width() - whole) / 2);
        textLeft = x + w + kPictureGap;
    }
    TRect textRect = r;
    if (alignment == taRightJustify)
        textRect.Right = std::max(r.Left, x - kPictureGap);
    else
        textRect.Left = std::min(r.Right, textLeft);
    c.TextRect(textRect, textRect.Left, r.Top, text);
    pictures->Draw(&c, x, y, index, !greyed);
}

SIZE TXcCustomDataItemsTextRenderer::MeasureItem(TCanvas& c, TXcBaseDataItem* item) {
    const std::string t = TextOf(item);
    SIZE size{c.TextWidth(t), c.TextHeight(t)};
    int index = -1;
    TAlignment alignment = taLeftJustify;
    bool greyed = false;
    if (TCustomImageList* pictures = PictureOf(item, 0, index, alignment, greyed)) {
        size.cx += pictures->Width() + kPictureGap;
        size.cy = std::max<LONG>(size.cy, pictures->Height());
    }
    return size;
}

SIZE TXcCustomDataItemsTextRenderer::AverageItemSize(TCanvas& c) {
    const std::string t = "WyWyWyWyWyWyWyWyWyWy";
    return SIZE{c.TextWidth(t), c.TextHeight(t)};
}

void XcDrawDataItem(TCanvas& c, TXcBaseDataItem* item, const TRect& r, TOwnerDrawState state) {
    if (auto* own = item ? item->GetInterface<IXcDataItemRenderer>() : nullptr) {
        own->DrawItem(c, r, state);
        return;
    }
    IXcDataItemsRenderer* renderer =
        item && item->OwnerList() ? item->OwnerList()->Renderer() : nullptr;
    if (renderer)
        renderer->DrawItem(c, item, r, state);
    else
        c.TextRect(r, r.Left, r.Top, TXcCustomDataItemsTextRenderer::TextOf(item));
}

SIZE XcMeasureDataItem(TCanvas& c, TXcBaseDataItem* item) {
    if (auto* own = item ? item->GetInterface<IXcDataItemRenderer>() : nullptr)
        return own->MeasureItem(c);
    IXcDataItemsRenderer* renderer =
        item && item->OwnerList() ? item->OwnerList()->Renderer() : nullptr;
    if (renderer) return renderer->MeasureItem(c, item);
    const std::string t = TXcCustomDataItemsTextRenderer::TextOf(item);
    return SIZE{c.TextWidth(t), c.TextHeight(t)};
}

// ---------------------------------------------------------------- contexts

TXcDataContext::TXcDataContext(TXcDataContexts* list, const std::string& name)
    : list_(list), name_(name) {
    if (!list) throw EXCLDataContexts(XcDataMessage(65225));
}

void TXcDataContext::SetName(const std::string& n) {
    if (n == name_) return;
    if (list_->IndexOfName(n) >= 0) throw EXCLDataContexts(XcDataMessage(65224));
    name_ = n;
}

TXcDataContexts* TXcDataContext::SubContexts() {
    if (!sub_) sub_ = XcRef<TXcDataContexts>(XcCreate<TXcDataContexts>(list_->Provider(), this));
    return sub_.get();
}

TXcManagedDataContext::TXcManagedDataContext(TXcDataContexts* list, const std::string& name)
    : TXcDataContext(list, name),
      items_(XcCreate<TXcDataItemsList>(list ? list->Provider() : nullptr, nullptr)) {
    items_->AddRef();
    items_->AddImplementer(std::make_unique<TXcCustomDataItemsTextRenderer>(items_));
}

TXcManagedDataContext::~TXcManagedDataContext() { items_->Release(); }

int TXcDataContexts::IndexOfName(const std::string& name) const {
    for (int i = Count() - 1; i >= 0; --i)
        if (contexts_[size_t(i)]->Name() == name) return i;
    return -1;
}

void TXcDataContexts::Add(TXcDataContext* context) {
    const int at = IndexOfName(context->Name());
    if (at >= 0) {
        if (contexts_[size_t(at)].get() == context) return;
        throw EXCLDataContexts(XcDataMessage(65224));
    }
    if (provider_) provider_->Changing(xcrContextAdded, context);
    contexts_.emplace_back(context);
    if (provider_) provider_->Changed(xcrContextAdded, context);
}

bool TXcDataContexts::Remove(TXcDataContext* context) {
    for (size_t i = 0; i < contexts_.size(); ++i) {
        if (contexts_[i].get() != context) continue;
        if (!context->AllowsRemoval()) return false;
        XcRef<TXcDataContext> hold(context);
        if (provider_) provider_->Changing(xcrContextRemoved, context);
        contexts_.erase(contexts_.begin() + long(i));
        if (provider_) provider_->Changed(xcrContextRemoved, context);
        return true;
    }
    return false;
}

void TXcDataContexts::Clear() { contexts_.clear(); }

TXcDataContext* TXcDataContexts::Find(const std::string& path) const {
    return WalkPath<TContextSteps>(
        this, provider_ && provider_->Contexts() ? provider_->Contexts() : this, path);
}

// ---------------------------------------------------------------- a provider

TXcDataProviderBase::TXcDataProviderBase() {
    root_ = XcCreate<TXcDataItemsList>(this, nullptr);
    root_->AddRef();
    root_->AddImplementer(std::make_unique<TXcCustomDataItemsTextRenderer>(root_));
}

TXcDataProviderBase::~TXcDataProviderBase() {
    for (TXcDataConsumer* c : std::vector<TXcDataConsumer*>(consumers_)) c->SetProvider(nullptr);
    contexts_ = XcRef<TXcDataContexts>();
    root_->Release();
}

void TXcDataProviderBase::EnableContexts() {
    if (!contexts_) contexts_ = XcRef<TXcDataContexts>(XcCreate<TXcDataContexts>(this, nullptr));
}

void TXcDataProviderBase::Subscribe(TXcDataConsumer* c) {
    if (std::find(consumers_.begin(), consumers_.end(), c) == consumers_.end())
        consumers_.push_back(c);
}

void TXcDataProviderBase::Unsubscribe(TXcDataConsumer* c) {
    consumers_.erase(std::remove(consumers_.begin(), consumers_.end(), c), consumers_.end());
}

void TXcDataProviderBase::Announce(TXcDataConsumer* c, TXcDataContext* context) {
    readers_.emplace_back(c, context);
}

void TXcDataProviderBase::Withdraw(TXcDataConsumer* c) {
    for (auto it = readers_.rbegin(); it != readers_.rend(); ++it)
        if (it->first == c) {
            readers_.erase(std::next(it).base());
            return;
        }
}

TXcDataContext* TXcDataProviderBase::ServedContext() const {
    return readers_.empty() ? nullptr : readers_.back().second;
}

void TXcDataProviderBase::Changing(unsigned char reason, TObject* source) {
    for (TXcDataConsumer* c : std::vector<TXcDataConsumer*>(consumers_))
        c->ProviderChanging(reason, source);
}

void TXcDataProviderBase::Changed(unsigned char reason, TObject* source) {
    for (TXcDataConsumer* c : std::vector<TXcDataConsumer*>(consumers_))
        c->ProviderChanged(reason, source);
}

// ---------------------------------------------------------------- consumer

TXcDataConsumerAggregatedObject::TXcDataConsumerAggregatedObject(TXcDataConsumer* consumer)
    : TAggregatedPersistentEx(consumer) {}

TXcDataConsumer* TXcDataConsumerAggregatedObject::Consumer() const {
    return static_cast<TXcDataConsumer*>(Owner());
}

void TXcDataConsumerAggregatedObject::Changed() { Consumer()->ImplementerChanged(this); }

void TXcDataConsumerAggregatedObject::NotifyViewChange(unsigned flags) {
    Consumer()->NotifyChange(flags);
}

TXcDataConsumer::TXcDataConsumer(TComponent* owner, const std::vector<int>& attributes)
    : owner_(owner) {
    for (int a : attributes)
        if (!HasAttribute(a)) attributes_.push_back(a);
}

TXcDataConsumer::~TXcDataConsumer() {
    // The provider forgets the consumer; its control hears nothing more.
    if (announcedTo_) announcedTo_->Withdraw(this);
    if (provider_) provider_->Unsubscribe(this);
    provider_ = nullptr;
    context_ = XcRef<TXcDataContext>();
    ClearImplementers();
}

void TXcDataConsumer::CreateStandardImplementers() {}

bool TXcDataConsumer::HasAttribute(int a) const {
    return std::find(attributes_.begin(), attributes_.end(), a) != attributes_.end();
}

void TXcDataConsumer::ImplementerAdded(TAggregatedPersistentEx* impl) {
    forEachConsumerImpl([&](TXcDataConsumerAggregatedObject* o) {
        if (o != impl) o->OtherAdded(impl);
    });
    if (auto* link = dynamic_cast<IXcComponentLink*>(impl)) link->SetLinkedComponent(owner_);
    if (OnImplementerAdded) OnImplementerAdded(impl);
}

void TXcDataConsumer::BeginProviderAccess() {
    ++accessDepth_;
    if (announcedTo_ || !provider_) return;
    announcedTo_ = provider_;
    announcedTo_->Announce(this, context_.get());
}

void TXcDataConsumer::EndProviderAccess() {
    if (--accessDepth_ > 0 || !announcedTo_) return;
    IXcDataProvider* p = announcedTo_;
    announcedTo_ = nullptr;
    p->Withdraw(this);
}

void TXcDataConsumer::NotifyChange(unsigned flags) {
    // The view's layout is part of what the control draws.
    if (flags & xcfViewLayout)
        if (auto* control = dynamic_cast<TControl*>(owner_)) control->Invalidate();
    for (auto* s : std::vector<std::function<void(unsigned)>*>(subscribers_))
        if (*s) (*s)(flags);
}

void TXcDataConsumer::beforeChange(TXcConsumerChange k) {
    if (OnBeforeChange) OnBeforeChange(k);
}

void TXcDataConsumer::afterChange(TXcConsumerChange k) {
    if (OnAfterChange) OnAfterChange(k);
    if (auto* control = dynamic_cast<TControl*>(owner_)) control->Invalidate();
    NotifyChange(xcfConsumerChanged);
}

void TXcDataConsumer::SetProvider(IXcDataProvider* p) {
    if (p == provider_) return;
    beforeChange(cckProvider);
    // A read still going on ends for the provider that goes (it may be going away).
    if (announcedTo_) announcedTo_->Withdraw(this);
    announcedTo_ = nullptr;
    if (provider_) provider_->Unsubscribe(this);
    context_ = XcRef<TXcDataContext>();
    provider_ = p;
    if (provider_) provider_->Subscribe(this);
    // Implementers that cannot work with the new provider go.
    for (int i = int(implementers_.size()) - 1; i >= 0; --i) {
        auto* o = dynamic_cast<TXcDataConsumerAggregatedObject*>(implementers_[size_t(i)].get());
        if (o && !o->ProviderIndependent() && !o->AcceptsProvider(p))
            implementers_.erase(implementers_.begin() + i);
    }
    if (!fixedContext_ && provider_ && provider_->Contexts() && provider_->Contexts()->Count() > 0)
        context_ = XcRef<TXcDataContext>(provider_->Contexts()->Context(0));
    if (provider_ && !pendingContext_.empty()) {
        const std::string pending = pendingContext_;
        pendingContext_.clear();
        SetContext(pending);
    }
    {
        TXcProviderAccess reading(this);
        forEachConsumerImpl([](TXcDataConsumerAggregatedObject* o) { o->ProviderSet(); });
    }
    afterChange(cckProvider);
}

TXcDataItemsList* TXcDataConsumer::Items() const {
    if (!provider_) return nullptr;
    if (auto* managed = context_ ? context_->GetInterface<IXcManagedDataContext>() : nullptr)
        return managed->Items();
    return provider_->RootItems();
}

std::string TXcDataConsumer::Context() const { return context_ ? context_->Name() : std::string(); }

void TXcDataConsumer::SetContext(const std::string& name) {
    if (SameText(name, Context()) && (context_ || name.empty())) return;
    if (!provider_) {
        auto* comp = owner_;
        if (comp && comp->Loading()) {
            pendingContext_ = name;
            return;
        }
        throw EXCLDataConsumer(XcDataMessage(65226));
    }
    if (name.empty()) {
        SelectContext(nullptr);
        return;
    }
    if (!provider_->Contexts()) throw EXCLDataConsumer(XcDataMessage(65228));
    TXcDataContext* c = provider_->Contexts()->Find(name);
    if (!c) throw EXCLDataConsumer(Format(XcDataMessage(65227), name));
    SelectContext(c);
}

void TXcDataConsumer::SelectContext(TXcDataContext* c) {
    if (c == context_.get()) return;
    if (c && (!c->List() || c->List()->Provider() != provider_))
        throw EXCLDataConsumer(XcDataMessage(65229));
    beforeChange(cckContext);
    context_ = XcRef<TXcDataContext>(c);
    if (announcedTo_) {  // a read going on goes on in the new context
        announcedTo_->Withdraw(this);
        announcedTo_->Announce(this, c);
    }
    {
        TXcProviderAccess reading(this);
        forEachConsumerImpl([](TXcDataConsumerAggregatedObject* o) { o->ContextSet(); });
    }
    afterChange(cckContext);
}

void TXcDataConsumer::Loaded() {
    if (!pendingContext_.empty() && provider_) {
        const std::string pending = pendingContext_;
        pendingContext_.clear();
        SetContext(pending);
    }
    forEachConsumerImpl([](TXcDataConsumerAggregatedObject* o) { o->Loaded(); });
}

void TXcDataConsumer::Subscribe(std::function<void(unsigned)>* s) {
    if (std::find(subscribers_.begin(), subscribers_.end(), s) == subscribers_.end())
        subscribers_.push_back(s);
}

void TXcDataConsumer::Unsubscribe(std::function<void(unsigned)>* s) {
    subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), s),
                       subscribers_.end());
}

void TXcDataConsumer::ProviderChanging(unsigned char reason, TObject* source) {
    TXcProviderAccess reading(this);
    forEachConsumerImpl([&](TXcDataConsumerAggregatedObject* o) {
        o->ProviderChanging(provider_, reason, source);
    });
    if (OnProviderChanging) OnProviderChanging(reason, source);
}

void TXcDataConsumer::ProviderChanged(unsigned char reason, TObject* source) {
    // The context followed has gone: the consumer follows none.
    if (reason == xcrContextRemoved && source && source == context_.get()) SelectContext(nullptr);
    TXcProviderAccess reading(this);
    forEachConsumerImpl(
        [&](TXcDataConsumerAggregatedObject* o) { o->ProviderChanged(provider_, reason, source); });
    if (OnProviderChanged) OnProviderChanged(reason, source);
}

void TXcDataConsumer::ImplementerChanged(TXcDataConsumerAggregatedObject* from) {
    forEachConsumerImpl([&](TXcDataConsumerAggregatedObject* o) {
        if (o != from) o->OtherChanged(from);
    });
    beforeChange(cckContent);
    afterChange(cckContent);
}

namespace {

// Makes an implementer for the object it extends (null for any other owner).
template <class T, class O = TExtensibleInterfacedPersistent>
TPersistentFactory ImplementerOf() {
    return [](TPersistent* owner) -> TPersistent* {
        auto* o = dynamic_cast<O*>(owner);
        return o ? new T(o) : nullptr;
    };
}

template <class C>
TPersistentFactory ContextOf() {
    return [](TPersistent* owner) -> TPersistent* {
        return XcCreate<C>(dynamic_cast<TXcDataContexts*>(owner), std::string());
    };
}

}  // namespace

void RegisterXcDataClasses() {
    const std::vector<std::string> implementer = {"TAggregatedPersistentEx",
                                                  "TAggregatedPersistent", "TPersistent"};
    const std::vector<std::string> extensible = {"TExtensibleInterfacedPersistent", "TPersistent"};
    auto with = [](std::vector<std::string> nearer, const std::vector<std::string>& rest) {
        nearer.insert(nearer.end(), rest.begin(), rest.end());
        return nearer;
    };
    RegisterPersistentClass("TXcDataItemsList", with({"TXcBaseDataItems"}, extensible),
                            [](TPersistent* owner) -> TPersistent* {
                                auto* parent = dynamic_cast<TXcBaseDataItem*>(owner);
                                IXcDataProvider* p = parent && parent->OwnerList()
                                                         ? parent->OwnerList()->Provider()
                                                         : nullptr;
                                return XcCreate<TXcDataItemsList>(p, parent);
                            });
    RegisterPersistentClass("TXcCustomDataItemsImages",
                            with({"TXcBaseDataItemsImagesImpl"}, implementer),
                            ImplementerOf<TXcCustomDataItemsImages>());
    RegisterPersistentClass("TXcCustomDataItemsTextRenderer",
                            with({"TXcBaseDataItemsRenderer"}, implementer),
                            ImplementerOf<TXcCustomDataItemsTextRenderer>());
    RegisterPersistentClass("TXcBaseDataItemsListManagement",
                            with({"TXcBaseDataItemsManagement"}, implementer),
                            ImplementerOf<TXcBaseDataItemsListManagement>());
    RegisterPersistentClass("TXcBaseDataItem", extensible, [](TPersistent* owner) -> TPersistent* {
        return XcCreate<TXcBaseDataItem>(dynamic_cast<TXcDataItemsList*>(owner));
    });
    RegisterPersistentClass("TXcDataItemTextImpl", with({"TXcBaseDataItemTextImpl"}, implementer),
                            ImplementerOf<TXcDataItemTextImpl>());
    RegisterPersistentClass("TXcDataItemImageImpl", with({"TXcBaseDataItemImageImpl"}, implementer),
                            ImplementerOf<TXcDataItemImageImpl>());
    RegisterPersistentClass("TXcDataConsumer", extensible, [](TPersistent* owner) -> TPersistent* {
        return XcCreate<TXcDataConsumer>(dynamic_cast<TComponent*>(owner));
    });
    RegisterPersistentClass("TXcDataConsumerItemSelect",
                            with({"TXcDataConsumerAggregatedObject"}, implementer),
                            ImplementerOf<TXcDataConsumerItemSelect, TXcDataConsumer>());
    RegisterPersistentClass("TXcDataContexts", with({"TXcBaseDataContexts"}, extensible),
                            [](TPersistent* owner) -> TPersistent* {
                                auto* parent = dynamic_cast<TXcDataContext*>(owner);
                                IXcDataProvider* p =
                                    parent && parent->List() ? parent->List()->Provider() : nullptr;
                                return XcCreate<TXcDataContexts>(p, parent);
                            });
    const std::vector<std::string> context = with({"TXcBaseDataContext"}, extensible);
    RegisterPersistentClass("TXcDataContext", context, ContextOf<TXcDataContext>());
    RegisterPersistentClass("TXcManagedDataContext", with({"TXcDataContext"}, context),
                            ContextOf<TXcManagedDataContext>());
    RegisterPersistentClass("TXcFixedDataContext", with({"TXcDataContext"}, context),
                            ContextOf<TXcFixedDataContext>());
    GroupDescendentsWith("TExtensibleInterfacedPersistent", "TControl");
    GroupDescendentsWith("TAggregatedPersistent", "TControl");
}

namespace {
// The classes are known by name from the program's start.
const bool registered = (RegisterXcDataClasses(), true);
}  // namespace
