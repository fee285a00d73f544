// Snipquill: pins a frozen copy of part of the screen to the desktop as a note.
#include <windows.h>

#include "annotate/annotate_palette.h"
#include "app/note_window.h"
#include "app/startup.h"
#include "ui/error_report.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int exit_code = 1;
    ui::guarded(nullptr, [&] {
        app::TForm1 note;
        note.FormCreate(app::first_command_line_argument());
        annotate::TAnnotate palette(note);
        palette.create();
        note.state().data_folder = app::GetMyAppData();
        app::show_note_at_startup(note);

        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (palette.IsDialogMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        exit_code = static_cast<int>(msg.wParam);
    });
    return exit_code;
}
