#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "annotate/arrowhead.h"
#include "annotate/cad_calc.h"

using namespace annotate;

namespace {

TEST(CadCalcGDI, GetAngleTable) {
    struct Case {
        double x1, y1, x2, y2, angle;
    };
    // Along an axis the nudges keep the result off the multiple of 90, on the side the
    // quadrant rules give.
    const Case cases[] = {
        {25, 35, 80, 80, 39.28940686},
        {0, 100, 100, 100, 359.99999994},  // right
        {100, 100, 0, 100, 180.00000006},  // left
        {50, 0, 50, 100, 90.00000006},     // down
        {50, 100, 50, 0, 269.99999994},    // up
        {7, 7, 7, 7, 0},                   // coinciding
        {0, 0, -10, 10, 135},              // down-left
        {0, 0, -10, -10, 225},             // up-left
        {0, 0, 10, -10, 315},              // up-right
        {100, 100, 0, 100.5, 179.71352},   // nearly left, slightly down
    };
    for (const Case& c : cases)
        EXPECT_NEAR(CadCalcGDIOps::GetAngle(c.x1, c.y1, c.x2, c.y2), c.angle, 5e-6)
            << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
    EXPECT_NE(CadCalcGDIOps::GetAngle(0, 100, 100, 100), 0.0);
    EXPECT_LT(CadCalcGDIOps::GetAngle(0, 100, 100, 100), 360.0);
}

TEST(CadCalcGDI, UsesTheTenDigitDegreeFactor) {
    // atan(1) * 57.29577951 differs from 45 in the ninth digit.
    EXPECT_DOUBLE_EQ(CadCalcGDIOps::GetAngle(0, 0, 10, 10), std::atan(1.0) * 57.29577951);
    EXPECT_NE(CadCalcGDIOps::GetAngle(0, 0, 10, 10), 45.0);
}

TEST(CadCalcGDI, FixAngleTable) {
    struct Case {
        double in, out;
    };
    const Case cases[] = {
        {-30, 330},  {720, 0},          {359.5, 359.5},  {0, 0}, {360, 0},
        {-360, 0},   {-720.25, 359.75}, {1e15 + 90, 10},  // 1e15 + 90 = 360 * 2777777777778 + 10
        {-1e-20, 0},                                      // adding 360 would round up to 360 itself
    };
    for (const Case& c : cases) {
        const double r = CadCalcGDIOps::FixAngle(c.in);
        EXPECT_DOUBLE_EQ(r, c.out) << c.in;
        EXPECT_GE(r, 0.0);
        EXPECT_LT(r, 360.0);
    }
}

TEST(CadCalcGDI, FixAngleReturnsForNonFiniteAngles) {
    for (double a :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN()})
        EXPECT_TRUE(std::isnan(CadCalcGDIOps::FixAngle(a)));
    EXPECT_TRUE(std::isnan(CadCalcGDIOps::GetAngle(0, 0, std::nan(""), 5)));
}

TEST(CadCalcGDI, ArcAndPointOnIt) {
    TCadCalcGDI calc;
    TDArc arc;
    arc.Center.z = 7;
    EXPECT_EQ(calc.ArcCenterRad(TDPoint{25, 35, 99}, 20, 0, 360, arc), 0);
    EXPECT_EQ(arc.Center.x, 25);
    EXPECT_EQ(arc.Center.y, 35);
    EXPECT_EQ(arc.Center.z, 7);  // kept
    EXPECT_EQ(arc.r, 20);
    EXPECT_EQ(arc.sa, 0);
    EXPECT_EQ(arc.ea, 360);

    struct Case {
        double angle, x, y;
    };
    const Case cases[] = {{24.28940686, 43.2296, 43.2269},
                          {54.28940686, 36.6738, 51.2395},
                          {400, 25 + 20 * std::cos(40 / 57.29577951),
                           35 + 20 * std::sin(40 / 57.29577951)}};  // outside sa..ea
    for (const Case& c : cases) {
        TDPoint p;
        EXPECT_EQ(calc.PointArcAngle(arc, c.angle, p), 0);
        EXPECT_NEAR(p.x, c.x, 1e-4) << c.angle;
        EXPECT_NEAR(p.y, c.y, 1e-4) << c.angle;
        EXPECT_EQ(p.z, 7);
    }

    // Negative radius and any angles are stored as given.
    calc.ArcCenterRad(TDPoint{1, 2, 0}, -5, 720, -10, arc);
    EXPECT_EQ(arc.r, -5);
    EXPECT_EQ(arc.sa, 720);
    EXPECT_EQ(arc.ea, -10);
}

TEST(CadCalcGDI, PointOnZeroRadiusArcIsTheOriginWithAStatus) {
    TDArc arc;
    arc.Center = TDPoint{5, 6, 7};
    TDPoint p{1, 2, 3};
    EXPECT_NE(CadCalcGDIOps::PointArcAngle(arc, 45, p), 0);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.z, 0);
}

TEST(CadCalcGDI, CalcErrTableAndVersion) {
    const std::pair<int, const char*> cases[] = {
        {901, "Undefined"},
        {902, "PARALLEL LINES"},
        {903, "UNDEFINED LINE"},
        {904, "ARC DOES NOT INTERSECT"},
        {905, "RADIUS DOES NOT INTERSECT"},
        {906, "CONCENTRIC CIRCLES"},
        {907, "CAN'T ALLOCATE MEMORY"},
        {908, "3 POINTS ON SAME LINE"},
        {909, "Undefined"},
        {-902, "Undefined"},
        {std::numeric_limits<int>::max(), "Undefined"},
    };
    TCadCalcGDI calc;
    for (const auto& [code, text] : cases) EXPECT_EQ(calc.CalcErr(code), text) << code;
    EXPECT_EQ(calc.Version(), "2.7.6");
}

TEST(Arrowhead, RoundsHalvesToEven) {
    const std::pair<double, int> cases[] = {
        {0.5, 0},         {1.5, 2},    {2.5, 2},
        {-0.5, 0},        {-1.5, -2},  {43.2296, 43},
        {36.6738, 37},    {2.4999, 2}, {1e12, std::numeric_limits<int>::max()},
        {std::nan(""), 0}};
    for (const auto& [v, r] : cases) EXPECT_EQ(round_half_even(v), r) << v;
}

TEST(Arrowhead, WingPointsTable) {
    struct Case {
        Point tip, tail, w1, w2;
    };
    const Case cases[] = {
        {{25, 35}, {80, 80}, {43, 43}, {37, 51}},     // the new arrow
        {{100, 100}, {0, 100}, {81, 105}, {81, 95}},  // pointing right
        {{0, 100}, {100, 100}, {19, 95}, {19, 105}},  // pointing left
        {{50, 100}, {50, 0}, {45, 81}, {55, 81}},     // pointing down
        {{10, 10}, {10, 10}, {29, 5}, {29, 15}},      // no shaft: angle 0
    };
    TCadCalcGDI calc;
    for (const Case& c : cases) {
        const ArrowheadPoints h = arrowhead_points(calc, c.tip, c.tail);
        EXPECT_EQ(h.tip, c.tip);
        EXPECT_EQ(h.wing1, c.w1) << c.tip.x << "," << c.tip.y << " " << h.wing1.x << ","
                                 << h.wing1.y;
        EXPECT_EQ(h.wing2, c.w2) << c.tip.x << "," << c.tip.y << " " << h.wing2.x << ","
                                 << h.wing2.y;
    }
}

}  // namespace
