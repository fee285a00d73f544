#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "annotate/canvas_text.h"
#include "annotate_fakes.h"

using namespace annotate;
using namespace annotate::CanvasText;
using annotate_test::FakeImage;
using annotate_test::FakeSurface;
using annotate_test::Op;
using annotate_test::Recorder;
using ui::MouseButton;

namespace {

// The fake measures 7 pixels per unit and |height| + 2; the default font is 11 high.
constexpr int kCharW = 7, kLineH = 13;

struct TextFixture : ::testing::Test {
    SharedSettings shared;
    FakeImage image;
    TMyCanvasText texts{shared};

    void SetUp() override {
        texts.SetAComponent(&image);
        texts.SetShapeTool(TDrawTool::SpSelecting);
    }
    // What the palette's Add Text does: a press/release pair in the text mode.
    void add_text(std::wstring_view s, int x, int y) {
        texts.SetText(s);
        texts.SetShapeTool(TDrawTool::SpText);
        texts.MouseDown(MouseButton::Left, 0, x, y);
        texts.MouseUp(MouseButton::Left, 0, x, y);
        texts.SetShapeTool(TDrawTool::SpSelecting);
    }
    FakeSurface& canvas() { return image.canvas(); }
};

TEST(TextStorage, KeepsEveryCharacterUpToFiftyUnits) {
    const std::wstring fifty(50, L'x');
    struct Case {
        std::wstring in, out;
    };
    // A character outside the basic plane, as UTF-16 stores it on Windows.
    const std::wstring pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    const Case cases[] = {
        {L"", L""},
        {L"Grüße, Привет, 你好", L"Grüße, Привет, 你好"},
        {fifty, fifty},
        {fifty + L"y", fifty},
        {std::wstring(49, L'x') + pair, std::wstring(49, L'x')},  // never half a pair
        {std::wstring(48, L'x') + pair + L"z", std::wstring(48, L'x') + pair},
        {std::wstring(49, L'x') + pair.substr(0, 1), std::wstring(49, L'x') + pair.substr(0, 1)},
    };
    for (const Case& c : cases) EXPECT_EQ(cap_info(c.in), c.out) << c.in.size();
}

TEST_F(TextFixture, CreationAtAPressReleasePair) {
    texts.SetText(L"Hello");
    texts.SetShapeTool(TDrawTool::SpText);
    EXPECT_EQ(texts.GetActionTool(), TActionTools::dtDrawing);
    texts.MouseDown(MouseButton::Left, 0, 10, 10);
    EXPECT_EQ(texts.GetShapesCount(), 0);  // joins the list at the release
    EXPECT_EQ(texts.GetMsDnTag(), 9);
    texts.MouseUp(MouseButton::Left, 0, 200, 150);  // the release position does not matter
    ASSERT_EQ(texts.GetShapesCount(), 1);
    const TMyShape* t = texts.GetShape(0);
    EXPECT_EQ(t->ThePoints, (std::vector<Point>{{10, 10}, {10 + 5 * kCharW, 10 + kLineH}}));
    EXPECT_TRUE(t->Selected);
    EXPECT_EQ(texts.GetWorkingShape(), t);
    EXPECT_EQ(texts.GetShapeText(0), L"Hello");
    EXPECT_EQ(texts.GetActionTool(), TActionTools::dtDrawing);  // the next press makes another
    EXPECT_EQ(texts.GetMsDnTag(), 0);

    // The second one is selected, the first one deselected.
    texts.SetText(L"Hi");
    texts.MouseDown(MouseButton::Left, 0, 10, 10);
    texts.MouseUp(MouseButton::Left, 0, 10, 10);
    ASSERT_EQ(texts.GetShapesCount(), 2);
    EXPECT_FALSE(texts.GetShape(0)->Selected);
    EXPECT_TRUE(texts.GetShape(1)->Selected);
    EXPECT_EQ(texts.GetSelectedShape(), 1);
}

// Points become pixels at the screen's resolution, not at a fixed 96, and back again.
TEST(FontSize, PointsFollowTheScreensPixelsPerInch) {
    struct Case {
        int ppi, points, height;
    };
    const Case cases[] = {
        {96, 0, 0}, {96, 12, -16}, {144, 12, -24}, {144, 9, -18}, {120, 10, -17}, {120, 12, -20},
    };
    const int saved = ui::FontSpec::pixels_per_inch();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.points << " pt at " << c.ppi << " dpi");
        ui::FontSpec::set_pixels_per_inch(c.ppi);
        ui::FontSpec f;
        f.set_size(c.points);
        EXPECT_EQ(f.height, c.height);
        EXPECT_EQ(f.size(), c.points);
    }
    ui::FontSpec::set_pixels_per_inch(0);  // not a resolution: ignored
    EXPECT_EQ(ui::FontSpec::pixels_per_inch(), 120);
    ui::FontSpec::set_pixels_per_inch(saved);
}

