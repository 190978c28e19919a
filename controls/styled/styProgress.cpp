#include "controls/styled/styProgress.h"

#include <cfenv>
#include <cmath>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styPublished.h"
#include "controls/styled/styThemeLoader.h"
#include "platform/rtl/scopeExit.h"
#include "platform/user/paint.h"
#include "platform/win/theme.h"

// ---------------------------------------------------------------- arithmetic

namespace stymeter {

int Round(long double v) {
    return int(std::nearbyintl(v));
}  // the default mode rounds halves to even

int BarLength(int percent, int total) {
    volatile long double hundredth = 0.01L;
    int len = int(std::truncl(percent * hundredth * total));
    return std::min(total, len);
}

}  // namespace stymeter

namespace {

volatile long double kHundredth = 0.01L;

using OpenThemeDataFn = decltype(&OpenThemeData);
using CloseThemeDataFn = decltype(&CloseThemeData);
using DrawThemeBackgroundFn = decltype(&DrawThemeBackground);
using ContentRectFn = decltype(&GetThemeBackgroundContentRect);
constexpr int PP_BAR = 1, PP_BARVERT = 2, PP_CHUNK = 3, PP_CHUNKVERT = 4;

bool Vertical(TStyMeterDirection d) { return d == mdVertical || d == mdVerticalReverse; }

// Draws one part of the "PROGRESS" class of the visual style; false when it cannot.
bool DrawProgressPart(TControl* meter, HDC dc, int part, TRect& r, bool content) {
    auto open = ThemeCall<OpenThemeDataFn>(teOpenThemeData);
    auto close = ThemeCall<CloseThemeDataFn>(teCloseThemeData);
    auto draw = ThemeCall<DrawThemeBackgroundFn>(teDrawThemeBackground);
    auto contentRect = ThemeCall<ContentRectFn>(teGetThemeBackgroundContentRect);
    if (!open || !close || !draw) return false;
    HWND wnd = meter->Parent() ? meter->Parent()->Handle() : nullptr;
    HTHEME theme = open(wnd, L"PROGRESS");
    if (!theme) return false;
    ScopeExit closeTheme([&] { close(theme); });
    RECT rc = ToRECT(r);
    draw(theme, dc, part, 0, &rc, nullptr);
    if (content && contentRect) {
        RECT in;
        contentRect(theme, dc, part, 0, &rc, &in);
        r = FromRECT(in);
    }
    return true;
}

}  // namespace

// ---------------------------------------------------------------- TStySmallBar

void TStySmallBar::Assign(const TPersistent* source) {
    if (source == this) return;
    auto* s = dynamic_cast<const TStySmallBar*>(source);
    if (!s) return TStyObject::Assign(source);
    barCount_ = s->barCount_;
    hSpace_ = s->hSpace_;
    vSpace_ = s->vSpace_;
    barColor_ = s->barColor_;
    autoSize_ = s->autoSize_;
    Change();
}

int TStySmallBar::SegmentSize(TStyMeterDirection d, int width, int height) const {
    const long double n = barCount_ ? barCount_ : 1;
    if (Vertical(d)) return int(std::truncl((height - n * vSpace_) / n));
    return int(std::truncl((width - n * hSpace_) / n));
}

// ---------------------------------------------------------------- TStyBaseMeter

TStyBaseMeter::TStyBaseMeter(TComponent* owner) : TStyGraphicControl(owner) {
    SetOpaque();
    // The caption is text to show (toCaption), not the meter's name.
    ControlStyle = ControlStyle - csSetCaption + csReplicatable;
    Bevel()->BeginUpdate();
    Bevel()->SetStyleOuter(bvLowered);
    Bevel()->EndUpdate(false);
    font3D_ = std::make_unique<TSty3DCaption>();
    font3D_->OnChange = [this](TObject* s) { GetChange(s); };
    width_ = 80;
    height_ = 20;
}

TStyBaseMeter::~TStyBaseMeter() { font3D_->OnChange = nullptr; }

