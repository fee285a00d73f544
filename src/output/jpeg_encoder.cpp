#include "output/jpeg_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <stdexcept>

namespace snipquill {

namespace {

constexpr int kComponents = 3;

// Position k of the zig-zag scan as an index into the block's rows (vertical frequency) and
// columns (horizontal frequency), row * 8 + column.
constexpr std::array<std::uint8_t, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Steps in zig-zag order. The same step at every frequency gives the least squared error for
// the bits spent; the highest frequencies, mostly noise around sharp edges, get a little more.
std::array<std::uint8_t, 64> quant_table(int step) {
    std::array<std::uint8_t, 64> table{};
    for (int k = 0; k < 64; ++k) {
        const int u = kZigzag[k] / 8, v = kZigzag[k] % 8;
        const int s = step + (u + v >= 10 ? step / 4 : 0);
        table[k] = static_cast<std::uint8_t>(std::clamp(s, 1, 255));
    }
    return table;
}

// The orthonormal 8-point DCT basis: basis[u][x] = c(u) cos((2x + 1) u pi / 16).
struct Basis {
    float m[8][8];
    Basis() {
        const double pi = 3.14159265358979323846;
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x)
                m[u][x] = static_cast<float>((u == 0 ? std::sqrt(0.125) : 0.5) *
                                             std::cos((2 * x + 1) * u * pi / 16));
    }
};

// 2-D forward DCT of one block, rows then columns; out[u * 8 + v].
void forward_dct(const float* in, float* out, const Basis& b) {
    float rows[64];
    for (int y = 0; y < 8; ++y)
        for (int v = 0; v < 8; ++v) {
            float s = 0;
            for (int x = 0; x < 8; ++x) s += b.m[v][x] * in[y * 8 + x];
            rows[y * 8 + v] = s;
        }
    for (int u = 0; u < 8; ++u)
        for (int v = 0; v < 8; ++v) {
            float s = 0;
            for (int y = 0; y < 8; ++y) s += b.m[u][y] * rows[y * 8 + v];
            out[u * 8 + v] = s;
        }
}

// Number of bits of |value| (the JPEG magnitude category).
int category(int value) {
    unsigned a = static_cast<unsigned>(value < 0 ? -value : value);
    int n = 0;
    while (a) {
        ++n;
        a >>= 1;
    }
    return n;
}

struct HuffmanTable {
    std::array<std::uint8_t, 17> bits{};  // bits[n]: how many codes of n bits
    std::vector<std::uint8_t> values;     // symbols by code length
    std::array<std::uint16_t, 256> code{};
    std::array<std::uint8_t, 256> size{};
};

// The optimal code lengths for the counted symbols, limited to 16 bits, with no code of all
// ones (the procedure of the standard's annex K.2). A symbol that was never counted gets no
// code; every counted one does.
HuffmanTable build_table(const std::array<std::int64_t, 256>& counts) {
    constexpr int kMaxLength = 32;
    std::array<std::int64_t, 257> freq{};
    std::copy(counts.begin(), counts.end(), freq.begin());
    freq[256] = 1;  // reserves the all-ones code
    std::array<int, 257> codesize{};
    std::array<int, 257> others;
    others.fill(-1);
    for (;;) {
        int c1 = -1, c2 = -1;
        std::int64_t v = INT64_MAX;
        for (int i = 0; i <= 256; ++i)
            if (freq[i] && freq[i] <= v) {
                v = freq[i];
                c1 = i;
            }
        v = INT64_MAX;
        for (int i = 0; i <= 256; ++i)
            if (freq[i] && freq[i] <= v && i != c1) {
                v = freq[i];
                c2 = i;
            }
        if (c2 < 0) break;
        freq[c1] += freq[c2];
        freq[c2] = 0;
        ++codesize[c1];
        while (others[c1] >= 0) {
            c1 = others[c1];
            ++codesize[c1];
        }
        others[c1] = c2;
        ++codesize[c2];
        while (others[c2] >= 0) {
            c2 = others[c2];
            ++codesize[c2];
        }
    }
    std::array<int, kMaxLength + 1> bits{};
    for (int i = 0; i <= 256; ++i)
        if (codesize[i]) ++bits[std::min(codesize[i], kMaxLength)];
    for (int i = kMaxLength; i > 16; --i)
        while (bits[i] > 0) {
            int j = i - 2;
            while (bits[j] == 0) --j;
            bits[i] -= 2;
            bits[i - 1] += 1;
            bits[j + 1] += 2;
            bits[j] -= 1;
        }
    int longest = 16;
    while (bits[longest] == 0) --longest;
    --bits[longest];  // the reserved symbol had the longest code

    HuffmanTable table;
    for (int n = 1; n <= 16; ++n) table.bits[n] = static_cast<std::uint8_t>(bits[n]);
    for (int n = 1; n <= kMaxLength; ++n)
        for (int s = 0; s < 256; ++s)
            if (codesize[s] == n) table.values.push_back(static_cast<std::uint8_t>(s));
    // Codes in order of length (the standard's annex C).
    unsigned code = 0;
    std::size_t k = 0;
    for (int n = 1; n <= 16; ++n) {
        for (int i = 0; i < table.bits[n]; ++i, ++k) {
            table.code[table.values[k]] = static_cast<std::uint16_t>(code++);
            table.size[table.values[k]] = static_cast<std::uint8_t>(n);
        }
        code <<= 1;
    }
    return table;
}

class BitWriter {
  public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void put(unsigned value, int n) {
        acc_ = (acc_ << n) | (value & ((1u << n) - 1));
        count_ += n;
        while (count_ >= 8) {
            count_ -= 8;
            const auto byte = static_cast<std::uint8_t>(acc_ >> count_);
            out_.push_back(byte);
            if (byte == 0xFF) out_.push_back(0);  // stuffed, so it reads as no marker
        }
    }
    // Fills the last byte with ones.
    void flush() {
        if (count_ > 0) put(0x7F, 8 - count_);
    }