TEST_F(TextFixture, NewTextTakesTheComponentsPenAndFont) {
    ui::FontSpec f;
    f.name = L"Arial";
    f.set_size(24);
    f.color = ui::rgb(255, 0, 0);
    f.style = ui::kFontBold;
    texts.SetFont(f);
    texts.Pen().width = 3;
    add_text(L"ab", 5, 6);
    const TMyShape* t = texts.GetShape(0);
    EXPECT_EQ(t->Font, f);
    EXPECT_EQ(t->Pen.width, 3);
    EXPECT_EQ(t->ThePoints[1], (Point{5 + 2 * kCharW, 6 + 32 + 2}));  // 24 pt = 32 px
    EXPECT_EQ(t->FCanvas, &canvas());
}

TEST_F(TextFixture, FullRedrawRestoresBackgroundThenDrawsNewestFirst) {
    add_text(L"old", 10, 10);
    add_text(L"new", 10, 10);
    texts.SetAComponent(&image);  // a new clean background: the next redraw is a full one
    canvas().ops.clear();
    texts.DrawAllShape();
    auto& all = canvas().ops;
    std::size_t start = all.size();
    while (start > 0 && all[start - 1].kind != Op::Copy) --start;
    ASSERT_GT(start, 0u);
    const Op& copy = all[start - 1];
    EXPECT_EQ(copy.source, texts.GetTImage());
    EXPECT_EQ(copy.c, 300);
    EXPECT_EQ(copy.d, 200);
    const std::vector<Op> ops(all.begin() + static_cast<long>(start), all.end());
    std::vector<Op> out, fills;
    for (const Op& o : ops) (o.kind == Op::Text ? out : fills).push_back(o);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].text, L"new");  // the older text ends on top
    EXPECT_EQ(out[1].text, L"old");
    // The selected (newest) text shows its four handles, drawn right after it.
    ASSERT_EQ(fills.size(), 4u);
    EXPECT_EQ(ops[1].kind, Op::Fill);
    EXPECT_EQ(fills[0].pen.mode, ui::RasterMode::NotXor);
    EXPECT_EQ(fills[0].brush.color, ui::rgb(128, 128, 128));
    const Point p1 = texts.GetShape(1)->ThePoints[1];
    EXPECT_EQ((Point{fills[1].a, fills[1].b}), (Point{p1.x - 4, p1.y - 4}));
    EXPECT_EQ((Point{fills[2].a, fills[2].b}), (Point{p1.x - 4, 6}));
    EXPECT_EQ((Point{fills[3].a, fills[3].b}), (Point{6, p1.y - 4}));
}

