// A whole-number spin box: a text box with two arrow buttons. It reads the text as typed (no
// number: its minimum), corrects a typed value into range when it loses the focus, and runs its
// change handler on arrow steps and on that correction, never while the user types.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "annotate/palette_logic.h"
#include "ui/window.h"

namespace annotate {

class SpinBox : public ui::Window {
  public:
    SpinBox() = default;
    void create(HWND parent, int id, RECT bounds, palette::SpinRange range, int initial);

    int value() const;
    std::wstring text() const;
    void set_text(const std::wstring& text);
    HWND edit() const { return edit_; }
    // One arrow step; runs the change handler.
    void step(int delta);
    // What losing the focus does: corrects the text into range and then runs the handler.
    void correct();

    std::function<void()> on_change;

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    static LRESULT CALLBACK edit_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                      DWORD_PTR self);
    RECT arrows() const;
    void paint();

    HWND edit_ = nullptr;
    palette::SpinRange range_;
    int held_ = 0;  // +1 or -1 while an arrow button is held down
};

}  // namespace annotate
