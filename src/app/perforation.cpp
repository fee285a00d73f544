#include "app/perforation.h"

#include "app/note_layout.h"
#include "ui/error.h"
#include "ui/handles.h"

namespace app {

void Perforation::set_left(int v) {
    left_ = v;
    apply();
}
void Perforation::set_top(int v) {
    top_ = v;
    apply();
}
void Perforation::set_width(int v) {
    width_ = v;
    apply();
}
void Perforation::set_height(int v) {
    height_ = v;
    apply();
}
void Perforation::SetTransparent(bool v) {
    transparent_ = v;
    apply();
}
void Perforation::update() { apply(); }

void Perforation::apply() {
    RECT wr{}, cr{};
    GetWindowRect(owner_, &wr);
    GetClientRect(owner_, &cr);
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;
    std::optional<snipquill::Rect> hole;
    if (transparent_)
        hole = snipquill::hole_rect(W, H, cr.right, cr.bottom, left_, top_, width_, height_);
    // Moving the window does not change a window-relative region; skip the costly re-apply.
    if (applied_ && hole == applied_hole_ && (!hole || (W == applied_w_ && H == applied_h_)))
        return;

    if (hole) {
        ui::UniqueGdi<HRGN> region(CreateRectRgn(0, 0, W, H));
        ui::UniqueGdi<HRGN> cut(CreateRectRgn(hole->left, hole->top, hole->right, hole->bottom));
        if (!region || !cut) ui::throw_last_error(L"Cannot create the see-through region");
        CombineRgn(region.get(), region.get(), cut.get(), RGN_DIFF);
        if (!SetWindowRgn(owner_, region.get(), TRUE))
            ui::throw_last_error(L"Cannot set the see-through region");
        region.release();  // the system owns it now
    } else if (!SetWindowRgn(owner_, nullptr, TRUE)) {
        ui::throw_last_error(L"Cannot remove the see-through region");
    }
    applied_ = true;
    applied_hole_ = hole;
    applied_w_ = W;
    applied_h_ = H;
}

}  // namespace app
