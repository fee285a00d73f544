#include "output/palette.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace snipquill;

namespace {

std::uint32_t rgb(int r, int g, int b) {
    return static_cast<std::uint32_t>((r << 16) | (g << 8) | b);
}

// What the indexed picture shows at each pixel.
std::vector<std::uint32_t> expand(const IndexedPicture& p) {
    std::vector<std::uint32_t> out;
    for (std::uint8_t i : p.indices) {
        EXPECT_LT(i, p.palette.size());
        out.push_back(i < p.palette.size() ? p.palette[i] : 0xFFFFFFFF);
    }
    return out;
}

// Window-like content: flat areas, a frame, and `extra` distinct shades in a strip.
std::vector<std::uint32_t> window_like(int w, int h, int extra) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h, rgb(240, 240, 240));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint32_t& p = px[static_cast<std::size_t>(y) * w + x];
            if (y < 10) p = rgb(0, 84, 227);
            if (x == 0 || y == h - 1) p = rgb(0, 0, 0);
            if (y == 20 && x < extra) p = rgb(x % 256, x / 256, 128);
        }
    return px;
}

TEST(IndexExactly, KeepsEveryPixelAndOrdersColoursByFirstUse) {
    for (int extra : {0, 1, 100, 252}) {
        const std::vector<std::uint32_t> px = window_like(300, 40, extra);
        const std::optional<IndexedPicture> p = index_exactly(px, 300, 40);
        ASSERT_TRUE(p) << extra;
        EXPECT_EQ(expand(*p), px) << extra;
        EXPECT_EQ(p->palette.front(), rgb(0, 0, 0));  // the top-left pixel is the border
    }
}

TEST(IndexExactly, RefusesMoreThan256Colours) {
    // 3 base colours plus 253 shades make 256 (one shade equals no base colour).
    EXPECT_TRUE(index_exactly(window_like(300, 40, 253), 300, 40));
    EXPECT_FALSE(index_exactly(window_like(300, 40, 254), 300, 40));
}

TEST(IndexExactly, IgnoresTheUnusedTopByte) {
    const std::vector<std::uint32_t> px = {0xFF123456, 0x00123456, 0x7F123456, 0x00654321};
    const std::optional<IndexedPicture> p = index_exactly(px, 2, 2);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->palette, (std::vector<std::uint32_t>{0x123456, 0x654321}));
    EXPECT_EQ(p->indices, (std::vector<std::uint8_t>{0, 0, 0, 1}));
}

TEST(ToIndexed, ExactWhenItCanBe) {
    const std::vector<std::uint32_t> px = window_like(64, 64, 50);
    const IndexedPicture p = to_indexed(px, 64, 64);
    EXPECT_EQ(expand(p), px);
}

// A smooth picture of 65536 colours: r = x, g = y, b from both.
std::vector<std::uint32_t> gradient(int w, int h) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            px.push_back(rgb(x * 255 / (w - 1), y * 255 / (h - 1), (x + y) * 255 / (w + h - 2)));
    return px;
}

TEST(Quantize, GradientGetsAFullPaletteAndStaysClose) {
    const int w = 256, h = 256;
    const std::vector<std::uint32_t> px = gradient(w, h);
    const IndexedPicture p = to_indexed(px, w, h);
    EXPECT_EQ(p.palette.size(), kMaxPaletteColours);
    ASSERT_EQ(p.indices.size(), px.size());
    const std::vector<std::uint32_t> shown = expand(p);
    double error = 0;
    for (std::size_t i = 0; i < px.size(); ++i)
        for (int shift : {0, 8, 16})
            error += std::abs(static_cast<int>((px[i] >> shift) & 0xFF) -
                              static_cast<int>((shown[i] >> shift) & 0xFF));
    EXPECT_LT(error / (px.size() * 3.0), 8.0);  // per channel, per pixel
}

