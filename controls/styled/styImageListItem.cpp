#include "controls/styled/styImageListItem.h"

#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/styStreamIO.h"

namespace {

constexpr int kMaxStripWidth = 32768;
constexpr const char* kBadSize = "无效的图像大小";
constexpr const char* kTooMany = "图像太多";

void CopyCell(TBitmap* to, int tx, TBitmap* from, int fx, int w, int h) {
    BitBlt(to->Canvas()->Handle(), tx, 0, w, h, from->Canvas()->Handle(), fx, 0, SRCCOPY);
}

}  // namespace

TStyImageListItem::TStyImageListItem(TComponent* owner)
    : TStyListItem(owner),
      image_(std::make_unique<TBitmap>()),
      mask_(std::make_unique<TBitmap>()) {}

TStyImageListItem::TStyImageListItem(TComponent* owner, int width, int height)
    : TStyImageListItem(owner) {
    if (width < 1 || height < 1) throw EInvalidGraphicOperation(kBadSize);
    width_ = width;
    height_ = height;
}

void TStyImageListItem::Empty() {
    image_->SetSize(0, 0);
    mask_->SetSize(0, 0);
    used_ = 0;
    entries_.clear();
}

void TStyImageListItem::ClearContent() {
    Empty();
    Change();
}

void TStyImageListItem::SetWidth(int w) {
    if (w < 1 || w == width_) return;
    width_ = w;
    Empty();
    Change();
}

void TStyImageListItem::SetHeight(int h) {
    if (h < 1 || h == height_) return;
    height_ = h;
    Empty();
    Change();
}

void TStyImageListItem::SetMasked(bool m) {
    if (m == masked_) return;
    masked_ = m;
    if (m) {
        mask_->SetMonochrome(true);
        mask_->SetSize(image_->Width(), image_->Height());
        PatBlt(mask_->Canvas()->Handle(), 0, 0, mask_->Width(), mask_->Height(), BLACKNESS);
    } else {
        mask_->SetSize(0, 0);
    }
    for (Entry& e : entries_) e.masked = m;
    Change();
}

int TStyImageListItem::OffsetOf(int k) const {
    return k >= 0 && k < Count() ? entries_[size_t(k)].x : -1;
}

void TStyImageListItem::Grow(int more) {
    const int need = used_ + more * width_;
    if (need <= image_->Width()) return;
    int cells = image_->Width() / width_;
    const int step = std::max(1, AllocBy);
    while (cells * width_ < need) cells += step;
    int w = cells * width_;
    if (need > kMaxStripWidth) throw EInvalidGraphicOperation(kTooMany);
    w = std::min(w, kMaxStripWidth);
    TBitmap old;
    old.Assign(*image_);
    image_->SetSize(w, height_);
    PatBlt(image_->Canvas()->Handle(), 0, 0, w, height_, BLACKNESS);
    if (used_ > 0) CopyCell(image_.get(), 0, &old, 0, used_, height_);
    if (masked_) {
        TBitmap oldMask;
        oldMask.Assign(*mask_);
        mask_->SetMonochrome(true);
        mask_->SetSize(w, height_);
        PatBlt(mask_->Canvas()->Handle(), 0, 0, w, height_, BLACKNESS);
        if (used_ > 0) CopyCell(mask_.get(), 0, &oldMask, 0, used_, height_);
    }
}

int TStyImageListItem::Add(TBitmap* image, TBitmap* mask) {
    const int first = Count();
    if (!image && !mask) {
        Grow(1);
        entries_.push_back(Entry{uint16_t(used_), uint8_t(masked_)});
        used_ += width_;
        Change();
        return first;
    }
    if (!image || image->Height() != height_ || image->Width() == 0 || image->Width() % width_ != 0)
        throw EInvalidGraphicOperation(kBadSize);
    if (masked_ && mask && (mask->Height() != height_ || mask->Width() != image->Width()))
        throw EInvalidGraphicOperation(kBadSize);
    const int n = image->Width() / width_;
    Grow(n);
    CopyCell(image_.get(), used_, image, 0, image->Width(), height_);
    if (masked_) {
        if (mask)
            CopyCell(mask_.get(), used_, mask, 0, mask->Width(), height_);
        else
            PatBlt(mask_->Canvas()->Handle(), used_, 0, image->Width(), height_, BLACKNESS);
    }
    for (int i = 0; i < n; ++i) {
        entries_.push_back(Entry{uint16_t(used_), uint8_t(masked_)});
        used_ += width_;
    }
    Change();
    return first;
}

