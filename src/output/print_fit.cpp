#include "output/print_fit.h"

#include <cmath>
#include <limits>

namespace snipquill {

double round_half_even(double x) {
    const double down = std::floor(x);
    const double fraction = x - down;
    if (fraction > 0.5) return down + 1;
    if (fraction < 0.5) return down;
    return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

std::optional<PrintSize> print_size(const PrinterPage& page, int screen_ppi, int picture_w,
                                    int picture_h) {
    if (page.width_px <= 0 || page.height_px <= 0 || page.width_mm <= 0 || page.height_mm <= 0 ||
        screen_ppi <= 0 || picture_w < 0 || picture_h < 0)
        return std::nullopt;
    const double pw = page.width_px, ph = page.height_px;
    const double inches_w = page.width_mm / kMillimetresPerInch;
    const double inches_h = page.height_mm / kMillimetresPerInch;
    const double rx = round_half_even(pw / inches_w);
    const double ry = round_half_even(ph / inches_h);
    // A resolution below one pixel per inch, or beyond int, is no printer we can scale for.
    const double most = std::numeric_limits<int>::max();
    if (rx < 1 || ry < 1 || rx > most || ry > most) return std::nullopt;
    const double sx = rx / screen_ppi, sy = ry / screen_ppi;

    // Kept in double until the end: before fitting, a large picture on a fine printer can
    // exceed the int range.
    double w = round_half_even(picture_w * sx);
    double h = round_half_even(picture_h * sy);
    if (w > pw) {
        const double f = pw / w;
        w = pw;
        h = round_half_even(h * f);
    }
    if (h > ph) {
        const double g = ph / h;
        h = ph;
        w = round_half_even(w * g);
    }
    return PrintSize{static_cast<int>(rx), static_cast<int>(ry), static_cast<int>(w),
                     static_cast<int>(h)};
}

}  // namespace snipquill
