#include "ui/bitmap.h"

#include <algorithm>
#include <utility>

#include "ui/error.h"

namespace ui {

Bitmap::Bitmap(int width, int height, COLORREF fill) { create(width, height, &fill); }

Bitmap::~Bitmap() { release(); }

Bitmap::Bitmap(Bitmap&& other) noexcept { *this = std::move(other); }

Bitmap& Bitmap::operator=(Bitmap&& other) noexcept {
    if (this == &other) return *this;
    release();
    dc_ = std::move(other.dc_);
    bitmap_ = std::move(other.bitmap_);
    old_ = std::exchange(other.old_, nullptr);
    bits_ = std::exchange(other.bits_, nullptr);
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    return *this;
}

void Bitmap::release() {
    if (dc_ && old_) SelectObject(dc_.get(), old_);
    old_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void Bitmap::create(int width, int height, const COLORREF* fill) {
    release();
    if (width <= 0 || height <= 0) return;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdi<HBITMAP> bmp(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp)
        throw_last_error(L"Cannot create a bitmap of " + std::to_wstring(width) + L" x " +
                         std::to_wstring(height) + L" pixels");
    UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!dc) throw_last_error(L"Cannot create a drawing context");
    old_ = SelectObject(dc.get(), bmp.get());
    dc_ = std::move(dc);
    bitmap_ = std::move(bmp);
    bits_ = static_cast<std::uint32_t*>(bits);
    width_ = width;
    height_ = height;
    if (fill) std::fill_n(bits_, static_cast<std::size_t>(width) * height, colorref_to_dib(*fill));
}

COLORREF Bitmap::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    GdiFlush();
    return dib_to_colorref(bits_[static_cast<std::size_t>(y) * width_ + x]);
}

void Bitmap::set_pixel(int x, int y, COLORREF c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    GdiFlush();
    bits_[static_cast<std::size_t>(y) * width_ + x] = colorref_to_dib(c);
}

void Bitmap::set_size(int width, int height) {
    if (width == width_ && height == height_) return;
    Bitmap next(width, height);
    if (!empty() && !next.empty()) {
        GdiFlush();
        const int w = std::min(width, width_), h = std::min(height, height_);
        for (int y = 0; y < h; ++y)
            std::copy_n(bits_ + static_cast<std::size_t>(y) * width_, w,
                        next.bits_ + static_cast<std::size_t>(y) * width);
    }
    *this = std::move(next);
}

void Bitmap::reallocate(int width, int height) {
    if (width != width_ || height != height_) create(width, height, nullptr);
}

void Bitmap::assign(const Bitmap& src) {
    reallocate(src.width_, src.height_);
    if (empty()) return;
    GdiFlush();
    std::copy_n(src.bits_, static_cast<std::size_t>(width_) * height_, bits_);
}

}  // namespace ui
