// Data providers and consumers: a list-like control can take its items from a provider's
// tree of items (each item a set of small parts: text, image, sub-items) instead of its own
// strings. Objects are reference counted once handed out and are extended at run time by
// implementer objects; a control embeds a consumer that follows one provider and context.
// No window of the program assigns a provider; the controls keep their own strings then.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/extended/xcUtils.h"
#include "platform/rtl/classes.h"
#include "platform/vcl/component.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/imgList.h"
#include "platform/vcl/persistentClasses.h"
#include "platform/vcl/stdctrls.h"

// ---------------------------------------------------------------- errors and texts

class EXCLDataItems : public EXCLException {
    using EXCLException::EXCLException;
};
class EXCLDataContexts : public EXCLException {
    using EXCLException::EXCLException;
};
class EXCLDataConsumer : public EXCLException {
    using EXCLException::EXCLException;
};

// The layer's string table for these messages (65200 ...).
std::string XcDataMessage(int id);

// Reasons a provider gives its consumers for a change.
enum : unsigned char {
    xcrItemAdded = 0,
    xcrItemRemoving = 1,
    xcrItemChanged = 2,
    xcrListChanged = 3,
    xcrContextAdded = 5,
    xcrContextRemoved = 6,
};

// ---------------------------------------------------------------- foundation

class TAggregatedPersistentEx;

// A reference-counted persistent object that implementers extend. Made with XcCreate, its
// count is 0 until someone holds it; Release to 0 frees it.
class TExtensibleInterfacedPersistent : public TPersistent {
public:
    TExtensibleInterfacedPersistent();
    ~TExtensibleInterfacedPersistent() override;
    std::string ClassName() const override { return "TExtensibleInterfacedPersistent"; }
    virtual int AddRef();
    virtual int Release();
    int RefCount() const { return refCount_; }
    // Runs once after construction: the standard implementers are added, then the count drops.
    void AfterConstruction();

    // The object itself when it is an I, else the last implementer added that is one.
    template <class I>
    I* GetInterface() {
        if (auto* self = dynamic_cast<I*>(this)) return self;
        for (auto it = implementers_.rbegin(); it != implementers_.rend(); ++it)
            if (auto* i = dynamic_cast<I*>(it->get())) return i;
        return nullptr;
    }
    // Takes the implementer; one of the same class (or a descendant) there already raises.
    template <class T>
    T* AddImplementer(std::unique_ptr<T> impl) {
        for (auto& i : implementers_)
            if (dynamic_cast<T*>(i.get())) throw EXCLException(XcDataMessage(65201));
        T* raw = impl.get();
        implementers_.push_back(std::move(impl));
        ImplementerAdded(raw);
        return raw;
    }
    void RemoveImplementer(TAggregatedPersistentEx* impl);
    // The last index of an implementer of that class, -1 when none.
    template <class T>
    int IndexOfImplementerClass() const {
        for (int i = int(implementers_.size()) - 1; i >= 0; --i)
            if (dynamic_cast<T*>(implementers_[size_t(i)].get())) return i;
        return -1;
    }
    int ImplementerCount() const { return int(implementers_.size()); }
    TAggregatedPersistentEx* Implementer(int i) const { return implementers_.at(size_t(i)).get(); }
    void ClearImplementers();
    // Streamable: the implementer's class is registered by name.
    virtual bool IsStreamable(const TAggregatedPersistentEx& impl) const;
    // "Extensions" as a collection of the streamable implementers, and back.
    bool HasExtensions() const;
    TDfmValue WriteExtensions() const;
    void ReadExtensions(const TDfmValue& v);

protected:
    virtual void CreateStandardImplementers() {}
    virtual void ImplementerAdded(TAggregatedPersistentEx*) {}
    std::vector<std::unique_ptr<TAggregatedPersistentEx>> implementers_;

private:
    int refCount_ = 1;
};

template <class T, class... A>
T* XcCreate(A&&... args) {
    T* p = new T(std::forward<A>(args)...);
    p->AfterConstruction();
    return p;
}