int TStyBaseMeter::UserValueToPercent(int value) const {
    long double span = (long double)maxValue_ - minValue_;
    if (span == 0) return 0;
    int p = stymeter::Round(((long double)value - minValue_) / span * 100);
    return std::clamp(p, 0, 100);
}

void TStyBaseMeter::SetPosition(int v) {
    if (Loading()) valueRead_ = true;
    // The value given is compared, not the stored one: 150 over a stored 100 still brings
    // the user value up to the maximum.
    if (v == position_) return;
    position_ = TStyPercent(std::clamp(v, 0, 100));
    userValue_ =
        minValue_ + stymeter::Round(position_ * kHundredth * ((long double)maxValue_ - minValue_));
    DrawMeter();
}

void TStyBaseMeter::SetUserValue(int v) {
    if (Loading()) valueRead_ = true;
    if (Loading() && minValue_ >= maxValue_) {
        // The range is not in order yet: the value is checked against it in Loaded.
        userValue_ = v;
        userValuePending_ = true;
        return;
    }
    if (v == userValue_ || v < minValue_ || v > maxValue_) return;
    userValue_ = v;
    position_ = TStyPercent(UserValueToPercent(v));
    DrawMeter();
}

void TStyBaseMeter::SetMaxValue(int v) {
    // A form holds the range as written: it is put in order once the form is read (Loaded),
    // whichever of the two comes first.
    if (Loading()) {
        maxValue_ = v;
        rangeRead_ = true;
        return;
    }
    if (v == maxValue_ || v == minValue_) return;
    const int m = minValue_;
    minValue_ = std::min(v, m);
    maxValue_ = std::max(v, m);
    if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = maxValue_;
    position_ = TStyPercent(UserValueToPercent(userValue_));
    Redraw();
}

void TStyBaseMeter::SetMinValue(int v) {
    if (Loading()) {
        minValue_ = v;
        rangeRead_ = true;
        return;
    }
    if (v == minValue_ || v == maxValue_) return;
    const int M = maxValue_;
    minValue_ = std::min(v, M);
    maxValue_ = std::max(v, M);
    if (userValue_ < minValue_ || userValue_ > maxValue_) userValue_ = minValue_;
    position_ = TStyPercent(UserValueToPercent(userValue_));
    Redraw();
}

void TStyBaseMeter::Loaded() {
    TStyGraphicControl::Loaded();
    if (minValue_ > maxValue_) std::swap(minValue_, maxValue_);
    if (minValue_ == maxValue_) maxValue_ = minValue_ + 1;
    const int inRange = std::clamp(userValue_, minValue_, maxValue_);
    // A range read without a value moves the position as the range setters do.
    if (inRange != userValue_ || userValuePending_ || (rangeRead_ && !valueRead_)) {
        userValue_ = inRange;
        position_ = TStyPercent(UserValueToPercent(userValue_));
    }
    userValuePending_ = rangeRead_ = valueRead_ = false;
}

void TStyBaseMeter::Dispatch(TMessage& m) {
    if (m.Msg == CM_TEXTCHANGED) {
        Redraw();
        return;
    }
    TStyGraphicControl::Dispatch(m);
}

void TStyBaseMeter::Paint() {
    if (Loading()) return;
    if (!AutoSizeBars()) {
        lastPercent_ = lastPercent_ == 0 ? 100 : 0;
        DrawMeter(true);
    }
    autoSizing_ = false;
}

void TStyBaseMeter::DrawMeter(bool full) {
    if (painting_) return;
    const uint8_t p = GetPercent();
    if (!full && std::abs(int(p) - int(lastPercent_)) < delta_) {
        if (lastPercent_ == p) return;
        if (p != 0 && p != 100) return;
    }
    painting_ = true;
    ScopeExit done([&] {
        painting_ = false;
        lastPercent_ = p;
    });
    DrawOnSurface([&] { DrawMeterOn(Canvas(), p); });
}

