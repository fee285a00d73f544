#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "annotate/polyline.h"
#include "annotate_fakes.h"

using namespace annotate;
using namespace annotate::PolyLine;
using annotate_test::FakeImage;
using annotate_test::Op;
using annotate_test::Recorder;
using ui::MouseButton;

namespace {

const std::vector<Point> kBox = {{25, 25}, {100, 25}, {100, 100}, {25, 100}, {25, 25}};

// A box bound to image, in the selecting mode, as the note makes them.
void make_box(TMyPolyLine& p, FakeImage& image) {
    p.SetAComponent(&image);
    p.Tag = 1;
    for (Point v : kBox) p.AddPoint(v);
    p.SetShapeTool(TDrawTool::SpSelecting);
}

TEST(PolylineHitTests, SegmentTable) {
    struct Case {
        Point a, b, p;
        bool hit;
    };
    const Case cases[] = {
        // Box edges from the description.
        {{25, 25}, {100, 25}, {60, 27}, true},  // top edge
        {{25, 100}, {25, 25}, {26, 60}, true},  // left side, running upwards
        {{100, 25}, {100, 100}, {60, 60}, false},
        // Vertical: x from a.x - 4 up to a.x + 3; y from min to max - 1, no tolerance.
        {{25, 25}, {25, 100}, {21, 60}, true},
        {{25, 25}, {25, 100}, {28, 60}, true},
        {{25, 25}, {25, 100}, {29, 60}, false},
        {{25, 25}, {25, 100}, {20, 60}, false},
        {{25, 100}, {25, 25}, {25, 25}, true},
        {{25, 100}, {25, 25}, {25, 100}, false},
        {{25, 100}, {25, 25}, {25, 24}, false},
        {{25, 30}, {25, 30}, {25, 30}, false},  // a point is never hit
        // Horizontal goes through the slanted rule: 4 up, 3 down (rectangle's bottom excluded).
        {{25, 25}, {100, 25}, {60, 21}, true},
        {{25, 25}, {100, 25}, {60, 20}, false},
        {{25, 25}, {100, 25}, {60, 28}, true},
        {{25, 25}, {100, 25}, {60, 29}, false},
        {{25, 25}, {100, 25}, {21, 25}, true},
        {{25, 25}, {100, 25}, {20, 25}, false},
        {{25, 25}, {100, 25}, {103, 25}, true},
        {{25, 25}, {100, 25}, {104, 25}, false},
        // Slanted: tolerance measured vertically.
        {{0, 0}, {100, 10}, {50, 9}, true},  // y_line 5
        {{0, 0}, {100, 10}, {50, 10}, false},
        {{0, 0}, {100, 10}, {50, 1}, true},
        {{0, 0}, {100, 10}, {50, 0}, false},
        {{100, 10}, {0, 0}, {50, 9}, true},  // either direction
        // Steep: 4 pixels vertically is a hair sideways.
        {{0, 0}, {10, 100}, {5, 50}, true},
        {{0, 0}, {10, 100}, {6, 50}, false},  // y_line 60
        {{0, 0}, {10, 100}, {5, 54}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(on_segment(c.a, c.b, c.p), c.hit)
            << "(" << c.a.x << "," << c.a.y << ")-(" << c.b.x << "," << c.b.y << ") at (" << c.p.x
            << "," << c.p.y << ")";
}

TEST(PolylineHitTests, HandleTable) {
    struct Case {
        Point p;
        int handle;
    };
    const Case cases[] = {
        {{25, 25}, 4},  // vertex 4 lies on vertex 0 and wins
        {{21, 21}, 4},   {{28, 28}, 4},  {{29, 25}, -1},  {{20, 25}, -1}, {{100, 25}, 1},
        {{96, 104}, -1}, {{96, 103}, 2}, {{103, 103}, 2}, {{60, 60}, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(find_handle(kBox, c.p, 4), c.handle) << c.p.x << "," << c.p.y;
    // Overlapping squares of distinct vertices: the later vertex wins.
    const std::vector<Point> close = {{10, 10}, {13, 10}};
    EXPECT_EQ(find_handle(close, {11, 10}, 4), 1);
    EXPECT_EQ(find_handle(close, {7, 10}, 4), 0);
}

TEST(PolylineBox, FollowTable) {
    // Dragging each corner of the box by (10, 5).
    struct Case {
        int hot;
        std::vector<Point> after;
    };
    const Case cases[] = {
        {0, {{35, 30}, {100, 30}, {100, 100}, {35, 100}, {35, 30}}},
        {1, {{25, 30}, {110, 30}, {110, 100}, {25, 100}, {25, 30}}},
        {2, {{25, 25}, {110, 25}, {110, 105}, {25, 105}, {25, 25}}},
        {3, {{35, 25}, {100, 25}, {100, 105}, {35, 105}, {35, 25}}},
        {4, {{35, 30}, {100, 30}, {100, 100}, {35, 100}, {35, 30}}},
    };
    for (const Case& c : cases) {
        std::vector<Point> v = kBox;
        move_hot_vertex(v, c.hot, 10, 5, true);
        EXPECT_EQ(v, c.after) << "hot " << c.hot;
    }
    // Not a box: the hot vertex alone.
    std::vector<Point> v = kBox;
    move_hot_vertex(v, 0, 10, 5, false);
    EXPECT_EQ(v, (std::vector<Point>{{35, 30}, {100, 25}, {100, 100}, {25, 100}, {25, 25}}));
    // A "box" that lost vertices moves only what exists; a bad index moves nothing.
    std::vector<Point> short_box = {{0, 0}, {10, 0}};
    move_hot_vertex(short_box, 0, 1, 1, true);
    EXPECT_EQ(short_box, (std::vector<Point>{{1, 1}, {10, 1}}));
    move_hot_vertex(short_box, 2, 1, 1, true);
    move_hot_vertex(short_box, -1, 1, 1, true);
    EXPECT_EQ(short_box, (std::vector<Point>{{1, 1}, {10, 1}}));
}

TEST(PolylineVertices, IndexRules) {
    const Point A{1, 1}, B{2, 2}, P{9, 9};
    struct Case {
        const char* name;
        bool (*op)(TMyPolyLine&);
        bool result;
        std::vector<Point> after;
    };
    const Case cases[] = {
        {"insert -1",
         [](TMyPolyLine& p) {
             return p.InsertAPoint(-1, Point{9, 9});
         },
         true,
         {P, A, B}},
        {"insert 0",
         [](TMyPolyLine& p) {
             return p.InsertAPoint(0, Point{9, 9});
         },
         true,
         {A, P, B}},
        {"insert 1",
         [](TMyPolyLine& p) {
             return p.InsertAPoint(1, Point{9, 9});
         },
         true,
         {A, B, P}},
        {"insert 2",
         [](TMyPolyLine& p) {
             return p.InsertAPoint(2, Point{9, 9});
         },
         false,
         {A, B}},
        {"insert -2",
         [](TMyPolyLine& p) {
             return p.InsertAPoint(-2, Point{9, 9});
         },
         false,
         {A, B}},
        {"insert after B",
         [](TMyPolyLine& p) {
             return p.InsertAPoint(Point{2, 2}, Point{9, 9});
         },
         true,
         {A, B, P}},
        {"insert after missing",
         [](TMyPolyLine& p) {
             return p.InsertAPoint(Point{5, 5}, Point{9, 9});
         },
         false,
         {A, B}},
        {"delete 0", [](TMyPolyLine& p) { return p.DeleteAPoint(0); }, true, {B}},
        {"delete 1", [](TMyPolyLine& p) { return p.DeleteAPoint(1); }, true, {A}},
        {"delete 2", [](TMyPolyLine& p) { return p.DeleteAPoint(2); }, false, {A, B}},
        {"delete -1", [](TMyPolyLine& p) { return p.DeleteAPoint(-1); }, false, {A, B}},
        {"delete B",
         [](TMyPolyLine& p) {
             return p.DeleteAPoint(Point{2, 2});
         },
         true,
         {A}},
        {"delete missing",
         [](TMyPolyLine& p) {
             return p.DeleteAPoint(Point{5, 5});
         },
         false,
         {A, B}},
        {"set 1", [](TMyPolyLine& p) { return p.SetPoint(1, 3, -4); }, true, {A, {5, -2}}},
        {"set -1", [](TMyPolyLine& p) { return p.SetPoint(-1, 3, 4); }, false, {A, B}},
        {"set count", [](TMyPolyLine& p) { return p.SetPoint(2, 3, 4); }, false, {A, B}},
        {"setxy 0", [](TMyPolyLine& p) { return p.SetPointXY(0, 7, 8); }, true, {{7, 8}, B}},
        {"setxy 2", [](TMyPolyLine& p) { return p.SetPointXY(2, 7, 8); }, false, {A, B}},
    };
    for (const Case& c : cases) {
        TMyPolyLine p;
        p.AddPoint(A);
        p.AddPoint(B);
        EXPECT_EQ(c.op(p), c.result) << c.name;
        EXPECT_EQ(p.GetPoints(), c.after) << c.name;
    }
}

TEST(PolylineVertices, RedrawOnlyWhereDescribed) {
    FakeImage image;
    TMyPolyLine p;
    p.SetAComponent(&image);
    auto& ops = image.canvas().ops;
    p.AddPoint({0, 0});
    p.AddPoint({10, 0});
    EXPECT_TRUE(ops.empty());  // AddPoint does not draw
    EXPECT_TRUE(p.SetPoint(0, 1, 1));
    EXPECT_TRUE(ops.empty());  // nor does SetPoint
    EXPECT_TRUE(p.SetPointXY(0, 2, 2));
    EXPECT_EQ(image.canvas().of(Op::Line).size(), 1u);
    ops.clear();
    EXPECT_FALSE(p.DeleteAPoint(5));
    EXPECT_TRUE(ops.empty());  // a refused change draws nothing
    p.DeleteAllPoint();
    EXPECT_EQ(p.GetPointsCount(), 0);
}

TEST(PolylineDrawing, PensAndHandles) {
    FakeImage image;
    TMyPolyLine p;
    p.SetAComponent(&image);
    p.Pen() = ui::PenSpec{ui::rgb(255, 0, 0), 3, ui::PenStyle::Solid, ui::RasterMode::Copy};
    for (Point v : {Point{10, 10}, Point{50, 10}, Point{50, 40}}) p.AddPoint(v);
    p.Draw();
    auto lines = image.canvas().of(Op::Line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].pen, p.Pen());
    EXPECT_EQ((Point{lines[1].c, lines[1].d}), (Point{50, 10}));
    EXPECT_EQ((Point{lines[1].a, lines[1].b}), (Point{50, 40}));
    EXPECT_TRUE(image.canvas().of(Op::Fill).empty());  // not selected: no handles

    image.canvas().ops.clear();
    p.BeSelected();  // shows the handles once
    auto fills = image.canvas().of(Op::Fill);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[0].a, 6);
    EXPECT_EQ(fills[0].b, 6);
    EXPECT_EQ(fills[0].c, 14);
    EXPECT_EQ(fills[0].d, 14);
    EXPECT_EQ(fills[0].pen.mode, ui::RasterMode::NotXor);
    EXPECT_EQ(fills[0].pen.color, ui::rgb(128, 128, 128));
    EXPECT_EQ(fills[0].pen.width, 3);
    EXPECT_EQ(fills[0].brush, (ui::BrushSpec{ui::rgb(128, 128, 128), ui::BrushStyle::Solid}));

    image.canvas().ops.clear();
    p.BeSelected();  // already selected: nothing
    EXPECT_TRUE(image.canvas().ops.empty());
    p.NotSelected();
    p.NotSelected();  // toggles again even when not selected
    EXPECT_EQ(image.canvas().of(Op::Fill).size(), 6u);
    EXPECT_FALSE(p.isSelected());
}

TEST(PolylineDrawing, OneVertexDrawsNoLineButOneHandle) {
    FakeImage image;
    TMyPolyLine p;
    p.SetAComponent(&image);
    p.AddPoint({5, 5});
    p.BeSelected();
    image.canvas().ops.clear();
    p.Draw();
    EXPECT_TRUE(image.canvas().of(Op::Line).empty());
    EXPECT_EQ(image.canvas().of(Op::Fill).size(), 1u);
}

TEST(PolylineLineTest, VerticalRuleChangesSelection) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    auto& ops = image.canvas().ops;

    // A miss on a selected box: its right side deselects it (one toggle), and the left side
    // does not toggle again.
    box.BeSelected();
    ops.clear();
    EXPECT_FALSE(box.LineTest({60, 60}));
    EXPECT_FALSE(box.isSelected());
    EXPECT_EQ(image.canvas().of(Op::Fill).size(), 5u);

    // The left side selects on a hit.
    ops.clear();
    EXPECT_TRUE(box.LineTest({26, 60}));
    EXPECT_TRUE(box.isSelected());
    EXPECT_EQ(image.canvas().of(Op::Fill).size(), 5u);

    // Selected and hit on the left side: deselected by the right side, then selected again.
    ops.clear();
    EXPECT_TRUE(box.LineTest({26, 60}));
    EXPECT_TRUE(box.isSelected());
    EXPECT_EQ(image.canvas().of(Op::Fill).size(), 10u);

    // A hit on the top edge ends the scan before any vertical side: no change.
    box.NotSelected();
    ops.clear();
    EXPECT_TRUE(box.LineTest({60, 27}));
    EXPECT_FALSE(box.isSelected());
    EXPECT_TRUE(ops.empty());

    // A slanted arrow keeps its selection on a miss.
    TMyPolyLine arrow;
    arrow.SetAComponent(&image);
    arrow.AddPoint({25, 35});
    arrow.AddPoint({80, 80});
    arrow.BeSelected();
    EXPECT_FALSE(arrow.LineTest({200, 150}));
    EXPECT_TRUE(arrow.isSelected());
}

TEST(PolylineMouse, PressOnEdgeDragsTheBox) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    image.down(MouseButton::Left, 60, 27);
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtDragging);
    EXPECT_TRUE(box.isSelected());
    EXPECT_EQ(box.GetMsDnTag(), 9);
    image.move(65, 30);
    image.move(70, 37);
    image.up(MouseButton::Left, 70, 37);
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtSelecting);
    EXPECT_EQ(box.GetMsDnTag(), 0);
    EXPECT_EQ(box.GetPoints(),
              (std::vector<Point>{{35, 35}, {110, 35}, {110, 110}, {35, 110}, {35, 35}}));
    EXPECT_TRUE(box.isSelected());
}

