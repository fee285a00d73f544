// Many random press/move/release sequences (left, right, middle) over a captured note with
// texts, boxes and arrows. After every release that ends a gesture begun by a left press, the
// picture must be exactly a fresh redraw of the same annotations on the clean background (no
// ghost left, nothing lost), and the store and the text list must still hold what they held.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

#include "annotate_note_support.h"

using namespace annotate_note;
using annotate::Point;
using ui::MouseButton;

namespace {

void expect_box_shape(const annotate::PolyLine::TMyPolyLine& box, const std::string& where) {
    const auto& v = box.GetPoints();
    ASSERT_EQ(v.size(), 5u) << where;
    EXPECT_EQ(v[4], v[0]) << where;
    EXPECT_EQ(v[0].y, v[1].y) << where;
    EXPECT_EQ(v[1].x, v[2].x) << where;
    EXPECT_EQ(v[2].y, v[3].y) << where;
    EXPECT_EQ(v[3].x, v[0].x) << where;
}

TEST(AnnotateRandom, EveryGestureEndsOnAFreshRedraw) {
    CapturedNote n(L"/p20,20,420,330");
    auto& note = n.note();
    auto& texts = note.MyCanvasText1();
    const int w = n.picture().width(), h = n.picture().height();

    n.add_text(L"First", 30, 150);
    n.add_text(L"Second text", 120, 40);
    n.add_text(L"Überlappend", 140, 48);
    const ui::Color colours[] = {ui::rgb(255, 0, 0), ui::rgb(0, 128, 255), ui::rgb(0, 200, 0),
                                 ui::rgb(250, 250, 250)};
    for (int i = 0; i < 4; ++i) {
        note.TeEffectButton4Click(colours[i], 1 + i);
        note.TeEffectButton5Click(colours[3 - i], 1 + (i + 1) % 4);
        for (int v = 0; v < 5; ++v) note.store().boxes[i]->SetPoint(v, 70 * i, 40 * i);
        for (int v = 0; v < 2; ++v) note.store().arrows[i]->SetPoint(v, 60 * i + 150, 45 * i);
    }
    n.fresh_redraw();

    const auto slots_before = note.store().boxes;
    const auto arrows_before = note.store().arrows;
    std::vector<Point> extents;
    for (int i = 0; i < texts.GetShapesCount(); ++i) {
        const auto& p = texts.GetShape(i)->ThePoints;
        extents.push_back(Point{p[1].x - p[0].x, p[1].y - p[0].y});
    }

    std::mt19937 rng(20240611);
    auto chance = [&](int percent) { return static_cast<int>(rng() % 100) < percent; };
    // Most points near something that can be hit: a vertex (a handle once selected), a point
    // of an edge, a text; the rest anywhere, a little beyond the picture too.
    auto pick_point = [&]() -> Point {
        std::uniform_int_distribution<int> jitter(-4, 4);
        const int kind = static_cast<int>(rng() % 5);
        const auto* line =
            (rng() % 2) ? note.store().boxes[rng() % 4] : note.store().arrows[rng() % 4];
        const auto& v = line->GetPoints();
        if (kind <= 1) {
            const Point a = v[rng() % v.size()];
            return Point{a.x + jitter(rng), a.y + jitter(rng)};
        }
        if (kind == 2) {
            const std::size_t i = rng() % (v.size() - 1);
            const Point a = v[i], b = v[i + 1];
            const double t = (rng() % 101) / 100.0;
            return Point{static_cast<int>(a.x + (b.x - a.x) * t) + jitter(rng),
                         static_cast<int>(a.y + (b.y - a.y) * t) + jitter(rng)};
        }
        if (kind == 3) {
            const auto& p =
                texts.GetShape(static_cast<int>(rng() % texts.GetShapesCount()))->ThePoints;
            return Point{p[0].x + static_cast<int>(rng() % (p[1].x - p[0].x + 1)) + jitter(rng),
                         p[0].y + static_cast<int>(rng() % (p[1].y - p[0].y + 1)) + jitter(rng)};
        }
        return Point{static_cast<int>(rng() % (w + 40)) - 20,
                     static_cast<int>(rng() % (h + 40)) - 20};
    };

    std::set<MouseButton> held;
    const MouseButton all[] = {MouseButton::Left, MouseButton::Right, MouseButton::Middle};
    std::ostringstream trail;  // the events so far, shown when a check fails
    int checked = 0;
    for (int step = 0; step < 4000 && !HasFailure(); ++step) {
        const Point p = pick_point();
        if (!held.empty() && chance(55)) {
            n.move(p.x, p.y);
            trail << "m" << p.x << "," << p.y << " ";
            continue;
        }
        if (held.empty() || chance(60)) {
            if (held.size() < 3 && (held.empty() || chance(50))) {
                MouseButton b = chance(70) ? MouseButton::Left : all[1 + rng() % 2];
                if (held.count(b)) continue;
                held.insert(b);
                n.down(b, p.x, p.y);
                trail << "d" << static_cast<int>(b) << "@" << p.x << "," << p.y << " ";
                continue;
            }
        }
        if (held.empty()) {
            n.move(p.x, p.y);
            continue;
        }
        auto it = held.begin();
        std::advance(it, static_cast<long>(rng() % held.size()));
        const MouseButton b = *it;
        held.erase(it);
        const bool gesture = texts.GetMsDnTag() == annotate::CanvasText::kGestureTracked;
        n.up(b, p.x, p.y);
        trail << "u" << static_cast<int>(b) << "@" << p.x << "," << p.y << " ";

        // Every release ends every press being tracked.
        EXPECT_EQ(texts.GetMsDnTag(), 0);
        for (auto* box : note.store().boxes)
            if (box) {
                EXPECT_EQ(box->GetMsDnTag(), 0);
            }
        if (!gesture) continue;

        ++checked;
        const std::string where = "step " + std::to_string(step) + ": " + trail.str();
        const Pixels now = snap(n.picture());
        EXPECT_EQ(differing(now, n.fresh_redraw()), 0) << where;
        EXPECT_EQ(note.store().boxes, slots_before) << where;
        EXPECT_EQ(note.store().arrows, arrows_before) << where;
        EXPECT_EQ(note.store().box_count, 4);
        EXPECT_EQ(note.store().arrow_count, 4);
        for (auto* box : note.store().boxes)
            if (box) expect_box_shape(*box, where);
        for (auto* arrow : note.store().arrows)
            if (arrow) {
                EXPECT_EQ(arrow->GetPointsCount(), 2) << where;
            }
        ASSERT_EQ(texts.GetShapesCount(), 3) << where;
        for (int i = 0; i < 3; ++i) {
            const auto& q = texts.GetShape(i)->ThePoints;
            ASSERT_EQ(q.size(), 2u) << where;
            EXPECT_EQ((Point{q[1].x - q[0].x, q[1].y - q[0].y}), extents[i]) << where;
        }
        EXPECT_EQ(texts.GetActionTool(), annotate::CanvasText::TActionTools::dtSelecting);
        trail.str("");
    }
    EXPECT_GT(checked, 200);
}

}  // namespace
