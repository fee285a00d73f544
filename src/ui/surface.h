// The narrow drawing interface the annotation components draw through: a surface that keeps a
// pen, a brush and a font like a canvas does, draws lines, filled rectangles and text in the
// pen's raster mode, and block-copies from another surface of its kind. Platform-free, so the
// components and their state machines are tested natively against a recording fake; the GDI
// implementation is ui::Canvas.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ui {

// Red in the low byte, as the platform lays colours out (red 255 is 255, white 16777215).
using Color = std::uint32_t;

constexpr Color rgb(unsigned r, unsigned g, unsigned b) {
    return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}

enum class RasterMode : std::uint8_t {
    Copy,    // the pen colour replaces the pixel
    Xor,     // pixel XOR pen colour: drawing twice restores the pixel
    NotXor,  // NOT (pixel XOR pen colour): drawing twice restores the pixel
};

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };

enum class BrushStyle : std::uint8_t { Solid, Clear };

struct PenSpec {
    Color color = 0;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    RasterMode mode = RasterMode::Copy;
    friend bool operator==(const PenSpec&, const PenSpec&) = default;
};

struct BrushSpec {
    Color color = rgb(255, 255, 255);
    BrushStyle style = BrushStyle::Solid;
    friend bool operator==(const BrushSpec&, const BrushSpec&) = default;
};

enum FontStyle : unsigned {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};
using FontStyles = unsigned;

struct FontSpec {
    // Sizes in points convert at the screen's logical resolution (the program is DPI-aware, so
    // at 120 or 144 dpi a point covers more pixels). The Win32 layer sets it when the note is
    // made; until then, and in platform-free code, it is 96.
    static int pixels_per_inch() { return screen_ppi_; }
    static void set_pixels_per_inch(int ppi) {
        if (ppi > 0) screen_ppi_ = ppi;
    }

    std::wstring name = L"MS Sans Serif";
    int height = -11;  // pixels; negative: the character height without internal leading
    Color color = 0;
    FontStyles style = 0;
    int charset = 1;  // the default character set

    int size() const;  // points
    void set_size(int points);
    friend bool operator==(const FontSpec&, const FontSpec&) = default;

  private:
    static inline int screen_ppi_ = 96;
};

inline int FontSpec::size() const {
    // Height -> points, rounded like MulDiv (halves away from zero).
    const long long num = -static_cast<long long>(height) * 72;
    const long long ppi = pixels_per_inch();
    const long long half = ppi / 2;
    return static_cast<int>(num >= 0 ? (num + half) / ppi : -((-num + half) / ppi));
}

inline void FontSpec::set_size(int points) {
    const long long num = static_cast<long long>(points) * pixels_per_inch();
    height = -static_cast<int>(num >= 0 ? (num + 36) / 72 : -((-num + 36) / 72));
}

// Pixels (left, top) to (right, bottom), right and bottom edges excluded.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Extent {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Extent&, const Extent&) = default;
};

class Surface {
  public:
    Surface() = default;
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    virtual ~Surface() = default;

    virtual int width() const = 0;
    virtual int height() const = 0;

    // The set-ups stay in force until changed, as on a canvas.
    virtual const PenSpec& pen() const = 0;
    virtual void set_pen(const PenSpec& pen) = 0;
    virtual const BrushSpec& brush() const = 0;
    virtual void set_brush(const BrushSpec& brush) = 0;
    virtual const FontSpec& font() const = 0;
    virtual void set_font(const FontSpec& font) = 0;

    virtual void move_to(int x, int y) = 0;
    // A line from the current position in the pen and its raster mode; the end point itself is
    // not drawn and becomes the current position.
    virtual void line_to(int x, int y) = 0;
    // (left, top) to (right, bottom), right and bottom edges excluded, filled with the brush
    // in the pen's raster mode, without an outline.
    virtual void fill_rect(int left, int top, int right, int bottom) = 0;
    // Text in the font and its colour, top-left corner at (x, y); with a clear brush only the
    // glyphs change pixels.
    virtual void text_out(int x, int y, std::wstring_view text) = 0;
    virtual Extent text_extent(std::wstring_view text) = 0;
    // Every pixel text_out of text in the current font can change, relative to the point it is
    // written at (glyphs may overhang the extent); empty for a text that changes none, none
    // when it cannot be bounded. A redraw that repaints only part of the picture relies on it.
    virtual std::optional<Rect> text_ink(std::wstring_view text) = 0;
    // Until clear_clip, drawing changes only pixels inside the union of rects (block copies
    // included). False when the clip could not be set; drawing is then unclipped.
    virtual bool set_clip(std::span<const Rect> rects) = 0;
    virtual void clear_clip() = 0;
    // Copies the rectangle (x, y, w, h) of src onto the same rectangle of this surface. src must
    // be a surface of the same kind (from make_bitmap or the same implementation).
    virtual void copy_from(const Surface& src, int x, int y, int w, int h) = 0;
    // A new off-screen surface of the same kind, w x h.
    virtual std::unique_ptr<Surface> make_bitmap(int w, int h) const = 0;
    // Makes what was drawn since the last flush visible (a window surface repaints it).
    virtual void flush() {}
};

}  // namespace ui