TEST(PolylineMouse, HandlesCountOnlyOnASelectedBox) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    image.down(MouseButton::Left, 100, 25);  // vertex 1 of an unselected box: a drag
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtDragging);
    image.up(MouseButton::Left, 100, 25);
    ASSERT_TRUE(box.isSelected());
    image.down(MouseButton::Left, 100, 25);  // now the handle
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtResizing);
    EXPECT_EQ(box.GetSelectedHotId(), 1);
}

TEST(PolylineMouse, CornerHandleOfSelectedBoxResizes) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    box.BeSelected();
    image.down(MouseButton::Left, 25, 25);
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtResizing);
    EXPECT_EQ(box.GetSelectedHotId(), 4);
    image.move(30, 28);
    image.up(MouseButton::Left, 35, 30);
    EXPECT_EQ(box.GetPoints(),
              (std::vector<Point>{{35, 30}, {100, 30}, {100, 100}, {35, 100}, {35, 30}}));
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtSelecting);
}

TEST(PolylineMouse, PressAwayDeselectsBoxAndTogglesHandles) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    box.BeSelected();
    image.canvas().ops.clear();
    image.down(MouseButton::Left, 200, 150);
    EXPECT_FALSE(box.isSelected());
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtSelecting);
    EXPECT_EQ(box.GetMsDnTag(), 9);
    // Deselected by the right side (toggle), then NotSelected at the end of the press (toggle).
    EXPECT_EQ(image.canvas().of(Op::Fill).size(), 10u);
    image.up(MouseButton::Left, 200, 150);
    EXPECT_EQ(box.GetMsDnTag(), 0);
}

