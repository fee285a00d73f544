// The plane-geometry calculator component. Each operation hands its arguments to the routine of
// the same name in CadCalcGDIOps.
#pragma once

#include <string>

#include "annotate/cad_calc_ops.h"
#include "annotate/component.h"

namespace annotate {

class TCadCalcGDI : public TComponent {
  public:
    std::string Version() const { return "2.7.6"; }

    double GetAngle(double X1, double Y1, double X2, double Y2) const {
        return CadCalcGDIOps::GetAngle(X1, Y1, X2, Y2);
    }
    double FixAngle(double Angle) const { return CadCalcGDIOps::FixAngle(Angle); }
    int ArcCenterRad(TDPoint Point1, double Radius, double StartAngle, double EndAngle,
                     TDArc& Arc1) const {
        return CadCalcGDIOps::ArcCenterRad(Point1, Radius, StartAngle, EndAngle, Arc1);
    }
    int PointArcAngle(TDArc Arc1, double Angle, TDPoint& Point1) const {
        return CadCalcGDIOps::PointArcAngle(Arc1, Angle, Point1);
    }
    std::string CalcErr(int index) const { return CadCalcGDIOps::CalcErr(index); }
};

}  // namespace annotate
