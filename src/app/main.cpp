// Snipquill: pins a frozen copy of part of the screen to the desktop as a note.
#include <windows.h>

#include "app/note_window.h"
#include "app/startup.h"
#include "ui/error_report.h"
#include "ui/message_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int exit_code = 1;
    ui::guarded(nullptr, [&] {
        app::TForm1 note;
        note.FormCreate(app::first_command_line_argument());
        note.state().data_folder = app::GetMyAppData();
        app::show_note_at_startup(note);

        // The application-wide message handler sees every queued message first.
        exit_code = ui::run_message_loop();
    });
    return exit_code;
}
