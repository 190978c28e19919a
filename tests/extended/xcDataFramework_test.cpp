// The data-provider framework's classes known by name from the start, contexts with items of
// their own and contexts that stay, image lists replaced and freed, items drawn with their
// pictures by the renderer found towards the root, and the consumer's read-only strings.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/extended/xcDataConsumerView.h"
#include "platform/user/ownerDraw.h"

namespace {

struct Owned {
    std::unique_ptr<TPersistent> plain;              // implementers and items held by nobody
    XcRef<TExtensibleInterfacedPersistent> counted;  // counted objects
};

// A tree A (A1), B under a provider with a consumer that shows it.
struct Tree {
    TXcDataProviderBase provider;
    XcRef<TXcDataConsumer> consumer{XcCreate<TXcDataConsumer>(nullptr)};
    TXcDataConsumerViewList* view;
    TXcBaseDataItem *a, *b, *a1;
    std::vector<std::string> seen;
    Tree() {
        view = consumer->AddImplementer(std::make_unique<TXcDataConsumerViewList>(consumer.get()));
        a = provider.RootItems()->Add("A");
        b = provider.RootItems()->Add("B");
        a1 = a->SubItems()->Add("A1");
        consumer->SetProvider(&provider);
        consumer->OnProviderChanging = [this](unsigned char r, TObject*) {
            seen.push_back("changing " + std::to_string(r));
        };
        consumer->OnProviderChanged = [this](unsigned char r, TObject*) {
            seen.push_back("changed " + std::to_string(r));
        };
    }
    std::vector<std::string> Rows() { return TXcConsumerStrings(consumer.get()).ToVector(); }
};

// A list of 8x8 images, each one colour.
std::unique_ptr<TImageList> ImagesOf(TComponent* owner, const std::vector<TColor>& colours) {
    auto list = std::make_unique<TImageList>(owner, 8, 8);
    for (TColor c : colours) {
        TBitmap b;
        b.SetSize(8, 8);
        b.Canvas()->Brush()->Color = c;
        b.Canvas()->FillRect(Rect(0, 0, 8, 8));
        list->Add(&b, nullptr);
    }
    return list;
}

struct Surface {
    TBitmap bmp;
    Surface() {
        bmp.SetSize(80, 12);
        bmp.Canvas()->Brush()->Color = clWhite;
        bmp.Canvas()->FillRect(Rect(0, 0, 80, 12));
    }
    TColor At(int x, int y) { return TColor(bmp.Canvas()->Pixels(x, y) & 0xFFFFFF); }
    bool Has(TColor c) {
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 80; ++x)
                if (At(x, y) == c) return true;
        return false;
    }
};

}  // namespace

TEST(XcDataClasses, TheThirteenAreKnownFromTheStartAndMadeByName) {
    TXcDataProviderBase provider;
    provider.EnableContexts();
    TXcDataItemsList* root = provider.RootItems();
    TXcBaseDataItem* item = root->Add("A");
    XcRef<TXcDataConsumer> consumer(XcCreate<TXcDataConsumer>(nullptr));
    TComponent component(nullptr);
    struct Row {
        const char* name;
        TPersistent* owner;
        const char* ancestor;
        bool counted;
    };
    const Row rows[] = {
        {"TXcDataItemsList", item, "TExtensibleInterfacedPersistent", true},
        {"TXcCustomDataItemsImages", root, "TAggregatedPersistentEx", false},
        {"TXcCustomDataItemsTextRenderer", root, "TAggregatedPersistentEx", false},
        {"TXcBaseDataItemsListManagement", root, "TAggregatedPersistentEx", false},
        {"TXcBaseDataItem", root, "TExtensibleInterfacedPersistent", false},
        {"TXcDataItemTextImpl", item, "TAggregatedPersistentEx", false},
        {"TXcDataItemImageImpl", item, "TAggregatedPersistentEx", false},
        {"TXcDataConsumer", &component, "TExtensibleInterfacedPersistent", true},
        {"TXcDataConsumerItemSelect", consumer.get(), "TAggregatedPersistentEx", false},
        {"TXcDataContexts", nullptr, "TExtensibleInterfacedPersistent", true},
        {"TXcDataContext", provider.Contexts(), "TExtensibleInterfacedPersistent", true},
        {"TXcManagedDataContext", provider.Contexts(), "TXcDataContext", true},
        {"TXcFixedDataContext", provider.Contexts(), "TXcDataContext", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_TRUE(IsPersistentClassRegistered(r.name));
        EXPECT_TRUE(PersistentClassInheritsFrom(r.name, r.ancestor));
        EXPECT_TRUE(PersistentClassInheritsFrom(r.name, "TPersistent"));
        TPersistent* made = CreatePersistent(r.name, r.owner);
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->ClassName(), r.name);
        Owned keep;
        if (r.counted)
            keep.counted = XcRef<TExtensibleInterfacedPersistent>(
                dynamic_cast<TExtensibleInterfacedPersistent*>(made));
        else
            keep.plain.reset(made);
    }
    // The view list is the controls' own business, not streamed by name.
    EXPECT_FALSE(IsPersistentClassRegistered("TXcDataConsumerViewList"));
    EXPECT_FALSE(PersistentClassInheritsFrom("TXcBaseDataItem", "TAggregatedPersistentEx"));
    EXPECT_EQ(ClassGroupOf("TXcDataConsumer"), "TControl");
    EXPECT_EQ(ClassGroupOf("TXcDataItemTextImpl"), "TControl");
    // A context is made only for a contexts list.
    try {
        CreatePersistent("TXcDataContext", nullptr);
        ADD_FAILURE() << "a context without a list was made";
    } catch (const EXCLDataContexts& e) {
        EXPECT_EQ(std::string(e.what()), "非上下文列表所有者无法创建上下文");
    }
}

