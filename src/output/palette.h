// Turning a true-colour picture into at most 256 palette colours: exactly when it has no more
// colours than that, otherwise with a chosen palette and error diffusion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace snipquill {

inline constexpr std::size_t kMaxPaletteColours = 256;

// Pixels are 0x00RRGGBB (the top byte is ignored), rows top first and without padding.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, 1 to 256 entries when not empty
    std::vector<std::uint8_t> indices;   // width * height, one per pixel
};

// The picture's own colours in order of first appearance; none when it has more than 256.
std::optional<IndexedPicture> index_exactly(std::span<const std::uint32_t> pixels, int width,
                                            int height);

// 256 colours chosen by median cut and refined, each pixel mapped with Floyd-Steinberg error
// diffusion (serpentine), so areas average out to their true colour.
IndexedPicture quantize(std::span<const std::uint32_t> pixels, int width, int height);

// The two steps of quantize: a palette of at most 256 colours for the picture, and the
// picture mapped onto a given palette (at most 256 entries) with error diffusion.
std::vector<std::uint32_t> choose_palette(std::span<const std::uint32_t> pixels, int width,
                                          int height);
IndexedPicture diffuse_onto(std::span<const std::uint32_t> pixels, int width, int height,
                            std::vector<std::uint32_t> palette);

// Exactly when the picture allows it, quantized otherwise.
IndexedPicture to_indexed(std::span<const std::uint32_t> pixels, int width, int height);

// The smallest of 1, 2, 4 and 8 bits per pixel that can index `colours` entries.
int index_bits(std::size_t colours);

// The indices at `bits` per pixel, leftmost pixel in the most significant bits, each row
// padded with zeros to `stride` bytes.
std::vector<std::uint8_t> pack_indices(const IndexedPicture& picture, int bits, std::size_t stride);

}  // namespace snipquill
