#include "output/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace snipquill;

namespace {

// A strict reader for what a baseline writer may produce: it refuses anything out of order,
// any Huffman table that over-fills its code space or uses the all-ones code, any symbol
// without a code, and entropy data that runs short or long.
struct Decoded {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB
    std::vector<std::string> markers;   // segment names in file order
    int tables = 0;                     // Huffman tables read
};

class Reader {
  public:
    explicit Reader(const std::vector<std::uint8_t>& file) : f_(file) {}

    Decoded read() {
        Decoded d;
        if (byte() != 0xFF || byte() != 0xD8) fail("no start of image");
        for (;;) {
            if (byte() != 0xFF) fail("marker expected");
            const int m = byte();
            if (m == 0xD9) {
                d.markers.push_back("EOI");
                if (at_ != f_.size()) fail("bytes after the end of image");
                break;
            }
            const std::size_t length = word();
            const std::size_t end = at_ + length - 2;
            if (end > f_.size()) fail("segment runs past the file");
            switch (m) {
                case 0xE0:
                    d.markers.push_back("APP0");
                    if (std::string(f_.begin() + at_, f_.begin() + at_ + 5) !=
                        std::string("JFIF\0", 5))
                        fail("APP0 is not JFIF");
                    at_ = end;
                    break;
                case 0xDB:
                    d.markers.push_back("DQT");
                    while (at_ < end) {
                        const int pq = byte();
                        if (pq >> 4) fail("16-bit quantisation table");
                        for (int k = 0; k < 64; ++k) quant_[pq & 3][k] = byte();
                    }
                    break;
                case 0xC0:
                    d.markers.push_back("SOF0");
                    if (byte() != 8) fail("not 8-bit");
                    d.height = static_cast<int>(word());
                    d.width = static_cast<int>(word());
                    components_ = byte();
                    for (int c = 0; c < components_; ++c) {
                        byte();
                        if (byte() != 0x11) fail("subsampled component");
                        qsel_[c] = byte();
                    }
                    break;
                case 0xC4:
                    d.markers.push_back("DHT");
                    while (at_ < end) {
                        read_table();
                        ++d.tables;
                    }
                    break;
                case 0xDA:
                    d.markers.push_back("SOS");
                    if (byte() != components_) fail("scan does not hold every component");
                    for (int c = 0; c < components_; ++c) {
                        byte();
                        const int t = byte();
                        dcsel_[c] = t >> 4;
                        acsel_[c] = 0x10 | (t & 15);
                    }
                    at_ = end;
                    decode_scan(d);
                    continue;
                default:
                    fail("unexpected marker " + std::to_string(m));
            }
            if (at_ != end) fail("segment length wrong");
        }
        return d;
    }

  private:
    [[noreturn]] static void fail(const std::string& why) { throw std::runtime_error(why); }
    int byte() {
        if (at_ >= f_.size()) fail("file ends early");
        return f_[at_++];
    }
    std::size_t word() {
        const int hi = byte();
        return static_cast<std::size_t>(hi << 8 | byte());
    }

    struct Table {
        int mincode[17] = {}, maxcode[17] = {}, first[17] = {};  // per code length
        std::vector<int> values;
    };

    void read_table() {
        const int id = byte();
        int counts[17] = {};
        for (int n = 1; n <= 16; ++n) counts[n] = byte();
        Table& t = tables_[id];
        t = Table{};
        int code = 0;
        for (int n = 1; n <= 16; ++n) {
            t.first[n] = static_cast<int>(t.values.size());
            t.mincode[n] = code;
            for (int i = 0; i < counts[n]; ++i) t.values.push_back(byte());
            code += counts[n];
            if (code > (1 << n)) fail("code space over-filled");
            if (counts[n] && code == (1 << n)) fail("all-ones code in use");
            t.maxcode[n] = counts[n] ? code - 1 : -1;
            code <<= 1;
        }
    }

    int bit() {
        if (bits_left_ == 0) {
            if (at_ >= f_.size()) fail("entropy data ends early");
            bits_ = f_[at_++];
            if (bits_ == 0xFF) {
                if (at_ >= f_.size() || f_[at_] != 0) fail("marker inside entropy data");
                ++at_;
            }
            bits_left_ = 8;
        }
        return (bits_ >> --bits_left_) & 1;
    }
    int receive(int n) {
        int v = 0;
        for (int i = 0; i < n; ++i) v = v << 1 | bit();
        return v;
    }
    static int extend(int v, int n) { return n && v < (1 << (n - 1)) ? v - (1 << n) + 1 : v; }
    int symbol(int table) {
        const auto it = tables_.find(table);
        if (it == tables_.end()) fail("no such table");
        const Table& t = it->second;
        int code = 0;
        for (int n = 1; n <= 16; ++n) {
            code = code << 1 | bit();
            if (code <= t.maxcode[n])
                return t.values[static_cast<std::size_t>(t.first[n] + code - t.mincode[n])];
        }
        fail("no such code");
    }

