#include "controls/styled/styGlyph.h"

#include "controls/styled/styDrawProcs.h"
#include "platform/gdi/iconDraw.h"
#include "platform/win/icons.h"
#include "platform/win/module.h"

namespace {

TStyGlyphCache* cache = nullptr;

void CopyCell(TBitmap* to, TBitmap* from, int fx, int w, int h) {
    to->SetSize(w, h);
    BitBlt(to->Canvas()->Handle(), 0, 0, w, h, from->Canvas()->Handle(), fx, 0, SRCCOPY);
}

}  // namespace

TStyGlyphCache* StyGlyphCache() { return cache; }

TColor StyBitmapTransparentColor(TBitmap* bmp) {
    if (!bmp || bmp->Empty()) return clNone;
    if (bmp->TransparentMode == tmFixed && bmp->TransparentColor != clNone)
        return bmp->TransparentColor;
    return bmp->Canvas()->Pixel(0, bmp->Height() - 1);
}

// ---------------------------------------------------------------- TStyGlyphList

int TStyGlyphList::AllocateIndex() {
    int i = 0;
    while (i < int(used_.size()) && used_[size_t(i)]) ++i;
    if (i >= int(used_.size())) {
        i = Add(nullptr, nullptr);
        used_.resize(size_t(i) + 1, false);
    }
    used_[size_t(i)] = true;
    return i;
}

int TStyGlyphList::AddMasked(TBitmap* image, TColor transparent) {
    const int i = AllocateIndex();
    ReplaceMasked(i, image, transparent);
    ++count_;
    return i;
}

void TStyGlyphList::Delete(int index) {
    if (index < 0 || index >= int(used_.size()) || !used_[size_t(index)]) return;
    --count_;
    used_[size_t(index)] = false;
}

// ---------------------------------------------------------------- TStyGlyphCache

TStyGlyphCache::~TStyGlyphCache() {
    for (TStyGlyphList* l : lists_) delete l;
}

TStyGlyphList* TStyGlyphCache::GetList(int width, int height) {
    for (TStyGlyphList* l : lists_)
        if (l->Width() == width && l->Height() == height) return l;
    auto* l = new TStyGlyphList(width, height);
    l->SetMasked(true);
    lists_.push_back(l);
    return l;
}

void TStyGlyphCache::ReturnList(TStyGlyphList* list) {
    if (!list || list->UsedCount() != 0) return;
    std::erase(lists_, list);
    delete list;
}

// ---------------------------------------------------------------- TStyGlyph

TStyGlyph::TStyGlyph() : original_(std::make_unique<TBitmap>()) {
    original_->OnChange = [this] { BitmapChanged(); };
    for (int& i : indexes_) i = -1;
    if (!cache) cache = new TStyGlyphCache;
}

TStyGlyph::~TStyGlyph() {
    original_->OnChange = nullptr;
    original_.reset();
    Invalidate();
    if (cache && cache->Empty()) {
        delete cache;
        cache = nullptr;
    }
}

void TStyGlyph::BitmapChanged() {
    transparentColor_ = StyBitmapTransparentColor(original_.get());
    Invalidate();
    if (OnChange) OnChange(this);
}

void TStyGlyph::SetGlyph(const TBitmap* value) {
    Invalidate();
    auto keep = std::move(original_->OnChange);
    if (value)
        original_->Assign(*value);
    else
        original_->SetSize(0, 0);
    original_->OnChange = std::move(keep);
    if (value && value->Height() >= 1) {
        transparentColor_ = StyBitmapTransparentColor(original_.get());
        if (value->Width() % value->Height() == 0) {
            const int n = value->Width() / value->Height();
            SetNumGlyphs(uint8_t(n >= 6 ? 1 : n));
        }
    }
    if (OnChange) OnChange(this);
}

void TStyGlyph::SetNumGlyphs(uint8_t v) {
    if (v == 0 || v == numGlyphs_) return;
    Invalidate();
    numGlyphs_ = v;
}

void TStyGlyph::SetGreyMode(uint8_t v) {
    if (v == greyMode_) return;
    Invalidate();
    greyMode_ = v;
}

void TStyGlyph::Invalidate() {
    for (int& i : indexes_) {
        if (i == -1) continue;
        if (list_) list_->Delete(i);
        i = -1;
    }
    if (cache) cache->ReturnList(list_);
    list_ = nullptr;
}

int TStyGlyph::CreateButtonGlyph(int s) {
    if (s < 0 || s > 8) return -1;
    if (s == 7) s = 1;
    if (s != 1 && s > numGlyphs_ - 1) s = greyMode_ == 0 ? 0 : s == 6 ? 4 : 2;
    if (indexes_[s] != -1) return indexes_[s];
    if (!original_ || original_->Empty()) return -1;
    const int W = original_->Width() / numGlyphs_, H = original_->Height();
    if (W < 1) return -1;
    if (!cache) cache = new TStyGlyphCache;
    if (!list_) list_ = cache->GetList(W, H);
    TBitmap cell;
    if (s < numGlyphs_ && !(greyMode_ == 1 && s == 0)) {
        CopyCell(&cell, original_.get(), s * W, W, H);
        indexes_[s] = list_->AddMasked(&cell, transparentColor_);
        return indexes_[s];
    }
    CopyCell(&cell, original_.get(), 0, W, H);
    switch (s) {
        case 0: {
            TBitmap grey;
            MakeEmbossedBitmap(&grey, &cell);
            indexes_[s] = list_->AddMasked(&grey, transparentColor_);
            break;
        }
        case 1: {
            TBitmap disabled;
            disabled.SetSize(W, H);
            cell.TransparentColor = transparentColor_;
            cell.TransparentMode = tmFixed;
            DrawDisabledBitmap(&disabled, &cell, 0, 0);
            indexes_[s] = list_->AddMasked(&disabled, transparentColor_);
            break;
        }
        case 2:
        case 3:
        case 4:
            indexes_[s] = list_->AddMasked(&cell, transparentColor_);
            break;
        default:
            break;
    }
    return indexes_[s];
}

void TStyGlyph::Draw(TCanvas* c, const std::string& caption, TStyFxCaption* fx, const TRect& r,
                     int look, TStyButtonLayout* layout, UINT options, bool multiLine,
                     UINT textFlags) {
    const int index = CreateButtonGlyph(look);
    TStyGlyphTextRects rects;
    TRect glyph;
    TBitmap image, mask;
    TCanvas* glyphCanvas = nullptr;
    TBitmap* maskBmp = nullptr;
    if (index != -1 && list_ && list_->GetImage(index, &image)) {
        glyph = Rect(0, 0, image.Width(), image.Height());
        glyphCanvas = image.Canvas();
        if (list_->GetMask(index, &mask)) maskBmp = &mask;
    }
    DrawGlyphText(c, caption, fx, &rects, textFlags, options, true, true, multiLine, layout,
                  transparentColor_, maskBmp, glyph, glyphCanvas, r);
}

// ---------------------------------------------------------------- arrow glyphs

void LoadArrowGlyph(TBitmap* bmp, uint8_t number) {
    if (!bmp) return;
    bmp->SetHandle(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(16546)));
    const int n = number & 0x7F;
    if (n != 1) {
        const int x = (n - 1) * 13;
        BitBlt(bmp->Canvas()->Handle(), 0, 0, 13, 14, bmp->Canvas()->Handle(), x, 0, SRCCOPY);
    }
    bmp->SetWidth(13);
}
