// The border painters of the region shapes: each shape's outline in three forms (the single
// outline, the two-tone outline of a light and a shadow part, and the inner line), framed
// by the border style. Everything is drawn through the device context, so the clipping of
// the nose and bubble steps applies.
#include <algorithm>

#include "controls/styled/styRegion.h"

namespace {

struct Pen {
    TCanvas* c;
    HDC Color(TColor col) {
        c->Pen()->Color = col;
        return c->Handle();
    }
    void Move(POINT p) { MoveToEx(c->Handle(), p.x, p.y, nullptr); }
    void Line(POINT p) { LineTo(c->Handle(), p.x, p.y); }
    // a -> b -> c ...
    void Path(std::initializer_list<POINT> pts) {
        auto it = pts.begin();
        Move(*it);
        for (++it; it != pts.end(); ++it) Line(*it);
    }
    void Arc(int l, int t, int r, int b, POINT s, POINT e) {
        ::Arc(c->Handle(), l, t, r, b, s.x, s.y, e.x, e.y);
    }
    void Arc(const TRect& box, POINT s, POINT e) {
        Arc(box.Left, box.Top, box.Right, box.Bottom, s, e);
    }
};

// One shape's outline forms.
class Outline {
public:
    virtual ~Outline() = default;
    // Called before anything else, whatever the style (rbNone too).
    virtual void Enter(Pen&) {}
    virtual void TwoTone(Pen& p, const TRect& r, TColor light, TColor shadow) = 0;
    virtual void Single(Pen& p, const TRect& r) = 0;
    virtual void Inner(Pen& p, const TRect& r) = 0;
    virtual TRect FirstInset(const TRect& r) const { return Shrink(r, 1); }
    virtual int SecondInset() const { return 1; }
    static TRect Shrink(const TRect& r, int d) {
        return Rect(r.Left + d, r.Top + d, r.Right - d, r.Bottom - d);
    }
};

void PolygonOf(Pen& p, const std::vector<POINT>& pts) {
    ::Polygon(p.c->Handle(), pts.data(), int(pts.size()));
}

class RectOutline : public Outline {
public:
    void TwoTone(Pen& p, const TRect& r, TColor light, TColor shadow) override {
        const POINT lt{r.Left, r.Top}, rt{r.Right, r.Top}, rb{r.Right, r.Bottom},
            lb{r.Left, r.Bottom};
        p.Color(light);
        p.Path({rt, lt, lb});
        p.Color(shadow);
        p.Path({lb, rb, rt});
    }
    void Single(Pen& p, const TRect& r) override { PolygonOf(p, StyShapePoints(rsRect, r)); }
    void Inner(Pen& p, const TRect& r) override {
        p.Path({{r.Left, r.Bottom}, {r.Right, r.Bottom}, {r.Right, r.Top}});
    }
};

// Diamond, octagon and comb: a light run of points, then a shadow run going on from it.
class PolyOutline : public Outline {
public:
    PolyOutline(TStyRegionShape shape, std::vector<int> light, std::vector<int> shadow,
                std::vector<int> inner)
        : shape_(shape),
          light_(std::move(light)),
          shadow_(std::move(shadow)),
          inner_(std::move(inner)) {}
    void TwoTone(Pen& p, const TRect& r, TColor light, TColor shadow) override {
        const std::vector<POINT> pts = StyShapePoints(shape_, r);
        p.Color(light);
        Run(p, pts, light_, true);
        p.Color(shadow);
        Run(p, pts, shadow_, false);
    }
    void Single(Pen& p, const TRect& r) override { PolygonOf(p, StyShapePoints(shape_, r)); }
    void Inner(Pen& p, const TRect& r) override { Run(p, StyShapePoints(shape_, r), inner_, true); }

private:
    static void Run(Pen& p, const std::vector<POINT>& pts, const std::vector<int>& idx, bool move) {
        for (size_t i = 0; i < idx.size(); ++i) {
            if (i == 0 && move)
                p.Move(pts[size_t(idx[i])]);
            else
                p.Line(pts[size_t(idx[i])]);
        }
    }
    TStyRegionShape shape_;
    std::vector<int> light_, shadow_, inner_;
};

class StarOutline : public Outline {
public:
    void TwoTone(Pen& p, const TRect& r, TColor light, TColor shadow) override {
        const std::vector<POINT> pts = StyShapePoints(rsStar, r);
        static const bool lightEdge[10] = {false, true, false, true, false,
                                           false, true, false, true, true};
        p.Move(pts[0]);
        for (int i = 0; i < 10; ++i) {
            p.Color(lightEdge[i] ? light : shadow);
            p.Line(pts[size_t((i + 1) % 10)]);
        }
    }
    void Single(Pen& p, const TRect& r) override { PolygonOf(p, StyShapePoints(rsStar, r)); }
    void Inner(Pen& p, const TRect& r) override {
        const std::vector<POINT> q = StyShapePoints(rsStar, r);
        p.Path({q[0], q[1]});
        p.Path({q[2], q[3]});
        p.Path({q[4], q[5], q[6]});
        p.Path({q[7], q[8]});
    }
    TRect FirstInset(const TRect& r) const override { return Shrink(r, 2); }
    int SecondInset() const override { return 3; }
};

// Ellipse and half-round: the upper-left half light, the rest shadow.
class EllipseOutline : public Outline {
public:
    explicit EllipseOutline(bool half) : half_(half) {}
    void TwoTone(Pen& p, const TRect& r, TColor light, TColor shadow) override {
        p.Color(light);
        p.Arc(Box(r), {r.Right, r.Top}, {r.Left, r.Bottom});
        p.Color(shadow);
        Inner(p, r);
    }
    void Single(Pen& p, const TRect& r) override {
        const TRect b = Box(r);
        ::Ellipse(p.c->Handle(), b.Left, b.Top, b.Right, b.Bottom);
    }
    void Inner(Pen& p, const TRect& r) override {
        p.Arc(Box(r), {r.Left, r.Bottom}, {r.Right, r.Top});
    }

private:
    TRect Box(const TRect& r) const {
        return half_ ? Rect(r.Left, 2 * r.Top - r.Bottom, r.Right, r.Bottom) : r;
    }
    bool half_;
};

class ShieldOutline : public Outline {
public:
    explicit ShieldOutline(bool sharp) : sharp_(sharp) {}
    void TwoTone(Pen& p, const TRect& r, TColor light, TColor shadow) override {
        p.Color(light);
        LeftScallop(p, r);
        RightScallop(p, r);
        p.Color(shadow);
        if (sharp_) {
            LeftSide(p, r);
            RightSide(p, r);
        } else {
            LeftBowl(p, r);
            RightBowl(p, r);
        }
    }
    void Single(Pen& p, const TRect& r) override {
        if (sharp_) {
            RightSide(p, r);
            LeftSide(p, r);
            LeftScallop(p, r);
            RightScallop(p, r);
        } else {
            LeftScallop(p, r);
            RightScallop(p, r);
            const int W = r.Right - r.Left, H = r.Bottom - r.Top, F = H / 5;
            p.Arc(Rect(r.Left, r.Top + F - H, r.Left + W, r.Top + H), {r.Left, r.Top + F},
                  {r.Left + W, r.Top + F});
        }
    }
    void Inner(Pen& p, const TRect& r) override {
        if (sharp_) {
            RightSide(p, r);
            RightScallop(p, r);
        } else {
            RightScallop(p, r);
            RightBowl(p, r);
        }
    }

private:
    struct G {
        int L, T, B, W, H, M, F, E;
    };
    static G Of(const TRect& r) {
        G g{r.Left, r.Top, r.Bottom, r.Right - r.Left, r.Bottom - r.Top, 0, 0, 0};
        g.M = g.W / 2, g.F = g.H / 5, g.E = 8 * g.H / 7;
        return g;
    }
    static void LeftScallop(Pen& p, const TRect& r) {
        const G g = Of(r);
        p.Arc(g.L - g.M, g.T - g.F, g.L + g.M, g.T + g.F, {g.L, g.T + g.F}, {g.L + g.M, g.T});
    }
    static void RightScallop(Pen& p, const TRect& r) {
        const G g = Of(r);
        p.Arc(g.L + g.M, g.T - g.F, g.L + g.W + g.M, g.T + g.F, {g.L + g.M, g.T},
              {g.L + g.W, g.T + g.F});
    }
    static TRect Bowl(const G& g) { return Rect(g.L, g.T + g.F - g.H, g.L + g.W, g.T + g.H); }
    static void LeftBowl(Pen& p, const TRect& r) {
        const G g = Of(r);
        p.Arc(Bowl(g), {g.L, g.T + g.F}, {g.L + g.M, g.T + g.H});
    }
    static void RightBowl(Pen& p, const TRect& r) {
        const G g = Of(r);
        p.Arc(Bowl(g), {g.L + g.M, g.T + g.H}, {g.L + g.W, g.T + g.F});
    }
    static void LeftSide(Pen& p, const TRect& r) {
        const G g = Of(r);
        p.Arc(g.L, g.T - g.E, g.L + 2 * g.W, g.T + g.E, {g.L, g.T + g.F}, {g.L + g.M, g.B});
    }
    static void RightSide(Pen& p, const TRect& r) {
        const G g = Of(r);
        p.Arc(g.L - g.W, g.T - g.E, g.L + g.W, g.T + g.E, {g.L + g.M, g.B}, {g.L, g.T + g.F});
    }
    bool sharp_;
};

class RoundRectOutline : public Outline {
public:
    RoundRectOutline(int rx, int ry) : rx_(rx), ry_(ry) {}
    // Solid whatever pen the canvas had: the rounded outline is never dashed.
    void Enter(Pen& p) override { p.c->Pen()->Style = psSolid; }
    void TwoTone(Pen& p, const TRect& r, TColor light, TColor shadow) override {
        p.c->Pen()->Style = psSolid;
        HDC dc = p.Color(light);
        ::RoundRect(dc, r.Left, r.Top, r.Right, r.Bottom, rx_, ry_);
        p.c->Pen()->Width = 4;
        p.Color(shadow);
        Inner(p, r);
    }
    void Single(Pen& p, const TRect& r) override {
        ::RoundRect(p.c->Handle(), r.Left, r.Top, r.Right, r.Bottom, rx_, ry_);
    }
    // The shadow part: five strokes along the bottom and the right.
    void Inner(Pen& p, const TRect& r) override {
        const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom, hx = rx_ / 2, hy = ry_ / 2;
        p.Arc(L, B - ry_, L + rx_, B, {L, B}, {L + hx, B});
        p.Path({{L + hx, B}, {R - hx, B}});
        p.Arc(R - rx_, B - ry_, R, B, {R - hx, B}, {R, B - hy});
        p.Path({{R, B - hy}, {R, T + hy}});
        p.Arc(R - rx_, T, R, T + ry_, {R, T + hy}, {R, T});
    }
    TRect FirstInset(const TRect& r) const override {
        return Rect(r.Left + 1, r.Top + 1, r.Right - 3, r.Bottom - 3);
    }

private:
    int rx_, ry_;
};

// The frame every painter but the point list's shares.
void PaintFramed(Pen& p, Outline& o, TRect r, const TStyRegionBorder& border) {
    TColor light = border.LightColor(), shadow = border.ShadowColor(),
           single = border.SingleColor();
    const TStyRegionBorderStyle style = border.Style();
    o.Enter(p);
    if (style == rbLowered || style == rbSingleLowered || style == rbLoweredpsb)
        std::swap(light, shadow);
    switch (style) {
        case rbNone:
            return;
        case rbRaised:
        case rbLowered:
            o.TwoTone(p, r, light, shadow);
            return;
        case rbSingle:
            p.Color(single);
            o.Single(p, r);
            return;
        case rbSingleRaised:
        case rbSingleLowered:
            p.Color(single);
            o.Single(p, r);
            o.TwoTone(p, o.FirstInset(r), light, shadow);
            return;
        case rbRaisedpsb:
        case rbLoweredpsb: {
            std::swap(single, shadow);
            o.TwoTone(p, r, light, shadow);
            p.Color(single);
            o.Inner(p, Outline::Shrink(r, o.SecondInset()));
            return;
        }
    }
}

// Keeps the canvas's clipping while a step takes parts out of it.
class ClipKeeper {
public:
    explicit ClipKeeper(HDC dc) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
        had_ = GetClipRgn(dc, saved_) == 1;
    }
    ~ClipKeeper() {
        SelectClipRgn(dc_, had_ ? saved_ : nullptr);
        DeleteObject(saved_);
    }
    ClipKeeper(const ClipKeeper&) = delete;
    ClipKeeper& operator=(const ClipKeeper&) = delete;

private:
    HDC dc_;
    HRGN saved_;
    bool had_ = false;
};