TEST(XcDataClasses, ExtensionsNamingTheFrameworksClassesAreRead) {
    TXcDataProviderBase provider;
    TXcDataItemsList* root = provider.RootItems();
    TDfmValue v;
    v.kind = TDfmValue::vCollection;
    auto name = [](const char* n) {
        TDfmValue s;
        s.kind = TDfmValue::vString;
        s.s = n;
        return s;
    };
    v.items.push_back({{"ClassName", name("TXcCustomDataItemsImages")}});
    v.items.push_back({{"ClassName", name("TXcCustomDataItemsTextRenderer")}});  // there already
    const int before = root->ImplementerCount();
    root->ReadExtensions(v);
    EXPECT_EQ(root->ImplementerCount(), before + 1);
    EXPECT_NE(root->GetInterface<IXcDataItemsImages>(), nullptr);
    // An item class is no implementer.
    TDfmValue item;
    item.kind = TDfmValue::vCollection;
    item.items.push_back({{"ClassName", name("TXcBaseDataItem")}});
    EXPECT_THROW(root->ReadExtensions(item), EReadError);
}

TEST(XcDataContexts, AManagedContextShowsItsOwnItems) {
    Tree t;
    t.provider.EnableContexts();
    TXcDataContexts* contexts = t.provider.Contexts();
    contexts->Add("all");
    auto* mine = contexts->Add<TXcManagedDataContext>("mine");
    mine->Items()->Add("X");
    mine->Items()->Add("Y");
    EXPECT_NE(mine->GetInterface<IXcManagedDataContext>(), nullptr);
    t.consumer->SetContext("MINE");
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"X", "Y"}));
    mine->Items()->Add("Z");  // its provider tells the consumer
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"X", "Y", "Z"}));
    t.consumer->SetContext("all");
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "B"}));
    // Removing the context followed: reason 6 around it, and the consumer follows none.
    t.consumer->SetContext("mine");
    t.seen.clear();
    EXPECT_TRUE(contexts->Remove(mine));
    EXPECT_EQ(t.seen, (std::vector<std::string>{"changing 6", "changed 6"}));
    EXPECT_EQ(t.consumer->Context(), "");
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(contexts->Find("mine"), nullptr);
}

TEST(XcDataContexts, AFixedContextStaysInItsList) {
    Tree t;
    t.provider.EnableContexts();
    TXcDataContexts* contexts = t.provider.Contexts();
    auto* fixed = contexts->Add<TXcFixedDataContext>("fixed");
    TXcDataContext* plain = contexts->Add("plain");
    t.seen.clear();
    EXPECT_FALSE(contexts->Remove(fixed));
    EXPECT_TRUE(t.seen.empty());
    EXPECT_EQ(contexts->Find("fixed"), fixed);
    EXPECT_FALSE(contexts->Remove(nullptr));
    EXPECT_TRUE(contexts->Remove(plain));
    EXPECT_EQ(contexts->Count(), 1);
    // A fixed context is followed like any other and shows the provider's items.
    t.consumer->SetContext("fixed");
    EXPECT_EQ(t.Rows(), (std::vector<std::string>{"A", "B"}));
    EXPECT_THROW(contexts->Add<TXcManagedDataContext>("fixed"), EXCLDataContexts);
}