TEST(PolylineMouse, OtherButtonsOnlyRecordTheOrigin) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    for (MouseButton b : {MouseButton::Right, MouseButton::Middle}) {
        image.canvas().ops.clear();
        image.down(b, 60, 27);
        EXPECT_EQ(box.GetOrigin(), (Point{60, 27}));
        EXPECT_EQ(box.GetActionTool(), TActionTools::dtSelecting);
        EXPECT_EQ(box.GetMsDnTag(), 0);
        EXPECT_FALSE(box.isSelected());
        EXPECT_TRUE(image.canvas().ops.empty());
        image.move(70, 30);  // no ghost without a tracked press
        EXPECT_TRUE(image.canvas().ops.empty());
        image.up(b, 70, 30);
        EXPECT_EQ(box.GetPoints(), kBox);
    }
}

TEST(PolylineMouse, GhostIsXorAndErasedAtEachMove) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    image.down(MouseButton::Left, 60, 27);
    // Whatever another component left on the canvas decides the ghost's width.
    image.canvas().set_pen(ui::PenSpec{0, 3, ui::PenStyle::Dot, ui::RasterMode::Copy});
    image.canvas().ops.clear();
    image.move(70, 30);
    const auto lines = image.canvas().of(Op::Line);
    // The box at d = (0, 0), then at d = (10, 3): 4 segments each.
    ASSERT_EQ(lines.size(), 8u);
    for (const Op& l : lines) {
        EXPECT_EQ(l.pen.mode, ui::RasterMode::Xor);
        EXPECT_EQ(l.pen.color, ui::rgb(255, 255, 0));
        EXPECT_EQ(l.pen.style, ui::PenStyle::Solid);
        EXPECT_EQ(l.pen.width, 3);  // the canvas pen's width is kept
        EXPECT_EQ(l.brush.style, ui::BrushStyle::Clear);
    }
    EXPECT_EQ((Point{lines[0].c, lines[0].d}), (Point{25, 25}));
    EXPECT_EQ((Point{lines[4].c, lines[4].d}), (Point{35, 28}));

    // The next move first repeats exactly the last ghost.
    image.canvas().ops.clear();
    image.move(80, 40);
    const auto next = image.canvas().of(Op::Line);
    ASSERT_EQ(next.size(), 8u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(next[i].a, lines[4 + i].a);
        EXPECT_EQ(next[i].b, lines[4 + i].b);
        EXPECT_EQ(next[i].c, lines[4 + i].c);
        EXPECT_EQ(next[i].d, lines[4 + i].d);
    }
}

