#include "controls/extended/xcGif.h"

#include <algorithm>
#include <cstring>

#include "platform/user/clipboard.h"

bool TolerateCorruptGifData = true;

// ---------------------------------------------------------------- frame

TXcGIFFrame::TXcGIFFrame(TXcGIFImage* owner) : owner_(owner) {}
TXcGIFFrame::~TXcGIFFrame() = default;

TBitmap* TXcGIFFrame::Bitmap() {
    if (!bitmap_) {
        auto bmp = std::make_unique<TBitmap>();
        if (!Item->Data.empty())
            LoadBitmapFromDIB(*bmp, DecodeGifFrameToDIB(*this, TolerateCorruptGifData));
        bitmap_ = std::move(bmp);
    }
    return bitmap_.get();
}

void TXcGIFFrame::Assign(const TXcGIFFrame& src) {
    if (&src == this) return;
    Item = src.Item;
    LocalColors = src.owner_ == owner_ ? src.LocalColors : true;
    Left = src.Left;
    Top = src.Top;
    Interlaced = src.Interlaced;
    bitmap_.reset();
    if (src.bitmap_) {
        bitmap_ = std::make_unique<TBitmap>();
        CopyBitmap(*bitmap_, *src.bitmap_);
    }
    TransparentColor = src.TransparentColor;
    DisplayTime = src.DisplayTime;
    Disposal = src.Disposal;
    Grayscale = src.Grayscale;
    Corrupted = src.Corrupted;
    Extensions.clear();
    for (const auto& e : src.Extensions)
        if (e.Kind == ekComment) Extensions.push_back(e);
    if (owner_) owner_->RecomputeScreen();
}

void TXcGIFFrame::Assign(const TXcGIFImage& src) {
    if (!src.FrameCount()) return;
    Assign(*src.Frames(src.FrameIndex < 0 ? 0 : std::min(src.FrameIndex, src.FrameCount() - 1)));
}

void TXcGIFFrame::Assign(TGraphic* src) {
    if (auto* gif = dynamic_cast<TXcGIFImage*>(src)) return Assign(*gif);
    if (!src || src->Empty()) return;
    auto bmp = std::make_unique<TBitmap>();
    auto* srcBmp = dynamic_cast<TBitmap*>(src);
    if (srcBmp) {
        CopyBitmap(*bmp, *srcBmp);
    } else {
        bmp->SetSize(src->Width(), src->Height());
        bmp->Canvas()->Draw(0, 0, src);
    }
    if (src->Transparent) {
        if (srcBmp) {
            TColor c = srcBmp->TransparentColor;
            if (c == clNone) c = TColor(bmp->Image().pixel(0, bmp->Height() - 1));
            TransparentColor = uint32_t(ColorToRGB(c)) & 0xFFFFFF;
        } else {
            TransparentColor = uint32_t(ColorToRGB(bmp->Canvas()->Brush()->Color)) & 0xFFFFFF;
        }
    }
    Item = std::make_shared<TGIFItem>();
    Item->Width = bmp->Width();
    Item->Height = bmp->Height();
    bitmap_ = std::move(bmp);
    if (owner_) owner_->RecomputeScreen();
}

void TXcGIFFrame::AssignTo(TBitmap& dest) {
    CopyBitmap(dest, *Bitmap());
    if (TransparentColor != GifNoColor) {
        dest.TransparentColor = TColor(TransparentColor);
        dest.Transparent = true;
    }
}