void TStyBaseMeter::DrawMeterOn(TCanvas* target, uint8_t p) {
    TBitmap bmp;
    TRect r = Rect(0, 0, Width(), Height());
    if (RectEmpty(r)) return;
    PrepareBitmap(&bmp, r, Color());
    TCanvas* c = bmp.Canvas();
    bool themedFrame = false;
    if (IsThemed() || (StyApp && StyApp->UseThemes() && Bevel()->Mode() == bmWindows))
        themedFrame = DrawProgressPart(this, c->Handle(),
                                       Vertical(direction_) ? PP_BARVERT : PP_BAR, r, true);
    if (!themedFrame) r = Bevel()->PaintBevel(c, r, false);
    const int W = r.Right - r.Left, H = r.Bottom - r.Top;
    TRect dest = r, notDest = r;
    switch (direction_) {
        case mdHorizontal:
            dest.Right = r.Left + stymeter::BarLength(p, W);
            notDest.Left = dest.Right;
            break;
        case mdHorizontalReverse:
            dest.Left = r.Right - stymeter::BarLength(p, W);
            notDest.Right = dest.Left;
            break;
        case mdVertical:
            dest.Bottom = r.Top + stymeter::BarLength(p, H);
            notDest.Top = dest.Bottom;
            break;
        case mdVerticalReverse:
            dest.Top = r.Bottom - stymeter::BarLength(p, H);
            notDest.Bottom = dest.Top;
            break;
    }
    DrawBar(c, dest, notDest, r);
    target->Draw(0, 0, &bmp);
    ++drawCount_;
}

void TStyBaseMeter::DrawBar(TCanvas*, const TRect&, const TRect&, const TRect&) {}

void TStyBaseMeter::DrawMeterText(TCanvas* c, const TRect& dest, const TRect& notDest,
                                  const TRect& all, bool useColor, TColor color) {
    if (optionsText_ == toNoText) return;
    c->Font()->Assign(*Font());
    c->Brush()->Color = Color();
    c->Brush()->Style = bsClear;
    std::string text =
        optionsText_ == toCaption ? Caption() : std::to_string(GetPercent() & 127) + "%";
    UINT format = (alignment_ == taLeftJustify    ? DT_LEFT
                   : alignment_ == taRightJustify ? DT_RIGHT
                                                  : DT_CENTER) |
                  DT_VCENTER | DT_SINGLELINE;
    UINT flags = Enabled() ? UINT(dtfEnabled) : 1u;
    if (useFontColor_) {
        Draw3DText(c, text, font3D_.get(), nullptr, flags, format, all);
        return;
    }
    c->Font()->SetColor(Color());
    Draw3DText(c, text, font3D_.get(), &dest, flags | dtfClip, format, all);
    c->Font()->SetColor(useColor ? color : Font()->Color());
    Draw3DText(c, text, font3D_.get(), &notDest, flags | dtfClip, format, all);
}

// ---------------------------------------------------------------- TStyCustomProgress

TStyCustomProgress::TStyCustomProgress(TComponent* owner)
    : TStyBaseMeter(owner), smallBar_(std::make_unique<TStySmallBar>()) {
    smallBar_->OnChange = [this](TObject* s) { GetChange(s); };
}

TStyCustomProgress::~TStyCustomProgress() { smallBar_->OnChange = nullptr; }

void TStyCustomProgress::SetBarColor(TColor v) {
    if (barColor_ == v) return;
    barColor_ = v;
    if (style_ == pgBar) Redraw();
}

void TStyCustomProgress::SetBar3D(TStyBorderStyle v) {
    if (bar3D_ == v) return;
    bar3D_ = v;
    if (style_ == pgBar) Redraw();
}

void TStyCustomProgress::SetStyle(TStyProgressStyle v) {
    if (style_ == v) return;
    style_ = v;
    if (!Loading() && (v == pgSmallBar || v == pgSmallBarColor))
        SetDelta(uint8_t((100 / smallBar_->BarCount()) / 2));
    Redraw();
}

