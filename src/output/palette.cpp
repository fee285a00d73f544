#include "output/palette.h"

#include <algorithm>
#include <array>
#include <limits>

namespace snipquill {

namespace {

constexpr std::uint32_t kColourMask = 0xFFFFFF;

constexpr int red(std::uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int green(std::uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blue(std::uint32_t c) { return static_cast<int>(c & 0xFF); }
constexpr std::uint32_t rgb(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}

std::size_t pixel_count(int width, int height) {
    return width > 0 && height > 0 ? static_cast<std::size_t>(width) * height : 0;
}

// One occupied cell of the 5-bit-per-channel colour histogram.
struct Cell {
    std::uint8_t axis[3];  // r, g, b at 5 bits
    std::uint32_t count;
    std::uint64_t sum[3];  // of the exact 8-bit values, so means stay exact
};

struct Box {
    std::size_t begin, end;  // range of cells
    std::uint64_t count;
    int longest_axis;
    int longest_range;
};

Box make_box(std::vector<Cell>& cells, std::size_t begin, std::size_t end) {
    Box box{begin, end, 0, 0, 0};
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    for (std::size_t i = begin; i < end; ++i) {
        box.count += cells[i].count;
        for (int a = 0; a < 3; ++a) {
            lo[a] = std::min<int>(lo[a], cells[i].axis[a]);
            hi[a] = std::max<int>(hi[a], cells[i].axis[a]);
        }
    }
    for (int a = 0; a < 3; ++a)
        if (hi[a] - lo[a] > box.longest_range) {
            box.longest_range = hi[a] - lo[a];
            box.longest_axis = a;
        }
    return box;
}

std::uint32_t mean_colour(const std::uint64_t sum[3], std::uint64_t count) {
    if (count == 0) return 0;
    auto mean = [&](int a) { return static_cast<int>((sum[a] + count / 2) / count); };
    return rgb(mean(0), mean(1), mean(2));
}

// Sixteenths to whole levels, halves away from zero alike for both signs.
int sixteenths(int e) { return e >= 0 ? (e + 8) / 16 : -((8 - e) / 16); }

int distance(std::uint32_t a, int r, int g, int b) {
    const int dr = red(a) - r, dg = green(a) - g, db = blue(a) - b;
    return dr * dr + dg * dg + db * db;
}

// Median cut over the histogram: split the box with the most pixels times extent, at the
// pixel-weighted median of its longest side, until there are enough boxes.
std::vector<std::uint32_t> median_cut(std::vector<Cell>& cells, std::size_t colours) {
    std::vector<Box> boxes{make_box(cells, 0, cells.size())};
    while (boxes.size() < colours) {
        std::size_t pick = boxes.size();
        std::uint64_t best = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const std::uint64_t score =
                boxes[i].count * static_cast<std::uint64_t>(boxes[i].longest_range);
            if (boxes[i].end - boxes[i].begin > 1 && score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick == boxes.size()) break;
        const Box box = boxes[pick];
        const int a = box.longest_axis;
        std::sort(cells.begin() + static_cast<std::ptrdiff_t>(box.begin),
                  cells.begin() + static_cast<std::ptrdiff_t>(box.end),
                  [a](const Cell& x, const Cell& y) { return x.axis[a] < y.axis[a]; });
        std::uint64_t running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
            running += cells[i].count;
            split = i + 1;
            if (running * 2 >= box.count) break;
        }
        boxes[pick] = make_box(cells, box.begin, split);
        boxes.push_back(make_box(cells, split, box.end));
    }
    std::vector<std::uint32_t> palette;
    for (const Box& box : boxes) {
        std::uint64_t sum[3] = {0, 0, 0};
        for (std::size_t i = box.begin; i < box.end; ++i)
            for (int a = 0; a < 3; ++a) sum[a] += cells[i].sum[a];
        palette.push_back(mean_colour(sum, box.count));
    }
    return palette;
}

// A few rounds of k-means over the histogram cells move each entry to the mean of the
// colours nearest to it.
void refine(std::vector<std::uint32_t>& palette, const std::vector<Cell>& cells, int rounds) {
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::array<std::uint64_t, 3>> sums(palette.size(), {0, 0, 0});
        std::vector<std::uint64_t> counts(palette.size(), 0);
        for (const Cell& cell : cells) {
            const std::uint32_t c = mean_colour(cell.sum, cell.count);
            std::size_t nearest = 0;
            int best = std::numeric_limits<int>::max();
            for (std::size_t i = 0; i < palette.size(); ++i) {
                const int d = distance(palette[i], red(c), green(c), blue(c));
                if (d < best) {
                    best = d;
                    nearest = i;
                }
            }
            counts[nearest] += cell.count;
            for (int a = 0; a < 3; ++a) sums[nearest][a] += cell.sum[a];
        }
        for (std::size_t i = 0; i < palette.size(); ++i)
            if (counts[i]) palette[i] = mean_colour(sums[i].data(), counts[i]);
    }
}

// Nearest palette entry. A colour of the palette itself maps to its own entry, so areas of
// such a colour stay clean; any other colour is looked up in a grid of 64 levels per channel,
// each cell filled when first needed with the entry nearest its centre (error diffusion
// corrects the small difference). The search goes outwards from the green value in a list
// sorted by green.
class NearestColour {
  public:
    explicit NearestColour(const std::vector<std::uint32_t>& palette)
        : palette_(palette), grid_(std::size_t{1} << 18, kUnknown) {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            by_green_.push_back(static_cast<std::uint8_t>(i));
            std::size_t slot = hash(palette[i]);
            while (own_keys_[slot] != 0 && own_keys_[slot] != (palette[i] | kUsed))
                slot = (slot + 1) & (own_keys_.size() - 1);
            if (own_keys_[slot] == 0) {
                own_keys_[slot] = palette[i] | kUsed;
                own_values_[slot] = static_cast<std::uint8_t>(i);
            }
        }
        std::sort(by_green_.begin(), by_green_.end(), [&](std::uint8_t a, std::uint8_t b) {
            return green(palette_[a]) < green(palette_[b]);
        });
    }

