// The application-wide error report: every command runs inside guarded(), and an error that
// reaches it is shown with "An error occurred in the application." and the error text. The user
// continues, saves the report as a text file, or closes the program.
//
// A crash (a fault no command can catch, see crash_handler.h) is shown in the same report, but
// continuing is not safe there: the user saves the report or the picture, then closes or
// restarts the program.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "ui/bitmap.h"

namespace ui {

inline constexpr wchar_t kErrorHeadline[] = L"An error occurred in the application.";

enum ErrorReportControl : WORD {
    kReportHeadline = 100,
    kReportText = 101,
    kReportSave = 102,
    kReportClose = 103,
    kReportRestart = 104,
    kReportSavePicture = 105,
    kReportSend = 106,
};

// Shows the report modally (owner may be null). Returns when the user continues.
void show_error_report(HWND owner, std::wstring_view error_text);
std::wstring error_report_text(std::wstring_view error_text);

// Runs f; an error it throws goes to the report. Returns whether f completed.
template <class F>
bool guarded(HWND owner, F&& f);

void report_current_exception(HWND owner);

struct CrashReportOptions {
    std::wstring version;  // the program's version, for the report
    // Save Picture... is offered when this answers true; save_picture runs it.
    std::function<bool()> has_picture;
    std::function<void(HWND owner)> save_picture;
    // Where Save Report... writes; the save dialog when empty. None: cancelled.
    std::function<std::optional<std::wstring>(HWND owner)> ask_report_path;
    // Writes whatever goes beside the saved report (the minidump); may be empty.
    std::function<void(const std::wstring& report_path)> write_beside_report;
    // Send Report... is offered when set: hands the report text and the screen as it was when
    // the crash was reported to the mail program, and tells the user when that fails.
    std::function<void(HWND owner, const std::wstring& report_text, const Bitmap& screen)>
        send_report;
};

enum class CrashChoice { Close, Restart };

std::wstring crash_report_text(std::wstring_view crash_text, std::wstring_view version);
// Shows the crash report modally with no owner, above every topmost window, and answers what
// the user chose. Safe on a thread of its own while the faulting thread waits.
CrashChoice show_crash_report(std::wstring_view crash_text, const CrashReportOptions& options);

template <class F>
bool guarded(HWND owner, F&& f) {
    try {
        f();
        return true;
    } catch (...) {
        report_current_exception(owner);
        return false;
    }
}

}  // namespace ui