TEST_F(TextFixture, RedrawWithNothingChangedRepeatsTheLastOne) {
    add_text(L"one", 10, 10);
    add_text(L"two", 40, 60);
    const ui::PenSpec pen_after = canvas().pen();
    const ui::FontSpec font_after = canvas().font();

    canvas().set_pen(ui::PenSpec{});
    canvas().ops.clear();
    texts.DrawAllShape();
    ASSERT_EQ(canvas().ops.size(), 1u);  // one block copy of what the last redraw left
    EXPECT_EQ(canvas().ops[0].kind, Op::Copy);
    EXPECT_NE(canvas().ops[0].source, texts.GetTImage());
    EXPECT_EQ(canvas().pen(), pen_after);  // and the canvas set up as that redraw left it
    EXPECT_EQ(canvas().font(), font_after);

    // Anything a text is drawn from makes the next redraw a full one again.
    struct Change {
        const char* name;
        void (*apply)(TMyCanvasText&, SharedSettings&);
    };
    const Change changes[] = {
        {"moved",
         [](TMyCanvasText& t, SharedSettings&) {
             const_cast<TMyShape*>(t.GetShape(0))->DragChangeValue({0, 0}, {1, 0});
         }},
        {"selected",
         [](TMyCanvasText& t, SharedSettings&) {
             const_cast<TMyShape*>(t.GetShape(0))->Selected ^= true;
         }},
        {"text", [](TMyCanvasText& t,
                    SharedSettings&) { const_cast<TMyShape*>(t.GetShape(1))->Info = L"2"; }},
        {"colour", [](TMyCanvasText& t,
                      SharedSettings&) { const_cast<TMyShape*>(t.GetShape(1))->Font.color ^= 1; }},
        {"pen", [](TMyCanvasText& t,
                   SharedSettings&) { const_cast<TMyShape*>(t.GetShape(1))->Pen.width += 1; }},
        {"shadow", [](TMyCanvasText&, SharedSettings& s) { s.SharedShadow ^= true; }},
        {"shadow colour", [](TMyCanvasText&, SharedSettings& s) { s.SharedColorOfShadow ^= 1; }},
        {"handle colour", [](TMyCanvasText&, SharedSettings& s) { s.SharedColorOfHot ^= 1; }},
        {"deleted", [](TMyCanvasText& t, SharedSettings&) { t.DeleteShape(0); }},
    };
    auto full_redraws = [&] {
        int n = 0;
        for (const Op& o : canvas().of(Op::Copy)) n += o.source == texts.GetTImage();
        return n;
    };
    for (const Change& c : changes) {
        canvas().ops.clear();
        c.apply(texts, shared);
        texts.DrawAllShape();
        EXPECT_GE(full_redraws(), 1) << c.name;
        canvas().ops.clear();
        texts.DrawAllShape();  // and the one after it is a copy again
        EXPECT_EQ(full_redraws(), 0) << c.name;
        EXPECT_TRUE(canvas().of(Op::Text).empty()) << c.name;
    }

    // Binding again takes a new clean background: full redraw.
    texts.SetAComponent(&image);
    canvas().ops.clear();
    texts.DrawAllShape();
    EXPECT_EQ(full_redraws(), 1);
}

TMyShape* at(TMyCanvasText& t, int i) { return const_cast<TMyShape*>(t.GetShape(i)); }

