#include "controls/styled/styRegion.h"

#include <cmath>

#include "controls/styled/styApplication.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/stySystem.h"

namespace {

// The corner the nose or the bubbles take from the rectangle.
bool AtTop(TStyExtPos p) { return p <= epRightTop; }
bool AtLeft(TStyExtPos p) {
    return p == epLeftTop || p == epTopLeft || p == epBottomLeft || p == epLeftBottom;
}

TRect GiveUpCorner(const TRect& r, TStyExtPos pos, int n) {
    TRect body = r;
    if (AtTop(pos))
        body.Top += n;
    else
        body.Bottom -= n;
    if (AtLeft(pos))
        body.Left += n;
    else
        body.Right -= n;
    return body;
}

HRGN Combine(HRGN a, HRGN b, int mode) {
    CombineRgn(a, a, b, mode);
    DeleteObject(b);
    return a;
}

HRGN Polygon(const std::vector<POINT>& pts) {
    return CreatePolygonRgn(pts.data(), int(pts.size()), ALTERNATE);
}

// The body of the nose and bubble shapes.
HRGN BodyRegion(TStyRegionShape shape, const TRect& b, int rx, int ry) {
    switch (shape) {
        case rsRoundNoseRect:
        case rsRoundThinkBubble:
            return CreateRoundRectRgn(b.Left, b.Top, b.Right, b.Bottom, rx, ry);
        case rsEllipticThinkBubble:
            return CreateEllipticRgn(b.Left, b.Top, b.Right, b.Bottom);
        default:
            return CreateRectRgn(b.Left, b.Top, b.Right, b.Bottom);
    }
}

// The two shields are built at (0, 0) and moved to the rectangle; everything above the top
// edge is cut off.
HRGN ShieldRegion(bool sharp, const TRect& r) {
    const int w = r.Right - r.Left, h = r.Bottom - r.Top, m = w / 2, f = h / 5;
    HRGN rgn;
    if (sharp) {
        const int e = 8 * h / 7;
        rgn = CreateEllipticRgn(-w, -e, w, e);
        rgn = Combine(rgn, CreateEllipticRgn(0, -e, 2 * w, e), RGN_AND);
    } else {
        rgn = CreateEllipticRgn(0, f - h, w, h);
    }
    rgn = Combine(rgn, CreateEllipticRgn(-m, -f, m, f), RGN_DIFF);
    rgn = Combine(rgn, CreateEllipticRgn(m, -f, m + w, f), RGN_DIFF);
    rgn = Combine(rgn, CreateRectRgn(-w - 1, -2 * h - 1, 2 * w + 1, 0), RGN_DIFF);
    OffsetRgn(rgn, r.Left, r.Top);
    return rgn;
}

HRGN FromData(const std::vector<uint8_t>& data) {
    if (data.empty()) return nullptr;
    return ExtCreateRegion(nullptr, DWORD(data.size()),
                           reinterpret_cast<const RGNDATA*>(data.data()));
}

}  // namespace

// ---------------------------------------------------------------- geometry

TStyNoseGeometry StyNoseGeometry(const TRect& r, TStyExtPos pos, int gap) {
    const int n = (r.Right - r.Left) / 10;
    const int d = int(std::lround(std::sqrt(2.0 * n * n)));
    TStyNoseGeometry g;
    g.Body = GiveUpCorner(r, pos, n);
    const int L = g.Body.Left, T = g.Body.Top, R = g.Body.Right, B = g.Body.Bottom;
    switch (pos) {
        case epLeftTop:
            g.Tip = {L - n, T - n}, g.Base1 = {L, T + gap}, g.Base2 = {L, T + gap + d};
            break;
        case epTopLeft:
            g.Tip = {L - n, T - n}, g.Base1 = {L + gap, T}, g.Base2 = {L + gap + d, T};
            break;
        case epTopRight:
            g.Tip = {R + n, T - n}, g.Base1 = {R - gap, T}, g.Base2 = {R - gap - d, T};
            break;
        case epRightTop:
            g.Tip = {R + n, T - n}, g.Base1 = {R, T + gap}, g.Base2 = {R, T + gap + d};
            break;
        case epRightBottom:
            g.Tip = {R + n, B + n}, g.Base1 = {R, B - gap}, g.Base2 = {R, B - gap - d};
            break;
        case epBottomRight:
            g.Tip = {R + n, B + n}, g.Base1 = {R - gap, B}, g.Base2 = {R - gap - d, B};
            break;
        case epBottomLeft:
            g.Tip = {L - n, B + n}, g.Base1 = {L + gap, B}, g.Base2 = {L + gap + d, B};
            break;
        case epLeftBottom:
            g.Tip = {L - n, B + n}, g.Base1 = {L, B - gap}, g.Base2 = {L, B - gap - d};
            break;
    }
    return g;
}

