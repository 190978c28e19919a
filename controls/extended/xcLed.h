// LED indicator: a small round lamp drawn from two bitmaps of the program's resources, a
// mask and a green lamp whose pure-green pixels take the control's colour. Status chooses
// between ColorOn and ColorOff; Active makes the lamp blink every Interval milliseconds.
#pragma once

#include <memory>

#include "controls/extended/xcExControls.h"

class TXcCustomLED : public TXcGraphicControl {
public:
    explicit TXcCustomLED(TComponent* owner);
    ~TXcCustomLED() override;
    std::string ClassName() const override { return "TXcCustomLED"; }

    TColor ColorOn() const { return colorOn_; }
    void SetColorOn(TColor c);
    TColor ColorOff() const { return colorOff_; }
    void SetColorOff(TColor c);
    bool Status() const { return status_; }
    void SetStatus(bool on);
    bool Active() const { return active_; }
    void SetActive(bool on);
    unsigned Interval() const;
    void SetInterval(unsigned ms);
    // Fired whenever Status is written.
    TNotifyEvent OnChange;

    void SetBounds(int l, int t, int w, int h) override;
    void Paint() override;
    // The lamp as it is drawn now (recoloured) and its mask.
    TBitmap* Image() const { return image_.get(); }
    TBitmap* Mask() const { return mask_.get(); }

protected:
    void ColorChanged() override;

private:
    void LoadImage();
    std::unique_ptr<TBitmap> image_;
    std::unique_ptr<TBitmap> mask_;
    TTimer* timer_ = nullptr;
    TColor colorOn_ = clLime;
    TColor colorOff_ = clRed;
    bool active_ = false;
    bool status_ = true;
};

class TXcLED : public TXcCustomLED {
public:
    explicit TXcLED(TComponent* owner) : TXcCustomLED(owner) {}
    std::string ClassName() const override { return "TXcLED"; }
};

void RegisterXcLED();
