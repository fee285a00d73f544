#include "annotate/palette_logic.h"

#include <climits>

namespace annotate::palette {

namespace {

constexpr ui::Color hex(std::uint32_t rrggbb) {
    return ui::rgb((rrggbb >> 16) & 0xFF, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF);
}

bool blank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

const std::array<GridColor, kGridCells> kColorGrid = {{
    {hex(0x000000), L"Black"},
    {hex(0x993300), L"Brown"},
    {hex(0x333300), L"Olive Green"},
    {hex(0x003300), L"Dark Green"},
    {hex(0x003366), L"Dark Teal"},
    {hex(0x000080), L"Dark Blue"},
    {hex(0x333399), L"Indigo"},
    {hex(0x333333), L"Gray-80%"},
    {hex(0x800000), L"Dark Red"},
    {hex(0xFF6600), L"Orange"},
    {hex(0x808000), L"Dark Yellow"},
    {hex(0x008000), L"Green"},
    {hex(0x008080), L"Teal"},
    {hex(0x0000FF), L"Blue"},
    {hex(0x666699), L"Blue-Gray"},
    {hex(0x808080), L"Gray-50%"},
    {hex(0xFF0000), L"Red"},
    {hex(0xFF9900), L"Light Orange"},
    {hex(0x99CC00), L"Lime"},
    {hex(0x339966), L"Sea Green"},
    {hex(0x33CCCC), L"Aqua"},
    {hex(0x3366FF), L"Light Blue"},
    {hex(0x800080), L"Violet"},
    {hex(0x969696), L"Gray-40%"},
    {hex(0xFF00FF), L"Pink"},
    {hex(0xFFCC00), L"Gold"},
    {hex(0xFFFF00), L"Yellow"},
    {hex(0x00FF00), L"Bright Green"},
    {hex(0x00FFFF), L"Turquoise"},
    {hex(0x00CCFF), L"Sky Blue"},
    {hex(0x993366), L"Plum"},
    {hex(0xC0C0C0), L"Gray-25%"},
    {hex(0xFF99CC), L"Rose"},
    {hex(0xFFCC99), L"Tan"},
    {hex(0xFFFF99), L"Light Yellow"},
    {hex(0xCCFFCC), L"Light Green"},
    {hex(0xCCFFFF), L"Light Turquoise"},
    {hex(0x99CCFF), L"Pale Blue"},
    {hex(0xCC99FF), L"Lavender"},
    {hex(0xFFFFFF), L"White"},
}};

int grid_index_of(ui::Color c) {
    for (int i = 0; i < kGridCells; ++i)
        if (kColorGrid[static_cast<std::size_t>(i)].color == c) return i;
    return -1;
}

std::optional<int> parse_whole(std::wstring_view text) {
    std::size_t i = 0, n = text.size();
    while (i < n && blank(text[i])) ++i;
    while (n > i && blank(text[n - 1])) --n;
    bool negative = false;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == n) return std::nullopt;
    long long v = 0;
    for (; i < n; ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        v = v * 10 + (text[i] - L'0');
        if (v > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
    }
    if (negative) v = -v;
    if (v > INT_MAX || v < INT_MIN) return std::nullopt;
    return static_cast<int>(v);
}

int spin_value(std::wstring_view text, SpinRange r) { return parse_whole(text).value_or(r.min); }

int spin_clamp(int value, SpinRange r) {
    if (value < r.min) return r.min;
    if (value > r.max) return r.max;
    return value;
}

int spin_step(std::wstring_view text, int delta, SpinRange r) {
    const long long v = static_cast<long long>(spin_value(text, r)) + delta;
    if (v < r.min) return r.min;
    if (v > r.max) return r.max;
    return static_cast<int>(v);
}

std::optional<int> spin_correction(std::wstring_view text, SpinRange r) {
    const std::optional<int> v = parse_whole(text);
    if (!v) return r.min;
    const int c = spin_clamp(*v, r);
    if (c != *v) return c;
    return std::nullopt;
}

int panel_navigate(int from, NavKey key, PanelLayout layout) {
    const int first = layout.automatic ? kAutomaticItem : 0;
    if (from == kNoItem) return first;
    if (from == kAutomaticItem) {
        if (key == NavKey::Down || key == NavKey::Right) return 0;
        if (key == NavKey::Up || key == NavKey::Left)
            return layout.other_colors ? kOtherItem : kAutomaticItem;
        return from;
    }
    if (from == kOtherItem) {
        if (key == NavKey::Up || key == NavKey::Left) return kGridCells - kGridColumns;
        return layout.automatic ? kAutomaticItem : kOtherItem;
    }
    const int row = from / kGridColumns;
    switch (key) {
        case NavKey::Left:
            if (from > 0) return from - 1;
            return layout.automatic ? kAutomaticItem : kGridCells - 1;
        case NavKey::Right:
            if (from < kGridCells - 1) return from + 1;
            return layout.other_colors ? kOtherItem : 0;
        case NavKey::Up:
            if (row > 0) return from - kGridColumns;
            return layout.automatic ? kAutomaticItem : from;
        case NavKey::Down:
            if (row < kGridRows - 1) return from + kGridColumns;
            return layout.other_colors ? kOtherItem : from;
    }
    return from;
}

ui::FontSpec text_font(const ui::FontSpec& face, ui::Color color, int size, bool bold) {
    ui::FontSpec f = face;
    f.color = color;
    f.set_size(size);
    f.style = bold ? ui::FontStyles{ui::kFontBold} : ui::FontStyles{0};
    return f;
}

}  // namespace annotate::palette