// A counted reference.
template <class T>
class XcRef {
public:
    XcRef() = default;
    XcRef(T* p) : p_(p) {  // NOLINT: a reference is made from a pointer implicitly
        if (p_) p_->AddRef();
    }
    XcRef(const XcRef& o) : XcRef(o.p_) {}
    XcRef& operator=(XcRef o) {  // copy and swap: safe against self-assignment
        swap(o);
        return *this;
    }
    ~XcRef() {
        if (p_) p_->Release();
    }
    void swap(XcRef& o) { std::swap(p_, o.p_); }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// An implementer: lives and dies with its owner, and may be streamed with its published
// properties (Properties and SetProperty).
class TAggregatedPersistentEx : public TPersistent {
public:
    explicit TAggregatedPersistentEx(TExtensibleInterfacedPersistent* owner) : owner_(owner) {}
    std::string ClassName() const override { return "TAggregatedPersistentEx"; }
    TExtensibleInterfacedPersistent* Owner() const { return owner_; }
    virtual std::vector<std::pair<std::string, TDfmValue>> Properties() const { return {}; }
    virtual void SetProperty(const std::string& /*name*/, const TDfmValue& /*v*/) {}

private:
    TExtensibleInterfacedPersistent* owner_;
};

// Implementer classes by name, for "Extensions": registered with the class library's class
// registry as descendants of TAggregatedPersistentEx, made for the object they extend.
using TXcImplementerFactory =
    std::function<std::unique_ptr<TAggregatedPersistentEx>(TExtensibleInterfacedPersistent*)>;
void RegisterXcImplementerClass(const std::string& name, TXcImplementerFactory make);
bool IsXcImplementerClassRegistered(const std::string& name);

// ---------------------------------------------------------------- items

class TXcDataItemsList;
class IXcDataProvider;
class IXcDataItemsRenderer;
class IXcDataItemsImages;

class TXcBaseDataItem : public TExtensibleInterfacedPersistent {
public:
    explicit TXcBaseDataItem(TXcDataItemsList* owner);
    std::string ClassName() const override { return "TXcBaseDataItem"; }
    // A new item's ID is the 32 hexadecimal digits of a new GUID.
    std::string ID() const { return id_; }
    void SetID(const std::string& id) { id_ = id; }
    TXcDataItemsList* OwnerList() const { return list_; }
    // Counted only in lists of dynamic items; otherwise the list owns the item.
    int AddRef() override;
    int Release() override;
    // The item's parent item (the one whose sub-items hold it), or null at the root.
    TXcBaseDataItem* ParentItem() const;
    bool IsAncestorOf(const TXcBaseDataItem* other) const;
    // Its children, when it has a sub-items part.
    TXcDataItemsList* SubItems();
    // Whether every implementer that has a say allows deleting it.
    bool CanDelete();
    // Tells every implementer that has a say (in the order they were added).
    void Notify();
    std::vector<std::pair<std::string, TDfmValue>> Properties() const;
    void SetProperty(const std::string& name, const TDfmValue& v);

protected:
    void CreateStandardImplementers() override;

private:
    TXcDataItemsList* list_;
    std::string id_;
};

// Parts of an item.
class IXcDataItemText {
public:
    virtual ~IXcDataItemText() = default;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& s) = 0;
};
class TXcDataItemTextImpl : public TAggregatedPersistentEx, public IXcDataItemText {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    std::string ClassName() const override { return "TXcDataItemTextImpl"; }
    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& s) override;
    std::vector<std::pair<std::string, TDfmValue>> Properties() const override;
    void SetProperty(const std::string& name, const TDfmValue& v) override;

