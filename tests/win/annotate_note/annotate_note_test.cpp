// Boxes, arrows and texts on a captured note: the store, the palette's operations, the Delete
// key, the redraw at every release and the chain of handlers after each capture.
#include <gtest/gtest.h>

#include "annotate/arrowhead.h"
#include "annotate_note_support.h"

using namespace annotate_note;
using annotate::Point;
using ui::MouseButton;

namespace {

constexpr ui::Color kRed = ui::rgb(255, 0, 0);
constexpr COLORREF kRedRef = RGB(255, 0, 0);

// Points strictly inside the segment a-b, a pixel apart or so.
std::vector<Point> inner_points(Point a, Point b) {
    std::vector<Point> r;
    const int n = std::max(std::abs(b.x - a.x), std::abs(b.y - a.y));
    for (int i = 2; i + 2 <= n; ++i)
        r.push_back(Point{annotate::round_half_even(a.x + (b.x - a.x) * double(i) / n),
                          annotate::round_half_even(a.y + (b.y - a.y) * double(i) / n)});
    return r;
}

void expect_line(const ui::Bitmap& pic, Point a, Point b, COLORREF c) {
    for (Point p : inner_points(a, b))
        EXPECT_EQ(pic.pixel(p.x, p.y), c) << "(" << p.x << "," << p.y << ") on (" << a.x << ","
                                          << a.y << ")-(" << b.x << "," << b.y << ")";
}

TEST(AnnotateNote, NewBoxAndArrowWithItsHead) {
    CapturedNote n;
    auto& note = n.note();
    const Pixels clean = snap(n.picture());
    note.TeEffectButton4Click(kRed, 2);
    ASSERT_NE(note.store().boxes[0], nullptr);
    expect_line(n.picture(), {25, 25}, {100, 25}, kRedRef);
    expect_line(n.picture(), {25, 100}, {25, 25}, kRedRef);

    note.TeEffectButton5Click(kRed, 2);
    ASSERT_NE(note.store().arrows[0], nullptr);
    EXPECT_EQ(note.store().arrows[0]->Pen().width, 2);
    expect_line(n.picture(), {25, 35}, {80, 80}, kRedRef);  // the shaft
    // The head: (25,35)-(43,43), (25,35)-(37,51), (37,51)-(43,43); unfilled.
    expect_line(n.picture(), {25, 35}, {43, 43}, kRedRef);
    expect_line(n.picture(), {25, 35}, {37, 51}, kRedRef);
    expect_line(n.picture(), {37, 51}, {43, 43}, kRedRef);
    EXPECT_EQ(n.picture().pixel(36, 47), ui::dib_to_colorref(clean[47 * n.picture().width() + 36]));
    // Nothing is selected and no handles are shown.
    EXPECT_FALSE(note.store().boxes[0]->isSelected());
    EXPECT_EQ(n.picture().pixel(21, 21), ui::dib_to_colorref(clean[21 * n.picture().width() + 21]));
}

TEST(AnnotateNote, TwentyFirstAddBeepsAndMakesNothingUntilClear) {
    CapturedNote n;
    auto& note = n.note();
    for (int i = 0; i < 20; ++i) {
        note.TeEffectButton4Click(kRed, 1);
        note.TeEffectButton5Click(kRed, 1);
    }
    EXPECT_TRUE(n.beeps().empty());
    const Pixels before = snap(n.picture());
    note.TeEffectButton4Click(kRed, 1);
    note.TeEffectButton5Click(kRed, 1);
    EXPECT_EQ(n.beeps(), (std::vector<UINT>{MB_ICONWARNING, MB_ICONWARNING}));
    EXPECT_EQ(note.store().box_count, 21);
    EXPECT_EQ(note.store().arrow_count, 21);
    EXPECT_EQ(differing(before, snap(n.picture())), 0);

    SendMessageW(note.hwnd(), WM_KEYUP, VK_F4, 0);  // Clear
    EXPECT_EQ(note.store().box_count, 0);
    for (auto* p : note.store().boxes) EXPECT_EQ(p, nullptr);
    note.TeEffectButton4Click(kRed, 1);  // fills slot 0 again
    EXPECT_NE(note.store().boxes[0], nullptr);
    EXPECT_EQ(n.beeps().size(), 2u);
}

TEST(AnnotateNote, PressSelectsReleaseRedrawsAndRightReleaseDeselectsAll) {
    CapturedNote n;
    auto& note = n.note();
    note.TeEffectButton4Click(kRed, 2);
    note.TeEffectButton5Click(kRed, 2);
    note.store().arrows[0]->SetPointXY(0, 150, 40);  // away from the box
    note.store().arrows[0]->SetPointXY(1, 220, 120);
    n.add_text(L"Label", 160, 150);
    n.fresh_redraw();

    n.click(MouseButton::Left, 60, 26);  // the box's top edge
    EXPECT_TRUE(note.store().boxes[0]->isSelected());
    n.click(MouseButton::Left, 185, 80);  // the arrow's shaft
    EXPECT_TRUE(note.store().arrows[0]->isSelected());
    EXPECT_FALSE(note.store().boxes[0]->isSelected());  // the miss on its sides deselected it
    n.click(MouseButton::Left, 60, 26);
    ASSERT_TRUE(note.store().boxes[0]->isSelected());
    ASSERT_TRUE(note.store().arrows[0]->isSelected());  // a slanted arrow stays selected
    Pixels now = snap(n.picture());
    EXPECT_EQ(differing(now, n.fresh_redraw()), 0);

    // A right release anywhere: nothing selected, no handle left on the picture.
    n.down(MouseButton::Right, 290, 200);
    n.up(MouseButton::Right, 290, 200);
    EXPECT_FALSE(note.store().boxes[0]->isSelected());
    EXPECT_FALSE(note.store().arrows[0]->isSelected());
    now = snap(n.picture());
    EXPECT_EQ(differing(now, n.fresh_redraw()), 0);
    note.redraw_background();  // compare with a picture drawn from scratch, nothing selected
    note.MyCanvasText1().DrawAllShape();
    note.draw_objects();
    EXPECT_EQ(differing(now, snap(n.picture())), 0);
    EXPECT_EQ(note.MyCanvasText1().GetActionTool(),
              annotate::CanvasText::TActionTools::dtSelecting);
}

TEST(AnnotateNote, DraggingTheTipMovesTheHead) {
    CapturedNote n;
    auto& note = n.note();
    note.TeEffectButton5Click(kRed, 2);
    n.click(MouseButton::Left, 52, 57);  // on the shaft: selects
    ASSERT_TRUE(note.store().arrows[0]->isSelected());
    n.down(MouseButton::Left, 25, 35);  // the tip's handle
    n.move(60, 50);
    n.move(125, 135);
    n.up(MouseButton::Left, 125, 135);
    EXPECT_EQ(note.store().arrows[0]->GetPoints(), (std::vector<Point>{{125, 135}, {80, 80}}));
    const Pixels now = snap(n.picture());
    EXPECT_EQ(differing(now, n.fresh_redraw()), 0);
    const annotate::ArrowheadPoints h =
        annotate::arrowhead_points(note.CadCalcGDI1(), {125, 135}, {80, 80});
    expect_line(n.picture(), h.tip, h.wing1, kRedRef);
    expect_line(n.picture(), h.tip, h.wing2, kRedRef);
    expect_line(n.picture(), h.wing2, h.wing1, kRedRef);
}

TEST(AnnotateNote, DeleteKeyTakesTheSelectedTextFirstThenBoxesAndArrows) {
    CapturedNote n;
    auto& note = n.note();
    const Pixels clean = snap(n.picture());
    note.TeEffectButton4Click(kRed, 2);
    n.add_text(L"older", 150, 150);
    n.add_text(L"newer", 150, 180);
    n.click(MouseButton::Left, 60, 26);  // select the box (the texts are deselected)
    note.MyCanvasText1().SelectShape(1);
    ASSERT_TRUE(note.store().boxes[0]->isSelected());

    SendMessageW(note.hwnd(), WM_KEYUP, VK_DELETE, 0);
    EXPECT_EQ(note.MyCanvasText1().GetShapesCount(), 1);
    EXPECT_EQ(note.MyCanvasText1().GetShapeText(0), L"older");
    EXPECT_EQ(note.MyCanvasText1().GetSelectedShape(), 0);  // the last remaining one
    EXPECT_NE(note.store().boxes[0], nullptr);              // boxes left alone

    SendMessageW(note.hwnd(), WM_KEYUP, VK_DELETE, 0);  // the other text
    EXPECT_EQ(note.MyCanvasText1().GetShapesCount(), 0);
    EXPECT_NE(note.store().boxes[0], nullptr);

    SendMessageW(note.hwnd(), WM_KEYUP, VK_DELETE, 0);  // now the selected box
    EXPECT_EQ(note.store().boxes[0], nullptr);
    EXPECT_EQ(note.store().box_count, 1);
    EXPECT_EQ(differing(clean, snap(n.picture())), 0);  // nothing left on the picture

    // Nothing selected: nothing changes, nothing is repainted.
    n.picture().set_pixel(5, 5, RGB(1, 2, 3));
    SendMessageW(note.hwnd(), WM_KEYUP, VK_DELETE, 0);
    EXPECT_EQ(n.picture().pixel(5, 5), RGB(1, 2, 3));
}

TEST(AnnotateNote, ColourAndWidthApplyToTheSelectedOnly) {
    CapturedNote n;
    auto& note = n.note();
    note.JvOfficeColorButton2ColorChange(ui::rgb(0, 0, 255));  // no box yet
    note.TeEffectButton4Click(ui::rgb(0, 0, 255), 2);          // the palette's new colour
    note.TeEffectButton4Click(kRed, 2);
    note.store().boxes[1]->SetPointXY(0, 150, 120);
    for (int i : {1, 2, 3, 4}) note.store().boxes[1]->SetPoint(i, 125, 95);
    note.JvOfficeColorButton2ColorChange(ui::rgb(0, 255, 0));  // none selected
    EXPECT_EQ(note.store().boxes[0]->Pen().color, ui::rgb(0, 0, 255));
    EXPECT_EQ(note.store().boxes[1]->Pen().color, kRed);
    n.click(MouseButton::Left, 60, 26);
    note.JvOfficeColorButton2ColorChange(ui::rgb(0, 255, 0));
    EXPECT_EQ(note.store().boxes[0]->Pen().color, ui::rgb(0, 255, 0));
    EXPECT_EQ(note.store().boxes[1]->Pen().color, kRed);

    note.TeEffectButton5Click(kRed, 2);
    note.TeEffectButton5Click(kRed, 2);
    note.store().arrows[0]->BeSelected();
    note.store().arrows[1]->BeSelected();
    note.TeEffectSpinEdit3Change(6);
    EXPECT_EQ(note.store().arrows[0]->Pen().width, 6);
    EXPECT_EQ(note.store().arrows[1]->Pen().width, 6);
    EXPECT_EQ(note.store().boxes[0]->Pen().width, 2);
    const Pixels now = snap(n.picture());
    EXPECT_EQ(differing(now, n.fresh_redraw()), 0);
}

TEST(AnnotateNote, EachCaptureRebindsAndCutsEarlierBoxesOut) {
    CapturedNote n;
    auto& note = n.note();
    // After a capture the chain is MyPolyLine1, the text component, the note's own release.
    auto& text = note.MyCanvasText1();
    EXPECT_EQ(note.Image1().mouse().down.target, &note.MyPolyLine1());
    EXPECT_EQ(note.MyPolyLine1().fOldOnMouseDown().target, &text);
    EXPECT_EQ(text.fOldOnMouseUp().target, &note);
    EXPECT_FALSE(text.fOldOnMouseDown());
    // The text component's clean copy is the captured picture.
    ASSERT_NE(text.GetTImage(), nullptr);
    const auto& copy = static_cast<const ui::Canvas*>(text.GetTImage())->bitmap();
    EXPECT_EQ(differing(snap(copy), snap(*note.background())), 0);

    // A box added while live stays in the store, is drawn by every redraw, but no longer hears
    // the mouse after the next capture.
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F4, 0);
    note.TeEffectButton4Click(kRed, 2);
    note.Annotate1Click();
    ASSERT_TRUE(note.state().captured);
    ASSERT_NE(note.store().boxes[0], nullptr);
    n.click(MouseButton::Left, 60, 26);
    EXPECT_FALSE(note.store().boxes[0]->isSelected());
    expect_line(n.picture(), {25, 25}, {100, 25}, kRedRef);  // the release redrew it
    note.TeEffectButton4Click(kRed, 2);                      // one made now hears it
    n.click(MouseButton::Left, 60, 26);
    EXPECT_TRUE(note.store().boxes[1]->isSelected());
}

TEST(AnnotateNote, OperationsBeforeCreationDoNothing) {
    app::TForm1::Services s;
    s.show_help = [](HWND, const std::wstring&) {};
    std::vector<UINT> beeps;
    s.message_beep = [&](UINT t) { beeps.push_back(t); };
    app::TForm1 note(s);
    SendMessageW(note.hwnd(), WM_KEYUP, VK_DELETE, 0);
    note.TeEffectButton4Click(kRed, 2);
    note.TeEffectButton5Click(kRed, 2);
    note.TeEffectSpinEdit2Change(3);
    note.JvOfficeColorButton3ColorChange(kRed);
    note.draw_objects();
    EXPECT_EQ(note.store().box_count, 0);
    EXPECT_TRUE(beeps.empty());
}

}  // namespace
