#include "controls/extended/xcAni.h"

#include <algorithm>

#include "controls/extended/xcGifStream.h"
#include "controls/extended/xcWinUtils.h"

void TXcIconFrame::Assign(const TXcIconFrame& other) {
    if (&other == this) return;
    if (other.icon_) {
        if (!icon_) icon_ = std::make_shared<TIcon>();
        icon_->Assign(*other.icon_);
    } else {
        icon_.reset();
    }
    IsIcon = other.IsIcon;
    HotSpotX = other.HotSpotX;
    HotSpotY = other.HotSpotY;
    JiffRate = other.JiffRate;
}

void TXcIconFrame::Draw(TCanvas* c, int x, int y) const {
    if (c && icon_ && !icon_->Empty()) DrawIconAtOwnSize(*c, *icon_, x, y);
}

TXcAni::TXcAni() {
    timer_.SetInterval(100);
    timer_.SetEnabled(false);
    timer_.OnTimer = [this](TObject*) { Tick(); };
    Transparent = true;
}

TXcAni::~TXcAni() { timer_.SetEnabled(false); }

void TXcAni::Clear() {
    frames_.clear();
    rates_.clear();
    sequence_.clear();
    frameCount_ = 0;
    Title.clear();
    Author.clear();
    Header = TAniHeader();
    Colors = 0;
    frameIndex_ = -1;
}

TXcIconFrame* TXcAni::GetIcon(int index) {
    return index >= 0 && index < int(frames_.size()) ? frames_[size_t(index)].get() : nullptr;
}

TXcIconFrame* TXcAni::GetFrame(int index) {
    if (index < 0 || index >= frameCount_) return nullptr;
    const int icon = sequence_.empty() ? index : int(sequence_[size_t(index)]);
    TXcIconFrame* f = GetIcon(icon);
    if (!f) return nullptr;
    // The scratch frame refers to the stored picture; it never copies or frees it.
    current_.icon_ = f->icon_;
    current_.IsIcon = f->IsIcon;
    current_.HotSpotX = f->HotSpotX;
    current_.HotSpotY = f->HotSpotY;
    // A rate list shorter than the steps leaves the default rate for the rest.
    current_.JiffRate = size_t(index) < rates_.size() ? rates_[size_t(index)] : Header.DefaultRate;
    return &current_;
}

int TXcAni::Width() const {
    auto* self = const_cast<TXcAni*>(this);
    TXcIconFrame* f = self->GetFrame(frameIndex_);
    return f ? f->Width() : 0;
}

int TXcAni::Height() const {
    auto* self = const_cast<TXcAni*>(this);
    TXcIconFrame* f = self->GetFrame(frameIndex_);
    return f ? f->Height() : 0;
}

void TXcAni::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
    throw EInvalidGraphicOperation("剪贴板不支持图标");
}
void TXcAni::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphicOperation("剪贴板不支持图标");
}

void TXcAni::SetWidth(int) { throw EInvalidGraphicOperation("符号的大小不能更改"); }
void TXcAni::SetHeight(int) { throw EInvalidGraphicOperation("符号的大小不能更改"); }

void TXcAni::SetFrameIndex(int i) {
    if (i < 0 || i >= frameCount_ || i == frameIndex_) return;
    frameIndex_ = i;
    Changed();
}

void TXcAni::SetAnimated(bool on) {
    if (on != timer_.Enabled()) timer_.SetEnabled(on);
}

void TXcAni::Tick() {
    timer_.SetEnabled(false);
    if (frameCount_ > 0) {
        frameIndex_ = (frameIndex_ + 1) % frameCount_;
        Changed();
    }
    TXcIconFrame* f = GetFrame(frameIndex_);
    const unsigned ms = f ? f->JiffRate * 100 / 6 : 0;
    timer_.SetInterval(ms ? ms : 100);
    timer_.SetEnabled(true);
}

void TXcAni::Draw(TCanvas* c, const TRect& r) {
    // At the icon's own size at the top-left corner; the rectangle's size is not used.
    if (TXcIconFrame* f = GetFrame(frameIndex_)) f->Draw(c, r.Left, r.Top);
}

void TXcAni::LoadFromStream(TStream& s) {
    const int64_t n = s.Size() - s.Position();
    std::string bytes(size_t(std::max<int64_t>(n, 0)), '\0');
    if (n > 0) s.ReadBuffer(bytes.data(), n);
    const bool had = !frames_.empty();
    Clear();
    if (had) Changed();
    if (bytes.empty()) return;
    TAniContent c = ReadAniFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    Header = c.Header;
    Title = c.Title;
    Author = c.Author;
    Colors = c.Colors;
    rates_ = c.Rates;
    sequence_ = c.Sequence;
    for (auto& icon : c.Icons) {
        if (!icon.Picture) continue;  // frames without an icon are removed
        auto f = std::make_unique<TXcIconFrame>(Header.DefaultRate);
        f->SetIcon(std::move(icon.Picture));
        f->IsIcon = icon.IsIcon;
        f->HotSpotX = icon.HotX;
        f->HotSpotY = icon.HotY;
        frames_.push_back(std::move(f));
    }
    frameCount_ = c.HasSequence ? int(sequence_.size()) : int(frames_.size());
    Header.IconTotal = uint32_t(frames_.size());
    if (frames_.empty()) throw EReadError(SAniReadError);
    if (frameCount_ > 0) frameIndex_ = 0;
    Changed();
}

