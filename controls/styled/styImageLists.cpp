#include "controls/styled/styImageLists.h"

#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styFiler.h"

namespace {

constexpr TColor kOutside = TColor(0xFFFFFF);

// Registers an item class with the form reader once.
template <class Item>
void RegisterItemClass(const char* name) {
    static bool done = false;
    if (done) return;
    done = true;
    TClassReg<Item>(name, "TStyListItem");
}

std::unique_ptr<TStyContainer>& Global() {
    static std::unique_ptr<TStyContainer> global;
    return global;
}

TColor BottomLeftOf(TBitmap* b) {
    return b->Empty() ? kOutside : b->Canvas()->Pixel(0, b->Height() - 1);
}

}  // namespace

void TStyCustomImageList::Assign(const TPersistent* source) {
    if (const auto* other = dynamic_cast<const TStyCustomImageList*>(source))
        DefaultPixelFormat = other->DefaultPixelFormat;
    TStyCustomContainer::Assign(source);
}

// ---------------------------------------------------------------- bitmap list

TStyBitmapList::TStyBitmapList(TComponent* owner)
    : TStyCustomImageList(owner, ckBitmapList,
                          [](TComponent* o) { return new TStyBitmapListItem(o); }) {
    RegisterItemClass<TStyBitmapListItem>("TStyBitmapListItem");
}

TStyBitmapListItem* TStyBitmapList::AddBitmap(const TBitmap* bmp) {
    auto* item = new TStyBitmapListItem(this);
    item->SetBitmap(bmp);
    AddItem(item);
    return item;
}

TCanvas* TStyBitmapList::GetCanvas(int i) {
    TStyBitmapListItem* b = Bitmaps(i);
    return b ? b->Bitmap()->Canvas() : nullptr;
}

bool TStyBitmapList::GetImageRect(int i, int, TRect& r) {
    TStyBitmapListItem* b = Bitmaps(i);
    r = b ? Rect(0, 0, b->Bitmap()->Width(), b->Bitmap()->Height()) : Rect(0, 0, 0, 0);
    return b != nullptr;
}

int TStyBitmapList::GetSize(int i, int which) {
    TStyBitmapListItem* b = Bitmaps(i);
    if (!b) return 0;
    return which == 0 ? b->Bitmap()->Width() : b->Bitmap()->Height();
}

int TStyBitmapList::ImageCount(int i) { return HasImages(i) ? 1 : 0; }

bool TStyBitmapList::HasImages(int i) {
    TStyBitmapListItem* b = Bitmaps(i);
    return b && !b->Bitmap()->Empty();
}

bool TStyBitmapList::GetBitmap(int i, int, TBitmap* bmp) {
    TStyBitmapListItem* b = Bitmaps(i);
    if (!b || !bmp) return false;
    bmp->Assign(*b->Bitmap());
    return true;
}

bool TStyBitmapList::IsTransparent(int i) {
    TStyBitmapListItem* b = Bitmaps(i);
    return b && b->Bitmap()->Transparent;
}

TColor TStyBitmapList::TransparentColorOf(int i, int) {
    TStyBitmapListItem* b = Bitmaps(i);
    if (!b) return kOutside;
    TBitmap* bmp = b->Bitmap();
    return bmp->TransparentColor != clNone && bmp->TransparentMode == tmFixed
               ? bmp->TransparentColor
               : BottomLeftOf(bmp);
}

TColor TStyBitmapList::PixelOf(int i, int, TPoint p) {
    TStyBitmapListItem* b = Bitmaps(i);
    if (!b || p.X < 0 || p.Y < 0 || p.X >= b->Bitmap()->Width() || p.Y >= b->Bitmap()->Height())
        return kOutside;
    return b->Bitmap()->Canvas()->Pixel(p.X, p.Y);
}

void TStyBitmapList::Draw(TCanvas* c, int x, int y, int i, int) {
    TStyBitmapListItem* b = Bitmaps(i);
    if (!c || !b || b->Bitmap()->Empty()) return;
    c->Draw(x, y, b->Bitmap());
}

