// The row filter for a true-colour PNG. The encoder's own choice, row by row, breaks up the
// runs that compression feeds on; one filter for the whole picture compresses smaller on
// screen content and gradients alike.
#pragma once

#include <cstdint>
#include <span>

namespace snipquill {

enum class PngFilter { None, Sub, Up, Average, Paeth };

// The filter whose residuals, over a sample of rows, have the least entropy taken pixel by
// pixel (the three channel residuals of a pixel as one symbol); the first of equals. Pixels
// are 0x00RRGGBB, rows top first without padding.
PngFilter choose_png_filter(std::span<const std::uint32_t> pixels, int width, int height);

}  // namespace snipquill