int TStyImageListItem::AddMasked(TBitmap* image, TColor transparent) {
    if (!image) throw EInvalidGraphicOperation(kBadSize);
    TBitmap mask, picture;
    MakeMask(image, &mask, &picture, transparent);
    return Add(&picture, &mask);
}

void TStyImageListItem::ReplaceMasked(int k, TBitmap* image, TColor transparent) {
    if (k < 0 || k >= Count()) return;
    if (!image || image->Width() != width_ || image->Height() != height_)
        throw EInvalidGraphicOperation(kBadSize);
    TBitmap mask, picture;
    MakeMask(image, &mask, &picture, transparent);
    const int x = entries_[size_t(k)].x;
    CopyCell(image_.get(), x, &picture, 0, width_, height_);
    if (masked_) CopyCell(mask_.get(), x, &mask, 0, width_, height_);
    entries_[size_t(k)].masked = uint8_t(masked_);
    Change();
}

bool TStyImageListItem::GetImage(int k, TBitmap* out) const {
    if (!out || k < 0 || k >= Count()) return false;
    out->SetSize(width_, height_);
    CopyCell(out, 0, image_.get(), entries_[size_t(k)].x, width_, height_);
    return true;
}

bool TStyImageListItem::GetMask(int k, TBitmap* out) const {
    if (!out || !masked_ || k < 0 || k >= Count()) return false;
    out->SetMonochrome(true);
    out->SetSize(width_, height_);
    CopyCell(out, 0, mask_.get(), entries_[size_t(k)].x, width_, height_);
    return true;
}

// ---------------------------------------------------------------- drawing

void TStyImageListItem::FillPattern(TBitmap* bmp, bool checkerboard) const {
    if (PatternColor == clNone || !bmp) return;
    TCanvas* c = bmp->Canvas();
    for (int y = 0; y < bmp->Height(); ++y)
        for (int x = 0; x < bmp->Width(); ++x) {
            const bool set = checkerboard ? (x + y) % 2 == 1 : !(x % 2 == 1 && y % 2 == 1);
            if (set) c->SetPixel(x, y, PatternColor);
        }
}

void TStyImageListItem::MaskedCopy(TCanvas* c, TBitmap* source, int x, int y, int k) {
    if (!c || k < 0 || k >= Count()) return;
    const int sx = entries_[size_t(k)].x;
    const TRect dest = Rect(x, y, x + width_, y + height_),
                cell = Rect(sx, 0, sx + width_, height_);
    const DWORD old = c->CopyMode;
    c->CopyMode = SRCAND;
    c->CopyRect(dest, mask_->Canvas(), cell);
    c->CopyMode = SRCPAINT;
    c->CopyRect(dest, (source ? source : image_.get())->Canvas(), cell);
    c->CopyMode = old;
}

void TStyImageListItem::DrawImage(TCanvas* c, int x, int y, int k) {
    if (!c || k < 0 || k >= Count()) return;
    const int sx = entries_[size_t(k)].x;
    const TRect dest = Rect(x, y, x + width_, y + height_),
                cell = Rect(sx, 0, sx + width_, height_);
    if (!masked_) {
        c->CopyRect(dest, image_->Canvas(), cell);
        return;
    }
    if (ShowMask) {
        c->CopyRect(dest, mask_->Canvas(), cell);
        return;
    }
    auto throughBitmap = [&](bool pattern, bool checkerboard) {
        TBitmap tmp;
        PrepareBitmap(&tmp, Rect(0, 0, width_, height_), BackColor);
        MaskedCopy(tmp.Canvas(), nullptr, 0, 0, k);
        if (pattern) FillPattern(&tmp, checkerboard);
        c->CopyRect(dest, tmp.Canvas(), Rect(0, 0, width_, height_));
    };
    switch (DrawMode) {
        case 0:
            throughBitmap(true, false);
            break;
        case 1:
            throughBitmap(true, true);
            break;
        case 2:
            if (BackColor != clNone)
                throughBitmap(false, false);
            else
                MaskedCopy(c, nullptr, x, y, k);
            break;
        default:
            MaskedCopy(c, nullptr, x, y, k);
            break;
    }
}

