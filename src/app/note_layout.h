// The see-through hole and the note's frame, in window coordinates (origin at the outer
// top-left corner).
#pragma once

#include "app/geometry.h"

namespace snipquill {

// Bounds of the picture and of the hole while the note is live, in client coordinates.
inline constexpr int kLiveLeft = -1;
inline constexpr int kLiveTop = -5;

// Hole rectangle for a window of outer size W x H with client CW x CH and hole bounds
// (L, T, w, h) in client coordinates. The -3 is part of the rule, whatever the frame.
constexpr Rect hole_rect(int W, int H, int CW, int CH, int L, int T, int w, int h) {
    const int left = L + (W - CW) - 3;
    const int top = T + (H - CH) - 3;
    return Rect{left, top, left + w, top + h};
}

// Our own frame. The right and bottom borders are chosen so that the live hole,
// (W - CW - 4, H - CH - 8) to (W - 4, H - 8), is exactly the client area.
struct Frame {
    static constexpr int border = 4;  // left, top and right
    static constexpr int caption = 20;
    static constexpr int bottom = 8;
    static constexpr int left_edge = border;
    static constexpr int top_edge = border + caption;
    static constexpr int right_edge = border;
    static constexpr int button = 16;  // caption buttons are square
};

// Caption buttons, left to right: system menu at the left; roll-up, tray, minimise and close at
// the right.
enum class FrameButton { None, SysMenu, Rollup, Tray, Minimize, Close };

enum class FrameHit {
    Client,
    Caption,
    SysMenu,
    Rollup,
    Tray,
    Minimize,
    Close,
    Left,
    Right,
    Top,
    Bottom,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
};

Rect frame_client_rect(int W, int H);
Rect frame_button_rect(FrameButton b, int W);
Rect frame_title_rect(int W);
FrameHit frame_hit_test(int W, int H, Point p);

}  // namespace snipquill
