// The animated cursor picture: frames kept as icons, stepped through by a timer, the
// current frame drawn at its own size; conversions to a bitmap strip and GIF frames.
#pragma once

#include <memory>
#include <vector>

#include "controls/extended/xcAniFile.h"
#include "controls/extended/xcBitmaps.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/icons.h"

// One stored icon with its picture.
class TXcIconFrame : public TPersistent {
public:
    explicit TXcIconFrame(uint32_t rate) : JiffRate(rate) {}
    std::string ClassName() const override { return "TXcIconFrame"; }
    TAniIcon Icon;              // the icon file
    std::shared_ptr<TIconPicture> Picture;
    bool IsIcon = true;
    int HotSpotX = 0, HotSpotY = 0;
    uint32_t JiffRate;
    void Assign(const TXcIconFrame& other);
    int Width() const { return Picture ? Picture->Image.Width : 0; }
    int Height() const { return Picture ? Picture->Image.Height : 0; }
    // Draws the picture at its own size, leaving out the masked pixels.
    void Draw(TCanvas* c, int x, int y) const;
};

class TXcAni : public TGraphic {
public:
    TXcAni();
    ~TXcAni() override;
    std::string ClassName() const override { return "TXcAni"; }
    int Width() const override;
    int Height() const override;
    bool Empty() const override { return frameCount_ == 0; }
    void Draw(TCanvas* c, const TRect& r) override;
    void LoadFromFile(const std::string& name) override;
    void SaveToFile(const std::string& name) override;
    void LoadFromData(const std::string& bytes) override;
    void LoadFromStream(TStream& s);
    void SaveToStream(TStream& s);
    void SetWidth(int);
    void SetHeight(int);

    // Step Index's frame (its icon and rate), null outside the steps or for a sequence entry
    // that names no stored icon.
    TXcIconFrame* GetFrame(int index);
    TXcIconFrame* GetIcon(int index);
    int IconCount() const { return int(frames_.size()); }
    int FrameCount() const { return frameCount_; }
    int FrameIndex() const { return frameIndex_; }
    void SetFrameIndex(int i);
    bool Animated() const { return timer_.Enabled(); }
    void SetAnimated(bool on);
    unsigned TimerInterval() const { return timer_.Interval(); }
    // One timer tick: the next step, its rate as the interval.
    void Tick();
    void Clear();
    void Assign(const TXcAni& other);
    // A strip of every step side by side on the brush colour, reduced to at least 16 colours.
    void AssignTo(TBitmap& dest, TColor background = clWhite);
    std::string Title, Author;
    TAniHeader Header;
    uint16_t Colors = 0;

private:
    void Changed() { if (OnChange) OnChange(); }
    std::vector<std::unique_ptr<TXcIconFrame>> frames_;
    std::vector<uint32_t> rates_, sequence_;
    int frameCount_ = 0;
    int frameIndex_ = -1;
    TXcIconFrame current_{0};
    TTimer timer_{nullptr};
};

// Registers the picture class for the extension "ani".
void RegisterAniFormat();
