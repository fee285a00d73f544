// Send Report... of the crash report: the report and the screen as the user saw it go to the
// mail program's own compose window as two attachments written to the temporary folder.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "output/mapi_control.h"
#include "ui/bitmap.h"

namespace output {

inline constexpr wchar_t kCrashReportName[] = L"bugreport.txt";
inline constexpr wchar_t kCrashScreenName[] = L"screenshot.png";

// Writes the attachments into folder (ending with a separator) and hands them to send with the
// compose window shown. An empty screen is left out. The user is told when there is no mail
// program or it fails; its own abort and success stay quiet. Throws ui::AppError when an
// attachment cannot be written.
void send_crash_report(HWND owner, const std::wstring& report_text, const ui::Bitmap& screen,
                       const std::wstring& folder, bool mail_available,
                       const TMapiControl::SendFunction& send);

// The same through the system's mail program, into the temporary folder.
void send_crash_report_by_mail(HWND owner, const std::wstring& report_text,
                               const ui::Bitmap& screen);

std::wstring crash_mail_error_message(std::int32_t code, std::wstring_view folder);
std::wstring crash_mail_not_installed_message(std::wstring_view folder);

}  // namespace output
