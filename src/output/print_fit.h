// How large a picture prints: at its size on the screen, reduced where needed to fit the
// printable area, proportions kept.
#pragma once

#include <optional>

namespace snipquill {

inline constexpr double kMillimetresPerInch = 25.4;

// What the printer reports for the current page and orientation.
struct PrinterPage {
    int width_px = 0;   // printable width in printer pixels
    int height_px = 0;  // printable height in printer pixels
    int width_mm = 0;   // printable width in millimetres
    int height_mm = 0;  // printable height in millimetres
};

struct PrintSize {
    int resolution_x = 0;  // printer pixels per inch, as derived from the page
    int resolution_y = 0;
    int width = 0;  // the picture on the page, in printer pixels
    int height = 0;
};

// Nearest integer, halves to the even one.
double round_half_even(double x);

// The printed size of a picture of picture_w x picture_h screen pixels on a screen of
// screen_ppi logical pixels per inch. None when the printer or the screen report a size that
// makes no sense (zero or negative), rather than printing at an infinite scale.
std::optional<PrintSize> print_size(const PrinterPage& page, int screen_ppi, int picture_w,
                                    int picture_h);

}  // namespace snipquill