    void decode_scan(Decoded& d) {
        static constexpr int zz[64] = {
            0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
            41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
            30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
        if (components_ != 3) fail("not three components");
        const int bw = (d.width + 7) / 8, bh = (d.height + 7) / 8;
        d.pixels.assign(static_cast<std::size_t>(d.width) * d.height, 0);
        int pred[3] = {};
        const double pi = 3.14159265358979323846;
        for (int u = 0; u < 8; ++u)
            for (int x = 0; x < 8; ++x)
                basis_[u][x] = (u ? 0.5 : std::sqrt(0.125)) * std::cos((2 * x + 1) * u * pi / 16);
        for (int by = 0; by < bh; ++by)
            for (int bx = 0; bx < bw; ++bx) {
                double planes[3][64];
                for (int c = 0; c < 3; ++c) {
                    double coef[64] = {};
                    const int n = symbol(dcsel_[c]);
                    if (n > 11) fail("DC category too large");
                    pred[c] += extend(receive(n), n);
                    coef[0] = pred[c] * quant_[qsel_[c]][0];
                    for (int k = 1; k < 64;) {
                        const int rs = symbol(acsel_[c]);
                        if (rs == 0) break;
                        const int run = rs >> 4, size = rs & 15;
                        if (size == 0 && run != 15) fail("bad AC symbol");
                        if (size > 10) fail("AC category too large");
                        k += run;
                        if (k > 63) fail("coefficients past the block");
                        coef[zz[k]] = extend(receive(size), size) * quant_[qsel_[c]][k];
                        ++k;
                    }
                    double rows[64];
                    for (int u = 0; u < 8; ++u)
                        for (int x = 0; x < 8; ++x) {
                            double s = 0;
                            for (int v = 0; v < 8; ++v) s += basis_[v][x] * coef[u * 8 + v];
                            rows[u * 8 + x] = s;
                        }
                    for (int y = 0; y < 8; ++y)
                        for (int x = 0; x < 8; ++x) {
                            double s = 0;
                            for (int u = 0; u < 8; ++u) s += basis_[u][y] * rows[u * 8 + x];
                            planes[c][y * 8 + x] = s;
                        }
                }
                for (int y = 0; y < 8; ++y)
                    for (int x = 0; x < 8; ++x) {
                        const int px = bx * 8 + x, py = by * 8 + y;
                        if (px >= d.width || py >= d.height) continue;
                        const double Y = planes[0][y * 8 + x] + 128, cb = planes[1][y * 8 + x],
                                     cr = planes[2][y * 8 + x];
                        auto clamp = [](double v) {
                            return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
                        };
                        d.pixels[static_cast<std::size_t>(py) * d.width + px] =
                            clamp(Y + 1.402 * cr) << 16 |
                            clamp(Y - 0.344136 * cb - 0.714136 * cr) << 8 | clamp(Y + 1.772 * cb);
                    }
            }
        // The rest of the last byte is padding of ones.
        while (bits_left_ > 0)
            if (bit() != 1) fail("padding is not ones");
    }

    const std::vector<std::uint8_t>& f_;
    std::size_t at_ = 0;
    int quant_[4][64] = {};
    int components_ = 0;
    int qsel_[4] = {}, dcsel_[4] = {}, acsel_[4] = {};
    std::map<int, Table> tables_;
    double basis_[8][8] = {};
    int bits_ = 0, bits_left_ = 0;
};

Decoded decode(const std::vector<std::uint8_t>& file) { return Reader(file).read(); }

double psnr(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    double squared = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        for (int s : {0, 8, 16}) {
            const double d = double((a[i] >> s) & 0xFF) - double((b[i] >> s) & 0xFF);
            squared += d * d;
        }
    return squared == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 * 3.0 * a.size() / squared);
}

using Paint = std::uint32_t (*)(int x, int y);

std::vector<std::uint32_t> paint(int w, int h, Paint p) {
    std::vector<std::uint32_t> px;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) px.push_back(p(x, y) & 0xFFFFFF);
    return px;
}

std::uint32_t noise(int x, int y) {
    std::uint32_t v =
        static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    return v ^ (v >> 15);
}

// Dark and coloured one-pixel strokes on white, like text in a window.
std::uint32_t text_like(int x, int y) {
    const bool stroke = (y % 17 > 3 && y % 17 < 13) && ((x * 7 + y * 3) % 11 < 2 || x % 9 == 0);
    if (!stroke) return 0xFFFFFF;
    return (y / 17) % 3 == 0 ? 0x0000A0 : (y / 17) % 3 == 1 ? 0x008000 : 0x000000;
}