// After a change to some texts the redraw starts from the last one and repaints only part of
// the picture: the clean background over at least where the changed texts were and are, then
// every text that can reach it, clipped to the repainted area, oldest on top. What cannot be
// bounded gets the full redraw. How the area is cut into rectangles is the redraw's own affair;
// the pixels it must end with are checked against a full redraw under GDI.
TEST(TextPartialRedraw, RepaintsOnlyWhereChangedTextsWereAndAre) {
    using R = ui::Rect;
    const std::wstring inf = L"\x221E";  // the fake cannot bound its ink
    struct Case {
        const char* name;
        void (*apply)(TMyCanvasText&, SharedSettings&);
        bool redraws;                     // apply redraws by itself
        std::vector<R> changed;           // where changed texts were and are; none: full redraw
        std::vector<std::wstring> drawn;  // in drawing order
    };
    const Case cases[] = {
        {"moved under another",
         [](TMyCanvasText& t, SharedSettings&) {
             at(t, 0)->DragChangeValue({0, 0}, {5, 3});
         },
         false,
         {R{10, 10, 31, 23}, R{15, 13, 36, 26}},
         {inf, L"three", L"one"}},
        {"selected",
         [](TMyCanvasText& t, SharedSettings&) { at(t, 1)->Selected = true; },
         false,
         {R{150, 100, 171, 113}, R{146, 96, 175, 117}},
         {inf, L"two"}},
        {"recoloured",
         [](TMyCanvasText& t, SharedSettings&) { t.SetShapeColor(2, 255); },
         true,
         {R{20, 15, 55, 28}, R{20, 15, 55, 28}},
         {inf, L"three", L"one"}},
        {"moved partly off the picture",
         [](TMyCanvasText& t, SharedSettings&) {
             at(t, 1)->DragChangeValue({0, 0}, {140, 95});
         },
         false,
         {R{150, 100, 171, 113}, R{290, 195, 300, 200}},
         {inf, L"two"}},
        {"deleted",
         [](TMyCanvasText& t, SharedSettings&) { t.DeleteShape(1); },
         true,
         {R{150, 100, 171, 113}},
         {inf}},
        {"added",
         [](TMyCanvasText& t, SharedSettings&) {
             t.SetText(L"new");
             t.SetShapeTool(TDrawTool::SpText);
             t.MouseDown(MouseButton::Left, 0, 100, 60);
             t.MouseUp(MouseButton::Left, 0, 100, 60);
         },
         true,
         {R{96, 56, 125, 77}},
         {L"new", inf}},
        {"shadow switched on",
         [](TMyCanvasText&, SharedSettings& s) { s.SharedShadow = true; },
         false,
         {},
         {}},
        {"handle colour",
         [](TMyCanvasText&, SharedSettings& s) { s.SharedColorOfHot ^= 1; },
         false,
         {},
         {}},
        {"changed to what cannot be bounded",
         [](TMyCanvasText& t, SharedSettings&) { t.SetShapeText(0, L"\x221E"); },
         true,
         {},
         {}},
        {"unbounded one moved",
         [](TMyCanvasText& t, SharedSettings&) {
             at(t, 3)->DragChangeValue({0, 0}, {1, 1});
         },
         false,
         {},
         {}},
    };
    for (const Case& c : cases) {
        SharedSettings shared;
        FakeImage image;
        TMyCanvasText texts{shared};
        texts.SetAComponent(&image);
        const std::pair<const wchar_t*, Point> made[] = {{L"one", {10, 10}},
                                                         {L"two", {150, 100}},
                                                         {L"three", {20, 15}},
                                                         {inf.c_str(), {200, 150}}};
        for (const auto& [s, p] : made) {
            texts.SetText(s);
            texts.SetShapeTool(TDrawTool::SpText);
            texts.MouseDown(MouseButton::Left, 0, p.x, p.y);
            texts.MouseUp(MouseButton::Left, 0, p.x, p.y);
        }
        texts.SetShapeTool(TDrawTool::SpSelecting);
        texts.MouseDown(MouseButton::Left, 0, 290, 190);  // on nothing: deselects them all
        texts.MouseUp(MouseButton::Left, 0, 290, 190);
        texts.SetShapeTool(TDrawTool::SpSelecting);

        FakeSurface& canvas = image.canvas();
        canvas.ops.clear();
        c.apply(texts, shared);
        if (!c.redraws) texts.DrawAllShape();
        // The redraw begins at the last copy of a whole picture (a new text shows its handles
        // before it).
        std::size_t start = canvas.ops.size();
        while (start > 0 &&
               !(canvas.ops[start - 1].kind == Op::Copy && canvas.ops[start - 1].c == 300))
            --start;
        ASSERT_GT(start, 0u) << c.name;
        const std::vector<Op> ops(canvas.ops.begin() + static_cast<long>(start - 1),
                                  canvas.ops.end());
        std::vector<R> from_clean;
        std::vector<std::wstring> drawn;
        for (const Op& o : ops) {
            if (o.kind == Op::Text) drawn.push_back(o.text);
            if (o.kind != Op::Copy) continue;
            if (o.source == texts.GetTImage())
                from_clean.push_back(R{o.a, o.b, o.a + o.c, o.b + o.d});
        }
        if (c.changed.empty()) {
            EXPECT_EQ(from_clean, (std::vector<R>{R{0, 0, 300, 200}})) << c.name;
            const int passes = shared.SharedShadow ? 2 : 1;
            EXPECT_EQ(drawn.size(), static_cast<std::size_t>(passes * texts.GetShapesCount()))
                << c.name;
            EXPECT_TRUE(canvas.of(Op::Clip).empty()) << c.name;
            continue;
        }
        EXPECT_NE(ops[0].source, texts.GetTImage()) << c.name;  // the last redraw, whole
        EXPECT_EQ((R{ops[0].a, ops[0].b, ops[0].c, ops[0].d}), (R{0, 0, 300, 200})) << c.name;
        // The clean background goes over every changed place, but not over the whole picture.
        std::vector<bool> repainted(300 * 200, false);
        long long area = 0;
        for (const R& r : from_clean)
            for (int y = std::max(r.top, 0); y < std::min(r.bottom, 200); ++y)
                for (int x = std::max(r.left, 0); x < std::min(r.right, 300); ++x)
                    if (!repainted[static_cast<std::size_t>(y) * 300 + x]) {
                        repainted[static_cast<std::size_t>(y) * 300 + x] = true;
                        ++area;
                    }
        for (const R& r : c.changed)
            for (int y = std::max(r.top, 0); y < std::min(r.bottom, 200); ++y)
                for (int x = std::max(r.left, 0); x < std::min(r.right, 300); ++x)
                    ASSERT_TRUE(repainted[static_cast<std::size_t>(y) * 300 + x])
                        << c.name << ": (" << x << "," << y << ") keeps a stale pixel";
        EXPECT_LT(area, 300 * 200) << c.name << ": a partial redraw repainted everything";
        EXPECT_EQ(drawn, c.drawn) << c.name;
        // Every text is drawn inside the clip, which is cleared afterwards.
        std::vector<Op> clips;
        for (const Op& o : ops)
            if (o.kind == Op::Clip) clips.push_back(o);
        ASSERT_EQ(clips.size(), 2u) << c.name;
        EXPECT_EQ(clips[0].clip, from_clean) << c.name;
        EXPECT_TRUE(clips[1].clip.empty()) << c.name;
        bool inside = false;
        for (const Op& o : ops) {
            if (o.kind == Op::Clip) inside = !o.clip.empty();
            if (o.kind == Op::Text || o.kind == Op::Fill) {
                EXPECT_TRUE(inside) << c.name;
            }
        }
        // And the redraw after it repeats this one.
        canvas.ops.clear();
        texts.DrawAllShape();
        EXPECT_EQ(canvas.ops.size(), 1u) << c.name;
    }
}

