// The program-wide values, one set per note. The note window owns it, so a test can start from a
// fresh one.
#pragma once

#include <string>

namespace app {

struct AppState {
    // The note's picture.
    bool captured = false;      // frozen: the picture holds the screen pixels
    bool layout_ready = false;  // creation finished; until then resizing leaves the layout alone
    int frozen_width = 0;       // outer size at creation and at each capture
    int frozen_height = 0;

    // Start-up.
    bool minimize_pending = false;  // set by /M and Minimize To Tray
    std::wstring data_folder;       // where snipquill.chm lives; ends with a separator

    // Saving.
    int last_filter_index = 1;             // filter chosen in the last accepted save dialog
    std::wstring last_save_ext = L".BMP";  // extension of the last file written; default extension

    // E-mail.
    std::wstring temp_folder;     // where the attachment goes; ends with a separator
    bool mail_confirmed = false;  // the compose dialog's OK wrote the attachment
};

}  // namespace app
