#include "magnify/lens.h"

#include <gtest/gtest.h>

#include <ostream>

namespace magnify {
std::ostream& operator<<(std::ostream& os, const LensRect& r) {
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
}  // namespace magnify

using namespace magnify;

namespace {

struct SplitCase {
    const char* name;
    int dx, dy;  // pointer move from (200, 200)
    LensRect a, b;
};

// The note's lens: half side 90, so the old lens is (110, 110, 290, 290).
TEST(ExposedSplit, EveryCase) {
    const LensRect o = square(200, 200, 90);
    const SplitCase cases[] = {
        {"unmoved", 0, 0, {}, {}},
        {"right and up (1)", 5, -3, {110, 287, 290, 290}, {110, 110, 115, 287}},
        {"only right (1)", 7, 0, {}, {110, 110, 117, 290}},
        {"one left, one up (2)", -1, -1, {289, 110, 290, 289}, {110, 289, 290, 290}},
        {"left and up (2)", -20, -30, {270, 110, 290, 260}, {110, 260, 290, 290}},
        {"left and down (3)", -4, 6, {110, 110, 290, 116}, {286, 116, 290, 290}},
        {"right and down (4)", 8, 9, {110, 110, 290, 119}, {110, 119, 118, 290}},
        {"only down (4)", 0, 2, {110, 110, 290, 112}, {}},
        {"no overlap right", 181, 0, o, {}},
        {"no overlap up-left", -180, -180, o, {}},
        {"no overlap below", 3, 200, o, {}},
    };
    for (const SplitCase& c : cases) {
        const Exposed e = exposed_split(o, square(200 + c.dx, 200 + c.dy, 90));
        EXPECT_EQ(e.a, c.a) << c.name;
        EXPECT_EQ(e.b, c.b) << c.name;
        // Whatever the case, the repairs and the new lens together cover the old lens.
        const LensRect n = square(200 + c.dx, 200 + c.dy, 90);
        for (int y = o.top; y < o.bottom; y += 7)
            for (int x = o.left; x < o.right; x += 7) {
                auto in = [&](const LensRect& r) {
                    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                };
                ASSERT_TRUE(in(n) || in(e.a) || in(e.b)) << c.name << " at " << x << "," << y;
            }
    }
}

TEST(LensGeometry, TheNotesValues) {
    const LensGeometry g = lens_geometry(30, 3);
    EXPECT_EQ(g.lens, 90);
    EXPECT_EQ(g.inset, 45);
    EXPECT_EQ(square(100, 50, g.half), (LensRect{70, 20, 130, 80}));    // 60 x 60 read
    EXPECT_EQ(square(100, 50, g.lens), (LensRect{10, -40, 190, 140}));  // 180 x 180 drawn
    // The creation values and the extremes of the byte-sized settings.
    EXPECT_EQ(lens_geometry(20, 2).inset, 20);
    EXPECT_EQ(lens_geometry(5, 3).inset, 7);  // truncated
    EXPECT_EQ(lens_geometry(255, 255).lens, 65025);
    EXPECT_EQ(lens_geometry(0, 9).lens, 0);
}

TEST(Confinement, ShortOfRightAndBottomAndNeverEmpty) {
    struct Case {
        int w, h, c;
        LensRect expected;
    } cases[] = {
        {292, 173, 45, {100, 50, 347, 178}},  // the note's inset
        {45, 300, 45, {100, 50, 101, 305}},   // exactly c wide: one pixel
        {10, 3, 45, {100, 50, 101, 51}},      // narrower and shorter than c
        {1, 1, 0, {100, 50, 101, 51}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(confinement(100, 50, c.w, c.h, c.c), c.expected) << c.w << "x" << c.h;
}

TEST(LensRectOps, IntersectAndOverhang) {
    EXPECT_EQ(intersect({-10, -10, 50, 50}, {0, 0, 40, 100}), (LensRect{0, 0, 40, 50}));
    EXPECT_TRUE(intersect({0, 0, 10, 10}, {10, 0, 20, 10}).empty());
    EXPECT_EQ(overhang({-30, 5, 20, 20}, 100, 100), 30);
    EXPECT_EQ(overhang({5, 5, 130, 20}, 100, 100), 30);
    EXPECT_EQ(overhang({5, 5, 20, 20}, 100, 100), 0);
}

}  // namespace
