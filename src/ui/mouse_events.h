// Mouse-event slots as plain data: a routine with its target, or none. Drawing components share
// a picture's three events by saving what was installed, installing their own and forwarding.
// Platform-free on purpose: the state machines that use it are tested natively.
#pragma once

namespace ui {

enum class MouseButton { Left, Right, Middle };

enum ShiftFlag : unsigned {
    kShift = 1,
    kAlt = 2,
    kCtrl = 4,
    kLeftDown = 8,
    kRightDown = 16,
    kMiddleDown = 32,
    kDouble = 64,
};
using ShiftState = unsigned;

struct MouseButtonHandler {
    using Fn = void (*)(void* target, void* sender, MouseButton, ShiftState, int x, int y);
    Fn fn = nullptr;
    void* target = nullptr;
    explicit operator bool() const { return fn != nullptr; }
    void operator()(void* sender, MouseButton b, ShiftState s, int x, int y) const {
        if (fn) fn(target, sender, b, s, x, y);
    }
    friend bool operator==(const MouseButtonHandler&, const MouseButtonHandler&) = default;
};

struct MouseMoveHandler {
    using Fn = void (*)(void* target, void* sender, ShiftState, int x, int y);
    Fn fn = nullptr;
    void* target = nullptr;
    explicit operator bool() const { return fn != nullptr; }
    void operator()(void* sender, ShiftState s, int x, int y) const {
        if (fn) fn(target, sender, s, x, y);
    }
    friend bool operator==(const MouseMoveHandler&, const MouseMoveHandler&) = default;
};

// The three events of a picture.
struct MouseSlots {
    MouseButtonHandler down;
    MouseMoveHandler move;
    MouseButtonHandler up;
    friend bool operator==(const MouseSlots&, const MouseSlots&) = default;
};

}  // namespace ui