void TXcGIFFrame::Encode() {
    if (!Item->Data.empty()) return;
    if (!bitmap_ || bitmap_->Empty()) GifError(SGifNoData);
    // A bitmap of 1, 4 or 8 bits keeps its own indices and table; any other is reduced.
    const TPixelFormat pf = bitmap_->PixelFormat();
    const bool indexed = pf == pf1bit || pf == pf4bit || pf == pf8bit;
    auto dib = indexed ? BitmapToDIBStream(*bitmap_, pf, DefaultColorReduction)
                       : BitmapToDIBStream(*bitmap_, pf8bit,
                                           Grayscale ? rdGrayscale : DefaultColorReduction);
    const uint8_t* p = dib->Memory();
    const int bitCount = GetLE16(p + DibFileHeaderSize + 14);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8) GifError(SGifEncodeError);
    auto item = std::make_shared<TGIFItem>();
    item->Width = bitmap_->Width();
    item->Height = bitmap_->Height();
    item->ColorTable.Count = std::min(256u, 1u << bitCount);
    const uint8_t* pal = p + DibFileHeaderSize + GetLE32(p + DibFileHeaderSize);
    for (unsigned i = 0; i < item->ColorTable.Count; ++i) {
        item->ColorTable.Colors[i][0] = pal[4 * i + 2];
        item->ColorTable.Colors[i][1] = pal[4 * i + 1];
        item->ColorTable.Colors[i][2] = pal[4 * i];
    }
    TMemoryStream data;
    const TGifPixelFormat fmt{item->Width, item->Height, bitCount};
    const size_t size = GifStride(fmt.Width, bitCount) * size_t(fmt.Height);
    EncodeGifLzw(data, fmt, false, nullptr, p + GetLE32(p + 10), size);
    item->Data.assign(reinterpret_cast<const char*>(data.Memory()), size_t(data.Size()));
    item->BitsPerPixel = uint8_t(GifBitsForCount(item->ColorTable.Count));
    Interlaced = false;
    Item = item;
    TGIFData& gd = *owner_->Data;
    if (!gd.ColorTable.Count) {
        gd.ColorTable = item->ColorTable;
        gd.BitsPerPixel = item->BitsPerPixel;
        LocalColors = false;
    } else {
        LocalColors = true;
    }
    owner_->RecomputeScreen();
}

// ---------------------------------------------------------------- image

TXcGIFImage::TXcGIFImage() {
    NewImage();
    Transparent = true;
}

TXcGIFImage::~TXcGIFImage() = default;

void TXcGIFImage::NewImage() {
    Data = std::make_shared<TGIFData>();
    frames_.clear();
    Corrupted = false;
    FrameIndex = -1;
    BackgroundColor = GifNoColor;
    RepeatCount = 1;
    Looping = false;
    Version = 0;
    ScreenWidth = ScreenHeight = 0;
}

TXcGIFFrame* TXcGIFImage::Current() const {
    if (frames_.empty()) return nullptr;
    return frames_[FrameIndex >= 0 && FrameIndex < int(frames_.size()) ? size_t(FrameIndex) : 0]
        .get();
}

int TXcGIFImage::Width() const {
    TXcGIFFrame* f = Empty() ? nullptr : Current();
    return f ? f->Bitmap()->Width() : 0;
}

int TXcGIFImage::Height() const {
    TXcGIFFrame* f = Empty() ? nullptr : Current();
    return f ? f->Bitmap()->Height() : 0;
}

bool TXcGIFImage::Empty() const {
    TXcGIFFrame* f = Current();
    if (!f) return true;
    if (f->HasBitmap()) return false;
    return f->Item->Data.empty();
}

bool TXcGIFImage::GetTransparent() const {
    if (!Transparent) return false;
    return std::any_of(frames_.begin(), frames_.end(),
                       [](const auto& f) { return f->TransparentColor != GifNoColor; });
}

void TXcGIFImage::SetWidth(int) { GifError(SGifImageResize); }
void TXcGIFImage::SetHeight(int) { GifError(SGifImageResize); }

void TXcGIFImage::Draw(TCanvas* c, const TRect& r) {
    TXcGIFFrame* f = Current();
    if (!f || !c) return;
    TBitmap* bmp = f->Bitmap();
    if (f->TransparentColor != GifNoColor && Transparent)
        DrawBitmapTransparent(c, r.Left, r.Top, r.Width(), r.Height(), bmp, 0, 0, bmp->Width(),
                              bmp->Height(), TColor(f->TransparentColor));
    else
        c->StretchDraw(r, bmp);
}

namespace {

class TImageSink : public TGifFrameSink {
public:
    TImageSink(TXcGIFImage* image, std::vector<std::unique_ptr<TXcGIFFrame>>& frames)
        : image_(image), frames_(frames) {}
    std::unique_ptr<TGifFrameRecord> NewFrame() override {
        return std::make_unique<TXcGIFFrame>(image_);
    }
    void AppendFrame(std::unique_ptr<TGifFrameRecord> f) override {
        frames_.emplace_back(static_cast<TXcGIFFrame*>(f.release()));
    }

private:
    TXcGIFImage* image_;
    std::vector<std::unique_ptr<TXcGIFFrame>>& frames_;
};

}  // namespace

