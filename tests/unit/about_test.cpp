#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "about/about_texts.h"
#include "about/appearing.h"
#include "about/starfield.h"

using namespace about;

namespace {

// Runs an animation to its end and returns every frame it showed.
std::vector<LabelFrame> run_to_end(Appearing& a) {
    std::vector<LabelFrame> frames;
    for (int guard = 0; guard < 10000 && a.running(); ++guard) {
        a.tick();
        frames.push_back(a.frame());
    }
    return frames;
}

struct AppearingCase {
    int home_left, home_width, panel_width;
    std::vector<int> lefts;   // every frame's left, the snapped last one included
    std::vector<int> widths;  // the same frames' widths
};

TEST(Appearing, FramesFromTheRightEdgeToTheSnap) {
    const AppearingCase cases[] = {
        // Distance 14 from the edge: 4 steps of 3 bring it to 2 (< 3), which snaps.
        {4, 9, 18, {18, 15, 12, 9, 4}, {0, 3, 6, 9, 9}},
        // Exactly 3 away after a step is not yet home: one more step, then the snap.
        {4, 10, 13, {13, 10, 7, 4}, {0, 3, 6, 10}},
        // Less than one step away at the first frame: shown at the edge, then home at once.
        {4, 2, 6, {4}, {2}},
        // A wide label widens no further than its own width.
        {0, 5, 12, {12, 9, 6, 3, 0}, {0, 3, 5, 5, 5}},
        // A place right of the panel's edge cannot be reached by moving left: it snaps.
        {30, 10, 20, {30}, {10}},
    };
    for (const AppearingCase& c : cases) {
        Appearing a;
        a.start(c.home_left, c.home_width, c.panel_width);
        ASSERT_TRUE(a.waiting());
        EXPECT_EQ(a.next_delay_ms(), kAppearingDelayMs);
        std::vector<int> lefts, widths;
        int ended = 0;
        Appearing b = a;  // a copy runs the same frames
        for (int guard = 0; guard < 1000 && b.running(); ++guard) {
            if (guard > 0) {
                EXPECT_EQ(b.next_delay_ms(), kAppearingStepMs);
            }
            if (b.tick()) ++ended;
            EXPECT_TRUE(b.frame().visible);
            lefts.push_back(b.frame().left);
            widths.push_back(b.frame().width);
        }
        EXPECT_EQ(lefts, c.lefts) << c.home_left << "/" << c.panel_width;
        EXPECT_EQ(widths, c.widths) << c.home_left << "/" << c.panel_width;
        EXPECT_EQ(ended, 1);
        EXPECT_FALSE(b.running());
        EXPECT_FALSE(b.tick()) << "a finished animation raises no second end";
    }
}

TEST(Appearing, EveryStepIsThreeLeftUntilLessThanThreeFromHome) {
    for (int panel = 5; panel < 80; ++panel) {
        Appearing a;
        a.start(4, panel - 5, panel);
        const std::vector<LabelFrame> f = run_to_end(a);
        ASSERT_FALSE(f.empty());
        for (std::size_t i = 1; i + 1 < f.size(); ++i) {
            EXPECT_EQ(f[i - 1].left - f[i].left, kAppearingStepPx);
            EXPECT_GE(f[i].left - 4, kAppearingStepPx) << "a frame this close must snap";
        }
        EXPECT_EQ(f.back().left, 4);
        EXPECT_EQ(f.back().width, panel - 5);
    }
}

TEST(Appearing, StartAgainReplaysFromTheBeginningAndStopHoldsTheLabel) {
    Appearing a;
    a.start(4, 30, 40);
    a.tick();
    a.tick();
    ASSERT_EQ(a.frame().left, 37);
    a.stop();
    EXPECT_FALSE(a.running());
    EXPECT_FALSE(a.tick());
    EXPECT_EQ(a.frame().left, 37);

    a.start(4, 30, 40);
    EXPECT_TRUE(a.waiting());
    a.tick();
    EXPECT_EQ(a.frame().left, 40);
    EXPECT_EQ(a.frame().width, 0);
}

TEST(PanelPlace, CentredWithHalvesRoundedTowardZero) {
    struct Case {
        int w, c;
        PanelPlace first, second;
    };
    const Case cases[] = {
        {100, 269, {134 - 50, 105}, {134 - 50 - 10, 110}},
        {101, 269, {134 - 50, 106}, {134 - 50 - 10, 111}},  // 101/2 and 269/2 both round down
        {0, 269, {134, 5}, {124, 10}},
        {300, 269, {134 - 150, 305}, {134 - 150 - 10, 310}},  // wider than the box: left < 0
        {7, 10, {5 - 3, 12}, {5 - 3 - 10, 17}},
    };
    for (const Case& k : cases) {
        const PanelPlace p1 = first_panel_place(k.w, k.c);
        const PanelPlace p2 = second_panel_place(k.w, k.c);
        EXPECT_EQ(p1.left, k.first.left) << k.w;
        EXPECT_EQ(p1.width, k.first.width) << k.w;
        EXPECT_EQ(p2.left, k.second.left) << k.w;
        EXPECT_EQ(p2.width, k.second.width) << k.w;
    }
    // A wider first text widens the panel and moves it left.
    EXPECT_LT(first_panel_place(150, 269).left, first_panel_place(100, 269).left);
}

TEST(AboutTexts, FallbacksStandInForEachMissingKey) {
    struct Case {
        const wchar_t *version, *product, *company, *legal;
        const wchar_t *first, *second;
    };
    const Case cases[] = {
        {L"1.2.3.4", L"Prod", L"Co", L"(C) Co", L"Prod\r\nBy Co\r\n(C) Co", L"Ver. 1.2.3.4"},
        {L"1.2.3.4", L"", L"", L"(C) Co", L"Snipquill\r\nBy Orvane Software\r\n(C) Co",
         L"Ver. 1.2.3.4"},
        {L"", L"Prod", L"Co", L"(C) Co", L"Prod\r\nBy Co\r\n(C) Co", L"Ver. "},
        {L"9", L"Prod", L"", L"", L"Prod\r\nBy Orvane Software\r\n", L"Ver. 9"},
        {L"", L"", L"", L"", L"Snipquill\r\nBy Orvane Software\r\n", L"Ver. "},
    };
    for (const Case& k : cases) {
        const AboutTexts t = about_texts(k.version, k.product, k.company, k.legal);
        std::wstring first = k.first;
        if (!*k.legal) first += kFallbackLegal;
        EXPECT_EQ(first_label_text(t), first);
        EXPECT_EQ(second_label_text(t), k.second);
    }
}

TEST(Starfield, StarsDriftAtDifferentSpeedsAndStayInTheField) {
    Starfield field(269, 218, 60, 7);
    ASSERT_EQ(field.stars().size(), 60u);
    std::set<int> speeds;
    for (const Star& s : field.stars()) speeds.insert(s.speed);
    EXPECT_GE(speeds.size(), 2u);
    for (int frame = 0; frame < 500; ++frame) {
        const std::vector<Star> before = field.stars();
        field.advance();
        for (std::size_t i = 0; i < before.size(); ++i) {
            const Star& s = field.stars()[i];
            ASSERT_GE(s.x, 0);
            ASSERT_LT(s.x, 269);
            ASSERT_GE(s.y, 0);
            ASSERT_LT(s.y, 218);
            ASSERT_EQ(s.speed, before[i].speed);
            // moved left by its speed, or wrapped round to the right
            if (s.x != before[i].x - s.speed) {
                ASSERT_EQ(s.x, before[i].x - s.speed + 269);
            }
        }
    }
}

}  // namespace
