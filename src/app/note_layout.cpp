#include "app/note_layout.h"

#include <initializer_list>

namespace snipquill {

namespace {
constexpr int kCorner = 12;  // how far along an edge a corner grip reaches
}

Rect frame_client_rect(int W, int H) {
    return Rect{Frame::left_edge, Frame::top_edge, W - Frame::right_edge, H - Frame::bottom};
}

Rect frame_button_rect(FrameButton b, int W) {
    const int top = Frame::border + (Frame::caption - Frame::button) / 2;
    int left = 0;
    switch (b) {
        case FrameButton::SysMenu:
            left = Frame::border + 2;
            break;
        case FrameButton::Close:
            left = W - Frame::border - 2 - Frame::button;
            break;
        case FrameButton::Minimize:
            left = W - Frame::border - 2 * (2 + Frame::button);
            break;
        case FrameButton::Tray:
            left = W - Frame::border - 3 * (2 + Frame::button);
            break;
        case FrameButton::Rollup:
            left = W - Frame::border - 4 * (2 + Frame::button);
            break;
        case FrameButton::None:
            return {};
    }
    return Rect{left, top, left + Frame::button, top + Frame::button};
}

Rect frame_title_rect(int W) {
    const Rect sys = frame_button_rect(FrameButton::SysMenu, W);
    const Rect rollup = frame_button_rect(FrameButton::Rollup, W);
    return Rect{sys.right + 4, Frame::border, rollup.left - 4, Frame::top_edge};
}

FrameHit frame_hit_test(int W, int H, Point p) {
    if (frame_client_rect(W, H).contains(p)) return FrameHit::Client;
    const bool left = p.x < Frame::left_edge;
    const bool right = p.x >= W - Frame::right_edge;
    const bool top = p.y < Frame::border;
    const bool bottom = p.y >= H - Frame::bottom;
    const bool near_left = p.x < kCorner, near_right = p.x >= W - kCorner;
    const bool near_top = p.y < kCorner, near_bottom = p.y >= H - kCorner;
    if ((top && near_left) || (left && near_top)) return FrameHit::TopLeft;
    if ((top && near_right) || (right && near_top)) return FrameHit::TopRight;
    if ((bottom && near_left) || (left && near_bottom)) return FrameHit::BottomLeft;
    if ((bottom && near_right) || (right && near_bottom)) return FrameHit::BottomRight;
    if (left) return FrameHit::Left;
    if (right) return FrameHit::Right;
    if (top) return FrameHit::Top;
    if (bottom) return FrameHit::Bottom;
    constexpr struct {
        FrameButton button;
        FrameHit hit;
    } kButtons[] = {{FrameButton::SysMenu, FrameHit::SysMenu},
                    {FrameButton::Rollup, FrameHit::Rollup},
                    {FrameButton::Tray, FrameHit::Tray},
                    {FrameButton::Minimize, FrameHit::Minimize},
                    {FrameButton::Close, FrameHit::Close}};
    for (const auto& b : kButtons)
        if (frame_button_rect(b.button, W).contains(p)) return b.hit;
    return FrameHit::Caption;
}

}  // namespace snipquill
