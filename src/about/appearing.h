// The "Appearing" label animation and the arithmetic that places the About box's panels. No
// window here: the box runs the timer and applies each frame to its label.
#pragma once

namespace about {

inline constexpr int kAppearingDelayMs = 100;  // from the start to the first frame
inline constexpr int kAppearingStepMs = 20;    // between two frames
inline constexpr int kAppearingStepPx = 3;     // leftwards per frame

// Where the label is and how much of it shows.
struct LabelFrame {
    int left = 0;
    int width = 0;
    bool visible = false;
};

// The label enters from the right edge of its panel with no width and moves left, widening,
// until it is less than one step from the place it had when the animation started; there it
// snaps into place and the animation ends.
class Appearing {
  public:
    // home_left and home_width: the label's place and size; panel_width: its panel's width.
    // Restarts a running animation from the beginning.
    void start(int home_left, int home_width, int panel_width);
    // Ends the animation where it is, without its end event; the label stays as it is.
    void stop() { running_ = false; }

    bool running() const { return running_; }
    // Whether the next frame is the first one (due kAppearingDelayMs after the start) or a
    // step (due kAppearingStepMs after the last frame).
    bool waiting() const { return running_ && !shown_; }
    int next_delay_ms() const { return waiting() ? kAppearingDelayMs : kAppearingStepMs; }

    // Advances by one frame. True when this frame ended the animation (the label is home).
    bool tick();
    const LabelFrame& frame() const { return frame_; }

  private:
    int home_left_ = 0;
    int home_width_ = 0;
    int panel_width_ = 0;
    bool running_ = false;
    bool shown_ = false;
    LabelFrame frame_;
};

struct PanelPlace {
    int left = 0;
    int width = 0;
};

// The first panel is 5 wider than its label and centred in the box; the second is 10 wider and
// sits 10 further left. Halves are rounded toward zero.
PanelPlace first_panel_place(int label_width, int client_width);
PanelPlace second_panel_place(int label_width, int client_width);

}  // namespace about