TEST(PolylineMouse, ResizeGhostOfBoxRedrawsTheBox) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    box.BeSelected();
    image.down(MouseButton::Left, 100, 100);  // vertex 2
    ASSERT_EQ(box.GetSelectedHotId(), 2);
    image.canvas().ops.clear();
    image.move(110, 105);
    const auto& ops = image.canvas().ops;
    // Per ghost: two XOR lines from the moved vertex to vertices 1 and 3, then the box itself.
    std::vector<Op> xor_lines;
    int copy_lines = 0, fills = 0;
    for (const Op& o : ops) {
        if (o.kind == Op::Line && o.pen.mode == ui::RasterMode::Xor) xor_lines.push_back(o);
        if (o.kind == Op::Line && o.pen.mode == ui::RasterMode::Copy) ++copy_lines;
        if (o.kind == Op::Fill) ++fills;
    }
    ASSERT_EQ(xor_lines.size(), 4u);
    EXPECT_EQ((Point{xor_lines[2].c, xor_lines[2].d}), (Point{110, 105}));
    EXPECT_EQ((Point{xor_lines[2].a, xor_lines[2].b}), (Point{100, 25}));
    EXPECT_EQ((Point{xor_lines[3].a, xor_lines[3].b}), (Point{25, 100}));
    EXPECT_EQ(copy_lines, 8);
    EXPECT_EQ(fills, 10);  // handles toggled twice: unchanged
}