void TXcAni::SaveToStream(TStream& s) {
    if (frames_.empty()) throw EInvalidGraphicOperation("无效的图像");
    TAniContent c;
    c.Header = Header;
    c.Title = Title;
    c.Author = Author;
    c.Rates = rates_;
    c.Sequence = sequence_;
    c.HasSequence = !sequence_.empty();
    for (const auto& f : frames_) {
        // Each icon chunk holds the icon's own saved form.
        TAniIcon icon;
        if (f->Icon()) icon.Data = f->Icon()->SaveToData();
        icon.IsIcon = f->IsIcon;
        c.Icons.push_back(std::move(icon));
    }
    const std::string bytes = WriteAniFile(c);
    s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
}

void TXcAni::LoadFromData(const std::string& bytes) {
    TMemoryStream m;
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    m.SetPosition(0);
    LoadFromStream(m);
}

void TXcAni::LoadFromFile(const std::string& name) {
    TFileStream f(name, fmOpenRead);
    LoadFromStream(f);
}

void TXcAni::SaveToFile(const std::string& name) {
    TFileStream f(name, fmCreate);
    SaveToStream(f);
}

void TXcAni::Assign(const TXcAni& o) {
    if (&o == this) return;
    Clear();
    Header = o.Header;
    Title = o.Title;
    Author = o.Author;
    Colors = o.Colors;
    frameCount_ = o.frameCount_;
    rates_ = o.rates_;
    sequence_ = o.sequence_;
    for (const auto& f : o.frames_) {
        frames_.push_back(std::make_unique<TXcIconFrame>(o.Header.DefaultRate));
        frames_.back()->Assign(*f);
    }
    frameIndex_ = o.frameIndex_;
    SetAnimated(o.Animated());
    Changed();
}

void TXcAni::AssignTo(TBitmap& dest, TColor background) {
    if (frameCount_ == 0) return;
    TXcIconFrame* first = GetFrame(0);
    const int w = first ? first->Width() : 0, h = first ? first->Height() : 0;
    TBitmap strip;
    strip.SetSize(std::max(1, w * frameCount_), std::max(1, h));
    strip.Canvas()->Brush()->Color = background;
    strip.Canvas()->FillRect(Rect(0, 0, strip.Width(), strip.Height()));
    for (int i = 0; i < frameCount_; ++i)
        if (TXcIconFrame* f = GetFrame(i)) f->Draw(strip.Canvas(), f->Width() * i, 0);
    GetFrame(frameIndex_);  // the scratch frame shows the current step again
    auto dib = ReducePixelFormatByColorCount(strip, std::max<int>(Colors, 16));
    LoadBitmapFromDIB(
        dest, std::string(reinterpret_cast<const char*>(dib->Memory()), size_t(dib->Size())));
}

void TXcAni::AssignTo(TIcon& dest) {
    TXcIconFrame* f = GetFrame(frameIndex_);
    if (f && f->Icon())
        dest.Assign(*f->Icon());
    else
        dest.SetHandle(nullptr);
}

void TXcAni::AssignTo(TCustomImageList& dest) {
    dest.BeginUpdate();
    try {
        dest.Clear();
        for (int i = 0; i < frameCount_; ++i) {
            TXcIconFrame* f = GetFrame(i);
            if (f && f->Icon()) dest.AddIcon(f->Icon());
        }
    } catch (...) {
        dest.EndUpdate();
        throw;
    }
    dest.EndUpdate();
    GetFrame(frameIndex_);
}

const char* const SAniImageDescription = "ANI 图像";

void RegisterAniFormat() {
    TPicture::RegisterFileFormat("ani", SAniImageDescription, "TXcAni",
                                 [] { return std::make_unique<TXcAni>(); });
}

void UnregisterAniFormat() { TPicture::UnregisterGraphicClass("TXcAni"); }

namespace {
// Pictures read animated cursors with this class from the program's start to its end.
struct TAniUnit {
    TAniUnit() { RegisterAniFormat(); }
    ~TAniUnit() { UnregisterAniFormat(); }
    TAniUnit(const TAniUnit&) = delete;
    TAniUnit& operator=(const TAniUnit&) = delete;
};
const TAniUnit aniUnit;
}  // namespace