void TStyBitmapList::DrawInRect(TCanvas* c, const TRect& r, int i, int k, TRect* drawn,
                                uint16_t flags) {
    if (drawn) *drawn = Rect(0, 0, 0, 0);
    TStyBitmapListItem* b = Bitmaps(i);
    if (!b) return;
    DrawBitmapToRect(c, r, b->Bitmap(), drawn, TransparentColorOf(i, k), flags);
}

void TStyBitmapList::DrawClipped(TCanvas* c, const TRect& r, int i, int, TColor color, DWORD offset,
                                 uint16_t flags) {
    TStyBitmapListItem* b = Bitmaps(i);
    if (b) DrawBitmapClipped(c, r, b->Bitmap(), color, offset, flags);
}

// ---------------------------------------------------------------- image list

TStyImageList::TStyImageList(TComponent* owner)
    : TStyCustomImageList(owner, ckImageList,
                          [](TComponent* o) { return new TStyImageListItem(o); }) {
    RegisterItemClass<TStyImageListItem>("TStyImageListItem");
}

TCanvas* TStyImageList::GetCanvas(int i) {
    TStyImageListItem* s = Strips(i);
    return s ? s->ImageStrip()->Canvas() : nullptr;
}

bool TStyImageList::GetImageRect(int i, int k, TRect& r) {
    TStyImageListItem* s = Strips(i);
    const int x = s ? s->OffsetOf(k) : -1;
    if (x < 0) {
        r = Rect(0, 0, 0, 0);
        return false;
    }
    r = Rect(x, 0, x + s->Width(), s->Height());
    return true;
}

int TStyImageList::GetSize(int i, int which) {
    TStyImageListItem* s = Strips(i);
    if (!s) return 0;
    return which == 0 ? s->Width() : s->Height();
}

int TStyImageList::ImageCount(int i) {
    TStyImageListItem* s = Strips(i);
    return s ? s->Count() : -1;
}

bool TStyImageList::HasImages(int i) {
    TStyImageListItem* s = Strips(i);
    return s && s->Count() > 0;
}

bool TStyImageList::GetBitmap(int i, int k, TBitmap* bmp) {
    TStyImageListItem* s = Strips(i);
    return s && s->GetImage(k, bmp);
}

bool TStyImageList::IsMasked(int i) {
    TStyImageListItem* s = Strips(i);
    return s && s->Masked();
}

bool TStyImageList::IsTransparent(int i) {
    TStyImageListItem* s = Strips(i);
    return s && s->ImageStrip()->Transparent;
}

TColor TStyImageList::TransparentColorOf(int i, int k) {
    TStyImageListItem* s = Strips(i);
    const int x = s ? s->OffsetOf(k) : -1;
    if (x < 0) return kOutside;
    return s->ImageStrip()->Canvas()->Pixel(x, s->Height() - 1);
}

TColor TStyImageList::PixelOf(int i, int k, TPoint p) {
    TStyImageListItem* s = Strips(i);
    const int x = s ? s->OffsetOf(k) : -1;
    if (x < 0 || p.X < 0 || p.Y < 0 || p.X >= s->Width() || p.Y >= s->Height()) return kOutside;
    return s->ImageStrip()->Canvas()->Pixel(x + p.X, p.Y);
}

void TStyImageList::Draw(TCanvas* c, int x, int y, int i, int k) {
    if (TStyImageListItem* s = Strips(i)) s->DrawImage(c, x, y, k);
}

void TStyImageList::DrawInRect(TCanvas* c, const TRect& r, int i, int k, TRect* drawn,
                               uint16_t flags) {
    if (drawn) *drawn = Rect(0, 0, 0, 0);
    TStyImageListItem* s = Strips(i);
    TBitmap image, mask;
    if (!c || !s || !s->GetImage(k, &image)) return;
    const TRect cell = Rect(0, 0, s->Width(), s->Height());
    if (s->Masked() && s->GetMask(k, &mask)) {
        DrawBitmapInRect(c, r, image.Canvas(), cell, uint16_t(flags | bpGivenMask), clNone, nullptr,
                         &mask, drawn);
    } else {
        const COLORREF key = ColorToRGB(TransparentColorOf(i, k));
        const TColor relative = TColor(PALETTERGB(GetRValue(key), GetGValue(key), GetBValue(key)));
        DrawBitmapInRect(c, r, image.Canvas(), cell, flags, relative, nullptr, &image, drawn);
    }
}

