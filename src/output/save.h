// Saving the picture: the save dialog and the write.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "ui/bitmap.h"

namespace output {

// Runs the save dialog with the filter list, filter index last_filter_index and the default
// extension taken from last_save_ext, asking before an existing file is replaced. On OK,
// last_filter_index becomes the chosen filter and the chosen name comes back, completed with
// its filter's extension when it has none. None when cancelled; throws when the dialog fails.
std::optional<std::wstring> ask_save_file_name(HWND owner, int& last_filter_index,
                                               const std::wstring& last_save_ext);

// Writes the picture to filename in the format its extension names. An existing file is
// replaced only once the new one is complete, so a failure leaves it as it was. last_save_ext
// becomes the format's extension: before the write for JPEG, GIF and PNG, after it for a
// bitmap. False, with nothing written and nothing changed, when the extension names none of
// the formats. Throws ui::AppError when encoding or writing fails.
bool save_picture(const ui::Bitmap& picture, const std::wstring& filename,
                  std::wstring& last_save_ext);

}  // namespace output
