// The animated cursor picture: frames kept as icons, stepped through by a timer, the
// current frame drawn at its own size; conversions to a bitmap strip and GIF frames.
#pragma once

#include <memory>
#include <vector>

#include "controls/extended/xcAniFile.h"
#include "controls/extended/xcBitmaps.h"
#include "platform/vcl/icon.h"
#include "platform/vcl/imgList.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/icons.h"

// One stored icon: its picture (a class-library icon, null until one is given), whether
// it was stored as an icon or a cursor, the hot spot and the display time.
class TXcIconFrame : public TPersistent {
public:
    explicit TXcIconFrame(uint32_t rate) : JiffRate(rate) {}
    std::string ClassName() const override { return "TXcIconFrame"; }
    TIcon* Icon() const { return icon_.get(); }
    // The frame holds the picture from now on (shared only with the image's scratch frame).
    void SetIcon(std::shared_ptr<TIcon> icon) { icon_ = std::move(icon); }
    bool IsIcon = true;
    int HotSpotX = 0, HotSpotY = 0;
    uint32_t JiffRate;
    // Makes its own icon when it has none and copies the other's picture into it.
    void Assign(const TXcIconFrame& other);
    int Width() const { return icon_ ? icon_->Width() : 0; }
    int Height() const { return icon_ ? icon_->Height() : 0; }
    // Draws the picture at its own size (mask and alpha applied).
    void Draw(TCanvas* c, int x, int y) const;

private:
    friend class TXcAni;
    std::shared_ptr<TIcon> icon_;
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
    // Animated cursors have no clipboard form: both raise EInvalidGraphicOperation.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;
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
    // A strip of every step side by side on the brush colour, reduced to at least 16 colours
    // (nothing without steps).
    void AssignTo(TBitmap& dest, TColor background = clWhite);
    // The current step's icon (an empty icon without steps).
    void AssignTo(TIcon& dest);
    // The list emptied and every step's icon added, as one change.
    void AssignTo(TCustomImageList& dest);
    std::string Title, Author;
    TAniHeader Header;
    uint16_t Colors = 0;

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    std::vector<std::unique_ptr<TXcIconFrame>> frames_;
    std::vector<uint32_t> rates_, sequence_;
    int frameCount_ = 0;
    int frameIndex_ = -1;
    TXcIconFrame current_{0};
    TTimer timer_{nullptr};
};

// Registers the picture class for the extension "ani" with its description; done when the
// program starts, undone when it ends.
extern const char* const SAniImageDescription;
void RegisterAniFormat();
void UnregisterAniFormat();