void TXcGIFImage::ReadGIFStream(int64_t size, TStream& s, bool decodeFirst) {
    NewImage();
    // A stated size beyond the data is refused before anything is allocated for it.
    if (size < 0 || size > s.Size() - s.Position()) GifError(SReadError);
    std::string buf(size_t(size), '\0');
    if (size) s.ReadBuffer(buf.data(), size);
    TImageSink sink(this, frames_);
    try {
        ReadGifStream(reinterpret_cast<const uint8_t*>(buf.data()), buf.size(), *this, sink,
                      TolerateCorruptGifData);
    } catch (...) {
        if (!frames_.empty()) FrameIndex = 0;
        Changed();
        throw;
    }
    if (!frames_.empty()) {
        FrameIndex = 0;
        if (decodeFirst) Current()->Bitmap();
    }
    Changed();
}

void TXcGIFImage::WriteGIFStream(TStream& s, bool withCount) {
    if (frames_.empty()) GifError(SGifNoData);
    std::vector<TGifFrameRecord*> records;
    for (auto& f : frames_) {
        f->Encode();
        records.push_back(f.get());
    }
    WriteGifStream(s, *this, records, withCount);
}

void TXcGIFImage::LoadFromStream(TStream& s) { ReadGIFStream(s.Size() - s.Position(), s, true); }
void TXcGIFImage::SaveToStream(TStream& s) { WriteGIFStream(s, false); }

void TXcGIFImage::ReadData(TStream& s) {
    uint8_t n[4];
    s.ReadBuffer(n, 4);
    ReadGIFStream(int64_t(GetLE32(n)), s, true);
}

void TXcGIFImage::WriteData(TStream& s) { WriteGIFStream(s, true); }

void TXcGIFImage::LoadFromFile(const std::string& name) {
    TFileStream f(name, fmOpenRead);
    LoadFromStream(f);
}

void TXcGIFImage::SaveToFile(const std::string& name) {
    TFileStream f(name, fmCreate);
    SaveToStream(f);
}

void TXcGIFImage::LoadFromData(const std::string& bytes) {
    TMemoryStream m;
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    m.SetPosition(0);
    LoadFromStream(m);
}

int TXcGIFImage::AddFrame(TGraphic* g) {
    frames_.push_back(std::make_unique<TXcGIFFrame>(this));
    FrameIndex = int(frames_.size()) - 1;
    frames_.back()->Assign(g);
    if (Version == 0) Version = 1;
    if (frames_.size() > 1) Version = 2;
    return FrameIndex;
}

TBitmap* TXcGIFImage::GetBitmap() {
    if (frames_.empty()) {
        TBitmap empty;
        AddFrame(&empty);
    }
    return Current()->Bitmap();
}

void TXcGIFImage::RecomputeScreen() {
    for (const auto& f : frames_) {
        const int w = f->HasBitmap() ? f->Bitmap()->Width() : f->Item->Width;
        const int h = f->HasBitmap() ? f->Bitmap()->Height() : f->Item->Height;
        ScreenWidth = std::max(ScreenWidth, f->Left + w);
        ScreenHeight = std::max(ScreenHeight, f->Top + h);
    }
}

void TXcGIFImage::Assign(const TXcGIFImage& src) {
    if (&src == this) return;
    Data = src.Data;
    Version = src.Version;
    BackgroundColor = src.BackgroundColor;
    RepeatCount = src.RepeatCount;
    Looping = src.Looping;
    Corrupted = src.Corrupted;
    ScreenWidth = src.ScreenWidth;
    ScreenHeight = src.ScreenHeight;
    frames_.clear();
    for (const auto& f : src.frames_) {
        frames_.push_back(std::make_unique<TXcGIFFrame>(this));
        frames_.back()->Assign(*f);
        frames_.back()->LocalColors = f->LocalColors;
    }
    FrameIndex = src.FrameIndex;
    Changed();
}

void TXcGIFImage::Assign(const TXcGIFFrame& src) {
    // Copied before NewImage: the frame may be one of this image's own.
    auto frame = std::make_unique<TXcGIFFrame>(this);
    frame->Assign(src);
    TGIFData screen;
    if (const TXcGIFImage* owner = src.Owner()) screen = *owner->Data;
    NewImage();
    Data->AspectRatio = screen.AspectRatio;
    Data->BitsPerPixel = screen.BitsPerPixel;
    Data->ColorResolution = screen.ColorResolution;
    Data->ColorTable = screen.ColorTable;
    frames_.push_back(std::move(frame));
    FrameIndex = 0;
    RecomputeScreen();
    if (Version == 0) Version = 1;
    Changed();
}

void TXcGIFImage::Assign(TGraphic* src) {
    if (auto* gif = dynamic_cast<TXcGIFImage*>(src)) return Assign(*gif);
    NewImage();
    if (src) AddFrame(src);
    Changed();
}

