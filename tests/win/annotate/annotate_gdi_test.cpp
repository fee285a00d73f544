// The annotation components on real GDI: raster modes, handles, ghosts, shadows, redraws, and
// the chain of handlers on a real picture control.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "annotate/canvas_text.h"
#include "annotate/picture_image.h"
#include "annotate/polyline.h"
#include "win_test.h"
#include "ui/canvas.h"

using namespace annotate;
using ui::MouseButton;

namespace {

using Pixels = std::vector<std::uint32_t>;

Pixels snap(const ui::Bitmap& b) {
    GdiFlush();
    return Pixels(b.bits(), b.bits() + static_cast<std::size_t>(b.width()) * b.height());
}

int differing(const Pixels& a, const Pixels& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return n;
}

// A background in which no two neighbouring pixels are alike, so XOR and NOT-XOR work on many
// different values.
void fill_pattern(ui::Bitmap& b) {
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            b.bits()[static_cast<std::size_t>(y) * b.width() + x] =
                ((x * 37 + y * 11) & 0xFF) << 16 | ((x * 5 + y * 53) & 0xFF) << 8 |
                ((x * 17 ^ y * 29) & 0xFF);
}

// An image over an off-screen canvas; the tests call its slots as a picture would.
struct BitmapImage : Image {
    explicit BitmapImage(int w = 320, int h = 240) : canvas(w, h) {}
    ui::MouseSlots& mouse() override { return slots; }
    ui::Surface* surface() override { return &canvas; }
    int width() const override { return canvas.width(); }
    int height() const override { return canvas.height(); }
    void down(MouseButton b, int x, int y) { slots.down(this, b, 0, x, y); }
    void move(int x, int y) { slots.move(this, 0, x, y); }
    void up(MouseButton b, int x, int y) { slots.up(this, b, 0, x, y); }
    ui::Bitmap& bitmap() { return canvas.bitmap(); }

