#include "output/print_fit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace snipquill;

namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    const std::pair<double, double> cases[] = {
        {0.5, 0},       {1.5, 2},      {2.5, 2},    {3.5, 4},    {-0.5, 0},
        {-1.5, -2},     {-2.5, -2},    {2.4999, 2}, {2.5001, 3}, {1562.5, 1562},
        {1567.5, 1568}, {600.59, 601}, {7.0, 7},    {-7.2, -7},
    };
    for (const auto& [x, expected] : cases) EXPECT_EQ(round_half_even(x), expected) << x;
}

struct FitCase {
    const char* what;
    PrinterPage page;
    int ppi, picture_w, picture_h;
    PrintSize expected;
};

// Expected values worked out by hand from the rules: resolution = round(px / (mm / 25.4)),
// scale = resolution / ppi, fit the width first, then the height.
TEST(PrintSize, ScaleAndFitTable) {
    const PrinterPage portrait{3001, 6001, 127, 254};  // 600 dpi both ways
    const PrinterPage landscape{6001, 3001, 254, 127};
    const FitCase cases[] = {
        {"at screen size", portrait, 96, 400, 300, {600, 600, 2500, 1875}},
        {"same on landscape", landscape, 96, 400, 300, {600, 600, 2500, 1875}},
        {"too wide: f = 3001/6250", portrait, 96, 1000, 520, {600, 600, 3001, 1561}},
        {"601 dpi page of 4800 x 6600",
         {4800, 6600, 203, 279},
         96,
         1000,
         500,
         {601, 601, 4800, 2400}},
        {"too tall on landscape", landscape, 96, 320, 600, {600, 600, 1601, 3001}},
        {"too large both ways, portrait", portrait, 96, 500, 1200, {600, 600, 2501, 6001}},
        {"too large both ways, landscape", landscape, 96, 1200, 700, {600, 600, 5144, 3001}},
        {"fitted height halves to even (1562.5)",
         {3200, 6400, 127, 254},
         128,
         1280,
         625,
         {640, 640, 3200, 1562}},
        {"fitted height halves to even (1567.5)",
         {3200, 6400, 127, 254},
         128,
         1280,
         627,
         {640, 640, 3200, 1568}},
        {"exactly the page width stays", portrait, 96, 480, 100, {600, 600, 3000, 625}},
        {"empty picture", portrait, 96, 0, 0, {600, 600, 0, 0}},
        {"120 dpi screen", portrait, 120, 400, 300, {600, 600, 2000, 1500}},
    };
    for (const FitCase& c : cases) {
        const std::optional<PrintSize> got = print_size(c.page, c.ppi, c.picture_w, c.picture_h);
        ASSERT_TRUE(got) << c.what;
        EXPECT_EQ(got->resolution_x, c.expected.resolution_x) << c.what;
        EXPECT_EQ(got->resolution_y, c.expected.resolution_y) << c.what;
        EXPECT_EQ(got->width, c.expected.width) << c.what;
        EXPECT_EQ(got->height, c.expected.height) << c.what;
    }
}

TEST(PrintSize, AlwaysFitsAndKeepsProportions) {
    const PrinterPage pages[] = {
        {3001, 6001, 127, 254}, {6001, 3001, 254, 127}, {4658, 6716, 197, 284}};
    for (const PrinterPage& page : pages)
        for (int pw = 1; pw <= 4000; pw += 37)
            for (int ph = 1; ph <= 4000; ph += 41) {
                const std::optional<PrintSize> s = print_size(page, 96, pw, ph);
                ASSERT_TRUE(s);
                ASSERT_LE(s->width, page.width_px) << pw << "x" << ph;
                ASSERT_LE(s->height, page.height_px) << pw << "x" << ph;
                // Same proportions up to rounding: each side is within 1.5 printer pixels of
                // the picture scaled by one common factor.
                const double skew =
                    static_cast<double>(s->width) * ph - static_cast<double>(s->height) * pw;
                ASSERT_LE(std::abs(skew), 1.5 * (pw + ph)) << pw << "x" << ph;
                // A reduced picture touches the page on at least one side.
                if (pw * 6.25 > page.width_px + 1 || ph * 6.25 > page.height_px + 1) {
                    ASSERT_TRUE(s->width == page.width_px || s->height == page.height_px)
                        << pw << "x" << ph;
                }
            }
}

TEST(PrintSize, MeaninglessPrinterOrScreenGivesNothing) {
    const PrinterPage good{3001, 6001, 127, 254};
    EXPECT_FALSE(print_size({3001, 6001, 0, 254}, 96, 10, 10));
    EXPECT_FALSE(print_size({3001, 6001, 127, 0}, 96, 10, 10));
    EXPECT_FALSE(print_size({0, 6001, 127, 254}, 96, 10, 10));
    EXPECT_FALSE(print_size({3001, -1, 127, 254}, 96, 10, 10));
    EXPECT_FALSE(print_size({1, 1, 1000, 1000}, 96, 10, 10));  // under one pixel per inch
    EXPECT_FALSE(print_size(good, 0, 10, 10));
    EXPECT_FALSE(print_size(good, 96, -1, 10));
    // A picture far larger than any page still fits, without overflowing on the way.
    const std::optional<PrintSize> huge = print_size({2147483, 6001, 1, 254}, 1, 2000000000, 3);
    ASSERT_TRUE(huge);
    EXPECT_LE(huge->width, 2147483);
    EXPECT_LE(huge->height, 6001);
}

}  // namespace
