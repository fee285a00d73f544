#include "output/crash_mail.h"

#include "output/email_form.h"
#include "output/save.h"
#include "output/simple_mapi.h"
#include "ui/safe_file.h"

namespace output {

void send_crash_report(HWND owner, const std::wstring& report_text, const ui::Bitmap& screen,
                       const std::wstring& folder, bool mail_available,
                       const TMapiControl::SendFunction& send) {
    TMapiControl mail(reinterpret_cast<std::uintptr_t>(owner), send);
    mail.set_Subject(L"Snipquill bug report");
    mail.set_Body(report_text);
    mail.set_FromName(L"Snipquill");
    // The mail program's own window: the user picks the recipient and sends it there.
    mail.set_ShowDialog(true);
    const std::wstring report_path = folder + kCrashReportName;
    ui::write_text_file_safely(report_path, report_text);
    mail.AttachedFiles().push_back(report_path);
    if (!screen.empty()) {
        const std::wstring screen_path = folder + kCrashScreenName;
        std::wstring ext = L".png";
        save_picture(screen, screen_path, ext);
        mail.AttachedFiles().push_back(screen_path);
    }
    if (!mail_available) {
        MessageBoxW(owner, crash_mail_not_installed_message(folder).c_str(), L"Snipquill",
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    mail.OnMapiError = [owner, folder](TMapiControl&, std::int32_t code) {
        MessageBoxW(owner, crash_mail_error_message(code, folder).c_str(), L"Snipquill",
                    MB_OK | MB_ICONWARNING);
    };
    mail.Sendmail();
}

void send_crash_report_by_mail(HWND owner, const std::wstring& report_text,
                               const ui::Bitmap& screen) {
    send_crash_report(owner, report_text, screen, temp_folder_path(), simple_mapi_available(),
                      &send_simple_mapi);
}

std::wstring crash_mail_error_message(std::int32_t code, std::wstring_view folder) {
    return L"The mail program did not send the report (" + mail_error_label(code) +
           L").\r\n\r\nThe report and the screenshot were saved in:\r\n" + std::wstring(folder);
}

std::wstring crash_mail_not_installed_message(std::wstring_view folder) {
    return L"No Simple MAPI mail program is installed, so the report was not sent.\r\n\r\n"
           L"The report and the screenshot were saved in:\r\n" +
           std::wstring(folder);
}

}  // namespace output
