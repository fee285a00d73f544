#include "output/png_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using namespace snipquill;

namespace {

using Paint = std::uint32_t (*)(int x, int y);

std::vector<std::uint32_t> picture(int w, int h, Paint paint) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px.push_back(paint(x, y));
    return px;
}

std::uint32_t grey(int v) {
    const std::uint32_t c = static_cast<std::uint32_t>(v) & 0xFF;
    return (c << 16) | (c << 8) | c;
}

TEST(ChoosePngFilter, FollowsWhereThePictureRepeats) {
    struct Case {
        const char* what;
        Paint paint;
        std::vector<PngFilter> good;  // Paeth predicts exactly wherever Sub or Up does
    };
    const Case cases[] = {
        {"same busy row on every line",
         [](int x, int) { return grey(x * 37 % 251); },
         {PngFilter::Up, PngFilter::Paeth}},
        {"busy column of flat rows",
         [](int, int y) { return grey(y * 37 % 251); },
         {PngFilter::Sub, PngFilter::Paeth}},
        // Every filter leaves nothing: the first of equals.
        {"black", [](int, int) { return grey(0); }, {PngFilter::None}},
    };
    for (const Case& c : cases) {
        const PngFilter got = choose_png_filter(picture(200, 120, c.paint), 200, 120);
        EXPECT_NE(std::find(c.good.begin(), c.good.end(), got), c.good.end())
            << c.what << ": " << static_cast<int>(got);
    }
}

TEST(ChoosePngFilter, EmptyOrShortInputGivesNone) {
    EXPECT_EQ(choose_png_filter({}, 0, 0), PngFilter::None);
    const std::vector<std::uint32_t> three(3, 0x808080);
    EXPECT_EQ(choose_png_filter(three, 2, 2), PngFilter::None);  // fewer pixels than 2 x 2
}

}  // namespace
