#include "controls/styled/styFillObject.h"

#include "controls/styled/stySystem.h"

TStyShapeFill::TStyShapeFill()
    : bitmap_(std::make_unique<TBitmap>()),
      gradient_(std::make_unique<TStyGradient>()),
      listBitmap_(std::make_unique<TBitmap>()) {
    bitmap_->OnChange = [this] { SubObjectChanged(bitmap_.get()); };
    gradient_->OnChange = [this](TObject* s) { SubObjectChanged(s); };
}

void TStyShapeFill::SetBitmap(const TBitmap* b) {
    if (b)
        bitmap_->Assign(*b);
    else
        bitmap_->SetSize(0, 0);
}

void TStyShapeFill::SetListBitmap(const TBitmap* b) {
    if (b)
        listBitmap_->Assign(*b);
    else
        listBitmap_->SetSize(0, 0);
}

void TStyShapeFill::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyShapeFill*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    BeginUpdate();
    bitmap_->Assign(*other->bitmap_);
    listBitmap_->Assign(*other->listBitmap_);
    gradient_->Assign(other->gradient_.get());
    style_ = other->style_;
    tileMode_ = other->tileMode_;
    EndUpdate(true);
}

// ---------------------------------------------------------------- TStyFillObject

TStyFillObject::TStyFillObject() : brush_(std::make_unique<TBrush>()) {
    brush_->OnChange = [this] { SubObjectChanged(brush_.get()); };
    SetStyleQuietly(sfNone);
}

bool TStyFillObject::PlacementShows() const {
    return (Style() == sfBitmap || Style() == sfBitmapList) && TileMode() == tmNone;
}

void TStyFillObject::SetAlignment(TStyAlignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    if (PlacementShows()) Change();
}

void TStyFillObject::SetOffset(int index, int value) {
    int& field = index == 0 ? offsetX_ : offsetY_;
    if (field == value) return;
    field = value;
    if (PlacementShows()) Change();
}

void TStyFillObject::SetBrush(const TBrush* b) {
    if (b) brush_->Assign(*b);  // its change notifies through the brush
}

void TStyFillObject::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyFillObject*>(source);
    if (!other) {
        TStyShapeFill::Assign(source);
        return;
    }
    BeginUpdate();
    brush_->Assign(*other->brush_);
    options_ = other->options_;
    SetBitmap(other->Bitmap());
    SetListBitmap(other->ListBitmap());
    SetGradient(other->Gradient());
    SetStyle(other->Style());
    SetTileMode(other->TileMode());
    EndUpdate(true);
}

std::string TStyFillObject::GetDescription() const {
    switch (Style()) {
        case sfNone:
            return "{Disabled}";
        case sfBrush:
            return "{Brush}";
        case sfBitmap:
            return "{Bitmap}";
        case sfBitmapList:
            return "{BitmapList}";
        case sfGradient:
            return "{Gradient}";
        default:
            return "{}";
    }
}

bool TStyFillObject::Fill(TCanvas* c, const TRect& r, TColor color) {
    if (!c) return false;
    switch (Style()) {
        case sfNone:
            return false;
        case sfBrushBitmap: {
            HDC dc = c->Handle();
            HBRUSH pattern = nullptr;
            if (!Bitmap()->Empty()) {
                // Windows 9x pattern brushes hold 8x8 pixels only.
                TBitmap small;
                TBitmap* source = Bitmap();
                if (!IsWinNT && IsWin9x) {
                    small.SetSize(8, 8);
                    BitBlt(small.Canvas()->Handle(), 0, 0, 8, 8, Bitmap()->Canvas()->Handle(), 0, 0,
                           SRCCOPY);
                    source = &small;
                }
                pattern = CreatePatternBrush(source->Handle());
            }
            RECT rc = ToRECT(r);
            if (pattern) {
                FillRect(dc, &rc, pattern);
                DeleteObject(pattern);
            } else {
                c->FillRect(r);
            }
            return true;
        }
        case sfBrush: {
            c->Brush()->Assign(*brush_);
            c->Pen()->Color = color;
            if (brush_->Style != bsSolid) {
                // A hatch shows on the colour: the canvas would let the background through.
                HDC dc = c->Handle();
                SetBkColor(dc, ColorToRGB(color));
                SetBkMode(dc, OPAQUE);
            }
            c->FillRect(r);
            return true;
        }
        case sfBitmap:
        case sfBitmapList: {
            TBitmap* bmp = Style() == sfBitmap ? Bitmap() : ListBitmap();
            if (bmp->Empty()) return false;
            uint16_t flags = (options_ & foQuickDraw) ? 0 : bpPalette;
            auto fillInner = [&] {
                if (!(options_ & foFillInner)) return;
                c->Brush()->Color = color;
                c->Brush()->Style = bsSolid;
                c->FillRect(r);
            };
            switch (TileMode()) {
                case tmNone: {
                    fillInner();
                    TRect place = AlignRect(alignment_, Rect(0, 0, bmp->Width(), bmp->Height()), r);
                    place = Rect(place.Left + offsetX_, place.Top + offsetY_,
                                 place.Right + offsetX_, place.Bottom + offsetY_);
                    DrawBitmapToRect(c, place, bmp, nullptr, clNone, flags);
                    break;
                }
                case tmCenter:
                    fillInner();
                    DrawBitmapToRect(c, r, bmp, nullptr, clNone, uint16_t(flags | bpCenter));
                    break;
                case tmStretch:
                    DrawBitmapToRect(c, r, bmp, nullptr, clNone, uint16_t(flags | bpStretch));
                    break;
                case tmTile:
                    // Tiles end at the rectangle's edges.
                    DrawBitmapClipped(c, r, bmp, clNone, 0, uint16_t(flags | bpTile | bpClip));
                    break;
            }
            return true;
        }
        case sfGradient: {
            uint16_t flags = (options_ & foGrUseBitmap) ? bpOffScreen : 0;
            if (Gradient()->PaletteRealize()) flags |= bpPalette;
            Gradient()->Fill(c, r, flags);
            return true;
        }
    }
    return false;
}
