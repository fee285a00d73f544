#include "app/crash_picture.h"

#include "app/note_window.h"
#include "output/crash_mail.h"
#include "output/save.h"
#include "output/save_format.h"

namespace app {

ui::CrashSettings crash_settings_for(TForm1& note, std::wstring version,
                                     std::wstring first_argument) {
    ui::CrashSettings s;
    s.report.version = std::move(version);
    s.restart_argument = std::move(first_argument);
    s.report.has_picture = [&note] { return note.state().captured; };
    // Runs on the report's own thread while the note's thread waits, so it touches only the
    // picture's pixels and the save settings, never the note's window.
    s.report.save_picture = [&note](HWND owner) {
        AppState& st = note.state();
        for (;;) {
            const std::optional<std::wstring> name =
                output::ask_save_file_name(owner, st.last_filter_index, st.last_save_ext);
            if (!name) return;
            if (output::save_picture(note.Image1().bitmap(), *name, st.last_save_ext)) return;
            MessageBoxW(owner, snipquill::unsupported_extension_message(*name).c_str(),
                        L"Snipquill", MB_OK | MB_ICONWARNING);
        }
    };
    s.report.send_report = &output::send_crash_report_by_mail;
    return s;
}

}  // namespace app