TEST(PolylineMouse, DrawingModeAppendsPoints) {
    FakeImage image;
    TMyPolyLine p;
    p.SetAComponent(&image);
    p.SetShapeTool(TDrawTool::SpPolyLine);
    EXPECT_EQ(p.GetActionTool(), TActionTools::dtDrawing);
    image.down(MouseButton::Left, 10, 10);
    image.move(20, 20);  // no ghost: the press is not tracked
    image.up(MouseButton::Left, 20, 20);
    image.down(MouseButton::Left, 30, 10);
    image.up(MouseButton::Left, 30, 10);
    image.down(MouseButton::Right, 40, 40);  // right: origin only
    EXPECT_EQ(p.GetPointsCount(), 2);
    image.up(MouseButton::Right, 45, 45);  // appends the right-press point and selects
    EXPECT_EQ(p.GetPoints(), (std::vector<Point>{{10, 10}, {30, 10}, {40, 40}}));
    EXPECT_TRUE(p.isSelected());
    EXPECT_EQ(p.GetMsDnTag(), 0);
}

TEST(PolylineMouse, VerticesRemovedDuringAResizeMoveNothing) {
    FakeImage image;
    TMyPolyLine box;
    make_box(box, image);
    box.BeSelected();
    image.down(MouseButton::Left, 100, 100);
    box.DeleteAllPoint();  // e.g. Clear while the button is down
    image.move(110, 110);
    image.up(MouseButton::Left, 110, 110);
    EXPECT_EQ(box.GetPointsCount(), 0);
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtSelecting);
}

