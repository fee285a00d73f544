// The picture control: a child window that shows a bitmap at its top-left corner and hands its
// mouse events to three replaceable slots.
#pragma once

#include "ui/bitmap.h"
#include "ui/mouse_events.h"
#include "ui/window.h"

namespace ui {

class Picture : public Window {
  public:
    Picture(HWND parent, int x, int y, int w, int h);

    Bitmap& bitmap() { return bitmap_; }
    const Bitmap& bitmap() const { return bitmap_; }
    // Call after drawing into the bitmap so the screen shows it.
    void refresh();

    MouseSlots& mouse() { return slots_; }

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void paint();
    void button(MouseButton b, bool down, WPARAM wp, LPARAM lp);

    Bitmap bitmap_;
    MouseSlots slots_;
    unsigned buttons_down_ = 0;
};

ShiftState shift_state_from(WPARAM wp);

}  // namespace ui
