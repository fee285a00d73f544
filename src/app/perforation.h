// The see-through hole of the note: while transparent, the window's region is the whole window
// minus one rectangle derived from the hole's bounds (client coordinates) and the frame.
#pragma once

#include <windows.h>

#include <optional>

#include "app/geometry.h"

namespace app {

class Perforation {
  public:
    explicit Perforation(HWND owner) : owner_(owner) {}

    int left() const { return left_; }
    int top() const { return top_; }
    int width() const { return width_; }
    int height() const { return height_; }
    bool Transparent() const { return transparent_; }

    // Every change re-applies the region at once.
    void set_left(int v);
    void set_top(int v);
    void set_width(int v);
    void set_height(int v);
    void SetTransparent(bool v);

    // The window moved or changed size.
    void update();

    // The hole currently cut out of the window, in window coordinates.
    std::optional<snipquill::Rect> hole() const { return applied_hole_; }

  private:
    void apply();

    HWND owner_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool transparent_ = false;
    bool applied_ = false;  // a region (or none) has been set at least once
    std::optional<snipquill::Rect> applied_hole_;
    int applied_w_ = -1, applied_h_ = -1;
};

}  // namespace app
