#include "app/command_line.h"

#include <array>
#include <limits>

namespace snipquill {

std::wstring split_field(int n, std::wstring_view text) {
    if (n < 1 || n > 50) return {};
    if (n == 1) return std::wstring(text.substr(0, text.find(L',')));

    // Comma positions count from 1; entry 0 stands before the first character.
    std::array<int, 51> comma{};
    for (int i = 0; i <= n; ++i) comma[i] = -1;
    if (text.find(L',') == std::wstring_view::npos) return {};
    comma[0] = 0;
    int k = 1;
    for (std::size_t pos = 1; pos <= text.size(); ++pos) {
        if (text[pos - 1] == L',') comma[k++] = static_cast<int>(pos);
        if (k > 49) return {};
    }
    if (n > k) return {};

    const std::size_t start = static_cast<std::size_t>(comma[n - 1]);
    std::wstring field = comma[n] == -1
                             ? std::wstring(text.substr(start))
                             : std::wstring(text.substr(start, comma[n] - 1 - comma[n - 1]));
    if (field == L"'") field = L",";
    return field;
}

std::optional<std::int32_t> parse_int32(std::wstring_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    if (i == text.size()) return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9') return std::nullopt;
        value = value * 10 + (text[i] - L'0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

namespace {

std::wstring ascii_upper(std::wstring_view s) {
    std::wstring out(s);
    for (auto& c : out)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return out;
}

}  // namespace

StartSwitches parse_start_switches(std::wstring_view first_argument) {
    StartSwitches result;
    std::wstring s = ascii_upper(first_argument);
    if (s == L"/M") result.minimize = true;
    if (s.find(L"/P") == std::wstring::npos) return result;

    result.place = true;
    s.erase(0, 2);
    static constexpr const wchar_t* names[] = {L"left", L"top", L"width", L"height"};
    std::optional<std::int32_t>* slots[] = {&result.left, &result.top, &result.width,
                                            &result.height};
    for (int i = 0; i < 4; ++i) {
        // The field is cut from the upper-cased text; report what the user typed.
        std::wstring field = split_field(i + 1, s);
        std::optional<std::int32_t> value = parse_int32(field);
        if (!value) {
            std::wstring original = split_field(i + 1, std::wstring(first_argument).erase(0, 2));
            result.error = L"Invalid command-line argument \"" + std::wstring(first_argument) +
                           L"\": the " + names[i] + L" value " +
                           (original.empty() ? L"is missing"
                                             : L"\"" + original + L"\" is not a whole number") +
                           L".";
            break;
        }
        *slots[i] = i >= 2 ? clamp_note_size(*value) : *value;
    }
    return result;
}

}  // namespace snipquill
