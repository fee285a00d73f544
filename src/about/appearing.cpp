#include "about/appearing.h"

#include <algorithm>

namespace about {

void Appearing::start(int home_left, int home_width, int panel_width) {
    home_left_ = home_left;
    home_width_ = std::max(home_width, 0);
    panel_width_ = panel_width;
    running_ = true;
    shown_ = false;
    frame_ = LabelFrame{home_left, home_width_, false};
}

bool Appearing::tick() {
    if (!running_) return false;
    if (!shown_) {
        shown_ = true;
        frame_ = LabelFrame{panel_width_, 0, true};
    } else {
        frame_.left -= kAppearingStepPx;
        frame_.width = std::min(frame_.width + kAppearingStepPx, home_width_);
    }
    // A label whose place lies right of the panel's edge would never get closer: it snaps too.
    if (frame_.left - home_left_ < kAppearingStepPx) {
        frame_ = LabelFrame{home_left_, home_width_, true};
        running_ = false;
        return true;
    }
    return false;
}

PanelPlace first_panel_place(int label_width, int client_width) {
    return PanelPlace{client_width / 2 - label_width / 2, label_width + 5};
}

PanelPlace second_panel_place(int label_width, int client_width) {
    return PanelPlace{client_width / 2 - label_width / 2 - 10, label_width + 10};
}

}  // namespace about
