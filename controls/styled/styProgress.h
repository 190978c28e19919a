// Progress meters of the styled layer. TStyBaseMeter holds the value model (a percent
// position tied to a user value between a minimum and a maximum) and draws without flicker
// through one off-screen bitmap; TStyCustomProgress paints the bar solid, in small bars
// (one colour or a colour per bar), by its owner or through the visual style; TStySmallBar
// describes the small bars.
#pragma once

#include <functional>
#include <memory>

#include "controls/styled/styCaptionFx.h"
#include "controls/styled/styControls.h"

enum TStyMeterDirection : uint8_t {
    mdHorizontal,
    mdVertical,
    mdHorizontalReverse,
    mdVerticalReverse
};
enum TStyMeterTextOptions : uint8_t { toNoText, toCaption, toPercent };
enum TStyProgressStyle : uint8_t { pgBar, pgSmallBar, pgSmallBarColor, pgOwnerDraw, pgXPBar };
using TStyPercent = uint8_t;

// The meter's arithmetic, in the wide floating type: 0.01 is the nearest extended number,
// rounding goes to the even neighbour at halves, truncation toward zero.
namespace stymeter {
int Round(long double v);
// The length of the bar of `percent` over `total` pixels.
int BarLength(int percent, int total);
}  // namespace stymeter

class TStySmallBar : public TStyObject {
public:
    std::string ClassName() const override { return "TStySmallBar"; }
    void Assign(const TPersistent* source) override;

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v) { SetProp(autoSize_, v); }
    uint8_t BarCount() const { return barCount_; }
    // At least one bar: a count of 0 is taken as 1.
    void SetBarCount(uint8_t v) { SetProp(barCount_, uint8_t(v ? v : 1)); }
    TColor BarColor() const { return barColor_; }
    void SetBarColor(TColor v) { SetProp(barColor_, v); }
    uint8_t HSpace() const { return hSpace_; }
    void SetHSpace(uint8_t v) { SetProp(hSpace_, v); }
    uint8_t VSpace() const { return vSpace_; }
    void SetVSpace(uint8_t v) { SetProp(vSpace_, v); }
    // The size of one bar across the meter's length (width or height).
    int SegmentSize(TStyMeterDirection d, int width, int height) const;

private:
    bool autoSize_ = true;
    uint8_t barCount_ = 10;
    TColor barColor_ = clNavy;
    uint8_t hSpace_ = 3;
    uint8_t vSpace_ = 3;
};

class TStyBaseMeter : public TStyGraphicControl {
public:
    explicit TStyBaseMeter(TComponent* owner);
    ~TStyBaseMeter() override;
    std::string ClassName() const override { return "TStyBaseMeter"; }
    void Paint() override;
    void Dispatch(TMessage& m) override;
    void Loaded() override;

    TStyPercent Position() const { return position_; }
    void SetPosition(int v);
    int UserValue() const { return userValue_; }
    void SetUserValue(int v);
    int MinValue() const { return minValue_; }
    void SetMinValue(int v);
    int MaxValue() const { return maxValue_; }
    void SetMaxValue(int v);
    uint8_t Delta() const { return delta_; }
    void SetDelta(uint8_t v) { delta_ = v ? v : 1; }
    TStyPercent Step = 10;  // read by the meter's users; the meter itself never does

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment v) { SetRedrawn(alignment_, v); }
    TStyMeterDirection Direction() const { return direction_; }
    void SetDirection(TStyMeterDirection v) { SetRedrawn(direction_, v); }
    TStyMeterTextOptions OptionsText() const { return optionsText_; }
    void SetOptionsText(TStyMeterTextOptions v) { SetRedrawn(optionsText_, v); }
    bool UseFontColor() const { return useFontColor_; }
    void SetUseFontColor(bool v) { SetRedrawn(useFontColor_, v); }
    TSty3DCaption* Font3D() const { return font3D_.get(); }
    // Copies the settings into the owned caption (whose change repaints).
    void SetFont3D(const TSty3DCaption* f) { font3D_->Assign(f); }

    int UserValueToPercent(int value) const;
    uint8_t LastPercent() const { return lastPercent_; }
    // Number of completed drawings of the meter (what a screen shows changed).
    int DrawCount() const { return drawCount_; }

    virtual bool AutoSizeBars() { return false; }
    virtual void DrawBar(TCanvas* c, const TRect& dest, const TRect& notDest, const TRect& all);
    virtual uint8_t GetPercent() const { return position_; }

protected:
    // Draws the meter when the percent moved by Delta or more (or reached an end);
    // `full` draws whatever the last drawing showed.
    void DrawMeter(bool full = false);
    void DrawMeterText(TCanvas* c, const TRect& dest, const TRect& notDest, const TRect& all,
                       bool useColor, TColor color);
    template <class T>
    void SetRedrawn(T& field, T v) {
        if (field == v) return;
        field = v;
        Redraw();
    }
    bool autoSizing_ = false;

private:
    void DrawMeterOn(TCanvas* target, uint8_t p);

    std::unique_ptr<TSty3DCaption> font3D_;
    TAlignment alignment_ = taCenter;
    TStyMeterDirection direction_ = mdHorizontal;
    int maxValue_ = 100;
    int minValue_ = 0;
    TStyPercent position_ = 0;
    uint8_t lastPercent_ = 0;
    TStyMeterTextOptions optionsText_ = toNoText;
    bool useFontColor_ = false;
    int userValue_ = 0;
    // While a form is read: a user value read before the range was in order, and whether
    // the range and the position or user value were read.
    bool userValuePending_ = false, rangeRead_ = false, valueRead_ = false;
    uint8_t delta_ = 1;
    int drawCount_ = 0;
};

using TStyProgressPaintEvent = std::function<void(TObject* sender, TCanvas* c, const TRect& dest,
                                                  const TRect& notDest, const TRect& all)>;
using TStyProgressColorEvent = std::function<void(TObject* sender, uint8_t nr, TColor& color)>;

class TStyCustomProgress : public TStyBaseMeter {
public:
    explicit TStyCustomProgress(TComponent* owner);
    ~TStyCustomProgress() override;
    std::string ClassName() const override { return "TStyCustomProgress"; }

    bool SupportsThemes() const override { return true; }
    bool AutoSizeBars() override;
    void DrawBar(TCanvas* c, const TRect& dest, const TRect& notDest, const TRect& all) override;

    TColor BarColor() const { return barColor_; }
    void SetBarColor(TColor v);
    TStyBorderStyle Bar3D() const { return bar3D_; }
    void SetBar3D(TStyBorderStyle v);
    TStySmallBar* SmallBar() const { return smallBar_.get(); }
    // Copies the settings into the owned bars (whose change repaints).
    void SetSmallBar(const TStySmallBar* b) { smallBar_->Assign(b); }
    TStyProgressStyle Style() const { return style_; }
    void SetStyle(TStyProgressStyle v);

    TStyProgressPaintEvent OnPaint;
    TStyProgressColorEvent OnGetColor;

private:
    TColor barColor_ = clNavy;
    TStyBorderStyle bar3D_ = lsNone;
    std::unique_ptr<TStySmallBar> smallBar_;
    TStyProgressStyle style_ = pgSmallBar;
};

class TStyProgress : public TStyCustomProgress {
public:
    using TStyCustomProgress::TStyCustomProgress;
    std::string ClassName() const override { return "TStyProgress"; }
};

void RegisterStyProgress();
