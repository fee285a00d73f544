// Start-up switches: /M (start in the notification area) and /P<left>,<top>,<width>,<height>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace snipquill {

// The n-th comma-separated field of text, counted from 1. A field that is a single apostrophe
// stands for a comma (not for field 1). Texts with 49 or more commas give nothing for n >= 2.
std::wstring split_field(int n, std::wstring_view text);

// A signed 32-bit whole number in decimal, optionally signed, leading blanks allowed.
std::optional<std::int32_t> parse_int32(std::wstring_view text);

// What the first command-line argument asks for. The placement fields are applied to the window
// one by one in the order left, top, width, height; a field that is not a whole number stops the
// sequence there (the earlier ones are still applied) and sets error.
struct StartSwitches {
    bool minimize = false;
    bool place = false;
    std::optional<std::int32_t> left, top, width, height;
    std::wstring error;
};

StartSwitches parse_start_switches(std::wstring_view first_argument);

// Outer sizes outside 0..1000 become 0.
constexpr std::int32_t clamp_note_size(std::int32_t v) { return (v < 0 || v > 1000) ? 0 : v; }

}  // namespace snipquill