void TStyImageList::DrawClipped(TCanvas* c, const TRect& r, int i, int k, TColor color,
                                DWORD offset, uint16_t flags) {
    TStyImageListItem* s = Strips(i);
    TBitmap image;
    if (!c || !s || !s->GetImage(k, &image)) return;
    DrawBitmapClipped(c, r, &image, color, offset, flags);
}

// ---------------------------------------------------------------- string and wave lists

TStyStringList::TStyStringList(TComponent* owner)
    : TStyCustomContainer(owner, ckStringList,
                          [](TComponent* o) { return new TStyStringListItem(o); }) {
    RegisterItemClass<TStyStringListItem>("TStyStringListItem");
}

TStyWaveList::TStyWaveList(TComponent* owner)
    : TStyCustomContainer(owner, ckWaveList,
                          [](TComponent* o) { return new TStyWaveListItem(o); }) {
    RegisterItemClass<TStyWaveListItem>("TStyWaveListItem");
}

// ---------------------------------------------------------------- the container of four lists

TStyContainer::TStyContainer(TComponent* owner)
    : TStyBaseContainer(owner),
      bitmaps_(new TStyBitmapList(this)),
      images_(new TStyImageList(this)),
      waves_(new TStyWaveList(this)),
      strings_(new TStyStringList(this)) {
    for (TStyCustomContainer* l :
         {static_cast<TStyCustomContainer*>(bitmaps_), static_cast<TStyCustomContainer*>(images_),
          static_cast<TStyCustomContainer*>(waves_), static_cast<TStyCustomContainer*>(strings_)})
        l->OnChange = [this](TObject* sender) { ListChanged(sender); };
}

TStyContainer::~TStyContainer() {
    for (TStyCustomContainer* l :
         {static_cast<TStyCustomContainer*>(strings_), static_cast<TStyCustomContainer*>(waves_),
          static_cast<TStyCustomContainer*>(images_),
          static_cast<TStyCustomContainer*>(bitmaps_)}) {
        l->OnChange = nullptr;
        delete l;
    }
}

void TStyContainer::ListChanged(TObject* sender) {
    // Only a container being designed mirrors its lists into the global ones; this
    // platform designs no forms, so the change just passes on.
    SubObjectChanged(sender);
}

TStyContainer* StyGlobalContainer() {
    auto& g = Global();
    if (!g) g = std::make_unique<TStyContainer>(nullptr);
    return g.get();
}

void StyFreeGlobalContainer() { Global().reset(); }

bool StyIsSharedList(const TStyCustomImageList* list) {
    const auto& g = Global();
    return list && g && (list == g->BitmapList() || list == g->ImageList());
}

std::string StyListReferenceName(const TStyCustomImageList* list) {
    const auto& g = Global();
    if (!list || !g) return "";
    if (list == g->BitmapList()) return StyContainerSignature(ckBitmapList);
    if (list == g->ImageList()) return StyContainerSignature(ckImageList);
    return "";
}

TStyCustomImageList* StyListFromReferenceName(const std::string& name) {
    if (name == StyContainerSignature(ckBitmapList)) return StyGlobalContainer()->BitmapList();
    if (name == StyContainerSignature(ckImageList)) return StyGlobalContainer()->ImageList();
    return nullptr;
}

// ---------------------------------------------------------------- form files

namespace {

TStySavePixelFormat PixelFormatOf(const TDfmValue& v) {
    static const char* const names[] = {"spfDefault", "spfMono", "spf4bit", "spf8bit"};
    for (int i = 0; i < 4; ++i)
        if (SameText(v.s, names[i])) return TStySavePixelFormat(i);
    throw EReadError("Invalid property value: " + v.s);
}

template <class List>
void RegisterList(const char* name, const char* parent) {
    TClassReg<List>(name, parent).prop("DefaultCompressed", [](List* l, const TDfmValue& v) {
        l->DefaultCompressed = v.AsBool();
    });
}

}  // namespace