std::unique_ptr<Outline> BodyOutline(TStyRegionShape shape, const TStyRegion& region) {
    switch (shape) {
        case rsRoundRect:
        case rsRoundNoseRect:
        case rsRoundThinkBubble:
            return std::make_unique<RoundRectOutline>(region.RoundX(), region.RoundY());
        case rsElliptic:
        case rsEllipticThinkBubble:
            return std::make_unique<EllipseOutline>(false);
        case rsHalfRound:
            return std::make_unique<EllipseOutline>(true);
        case rsStar:
            return std::make_unique<StarOutline>();
        case rsRoundShield:
            return std::make_unique<ShieldOutline>(false);
        case rsSharpShield:
            return std::make_unique<ShieldOutline>(true);
        case rsDiamond:
            return std::make_unique<PolyOutline>(rsDiamond, std::vector<int>{3, 0, 1},
                                                 std::vector<int>{2, 3}, std::vector<int>{2, 3, 0});
        case rsOctagon:
            return std::make_unique<PolyOutline>(rsOctagon, std::vector<int>{7, 0, 1, 2, 3},
                                                 std::vector<int>{4, 5, 6, 7},
                                                 std::vector<int>{3, 4, 5, 6, 7});
        case rsComb:
            return std::make_unique<PolyOutline>(rsComb, std::vector<int>{5, 0, 1, 2},
                                                 std::vector<int>{3, 4, 5},
                                                 std::vector<int>{2, 3, 4, 5});
        default:
            return std::make_unique<RectOutline>();
    }
}

