// A captured note over a pattern, and helpers that drive its picture's mouse slots directly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/note_window.h"
#include "win_test.h"

namespace annotate_note {

using Pixels = std::vector<std::uint32_t>;

inline Pixels snap(const ui::Bitmap& b) {
    GdiFlush();
    Pixels p(b.bits(), b.bits() + static_cast<std::size_t>(b.width()) * b.height());
    for (auto& v : p) v &= 0xFFFFFF;
    return p;
}

inline int differing(const Pixels& a, const Pixels& b) {
    if (a.size() != b.size()) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
    return n;
}

class CapturedNote {
  public:
    explicit CapturedNote(const wchar_t* place = L"/p40,40,320,260")
        : pattern_(0, 0, 600, 500), note_(services()) {
        note_.FormCreate(place);
        ShowWindow(note_.hwnd(), SW_SHOWNOACTIVATE);
        wintest::pump(100);
        note_.Annotate1Click();
    }

    app::TForm1& note() { return note_; }
    ui::Bitmap& picture() { return note_.Image1().bitmap(); }
    std::vector<UINT>& beeps() { return beeps_; }

    void down(ui::MouseButton b, int x, int y) {
        note_.Image1().mouse().down(&note_.Image1(), b, 0, x, y);
    }
    void move(int x, int y) { note_.Image1().mouse().move(&note_.Image1(), 0, x, y); }
    void up(ui::MouseButton b, int x, int y) {
        note_.Image1().mouse().up(&note_.Image1(), b, 0, x, y);
    }
    void click(ui::MouseButton b, int x, int y) {
        down(b, x, y);
        up(b, x, y);
    }

    // What the palette's Add Text does.
    void add_text(const std::wstring& s, int x = 10, int y = 10) {
        auto& t = note_.MyCanvasText1();
        t.SetText(s);
        t.SetShapeTool(annotate::CanvasText::TDrawTool::SpText);
        t.MouseDown(ui::MouseButton::Left, 0, x, y);
        t.MouseUp(ui::MouseButton::Left, 0, x, y);
        t.SetShapeTool(annotate::CanvasText::TDrawTool::SpSelecting);
        note_.draw_objects();
    }

    // The picture as a full redraw of the same annotations on the clean background gives it.
    // (Redrawing a picture that is already right changes nothing.) Switching the shadow off and
    // on again makes the text component draw every text anew instead of repeating its last
    // redraw.
    Pixels fresh_redraw() {
        auto& t = note_.MyCanvasText1();
        const bool shadow = t.Shadow();
        t.SetShadow(!shadow);
        t.SetShadow(shadow);
        note_.draw_objects();
        return snap(picture());
    }

  private:
    app::TForm1::Services services() {
        app::TForm1::Services s;
        s.show_help = [](HWND, const std::wstring&) {};
        s.program_path = L"C:\\windows\\system32\\notepad.exe";
        s.message_beep = [this](UINT type) { beeps_.push_back(type); };
        return s;
    }

    wintest::PatternWindow pattern_;
    std::vector<UINT> beeps_;
    app::TForm1 note_;
};

}  // namespace annotate_note
