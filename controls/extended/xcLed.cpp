#include "controls/extended/xcLed.h"

#include "platform/gdi/gdi.h"
#include "platform/rtl/resources.h"
#include "platform/vcl/stdctrls.h"

namespace {

std::unique_ptr<TBitmap> LoadResourceBitmap(const std::string& name) {
    auto bmp = std::make_unique<TBitmap>();
    bmp->LoadFromData(LoadResourceText("images/" + name + ".bmp"));
    return bmp;
}

}  // namespace

TXcCustomLED::TXcCustomLED(TComponent* owner) : TXcGraphicControl(owner) {
    mask_ = LoadResourceBitmap("XcCustomLEDMASK");
    timer_ = new TTimer(nullptr);
    timer_->SetEnabled(false);
    timer_->SetInterval(1000);
    timer_->OnTimer = [this](TObject*) { SetStatus(!status_); };
    width_ = 17;
    height_ = 17;
    color_ = clLime;
    LoadImage();
}

TXcCustomLED::~TXcCustomLED() {
    // The timer stops and lets go of the lamp before the bitmaps go.
    timer_->SetEnabled(false);
    timer_->OnTimer = nullptr;
    delete timer_;
}

// The green lamp with every pixel of exactly clLime in the control's colour.
void TXcCustomLED::LoadImage() {
    image_ = LoadResourceBitmap("XcCustomLEDGREEN");
    image_->SetPixelFormat(pf24bit);
    const TColor lime = TColor(ColorToRGB(clLime));
    const TColor paint = TColor(ColorToRGB(color_));
    TCanvas* c = image_->Canvas();
    for (int x = 0; x < image_->Width(); ++x)
        for (int y = 0; y < image_->Height(); ++y)
            if (c->Pixel(x, y) == lime) c->SetPixel(x, y, paint);
}

void TXcCustomLED::ColorChanged() {
    TXcGraphicControl::ColorChanged();
    LoadImage();
    Invalidate();
}

void TXcCustomLED::SetColorOn(TColor c) {
    colorOn_ = c;
    if (status_) SetColor(c);
}

void TXcCustomLED::SetColorOff(TColor c) {
    colorOff_ = c;
    if (!status_) SetColor(c);
}

void TXcCustomLED::SetStatus(bool on) {
    status_ = on;
    SetColor(on ? colorOn_ : colorOff_);
    if (OnChange) OnChange(this);
}

void TXcCustomLED::SetActive(bool on) {
    active_ = on;
    timer_->SetEnabled(on);
}

unsigned TXcCustomLED::Interval() const { return timer_->Interval(); }

void TXcCustomLED::SetInterval(unsigned ms) {
    if (ms != timer_->Interval()) timer_->SetInterval(ms);
}

void TXcCustomLED::SetBounds(int l, int t, int w, int h) {
    if (AutoSize && (Align == alNone) && image_) {
        w = image_->Width();
        h = image_->Height();
    }
    TXcGraphicControl::SetBounds(l, t, w, h);
}

void TXcCustomLED::Paint() {
    const int w = image_->Width(), h = image_->Height();
    const int x = (width_ - w) / 2, y = (height_ - h) / 2;
    HDC dc = canvas_.Handle();
    // The mask blacks out the lamp's round area and leaves the rest; the lamp is then
    // painted into it (its surroundings are black, so they change nothing).
    BitBlt(dc, x, y, w, h, mask_->Canvas()->Handle(), 0, 0, SRCAND);
    BitBlt(dc, x, y, w, h, image_->Canvas()->Handle(), 0, 0, SRCPAINT);
}

void RegisterXcLED() {
    RegisterXcExControls();
    TClassReg<TXcCustomLED>("TXcCustomLED", "TXcGraphicControl", false)
        .prop(
            "ColorOn", [](TXcCustomLED* l, const TDfmValue& v) { l->SetColorOn(v.AsInt()); },
            "clLime")
        .prop(
            "ColorOff", [](TXcCustomLED* l, const TDfmValue& v) { l->SetColorOff(v.AsInt()); },
            "clRed")
        .prop(
            "Interval",
            [](TXcCustomLED* l, const TDfmValue& v) { l->SetInterval(unsigned(v.AsInt())); },
            "1000")
        .prop(
            "Active", [](TXcCustomLED* l, const TDfmValue& v) { l->SetActive(v.AsBool()); },
            "False")
        .prop(
            "Status", [](TXcCustomLED* l, const TDfmValue& v) { l->SetStatus(v.AsBool()); },
            "True");
    TClassReg<TXcLED>("TXcLED", "TXcCustomLED");
}
