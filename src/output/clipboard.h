// Copying the picture to the clipboard.
#pragma once

#include <windows.h>

#include "ui/bitmap.h"

namespace output {

enum class ClipboardOutcome { Copied, Busy };

inline constexpr wchar_t kClipboardBusyMessage[] =
    L"The clipboard is in use by another program, so the picture was not copied.\r\n\r\n"
    L"Try again in a moment.";

// The registered clipboard format "PNG", which browsers, chat programs and office suites paste
// more faithfully than a bitmap (Wine hands it to X programs as image/png).
UINT png_clipboard_format();

// What the note has put on the clipboard. The bitmap goes there at once; the PNG costs an
// encoding, so it is only promised and written when a program asks for it, from a copy of the
// picture as it was copied (the note may be drawn on meanwhile).
class ClipboardOffer {
  public:
    // Puts the picture on the clipboard as a 24-bit device-independent bitmap (CF_DIB),
    // replacing what was there, and promises it as PNG; the system offers it as CF_BITMAP as
    // well. While another program holds the clipboard open, tries again for about wait_ms;
    // Busy when it stays held, with the clipboard and this offer left as they were. Throws
    // ui::AppError on any other failure.
    ClipboardOutcome copy(HWND owner, const ui::Bitmap& picture, int wait_ms = 500);

    // WM_RENDERFORMAT: writes the promised format onto the open clipboard. False when the
    // format is not one this offer promised (or nothing is promised any more).
    bool render(UINT format);
    // WM_RENDERALLFORMATS: the owner is going away; writes everything still promised, so the
    // picture can be pasted after the note has closed.
    void render_all(HWND owner);
    // WM_DESTROYCLIPBOARD: another program has replaced the contents; the copy is let go.
    void release() { picture_ = ui::Bitmap(); }

    bool pending() const { return !picture_.empty(); }

  private:
    ui::Bitmap picture_;
};

}  // namespace output
