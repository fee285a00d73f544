// One component's link in an image's chain of mouse handlers. Binding saves the three handlers
// the image carries and installs the component's own; its forwarders run the component's own
// handling first, then the saved handler, whose failures are swallowed so they cannot undo what
// the component did. Rebinding puts the saved handlers back blindly, which cuts every component
// bound after this one out of the chain. A component that goes takes itself out of every chain,
// whatever the order components are destroyed in.
#pragma once

#include "annotate/image.h"
#include "ui/mouse_events.h"

namespace annotate {

class MouseHook {
  public:
    explicit MouseHook(const ui::MouseSlots& own);
    MouseHook(const MouseHook&) = delete;
    MouseHook& operator=(const MouseHook&) = delete;
    ~MouseHook();

    // Puts the saved handlers back on the image this component installed its own on, whatever
    // that image carries now. Also after a binding whose surface failed, which left our handlers
    // installed: binding anew must not leave them behind on the old image.
    void restore();
    // Saves the image's three handlers and installs the component's own. A slot that already
    // holds our own forwarder is not saved (we would forward to ourselves); the handler saved
    // before stays.
    void install(Image& image);
    // On destruction: wherever our forwarders are kept, on the image or saved by a component
    // bound after us, our saved handlers take their place, so nothing can call or put back a
    // forwarder to a destroyed component. The component's destructor calls it while its own
    // handling still exists; the hook's destructor does it again as a safety net.
    void unhook();
    // The image is being destroyed: there is nothing left to restore on it.
    void forget(const Image* image);

    Image* hooked() const { return hooked_; }
    const ui::MouseSlots& saved() const { return saved_; }
    const ui::MouseSlots& own() const { return own_; }

    // Runs own(), then forward(saved()) with any failure of the saved handler discarded. An
    // event that comes back to this component through a loop of saved handlers is dropped, so
    // a component never ends up handling or forwarding its own event again. The first
    // component of the chain calls show() once the whole chain has handled the event, so what
    // they all drew is shown in one go.
    template <class Own, class Forward, class Show>
    void dispatch(Own&& own, Forward&& forward, Show&& show) {
        if (busy_) return;
        Busy guard(busy_);
        Depth depth;
        own();
        try {
            forward(saved_);
        } catch (...) {
            // The previous handler's failure is not ours to report.
        }
        if (depth.outermost()) show();
    }

  private:
    // Our forwarders in slots give way to what we saved.
    void splice_out(ui::MouseSlots& slots) const;

    struct Busy {
        explicit Busy(bool& b) : b_(b) { b_ = true; }
        ~Busy() { b_ = false; }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;
        bool& b_;
    };

    // How many forwarders are running on this thread: one event passes a chain of them.
    struct Depth {
        Depth() { ++level(); }
        ~Depth() { --level(); }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
        bool outermost() const { return level() == 1; }
        static int& level() {
            static thread_local int n = 0;
            return n;
        }
    };

    ui::MouseSlots own_;
    ui::MouseSlots saved_;
    Image* hooked_ = nullptr;
    bool busy_ = false;
};

// The three routines a component C installs on an image: C's own handling (the members Down,
// Move and Up), then the handler saved before it, then, for the first of the chain, C shows what
// the whole chain drew. C befriends this template and provides hook_ and flush().
template <class C, auto Down, auto Move, auto Up>
struct Forwarders {
    static void down(void* self, void* sender, ui::MouseButton b, ui::ShiftState s, int x, int y) {
        auto* me = static_cast<C*>(self);
        me->hook_.dispatch([&] { (me->*Down)(b, s, x, y); },
                           [&](const ui::MouseSlots& saved) { saved.down(sender, b, s, x, y); },
                           [&] { me->flush(); });
    }
    static void move(void* self, void* sender, ui::ShiftState s, int x, int y) {
        auto* me = static_cast<C*>(self);
        me->hook_.dispatch([&] { (me->*Move)(s, x, y); },
                           [&](const ui::MouseSlots& saved) { saved.move(sender, s, x, y); },
                           [&] { me->flush(); });
    }
    static void up(void* self, void* sender, ui::MouseButton b, ui::ShiftState s, int x, int y) {
        auto* me = static_cast<C*>(self);
        me->hook_.dispatch([&] { (me->*Up)(b, s, x, y); },
                           [&](const ui::MouseSlots& saved) { saved.up(sender, b, s, x, y); },
                           [&] { me->flush(); });
    }
    static ui::MouseSlots slots(C* component) {
        return ui::MouseSlots{{&down, component}, {&move, component}, {&up, component}};
    }
};

}  // namespace annotate
