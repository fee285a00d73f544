#include "annotate/mouse_hook.h"

#include <algorithm>
#include <vector>

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

namespace {
// Every live hook: a destroyed one must be cut out of what the others saved. The
// user-interface thread is the only one that binds components. Made at the first hook's
// construction, so it outlives every hook, static ones included.
std::vector<MouseHook*>& live_hooks() {
    static std::vector<MouseHook*> hooks;
    return hooks;
}
}  // namespace

MouseHook::MouseHook(const ui::MouseSlots& own) : own_(own) { live_hooks().push_back(this); }

MouseHook::~MouseHook() {
    unhook();
    std::vector<MouseHook*>& hooks = live_hooks();
    hooks.erase(std::remove(hooks.begin(), hooks.end(), this), hooks.end());
}

void MouseHook::splice_out(ui::MouseSlots& slots) const {
    if (slots.down == own_.down) slots.down = saved_.down;
    if (slots.up == own_.up) slots.up = saved_.up;
    if (slots.move == own_.move) slots.move = saved_.move;
}

void MouseHook::unhook() {
    if (hooked_) splice_out(hooked_->mouse());
    hooked_ = nullptr;
    for (MouseHook* other : live_hooks())
        if (other != this) splice_out(other->saved_);
}

void MouseHook::forget(const Image* image) {
    if (hooked_ == image) hooked_ = nullptr;
}

}  // namespace annotate