TEST_F(TextFixture, ShadowPassIsOnePixelRightAndDownInTheSharedColour) {
    add_text(L"s", 20, 30);
    texts.SetColorOfShadow(ui::rgb(0, 0, 255));
    canvas().ops.clear();
    texts.DrawAllShape();
    EXPECT_EQ(canvas().of(Op::Text).size(), 1u);  // no shadow pass while Shadow is off

    texts.SetShadow(true);  // redraws
    const auto out = canvas().of(Op::Text);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ((Point{out[1].a, out[1].b}), (Point{21, 31}));
    EXPECT_EQ(out[1].font.color, ui::rgb(0, 0, 255));
    EXPECT_EQ(out[1].brush.style, ui::BrushStyle::Clear);
    EXPECT_EQ((Point{out[2].a, out[2].b}), (Point{20, 30}));
    EXPECT_EQ(out[2].font.color, texts.GetShape(0)->Font.color);
    EXPECT_EQ(out[2].pen.mode, ui::RasterMode::Copy);
}

TEST(TextSharedSettings, LastAssignmentOnAnyComponentDecidesForAll) {
    SharedSettings shared;
    FakeImage image;
    TMyCanvasText a(shared), b(shared);
    a.SetAComponent(&image);
    b.SetAComponent(&image);
    a.SetShapeTool(TDrawTool::SpText);
    a.MouseDown(MouseButton::Left, 0, 0, 0);
    a.MouseUp(MouseButton::Left, 0, 0, 0);
    a.SetColorOfHot(ui::rgb(1, 2, 3));
    b.SetColorOfHot(ui::rgb(9, 9, 9));
    b.SetShadow(true);
    EXPECT_EQ(a.ColorOfHot(), ui::rgb(1, 2, 3));  // the field stays the component's
    EXPECT_EQ(shared.SharedColorOfHot, ui::rgb(9, 9, 9));
    image.canvas().ops.clear();
    a.DrawAllShape();
    EXPECT_EQ(image.canvas().of(Op::Text).size(), 2u);  // b switched the shadow on for a's text
    EXPECT_EQ(image.canvas().of(Op::Fill)[0].pen.color, ui::rgb(9, 9, 9));
    // A fresh settings object starts from the initial values.
    SharedSettings fresh;
    EXPECT_EQ(fresh.SharedColorOfHot, 8421504u);
    EXPECT_FALSE(fresh.SharedShadow);
}