    std::uint8_t operator()(int r, int g, int b) {
        const std::uint32_t c = rgb(r, g, b);
        for (std::size_t slot = hash(c); own_keys_[slot] != 0;
             slot = (slot + 1) & (own_keys_.size() - 1))
            if (own_keys_[slot] == (c | kUsed)) return own_values_[slot];
        std::int16_t& cell =
            grid_[static_cast<std::size_t>(((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2))];
        if (cell == kUnknown) cell = search((r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2);
        return static_cast<std::uint8_t>(cell);
    }

  private:
    static constexpr std::int16_t kUnknown = -1;
    static constexpr std::uint32_t kUsed = 0x1000000;
    static std::size_t hash(std::uint32_t c) { return (c * 2654435761u) >> 22; }

    std::uint8_t search(int r, int g, int b) const {
        const auto start =
            std::lower_bound(by_green_.begin(), by_green_.end(), g,
                             [&](std::uint8_t i, int value) { return green(palette_[i]) < value; });
        int best = std::numeric_limits<int>::max();
        std::uint8_t best_index = 0;
        auto up = start;
        auto down = start;
        bool up_open = up != by_green_.end(), down_open = down != by_green_.begin();
        while (up_open || down_open) {
            if (up_open) {
                const int dg = green(palette_[*up]) - g;
                if (dg * dg >= best) {
                    up_open = false;
                } else {
                    const int d = distance(palette_[*up], r, g, b);
                    if (d < best || (d == best && *up < best_index)) {
                        best = d;
                        best_index = *up;
                    }
                    up_open = ++up != by_green_.end();
                }
            }
            if (down_open) {
                --down;
                const int dg = green(palette_[*down]) - g;
                if (dg * dg >= best) {
                    down_open = false;
                } else {
                    const int d = distance(palette_[*down], r, g, b);
                    if (d < best || (d == best && *down < best_index)) {
                        best = d;
                        best_index = *down;
                    }
                    down_open = down != by_green_.begin();
                }
            }
        }
        return best_index;
    }

    const std::vector<std::uint32_t>& palette_;
    std::vector<std::uint8_t> by_green_;
    std::vector<std::int16_t> grid_;
    std::array<std::uint32_t, 1024> own_keys_{};
    std::array<std::uint8_t, 1024> own_values_{};
};

}  // namespace

std::optional<IndexedPicture> index_exactly(std::span<const std::uint32_t> pixels, int width,
                                            int height) {
    const std::size_t n = std::min(pixel_count(width, height), pixels.size());
    IndexedPicture out{width, height, {}, std::vector<std::uint8_t>(n)};
    // Open addressing over 1024 slots holds the at most 257 colours we ever look at.
    constexpr std::uint32_t kUsed = 0x1000000;
    std::array<std::uint32_t, 1024> keys{};
    std::array<std::uint8_t, 1024> values{};
    std::uint32_t last = kUsed;  // no colour equals it
    std::uint8_t last_index = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t c = pixels[i] & kColourMask;
        if (c != last) {
            std::size_t slot = (c * 2654435761u) >> 22;
            while (keys[slot] != 0 && keys[slot] != (c | kUsed)) slot = (slot + 1) & 1023;
            if (keys[slot] == 0) {
                if (out.palette.size() == kMaxPaletteColours) return std::nullopt;
                keys[slot] = c | kUsed;
                values[slot] = static_cast<std::uint8_t>(out.palette.size());
                out.palette.push_back(c);
            }
            last = c;
            last_index = values[slot];
        }
        out.indices[i] = last_index;
    }
    return out;
}

std::vector<std::uint32_t> choose_palette(std::span<const std::uint32_t> pixels, int width,
                                          int height) {
    const std::size_t n = std::min(pixel_count(width, height), pixels.size());
    if (n == 0) return {};
    std::vector<Cell> histogram(32768);
    for (std::size_t i = 0; i < histogram.size(); ++i) {
        histogram[i].axis[0] = static_cast<std::uint8_t>(i >> 10);
        histogram[i].axis[1] = static_cast<std::uint8_t>((i >> 5) & 31);
        histogram[i].axis[2] = static_cast<std::uint8_t>(i & 31);
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t c = pixels[i];
        Cell& cell = histogram[((c >> 9) & 0x7C00) | ((c >> 6) & 0x3E0) | ((c >> 3) & 0x1F)];
        ++cell.count;
        cell.sum[0] += static_cast<std::uint64_t>(red(c));
        cell.sum[1] += static_cast<std::uint64_t>(green(c));
        cell.sum[2] += static_cast<std::uint64_t>(blue(c));
    }
    std::vector<Cell> cells;
    for (const Cell& cell : histogram)
        if (cell.count) cells.push_back(cell);

    std::vector<std::uint32_t> palette = median_cut(cells, kMaxPaletteColours);
    refine(palette, cells, 3);
    return palette;
}

IndexedPicture diffuse_onto(std::span<const std::uint32_t> pixels, int width, int height,
                            std::vector<std::uint32_t> palette) {
    const std::size_t n = std::min(pixel_count(width, height), pixels.size());
    IndexedPicture out{width, height, std::move(palette), std::vector<std::uint8_t>(n)};
    if (n == 0 || out.palette.empty()) return out;
    if (out.palette.size() > kMaxPaletteColours) out.palette.resize(kMaxPaletteColours);

    NearestColour nearest(out.palette);
    // Errors in sixteenths, one row ahead; padded by one pixel on each side.
    const std::size_t w = static_cast<std::size_t>(width);
    std::vector<int> current((w + 2) * 3, 0), next((w + 2) * 3, 0);
    for (std::size_t y = 0; y < n / w; ++y) {
        const bool forward = y % 2 == 0;
        std::fill(next.begin(), next.end(), 0);
        for (std::size_t step = 0; step < w; ++step) {
            const std::size_t x = forward ? step : w - 1 - step;
            const std::size_t at = y * w + x;
            const std::uint32_t c = pixels[at];
            const int wanted[3] = {
                std::clamp(red(c) + sixteenths(current[(x + 1) * 3 + 0]), 0, 255),
                std::clamp(green(c) + sixteenths(current[(x + 1) * 3 + 1]), 0, 255),
                std::clamp(blue(c) + sixteenths(current[(x + 1) * 3 + 2]), 0, 255)};
            const std::uint8_t index = nearest(wanted[0], wanted[1], wanted[2]);
            out.indices[at] = index;
            const std::uint32_t got = out.palette[index];
            const int error[3] = {wanted[0] - red(got), wanted[1] - green(got),
                                  wanted[2] - blue(got)};
            const std::size_t ahead = forward ? x + 2 : x;   // next pixel on this row
            const std::size_t behind = forward ? x : x + 2;  // the side already done
            for (int a = 0; a < 3; ++a) {
                current[ahead * 3 + a] += error[a] * 7;
                next[behind * 3 + a] += error[a] * 3;
                next[(x + 1) * 3 + a] += error[a] * 5;
                next[ahead * 3 + a] += error[a];
            }
        }
        std::swap(current, next);
    }
    return out;
}

IndexedPicture quantize(std::span<const std::uint32_t> pixels, int width, int height) {
    return diffuse_onto(pixels, width, height, choose_palette(pixels, width, height));
}

IndexedPicture to_indexed(std::span<const std::uint32_t> pixels, int width, int height) {
    if (std::optional<IndexedPicture> exact = index_exactly(pixels, width, height))
        return std::move(*exact);
    return quantize(pixels, width, height);
}

int index_bits(std::size_t colours) {
    if (colours <= 2) return 1;
    if (colours <= 4) return 2;
    if (colours <= 16) return 4;
    return 8;
}

std::vector<std::uint8_t> pack_indices(const IndexedPicture& picture, int bits,
                                       std::size_t stride) {
    const std::size_t w = picture.width > 0 ? static_cast<std::size_t>(picture.width) : 0;
    const std::size_t h = picture.height > 0 ? static_cast<std::size_t>(picture.height) : 0;
    std::vector<std::uint8_t> out(stride * h, 0);
    if (bits == 8) {
        for (std::size_t y = 0; y < h; ++y)
            std::copy_n(picture.indices.begin() + static_cast<std::ptrdiff_t>(y * w), w,
                        out.begin() + static_cast<std::ptrdiff_t>(y * stride));
        return out;
    }
    const std::size_t per_byte = 8 / static_cast<std::size_t>(bits);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* row = picture.indices.data() + y * w;
        std::uint8_t* dst = out.data() + y * stride;
        for (std::size_t x = 0; x < w; ++x) {
            const int shift = 8 - bits * static_cast<int>(x % per_byte + 1);
            dst[x / per_byte] |= static_cast<std::uint8_t>(row[x] << shift);
        }
    }
    return out;
}

}  // namespace snipquill
