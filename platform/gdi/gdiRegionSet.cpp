#include "platform/gdi/gdiRegionSet.h"

#include <algorithm>

namespace gdi {
namespace {

std::vector<Span> Normalise(std::vector<Span> s) {
    std::sort(s.begin(), s.end(), [](const Span& a, const Span& b) { return a.l < b.l; });
    std::vector<Span> out;
    for (const Span& x : s) {
        if (x.r <= x.l) continue;
        if (!out.empty() && x.l <= out.back().r)
            out.back().r = std::max(out.back().r, x.r);
        else
            out.push_back(x);
    }
    return out;
}

bool SameSpans(const std::vector<Span>& a, const std::vector<Span>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].l != b[i].l || a[i].r != b[i].r) return false;
    return true;
}

// Boolean operation on two sorted span lists by sweeping their edges.
std::vector<Span> CombineSpans(const std::vector<Span>& a, const std::vector<Span>& b,
                               RegionSet::Op op) {
    std::vector<int> xs;
    for (auto& s : a) {
        xs.push_back(s.l);
        xs.push_back(s.r);
    }
    for (auto& s : b) {
        xs.push_back(s.l);
        xs.push_back(s.r);
    }
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    std::vector<Span> out;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        int x = xs[i];
        while (ia < a.size() && a[ia].r <= x) ++ia;
        while (ib < b.size() && b[ib].r <= x) ++ib;
        bool inA = ia < a.size() && a[ia].l <= x;
        bool inB = ib < b.size() && b[ib].l <= x;
        bool in = op == RegionSet::And   ? (inA && inB)
                  : op == RegionSet::Or  ? (inA || inB)
                  : op == RegionSet::Xor ? (inA != inB)
                                         : (inA && !inB);
        if (!in) continue;
        if (!out.empty() && out.back().r == x)
            out.back().r = xs[i + 1];
        else
            out.push_back({x, xs[i + 1]});
    }
    return out;
}

}  // namespace

void RegionSet::append(int top, int bottom, std::vector<Span> spans) {
    if (bottom <= top || spans.empty()) return;
    if (!bands_.empty() && bands_.back().bottom == top && SameSpans(bands_.back().spans, spans)) {
        bands_.back().bottom = bottom;
        return;
    }
    bands_.push_back({top, bottom, std::move(spans)});
}

RegionSet RegionSet::FromRect(int l, int t, int r, int b) {
    RegionSet s;
    if (r > l && b > t) s.bands_.push_back({t, b, {{l, r}}});
    return s;
}

RegionSet RegionSet::FromRows(int top, const std::vector<std::vector<Span>>& rows) {
    RegionSet s;
    for (size_t i = 0; i < rows.size(); ++i)
        s.append(top + int(i), top + int(i) + 1, Normalise(rows[i]));
    return s;
}

int RegionSet::kind() const {
    if (bands_.empty()) return NULLREGION;
    return bands_.size() == 1 && bands_[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT RegionSet::box() const {
    RECT r;
    if (bands_.empty()) return r;
    r.top = bands_.front().top;
    r.bottom = bands_.back().bottom;
    r.left = bands_[0].spans.front().l;
    r.right = bands_[0].spans.back().r;
    for (auto& b : bands_) {
        r.left = std::min<LONG>(r.left, b.spans.front().l);
        r.right = std::max<LONG>(r.right, b.spans.back().r);
    }
    return r;
}

bool RegionSet::contains(int x, int y) const {
    for (auto& b : bands_) {
        if (y < b.top) return false;
        if (y >= b.bottom) continue;
        for (auto& s : b.spans)
            if (x >= s.l && x < s.r) return true;
        return false;
    }
    return false;
}

bool RegionSet::intersects(const RECT& r) const {
    for (auto& b : bands_) {
        if (b.bottom <= r.top || b.top >= r.bottom) continue;
        for (auto& s : b.spans)
            if (s.r > r.left && s.l < r.right) return true;
    }
    return false;
}

void RegionSet::offset(int dx, int dy) {
    for (auto& b : bands_) {
        b.top += dy;
        b.bottom += dy;
        for (auto& s : b.spans) {
            s.l += dx;
            s.r += dx;
        }
    }
}

std::vector<RECT> RegionSet::rects() const {
    std::vector<RECT> out;
    for (auto& b : bands_)
        for (auto& s : b.spans) out.push_back(RECT{s.l, b.top, s.r, b.bottom});
    return out;
}

bool RegionSet::operator==(const RegionSet& o) const {
    if (bands_.size() != o.bands_.size()) return false;
    for (size_t i = 0; i < bands_.size(); ++i)
        if (bands_[i].top != o.bands_[i].top || bands_[i].bottom != o.bands_[i].bottom ||
            !SameSpans(bands_[i].spans, o.bands_[i].spans))
            return false;
    return true;
}

RegionSet RegionSet::Combine(const RegionSet& a, const RegionSet& b, Op op) {
    std::vector<int> ys;
    for (auto& x : a.bands_) {
        ys.push_back(x.top);
        ys.push_back(x.bottom);
    }
    for (auto& x : b.bands_) {
        ys.push_back(x.top);
        ys.push_back(x.bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    static const std::vector<Span> none;
    RegionSet out;
    size_t ia = 0, ib = 0;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        int y = ys[i];
        while (ia < a.bands_.size() && a.bands_[ia].bottom <= y) ++ia;
        while (ib < b.bands_.size() && b.bands_[ib].bottom <= y) ++ib;
        const auto& sa = ia < a.bands_.size() && a.bands_[ia].top <= y ? a.bands_[ia].spans : none;
        const auto& sb = ib < b.bands_.size() && b.bands_[ib].top <= y ? b.bands_[ib].spans : none;
        out.append(y, ys[i + 1], CombineSpans(sa, sb, op));
    }
    return out;
}

void RegionSet::forEachRun(int top, int bottom, const std::function<void(int, int, int)>& f) const {
    for (auto& b : bands_) {
        int y0 = std::max(top, b.top), y1 = std::min(bottom, b.bottom);
        for (int y = y0; y < y1; ++y)
            for (auto& s : b.spans) f(y, s.l, s.r);
    }
}

}  // namespace gdi