std::vector<TStyBubble> StyBubbles(const TRect& r, TStyExtPos pos, int count, TRect& body) {
    const int n = (r.Right - r.Left) / 6;
    body = GiveUpCorner(r, pos, n);
    std::vector<TStyBubble> out;
    if (count < 1) return out;
    const int L = body.Left, T = body.Top, R = body.Right, B = body.Bottom;
    const double k = (n * 2 * M_PI / 4) / count / count;
    for (int i = 0; i <= count + 1; ++i) {
        const double a = i * 90.0 / (count + 1) * M_PI / 180;
        const int c = int(std::lround(std::cos(a) * n)), s = int(std::lround(std::sin(a) * n));
        const int c2 = int(std::lround(std::cos(1.57 - a) * n)),
                  s2 = int(std::lround(std::sin(1.57 - a) * n));
        const int s3 = int(std::lround(std::sin(1.57 + a) * n));
        TStyBubble b{0, 0, StyRound(i * k)};
        switch (pos) {
            case epLeftTop:
                b.X = L - c, b.Y = T - n + s;
                break;
            case epTopLeft:
                b.X = L - n + c2, b.Y = T - s2;
                break;
            case epTopRight:
                b.X = R + n - c2, b.Y = T - s3;
                break;
            case epRightTop:
                b.X = R + c, b.Y = T - n + s;
                break;
            case epRightBottom:
                b.X = R + c, b.Y = B + n - s;
                break;
            case epBottomRight:
                b.X = R + n - c2, b.Y = B + s2;
                break;
            case epBottomLeft:
                b.X = L - n + c2, b.Y = B + s2;
                break;
            case epLeftBottom:
                b.X = L - c, b.Y = B + n - s;
                break;
        }
        out.push_back(b);
    }
    return out;
}

std::vector<POINT> StyShapePoints(TStyRegionShape shape, const TRect& r) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom, W = R - L, H = B - T;
    switch (shape) {
        case rsDiamond:
            return {{L + W / 2, T}, {L, T + H / 2}, {L + W / 2, B}, {R, T + H / 2}};
        case rsOctagon:
            return {{L + W / 3 * 2, T}, {L + W / 3, T},     {L, T + H / 3},     {L, T + H / 3 * 2},
                    {L + W / 3, B},     {L + W / 3 * 2, B}, {R, T + H / 3 * 2}, {R, T + H / 3}};
        case rsComb:
            return {{L + W / 2, T}, {L, T + H / 4},     {L, T + H / 4 * 3},
                    {L + W / 2, B}, {R, T + H / 4 * 3}, {R, T + H / 4}};
        case rsStar: {
            auto x = [&](double f) { return L + StyRound(f * W); };
            auto y = [&](double f) { return T + StyRound(f * H); };
            return {{L + W / 2, T}, {x(0.65), y(0.38)},   {R, y(0.38)}, {x(0.7), y(0.6)},
                    {x(0.85), B},   {L + W / 2, y(0.75)}, {x(0.15), B}, {x(0.3), y(0.6)},
                    {L, y(0.38)},   {x(0.35), y(0.38)}};
        }
        default:
            return {{L, T}, {R, T}, {R, B}, {L, B}};
    }
}