// ---------------------------------------------------------------- storing

uint8_t TStyImageListItem::GetFlags() const {
    return TStyListItem::GetFlags() | StyPixelFormatFlags(PixelFormat);
}

void TStyImageListItem::WriteData(TStream& s) {
    TStyListItem::WriteData(s);
    WriteLongInt(s, height_);
    WriteLongInt(s, width_);
    WriteLongInt(s, AllocBy);
    WriteFlag(s, masked_);
    WriteLongInt(s, Count());
    if (Count() == 0) return;
    TBitmap strip;
    strip.SetSize(Count() * width_, height_);
    CopyCell(&strip, 0, image_.get(), 0, strip.Width(), height_);
    WriteGraphicToStream(
        s, &strip, Compressed(),
        StyDepthOf(PixelFormat) == StyDepthOwnForm ? StyDepthOwn : StyDepthOf(PixelFormat));
    if (masked_) {
        TBitmap maskStrip;
        maskStrip.SetMonochrome(true);
        maskStrip.SetSize(Count() * width_, height_);
        CopyCell(&maskStrip, 0, mask_.get(), 0, maskStrip.Width(), height_);
        WriteGraphicToStream(s, &maskStrip, Compressed(), StyDepth1Bit);
    }
}

void TStyImageListItem::ReadData(TStream& s) {
    const uint8_t f = ReadFlag(s);
    ReadCommon(s, f);
    PixelFormat = StyPixelFormatOfFlags(f);
    const int32_t h = ReadLongInt(s), w = ReadLongInt(s), allocBy = ReadLongInt(s);
    const bool masked = ReadFlag(s) != 0;
    const int32_t count = ReadLongInt(s);
    // Sizes from a file are checked before anything is made of them.
    if (w < 1 || h < 1 || h > kMaxStripWidth || count < 0 || int64_t(count) * w > kMaxStripWidth)
        throw EReadError(std::string("Stream read error: ") + kBadSize);
    Empty();
    width_ = w;
    height_ = h;
    AllocBy = std::max(1, std::min(allocBy, kMaxStripWidth));
    masked_ = masked;
    if (count == 0) return;
    TBitmap strip, maskStrip;
    ReadGraphicFromStream(s, &strip, Compressed());
    if (masked_) ReadGraphicFromStream(s, &maskStrip, Compressed());
    if (strip.Width() < count * w || strip.Height() != h ||
        (masked_ && (maskStrip.Width() < count * w || maskStrip.Height() != h)))
        throw EReadError(std::string("Stream read error: ") + kBadSize);
    strip.SetSize(count * w, h);
    if (masked_) {
        maskStrip.SetSize(count * w, h);
        Add(&strip, &maskStrip);
    } else {
        Add(&strip, nullptr);
    }
}

void TStyImageListItem::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyImageListItem*>(source);
    if (!other) StyAssignError(source, this);
    BeginUpdate();
    TStyListItem::Assign(source);
    width_ = other->width_;
    height_ = other->height_;
    AllocBy = other->AllocBy;
    masked_ = other->masked_;
    PixelFormat = other->PixelFormat;
    BackColor = other->BackColor;
    PatternColor = other->PatternColor;
    DrawMode = other->DrawMode;
    ShowMask = other->ShowMask;
    Empty();
    image_->Assign(*other->image_);
    if (masked_) mask_->Assign(*other->mask_);
    used_ = other->used_;
    entries_ = other->entries_;
    EndUpdate(true);
}

void TStyImageListItem::DefineProperties(TStyFiler& filer) {
    TStyListItem::DefineProperties(filer);
    // Image data of an older form: read as an item record, never written.
    filer.DefineBinaryProperty(
        "Bitmap", [this](TStream& s) { ReadStoredRecord(s); }, nullptr, false);
}
