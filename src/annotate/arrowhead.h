// Arrowheads: an unfilled triangle on an arrow's tip whose two 20-pixel sides point back along
// the shaft, 15 degrees to either side of it. Not stored; drawn from the arrow's vertices at
// every redraw.
#pragma once

#include "annotate/cad_calc.h"
#include "annotate/polyline.h"
#include "ui/surface.h"

namespace annotate {

inline constexpr double kArrowheadSide = 20;
inline constexpr double kArrowheadSpread = 15;

// Nearest integer, halves to the even one; held inside the range of a coordinate.
int round_half_even(double v);

struct ArrowheadPoints {
    Point tip;
    Point wing1;  // at the shaft's angle - 15 degrees
    Point wing2;  // at the shaft's angle + 15 degrees
};

// tip: vertex 0 of the arrow; tail: vertex 1.
ArrowheadPoints arrowhead_points(const TCadCalcGDI& calc, Point tip, Point tail);

// Draws the head of arrow on surface in the arrow's pen colour and width, solid, copy mode.
// Nothing for an arrow with fewer than two vertices.
void draw_arrowhead(ui::Surface& surface, const PolyLine::TMyPolyLine& arrow,
                    const TCadCalcGDI& calc);

}  // namespace annotate