TEST_F(TextFixture, PressPicksTheNewestTextUnderThePointerAndDrags) {
    add_text(L"aaaaaaaaaa", 10, 10);  // 70 x 13
    add_text(L"bbbb", 40, 15);        // overlaps, newer
    texts.SelectShape(0);
    texts.MouseDown(MouseButton::Left, 0, 45, 18);  // inside both
    EXPECT_EQ(texts.GetActionTool(), TActionTools::dtDragging);
    EXPECT_EQ(texts.GetWorkingShape(), texts.GetShape(1));
    EXPECT_TRUE(texts.GetShape(1)->Selected);
    EXPECT_TRUE(texts.GetShape(0)->Selected);  // not visited: keeps its flag

    // The outline moves with the pointer and is erased at each move.
    image.move(55, 28);
    const auto lines = canvas().of(Op::Line);
    ASSERT_EQ(lines.size(), 8u);
    for (const Op& l : lines) {
        EXPECT_EQ(l.pen.mode, ui::RasterMode::Xor);
        EXPECT_EQ(l.pen.color, ui::rgb(255, 0, 0));
    }
    EXPECT_EQ((Point{lines[0].c, lines[0].d}), (Point{40, 15}));  // old place first
    EXPECT_EQ((Point{lines[4].c, lines[4].d}), (Point{50, 25}));

    texts.MouseUp(MouseButton::Left, 0, 60, 30);
    EXPECT_EQ(texts.GetShape(1)->ThePoints, (std::vector<Point>{{55, 27}, {55 + 28, 27 + 13}}));
    EXPECT_EQ(texts.GetActionTool(), TActionTools::dtSelecting);
}

TEST_F(TextFixture, PressOnNothingDeselectsAllWithoutChangingTheWorkingText) {
    add_text(L"one", 10, 10);
    add_text(L"two", 10, 50);
    texts.SelectShape(0);
    const TMyShape* working = texts.GetWorkingShape();
    canvas().ops.clear();
    texts.MouseDown(MouseButton::Left, 0, 250, 150);
    EXPECT_EQ(texts.GetSelectedShape(), -1);
    EXPECT_EQ(canvas().of(Op::Fill).size(), 8u);  // both sets of handles toggled off at once
    EXPECT_EQ(texts.GetActionTool(), TActionTools::dtSelecting);
    EXPECT_EQ(texts.GetWorkingShape(), working);
    canvas().ops.clear();
    texts.MouseUp(MouseButton::Left, 0, 250, 150);
    // The release redraws: the picture as last drawn, then both texts again without handles.
    ASSERT_FALSE(canvas().ops.empty());
    EXPECT_EQ(canvas().ops[0].kind, Op::Copy);
    EXPECT_EQ(canvas().ops[0].c, 300);
    EXPECT_EQ(canvas().of(Op::Text).size(), 2u);
    EXPECT_TRUE(canvas().of(Op::Fill).empty());
}

TEST_F(TextFixture, CornerOfSelectedWorkingTextMovesNothing) {
    add_text(L"abc", 10, 10);  // selected working text, corners (10,10) (31,10) (31,23) (10,23)
    texts.MouseDown(MouseButton::Left, 0, 31, 23);
    EXPECT_EQ(texts.GetActionTool(), TActionTools::dtResizing);
    EXPECT_EQ(texts.GetWorkingShape()->SelectedHotId, 3);
    image.move(60, 60);
    texts.MouseUp(MouseButton::Left, 0, 60, 60);
    EXPECT_EQ(texts.GetShape(0)->ThePoints, (std::vector<Point>{{10, 10}, {31, 23}}));
    EXPECT_EQ(texts.GetActionTool(), TActionTools::dtSelecting);
}

TEST_F(TextFixture, HandleTestTable) {
    add_text(L"abc", 10, 10);  // P0 (10,10), P1 (31,23)
    TMyShape* t = const_cast<TMyShape*>(texts.GetShape(0));
    struct Case {
        Point p;
        int hot;
    };
    const Case cases[] = {{{10, 10}, 1}, {{6, 6}, 1},   {{14, 14}, -1}, {{13, 13}, 1},
                          {{31, 10}, 2}, {{31, 23}, 3}, {{10, 23}, 4},  {{20, 16}, -1}};
    for (const Case& c : cases) EXPECT_EQ(t->InWhichHot(c.p), c.hot) << c.p.x << "," << c.p.y;
    // An empty text is 0 wide: its corners overlap in pairs and the higher number wins.
    add_text(L"", 100, 100);
    TMyShape* e = const_cast<TMyShape*>(texts.GetShape(1));
    EXPECT_EQ(e->InWhichHot({100, 100}), 2);
    EXPECT_EQ(e->InWhichHot({100, 112}), 4);
}