TEST(PolylineLabel, ShowsPositionAndForgetsARemovedLabel) {
    FakeImage image;
    TMyPolyLine p;
    p.SetAComponent(&image);
    {
        TLabel label;
        p.SetLabelXY(&label);
        image.move(-12, 345);
        EXPECT_EQ(label.Caption(), L"(-12,345)");
        image.move(2147483647, -2147483647 - 1);
        EXPECT_EQ(label.Caption(), L"(2147483647,-2147483648)");
    }
    EXPECT_EQ(p.LabelXY(), nullptr);
    image.move(1, 1);  // and does not touch it any more
}

// ---- chaining ----

TEST(PolylineChain, EventsReachComponentsNewestFirstThenThePicturesOwn) {
    std::vector<std::string> log;
    FakeImage image;
    Recorder own{&log, "image"};
    image.slots = own.slots();

    TMyPolyLine first, second;
    make_box(first, image);
    const ui::MouseSlots first_handlers = image.slots;
    make_box(second, image);
    EXPECT_EQ(first.fOldOnMouseDown(), own.slots().down);
    EXPECT_EQ(first.fOldOnMouseUp(), own.slots().up);
    EXPECT_EQ(first.fOldOnMouseMove(), own.slots().move);
    EXPECT_EQ(second.fOldOnMouseDown(), first_handlers.down);
    EXPECT_EQ(second.fOldOnMouseMove(), first_handlers.move);
    // Both handle the press on the edge; the picture's handler comes last.
    image.down(MouseButton::Left, 60, 27);
    EXPECT_EQ(log, (std::vector<std::string>{"image.down"}));
    EXPECT_EQ(first.GetActionTool(), TActionTools::dtDragging);
    EXPECT_EQ(second.GetActionTool(), TActionTools::dtDragging);
    image.move(61, 27);
    image.up(MouseButton::Left, 61, 27);
    EXPECT_EQ(log, (std::vector<std::string>{"image.down", "image.move", "image.up"}));
}

TEST(PolylineChain, OrderOfHandling) {
    // Which component handles first: the second-bound one sees the first one's state before
    // the first one has handled the event.
    std::vector<std::string> log;
    FakeImage image;
    Recorder own{&log, "image"};
    image.slots = own.slots();
    TMyPolyLine first, second;
    make_box(first, image);
    make_box(second, image);
    TLabel label1, label2;
    first.SetLabelXY(&label1);
    second.SetLabelXY(&label2);

    struct Spy : TLabel {
        std::vector<std::string>* log;
        std::string name;
        void SetCaption(std::wstring_view c) override {
            TLabel::SetCaption(c);
            log->push_back(name);
        }
    };
    Spy s1, s2;
    s1.log = s2.log = &log;
    s1.name = "first";
    s2.name = "second";
    first.SetLabelXY(&s1);
    second.SetLabelXY(&s2);
    image.move(5, 5);
    EXPECT_EQ(log, (std::vector<std::string>{"second", "first", "image.move"}));
}