void TXcGIFImage::AssignTo(TGraphic* dest) {
    if (auto* gif = dynamic_cast<TXcGIFImage*>(dest)) return gif->Assign(*this);
    auto* bmp = dynamic_cast<TBitmap*>(dest);
    if (!bmp || Empty()) return;
    Current()->AssignTo(*bmp);
}

const UINT CF_GIF = RegisterClipboardFormatA("GIF Image");

void RegisterGIFFormat() {
    TPicture::RegisterFileFormat("gif", SGifImageDescription, "TXcGIFImage",
                                 [] { return std::make_unique<TXcGIFImage>(); });
    TPicture::RegisterClipboardFormat(
        CF_GIF, [] { return std::make_unique<TXcGIFImage>(); }, "TXcGIFImage");
}

void UnregisterGIFFormat() { TPicture::UnregisterGraphicClass("TXcGIFImage"); }

namespace {
// Pictures read GIF files with this class from the program's start to its end.
struct TGifUnit {
    TGifUnit() { RegisterGIFFormat(); }
    ~TGifUnit() { UnregisterGIFFormat(); }
    TGifUnit(const TGifUnit&) = delete;
    TGifUnit& operator=(const TGifUnit&) = delete;
};
const TGifUnit gifUnit;
}  // namespace

void TXcGIFImage::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    HGLOBAL gif = IsClipboardFormatAvailable(CF_GIF) ? GetClipboardData(CF_GIF) : nullptr;
    if (!gif) {
        TBitmap b;
        b.LoadFromClipboardFormat(format, data, palette);
        Assign(&b);
        return;
    }
    TMemoryStream m;
    if (const void* p = GlobalLock(gif)) {
        m.WriteBuffer(p, int64_t(GlobalSize(gif)));
        GlobalUnlock(gif);
    }
    m.SetPosition(0);
    uint8_t count[4];
    if (m.Read(count, 4) != 4) GifError(SReadError);
    ReadGIFStream(int64_t(GetLE32(count)), m, false);
    if (!frames_.empty() && IsClipboardFormatAvailable(CF_BITMAP))
        if (HANDLE bmp = GetClipboardData(CF_BITMAP))
            frames_[0]->Bitmap()->LoadFromClipboardFormat(CF_BITMAP, bmp, palette);
}

void TXcGIFImage::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    if (frames_.empty()) GifError(SGifNoData);
    frames_[0]->Bitmap()->SaveToClipboardFormat(format, data, palette);
    for (const auto& f : frames_)
        if (f->Item->Data.empty()) return;
    TMemoryStream m;
    WriteGIFStream(m, true);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size_t(m.Size()));
    if (!h) return;
    std::memcpy(GlobalLock(h), m.Memory(), size_t(m.Size()));
    GlobalUnlock(h);
    if (!SetClipboardData(CF_GIF, h)) GlobalFree(h);
}

void TXcGIFImage::Assign(TXcAni& ani) {
    NewImage();
    BackgroundColor = uint32_t(ColorToRGB(clWindow)) & 0xFFFFFF;
    for (int i = 0; i < ani.FrameCount(); ++i) {
        TXcIconFrame* f = ani.GetFrame(i);
        if (!f || !f->Width()) continue;
        // The icon over the window colour, so soft edges blend with what it will stand on;
        // the pixels it leaves wholly uncovered (unchanged over two different grounds) take a
        // key colour, which then stays out.
        const int w = f->Width(), h = f->Height();
        auto drawnOn = [&](TBitmap& b, TColor ground) {
            b.SetSize(w, h);
            b.Canvas()->Brush()->Color = ground;
            b.Canvas()->FillRect(Rect(0, 0, w, h));
            f->Draw(b.Canvas(), 0, 0);
        };
        const TColor key = TColor(0xFF00FE), other = TColor(0x00FF01);
        TBitmap b, overKey, overOther;
        drawnOn(b, clWindow);
        drawnOn(overKey, key);
        drawnOn(overOther, other);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((overKey.Image().pixel(x, y) & 0xFFFFFF) == uint32_t(key) &&
                    (overOther.Image().pixel(x, y) & 0xFFFFFF) == uint32_t(other))
                    b.Image().setPixel(x, y, uint32_t(key));
        b.Transparent = true;
        b.TransparentColor = key;
        const int index = AddFrame(&b);
        Frames(index)->DisplayTime = f->JiffRate ? int(f->JiffRate * 100 / 6) : 100;
    }
    Changed();
}