// Smooth gradients with a little grain.
std::uint32_t photo_like(int x, int y) {
    const int n = static_cast<int>(noise(x, y) % 5) - 2;
    const int r = std::clamp(static_cast<int>(90 + x * 0.6 + 30 * std::sin(y * 0.03)) + n, 0, 255);
    const int g =
        std::clamp(static_cast<int>(140 + 80 * std::cos(x * 0.01 + y * 0.02)) + n, 0, 255);
    const int b = std::clamp(static_cast<int>(200 - y * 0.5 + 20 * std::sin(x * 0.05)) + n, 0, 255);
    return static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

TEST(JpegEncoder, WritesAJfifBaselineFileOfThePicturesSize) {
    const std::vector<std::uint8_t> file = encode_jpeg(paint(17, 16, photo_like), 17, 16);
    const Decoded d = decode(file);
    EXPECT_EQ(d.markers, (std::vector<std::string>{"APP0", "DQT", "SOF0", "DHT", "SOS", "EOI"}));
    EXPECT_EQ(d.tables, 4);  // DC and AC, for luma and for chroma
    EXPECT_EQ(d.width, 17);
    EXPECT_EQ(d.height, 16);
}

// Every size decodes at that size, and the padding of partial blocks (repeating the last
// column and row) costs nothing in the pixels that are there.
TEST(JpegEncoder, AnySizeDecodesCloseToThePicture) {
    struct Case {
        int w, h;
        Paint p;
        double min_psnr;
    };
    const Case cases[] = {
        {1, 1, photo_like, 45},   {7, 9, photo_like, 42},      {8, 8, text_like, 35},
        {17, 16, text_like, 35},  {9, 7, text_like, 35},       {1, 40, photo_like, 42},
        {300, 1, photo_like, 42}, {1920, 1080, text_like, 38},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const std::vector<std::uint32_t> px = paint(c.w, c.h, c.p);
        const Decoded d = decode(encode_jpeg(px, c.w, c.h));
        ASSERT_EQ(d.width, c.w);
        ASSERT_EQ(d.height, c.h);
        EXPECT_GT(psnr(px, d.pixels), c.min_psnr);
    }
}

// A flat picture leaves one symbol per table in use; noise uses nearly all of them. Both must
// still give every symbol a code the reader finds.
TEST(JpegEncoder, OptimisedTablesHoldEverySymbolFromFlatToNoise) {
    struct Case {
        const char* what;
        Paint p;
        double min_psnr;
    };
    const Case cases[] = {
        {"flat", [](int, int) { return 0x336699u; }, 50},
        {"black", [](int, int) { return 0u; }, 50},
        {"white", [](int, int) { return 0xFFFFFFu; }, 50},
        {"noise", noise, 30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::uint32_t> px = paint(64, 48, c.p);
        for (int step : {1, kJpegStep, 40, 255}) {
            SCOPED_TRACE(step);
            const Decoded d = decode(encode_jpeg(px, 64, 48, step));
            ASSERT_EQ(d.pixels.size(), px.size());
            if (step == kJpegStep) {
                EXPECT_GT(psnr(px, d.pixels), c.min_psnr);
            }
        }
    }
}

// At the chosen step coloured strokes stay sharp and smooth areas stay smooth; the size stays
// well below the raw pixels.
TEST(JpegEncoder, ChosenStepKeepsTextAndGradients) {
    struct Case {
        const char* what;
        Paint p;
        double min_psnr;
        double max_bits_per_pixel;
    };
    const Case cases[] = {
        {"text", text_like, 38, 12},
        {"photo", photo_like, 43, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::uint32_t> px = paint(160, 120, c.p);
        const std::vector<std::uint8_t> file = encode_jpeg(px, 160, 120);
        EXPECT_GT(psnr(px, decode(file).pixels), c.min_psnr);
        EXPECT_LT(file.size() * 8.0 / px.size(), c.max_bits_per_pixel);
    }
}

TEST(JpegEncoder, RefusesSizesItCannotWrite) {
    const std::vector<std::uint32_t> px(4, 0);
    EXPECT_THROW(encode_jpeg(px, 0, 1), std::invalid_argument);
    EXPECT_THROW(encode_jpeg(px, 1, 0), std::invalid_argument);
    EXPECT_THROW(encode_jpeg(px, 3, 2), std::invalid_argument);  // more than the pixels given
    EXPECT_THROW(encode_jpeg(px, 70000, 1), std::invalid_argument);
}

}  // namespace
