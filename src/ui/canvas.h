// The GDI drawing surface: ui::Surface over a Bitmap's memory DC. Pens, brushes and fonts are
// made once per distinct set-up and kept in small caches, so a drag that draws the same ghost at
// every pointer move creates no GDI object and allocates nothing.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

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
};

}  // namespace ui
