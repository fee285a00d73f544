// The Email command of the note: the compose dialog, the attachment it writes, the mail sender,
// and what the user is told when the mail did not leave.
#include <memory>

#include "app/note_window.h"
#include "output/email_form.h"
#include "output/mapi_control.h"
#include "output/simple_mapi.h"

namespace app {

void TForm1::Send1Click() {
    if (!state_.captured) BUFormButton1Click();
    if (!Form3_) own_Form3_ = std::make_unique<output::TForm3>(*this);
    output::TForm3& form = *Form3_;
    state_.mail_confirmed = false;
    form.ShowModal();
    if (!state_.mail_confirmed) return;

    output::TMapiControl mail(reinterpret_cast<std::uintptr_t>(hwnd()), &output::send_simple_mapi);
    if (form.subject().empty()) form.set_subject(L"Snipquill");
    mail.set_Subject(form.subject());
    mail.set_Body(form.body());
    mail.Recipients().clear();
    mail.Recipients().push_back(form.address());
    mail.set_FromName(L"Snipquill");
    const std::wstring attachment = state_.temp_folder + output::kAttachmentName;
    mail.AttachedFiles().clear();
    mail.AttachedFiles().push_back(attachment);

    // A mail that never left must not look sent; the user's own abort and success stay quiet.
    HWND owner = hwnd();
    mail.OnMapiError = [owner, attachment](output::TMapiControl&, std::int32_t code) {
        MessageBoxW(owner, output::mail_error_message(code, attachment).c_str(), L"Snipquill",
                    MB_OK | MB_ICONWARNING);
    };
    if (!output::simple_mapi_available()) {
        MessageBoxW(owner, output::mail_not_installed_message(attachment).c_str(), L"Snipquill",
                    MB_OK | MB_ICONINFORMATION);
        return;
    }
    mail.Sendmail();
}

}  // namespace app
