// The mail sender: collects one message (subject, body, sender, recipient lists, attachments)
// and hands it to the system's Simple MAPI mail client through a send function. The outcome is
// reported only through the three optional events; the component shows nothing itself.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace output {

// Simple MAPI's values, as the records and results carry them.
inline constexpr std::uint32_t kMapiOrig = 0;
inline constexpr std::uint32_t kMapiTo = 1;
inline constexpr std::uint32_t kMapiCc = 2;
inline constexpr std::uint32_t kMapiBcc = 3;
inline constexpr std::uint32_t kMapiLogonUi = 1;
inline constexpr std::uint32_t kMapiNewSession = 2;
inline constexpr std::uint32_t kMapiDialog = 8;
inline constexpr std::uint32_t kNoPosition = 0xFFFFFFFFu;  // not placed inside the body text
inline constexpr std::uint32_t kSuccessSuccess = 0;
inline constexpr std::uint32_t kMapiUserAbort = 1;

struct MailRecipient {
    std::uint32_t recip_class = kMapiOrig;
    std::wstring name;
    std::wstring address;
};

struct MailFile {
    std::uint32_t flags = 0;
    std::uint32_t position = kNoPosition;
    std::wstring path_name;
    std::wstring file_name;
};

// Everything one send call passes: the message record's content and the call's flags.
struct MailMessage {
    std::wstring subject;
    std::wstring note_text;
    std::uint32_t message_flags = 0;
    MailRecipient originator;
    std::vector<MailRecipient> recipients;  // empty: count 0 and no array
    std::vector<MailFile> files;            // empty: count 0 and no array
    std::uint32_t send_flags = 0;
};

// The file-name part of a path: what follows the last '\', '/' or ':'.
std::wstring file_name_part(std::wstring_view path);

class TMapiControl {
  public:
    // Hands the message to the mail client; parent is the window handle the client's windows
    // belong to. Answers Simple MAPI's result code.
    using SendFunction = std::function<std::uint32_t(const MailMessage&, std::uintptr_t parent)>;
    using TNotifyEvent = std::function<void(TMapiControl& Sender)>;
    using TMapiErrEvent = std::function<void(TMapiControl& Sender, std::int32_t ErrCode)>;

    TMapiControl(std::uintptr_t application_handle, SendFunction send);

    const std::wstring& Subject() const { return FSubject; }
    void set_Subject(std::wstring v) { FSubject = std::move(v); }
    const std::wstring& Body() const { return FMailtext; }
    void set_Body(std::wstring v) { FMailtext = std::move(v); }
    const std::wstring& FromName() const { return FFromName; }
    void set_FromName(std::wstring v) { FFromName = std::move(v); }
    const std::wstring& FromAdress() const { return FFromAdress; }
    void set_FromAdress(std::wstring v) { FFromAdress = std::move(v); }

    // Reading gives the component's own list, which callers may change; writing copies.
    std::vector<std::wstring>& Recipients() { return FTOAdr; }
    void set_Recipients(const std::vector<std::wstring>& v) { FTOAdr = v; }
    std::vector<std::wstring>& CopyTo() { return FCCAdr; }
    void set_CopyTo(const std::vector<std::wstring>& v) { FCCAdr = v; }
    std::vector<std::wstring>& BlindCopyTo() { return FBCCAdr; }
    void set_BlindCopyTo(const std::vector<std::wstring>& v) { FBCCAdr = v; }
    std::vector<std::wstring>& AttachedFiles() { return FAttachedFileName; }
    void set_AttachedFiles(const std::vector<std::wstring>& v) { FAttachedFileName = v; }
    // Rebuilt by Sendmail from AttachedFiles.
    const std::vector<std::wstring>& DisplayFileName() const { return FDisplayFileName; }

    bool ShowDialog() const { return FShowDialog; }
    void set_ShowDialog(bool v) { FShowDialog = v; }
    // Kept for callers that set it; sending always uses ApplicationHandle.
    bool UseAppHandle() const { return FUseAppHandle; }
    void set_UseAppHandle(bool v) { FUseAppHandle = v; }

    TNotifyEvent OnUserAbort;
    TMapiErrEvent OnMapiError;
    TNotifyEvent OnSuccess;
    std::uintptr_t ApplicationHandle;

    // Builds the message from the properties, sends it once and raises the event its result
    // names. Everything built for the call is released on every path.
    void Sendmail();
    // Empties the texts and the five lists.
    void Reset();

    // The message Sendmail would send now (it also rebuilds DisplayFileName).
    MailMessage build_message();

  private:
    void dispatch(std::uint32_t result);

    std::wstring FSubject;
    std::wstring FMailtext;
    std::wstring FFromName;
    std::wstring FFromAdress;
    std::vector<std::wstring> FTOAdr;
    std::vector<std::wstring> FCCAdr;
    std::vector<std::wstring> FBCCAdr;
    std::vector<std::wstring> FAttachedFileName;
    std::vector<std::wstring> FDisplayFileName;
    bool FShowDialog = false;
    bool FUseAppHandle = false;
    SendFunction send_;
};

// What the user is told about a mail that did not leave, with the attachment's path.
std::wstring mail_error_meaning(std::int32_t code);
// "error <code>: <meaning>", as the messages about a mail that did not leave show it.
std::wstring mail_error_label(std::int32_t code);
std::wstring mail_error_message(std::int32_t code, std::wstring_view attachment);
std::wstring mail_not_installed_message(std::wstring_view attachment);

}  // namespace output
