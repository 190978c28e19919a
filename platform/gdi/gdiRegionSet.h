// A region as a set of rectangles in y-x banded order: bands of equal-height rows, each with
// sorted, disjoint, non-touching spans, and no two vertically adjacent bands alike. This is the
// form Windows writes in RGNDATA, so algebra, hit tests and window masks agree exactly.
#pragma once

#include <functional>
#include <vector>

#include "platform/gdi/gdi.h"

namespace gdi {

struct Span {
    int l, r;
};  // [l, r)
struct Band {
    int top, bottom;
    std::vector<Span> spans;
};

class RegionSet {
public:
    RegionSet() = default;
    static RegionSet FromRect(int l, int t, int r, int b);
    // Rows from `top` on, each a list of spans (unsorted, may overlap); equal rows merge.
    static RegionSet FromRows(int top, const std::vector<std::vector<Span>>& rows);

    bool empty() const { return bands_.empty(); }
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int kind() const;
    RECT box() const;
    bool contains(int x, int y) const;
    bool intersects(const RECT& r) const;
    void offset(int dx, int dy);
    std::vector<RECT> rects() const;
    const std::vector<Band>& bands() const { return bands_; }
    bool operator==(const RegionSet& o) const;

    enum Op { And, Or, Xor, Diff };
    static RegionSet Combine(const RegionSet& a, const RegionSet& b, Op op);
    RegionSet intersected(const RECT& r) const {
        return Combine(*this, FromRect(r.left, r.top, r.right, r.bottom), And);
    }
    // Calls `f(y, l, r)` for every covered run of row y within [top, bottom).
    void forEachRun(int top, int bottom, const std::function<void(int, int, int)>& f) const;

private:
    void append(int top, int bottom, std::vector<Span> spans);
    std::vector<Band> bands_;
};

}  // namespace gdi
