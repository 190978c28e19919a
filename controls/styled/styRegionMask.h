// Parts of a region description kept with the region's owner in the form file: the points
// of a free-form outline, the stored region data and border bitmaps of a bitmap-shaped
// region, and the region's shadow.
#pragma once

#include <memory>
#include <vector>

#include "controls/styled/styEffects.h"
#include "controls/styled/styListItems.h"

// Points packed as x in the high and y in the low 16 bits, each signed.
class TStyPointList : public TObject {
public:
    std::string ClassName() const override { return "TStyPointList"; }
    int Count() const { return int(items_.size()); }
    // An index outside the list leaves `p` as it is.
    void Get(int index, TPoint& p) const;
    TPoint Point(int index) const;
    void Put(int index, TPoint p);
    int Add(TPoint p);
    void Clear();
    uint32_t Packed(int index) const { return items_.at(size_t(index)); }
    std::vector<POINT> Points() const;

    TNotifyEvent OnChange;
    int UpdateCount = 0;  // notifications only while below 1

private:
    void Changed();
    std::vector<uint32_t> items_;
};

class TStyRegionMask : public TStyObject {
public:
    TStyRegionMask();
    std::string ClassName() const override { return "TStyRegionMask"; }

    // A Windows region data record (RGNDATA), empty when none.
    const std::vector<uint8_t>& RegionData() const { return data_; }
    void SetRegionData(const std::vector<uint8_t>& data);
    int RegionDataSize() const { return dataSize_; }
    // Stores the number only; the data read next must have this size.
    void SetRegionDataSize(int n) { dataSize_ = n; }
    void ClearData();

    TBitmap* BorderBmp() const { return border_.get(); }
    TBitmap* BorderUpBmp() const { return borderUp_.get(); }
    TBitmap* BorderDnBmp() const { return borderDn_.get(); }
    TStySavePixelFormat PixelFormat = spfDefault;
    bool Compressed = false;

    void Assign(const TPersistent* source) override;
    // "RegionData" and the three border bitmaps.
    void DefineProperties(TStyFiler& filer) override;

private:
    std::vector<uint8_t> data_;
    int dataSize_ = 0;
    std::unique_ptr<TBitmap> borderUp_, borderDn_, border_;
};

class TStyRgnShadow : public TStyShadow {
public:
    TStyRgnShadow() { SetStyleQuietly(hssNone); }
    std::string ClassName() const override { return "TStyRgnShadow"; }
};
