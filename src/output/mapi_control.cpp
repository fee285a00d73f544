#include "output/mapi_control.h"

namespace output {

std::wstring file_name_part(std::wstring_view path) {
    const std::size_t cut = path.find_last_of(L"\\/:");
    return std::wstring(cut == std::wstring_view::npos ? path : path.substr(cut + 1));
}

TMapiControl::TMapiControl(std::uintptr_t application_handle, SendFunction send)
    : ApplicationHandle(application_handle), send_(std::move(send)) {}

MailMessage TMapiControl::build_message() {
    MailMessage m;
    m.subject = FSubject;
    m.note_text = FMailtext;
    m.originator = {kMapiOrig, FFromName, FFromAdress};
    m.recipients.reserve(FTOAdr.size() + FCCAdr.size() + FBCCAdr.size());
    const auto add = [&](const std::vector<std::wstring>& list, std::uint32_t recip_class) {
        for (const std::wstring& entry : list)
            m.recipients.push_back({recip_class, entry, L"SMTP:" + entry});
    };
    add(FTOAdr, kMapiTo);
    add(FCCAdr, kMapiCc);
    add(FBCCAdr, kMapiBcc);
    if (!FAttachedFileName.empty()) {
        FDisplayFileName.clear();
        for (const std::wstring& path : FAttachedFileName)
            FDisplayFileName.push_back(file_name_part(path));
        for (std::size_t i = 0; i < FAttachedFileName.size(); ++i)
            m.files.push_back({0, kNoPosition, FAttachedFileName[i], FDisplayFileName[i]});
    }
    m.send_flags = FShowDialog ? kMapiLogonUi | kMapiNewSession | kMapiDialog : 0;
    return m;
}

void TMapiControl::Sendmail() {
    std::uint32_t result = kMapiUserAbort;  // no way to reach a mail client
    {
        const MailMessage m = build_message();
        if (send_) result = send_(m, ApplicationHandle);
    }
    dispatch(result);
}

void TMapiControl::dispatch(std::uint32_t result) {
    if (result == kSuccessSuccess) {
        if (OnSuccess) OnSuccess(*this);
    } else if (result == kMapiUserAbort) {
        if (OnUserAbort) OnUserAbort(*this);
    } else if (OnMapiError) {
        OnMapiError(*this, static_cast<std::int32_t>(result));
    }
}

void TMapiControl::Reset() {
    FSubject.clear();
    FMailtext.clear();
    FFromName.clear();
    FFromAdress.clear();
    FTOAdr.clear();
    FCCAdr.clear();
    FBCCAdr.clear();
    FAttachedFileName.clear();
    FDisplayFileName.clear();
}

std::wstring mail_error_meaning(std::int32_t code) {
    switch (code) {
        case 2:
            return L"general failure";
        case 3:
            return L"logon failure";
        case 11:
            return L"attachment not found";
        case 14:
            return L"unknown recipient";
    }
    return L"error " + std::to_wstring(code);
}

std::wstring mail_error_label(std::int32_t code) {
    std::wstring meaning = mail_error_meaning(code);
    if (meaning.rfind(L"error ", 0) != 0)
        meaning = L"error " + std::to_wstring(code) + L": " + meaning;
    return meaning;
}

std::wstring mail_error_message(std::int32_t code, std::wstring_view attachment) {
    return L"The mail program did not send the picture (" + mail_error_label(code) +
           L").\r\n\r\nThe picture was saved as:\r\n" + std::wstring(attachment);
}

std::wstring mail_not_installed_message(std::wstring_view attachment) {
    return L"No Simple MAPI mail program is installed, so the picture was not sent.\r\n\r\n"
           L"The picture was saved as:\r\n" +
           std::wstring(attachment);
}

}  // namespace output