TEST(DiffuseOnto, FlatAreasAverageToTheirTrueColour) {
    // Each colour lies inside the palette's hull but on no entry; mapping each pixel to its nearest
    // entry would paint the whole area one wrong colour, while diffusing the error keeps the mean.
    const std::vector<std::uint32_t> palette = {rgb(0, 0, 0), rgb(255, 255, 255), rgb(255, 0, 0),
                                                rgb(0, 0, 255)};
    for (std::uint32_t colour :
         {rgb(100, 100, 100), rgb(200, 30, 30), rgb(100, 0, 120), rgb(20, 20, 240)}) {
        const int w = 128, h = 128;
        const std::vector<std::uint32_t> px(w * h, colour);
        const std::vector<std::uint32_t> shown = expand(diffuse_onto(px, w, h, palette));
        for (int shift : {0, 8, 16}) {
            double sum = 0;
            for (std::uint32_t c : shown) sum += (c >> shift) & 0xFF;
            EXPECT_NEAR(sum / shown.size(), (colour >> shift) & 0xFF, 1.0)
                << std::hex << colour << " channel " << std::dec << shift;
        }
    }
}

TEST(DiffuseOnto, ColoursInThePaletteStayExact) {
    const std::vector<std::uint32_t> palette = {rgb(0, 0, 0), rgb(255, 255, 255), rgb(12, 34, 56)};
    std::vector<std::uint32_t> px(50 * 20, rgb(12, 34, 56));
    for (int x = 0; x < 50; ++x) px[static_cast<std::size_t>(10) * 50 + x] = rgb(255, 255, 255);
    EXPECT_EQ(expand(diffuse_onto(px, 50, 20, palette)), px);
}

TEST(Quantize, FlatPictureWithManyColoursElsewhereKeepsItsFlatColourExactly) {
    // A big flat area beside a strip of 1000 shades: the flat colour gets its own entry and its
    // area shows no dithering noise.
    std::vector<std::uint32_t> px = window_like(1000, 200, 1000);
    const IndexedPicture p = quantize(px, 1000, 200);
    const std::vector<std::uint32_t> shown = expand(p);
    int wrong = 0;
    for (int y = 40; y < 190; ++y)
        for (int x = 1; x < 1000; ++x)
            wrong += shown[static_cast<std::size_t>(y) * 1000 + x] != rgb(240, 240, 240);
    EXPECT_EQ(wrong, 0);
}

TEST(Quantize, EmptyPicture) {
    const IndexedPicture p = quantize({}, 0, 0);
    EXPECT_TRUE(p.indices.empty());
}

TEST(IndexBits, SmallestDepthThatHoldsThePalette) {
    const std::pair<std::size_t, int> cases[] = {{1, 1},  {2, 1},  {3, 2},   {4, 2},  {5, 4},
                                                 {16, 4}, {17, 8}, {255, 8}, {256, 8}};
    for (const auto& [colours, bits] : cases) EXPECT_EQ(index_bits(colours), bits) << colours;
}

TEST(PackIndices, MostSignificantFirstAndRowsPadded) {
    IndexedPicture p{5, 2, {0, 1, 2, 3}, {1, 0, 1, 1, 1, /**/ 0, 1, 0, 0, 1}};
    EXPECT_EQ(pack_indices(p, 1, 4),
              (std::vector<std::uint8_t>{0b10111000, 0, 0, 0, 0b01001000, 0, 0, 0}));
    p.indices = {3, 2, 1, 0, 3, /**/ 0, 0, 0, 0, 1};
    EXPECT_EQ(pack_indices(p, 2, 2),
              (std::vector<std::uint8_t>{0b11100100, 0b11000000, 0b00000000, 0b01000000}));
    EXPECT_EQ(pack_indices(p, 4, 4),
              (std::vector<std::uint8_t>{0x32, 0x10, 0x30, 0, 0x00, 0x00, 0x10, 0}));
    EXPECT_EQ(pack_indices(p, 8, 8),
              (std::vector<std::uint8_t>{3, 2, 1, 0, 3, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));
}

}  // namespace