TEST(XcDataImages, ReplacingAListIsReasonThreeAroundIt) {
    Tree t;
    TComponent form(nullptr);
    std::unique_ptr<TImageList> one = ImagesOf(&form, {clRed});
    std::unique_ptr<TImageList> two = ImagesOf(&form, {clBlue});
    auto* images = t.provider.RootItems()->AddImplementer(
        std::make_unique<TXcCustomDataItemsImages>(t.provider.RootItems()));
    struct Setter {
        const char* name;
        void (IXcDataItemsImages::*set)(TCustomImageList*);
        TCustomImageList* (IXcDataItemsImages::*get)() const;
    };
    for (const Setter& s :
         {Setter{"Images", &IXcDataItemsImages::SetImages, &IXcDataItemsImages::Images},
          Setter{"HotImages", &IXcDataItemsImages::SetHotImages, &IXcDataItemsImages::HotImages},
          Setter{"DisabledImages", &IXcDataItemsImages::SetDisabledImages,
                 &IXcDataItemsImages::DisabledImages}}) {
        SCOPED_TRACE(s.name);
        IXcDataItemsImages* i = images;
        t.seen.clear();
        (i->*s.set)(one.get());
        (i->*s.set)(one.get());  // the same list: nothing
        (i->*s.set)(two.get());
        (i->*s.set)(nullptr);
        EXPECT_EQ(t.seen, (std::vector<std::string>{"changing 3", "changed 3", "changing 3",
                                                    "changed 3", "changing 3", "changed 3"}));
        EXPECT_EQ((i->*s.get)(), nullptr);
    }
    // Stored by the lists' names.
    one->Name = "ImageList_one";
    images->SetHotImages(one.get());
    const auto props = images->Properties();
    ASSERT_EQ(props.size(), 1u);
    EXPECT_EQ(props[0].first, "HotImages");
    EXPECT_EQ(props[0].second.s, "ImageList_one");
    images->SetHotImages(nullptr);
}

TEST(XcDataImages, AListFreedElsewhereIsForgotten) {
    Tree t;
    auto* images = t.provider.RootItems()->AddImplementer(
        std::make_unique<TXcCustomDataItemsImages>(t.provider.RootItems()));
    auto other = std::make_unique<TComponent>(nullptr);  // another form owns the list
    TImageList* list = ImagesOf(other.get(), {clRed}).release();
    images->SetImages(list);
    images->SetDisabledImages(list);
    t.a1->GetInterface<IXcDataItemImage>()->SetImageIndex(0);
    t.seen.clear();
    other.reset();  // frees the list with its owner
    EXPECT_EQ(images->Images(), nullptr);
    EXPECT_EQ(images->DisabledImages(), nullptr);
    EXPECT_EQ(t.seen,
              (std::vector<std::string>{"changing 3", "changed 3", "changing 3", "changed 3"}));
    Surface s;
    XcDrawDataItem(*s.bmp.Canvas(), t.a1, Rect(0, 0, 80, 12), 0);  // draws its text alone
    EXPECT_FALSE(s.Has(clRed));
}