    ui::Canvas canvas;
    ui::MouseSlots slots;
};

TEST(CanvasPixels, RasterModes) {
    ui::Canvas c(60, 40);
    fill_pattern(c.bitmap());
    const Pixels before = snap(c.bitmap());

    // Copy: a filled rectangle covers exactly left..right-1, top..bottom-1.
    c.set_pen(ui::PenSpec{0, 1, ui::PenStyle::Solid, ui::RasterMode::Copy});
    c.set_brush(ui::BrushSpec{ui::rgb(1, 2, 3), ui::BrushStyle::Solid});
    c.fill_rect(10, 10, 18, 18);
    EXPECT_EQ(c.bitmap().pixel(10, 10), RGB(1, 2, 3));
    EXPECT_EQ(c.bitmap().pixel(17, 17), RGB(1, 2, 3));
    EXPECT_NE(c.bitmap().pixel(18, 17), RGB(1, 2, 3));
    EXPECT_NE(c.bitmap().pixel(17, 18), RGB(1, 2, 3));
    EXPECT_EQ(differing(before, snap(c.bitmap())), 64);

    // XOR and NOT-XOR restore what they drew over when drawn twice; a clear brush fills nothing.
    fill_pattern(c.bitmap());
    for (ui::RasterMode m : {ui::RasterMode::Xor, ui::RasterMode::NotXor}) {
        c.set_pen(ui::PenSpec{ui::rgb(200, 100, 50), 3, ui::PenStyle::Solid, m});
        c.set_brush(ui::BrushSpec{ui::rgb(90, 180, 30), ui::BrushStyle::Solid});
        c.move_to(2, 3);
        c.line_to(50, 30);
        c.fill_rect(20, 5, 28, 13);
        EXPECT_GT(differing(before, snap(c.bitmap())), 64);
        c.move_to(2, 3);
        c.line_to(50, 30);
        c.fill_rect(20, 5, 28, 13);
        EXPECT_EQ(differing(before, snap(c.bitmap())), 0);
    }
    c.set_brush(ui::BrushSpec{0, ui::BrushStyle::Clear});
    c.fill_rect(0, 0, 60, 40);
    EXPECT_EQ(differing(before, snap(c.bitmap())), 0);

    // A copy line: its end point is left out.
    c.set_pen(ui::PenSpec{ui::rgb(255, 0, 0), 1, ui::PenStyle::Solid, ui::RasterMode::Copy});
    c.move_to(5, 35);
    c.line_to(15, 35);
    EXPECT_EQ(c.bitmap().pixel(5, 35), RGB(255, 0, 0));
    EXPECT_EQ(c.bitmap().pixel(14, 35), RGB(255, 0, 0));
    EXPECT_NE(c.bitmap().pixel(15, 35), RGB(255, 0, 0));
}

TEST(CanvasPixels, RepeatedLinesMatchWhatGdiDraws) {
    // Copy-mode lines are replayed from the pixels GDI drew the first time; anywhere on the
    // bitmap, partly outside it too, they must come out as GDI draws them there.
    ui::Canvas cached(160, 120);
    ui::Bitmap reference(160, 120);
    std::uint32_t seed = 12345;
    auto next = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    const int vectors[][2] = {{40, 0}, {0, 33}, {25, 17}, {-30, 11}, {7, -45}, {1, 1}, {0, 0}};
    for (int i = 0; i < 400; ++i) {
        const int* v = vectors[next(7)];
        const int width = next(9);
        const int x = next(200) - 20, y = next(160) - 20;
        const COLORREF colour = RGB(next(256), next(256), next(256));
        cached.set_pen(ui::PenSpec{colour, width, ui::PenStyle::Solid, ui::RasterMode::Copy});
        cached.move_to(x, y);
        cached.line_to(x + v[0], y + v[1]);
        ui::UniqueGdi<HPEN> pen(CreatePen(PS_SOLID, width, colour));
        ui::Selection sel(reference.dc(), pen.get());
        MoveToEx(reference.dc(), x, y, nullptr);
        LineTo(reference.dc(), x + v[0], y + v[1]);
        ASSERT_EQ(differing(snap(cached.bitmap()), snap(reference)), 0)
            << "line " << i << " width " << width << " from " << x << "," << y;
    }
}

TEST(CanvasPixels, BlockCopyAndMeasure) {
    ui::Canvas a(50, 30), b(40, 40);
    fill_pattern(a.bitmap());
    b.copy_from(a, 0, 0, 50, 30);  // clipped to both
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(b.bitmap().pixel(x, y), a.bitmap().pixel(x, y));
    EXPECT_EQ(b.bitmap().pixel(5, 35), RGB(255, 255, 255));

    ui::FontSpec f;
    f.set_size(12);
    a.set_font(f);
    const ui::Extent one = a.text_extent(L"W"), two = a.text_extent(L"WW");
    EXPECT_GT(one.cx, 0);
    EXPECT_GT(one.cy, 10);
    EXPECT_EQ(two.cx, 2 * one.cx);
    f.set_size(24);
    a.set_font(f);
    EXPECT_GT(a.text_extent(L"W").cy, one.cy);
}

TEST(CanvasPixels, TextInkHoldsEveryPixelTheTextChanges) {
    // A partial redraw trusts this bound: a pixel the text changes outside it would be left
    // stale. Overhanging styles, fallback glyphs and large sizes included.
    struct Case {
        const wchar_t* face;
        int points;
        ui::FontStyles style;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"MS Sans Serif", 8, 0, L"Annotation text"},
        {L"Arial", 12, ui::kFontItalic, L"fjord ffi W/ jy"},
        {L"Times New Roman", 28, ui::kFontItalic | ui::kFontBold, L"ƒ∫ Jjy QW"},
        {L"Courier New", 16, ui::kFontUnderline | ui::kFontStrikeOut, L"___ |||"},
        {L"Tahoma", 14, 0, L"Überlappend Ägypten 你好 Привет"},
        {L"Arial", 40, ui::kFontItalic, L"f"},
        {L"Arial", 12, 0, L"   "},
    };
    for (const Case& c : cases) {
        ui::Canvas canvas(420, 160);
        ui::FontSpec f;
        f.name = c.face;
        f.set_size(c.points);
        f.style = c.style;
        f.color = ui::rgb(200, 0, 30);
        canvas.set_font(f);
        canvas.set_brush(ui::BrushSpec{0, ui::BrushStyle::Clear});
        const std::optional<ui::Rect> ink = canvas.text_ink(c.text);
        ASSERT_TRUE(ink.has_value()) << c.points;
        const Pixels before = snap(canvas.bitmap());
        const int x0 = 60, y0 = 40;
        canvas.text_out(x0, y0, c.text);
        const Pixels after = snap(canvas.bitmap());
        int changed = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * canvas.width() + x;
                if ((before[i] & 0xFFFFFF) == (after[i] & 0xFFFFFF)) continue;
                ++changed;
                EXPECT_TRUE(x >= x0 + ink->left && x < x0 + ink->right && y >= y0 + ink->top &&
                            y < y0 + ink->bottom)
                    << "(" << x << "," << y << ") size " << c.points;
            }
        // Blanks change nothing and so need no room; the rest must be inked.
        EXPECT_EQ(changed == 0, ink->empty()) << c.points;
    }
}

