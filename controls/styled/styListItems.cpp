#include "controls/styled/styListItems.h"

#include "controls/styled/styCustomContainer.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/styStreamIO.h"
#include "platform/gdi/iconDraw.h"
#include "platform/win/icons.h"
#include "platform/win/module.h"

int StyDepthOf(TStySavePixelFormat pf) {
    switch (pf) {
        case spfMono:
            return StyDepth1Bit;
        case spf4bit:
            return StyDepth4Bit;
        case spf8bit:
            return StyDepth8Bit;
        default:
            return StyDepthOwnForm;
    }
}

uint8_t StyPixelFormatFlags(TStySavePixelFormat pf) {
    switch (pf) {
        case spfMono:
            return sifMono;
        case spf4bit:
            return sif4bit;
        case spf8bit:
            return sif8bit;
        default:
            return 0;
    }
}

TStySavePixelFormat StyPixelFormatOfFlags(uint8_t flags) {
    if (flags & sifMono) return spfMono;
    if (flags & sif4bit) return spf4bit;
    if (flags & sif8bit) return spf8bit;
    return spfDefault;
}

// ---------------------------------------------------------------- TStyListItem

void TStyListItem::SetDescription(const std::string& d) {
    if (d == description_) return;
    description_ = d;
    Change();
}

void TStyListItem::SetIdent(uint16_t id) {
    if (id == ident_) return;
    ident_ = id;
    Change();
}

void TStyListItem::SetCompressed(bool c) {
    if (c == compressed_) return;
    compressed_ = c;
    Change();
}

TStyCustomContainer* TStyListItem::Container() const {
    return dynamic_cast<TStyCustomContainer*>(Owner());
}

void TStyListItem::SetParentComponent(TComponent* parent) {
    if (auto* c = dynamic_cast<TStyCustomContainer*>(parent)) {
        if (!c->Accepts(this))
            throw EReadError("A " + c->ClassName() + " holds no " + ClassName() + " (" + Name +
                             ")");
        c->AddItem(this);
    }
}

void TStyListItem::Change() {
    TStyCustomComponent::Change();
    if (Locked()) return;
    if (TStyCustomContainer* c = Container(); c && c->IndexOf(this) >= 0) c->ItemChanged(this);
}

uint8_t TStyListItem::GetFlags() const {
    uint8_t f = compressed_ ? sifCompressed : 0;
    if (!description_.empty()) f |= sifDescription;
    if (ident_ != 0) f |= sifIdent;
    return f;
}

void TStyListItem::ReadCommon(TStream& s, uint8_t flags) {
    compressed_ = flags & sifCompressed;
    description_ = (flags & sifDescription) ? ReadShortText(s) : std::string();
    ident_ = (flags & sifIdent) ? uint16_t(ReadLongInt(s)) : 0;
}

void TStyListItem::ReadData(TStream& s) { ReadCommon(s, ReadFlag(s)); }

void TStyListItem::WriteData(TStream& s) {
    const uint8_t f = GetFlags();
    WriteFlag(s, f);
    if (f & sifDescription) WriteShortText(s, description_);
    if (f & sifIdent) WriteLongInt(s, ident_);
}

void TStyListItem::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyListItem*>(source);
    if (!other) StyAssignError(source, this);
    description_ = other->description_;
    ident_ = other->ident_;
    compressed_ = other->compressed_;
}

void TStyListItem::ReadStoredRecord(TStream& s) {
    BeginUpdate();
    try {
        ReadData(s);
    } catch (...) {
        EndUpdate(false);
        throw;
    }
    EndUpdate(true);
}

void TStyListItem::DefineProperties(TStyFiler& filer) {
    filer.DefineBinaryProperty(
        "Internal", [this](TStream& s) { ReadStoredRecord(s); },
        [this](TStream& s) { WriteData(s); }, true);
}

// ---------------------------------------------------------------- bitmap items

TStyBitmapListItem::TStyBitmapListItem(TComponent* owner)
    : TStyListItem(owner), bitmap_(std::make_unique<TBitmap>()) {
    bitmap_->OnChange = [this] { Change(); };
}

TBitmap* TStyBitmapListItem::Bitmap() {
    if (bitmap_->Empty() && !loading_ && !Loading() && !Designing() && Container())
        LoadFromSource();
    return bitmap_.get();
}

void TStyBitmapListItem::SetBitmap(const TBitmap* b) {
    if (b)
        bitmap_->Assign(*b);
    else
        bitmap_->SetSize(0, 0);
}