void RegisterStyContainers() {
    static bool done = false;
    if (done) return;
    done = true;
    using I = TStyListItem;
    TClassReg<I>("TStyListItem", "TComponent")
        .prop("Description", [](I* i, const TDfmValue& v) { i->SetDescription(v.AsString()); })
        .prop("Ident", [](I* i, const TDfmValue& v) { i->SetIdent(uint16_t(v.AsInt())); })
        .prop("Compressed", [](I* i, const TDfmValue& v) { i->SetCompressed(v.AsBool()); })
        .stored("Internal",
                [](I* i, const TDfmValue& v) { StyReadStoredProperty(i, "Internal", v); });
    using BI = TStyBitmapListItem;
    TClassReg<BI>("TStyBitmapListItem", "TStyListItem")
        .prop("PixelFormat", [](BI* i, const TDfmValue& v) { i->PixelFormat = PixelFormatOf(v); })
        .object<TBitmap>("Bitmap", &BI::Bitmap);
    using II = TStyImageListItem;
    TClassReg<II>("TStyImageListItem", "TStyListItem")
        .prop("PixelFormat", [](II* i, const TDfmValue& v) { i->PixelFormat = PixelFormatOf(v); })
        .prop("Width", [](II* i, const TDfmValue& v) { i->SetWidth(v.AsInt()); })
        .prop("Height", [](II* i, const TDfmValue& v) { i->SetHeight(v.AsInt()); })
        .prop(
            "AllocBy", [](II* i, const TDfmValue& v) { i->AllocBy = v.AsInt(); }, "4")
        .prop("Masked", [](II* i, const TDfmValue& v) { i->SetMasked(v.AsBool()); })
        .stored("Bitmap", [](II* i, const TDfmValue& v) { StyReadStoredProperty(i, "Bitmap", v); });
    TClassReg<TStyStringListItem>("TStyStringListItem", "TStyListItem")
        .prop("Items.Strings", [](TStyStringListItem* i, const TDfmValue& v) {
            i->Items()->Clear();
            for (const std::string& line : v.AsStrings()) i->Items()->Add(line);
        });
    TClassReg<TStyWave>("TStyWave", "TPersistent", false)
        .stored("Data",
                [](TStyWave* w, const TDfmValue& v) { StyReadStoredProperty(w, "Data", v); });
    TClassReg<TStyWaveListItem>("TStyWaveListItem", "TStyListItem")
        .object<TStyWave>("Wave", &TStyWaveListItem::Wave);
    TClassReg<TStyCustomImageList>("TStyCustomImageList", "TComponent", false)
        .prop(
            "DefaultPixelFormat",
            [](TStyCustomImageList* l, const TDfmValue& v) {
                l->DefaultPixelFormat = PixelFormatOf(v);
            },
            "spfDefault");
    RegisterList<TStyBitmapList>("TStyBitmapList", "TStyCustomImageList");
    RegisterList<TStyImageList>("TStyImageList", "TStyCustomImageList");
    RegisterList<TStyStringList>("TStyStringList", "TComponent");
    RegisterList<TStyWaveList>("TStyWaveList", "TComponent");
}

void StyDefineSharedListReference(TStyFiler& filer,
                                  const std::function<TStyCustomImageList*()>& get,
                                  const std::function<void(TStyCustomImageList*)>& set,
                                  TStyUnknownListName unknown) {
    filer.DefineProperty(
        "Internal",
        [set, unknown](const TDfmValue& v) {
            TStyCustomImageList* list = StyListFromReferenceName(v.AsString());
            if (list || unknown == TStyUnknownListName::Unlinks) set(list);
        },
        [get] {
            TDfmValue v;
            v.kind = TDfmValue::vString;
            v.s = StyListReferenceName(get());
            return v;
        },
        StyIsSharedList(get()));
}
