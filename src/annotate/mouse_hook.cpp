#include "annotate/mouse_hook.h"

namespace annotate {

void MouseHook::restore() {
    if (!hooked_) return;
    ui::MouseSlots& slots = hooked_->mouse();
    slots.down = saved_.down;
    slots.up = saved_.up;
    slots.move = saved_.move;
    hooked_ = nullptr;
}

void MouseHook::install(Image& image) {
    ui::MouseSlots& slots = image.mouse();
    if (!(slots.down == own_.down)) saved_.down = slots.down;
    slots.down = own_.down;
    if (!(slots.up == own_.up)) saved_.up = slots.up;
    slots.up = own_.up;
    if (!(slots.move == own_.move)) saved_.move = slots.move;
    slots.move = own_.move;
    hooked_ = &image;
}

void MouseHook::unhook_if_first() {
    if (!hooked_) return;
    ui::MouseSlots& slots = hooked_->mouse();
    if (slots.down == own_.down) slots.down = saved_.down;
    if (slots.up == own_.up) slots.up = saved_.up;
    if (slots.move == own_.move) slots.move = saved_.move;
    hooked_ = nullptr;
}

void MouseHook::forget(const Image* image) {
    if (hooked_ == image) hooked_ = nullptr;
}

}  // namespace annotate