private:
    std::string caption_;
};
class IXcDataItemImage {
public:
    virtual ~IXcDataItemImage() = default;
    virtual TAlignment Alignment() const = 0;
    virtual void SetAlignment(TAlignment a) = 0;
    virtual int ImageIndex() const = 0;
    virtual void SetImageIndex(int i) = 0;
    virtual int SelectedIndex() const = 0;
    virtual void SetSelectedIndex(int i) = 0;
};
// The item's picture in its list's image lists: left of its text (right for
// taRightJustify, centred with it for taCenter); SelectedIndex while it is selected.
class TXcDataItemImageImpl : public TAggregatedPersistentEx, public IXcDataItemImage {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    std::string ClassName() const override { return "TXcDataItemImageImpl"; }
    int ImageIndex() const override { return imageIndex_; }
    void SetImageIndex(int i) override;
    int SelectedIndex() const override { return selectedIndex_; }
    void SetSelectedIndex(int i) override;
    TAlignment Alignment() const override { return alignment_; }
    void SetAlignment(TAlignment a) override;
    std::vector<std::pair<std::string, TDfmValue>> Properties() const override;
    void SetProperty(const std::string& name, const TDfmValue& v) override;

private:
    int imageIndex_ = -1, selectedIndex_ = -1;
    TAlignment alignment_ = taLeftJustify;
};
// An implementer may have a say in deleting its item (the notification interface).
class IXcItemImplementerNotify {
public:
    virtual ~IXcItemImplementerNotify() = default;
    virtual bool AllowDelete() = 0;
    virtual void Notify() = 0;
};
class TXcBaseDataItemSubItems : public TAggregatedPersistentEx {
public:
    explicit TXcBaseDataItemSubItems(TExtensibleInterfacedPersistent* owner);
    ~TXcBaseDataItemSubItems() override;
    std::string ClassName() const override { return "TXcBaseDataItemSubItems"; }
    TXcDataItemsList* Items() { return items_; }

private:
    TXcDataItemsList* items_;
};

// What manages a list's items: adding tells the provider reason 0; deleting brackets
// reason 1 around the removal (an item that does not allow it raises); clearing and moving
// bracket reason 3.
class IXcDataItemsManagement {
public:
    virtual ~IXcDataItemsManagement() = default;
    virtual TXcBaseDataItem* Add(const std::string& caption) = 0;
    virtual void Delete(int index) = 0;
    virtual void Remove(TXcBaseDataItem* item) = 0;
    virtual void Clear() = 0;
    virtual void Move(int from, int to) = 0;
};

// A list of items, the root list of a provider or the sub-items of an item. It owns its
// items (they are not counted). Its management is an implementer (a list always gets one);
// a renderer and image lists are implementers it may have.
class TXcDataItemsList : public TExtensibleInterfacedPersistent {
public:
    TXcDataItemsList(IXcDataProvider* provider, TXcBaseDataItem* parentItem);
    ~TXcDataItemsList() override;
    std::string ClassName() const override { return "TXcDataItemsList"; }
    bool DynamicItems() const { return false; }
    IXcDataProvider* Provider() const { return provider_; }
    TXcBaseDataItem* ParentItem() const { return parent_; }
    int Count() const { return int(items_.size()); }
    TXcBaseDataItem* Item(int i) const;
    int IndexOf(const TXcBaseDataItem* item) const;
    // Through the management implementer (EXCLDataItems when the list has none).
    TXcBaseDataItem* Add(const std::string& caption = "");
    void Delete(int index);
    void Remove(TXcBaseDataItem* item);
    void Clear();
    // Moves an item to another position (a re-sort), telling reason 3.
    void Move(int from, int to);
    // The list a list's items are drawn by and take their pictures from: this one's own,
    // else that of the parent item's list, up to the root (null when none).
    IXcDataItemsRenderer* Renderer();
    IXcDataItemsImages* Images();
    // The provider hears of a change to this list (the management and images tell it).
    void Tell(bool changing, unsigned char reason, TXcBaseDataItem* item);
    // The list's own storage, for its management.
    void InsertItem(int index, TXcBaseDataItem* item);
    std::unique_ptr<TXcBaseDataItem> TakeItem(int index);
    void ClearItems();
    void MoveItem(int from, int to);
    // Lookup by ID (without case); with `recursive` the sub-lists too, last item first.
    TXcBaseDataItem* FindByID(const std::string& id, bool recursive) const;
    TXcBaseDataItem* FindByIndexPath(const std::vector<int>& path) const;
    // "a/b", "/a" from the root, ".." to the parent's list; the last item of each ID.
    TXcBaseDataItem* FindByPath(const std::string& path) const;
    // "Items" as a collection, and back.
    TDfmValue WriteItems() const;
    void ReadItems(const TDfmValue& v);

protected:
    void CreateStandardImplementers() override;

private:
    IXcDataProvider* provider_;
    TXcBaseDataItem* parent_;
    std::vector<std::unique_ptr<TXcBaseDataItem>> items_;
};