TEST(CanvasPixels, ClipKeepsEveryKindOfDrawingInside) {
    ui::Canvas canvas(200, 150), source(200, 150);
    fill_pattern(canvas.bitmap());
    const Pixels before = snap(canvas.bitmap());
    const ui::Rect areas[] = {{20, 20, 60, 50}, {50, 40, 120, 70}, {150, 100, 250, 200}};
    auto inside = [&](int x, int y) {
        for (const ui::Rect& r : areas)
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
        return false;
    };
    ASSERT_TRUE(canvas.set_clip(areas));
    // A copy-mode line twice: the second time it is replayed from what GDI drew the first.
    for (int twice = 0; twice < 2; ++twice) {
        canvas.set_pen(
            ui::PenSpec{ui::rgb(0, 0, 255), 5, ui::PenStyle::Solid, ui::RasterMode::Copy});
        canvas.move_to(0, 0);
        canvas.line_to(199, 149);
    }
    canvas.set_brush(ui::BrushSpec{ui::rgb(9, 9, 9), ui::BrushStyle::Solid});
    canvas.fill_rect(0, 60, 200, 110);
    ui::FontSpec f;
    f.set_size(20);
    canvas.set_font(f);
    canvas.text_out(10, 10, L"Clipped text, long enough");
    canvas.copy_from(source, 0, 0, 200, 150);
    canvas.clear_clip();
    const Pixels after = snap(canvas.bitmap());
    int changed_inside = 0;
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * 200 + x;
            const bool same = (before[i] & 0xFFFFFF) == (after[i] & 0xFFFFFF);
            if (!inside(x, y)) {
                ASSERT_TRUE(same) << "(" << x << "," << y << ")";
            } else {
                changed_inside += !same;
            }
        }
    EXPECT_GT(changed_inside, 0);
    // Cleared: drawing reaches everywhere again.
    canvas.fill_rect(0, 0, 10, 10);
    EXPECT_EQ(canvas.bitmap().pixel(0, 0), RGB(9, 9, 9));
}

TEST(PolylinePixels, DrawHotTwiceLeavesThePixelsAsTheyWere) {
    BitmapImage image;
    fill_pattern(image.bitmap());
    PolyLine::TMyPolyLine box;
    box.SetAComponent(&image);
    box.Pen().width = 3;
    for (Point v : {Point{25, 25}, Point{100, 25}, Point{100, 100}, Point{25, 100}, Point{25, 25}})
        box.AddPoint(v);
    const Pixels before = snap(image.bitmap());
    box.DrawHot();
    const Pixels shown = snap(image.bitmap());
    // Four squares of 8 x 8 (vertex 4 lies on vertex 0 and undoes its square).
    EXPECT_EQ(differing(before, shown), 3 * 64);
    EXPECT_NE(image.bitmap().pixel(100 - 4, 100 - 4), ui::dib_to_colorref(before[100 * 320 + 96]));
    box.DrawHot();
    EXPECT_EQ(differing(before, snap(image.bitmap())), 0);
}

