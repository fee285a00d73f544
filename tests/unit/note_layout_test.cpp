#include "app/note_layout.h"

#include <gtest/gtest.h>

using namespace snipquill;

namespace {

TEST(HoleRect, LiveHoleIsExactlyTheClientArea) {
    // With our frame, the live bounds (-1, -5, CW, CH) cut out exactly the client rectangle,
    // for any outer size.
    for (auto [W, H] : {std::pair{200, 200}, {300, 200}, {57, 40}, {1000, 1000}}) {
        const Rect client = frame_client_rect(W, H);
        const Rect hole = hole_rect(W, H, client.width(), client.height(), kLiveLeft, kLiveTop,
                                    client.width(), client.height());
        EXPECT_EQ(hole, client) << W << "x" << H;
        EXPECT_EQ(hole, (Rect{W - client.width() - 4, H - client.height() - 8, W - 4, H - 8}));
    }
}

TEST(HoleRect, RuleAtOtherBounds) {
    EXPECT_EQ(hole_rect(200, 200, 192, 168, 0, 0, 192, 168), (Rect{5, 29, 197, 197}));
    EXPECT_EQ(hole_rect(200, 200, 192, 168, 10, 20, 1, 1), (Rect{15, 49, 16, 50}));
}

struct HitCase {
    Point p;
    FrameHit expected;
};

TEST(FrameHitTest, Table) {
    const int W = 200, H = 150;
    const HitCase cases[] = {
        {{100, 80}, FrameHit::Client},
        {{4, 24}, FrameHit::Client},     // client's top-left pixel
        {{195, 141}, FrameHit::Client},  // client's bottom-right pixel
        {{196, 80}, FrameHit::Right},
        {{100, 142}, FrameHit::Bottom},
        {{0, 80}, FrameHit::Left},
        {{100, 0}, FrameHit::Top},
        {{0, 0}, FrameHit::TopLeft},
        {{199, 149}, FrameHit::BottomRight},
        {{5, 149}, FrameHit::BottomLeft},
        {{199, 3}, FrameHit::TopRight},
        {{100, 12}, FrameHit::Caption},
        {{frame_button_rect(FrameButton::Close, W).left, 10}, FrameHit::Close},
        {{frame_button_rect(FrameButton::Minimize, W).left + 3, 10}, FrameHit::Minimize},
        {{frame_button_rect(FrameButton::SysMenu, W).left + 3, 10}, FrameHit::SysMenu},
        {{frame_button_rect(FrameButton::Rollup, W).left + 3, 10}, FrameHit::Rollup},
        {{frame_button_rect(FrameButton::Tray, W).right - 1, 10}, FrameHit::Tray},
        {{frame_button_rect(FrameButton::Tray, W).right, 10}, FrameHit::Caption},  // the gap
    };
    for (const auto& c : cases)
        EXPECT_EQ(frame_hit_test(W, H, c.p), c.expected) << c.p.x << "," << c.p.y;
}

TEST(FrameButtons, StayInsideTheCaptionAndApart) {
    const int W = 120;
    const Rect sys = frame_button_rect(FrameButton::SysMenu, W);
    const Rect rollup = frame_button_rect(FrameButton::Rollup, W);
    const Rect tray = frame_button_rect(FrameButton::Tray, W);
    const Rect min = frame_button_rect(FrameButton::Minimize, W);
    const Rect close = frame_button_rect(FrameButton::Close, W);
    EXPECT_LT(sys.right, frame_title_rect(W).left);
    EXPECT_LE(frame_title_rect(W).right, rollup.left);
    EXPECT_LE(rollup.right, tray.left);
    EXPECT_LE(tray.right, min.left);
    EXPECT_LE(min.right, close.left);
    EXPECT_LE(close.right, W - Frame::border);
    EXPECT_GE(sys.top, Frame::border);
    EXPECT_LE(sys.bottom, Frame::top_edge);
}

}  // namespace