class TXcBaseDataItemsManagement : public TAggregatedPersistentEx, public IXcDataItemsManagement {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    std::string ClassName() const override { return "TXcBaseDataItemsManagement"; }
};
class TXcBaseDataItemsListManagement : public TXcBaseDataItemsManagement {
public:
    using TXcBaseDataItemsManagement::TXcBaseDataItemsManagement;
    std::string ClassName() const override { return "TXcBaseDataItemsListManagement"; }
    TXcBaseDataItem* Add(const std::string& caption) override;
    void Delete(int index) override;
    void Remove(TXcBaseDataItem* item) override;
    void Clear() override;
    void Move(int from, int to) override;

private:
    TXcDataItemsList& list() const { return *static_cast<TXcDataItemsList*>(Owner()); }
};

// The image lists a list's items take their pictures from (hot while the mouse is over an
// item, disabled for a disabled one). Replacing a list tells the provider reason 3 around
// the change; a list that is freed is forgotten.
class IXcDataItemsImages {
public:
    virtual ~IXcDataItemsImages() = default;
    virtual TCustomImageList* Images() const = 0;
    virtual void SetImages(TCustomImageList* l) = 0;
    virtual TCustomImageList* HotImages() const = 0;
    virtual void SetHotImages(TCustomImageList* l) = 0;
    virtual TCustomImageList* DisabledImages() const = 0;
    virtual void SetDisabledImages(TCustomImageList* l) = 0;
};
class TXcCustomDataItemsImages : public TAggregatedPersistentEx, public IXcDataItemsImages {
public:
    explicit TXcCustomDataItemsImages(TExtensibleInterfacedPersistent* owner);
    ~TXcCustomDataItemsImages() override;
    std::string ClassName() const override { return "TXcCustomDataItemsImages"; }
    TCustomImageList* Images() const override { return lists_[0]; }
    void SetImages(TCustomImageList* l) override { set(0, l); }
    TCustomImageList* HotImages() const override { return lists_[1]; }
    void SetHotImages(TCustomImageList* l) override { set(1, l); }
    TCustomImageList* DisabledImages() const override { return lists_[2]; }
    void SetDisabledImages(TCustomImageList* l) override { set(2, l); }
    // Stored by the lists' component names; read back from the form being read.
    std::vector<std::pair<std::string, TDfmValue>> Properties() const override;
    void SetProperty(const std::string& name, const TDfmValue& v) override;

private:
    class TWatcher;
    void set(int which, TCustomImageList* l);
    void freed(TComponent* c);
    void watch(TComponent* c);
    void unwatch(TComponent* c);
    TCustomImageList* lists_[3] = {};
    TComponent* watched_[3] = {};  // the same lists, as the components that may go
    std::unique_ptr<TWatcher> watcher_;
};

// Drawing and measuring items. An item may draw itself (its own renderer); the others are
// drawn by the renderer of their list, looked up from the list towards the root.
class IXcDataItemRenderer {
public:
    virtual ~IXcDataItemRenderer() = default;
    virtual void DrawItem(TCanvas& c, const TRect& r, TOwnerDrawState state) = 0;
    virtual SIZE MeasureItem(TCanvas& c) = 0;
};
class IXcDataItemsRenderer {
public:
    virtual ~IXcDataItemsRenderer() = default;
    virtual void DrawItem(TCanvas& c, TXcBaseDataItem* item, const TRect& r,
                          TOwnerDrawState state) = 0;
    virtual SIZE MeasureItem(TCanvas& c, TXcBaseDataItem* item) = 0;
    // By index in the renderer's list; outside it raises EXCLDataItems (measuring -1 gives
    // the average size).
    virtual void DrawItemIndex(TCanvas& c, int index, const TRect& r, TOwnerDrawState state) = 0;
    virtual SIZE MeasureItemIndex(TCanvas& c, int index) = 0;
    virtual SIZE AverageItemSize(TCanvas& c) = 0;
};
class TXcBaseDataItemsRenderer : public TAggregatedPersistentEx, public IXcDataItemsRenderer {
public:
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    std::string ClassName() const override { return "TXcBaseDataItemsRenderer"; }
    void DrawItemIndex(TCanvas& c, int index, const TRect& r, TOwnerDrawState state) override;
    SIZE MeasureItemIndex(TCanvas& c, int index) override;

protected:
    TXcDataItemsList& list() const { return *static_cast<TXcDataItemsList*>(Owner()); }
};

