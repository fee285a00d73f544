// The calculation routines behind TCadCalcGDI. Angles are in degrees, measured from the positive
// x axis towards the positive y axis (clockwise on the screen, where y grows downwards).
#pragma once

#include <string>

#include "annotate/cad_types.h"

namespace annotate::CadCalcGDIOps {

// Degrees per radian. This ten-digit value, not 180/pi: the arrowheads users already have were
// computed with it.
inline constexpr double kDegreesPerRadian = 57.29577951;

// Direction of the vector (X1, Y1) -> (X2, Y2), 0 <= result < 360; 0 for coinciding points.
// A vector along an axis never gives an exact multiple of 90 (see the nudges in the source).
double GetAngle(double X1, double Y1, double X2, double Y2);

// Angle brought into 0 <= result < 360. Not a number for an input that is not finite.
double FixAngle(double Angle);

// Fills Arc1 with the centre of Point1 (x and y; Arc1.Center.z is kept), the radius and the
// angles, unchecked. Returns 0.
int ArcCenterRad(const TDPoint& Point1, double Radius, double StartAngle, double EndAngle,
                 TDArc& Arc1);

// The point of the circle of Arc1 at Angle (the arc's own angles are not looked at). Returns 0;
// for a radius of 0, Point1 becomes the origin and the result is non-zero.
int PointArcAngle(const TDArc& Arc1, double Angle, TDPoint& Point1);

// The text of an error code of the calculator; "Undefined" outside 902..908.
std::string CalcErr(int index);

}  // namespace annotate::CadCalcGDIOps
