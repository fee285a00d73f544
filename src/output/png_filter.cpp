#include "output/png_filter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace snipquill {

namespace {

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

int channel(std::uint32_t pixel, int c) { return static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF); }

// Entropy in bits per symbol of a list of symbols (sorted here).
double entropy(std::vector<std::uint32_t>& symbols) {
    if (symbols.empty()) return 0;
    std::sort(symbols.begin(), symbols.end());
    const double n = static_cast<double>(symbols.size());
    double bits = 0;
    for (std::size_t i = 0; i < symbols.size();) {
        std::size_t j = i;
        while (j < symbols.size() && symbols[j] == symbols[i]) ++j;
        const double p = static_cast<double>(j - i) / n;
        bits -= p * std::log2(p);
        i = j;
    }
    return bits;
}

}  // namespace

PngFilter choose_png_filter(std::span<const std::uint32_t> pixels, int width, int height) {
    if (width <= 0 || height <= 0 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return PngFilter::None;
    const std::size_t w = static_cast<std::size_t>(width);
    // Every sixteenth row (with the one above it) is enough to tell the filters apart.
    const int step = height > 128 ? 16 : 1;
    std::array<std::vector<std::uint32_t>, 5> residuals;
    for (int y = 0; y < height; y += step) {
        const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(y) * w;
        const std::uint32_t* above = y > 0 ? row - w : nullptr;
        for (std::size_t x = 0; x < w; ++x) {
            std::array<std::uint32_t, 5> pixel{};
            for (int c = 0; c < 3; ++c) {
                const int value = channel(row[x], c);
                const int a = x > 0 ? channel(row[x - 1], c) : 0;
                const int b = above ? channel(above[x], c) : 0;
                const int d = above && x > 0 ? channel(above[x - 1], c) : 0;
                const int predicted[5] = {0, a, b, (a + b) / 2, paeth(a, b, d)};
                for (std::size_t f = 0; f < 5; ++f)
                    pixel[f] =
                        (pixel[f] << 8) | static_cast<std::uint32_t>((value - predicted[f]) & 0xFF);
            }
            for (std::size_t f = 0; f < 5; ++f) residuals[f].push_back(pixel[f]);
        }
    }
    // The residuals of a whole pixel as one symbol: noise that moves all three channels
    // alike, as on photographs, costs one symbol, not three.
    std::size_t best = 0;
    double best_bits = entropy(residuals[0]);
    for (std::size_t f = 1; f < residuals.size(); ++f) {
        const double bits = entropy(residuals[f]);
        if (bits < best_bits - 1e-9) {
            best_bits = bits;
            best = f;
        }
    }
    return static_cast<PngFilter>(best);
}

}  // namespace snipquill
