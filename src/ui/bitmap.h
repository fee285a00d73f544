// A 32-bit top-down DIB section with its own memory DC: drawn on through GDI, read and written
// pixel by pixel. An empty bitmap (0 x 0) has neither.
#pragma once

#include <windows.h>

#include <cstdint>

#include "ui/handles.h"

namespace ui {

class Bitmap {
  public:
    Bitmap() = default;
    Bitmap(int width, int height, COLORREF fill = RGB(255, 255, 255));
    // A moved-from bitmap is empty.
    Bitmap(Bitmap&& other) noexcept;
    Bitmap& operator=(Bitmap&& other) noexcept;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    ~Bitmap();

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ <= 0 || height_ <= 0; }
    HDC dc() const { return dc_.get(); }
    HBITMAP handle() const { return bitmap_.get(); }

    // Rows are width() pixels of 0x00RRGGBB, top row first.
    std::uint32_t* bits() { return bits_; }
    const std::uint32_t* bits() const { return bits_; }
    COLORREF pixel(int x, int y) const;
    void set_pixel(int x, int y, COLORREF c);

    // Changes the size; what lies inside both the old and the new size is kept, new area is white.
    void set_size(int width, int height);
    // Changes the size and leaves the pixels undefined: for a caller that overwrites them all.
    void reallocate(int width, int height);
    // Becomes a copy of src (size and pixels).
    void assign(const Bitmap& src);

  private:
    void create(int width, int height, const COLORREF* fill);
    void release();

    UniqueDC dc_;
    UniqueGdi<HBITMAP> bitmap_;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// GDI ignores the top byte of a 32-bit DIB pixel; compare only the colour.
constexpr COLORREF dib_to_colorref(std::uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
constexpr std::uint32_t colorref_to_dib(COLORREF c) {
    return (std::uint32_t{GetRValue(c)} << 16) | (std::uint32_t{GetGValue(c)} << 8) | GetBValue(c);
}

}  // namespace ui