void PaintPointList(Pen& p, const TStyRegion& region) {
    const TStyPointList* list = region.Points();
    if (!list || list->Count() == 0) return;
    const TStyRegionBorder& b = *region.Border();
    TColor light = b.LightColor(), shadow = b.ShadowColor();
    const TStyRegionBorderStyle style = b.Style();
    if (style == rbLowered || style == rbSingleLowered || style == rbLoweredpsb)
        std::swap(light, shadow);
    if (style == rbSingle) light = shadow = b.SingleColor();
    const std::vector<POINT> pts = list->Points();
    TColor pen = light;
    p.Color(pen);
    p.Move(pts[0]);
    auto edge = [&](POINT a, POINT e) {
        if (a.y < e.y) pen = shadow;
        if (a.y > e.y) pen = light;
        if (e.x < a.x) pen = shadow;
        if (e.x > a.x) pen = light;
        p.Color(pen);
        p.Line(e);
    };
    for (size_t i = 1; i < pts.size(); ++i) edge(pts[i - 1], pts[i]);
    edge(pts.back(), pts.front());
}

}  // namespace

void StyPaintRegionBorder(TCanvas* c, const TStyRegion& region, const TRect& r) {
    if (!c) return;
    Pen p{c};
    const TStyRegionShape shape = region.Shape();
    const TStyRegionBorder& border = *region.Border();
    switch (shape) {
        case rsBitmap:
        case rsUserRegion:
            return;
        case rsPointList:
            PaintPointList(p, region);
            return;
        case rsNoseRect:
        case rsRoundNoseRect: {
            const bool byY = region.ExtPos() == epLeftTop || region.ExtPos() == epRightTop ||
                             region.ExtPos() == epRightBottom || region.ExtPos() == epLeftBottom;
            const int gap = shape == rsNoseRect ? 5 : byY ? region.RoundY() : region.RoundX();
            const TStyNoseGeometry g = StyNoseGeometry(r, region.ExtPos(), gap);
            const int k = shape == rsNoseRect ? 2 : 4;
            HDC dc = c->Handle();
            ClipKeeper keep(dc);
            // The body's outline is left open where the nose joins it.
            const int l = std::min(g.Base1.x, g.Base2.x) - k,
                      t = std::min(g.Base1.y, g.Base2.y) - k;
            const int rr = std::max(g.Base1.x, g.Base2.x) + k,
                      b = std::max(g.Base1.y, g.Base2.y) + k;
            ExcludeClipRect(dc, l, t, rr, b);
            std::unique_ptr<Outline> body =
                BodyOutline(shape == rsNoseRect ? rsRect : rsRoundRect, region);
            PaintFramed(p, *body, g.Body, border);
            return;
        }
        case rsThinkBubble:
        case rsRoundThinkBubble:
        case rsEllipticThinkBubble: {
            TRect bodyRect;
            const std::vector<TStyBubble> bubbles =
                StyBubbles(r, region.ExtPos(), region.BubbleCount, bodyRect);
            HDC dc = c->Handle();
            ClipKeeper keep(dc);
            EllipseOutline circle(false);
            for (const TStyBubble& b : bubbles) {
                const TRect box = Rect(b.X - b.D / 2, b.Y - b.D / 2, b.X + b.D / 2, b.Y + b.D / 2);
                PaintFramed(p, circle, box, border);
                // Later outlines stay off the circles already drawn.
                if (box.Right > box.Left && box.Bottom > box.Top)
                    ExcludeClipRect(c->Handle(), box.Left, box.Top, box.Right, box.Bottom);
            }
            const TStyRegionShape bodyShape = shape == rsThinkBubble        ? rsRect
                                              : shape == rsRoundThinkBubble ? rsRoundRect
                                                                            : rsElliptic;
            std::unique_ptr<Outline> body = BodyOutline(bodyShape, region);
            PaintFramed(p, *body, bodyRect, border);
            return;
        }
        default: {
            std::unique_ptr<Outline> o = BodyOutline(shape, region);
            PaintFramed(p, *o, r, border);
            return;
        }
    }
}