TEST(PolylineChain, APressReachesTheSecondBoundFirstThenTheFirstThenThePicturesOwn) {
    // Each polyline toggles its handles (in its own colour) when a press misses it, so the
    // order of the fills tells who handled the press when.
    FakeImage image;
    struct Own {
        annotate_test::FakeSurface* canvas;
        std::vector<ui::Color> seen;
        static void down(void* t, void*, MouseButton, ui::ShiftState, int, int) {
            auto* o = static_cast<Own*>(t);
            for (const Op& f : o->canvas->of(Op::Fill)) o->seen.push_back(f.brush.color);
        }
    } own{&image.canvas(), {}};
    image.slots.down = ui::MouseButtonHandler{&Own::down, &own};
    TMyPolyLine first, second;
    first.SetAComponent(&image);
    first.AddPoint({10, 10});
    first.SetColorOfHot(1);
    second.SetAComponent(&image);
    second.AddPoint({10, 10});
    second.SetColorOfHot(2);
    image.down(MouseButton::Left, 100, 100);
    EXPECT_EQ(own.seen, (std::vector<ui::Color>{2, 1}));
}

TEST(PolylineChain, WhatTheChainDrewIsShownOnceAtTheEndOfEachEvent) {
    FakeImage image;
    TMyPolyLine first, second;
    make_box(first, image);
    make_box(second, image);
    for (auto event : {+[](FakeImage& i) { i.down(MouseButton::Left, 60, 27); },
                       +[](FakeImage& i) { i.move(70, 30); },
                       +[](FakeImage& i) { i.up(MouseButton::Left, 70, 30); }}) {
        image.canvas().flushes = 0;
        event(image);
        EXPECT_EQ(image.canvas().flushes, 1);
    }
}

TEST(PolylineChain, AFailureInTheSavedHandlerIsSwallowed) {
    std::vector<std::string> log;
    FakeImage image;
    Recorder own{&log, "image", true};
    image.slots = own.slots();
    TMyPolyLine box;
    make_box(box, image);
    EXPECT_NO_THROW(image.down(MouseButton::Left, 60, 27));
    EXPECT_EQ(box.GetActionTool(), TActionTools::dtDragging);  // its own work stays done
    EXPECT_NO_THROW(image.up(MouseButton::Left, 70, 27));
    EXPECT_EQ(box.GetPoints()[0], (Point{35, 25}));
    EXPECT_EQ(log, (std::vector<std::string>{"image.down", "image.up"}));
}

TEST(PolylineChain, RebindingCutsLaterComponentsOut) {
    std::vector<std::string> log;
    FakeImage image;
    Recorder own{&log, "image"};
    image.slots = own.slots();
    TMyPolyLine first, second;
    make_box(first, image);
    make_box(second, image);
    first.SetAComponent(&image);  // restores what it saved, then binds again
    image.down(MouseButton::Left, 60, 27);
    EXPECT_EQ(first.GetActionTool(), TActionTools::dtDragging);
    EXPECT_EQ(second.GetActionTool(), TActionTools::dtSelecting);  // no longer reached
    EXPECT_EQ(log, (std::vector<std::string>{"image.down"}));

    // Binding to none puts the picture's own handlers back.
    first.SetAComponent(nullptr);
    EXPECT_EQ(image.slots, own.slots());
    EXPECT_EQ(first.AComponent(), nullptr);
}

TEST(PolylineChain, FailedBindingAndRebindingNeverForwardToItself) {
    std::vector<std::string> log;
    FakeImage good;
    FakeImage no_surface(false);
    Recorder own{&log, "image"};
    no_surface.slots = own.slots();

    TMyPolyLine p;
    p.SetAComponent(&good);
    ui::Surface* canvas = p.GetACanvas();
    p.SetAComponent(&no_surface);  // fails: nothing bound, canvas kept, handlers installed
    EXPECT_EQ(p.AComponent(), nullptr);
    EXPECT_EQ(p.GetACanvas(), canvas);
    EXPECT_FALSE(no_surface.slots == own.slots());
    EXPECT_EQ(good.slots, ui::MouseSlots{});  // the earlier binding was undone
    no_surface.down(MouseButton::Left, 1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"image.down"}));

    // Binding the same image again puts back what it saved before saving anew.
    p.SetAComponent(&no_surface);
    log.clear();
    no_surface.down(MouseButton::Left, 1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"image.down"}));

    // Binding elsewhere takes our handlers off the image the failed binding left them on.
    p.SetAComponent(&good);
    EXPECT_EQ(no_surface.slots, own.slots());
    EXPECT_EQ(p.AComponent(), &good);
}

