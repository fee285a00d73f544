// Geometry of the magnifying lens: the squares it reads and draws, the part of the old lens a
// move exposes, and where the pointer may go during a drag. Platform-free.
#pragma once

#include <cstdint>

namespace magnify {

// Right and bottom edges excluded.
struct LensRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const LensRect&, const LensRect&) = default;
};

// The square of side 2a centred on (x, y).
constexpr LensRect square(int x, int y, int a) { return {x - a, y - a, x + a, y + a}; }

LensRect intersect(const LensRect& a, const LensRect& b);

// Sizes that follow from the half side of the source square and the magnification.
struct LensGeometry {
    int half = 0;   // h: half side of the source square
    int zoom = 0;   // z
    int lens = 0;   // k = h * z: half side of the lens square
    int inset = 0;  // c = h * z / 2: how far the pointer stays from the right and bottom edges
};
LensGeometry lens_geometry(std::uint8_t half, std::uint8_t zoom);

// The parts of the old lens O that the new lens N (same size) leaves uncovered: at most two
// rectangles; an unused one is empty.
struct Exposed {
    LensRect a;
    LensRect b;
};
Exposed exposed_split(const LensRect& o, const LensRect& n);

// Where the pointer is confined during a drag, in screen coordinates: from the control's
// top-left corner, c short of its right and bottom edges, and never less than one pixel wide
// or high, however small the control.
LensRect confinement(int screen_left, int screen_top, int width, int height, int inset);

// How far `need` reaches beyond (0, 0, width, height) on its farthest side; 0 when inside.
int overhang(const LensRect& need, int width, int height);

}  // namespace magnify