  private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    int count_ = 0;
};

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

// Calls dc(component, category, difference) and ac(component, symbol, value, bits) for every
// symbol of the scan, in order.
template <typename Dc, typename Ac>
void walk_symbols(const std::vector<std::int16_t>& coefficients, Dc dc, Ac ac) {
    std::array<int, kComponents> predictor{};
    const std::size_t blocks = coefficients.size() / 64;
    for (std::size_t b = 0; b < blocks; ++b) {
        const int c = static_cast<int>(b % kComponents);
        const std::int16_t* q = coefficients.data() + b * 64;
        const int diff = q[0] - predictor[c];
        predictor[c] = q[0];
        dc(c, category(diff), diff);
        int run = 0;
        for (int k = 1; k < 64; ++k) {
            if (q[k] == 0) {
                ++run;
                continue;
            }
            while (run > 15) {
                ac(c, 0xF0, 0, 0);
                run -= 16;
            }
            const int n = category(q[k]);
            ac(c, (run << 4) | n, q[k], n);
            run = 0;
        }
        if (run > 0) ac(c, 0x00, 0, 0);
    }
}

// The extra bits after a magnitude category: the value, or for a negative one its ones'
// complement.
unsigned magnitude_bits(int value, int n) {
    return static_cast<unsigned>(value < 0 ? value - 1 : value) & ((1u << n) - 1);
}

}  // namespace