TEST(PolylinePixels, GhostDrawnAndErasedLeavesNothing) {
    BitmapImage image;
    fill_pattern(image.bitmap());
    PolyLine::TMyPolyLine box;
    box.SetAComponent(&image);
    box.Tag = 1;
    for (Point v : {Point{25, 25}, Point{100, 25}, Point{100, 100}, Point{25, 100}, Point{25, 25}})
        box.AddPoint(v);
    box.SetShapeTool(PolyLine::TDrawTool::SpSelecting);
    box.Draw();

    // Dragging the whole box.
    image.down(MouseButton::Left, 60, 27);
    image.move(70, 40);
    const Pixels at_first = snap(image.bitmap());
    image.move(140, 90);
    EXPECT_GT(differing(at_first, snap(image.bitmap())), 100);
    image.move(70, 40);  // back: the ghost at (140, 90) is gone without a trace
    EXPECT_EQ(differing(at_first, snap(image.bitmap())), 0);
    image.up(MouseButton::Left, 70, 40);

    // Reshaping by a corner: the ghost lines plus the box drawn again at each move.
    box.DrawHot();                            // (handles are shown for a selected box)
    image.down(MouseButton::Left, 110, 113);  // vertex 2 of the moved box
    ASSERT_EQ(box.GetActionTool(), PolyLine::TActionTools::dtResizing);
    image.move(130, 130);
    const Pixels at_resize = snap(image.bitmap());
    image.move(200, 180);
    EXPECT_GT(differing(at_resize, snap(image.bitmap())), 50);
    image.move(130, 130);
    EXPECT_EQ(differing(at_resize, snap(image.bitmap())), 0);
    image.up(MouseButton::Left, 130, 130);
}

TEST(TextPixels, DragOutlineDrawnAndErasedLeavesNothing) {
    CanvasText::SharedSettings shared;
    BitmapImage image;
    fill_pattern(image.bitmap());
    CanvasText::TMyCanvasText texts(shared);
    texts.SetAComponent(&image);
    texts.SetText(L"Drag me");
    texts.SetShapeTool(CanvasText::TDrawTool::SpText);
    texts.MouseDown(MouseButton::Left, 0, 30, 30);
    texts.MouseUp(MouseButton::Left, 0, 30, 30);
    texts.SetShapeTool(CanvasText::TDrawTool::SpSelecting);

    image.down(MouseButton::Left, 45, 35);  // inside the text, away from its corner handles
    ASSERT_EQ(texts.GetActionTool(), CanvasText::TActionTools::dtDragging);
    image.move(52, 42);
    const Pixels at_first = snap(image.bitmap());
    image.move(160, 120);
    EXPECT_GT(differing(at_first, snap(image.bitmap())), 40);
    image.move(52, 42);
    EXPECT_EQ(differing(at_first, snap(image.bitmap())), 0);
    image.up(MouseButton::Left, 52, 42);
    EXPECT_EQ(texts.GetShape(0)->ThePoints[0], (Point{37, 37}));
}

TEST(TextPixels, ShadowLiesOnePixelRightAndDown) {
    CanvasText::SharedSettings shared;
    BitmapImage image(200, 80);  // white
    CanvasText::TMyCanvasText texts(shared);
    texts.SetAComponent(&image);
    ui::FontSpec f;
    f.set_size(20);
    f.color = ui::rgb(255, 0, 0);
    f.style = ui::kFontBold;
    texts.SetFont(f);
    texts.SetColorOfShadow(ui::rgb(0, 0, 255));
    texts.SetText(L"Shadow");
    texts.SetShapeTool(CanvasText::TDrawTool::SpText);
    texts.MouseDown(MouseButton::Left, 0, 20, 20);
    texts.MouseUp(MouseButton::Left, 0, 20, 20);
    texts.SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    texts.SelectShape(0);
    const_cast<CanvasText::TMyShape*>(texts.GetShape(0))->Selected = false;  // no handles

    texts.DrawAllShape();
    const Pixels plain = snap(image.bitmap());
    texts.SetShadow(true);  // redraws with the shadow pass
    const Pixels shadowed = snap(image.bitmap());

    const int w = 200, h = 80;
    auto white = [](std::uint32_t p) { return (p & 0xFFFFFF) == 0xFFFFFF; };
    int shadow_only = 0;
    for (int y = 1; y < h; ++y) {
        for (int x = 1; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            const bool glyph = !white(plain[i]);
            const bool glyph_up_left = !white(plain[i - w - 1]);
            if (!glyph && !glyph_up_left) {
                EXPECT_TRUE(white(shadowed[i])) << x << "," << y;
            } else if (!glyph) {
                // Only the shadow lies here: in the shadow colour.
                const COLORREF c = ui::dib_to_colorref(shadowed[i]);
                EXPECT_FALSE(white(shadowed[i])) << x << "," << y;
                EXPECT_GT(GetBValue(c), GetRValue(c)) << x << "," << y;
                ++shadow_only;
            } else if ((plain[i] & 0xFFFFFF) == 0xFF0000) {
                EXPECT_EQ(shadowed[i] & 0xFFFFFF, 0xFF0000u) << x << "," << y;  // text on top
            }
        }
    }
    EXPECT_GT(shadow_only, 20);
}

