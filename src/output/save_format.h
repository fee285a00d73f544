// Which file format a picture is saved in, and the save dialog's filter table: the rules that
// decide them, without the platform.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace snipquill {

enum class ImageFormat { Bmp, Jpeg, Gif, Png };

// The save dialog's filter text: description|pattern pairs.
inline constexpr wchar_t kSaveFilter[] =
    L"Windows Bitmap (*.bmp)|*.BMP|Jpeg Files (*.jpg)|*.jpg|GIF Files (*.gif)|*.gif|"
    L"PNG Files (*.png)|*.png|All Files (*.*)|*.*";

// Value of last_save_ext before the first save.
inline constexpr wchar_t kInitialSaveExt[] = L".BMP";

struct SaveFilter {
    std::wstring_view description;
    std::wstring_view pattern;
    std::wstring_view bare_name_extension;  // appended to a name that comes back without one
};

// The five filter entries in dialog order; filter index i (from 1) is element i - 1.
std::span<const SaveFilter> save_filters();

// kSaveFilter in the platform dialog's form: each field ends with a NUL, the list with two.
std::wstring dialog_filter_text();

// The dialog's default extension for last_save_ext: without the leading dot (the dialog adds
// its own), "bmp" when empty.
std::wstring dialog_default_extension(std::wstring_view last_save_ext);

// The text from the last dot that follows the last path separator, dot included; empty when
// there is none.
std::wstring_view extension_of(std::wstring_view filename);

// A name without extension gets the one of the filter it was chosen under (".bmp" for any
// index outside 2-4); any other name is returned as it is.
std::wstring complete_name(std::wstring_view name, int filter_index);

// The format an extension names, compared without regard to letter case: ".bmp", ".jpg" or
// ".jpeg", ".gif", ".png". None for anything else.
std::optional<ImageFormat> format_for_extension(std::wstring_view extension);

// What last_save_ext becomes when a file of this format is saved.
std::wstring_view saved_extension(ImageFormat format);

// A bitmap is written before last_save_ext changes; the other formats record it first, so a
// failed JPEG, GIF or PNG write still leaves it changed.
constexpr bool records_extension_before_write(ImageFormat format) {
    return format != ImageFormat::Bmp;
}

// The message for a name whose extension is none of the four formats.
std::wstring unsupported_extension_message(std::wstring_view filename);

}  // namespace snipquill
