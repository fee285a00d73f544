#include "output/save_format.h"

#include <algorithm>
#include <array>

namespace snipquill {

namespace {

constexpr std::array<SaveFilter, 5> kFilters{{
    {L"Windows Bitmap (*.bmp)", L"*.BMP", L".bmp"},
    {L"Jpeg Files (*.jpg)", L"*.jpg", L".jpg"},
    {L"GIF Files (*.gif)", L"*.gif", L".gif"},
    {L"PNG Files (*.png)", L"*.png", L".png"},
    {L"All Files (*.*)", L"*.*", L".bmp"},
}};

// Letter case of extensions is compared in ASCII: the four names are ASCII, so no other
// letter can make a match.
bool same_ascii_ignoring_case(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    auto up = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c; };
    return std::equal(a.begin(), a.end(), b.begin(),
                      [&](wchar_t x, wchar_t y) { return up(x) == up(y); });
}

}  // namespace

std::span<const SaveFilter> save_filters() { return kFilters; }

std::wstring dialog_filter_text() {
    std::wstring text = kSaveFilter;
    std::replace(text.begin(), text.end(), L'|', L'\0');
    text.push_back(L'\0');
    text.push_back(L'\0');
    return text;
}

std::wstring dialog_default_extension(std::wstring_view last_save_ext) {
    if (!last_save_ext.empty() && last_save_ext.front() == L'.') last_save_ext.remove_prefix(1);
    return last_save_ext.empty() ? std::wstring(L"bmp") : std::wstring(last_save_ext);
}

std::wstring_view extension_of(std::wstring_view filename) {
    const std::size_t separator = filename.find_last_of(L"\\/:");
    const std::size_t dot = filename.find_last_of(L'.');
    if (dot == std::wstring_view::npos) return {};
    if (separator != std::wstring_view::npos && dot < separator) return {};
    return filename.substr(dot);
}

std::wstring complete_name(std::wstring_view name, int filter_index) {
    std::wstring out(name);
    if (extension_of(name).empty()) {
        const bool known = filter_index >= 1 && filter_index <= 4;
        out += known ? kFilters[static_cast<std::size_t>(filter_index - 1)].bare_name_extension
                     : kFilters.back().bare_name_extension;
    }
    return out;
}

std::optional<ImageFormat> format_for_extension(std::wstring_view extension) {
    if (same_ascii_ignoring_case(extension, L".BMP")) return ImageFormat::Bmp;
    if (same_ascii_ignoring_case(extension, L".JPG")) return ImageFormat::Jpeg;
    if (same_ascii_ignoring_case(extension, L".GIF")) return ImageFormat::Gif;
    if (same_ascii_ignoring_case(extension, L".PNG")) return ImageFormat::Png;
    if (same_ascii_ignoring_case(extension, L".JPEG")) return ImageFormat::Jpeg;
    return std::nullopt;
}

std::wstring_view saved_extension(ImageFormat format) {
    switch (format) {
        case ImageFormat::Bmp:
            return L".bmp";
        case ImageFormat::Jpeg:
            return L".jpg";
        case ImageFormat::Gif:
            return L".gif";
        case ImageFormat::Png:
            return L".png";
    }
    return L".bmp";
}

std::wstring unsupported_extension_message(std::wstring_view filename) {
    return L"Snipquill saves pictures as Windows Bitmap (.bmp), JPEG (.jpg), GIF (.gif) or PNG "
           L"(.png) files.\r\n\r\n\"" +
           std::wstring(filename) +
           L"\" does not end in one of these extensions, so nothing was saved.";
}

}  // namespace snipquill