bool TStyCustomProgress::AutoSizeBars() {
    if (autoSizing_) return false;
    bool changed = false;
    if ((style_ == pgSmallBar || style_ == pgSmallBarColor) && Align == alNone &&
        smallBar_->AutoSize()) {
        const int e2 = GetDoubleBevelExtent();
        const int s = smallBar_->SegmentSize(Direction(), Width() - e2, Height() - e2);
        const int n = smallBar_->BarCount();
        if (Vertical(Direction())) {
            int h = (s + smallBar_->VSpace()) * n + smallBar_->VSpace() + e2;
            if (h != Height()) {
                autoSizing_ = true;
                SetHeight(h);
                changed = true;
            }
        } else {
            int w = (s + smallBar_->HSpace()) * n + smallBar_->HSpace() + e2;
            if (w != Width()) {
                autoSizing_ = true;
                SetWidth(w);
                changed = true;
            }
        }
    }
    autoSizing_ = changed;
    return changed;
}

void TStyCustomProgress::DrawBar(TCanvas* c, const TRect& dest, const TRect& notDest,
                                 const TRect& a) {
    TStyProgressStyle style = style_;
    if (IsThemed())
        style = pgXPBar;
    else if (style == pgXPBar && !(StyApp && StyApp->UseThemes()))
        style = pgSmallBar;
    switch (style) {
        case pgBar:
            c->Brush()->Style = bsSolid;
            c->Brush()->Color = barColor_;
            c->FillRect(dest);
            if (Position() > 0) {
                TRect d = dest;
                DrawBorder(c, d, bar3D_, 0);
            }
            DrawMeterText(c, dest, notDest, a, true, barColor_);
            break;
        case pgSmallBar:
        case pgSmallBarColor: {
            const TStySmallBar& sb = *smallBar_;
            const int s = sb.SegmentSize(Direction(), a.Right - a.Left, a.Bottom - a.Top);
            const int N = sb.BarCount();
            const int n = stymeter::Round((GetPercent() & 127) * kHundredth * N);
            const int h = sb.HSpace(), v = sb.VSpace(), k = s;
            c->Brush()->Style = bsSolid;
            c->Brush()->Color = sb.BarColor();
            if (s == 0) {
                c->FillRect(Rect(dest.Left + h, dest.Top + v, dest.Right - h, dest.Bottom - v));
            } else {
                for (int i = 0; i < n; ++i) {
                    if (style_ == pgSmallBarColor && OnGetColor) {
                        TColor color = sb.BarColor();
                        OnGetColor(this, uint8_t(i), color);
                        c->Brush()->Color = color;
                    }
                    TRect seg;
                    switch (Direction()) {
                        case mdHorizontal:
                            seg = Rect(a.Left + i * (h + k) + h, dest.Top + v,
                                       a.Left + (i + 1) * (h + k), a.Bottom - v);
                            break;
                        case mdHorizontalReverse:
                            seg = Rect(a.Left + (N - i - 1) * (h + k) + h, dest.Top + v,
                                       a.Left + (N - i) * (h + k), a.Bottom - v);
                            break;
                        case mdVertical:
                            seg = Rect(a.Left + h, a.Top + i * (v + k) + v, a.Right - h,
                                       a.Top + (i + 1) * (v + k));
                            break;
                        case mdVerticalReverse:
                            seg = Rect(a.Left + h, a.Top + (N - i - 1) * (v + k) + v, a.Right - h,
                                       a.Top + (N - i) * (v + k));
                            break;
                    }
                    c->FillRect(seg);
                }
            }
            DrawMeterText(c, dest, notDest, a, true, sb.BarColor());
            break;
        }
        case pgOwnerDraw:
            if (OnPaint) OnPaint(this, c, dest, notDest, a);
            break;
        case pgXPBar: {
            TRect d = dest;
            DrawProgressPart(this, c->Handle(), Vertical(Direction()) ? PP_CHUNKVERT : PP_CHUNK, d,
                             false);
            break;
        }
    }
}

// ---------------------------------------------------------------- streaming

