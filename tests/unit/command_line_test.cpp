#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>

using snipquill::parse_int32;
using snipquill::parse_start_switches;
using snipquill::split_field;

namespace {

std::wstring commas(int n) {
    std::wstring s = L"a";
    for (int i = 0; i < n; ++i) s += L",x";
    return s;
}

struct FieldCase {
    int n;
    std::wstring text;
    std::wstring expected;
};

TEST(SplitField, Table) {
    const FieldCase cases[] = {
        {1, L"100,50,300,200", L"100"},
        {2, L"100,50,300,200", L"50"},
        {4, L"100,50,300,200", L"200"},
        {5, L"100,50,300,200", L""},  // no fifth field
        {1, L"abc", L"abc"},          // no comma: field 1 is the whole text
        {2, L"abc", L""},             // no comma: nothing beyond field 1
        {2, L"a,'", L","},            // a lone apostrophe stands for a comma
        {1, L"'", L"'"},              // ... but not in field 1
        {2, L"a,''", L"''"},          // only a single apostrophe is replaced
        {3, L"a,b", L""},             // one comma: there is no third field
        {2, L"a,b,", L"b"},
        {3, L"a,b,", L""},  // the last field is empty
        {2, L",,", L""},
        {1, L",x", L""},
        {0, L"a,b", L""},
        {51, L"a,b", L""},
        {2, L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(split_field(c.n, c.text), c.expected)
            << "n=" << c.n << " text=" << std::string(c.text.begin(), c.text.end());
}

TEST(SplitField, CommaLimit) {
    // 48 commas (49 fields) is the most that works; 49 commas give nothing for n >= 2.
    EXPECT_EQ(split_field(2, commas(48)), L"x");
    EXPECT_EQ(split_field(49, commas(48)), L"x");
    EXPECT_EQ(split_field(50, commas(48)), L"");
    EXPECT_EQ(split_field(2, commas(49)), L"");
    EXPECT_EQ(split_field(1, commas(49)), L"a");  // field 1 has no limit
}

TEST(ParseInt32, WholeNumbersOnly) {
    EXPECT_EQ(parse_int32(L"0"), 0);
    EXPECT_EQ(parse_int32(L"-20"), -20);
    EXPECT_EQ(parse_int32(L"+7"), 7);
    EXPECT_EQ(parse_int32(L"  12"), 12);
    EXPECT_EQ(parse_int32(L"2147483647"), 2147483647);
    EXPECT_EQ(parse_int32(L"-2147483648"), -2147483647 - 1);
    for (const wchar_t* bad : {L"", L"-", L"P100", L"12x", L"1.5", L"2147483648", L"-2147483649",
                               L"99999999999999999999", L"12 "})
        EXPECT_FALSE(parse_int32(bad).has_value()) << std::wstring(bad).size();
}

struct SwitchCase {
    std::wstring arg;
    bool minimize;
    bool place;
    std::optional<int> left, top, width, height;
    bool error;
};

TEST(StartSwitches, Table) {
    const SwitchCase cases[] = {
        {L"", false, false, {}, {}, {}, {}, false},
        {L"/M", true, false, {}, {}, {}, {}, false},
        {L"/m", true, false, {}, {}, {}, {}, false},
        {L"/MX", false, false, {}, {}, {}, {}, false},  // must be exactly /M
        {L"/P100,50,300,200", false, true, 100, 50, 300, 200, false},
        {L"/p100,50,300,200", false, true, 100, 50, 300, 200, false},
        {L"/P100,50,1500,200", false, true, 100, 50, 0, 200, false},
        {L"/P100,50,300,1001", false, true, 100, 50, 300, 0, false},
        {L"/P100,50,-1,1000", false, true, 100, 50, 0, 1000, false},
        {L"/P-20,-20,300,200", false, true, -20, -20, 300, 200, false},
        // "/P" anywhere: the first two characters go, whatever they are.
        {L"x/P100,50,300,200", false, true, {}, {}, {}, {}, true},
        {L"/P100,x,300,200", false, true, 100, {}, {}, {}, true},
        {L"/P100,50,300", false, true, 100, 50, 300, {}, true},
        {L"/P", false, true, {}, {}, {}, {}, true},
    };
    for (const auto& c : cases) {
        const auto s = parse_start_switches(c.arg);
        SCOPED_TRACE(std::string(c.arg.begin(), c.arg.end()));
        EXPECT_EQ(s.minimize, c.minimize);
        EXPECT_EQ(s.place, c.place);
        EXPECT_EQ(s.left, c.left);
        EXPECT_EQ(s.top, c.top);
        EXPECT_EQ(s.width, c.width);
        EXPECT_EQ(s.height, c.height);
        EXPECT_EQ(!s.error.empty(), c.error);
    }
}

TEST(StartSwitches, ErrorNamesTheArgumentAndTheField) {
    const auto s = parse_start_switches(L"/p100,abc,300,200");
    EXPECT_NE(s.error.find(L"/p100,abc,300,200"), std::wstring::npos)
        << std::string(s.error.begin(), s.error.end());
    EXPECT_NE(s.error.find(L"top"), std::wstring::npos);
    EXPECT_NE(s.error.find(L"\"abc\""), std::wstring::npos);  // as typed, not upper-cased
    const auto missing = parse_start_switches(L"/P1,2,3");
    EXPECT_NE(missing.error.find(L"height value is missing"), std::wstring::npos);
}

}  // namespace
