// The current printer of the run and one print job of the picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ui/bitmap.h"
#include "ui/handles.h"

namespace output {

enum class Orientation : short { Portrait = DMORIENT_PORTRAIT, Landscape = DMORIENT_LANDSCAPE };

inline constexpr wchar_t kPrintJobTitle[] = L"Snipquill";

// Which printer prints and with which settings (its DEVMODE, orientation included). Starts as
// the system's default printer, looked up when first needed; the set-up dialog changes it for
// the rest of the run. Every operation throws ui::AppError with a clear message when there is
// no printer or the chosen one cannot be used.
class Printer {
  public:
    Printer() = default;

    void set_orientation(Orientation orientation);
    Orientation orientation();
    const std::wstring& name();

    // The platform's printer set-up dialog, opened on the current printer and settings (before
    // any is chosen: on the default printer, or on any installed one when there is no default);
    // OK makes its choice current, Cancel changes nothing.
    void setup_dialog(HWND owner);

    // A device context for a job with the current settings.
    ui::UniqueDC create_dc();

  private:
    void ensure_chosen();
    // The printer's own settings; throws when it cannot be used.
    static std::vector<std::byte> read_settings(const std::wstring& name);
    DEVMODEW* devmode() { return reinterpret_cast<DEVMODEW*>(devmode_.data()); }

    std::wstring name_;
    std::vector<std::byte> devmode_;  // DEVMODEW followed by the driver's private part
};

// One job titled "Snipquill": the picture at the size it has on a screen of screen_ppi pixels
// per inch, reduced to fit the printable area with its proportions kept, at the area's top-left
// corner.
void print_picture(Printer& printer, const ui::Bitmap& picture, int screen_ppi);

// The screen's logical pixels per inch.
int screen_pixels_per_inch();

}  // namespace output