TEST_F(TextFixture, HitTestSelectsAndDeselectsAsASideEffect) {
    add_text(L"abc", 10, 10);
    TMyShape* t = const_cast<TMyShape*>(texts.GetShape(0));
    struct Case {
        Point p;
        bool hit;
    };
    const Case cases[] = {{{10, 10}, true},  {{30, 22}, true}, {{31, 15}, false},
                          {{15, 23}, false}, {{9, 15}, false}, {{20, 9}, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(t->IsClickedMe(c.p), c.hit) << c.p.x << "," << c.p.y;
        EXPECT_EQ(t->Selected, c.hit);
    }
}

TEST_F(TextFixture, OtherButtonsAreIgnoredButAnyReleaseEndsTheGesture) {
    add_text(L"abc", 10, 10);
    canvas().ops.clear();
    texts.MouseDown(MouseButton::Right, 0, 15, 15);
    texts.MouseDown(MouseButton::Middle, 0, 15, 15);
    EXPECT_TRUE(canvas().ops.empty());
    EXPECT_EQ(texts.GetMsDnTag(), 0);
    texts.MouseDown(MouseButton::Left, 0, 15, 15);
    EXPECT_EQ(texts.GetMsDnTag(), 9);
    texts.MouseUp(MouseButton::Right, 0, 25, 15);
    EXPECT_EQ(texts.GetMsDnTag(), 0);
    EXPECT_EQ(texts.GetShape(0)->ThePoints[0], (Point{20, 10}));
}

TEST_F(TextFixture, IndexRulesOfTheOperations) {
    add_text(L"abc", 10, 10);
    add_text(L"de", 10, 40);
    canvas().ops.clear();
    for (int bad : {-1, 2, 1000}) {
        EXPECT_EQ(texts.GetShapeText(bad), L"");
        EXPECT_FALSE(texts.SetShapeText(bad, L"x"));
        EXPECT_FALSE(texts.SetShapeColor(bad, 1));
        EXPECT_FALSE(texts.SetShapeSize(bad, 20));
        EXPECT_FALSE(texts.SetShapeFont(bad, ui::FontSpec{}));
        EXPECT_FALSE(texts.SetShapeStyle(bad, ui::kFontBold));
        EXPECT_FALSE(texts.DeleteShape(bad));
        texts.SelectShape(bad);  // ignored
    }
    EXPECT_TRUE(canvas().ops.empty());  // nothing redrawn
    EXPECT_EQ(texts.GetShapesCount(), 2);

    // Each setter re-measures: handles and hit rectangle follow the new extent.
    EXPECT_TRUE(texts.SetShapeText(0, L"abcdef"));
    EXPECT_EQ(texts.GetShape(0)->ThePoints[1], (Point{10 + 6 * kCharW, 10 + kLineH}));
    EXPECT_TRUE(texts.SetShapeSize(0, 24));
    EXPECT_EQ(texts.GetShape(0)->Font.size(), 24);
    EXPECT_EQ(texts.GetShape(0)->ThePoints[1], (Point{10 + 6 * kCharW, 10 + 34}));
    EXPECT_TRUE(texts.SetShapeColor(0, ui::rgb(0, 255, 0)));
    EXPECT_EQ(texts.GetShape(0)->Font.color, ui::rgb(0, 255, 0));
    EXPECT_TRUE(texts.SetShapeStyle(0, ui::kFontItalic | ui::kFontUnderline));
    EXPECT_EQ(texts.GetShape(0)->Font.style, ui::kFontItalic | ui::kFontUnderline);
    ui::FontSpec f;
    f.height = -20;
    EXPECT_TRUE(texts.SetShapeFont(0, f));
    EXPECT_EQ(texts.GetShape(0)->ThePoints[1], (Point{10 + 6 * kCharW, 10 + 22}));
    EXPECT_TRUE(texts.SetShapeText(1, std::wstring(60, L'z')));
    EXPECT_EQ(texts.GetShapeText(1), std::wstring(50, L'z'));
}

TEST_F(TextFixture, SelectedTextOperations) {
    EXPECT_EQ(texts.GetSelectedShape(), -1);
    EXPECT_EQ(texts.GetSelectedShapeText(), L"");
    EXPECT_FALSE(texts.SetSelectedShapeText(L"x"));
    canvas().ops.clear();
    EXPECT_FALSE(texts.DeleteSelectedShape());
    EXPECT_EQ(canvas().of(Op::Copy).size(), 1u);  // redraws once even so

    add_text(L"one", 10, 10);
    add_text(L"two", 10, 40);
    texts.SelectShape(0);  // two selected now; the higher index is reported
    EXPECT_EQ(texts.GetSelectedShape(), 1);
    EXPECT_TRUE(texts.SetSelectedShapeText(L"TWO"));
    EXPECT_EQ(texts.GetShapeText(1), L"TWO");

    EXPECT_TRUE(texts.DeleteSelectedShape());
    EXPECT_EQ(texts.GetShapesCount(), 1);
    EXPECT_EQ(texts.GetWorkingShape(), nullptr);  // the working text went
    EXPECT_EQ(texts.GetSelectedShape(), 0);
    EXPECT_EQ(texts.GetShapeText(0), L"one");

    // With no working text, a press on a text makes it the working one.
    texts.MouseDown(MouseButton::Left, 0, 12, 12);
    EXPECT_EQ(texts.GetWorkingShape(), texts.GetShape(0));
    texts.MouseUp(MouseButton::Left, 0, 12, 12);
}

TEST_F(TextFixture, BindingTakesACleanCopyAndChains) {
    std::vector<std::string> log;
    FakeImage other(true, 40, 30);
    Recorder own{&log, "image"};
    other.slots = own.slots();
    texts.SetAComponent(&other);
    EXPECT_EQ(image.slots, ui::MouseSlots{});  // the old image got its handlers back
    ASSERT_NE(texts.GetTImage(), nullptr);
    EXPECT_EQ(texts.GetTImage()->width(), 40);
    EXPECT_EQ(texts.GetTImage()->height(), 30);
    const auto copies = static_cast<const FakeSurface*>(texts.GetTImage())->of(Op::Copy);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0].source, &other.canvas());
    EXPECT_EQ(texts.fOldOnMouseUp(), own.slots().up);
    other.down(MouseButton::Left, 1, 1);
    other.up(MouseButton::Left, 1, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"image.down", "image.up"}));

    // A failed binding keeps the canvas and binds nothing.
    FakeImage broken(false);
    texts.SetAComponent(&broken);
    EXPECT_EQ(texts.AComponent(), nullptr);
    EXPECT_EQ(texts.GetACanvas(), &other.canvas());
}