std::vector<std::uint8_t> encode_jpeg(std::span<const std::uint32_t> pixels, int width, int height,
                                      int step) {
    if (width < 1 || height < 1 || width > 65535 || height > 65535 ||
        pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw std::invalid_argument("encode_jpeg: no picture of that size");
    step = std::clamp(step, 1, 255);
    const std::array<std::uint8_t, 64> table = quant_table(step);
    std::array<float, 64> reciprocal{};  // in natural order
    for (int k = 0; k < 64; ++k) reciprocal[kZigzag[k]] = 1.0f / table[k];

    // Quantised coefficients of every block, zig-zag order, components interleaved.
    const int bw = (width + 7) / 8, bh = (height + 7) / 8;
    std::vector<std::int16_t> coefficients(static_cast<std::size_t>(bw) * bh * kComponents * 64);
    const Basis basis;
    std::size_t at = 0;
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            float planes[kComponents][64];
            for (int y = 0; y < 8; ++y) {
                const int py = std::min(by * 8 + y, height - 1);
                const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(py) * width;
                for (int x = 0; x < 8; ++x) {
                    const std::uint32_t p = row[std::min(bx * 8 + x, width - 1)];
                    const float r = static_cast<float>((p >> 16) & 0xFF);
                    const float g = static_cast<float>((p >> 8) & 0xFF);
                    const float b = static_cast<float>(p & 0xFF);
                    planes[0][y * 8 + x] = 0.299f * r + 0.587f * g + 0.114f * b - 128.0f;
                    planes[1][y * 8 + x] = -0.168736f * r - 0.331264f * g + 0.5f * b;
                    planes[2][y * 8 + x] = 0.5f * r - 0.418688f * g - 0.081312f * b;
                }
            }
            for (auto& plane : planes) {
                float dct[64];
                forward_dct(plane, dct, basis);
                for (int k = 0; k < 64; ++k) {
                    const int n = kZigzag[k];
                    // Baseline holds DC differences up to 11 bits and AC values up to 10;
                    // only a step of 1 comes near either.
                    const long limit = k == 0 ? 1024 : 1023;
                    coefficients[at + k] = static_cast<std::int16_t>(
                        std::clamp(std::lrint(dct[n] * reciprocal[n]), -limit, limit));
                }
                at += 64;
            }
        }

    // Tables 0 for luma, 1 for both chroma components.
    std::array<std::array<std::int64_t, 256>, 2> dc_counts{}, ac_counts{};
    walk_symbols(
        coefficients, [&](int c, int n, int) { ++dc_counts[c ? 1 : 0][n]; },
        [&](int c, int symbol, int, int) { ++ac_counts[c ? 1 : 0][symbol]; });
    const std::array<HuffmanTable, 2> dc_tables = {build_table(dc_counts[0]),
                                                   build_table(dc_counts[1])};
    const std::array<HuffmanTable, 2> ac_tables = {build_table(ac_counts[0]),
                                                   build_table(ac_counts[1])};

    std::vector<std::uint8_t> out;
    out.reserve(coefficients.size() / 8 + 1024);
    out.insert(out.end(), {0xFF, 0xD8});  // start of image
    // JFIF header: version 1.01, square pixels, no thumbnail.
    out.insert(out.end(), {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    out.insert(out.end(), {0xFF, 0xDB, 0, 67, 0});  // one 8-bit table, number 0
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), {0xFF, 0xC0, 0, 17, 8});  // baseline frame, 8 bits
    put16(out, static_cast<unsigned>(height));
    put16(out, static_cast<unsigned>(width));
    out.push_back(kComponents);
    for (std::uint8_t id = 1; id <= kComponents; ++id) out.insert(out.end(), {id, 0x11, 0});
    std::size_t dht_length = 2;
    for (const auto* tables : {&dc_tables, &ac_tables})
        for (const HuffmanTable& t : *tables) dht_length += 17 + t.values.size();
    out.insert(out.end(), {0xFF, 0xC4});
    put16(out, static_cast<unsigned>(dht_length));
    for (int cls = 0; cls < 2; ++cls)
        for (int id = 0; id < 2; ++id) {
            const HuffmanTable& t = cls == 0 ? dc_tables[id] : ac_tables[id];
            out.push_back(static_cast<std::uint8_t>(cls << 4 | id));
            out.insert(out.end(), t.bits.begin() + 1, t.bits.end());
            out.insert(out.end(), t.values.begin(), t.values.end());
        }
    out.insert(out.end(), {0xFF, 0xDA, 0, 12, kComponents, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0});

    BitWriter bits(out);
    walk_symbols(
        coefficients,
        [&](int c, int n, int diff) {
            const HuffmanTable& t = dc_tables[c ? 1 : 0];
            bits.put(t.code[n], t.size[n]);
            if (n) bits.put(magnitude_bits(diff, n), n);
        },
        [&](int c, int symbol, int value, int n) {
            const HuffmanTable& t = ac_tables[c ? 1 : 0];
            bits.put(t.code[symbol], t.size[symbol]);
            if (n) bits.put(magnitude_bits(value, n), n);
        });
    bits.flush();
    out.insert(out.end(), {0xFF, 0xD9});  // end of image
    return out;
}

}  // namespace snipquill
