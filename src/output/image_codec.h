// The picture in the four file formats, through the platform's image codecs and our JPEG writer.
#pragma once

#include <cstdint>
#include <vector>

#include "output/save_format.h"
#include "ui/bitmap.h"

namespace output {

// The whole file's bytes: BMP at 24 bits, JPEG by our own writer (snipquill::encode_jpeg),
// PNG lossless (palette-based, at the fewest bits that hold them, when the picture has at most
// 256 colours), GIF exact when the picture has at most 256 colours and dithered onto a chosen
// palette otherwise. Needs COM on the calling thread; throws ui::AppError on failure.
std::vector<std::uint8_t> encode_picture(const ui::Bitmap& picture, snipquill::ImageFormat format);

}  // namespace output