TEST(TextImage, RemovedImageIsForgottenByTheComponentAndItsTexts) {
    SharedSettings shared;
    TMyCanvasText texts(shared);
    {
        FakeImage image;
        texts.SetAComponent(&image);
        texts.SetShapeTool(TDrawTool::SpText);
        texts.MouseDown(MouseButton::Left, 0, 1, 1);
        texts.MouseUp(MouseButton::Left, 0, 1, 1);
    }
    EXPECT_EQ(texts.AComponent(), nullptr);
    EXPECT_EQ(texts.GetACanvas(), nullptr);
    EXPECT_EQ(texts.GetShape(0)->FCanvas, nullptr);
    texts.DrawAllShape();  // nothing to draw on, and no crash
    EXPECT_TRUE(texts.SetShapeText(0, L"still here"));
}

TEST(TextMisuse, ReleaseInTextModeAfterASelectingPressChangesNoListedText) {
    SharedSettings shared;
    FakeImage image;
    TMyCanvasText texts(shared);
    texts.SetAComponent(&image);
    texts.SetShapeTool(TDrawTool::SpText);
    texts.MouseDown(MouseButton::Left, 0, 5, 5);
    texts.MouseUp(MouseButton::Left, 0, 5, 5);
    texts.SetShapeTool(TDrawTool::SpSelecting);
    texts.MouseDown(MouseButton::Left, 0, 6, 6);  // picks the text
    texts.SetShapeTool(TDrawTool::SpText);        // the mode changes under the press
    texts.MouseUp(MouseButton::Left, 0, 6, 6);
    EXPECT_EQ(texts.GetShapesCount(), 1);
    EXPECT_EQ(texts.GetShape(0)->ThePoints.size(), 2u);
    EXPECT_EQ(texts.GetShapeText(0), L"CanvasText");
}

}  // namespace
