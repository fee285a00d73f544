#include "annotate/cad_calc_ops.h"

#include <array>
#include <cmath>

namespace annotate::CadCalcGDIOps {

namespace {

// A coordinate difference of exactly 0 is replaced by this, and the first point is moved by it,
// so the quadrant tests below never see equal coordinates.
constexpr double kNudge = 0.0000001;

constexpr std::array<const char*, 7> kErrors = {
    "PARALLEL LINES",         "UNDEFINED LINE",
    "ARC DOES NOT INTERSECT", "RADIUS DOES NOT INTERSECT",
    "CONCENTRIC CIRCLES",     "CAN'T ALLOCATE MEMORY",
    "3 POINTS ON SAME LINE",
};
constexpr int kFirstError = 902;

}  // namespace

double GetAngle(double X1, double Y1, double X2, double Y2) {
    if (X1 == X2 && Y1 == Y2) return 0;
    double dy = std::fabs(Y2 - Y1);
    if (dy == 0) {
        dy = kNudge;
        Y1 += kNudge;
    }
    double dx = std::fabs(X2 - X1);
    if (dx == 0) {
        dx = kNudge;
        X1 += kNudge;
    }
    double a = std::atan(dy / dx) * kDegreesPerRadian;
    if (X1 > X2 && Y1 < Y2) a = 180 - a;
    if (X1 > X2 && Y1 > Y2) a = a + 180;
    if (X1 < X2 && Y1 > Y2) a = 360 - a;
    return FixAngle(a);
}

double FixAngle(double Angle) {
    // Subtracting or adding 360 until the angle is in range gives exactly fmod's remainder (each
    // step is exact), but would never end for huge or infinite angles.
    if (!std::isfinite(Angle)) return std::nan("");
    double a = std::fmod(Angle, 360.0);
    if (a < 0) a += 360;
    // A tiny negative angle rounds up to 360 when 360 is added.
    if (a >= 360) a = 0;
    return a + 0.0;  // no negative zero
}

int ArcCenterRad(const TDPoint& Point1, double Radius, double StartAngle, double EndAngle,
                 TDArc& Arc1) {
    Arc1.Center.x = Point1.x;
    Arc1.Center.y = Point1.y;
    Arc1.r = Radius;
    Arc1.sa = StartAngle;
    Arc1.ea = EndAngle;
    return 0;
}

int PointArcAngle(const TDArc& Arc1, double Angle, TDPoint& Point1) {
    if (Arc1.r == 0) {
        Point1 = TDPoint{0, 0, 0};
        return 1;
    }
    const double t = Angle / kDegreesPerRadian;
    Point1.x = Arc1.r * std::cos(t) + Arc1.Center.x;
    Point1.y = Arc1.r * std::sin(t) + Arc1.Center.y;
    Point1.z = Arc1.Center.z;
    return 0;
}

std::string CalcErr(int index) {
    if (index < kFirstError || index >= kFirstError + static_cast<int>(kErrors.size()))
        return "Undefined";
    return kErrors[static_cast<std::size_t>(index - kFirstError)];
}

}  // namespace annotate::CadCalcGDIOps
