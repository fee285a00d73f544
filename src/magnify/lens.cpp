#include "magnify/lens.h"

#include <algorithm>

namespace magnify {

LensRect intersect(const LensRect& a, const LensRect& b) {
    LensRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    if (r.empty()) return {};
    return r;
}

LensGeometry lens_geometry(std::uint8_t half, std::uint8_t zoom) {
    LensGeometry g;
    g.half = half;
    g.zoom = zoom;
    g.lens = g.half * g.zoom;
    g.inset = g.lens / 2;
    return g;
}

Exposed exposed_split(const LensRect& o, const LensRect& n) {
    const int oL = o.left, oT = o.top, oR = o.right, oB = o.bottom;
    const int nL = n.left, nT = n.top, nR = n.right, nB = n.bottom;
    Exposed e;
    if (nL < oR && oR <= nR && nT <= oT && oT < nB) {
        e.a = {oL, nB, oR, oB};
        e.b = {oL, oT, nL, nB};
    } else if (nL < oL && oL < nR && nT <= oT && oT <= nB) {
        e.a = {nR, oT, oR, nB};
        e.b = {oL, nB, oR, oB};
    } else if (nL < oL && oL < nR && nT <= oB && oB <= nB) {
        e.a = {oL, oT, oR, nT};
        e.b = {nR, nT, oR, oB};
    } else if (nL < oR && oR <= nR && nT <= oB && oB <= nB) {
        e.a = {oL, oT, oR, nT};
        e.b = {oL, nT, nL, oB};
    } else {
        e.a = o;
    }
    // A rectangle without area is no repair at all.
    if (e.a.empty()) e.a = {};
    if (e.b.empty()) e.b = {};
    return e;
}

LensRect confinement(int screen_left, int screen_top, int width, int height, int inset) {
    const int w = std::max(1, width - inset);
    const int h = std::max(1, height - inset);
    return {screen_left, screen_top, screen_left + w, screen_top + h};
}

int overhang(const LensRect& need, int width, int height) {
    return std::max({0, -need.left, -need.top, need.right - width, need.bottom - height});
}

}  // namespace magnify
