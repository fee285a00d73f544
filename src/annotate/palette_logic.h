// The platform-free rules behind the annotation palette's controls: how a spin box reads its
// text, the colour grid of the colour drop-downs and how the keyboard walks it, and the font the
// palette hands to the text component. No window is involved, so all of it is tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "ui/surface.h"

namespace annotate::palette {

// A whole-number spin box: what it reads is what is typed, range correction comes only when the
// box loses the focus, and steps stay inside the range.
struct SpinRange {
    int min = 0;
    int max = 0;
};

// The whole number the text spells (optional sign, decimal digits, blanks around), or none.
std::optional<int> parse_whole(std::wstring_view text);
// What the box reads: the typed number as it stands, or the minimum when it is no number.
int spin_value(std::wstring_view text, SpinRange r);
// The value brought into the range.
int spin_clamp(int value, SpinRange r);
// One arrow step (+1 or -1) from what the box reads, kept in the range.
int spin_step(std::wstring_view text, int delta, SpinRange r);
// The text the box shows after leaving the focus; none when the typed text already stands.
// A number out of range is corrected; a text that is no number becomes the minimum.
std::optional<int> spin_correction(std::wstring_view text, SpinRange r);

// The standard colour grid: 5 rows of 8, row by row.
inline constexpr int kGridColumns = 8;
inline constexpr int kGridRows = 5;
inline constexpr int kGridCells = kGridColumns * kGridRows;

struct GridColor {
    ui::Color color;
    const wchar_t* name;
};
extern const std::array<GridColor, kGridCells> kColorGrid;
// The cell holding the colour, or -1.
int grid_index_of(ui::Color c);

// The items of a drop-down panel in keyboard order: "Automatic" (when offered), the grid cells,
// "Other Colors..." (when offered).
struct PanelLayout {
    bool automatic = false;
    bool other_colors = false;
};
inline constexpr int kAutomaticItem = -2;
inline constexpr int kOtherItem = -3;
inline constexpr int kNoItem = -1;

enum class NavKey : std::uint8_t { Left, Right, Up, Down };
// The item the arrow key leads to from item `from` (a cell 0..39, kAutomaticItem, kOtherItem or
// kNoItem when nothing is highlighted yet). Left and right run through the cells row by row;
// up and down move by a row, leaving the grid onto "Automatic" above or "Other Colors..." below
// when they are offered, otherwise staying put.
int panel_navigate(int from, NavKey key, PanelLayout layout);

// The font of the next new text as Add Text sets it up: the face chosen in the font list (or
// the font list's initial face while none is chosen), the Text group's colour and size, bold or
// no style.
ui::FontSpec text_font(const ui::FontSpec& face, ui::Color color, int size, bool bold);

}  // namespace annotate::palette
