// Copying the picture to the clipboard.
#pragma once

#include <windows.h>

#include "ui/bitmap.h"

namespace output {

enum class ClipboardOutcome { Copied, Busy };

inline constexpr wchar_t kClipboardBusyMessage[] =
    L"The clipboard is in use by another program, so the picture was not copied.\r\n\r\n"
    L"Try again in a moment.";

// Puts the picture on the clipboard as a 24-bit device-independent bitmap (CF_DIB), replacing
// what was there; the system offers it as CF_BITMAP as well. While another program holds the
// clipboard open, tries again for about wait_ms; Busy when it stays held, with the clipboard
// left as it was. Throws ui::AppError on any other failure.
ClipboardOutcome copy_picture_to_clipboard(HWND owner, const ui::Bitmap& picture,
                                           int wait_ms = 500);

}  // namespace output
