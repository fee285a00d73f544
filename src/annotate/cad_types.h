// Floating-point plane geometry records used by the arrowhead calculations.
#pragma once

namespace annotate {

struct TDPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

struct TDLine {
    TDPoint Point1;
    TDPoint Point2;
};

// Centre, radius, start and end angle (degrees).
struct TDArc {
    TDPoint Center;
    double r = 0;
    double sa = 0;
    double ea = 0;
};

}  // namespace annotate