// Items as their picture (from the image lists of their list) and their text.
class TXcCustomDataItemsTextRenderer : public TXcBaseDataItemsRenderer {
public:
    using TXcBaseDataItemsRenderer::TXcBaseDataItemsRenderer;
    std::string ClassName() const override { return "TXcCustomDataItemsTextRenderer"; }
    // The item's caption, or the framework's text for an item without one.
    static std::string TextOf(TXcBaseDataItem* item);
    void DrawItem(TCanvas& c, TXcBaseDataItem* item, const TRect& r,
                  TOwnerDrawState state) override;
    SIZE MeasureItem(TCanvas& c, TXcBaseDataItem* item) override;
    SIZE AverageItemSize(TCanvas& c) override;
};

// Draws an item the way the framework finds for it: its own renderer, else its list's
// (looked up towards the root), else its text alone.
void XcDrawDataItem(TCanvas& c, TXcBaseDataItem* item, const TRect& r, TOwnerDrawState state);
SIZE XcMeasureDataItem(TCanvas& c, TXcBaseDataItem* item);

// ---------------------------------------------------------------- contexts

class TXcDataContexts;
// A named view of a provider's items. Made for a contexts list (without one it raises).
class TXcDataContext : public TExtensibleInterfacedPersistent {
public:
    TXcDataContext(TXcDataContexts* list, const std::string& name);
    std::string ClassName() const override { return "TXcDataContext"; }
    std::string Name() const { return name_; }
    // Case counts; another context of the list with the name raises.
    void SetName(const std::string& n);
    TXcDataContexts* List() const { return list_; }
    TXcDataContexts* SubContexts();
    // Whether its list may let it go.
    virtual bool AllowsRemoval() const { return true; }

private:
    TXcDataContexts* list_;
    std::string name_;
    XcRef<TXcDataContexts> sub_;
};

// A context that keeps items of its own: a consumer following it shows them instead of the
// provider's root list.
class IXcManagedDataContext {
public:
    virtual ~IXcManagedDataContext() = default;
    virtual TXcDataItemsList* Items() = 0;
};
class TXcManagedDataContext : public TXcDataContext, public IXcManagedDataContext {
public:
    TXcManagedDataContext(TXcDataContexts* list, const std::string& name);
    ~TXcManagedDataContext() override;
    std::string ClassName() const override { return "TXcManagedDataContext"; }
    TXcDataItemsList* Items() override { return items_; }

private:
    TXcDataItemsList* items_;
};

// A context that stays as long as its list: removing it is refused.
class TXcFixedDataContext : public TXcDataContext {
public:
    using TXcDataContext::TXcDataContext;
    std::string ClassName() const override { return "TXcFixedDataContext"; }
    bool AllowsRemoval() const override { return false; }
};

// The named contexts of a provider (or of an enclosing context).
class TXcDataContexts : public TExtensibleInterfacedPersistent {
public:
    TXcDataContexts(IXcDataProvider* provider, TXcDataContext* parent)
        : provider_(provider), parent_(parent) {}
    std::string ClassName() const override { return "TXcDataContexts"; }
    IXcDataProvider* Provider() const { return provider_; }
    TXcDataContext* ParentContext() const { return parent_; }
    int Count() const { return int(contexts_.size()); }
    TXcDataContext* Context(int i) const { return contexts_.at(size_t(i)).get(); }
    // A context of this list by name: the same object again does nothing, another of that
    // name raises; else the provider hears reason 5 around the addition.
    template <class C = TXcDataContext>
    C* Add(const std::string& name) {
        C* c = XcCreate<C>(this, name);
        XcRef<TXcDataContext> hold(c);
        Add(c);
        return c;
    }
    void Add(TXcDataContext* context);
    // Reason 6 around the removal; false (and nothing done) for a context that does not allow
    // it or is not in the list.
    bool Remove(TXcDataContext* context);
    void Clear();
    int IndexOfName(const std::string& name) const;  // case counts
    // "a/b" down the contexts, "/a" from the provider's, ".." up; names without case.
    TXcDataContext* Find(const std::string& path) const;

private:
    friend class TXcDataContext;
    IXcDataProvider* provider_;
    TXcDataContext* parent_;
    std::vector<XcRef<TXcDataContext>> contexts_;
};

