// The palette's platform-free rules: spin box reading and range, the colour grid, the panel's
// keyboard walk and the font Add Text sets up.
#include <gtest/gtest.h>

#include "annotate/palette_logic.h"

using namespace annotate::palette;

TEST(PaletteSpinBox, ReadsTypedTextCorrectsOnlyOnLeavingAndStepsInRange) {
    const SpinRange size{8, 36};
    struct Case {
        const wchar_t* text;
        int value;                     // what handlers read
        std::optional<int> corrected;  // what leaving the box shows, if it changes
        int up, down;                  // one arrow step from the text
    } cases[] = {
        {L"12", 12, std::nullopt, 13, 11},
        {L"40", 40, 36, 36, 36},
        {L"3", 3, 8, 8, 8},
        {L"", 8, 8, 9, 8},
        {L"abc", 8, 8, 9, 8},
        {L" 20 ", 20, std::nullopt, 21, 19},
        {L"-5", -5, 8, 8, 8},
        {L"36", 36, std::nullopt, 36, 35},
        {L"8", 8, std::nullopt, 9, 8},
        {L"1x", 8, 8, 9, 8},
        {L"99999999999", 8, 8, 9, 8},
        {L"+", 8, 8, 9, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "text '" << std::wstring(c.text).size() << "' chars");
        EXPECT_EQ(spin_value(c.text, size), c.value);
        EXPECT_EQ(spin_correction(c.text, size), c.corrected);
        EXPECT_EQ(spin_step(c.text, +1, size), c.up);
        EXPECT_EQ(spin_step(c.text, -1, size), c.down);
    }
    EXPECT_EQ(parse_whole(L"2147483647"), 2147483647);
    EXPECT_EQ(parse_whole(L"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parse_whole(L"2147483648"), std::nullopt);
}

TEST(PaletteColorGrid, FortyDistinctOfficeColoursWithRedBlackAndWhite) {
    EXPECT_EQ(kColorGrid.size(), 40u);
    EXPECT_EQ(kColorGrid[0].color, ui::rgb(0, 0, 0));
    EXPECT_EQ(grid_index_of(255), 16);  // red, first of the third row
    EXPECT_STREQ(kColorGrid[16].name, L"Red");
    EXPECT_EQ(kColorGrid[39].color, ui::rgb(255, 255, 255));
    EXPECT_EQ(kColorGrid[13].color, ui::rgb(0, 0, 255));
    for (int i = 0; i < kGridCells; ++i)
        EXPECT_EQ(grid_index_of(kColorGrid[static_cast<std::size_t>(i)].color), i);
    EXPECT_EQ(grid_index_of(ui::rgb(1, 2, 3)), -1);
}

TEST(PaletteColorGrid, KeyboardWalk) {
    const PanelLayout grid_only{}, full{true, true};
    struct Case {
        int from;
        NavKey key;
        PanelLayout layout;
        int to;
    } cases[] = {
        {kNoItem, NavKey::Down, grid_only, 0}, {kNoItem, NavKey::Down, full, kAutomaticItem},
        {0, NavKey::Right, grid_only, 1},      {7, NavKey::Right, grid_only, 8},  // row by row
        {8, NavKey::Left, grid_only, 7},       {3, NavKey::Down, grid_only, 11},
        {35, NavKey::Down, grid_only, 35},  // bottom row stays without "Other Colors..."
        {35, NavKey::Down, full, kOtherItem},  {3, NavKey::Up, grid_only, 3},
        {3, NavKey::Up, full, kAutomaticItem}, {kAutomaticItem, NavKey::Down, full, 0},
        {kOtherItem, NavKey::Up, full, 32},    {39, NavKey::Right, grid_only, 0},
        {0, NavKey::Left, grid_only, 39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "from " << c.from);
        EXPECT_EQ(panel_navigate(c.from, c.key, c.layout), c.to);
    }
}

TEST(PaletteAddText, FontKeepsTheFaceAndTakesColourSizeAndBold) {
    ui::FontSpec face;
    face.name = L"Arial";
    face.style = ui::kFontItalic;
    const ui::FontSpec bold = text_font(face, 255, 12, true);
    EXPECT_EQ(bold.name, L"Arial");
    EXPECT_EQ(bold.color, 255u);
    EXPECT_EQ(bold.size(), 12);
    EXPECT_EQ(bold.height, -16);
    EXPECT_EQ(bold.style, ui::FontStyles{ui::kFontBold});  // the whole style set is replaced
    EXPECT_EQ(text_font(face, 0, 36, false).style, ui::FontStyles{0});
    EXPECT_EQ(text_font(ui::FontSpec{}, 0, 8, false).name, ui::FontSpec{}.name);
}
