#include "controls/styled/styRegionMask.h"

#include "controls/styled/styFiler.h"
#include "controls/styled/styStreamIO.h"

// ---------------------------------------------------------------- point list

void TStyPointList::Get(int index, TPoint& p) const {
    if (index < 0 || index >= Count()) return;
    const uint32_t e = items_[size_t(index)];
    p.X = int16_t(uint16_t(e >> 16));
    p.Y = int16_t(uint16_t(e & 0xFFFF));
}

TPoint TStyPointList::Point(int index) const {
    TPoint p{0, 0};
    Get(index, p);
    return p;
}

void TStyPointList::Put(int index, TPoint p) {
    if (index < 0 || index >= Count()) return;
    items_[size_t(index)] = uint32_t(uint16_t(p.X)) << 16 | uint16_t(p.Y);
    Changed();
}

int TStyPointList::Add(TPoint p) {
    items_.push_back(0);
    Put(Count() - 1, p);
    return Count() - 1;
}

void TStyPointList::Clear() {
    items_.clear();
    Changed();
}

std::vector<POINT> TStyPointList::Points() const {
    std::vector<POINT> pts;
    pts.reserve(items_.size());
    for (int i = 0; i < Count(); ++i) {
        const TPoint p = Point(i);
        pts.push_back(POINT{p.X, p.Y});
    }
    return pts;
}

void TStyPointList::Changed() {
    if (UpdateCount < 1 && OnChange) OnChange(this);
}

// ---------------------------------------------------------------- region mask

TStyRegionMask::TStyRegionMask()
    : borderUp_(std::make_unique<TBitmap>()),
      borderDn_(std::make_unique<TBitmap>()),
      border_(std::make_unique<TBitmap>()) {}

void TStyRegionMask::SetRegionData(const std::vector<uint8_t>& data) {
    data_ = data;
    dataSize_ = int(data.size());
    Change();
}

void TStyRegionMask::ClearData() {
    data_.clear();
    dataSize_ = 0;
}

void TStyRegionMask::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyRegionMask*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    ClearData();
    if (other->dataSize_ != 0) {
        data_ = other->data_;
        dataSize_ = other->dataSize_;
        border_->Assign(*other->border_);
        borderUp_->Assign(*other->borderUp_);
        borderDn_->Assign(*other->borderDn_);
    }
    Change();
}

void TStyRegionMask::DefineProperties(TStyFiler& filer) {
    filer.DefineBinaryProperty(
        "RegionData",
        [this](TStream& s) {
            // The size was read before as RegionDataSize; data of another size are damaged.
            if (dataSize_ < 0 || dataSize_ > StyBytesLeft(s))
                throw EReadError("Stream read error: region data shorter than RegionDataSize");
            std::vector<uint8_t> data(static_cast<size_t>(dataSize_));
            if (!data.empty()) s.ReadBuffer(data.data(), int64_t(data.size()));
            data_ = std::move(data);
        },
        [this](TStream& s) { s.WriteBuffer(data_.data(), int64_t(data_.size())); }, dataSize_ != 0);
    auto bitmap = [&](const char* name, TBitmap* bmp) {
        filer.DefineBinaryProperty(
            name,
            [this, bmp](TStream& s) {
                Compressed = ReadFlag(s) != 0;
                ReadGraphicFromStream(s, bmp, Compressed);
            },
            [this, bmp](TStream& s) {
                WriteFlag(s, Compressed);
                WriteGraphicToStream(s, bmp, Compressed, StyDepthOwnForm);
            },
            !bmp->Empty());
    };
    bitmap("BorderBmp", border_.get());
    bitmap("BorderUpBmp", borderUp_.get());
    bitmap("BorderDnBmp", borderDn_.get());
}
