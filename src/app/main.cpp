// Snipquill: pins a frozen copy of part of the screen to the desktop as a note.
#include <windows.h>

#include "about/about_box.h"
#include "annotate/annotate_palette.h"
#include "app/crash_picture.h"
#include "app/help.h"
#include "app/note_window.h"
#include "app/startup.h"
#include "output/email_form.h"
#include "ui/error_report.h"
#include "ui/message_loop.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int exit_code = 1;
    ui::guarded(nullptr, [&] {
        app::TForm1 note;
        note.FormCreate(app::first_command_line_argument());
        output::TForm3 Form3(note);
        annotate::TAnnotate palette(note);
        palette.create_at_first_show();
        // Last in the creation order; owned by the note, so never hidden behind it.
        about::TAbout about_box(note.hwnd());
        note.set_about_box([&about_box] { about_box.ShowModal(); });
        // Faults no command can catch: the report, with the picture saved first if wanted.
        ui::CrashReportScope crash_report(app::crash_settings_for(
            note, about_box.texts().version, app::first_command_line_argument()));
        note.state().data_folder = app::GetMyAppData();
        app::show_note_at_startup(note.hwnd(), app::launcher_show_command());

        // The application-wide message handler sees every queued message first.
        exit_code = ui::run_message_loop();
        app::close_html_help();
    });
    return exit_code;
}