// ---------------------------------------------------------------- border description

void TStyRegionBorder::SetColor(int index, TColor c) {
    if (index < 0 || index > 2) return;
    SetProp(colors_[index], c);
}

void TStyRegionBorder::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyRegionBorder*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    style_ = other->style_;
    for (int i = 0; i < 3; ++i) colors_[i] = other->colors_[i];
    Change();
}

// ---------------------------------------------------------------- region

TStyRegion::TStyRegion()
    : border_(std::make_unique<TStyRegionBorder>()),
      mask_(std::make_unique<TStyRegionMask>()),
      shadow_(std::make_unique<TStyRgnShadow>()),
      points_(std::make_unique<TStyPointList>()) {
    auto sub = [this](TObject* s) { SubObjectChanged(s); };
    border_->OnChange = sub;
    mask_->OnChange = sub;
    shadow_->OnChange = sub;
    points_->OnChange = [this](TObject*) { PointsChanged(); };
}

TStyRegion::~TStyRegion() {
    if (region_) DeleteObject(region_);
}

void TStyRegion::SetShape(TStyRegionShape s) {
    if (s == shape_) return;
    shape_ = s;
    if (s == rsPointList) {
        BeginUpdate();
        PointsChanged();
        EndUpdate(false);
    }
    Change();
}

void TStyRegion::SetRound(int index, int value) {
    if (index < 0 || index > 1 || round_[index] == value) return;
    round_[index] = value;
    if (shape_ == rsRoundRect || shape_ == rsRoundNoseRect || shape_ == rsRoundThinkBubble)
        Change();
}

void TStyRegion::PointsChanged() {
    if (points_->Count() > 0 && shape_ == rsPointList) {
        const std::vector<POINT> pts = points_->Points();
        HRGN rgn = CreatePolygonRgn(pts.data(), int(pts.size()), ALTERNATE);
        StoreRegion(rgn);
        DeleteObject(rgn);
    }
    SubObjectChanged(points_.get());
}

void TStyRegion::StoreRegion(HRGN rgn) {
    userRgn_.clear();
    const DWORD n = rgn ? GetRegionData(rgn, 0, nullptr) : 0;
    if (n == 0) return;
    userRgn_.resize(n);
    GetRegionData(rgn, n, reinterpret_cast<RGNDATA*>(userRgn_.data()));
}

HRGN TStyRegion::MakeShapeRegion(const TRect& r) const {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom, W = R - L;
    switch (shape_) {
        case rsRect:
            return CreateRectRgn(L, T, R, B);
        case rsRoundRect:
            return CreateRoundRectRgn(L, T, R, B, RoundX(), RoundY());
        case rsElliptic:
            return CreateEllipticRgn(L, T, R, B);
        case rsHalfRound:
            // The lower half of an ellipse twice as high; its upper half lies above the
            // rectangle, outside a window's top but not outside a rectangle placed lower.
            return Combine(CreateEllipticRgn(L, 2 * T - B, R, B), CreateRectRgn(L, T, R, B),
                           RGN_AND);
        case rsBitmap:
            return FromData(mask_->RegionData());
        case rsUserRegion:
        case rsPointList:
            return FromData(userRgn_);
        case rsDiamond:
        case rsOctagon:
        case rsComb:
        case rsStar:
            return Polygon(StyShapePoints(shape_, r));
        case rsRoundShield:
            return ShieldRegion(false, r);
        case rsSharpShield:
            return ShieldRegion(true, r);
        case rsNoseRect:
        case rsRoundNoseRect: {
            const bool byY = extPos_ == epLeftTop || extPos_ == epRightTop ||
                             extPos_ == epRightBottom || extPos_ == epLeftBottom;
            const int gap = shape_ == rsNoseRect ? 5 : byY ? RoundY() : RoundX();
            const TStyNoseGeometry g = StyNoseGeometry(r, extPos_, gap);
            HRGN rgn = BodyRegion(shape_, g.Body, RoundX(), RoundY());
            return Combine(rgn, Polygon({g.Tip, g.Base1, g.Base2}), RGN_OR);
        }
        case rsThinkBubble:
        case rsRoundThinkBubble:
        case rsEllipticThinkBubble: {
            TRect body;
            const std::vector<TStyBubble> bubbles = StyBubbles(r, extPos_, BubbleCount, body);
            HRGN rgn = BodyRegion(shape_, body, RoundX(), RoundY());
            for (const TStyBubble& b : bubbles)
                rgn = Combine(
                    rgn,
                    CreateEllipticRgn(b.X - b.D / 2, b.Y - b.D / 2, b.X + b.D / 2, b.Y + b.D / 2),
                    RGN_OR);
            return rgn;
        }
    }
    (void)W;
    return nullptr;
}