// ---------------------------------------------------------------- the provider

class TXcDataConsumer;
// What consumers need of a provider: its items, contexts and notifications.
class IXcDataProvider {
public:
    virtual ~IXcDataProvider() = default;
    virtual TXcDataItemsList* RootItems() = 0;
    // Null when the provider has no contexts.
    virtual TXcDataContexts* Contexts() = 0;
    virtual void Subscribe(TXcDataConsumer* c) = 0;
    virtual void Unsubscribe(TXcDataConsumer* c) = 0;
    // The items tell their provider before and after each change.
    virtual void Changing(unsigned char reason, TObject* source) = 0;
    virtual void Changed(unsigned char reason, TObject* source) = 0;
    // A consumer reading the provider's data announces itself with its context and withdraws
    // afterwards; meanwhile the provider serves that context (null when nobody reads).
    virtual void Announce(TXcDataConsumer* c, TXcDataContext* context) = 0;
    virtual void Withdraw(TXcDataConsumer* c) = 0;
    virtual TXcDataContext* ServedContext() const = 0;
};

// A provider with one root list (drawn as pictures and text) that tells its subscribed
// consumers of every change.
class TXcDataProviderBase : public IXcDataProvider {
public:
    TXcDataProviderBase();
    ~TXcDataProviderBase() override;
    TXcDataItemsList* RootItems() override { return root_; }
    TXcDataContexts* Contexts() override { return contexts_.get(); }
    void EnableContexts();
    void Subscribe(TXcDataConsumer* c) override;
    void Unsubscribe(TXcDataConsumer* c) override;
    void Changing(unsigned char reason, TObject* source) override;
    void Changed(unsigned char reason, TObject* source) override;
    void Announce(TXcDataConsumer* c, TXcDataContext* context) override;
    void Withdraw(TXcDataConsumer* c) override;
    TXcDataContext* ServedContext() const override;

private:
    TXcDataItemsList* root_;
    XcRef<TXcDataContexts> contexts_;
    std::vector<TXcDataConsumer*> consumers_;
    std::vector<std::pair<TXcDataConsumer*, TXcDataContext*>> readers_;  // the latest last
};

// ---------------------------------------------------------------- the consumer

// Kinds of change a consumer brackets: 0 provider, 2 content, 3 context.
enum TXcConsumerChange { cckProvider = 0, cckContent = 2, cckContext = 3 };
// Flags of the consumer's change notification to its subscribers: the consumer changed (after
// each bracketed change), the view's layout changed (its indent).
enum : unsigned { xcfConsumerChanged = 1, xcfViewLayout = 4 };

// An implementer that answers this is given the consumer's owning component when it is added.
class IXcComponentLink {
public:
    virtual ~IXcComponentLink() = default;
    virtual void SetLinkedComponent(TComponent* c) = 0;
};

class TXcDataConsumerAggregatedObject : public TAggregatedPersistentEx {
public:
    explicit TXcDataConsumerAggregatedObject(TXcDataConsumer* consumer);
    std::string ClassName() const override { return "TXcDataConsumerAggregatedObject"; }
    TXcDataConsumer* Consumer() const;
    virtual void ProviderChanging(IXcDataProvider*, unsigned char /*reason*/, TObject* /*source*/) {
    }
    virtual void ProviderChanged(IXcDataProvider*, unsigned char /*reason*/, TObject* /*source*/) {}
    virtual void Loaded() {}
    // The consumer's provider, context or view changed.
    virtual void ProviderSet() {}
    virtual void ContextSet() {}
    virtual bool AcceptsProvider(IXcDataProvider*) { return true; }
    virtual bool ProviderIndependent() const { return false; }
    // Another implementer of the consumer reported a change of content (heard before the
    // control), or was added.
    virtual void OtherChanged(TXcDataConsumerAggregatedObject* /*from*/) {}
    virtual void OtherAdded(TAggregatedPersistentEx* /*added*/) {}

protected:
    // Asks the consumer to tell its control (content changed).
    void Changed();
    // The consumer's subscribers hear of a change of the view with these flags.
    void NotifyViewChange(unsigned flags);
};