void RegisterStyProgress() {
    RegisterStyLookObjects();
    using P = TStyProgress;
    TClassReg<TStyCustomProgress>("TStyCustomProgress", "TGraphicControl", false);
    TClassReg<P>("TStyProgress", "TStyCustomProgress")
        .prop("About", [](P* p, const TDfmValue& v) { p->About = v.AsString(); })
        .prop(
            "Alignment",
            [](P* p, const TDfmValue& v) {
                p->SetAlignment(
                    IdentOf<TAlignment>(v, {"taLeftJustify", "taRightJustify", "taCenter"}));
            },
            "taCenter")
        .prop(
            "BarColor", [](P* p, const TDfmValue& v) { p->SetBarColor(v.AsInt()); }, "clNavy")
        .prop(
            "Bar3D",
            [](P* p, const TDfmValue& v) { p->SetBar3D(TStyBorderStyle(StyBorderStyleIdent(v))); },
            "lsNone")
        .prop(
            "CtlXP", [](P* p, const TDfmValue& v) { p->SetCtlXP(v.AsBool()); }, "False")
        .prop(
            "Delta", [](P* p, const TDfmValue& v) { p->SetDelta(uint8_t(v.AsInt())); }, "1")
        .prop(
            "Direction",
            [](P* p, const TDfmValue& v) {
                p->SetDirection(IdentOf<TStyMeterDirection>(
                    v, {"mdHorizontal", "mdVertical", "mdHorizontalReverse", "mdVerticalReverse"}));
            },
            "mdHorizontal")
        .prop(
            "MaxValue", [](P* p, const TDfmValue& v) { p->SetMaxValue(v.AsInt()); }, "100")
        .prop(
            "MinValue", [](P* p, const TDfmValue& v) { p->SetMinValue(v.AsInt()); }, "0")
        .prop(
            "OptionsText",
            [](P* p, const TDfmValue& v) {
                p->SetOptionsText(
                    IdentOf<TStyMeterTextOptions>(v, {"toNoText", "toCaption", "toPercent"}));
            },
            "toNoText")
        .prop(
            "Style",
            [](P* p, const TDfmValue& v) {
                p->SetStyle(IdentOf<TStyProgressStyle>(
                    v, {"pgBar", "pgSmallBar", "pgSmallBarColor", "pgOwnerDraw", "pgXPBar"}));
            },
            "pgSmallBar")
        .prop(
            "UseFontColor", [](P* p, const TDfmValue& v) { p->SetUseFontColor(v.AsBool()); },
            "False")
        .prop(
            "Step", [](P* p, const TDfmValue& v) { p->Step = TStyPercent(v.AsInt()); }, "10")
        .prop(
            "Position", [](P* p, const TDfmValue& v) { p->SetPosition(v.AsInt()); }, "0")
        .prop(
            "UserValue", [](P* p, const TDfmValue& v) { p->SetUserValue(v.AsInt()); }, "0")
        .object<TSty3DCaption>("Font3D", &P::Font3D)
        .object<TStySmallBar>("SmallBar", &P::SmallBar)
        .event<TStyProgressColorEvent>(
            "OnGetColor", [](P* p, TStyProgressColorEvent e) { p->OnGetColor = std::move(e); })
        .event<TStyProgressPaintEvent>(
            "OnPaint", [](P* p, TStyProgressPaintEvent e) { p->OnPaint = std::move(e); })
        .event<TNotifyEvent>("OnMouseExit",
                             [](P* p, TNotifyEvent e) { p->OnMouseExit = std::move(e); });
    RegisterStyBevelProps("TStyProgress");
    RegisterStyImageListProps("TStyProgress");
    // The meter's own bevel starts lowered: a form that wants none writes bvNone, and reads
    // it back as written.
    const TPropInfo* outer = FindPropInfo("TStyProgress", "Bevel.StyleOuter");
    RegisterProperty("TStyProgress", "Bevel.StyleOuter", outer->set, "bvLowered");
}