void TStyBitmapListItem::LoadFromSource() {
    TStyCustomContainer* c = Container();
    if (c->SourceKind == skNone) return;
    loading_ = true;
    BeginUpdate();
    try {
        const std::string& file = c->SourceFileName;
        const std::string base = ExtractFileName(file).substr(0, 3) + IntToStr(Ident()) + ".bmp";
        switch (c->SourceKind) {
            case skContainerFile:
                LoadBitmapFromFile(GetPathPrefix(c->SourcePathKind, true) + file, Ident(),
                                   bitmap_.get());
                break;
            case skResource:
                if (HBITMAP h = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(Ident())))
                    bitmap_->SetHandle(h);
                break;
            case skLibrary: {
                // Only tells whether the library can be loaded; nothing is taken from it.
                const bool bare = c->SourcePathKind == ppWindows || c->SourcePathKind == ppSystem;
                const std::string name =
                    bare ? file : GetPathPrefix(c->SourcePathKind, true) + base;
                if (HMODULE m = LoadLibraryA(name.c_str())) FreeLibrary(m);
                break;
            }
            case skBitmapFiles: {
                const std::string folder = c->SourcePathKind == ppFixed
                                               ? IncludeTrailingPathDelimiter(ExtractFilePath(file))
                                               : GetPathPrefix(c->SourcePathKind, true);
                bitmap_->LoadFromFile(folder + base);
                break;
            }
            default:
                break;
        }
    } catch (...) {
        loading_ = false;
        EndUpdate(false);
        throw;
    }
    loading_ = false;
    EndUpdate(false);
}

void TStyBitmapListItem::ClearContent() { bitmap_->SetSize(0, 0); }

uint8_t TStyBitmapListItem::GetFlags() const {
    uint8_t f = TStyListItem::GetFlags() | StyPixelFormatFlags(PixelFormat);
    if (!IsEmpty()) f |= sifPayload;
    return f;
}

void TStyBitmapListItem::ReadData(TStream& s) {
    const uint8_t f = ReadFlag(s);
    ReadCommon(s, f);
    PixelFormat = StyPixelFormatOfFlags(f);
    if (f & sifPayload)
        ReadGraphicFromStream(s, bitmap_.get(), Compressed());
    else
        bitmap_->SetSize(0, 0);
}

void TStyBitmapListItem::WriteData(TStream& s) {
    TStyListItem::WriteData(s);
    if (!IsEmpty()) WriteGraphicToStream(s, bitmap_.get(), Compressed(), StyDepthOf(PixelFormat));
}

void TStyBitmapListItem::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyBitmapListItem*>(source);
    if (!other) StyAssignError(source, this);
    BeginUpdate();
    TStyListItem::Assign(source);
    PixelFormat = other->PixelFormat;
    bitmap_->Assign(*other->bitmap_);
    EndUpdate(true);
}

// ---------------------------------------------------------------- string items

TStyStringListItem::TStyStringListItem(TComponent* owner)
    : TStyListItem(owner), items_(std::make_unique<TStringList>()) {
    items_->OnChange = [this] { Change(); };
}

uint8_t TStyStringListItem::GetFlags() const {
    return TStyListItem::GetFlags() | (IsEmpty() ? 0 : sifPayload);
}

void TStyStringListItem::ReadData(TStream& s) {
    const uint8_t f = ReadFlag(s);
    ReadCommon(s, f);
    if (f & sifPayload)
        ReadStringsFromStream(s, items_.get(), Compressed());
    else
        items_->Clear();
}

void TStyStringListItem::WriteData(TStream& s) {
    TStyListItem::WriteData(s);
    if (!IsEmpty()) WriteStringsToStream(s, items_.get(), Compressed());
}

void TStyStringListItem::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyStringListItem*>(source);
    if (!other) StyAssignError(source, this);
    BeginUpdate();
    TStyListItem::Assign(source);
    items_->Assign(*other->items_);
    EndUpdate(true);
}

// ---------------------------------------------------------------- wave items

TStyWaveListItem::TStyWaveListItem(TComponent* owner)
    : TStyListItem(owner), wave_(std::make_unique<TStyWave>()) {
    wave_->OnChange = [this](TObject*) { Change(); };
}

uint8_t TStyWaveListItem::GetFlags() const {
    return TStyListItem::GetFlags() | (IsEmpty() ? 0 : sifPayload);
}

void TStyWaveListItem::ReadData(TStream& s) {
    const uint8_t f = ReadFlag(s);
    ReadCommon(s, f);
    if (f & sifPayload)
        ReadWaveToStream(s, wave_.get(), Compressed());
    else
        wave_->Clear();
}

void TStyWaveListItem::WriteData(TStream& s) {
    TStyListItem::WriteData(s);
    if (!IsEmpty()) WriteWaveToStream(s, wave_.get(), Compressed());
}

void TStyWaveListItem::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyWaveListItem*>(source);
    if (!other) StyAssignError(source, this);
    BeginUpdate();
    TStyListItem::Assign(source);
    wave_->Assign(other->wave_.get());
    EndUpdate(true);
}