void TStyRegion::CreateRegion(TRect r) {
    if (OwnerComponent && OwnerComponent->Destroying()) return;
    r.Left += Offset.x;
    r.Top += Offset.y;
    if (region_) DeleteObject(region_);
    region_ = nullptr;
    if (shadow_->Style() != hssNone) {
        r.Right -= shadow_->Depth();
        r.Bottom -= shadow_->Depth();
    }
    region_ = MakeShapeRegion(r);
}

void TStyRegion::CreateRectRegion(const TRect& r) {
    if (OwnerComponent && OwnerComponent->Destroying()) return;
    if (region_) DeleteObject(region_);
    region_ = CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom);
}

void TStyRegion::PaintShadow(TCanvas* c) {
    if (NoShadowPaint || !region_) return;
    const int d = shadow_->Depth();
    HRGN shade = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(shade, region_, nullptr, RGN_COPY);
    OffsetRgn(shade, d, d);
    CombineRgn(shade, shade, region_, RGN_DIFF);
    HBRUSH brush = nullptr;
    if (shadow_->Style() == hssTracing && StyApp)
        brush = CreatePatternBrush(StyApp->GetPatternBitmap(shadow_->Color())->Handle());
    else
        brush = CreateSolidBrush(ColorToRGB(shadow_->Color()));
    FillRgn(c->Handle(), shade, brush);
    DeleteObject(brush);
    DeleteObject(shade);
}

void TStyRegion::DrawBorder(TCanvas* c, TRect r) {
    if (!c) return;
    r.Left += Offset.x;
    r.Top += Offset.y;
    c->Brush()->Style = bsClear;
    c->Pen()->Width = 2;
    if (shadow_->Style() != hssNone) {
        r.Right -= shadow_->Depth();
        r.Bottom -= shadow_->Depth();
        PaintShadow(c);
    }
    StyPaintRegionBorder(c, *this, r);
}

void TStyRegion::Assign(const TPersistent* source) {
    const auto* other = dynamic_cast<const TStyRegion*>(source);
    if (!other) {
        TStyObject::Assign(source);
        return;
    }
    BeginUpdate();
    shape_ = other->shape_;
    round_[0] = other->round_[0];
    round_[1] = other->round_[1];
    shadow_->Assign(other->shadow_.get());
    extPos_ = other->extPos_;
    border_->Assign(other->border_.get());
    mask_->Assign(other->mask_.get());
    EndUpdate(true);
}

void TStyRegion::DefineProperties(TStyFiler& filer) {
    filer.DefineProperty(
        "PointList",
        [this](const TDfmValue& v) {
            const std::vector<long long> xy = StyIntsOf(v);
            if (xy.size() % 2)
                throw EReadError("Invalid property value: PointList holds x and y pairs");
            points_->UpdateCount++;
            for (size_t i = 0; i + 1 < xy.size(); i += 2)
                points_->Add(TPoint{int(xy[i]), int(xy[i + 1])});
            points_->UpdateCount--;
            PointsChanged();
        },
        [this] {
            std::vector<long long> xy;
            for (int i = 0; i < points_->Count(); ++i) {
                const TPoint p = points_->Point(i);
                xy.push_back(p.X);
                xy.push_back(p.Y);
            }
            return StyIntList(xy);
        },
        points_->Count() > 0);
}