TEST(PolylineChain, OurOwnForwarderFoundOnTheImageIsNeverSaved) {
    // A and B bound to i, A moved to j, B unbound: B puts back what it saved, A's forwarder,
    // though A is no longer bound to i. When A binds i again it finds its own forwarder there
    // and must not take it for the handler to forward to.
    std::vector<std::string> log;
    FakeImage i, j;
    Recorder own_j{&log, "j"};
    j.slots = own_j.slots();
    TMyPolyLine a, b;
    a.SetAComponent(&i);
    b.SetAComponent(&i);
    a.SetAComponent(&j);
    b.SetAComponent(nullptr);
    const ui::MouseSlots a_own = i.slots;
    ASSERT_EQ(a_own.down, j.slots.down) << "i carries A's forwarder again";
    a.SetAComponent(&i);
    EXPECT_FALSE(a.fOldOnMouseDown() == a_own.down);
    EXPECT_FALSE(a.fOldOnMouseUp() == a_own.up);
    EXPECT_FALSE(a.fOldOnMouseMove() == a_own.move);
}

TEST(PolylineChain, ALoopThroughAnotherComponentIsCut) {
    // A bound, B bound after it, A rebound elsewhere, B rebound, A rebound: A's saved handler is
    // B's, and B's is A's. An event must still end.
    FakeImage i, j;
    TMyPolyLine a, b;
    a.SetAComponent(&i);
    b.SetAComponent(&i);
    a.SetAComponent(&j);
    b.SetAComponent(&i);
    a.SetAComponent(&i);
    a.AddPoint({0, 0});
    a.AddPoint({0, 50});
    a.SetShapeTool(TDrawTool::SpSelecting);
    EXPECT_NO_THROW(i.down(MouseButton::Left, 0, 10));
    EXPECT_TRUE(a.isSelected());
}

TEST(PolylineChain, DestroyedComponentLeavesTheImage) {
    std::vector<std::string> log;
    FakeImage image;
    Recorder own{&log, "image"};
    image.slots = own.slots();
    {
        TMyPolyLine first;
        first.SetAComponent(&image);
        TMyPolyLine second;
        second.SetAComponent(&image);
    }
    EXPECT_EQ(image.slots, own.slots());
    image.down(MouseButton::Left, 1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"image.down"}));
}

// Destroyed in any order, a component leaves no forwarder to itself behind: not on the image,
// and not saved by a component bound after it (which would call it, or put it back on rebinding).
TEST(PolylineChain, DestroyedOutOfBindingOrderLeavesNoForwarderToIt) {
    std::vector<std::string> log;
    FakeImage image;
    Recorder own{&log, "image"};
    image.slots = own.slots();
    {
        auto first = std::make_unique<TMyPolyLine>();
        first->SetAComponent(&image);
        TMyPolyLine second;
        make_box(second, image);
        first.reset();
        image.down(MouseButton::Left, 60, 27);  // reaches second, then the picture's own
        EXPECT_EQ(second.GetActionTool(), TActionTools::dtDragging);
        image.up(MouseButton::Left, 60, 27);
        EXPECT_EQ(log, (std::vector<std::string>{"image.down", "image.up"}));
    }
    EXPECT_EQ(image.slots, own.slots());

    // Cut out of the chain by a rebinding, then destroyed: the one it was saved by puts back the
    // picture's own handlers, not the destroyed one's.
    auto first = std::make_unique<TMyPolyLine>();
    TMyPolyLine second;
    first->SetAComponent(&image);
    second.SetAComponent(&image);
    first->SetAComponent(&image);
    first.reset();
    second.SetAComponent(nullptr);
    EXPECT_EQ(image.slots, own.slots());
}

TEST(PolylineChain, ImageDestroyedFirstIsForgotten) {
    TMyPolyLine p;
    {
        FakeImage image;
        p.SetAComponent(&image);
        p.AddPoint({0, 0});
        p.AddPoint({5, 5});
    }
    EXPECT_EQ(p.AComponent(), nullptr);
    EXPECT_EQ(p.GetACanvas(), nullptr);
    p.Draw();  // nothing to draw on, and no crash
    FakeImage other;
    p.SetAComponent(&other);  // nothing to restore on the destroyed image
    EXPECT_EQ(p.AComponent(), &other);
}

}  // namespace