class TXcDataConsumer : public TExtensibleInterfacedPersistent {
public:
    // `attributes`: the numbers the owning control declares (each once).
    TXcDataConsumer(TComponent* owner, const std::vector<int>& attributes = {});
    ~TXcDataConsumer() override;
    std::string ClassName() const override { return "TXcDataConsumer"; }
    TComponent* OwnerComponent() const { return owner_; }
    bool HasAttribute(int a) const;
    IXcDataProvider* Provider() const { return provider_; }
    void SetProvider(IXcDataProvider* p);
    // The selected context's name ("" when none).
    std::string Context() const;
    void SetContext(const std::string& name);
    TXcDataContext* SelectedContext() const { return context_.get(); }
    void SelectContext(TXcDataContext* c);
    // The items of the selected context: a managed context's own, else the provider's root.
    TXcDataItemsList* Items() const;
    // Applies a context name read before the provider, then the implementers' own loading.
    void Loaded();
    // With a fixed context a new provider's first context is not taken on its own.
    bool FixedContext() const { return fixedContext_; }
    void SetFixedContext(bool v) { fixedContext_ = v; }
    // Brackets a read of the provider's data (nested reads announce once).
    void BeginProviderAccess();
    void EndProviderAccess();
    // Subscribers are told after every change of the consumer (xcfConsumerChanged) and of
    // changes of the view (NotifyChange).
    void Subscribe(std::function<void(unsigned)>* s);
    void Unsubscribe(std::function<void(unsigned)>* s);
    void NotifyChange(unsigned flags);
    // From the provider, forwarded to every implementer.
    void ProviderChanging(unsigned char reason, TObject* source);
    void ProviderChanged(unsigned char reason, TObject* source);
    // An implementer reports a change of content.
    void ImplementerChanged(TXcDataConsumerAggregatedObject* from);

    // Unpublished events for the owning control.
    std::function<void(TXcConsumerChange)> OnBeforeChange;
    std::function<void(TXcConsumerChange)> OnAfterChange;
    std::function<void(unsigned char, TObject*)> OnProviderChanging;
    std::function<void(unsigned char, TObject*)> OnProviderChanged;
    std::function<void(TAggregatedPersistentEx*)> OnImplementerAdded;

protected:
    void CreateStandardImplementers() override;
    void ImplementerAdded(TAggregatedPersistentEx* impl) override;

private:
    void beforeChange(TXcConsumerChange k);
    void afterChange(TXcConsumerChange k);
    template <class F>
    void forEachConsumerImpl(F f) {
        for (size_t i = 0; i < implementers_.size(); ++i)
            if (auto* o = dynamic_cast<TXcDataConsumerAggregatedObject*>(implementers_[i].get()))
                f(o);
    }
    TComponent* owner_;
    std::vector<int> attributes_;
    IXcDataProvider* provider_ = nullptr;
    XcRef<TXcDataContext> context_;
    std::string pendingContext_;
    std::vector<std::function<void(unsigned)>*> subscribers_;
    bool fixedContext_ = false;
    int accessDepth_ = 0;
    IXcDataProvider* announcedTo_ = nullptr;
};

// A read of the consumer's provider data for the length of a scope.
class TXcProviderAccess {
public:
    explicit TXcProviderAccess(TXcDataConsumer* c) : c_(c) { c_->BeginProviderAccess(); }
    ~TXcProviderAccess() { c_->EndProviderAccess(); }
    TXcProviderAccess(const TXcProviderAccess&) = delete;
    TXcProviderAccess& operator=(const TXcProviderAccess&) = delete;

private:
    TXcDataConsumer* c_;
};

// The framework's classes in the class library's registry (done when the program starts):
// TXcDataItemsList, TXcCustomDataItemsImages, TXcCustomDataItemsTextRenderer,
// TXcBaseDataItemsListManagement, TXcBaseDataItem, TXcDataItemTextImpl,
// TXcDataItemImageImpl, TXcDataConsumer, TXcDataConsumerItemSelect, TXcDataContexts,
// TXcDataContext, TXcManagedDataContext, TXcFixedDataContext. Each is made for: an
// implementer the object it extends, an item its list, a list its parent item (or none), a
// consumer its component, a contexts list its enclosing context (or none), a context its list.
void RegisterXcDataClasses();
