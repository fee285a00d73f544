// The GDI drawing surface: ui::Surface over a Bitmap's memory DC. Pens, brushes and fonts are
// made once per distinct set-up and kept in small caches, so a drag that draws the same ghost at
// every pointer move creates no GDI object and allocates nothing.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "ui/bitmap.h"
#include "ui/handles.h"
#include "ui/surface.h"

namespace ui {

class Canvas : public Surface {
  public:
    // Draws into bitmap, which may be reallocated between calls; flush() invalidates what was
    // drawn on window (none: nothing to show).
    explicit Canvas(Bitmap& bitmap, HWND window = nullptr);
    // An off-screen canvas with its own white bitmap.
    Canvas(int width, int height);
    ~Canvas() override;

    Bitmap& bitmap() { return *bitmap_; }
    const Bitmap& bitmap() const { return *bitmap_; }

    int width() const override { return bitmap_->width(); }
    int height() const override { return bitmap_->height(); }
    const PenSpec& pen() const override { return pen_; }
    void set_pen(const PenSpec& pen) override { pen_ = pen; }
    const BrushSpec& brush() const override { return brush_; }
    void set_brush(const BrushSpec& brush) override { brush_ = brush; }
    const FontSpec& font() const override { return font_; }
    void set_font(const FontSpec& font) override;

    void move_to(int x, int y) override;
    void line_to(int x, int y) override;
    void fill_rect(int left, int top, int right, int bottom) override;
    void text_out(int x, int y, std::wstring_view text) override;
    Extent text_extent(std::wstring_view text) override;
    std::optional<Rect> text_ink(std::wstring_view text) override;
    bool set_clip(std::span<const Rect> rects) override;
    void clear_clip() override;
    void copy_from(const Surface& src, int x, int y, int w, int h) override;
    std::unique_ptr<Surface> make_bitmap(int w, int h) const override;
    void flush() override;

  private:
    struct PenKey {
        Color color;
        int width;
        PenStyle style;
        friend bool operator==(const PenKey&, const PenKey&) = default;
    };
    template <class Key, class Handle>
    struct Cache {
        static constexpr std::size_t kSize = 8;
        struct Entry {
            Key key{};
            UniqueGdi<Handle> handle;
            unsigned used = 0;
        };
        std::array<Entry, kSize> entries;
        unsigned clock = 0;
        // The handle for key, made by make() when it is not cached (replacing the least
        // recently used entry).
        template <class Make>
        Handle get(const Key& key, Make&& make);
    };

    // The pixels a solid line covers depend only on its vector and width, so a redraw fills the
    // spans GDI drew the first time instead of rasterising the line again (wide lines are slow
    // to rasterise). Used for copy mode, where a pixel's new value does not depend on the old.
    struct Span {
        int y, x0, x1;  // x1 excluded; relative to the line's start
    };
    struct LineKey {
        int dx, dy, width;
        friend bool operator==(const LineKey&, const LineKey&) = default;
    };
    struct LineKeyHash {
        std::size_t operator()(const LineKey& k) const {
            return (static_cast<std::size_t>(k.dx) * 73856093u) ^
                   (static_cast<std::size_t>(k.dy) * 19349663u) ^
                   (static_cast<std::size_t>(k.width) * 83492791u);
        }
    };
    const std::vector<Span>* line_spans(const LineKey& key);
    void fill_spans(const std::vector<Span>& spans, POINT from);

    // Glyph footprints are learnt the same way, once per font and text: drawn white on black.
    struct InkKey {
        FontSpec font;
        std::wstring text;
        friend bool operator==(const InkKey&, const InkKey&) = default;
    };
    struct InkKeyHash {
        std::size_t operator()(const InkKey& k) const;
    };
    std::optional<Rect> measure_ink(std::wstring_view text);

    HPEN pen_handle();
    HBRUSH brush_handle();
    HFONT font_handle();
    void touch(long long left, long long top, long long right, long long bottom);

    std::unique_ptr<Bitmap> owned_;
    Bitmap* bitmap_;
    HWND window_ = nullptr;
    PenSpec pen_;
    BrushSpec brush_;
    FontSpec font_;
    POINT pos_{0, 0};
    RECT dirty_{0, 0, 0, 0};

    Cache<PenKey, HPEN> pens_;
    Cache<Color, HBRUSH> brushes_;
    Cache<FontSpec, HFONT> fonts_;
    HFONT font_now_ = nullptr;  // the font for font_, once looked up

    std::unordered_map<LineKey, std::vector<Span>, LineKeyHash> lines_;
    std::unordered_map<InkKey, std::optional<Rect>, InkKeyHash> inks_;
    Bitmap scratch_;        // where a line or a text is drawn once to learn its pixels
    bool clipped_ = false;  // span fills know nothing of the DC's clip region
};

}  // namespace ui