TEST(TextPixels, FullRedrawRestoresTheCleanPicture) {
    CanvasText::SharedSettings shared;
    BitmapImage image;
    fill_pattern(image.bitmap());
    const Pixels clean = snap(image.bitmap());
    CanvasText::TMyCanvasText texts(shared);
    texts.SetAComponent(&image);  // takes the clean copy
    image.canvas.set_brush(ui::BrushSpec{0, ui::BrushStyle::Solid});
    image.canvas.fill_rect(0, 0, 320, 240);  // scribble over everything
    texts.DrawAllShape();
    EXPECT_EQ(differing(clean, snap(image.bitmap())), 0);
}

// ---- the chain on a real picture control ----

struct Host {
    Host() {
        parent = CreateWindowExW(0, L"STATIC", L"annotate host", WS_POPUP, 0, 0, 320, 240, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        picture = std::make_unique<ui::Picture>(parent, 0, 0, 320, 240);
        picture->bitmap().set_size(320, 240);
    }
    ~Host() {
        picture.reset();
        DestroyWindow(parent);
    }
    HWND parent = nullptr;
    std::unique_ptr<ui::Picture> picture;
};

struct Own {
    std::vector<int> tags_seen;  // MsDnTag of the two polylines when the picture's handler ran
    PolyLine::TMyPolyLine* first = nullptr;
    PolyLine::TMyPolyLine* second = nullptr;
    static void down(void* t, void*, MouseButton, ui::ShiftState, int, int) {
        auto* o = static_cast<Own*>(t);
        o->tags_seen.push_back(o->first->GetMsDnTag());
        o->tags_seen.push_back(o->second->GetMsDnTag());
        throw std::runtime_error("the picture's own handler fails");
    }
};

TEST(PictureChain, PressReachesBothPolylinesThenThePicturesOwnWhoseFailureIsSwallowed) {
    Host host;
    PictureImage image(*host.picture);
    Own own;
    host.picture->mouse().down = ui::MouseButtonHandler{&Own::down, &own};
    PolyLine::TMyPolyLine first, second;
    own.first = &first;
    own.second = &second;
    for (PolyLine::TMyPolyLine* p : {&first, &second}) {
        p->SetAComponent(&image);
        p->AddPoint({10, 10});
        p->AddPoint({200, 10});
        p->SetShapeTool(PolyLine::TDrawTool::SpSelecting);
    }
    SendMessageW(host.picture->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 11));
    EXPECT_EQ(own.tags_seen, (std::vector<int>{9, 9}));
    EXPECT_EQ(first.GetActionTool(), PolyLine::TActionTools::dtDragging);
    EXPECT_EQ(second.GetActionTool(), PolyLine::TActionTools::dtDragging);
    SendMessageW(host.picture->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(60, 21));
    EXPECT_EQ(first.GetPoints()[0], (Point{20, 20}));
    EXPECT_EQ(second.GetPoints()[0], (Point{20, 20}));

    // Rebinding the first cuts the second out.
    first.SetAComponent(&image);
    own.tags_seen.clear();
    SendMessageW(host.picture->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 21));
    EXPECT_EQ(own.tags_seen, (std::vector<int>{9, 0}));
    SendMessageW(host.picture->hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(50, 21));
    EXPECT_EQ(second.GetPoints()[0], (Point{20, 20}));
    host.picture->mouse() = {};
}

}  // namespace
