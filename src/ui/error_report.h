// The application-wide error report: every command runs inside guarded(), and an error that
// reaches it is shown with "An error occurred in the application." and the error text. The user
// continues, saves the report as a text file, or closes the program.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace ui {

inline constexpr wchar_t kErrorHeadline[] = L"An error occurred in the application.";

enum ErrorReportControl : WORD {
    kReportHeadline = 100,
    kReportText = 101,
    kReportSave = 102,
    kReportClose = 103,
};

// Shows the report modally (owner may be null). Returns when the user continues.
void show_error_report(HWND owner, std::wstring_view error_text);
std::wstring error_report_text(std::wstring_view error_text);

// Runs f; an error it throws goes to the report. Returns whether f completed.
template <class F>
bool guarded(HWND owner, F&& f);

void report_current_exception(HWND owner);

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