TEST(XcDataRenderers, AnItemIsDrawnWithThePictureOfTheListsTowardsTheRoot) {
    Tree t;
    TComponent form(nullptr);
    std::unique_ptr<TImageList> normal = ImagesOf(&form, {clRed, clLime});
    std::unique_ptr<TImageList> disabled = ImagesOf(&form, {clGray, clGray});
    auto* images = t.provider.RootItems()->AddImplementer(
        std::make_unique<TXcCustomDataItemsImages>(t.provider.RootItems()));
    images->SetImages(normal.get());
    images->SetDisabledImages(disabled.get());
    // A1's list has neither renderer nor images: both are its parent's list's.
    TXcDataItemsList* sub = t.a->SubItems();
    EXPECT_EQ(sub->GetInterface<IXcDataItemsRenderer>(), nullptr);
    EXPECT_EQ(sub->Renderer(), t.provider.RootItems()->Renderer());
    EXPECT_EQ(sub->Images(), images);
    auto* picture = t.a1->GetInterface<IXcDataItemImage>();
    picture->SetImageIndex(0);
    picture->SetSelectedIndex(1);
    struct Row {
        const char* what;
        TOwnerDrawState state;
        TAlignment alignment;
        int x;
        TColor colour;
    };
    for (const Row& r : {Row{"normal", 0, taLeftJustify, 3, clRed},
                         Row{"selected", ODS_SELECTED, taLeftJustify, 3, clLime},
                         Row{"disabled", ODS_DISABLED, taLeftJustify, 3, clGray},
                         Row{"at the right", 0, taRightJustify, 76, clRed}}) {
        SCOPED_TRACE(r.what);
        picture->SetAlignment(r.alignment);
        Surface s;
        XcDrawDataItem(*s.bmp.Canvas(), t.a1, Rect(0, 0, 80, 12), r.state);
        EXPECT_EQ(s.At(r.x, 6), r.colour);
        // The picture stands centred in the row's height.
        EXPECT_EQ(s.At(r.x, 1), clWhite);
        EXPECT_EQ(s.At(r.x, 2), r.colour);
        EXPECT_EQ(s.At(r.x, 9), r.colour);
        EXPECT_EQ(s.At(r.x, 10), clWhite);
    }
    // Its size takes the picture in.
    Surface m;
    TCanvas& c = *m.bmp.Canvas();
    picture->SetAlignment(taLeftJustify);
    const SIZE with = XcMeasureDataItem(c, t.a1);
    picture->SetImageIndex(-1);
    const SIZE without = XcMeasureDataItem(c, t.a1);
    EXPECT_EQ(with.cx, without.cx + 8 + 2);
    Surface s;
    XcDrawDataItem(*s.bmp.Canvas(), t.a1, Rect(0, 0, 80, 12), 0);
    EXPECT_FALSE(s.Has(clRed));  // no picture: its text alone
}

namespace {
// An item part that draws its item itself: a blue box.
struct OwnRenderer : TAggregatedPersistentEx, IXcDataItemRenderer {
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    void DrawItem(TCanvas& c, const TRect& r, TOwnerDrawState) override {
        c.Brush()->Color = clBlue;
        c.FillRect(Rect(r.Left, r.Top, r.Left + 5, r.Bottom));
    }
    SIZE MeasureItem(TCanvas&) override { return SIZE{5, 7}; }
};
}  // namespace

TEST(XcDataRenderers, AnItemWithItsOwnRendererDrawsItself) {
    Tree t;
    t.b->AddImplementer(std::make_unique<OwnRenderer>(t.b));
    Surface s;
    XcDrawDataItem(*s.bmp.Canvas(), t.b, Rect(0, 0, 80, 12), 0);
    EXPECT_EQ(s.At(2, 6), clBlue);
    EXPECT_EQ(XcMeasureDataItem(*s.bmp.Canvas(), t.b).cy, 7);
    // Without any renderer on the way to the root an item is its text.
    t.provider.RootItems()->RemoveImplementer(
        t.provider.RootItems()->GetInterface<TXcCustomDataItemsTextRenderer>());
    EXPECT_EQ(t.a1->OwnerList()->Renderer(), nullptr);
    EXPECT_EQ(XcMeasureDataItem(*s.bmp.Canvas(), t.a1).cx, s.bmp.Canvas()->TextWidth("A1"));
}

TEST(XcConsumerStrings, ReadOnlyStringsOfTheViewsRows) {
    Tree t;
    TXcConsumerStrings s(t.consumer.get());
    EXPECT_EQ(s.Count(), 2);
    EXPECT_EQ(s[1], "B");
    // Clear, Delete and Insert leave the rows as they are.
    s.Clear();
    s.Delete(0);
    s.Insert(0, "new");
    EXPECT_EQ(s.ToVector(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(t.provider.RootItems()->Count(), 2);
    for (int bad : {-1, 2}) EXPECT_THROW(s.Get(bad), EListError);
    // The strings are the view's at every moment.
    t.view->ToggleRow(0);
    EXPECT_EQ(s.ToVector(), (std::vector<std::string>{"A", "A1", "B"}));
    t.a1->RemoveImplementer(t.a1->GetInterface<TXcDataItemTextImpl>());
    EXPECT_EQ(s[1], "");
    // Without a view there are none.
    XcRef<TXcDataConsumer> bare(XcCreate<TXcDataConsumer>(nullptr));
    EXPECT_EQ(TXcConsumerStrings(bare.get()).Count(), 0);
    EXPECT_EQ(TXcConsumerStrings(nullptr).Count(), 0);
}
