#include "annotate/arrowhead.h"

#include <cmath>
#include <limits>

namespace annotate {

int round_half_even(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    if (v <= lo) return std::numeric_limits<int>::min();
    if (v >= hi) return std::numeric_limits<int>::max();
    const double f = std::floor(v);
    const double rest = v - f;
    double r = f;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(f, 2.0) != 0)) r = f + 1;
    return static_cast<int>(r);
}

ArrowheadPoints arrowhead_points(const TCadCalcGDI& calc, Point tip, Point tail) {
    // The direction from the tip back towards the tail.
    const double c = calc.GetAngle(tip.x, tip.y, tail.x, tail.y);
    TDArc arc;
    calc.ArcCenterRad(TDPoint{static_cast<double>(tip.x), static_cast<double>(tip.y), 0},
                      kArrowheadSide, 0, 360, arc);
    TDPoint w1, w2;
    calc.PointArcAngle(arc, c - kArrowheadSpread, w1);
    calc.PointArcAngle(arc, c + kArrowheadSpread, w2);
    return ArrowheadPoints{tip, Point{round_half_even(w1.x), round_half_even(w1.y)},
                           Point{round_half_even(w2.x), round_half_even(w2.y)}};
}

void draw_arrowhead(ui::Surface& surface, const PolyLine::TMyPolyLine& arrow,
                    const TCadCalcGDI& calc) {
    if (arrow.GetPointsCount() < 2) return;
    const auto& v = arrow.GetPoints();
    const ArrowheadPoints h = arrowhead_points(calc, v[0], v[1]);
    ui::BrushSpec brush = surface.brush();
    brush.style = ui::BrushStyle::Solid;
    surface.set_brush(brush);
    surface.set_pen(ui::PenSpec{arrow.Pen().color, arrow.Pen().width, ui::PenStyle::Solid,
                                ui::RasterMode::Copy});
    surface.move_to(h.tip.x, h.tip.y);
    surface.line_to(h.wing1.x, h.wing1.y);
    surface.move_to(h.tip.x, h.tip.y);
    surface.line_to(h.wing2.x, h.wing2.y);
    surface.line_to(h.wing1.x, h.wing1.y);
}

}  // namespace annotate
