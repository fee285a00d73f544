// The redraw after texts changed repaints only where they were and are. Over many random moves,
// restyles, selections, additions and deletions (texts overlapping each other, the boxes and the
// picture's edges, with shadows and handles), the picture must stay exactly what a full redraw
// of the same annotations gives.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "annotate_note_support.h"

using namespace annotate_note;
using annotate::Point;
using ui::MouseButton;

namespace {

TEST(AnnotatePartialRedraw, AfterEveryChangeThePictureIsAFullRedraw) {
    CapturedNote n(L"/p20,20,420,330");
    auto& note = n.note();
    auto& texts = note.MyCanvasText1();
    const int w = n.picture().width(), h = n.picture().height();

    texts.SetShadow(true);
    const std::wstring words[] = {L"First",   L"Second text", L"Überlappend", L"fjord ffi",
                                  L"W",       L"Ägypten jy",  L"你好 Привет", L"",
                                  L"x x x x", L"Quill"};
    const Point places[] = {{30, 150}, {120, 40}, {140, 48}, {-12, 5},   {w - 20, h - 8},
                            {60, 60},  {70, 66},  {200, 2},  {5, h - 3}, {w - 50, 100}};
    for (std::size_t i = 0; i < std::size(places); ++i)
        n.add_text(words[i % std::size(words)].empty() ? L"e" : words[i % std::size(words)],
                   places[i].x, places[i].y);
    for (int i = 0; i < 3; ++i) {
        note.TeEffectButton4Click(ui::rgb(255, 60 * i, 0), 1 + i);
        note.TeEffectButton5Click(ui::rgb(0, 80 * i, 255), 2 + i);
        for (int v = 0; v < 5; ++v) note.store().boxes[i]->SetPoint(v, 60 * i, 30 * i);
        for (int v = 0; v < 2; ++v) note.store().arrows[i]->SetPoint(v, 90 * i + 100, 40 * i);
    }
    n.fresh_redraw();

    std::mt19937 rng(8675309);
    auto pick = [&](int n_) { return static_cast<int>(rng() % static_cast<unsigned>(n_)); };
    auto some_text = [&] { return pick(texts.GetShapesCount()); };
    auto shape = [&](int i) {
        return const_cast<annotate::CanvasText::TMyShape*>(texts.GetShape(i));
    };
    const wchar_t* faces[] = {L"MS Sans Serif", L"Arial", L"Times New Roman", L"Courier New"};
    const ui::FontStyles styles[] = {0, ui::kFontBold, ui::kFontItalic,
                                     ui::kFontItalic | ui::kFontBold, ui::kFontUnderline};

    std::ostringstream trail;
    int checks = 0;
    for (int round = 0; round < 250 && !HasFailure(); ++round) {
        const int changes = 1 + pick(3);
        for (int c = 0; c < changes; ++c) {
            const int what = pick(9);
            const int i = some_text();
            trail << what << ":" << i << " ";
            switch (what) {
                case 0: {  // dragged with the mouse through the picture's chain
                    const auto& p = texts.GetShape(i)->ThePoints;
                    const int x = p[0].x + pick(std::max(1, p[1].x - p[0].x));
                    const int y = p[0].y + pick(std::max(1, p[1].y - p[0].y));
                    const int tx = x + pick(121) - 60, ty = y + pick(81) - 40;
                    n.down(MouseButton::Left, x, y);
                    n.move((x + tx) / 2, (y + ty) / 2);
                    n.move(tx, ty);
                    n.up(MouseButton::Left, tx, ty);
                    break;
                }
                case 1: {  // moved anywhere, past the edges too
                    const Point to{pick(w + 80) - 40, pick(h + 60) - 30};
                    shape(i)->DragChangeValue(shape(i)->point(0), to);
                    texts.DrawAllShape();
                    note.draw_objects();
                    break;
                }
                case 2:
                    texts.SetShapeStyle(i, styles[pick(std::size(styles))]);
                    note.draw_objects();
                    break;
                case 3:
                    texts.SetShapeSize(i, 6 + pick(24));
                    note.draw_objects();
                    break;
                case 4: {
                    ui::FontSpec f = texts.GetShape(i)->Font;
                    f.name = faces[pick(std::size(faces))];
                    texts.SetShapeFont(i, f);
                    texts.SetShapeColor(i, ui::rgb(pick(256), pick(256), pick(256)));
                    note.draw_objects();
                    break;
                }
                case 5:
                    texts.SetShapeText(i, words[pick(std::size(words))]);
                    note.draw_objects();
                    break;
                case 6:  // a click: selects a text, a box, or deselects them
                    if (pick(2)) {
                        texts.SelectShape(i);
                        note.draw_objects();
                    } else {
                        n.click(MouseButton::Left, pick(w), pick(h));
                    }
                    break;
                case 7:
                    if (texts.GetShapesCount() > 5) {
                        texts.DeleteShape(i);
                        note.draw_objects();
                    }
                    break;
                case 8:
                    if (texts.GetShapesCount() < 14)
                        n.add_text(words[pick(std::size(words))] + L"+", pick(w + 40) - 20,
                                   pick(h + 20) - 10);
                    break;
            }
        }
        const Pixels now = snap(n.picture());
        ASSERT_EQ(differing(now, n.fresh_redraw()), 0) << "round " << round << ": " << trail.str();
        ++checks;
        trail.str("");
    }
    EXPECT_EQ(checks, 250);
}

}  // namespace
