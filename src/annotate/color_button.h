// The colour drop-down button: a button showing its colour, with an arrow that opens a panel of
// the standard colour grid. The Box and Arrow buttons also offer "Automatic", "Other Colors..."
// (the system's colour dialog) and a drag bar that tears the panel off as a floating "Color
// Window". Clicking the button's face runs on_click; a colour picked anywhere runs on_change.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "annotate/palette_logic.h"
#include "ui/window.h"

namespace annotate {

inline constexpr wchar_t kAutomaticCaption[] = L"Automatic";
inline constexpr wchar_t kOtherColorsCaption[] = L"Other Colors...";
inline constexpr wchar_t kDragToFloatHint[] = L"Drag to float";
inline constexpr wchar_t kColorWindowTitle[] = L"Color Window";

class ColorButton;

// The colour "Automatic" stands for: the window text colour of the classic scheme.
inline constexpr ui::Color kAutomaticColor = 0;

// The panel, as a drop-down under its button or floating with its own caption.
class ColorPanel : public ui::Window {
  public:
    enum class Mode { DropDown, Floating };
    ColorPanel(ColorButton& button, Mode mode);
    void show_at(POINT screen_top_left);
    void hide();
    bool visible() const { return hwnd() && IsWindowVisible(hwnd()); }
    // Arrow keys, Enter and Esc as the panel takes them.
    void key(WPARAM vk);

    // Item rectangles in client coordinates (empty when the item is not offered).
    RECT drag_bar() const;
    RECT item_rect(int item) const;
    int item_at(POINT client) const;
    int highlighted() const { return hot_; }
    const wchar_t* hint() const;
    Mode mode() const { return mode_; }
    // Picks item (a cell, kAutomaticItem or kOtherItem) as a click on it does.
    void pick(int item);

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    SIZE client_size() const;
    void paint();
    void set_hot(int item);

    ColorButton& button_;
    Mode mode_;
    int hot_ = palette::kNoItem;
    bool dragging_bar_ = false;
    bool bar_hot_ = false;
    POINT drag_from_{};
};

class ColorButton : public ui::Window {
  public:
    struct Options {
        bool automatic = false;
        bool other_colors = false;
        bool tear_off = false;
    };
    void create(HWND parent, int id, RECT bounds, ui::Color initial, Options options);
    ~ColorButton() override;

    ui::Color color() const { return color_; }
    // A colour picked: shown, then on_change.
    void pick(ui::Color c);
    const Options& options() const { return options_; }

    void open_panel();
    void close_panel();
    ColorPanel* panel() const { return panel_.get(); }
    ColorPanel* floating() const { return floating_.get(); }
    // Tears the panel off: it floats at screen point p with its own caption.
    void tear_off(POINT p);
    // The system's colour dialog, starting at the current colour; picks what it answers.
    void other_colors();

    std::function<void()> on_click;
    std::function<void()> on_change;

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    friend class ColorPanel;
    RECT arrow_rect() const;
    void paint();

    ui::Color color_ = 0;
    Options options_;
    bool pressed_ = false;
    std::unique_ptr<ColorPanel> panel_;
    std::unique_ptr<ColorPanel> floating_;
};

}  // namespace annotate
