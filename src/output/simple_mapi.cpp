#include "output/simple_mapi.h"

#include <mapi.h>

#include <memory>
#include <string>
#include <vector>

namespace output {

namespace {

// The Unicode records, laid out as the 8-bit ones with wide texts.
struct WideRecipDesc {
    ULONG ulReserved;
    ULONG ulRecipClass;
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    LPVOID lpEntryID;
};

struct WideFileDesc {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    PWSTR lpszPathName;
    PWSTR lpszFileName;
    LPVOID lpFileType;
};

struct WideMessage {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    FLAGS flFlags;
    WideRecipDesc* lpOriginator;
    ULONG nRecipCount;
    WideRecipDesc* lpRecips;
    ULONG nFileCount;
    WideFileDesc* lpFiles;
};

using SendMailW = ULONG(WINAPI*)(LHANDLE, ULONG_PTR, WideMessage*, FLAGS, ULONG);
using SendMailA = ULONG(WINAPI*)(LHANDLE, ULONG_PTR, MapiMessage*, FLAGS, ULONG);

std::string to_code_page(const std::wstring& s) {
    if (s.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr,
                            nullptr);
    return out;
}

// Mutable copies of every text the records point to, owned here so that each call frees them
// whatever way it ends. Char is wchar_t for the Unicode entry point, char for the 8-bit one.
template <class Char>
struct Texts {
    using String = std::basic_string<Char>;
    static String convert(const std::wstring& s) {
        if constexpr (sizeof(Char) == sizeof(wchar_t))
            return s;
        else
            return to_code_page(s);
    }
    Char* keep(const std::wstring& s) {
        // Each copy lives in its own node, so earlier pointers stay valid.
        strings.push_back(std::make_unique<String>(convert(s)));
        return strings.back()->data();
    }
    std::vector<std::unique_ptr<String>> strings;
};

template <class Char, class Message, class Recip, class File, class Send>
ULONG send_with(Send send, const MailMessage& m, std::uintptr_t parent) {
    Texts<Char> texts;
    Recip originator{};
    originator.ulRecipClass = m.originator.recip_class;
    originator.lpszName = texts.keep(m.originator.name);
    originator.lpszAddress = texts.keep(m.originator.address);

    std::vector<Recip> recips(m.recipients.size());
    for (std::size_t i = 0; i < recips.size(); ++i) {
        recips[i].ulRecipClass = m.recipients[i].recip_class;
        recips[i].lpszName = texts.keep(m.recipients[i].name);
        recips[i].lpszAddress = texts.keep(m.recipients[i].address);
    }
    std::vector<File> files(m.files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].flFlags = m.files[i].flags;
        files[i].nPosition = m.files[i].position;
        files[i].lpszPathName = texts.keep(m.files[i].path_name);
        files[i].lpszFileName = texts.keep(m.files[i].file_name);
    }

    Message message{};
    message.lpszSubject = texts.keep(m.subject);
    message.lpszNoteText = texts.keep(m.note_text);
    message.flFlags = m.message_flags;
    message.lpOriginator = &originator;
    message.nRecipCount = static_cast<ULONG>(recips.size());
    message.lpRecips = recips.empty() ? nullptr : recips.data();
    message.nFileCount = static_cast<ULONG>(files.size());
    message.lpFiles = files.empty() ? nullptr : files.data();
    return send(0, static_cast<ULONG_PTR>(parent), &message, m.send_flags, 0);
}

}  // namespace

bool simple_mapi_installed() {
    wchar_t value[8]{};
    DWORD size = sizeof(value);
    const LSTATUS status =
        RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows Messaging Subsystem",
                     L"MAPI", RRF_RT_REG_SZ, nullptr, value, &size);
    return status == ERROR_SUCCESS && std::wstring(value) == L"1";
}

HMODULE simple_mapi_library() {
    static HMODULE library = nullptr;  // kept until the program ends
    if (!library && simple_mapi_installed())
        library = LoadLibraryExW(L"MAPI32.DLL", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return simple_mapi_installed() ? library : nullptr;
}

bool simple_mapi_available() {
    HMODULE library = simple_mapi_library();
    return library &&
           (GetProcAddress(library, "MAPISendMailW") || GetProcAddress(library, "MAPISendMail"));
}

std::uint32_t send_through_library(HMODULE library, const MailMessage& message,
                                   std::uintptr_t parent) {
    if (!library) return kMapiUserAbort;
    if (auto w = reinterpret_cast<SendMailW>(
            reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMailW"))))
        return send_with<wchar_t, WideMessage, WideRecipDesc, WideFileDesc>(w, message, parent);
    if (auto a = reinterpret_cast<SendMailA>(
            reinterpret_cast<void*>(GetProcAddress(library, "MAPISendMail"))))
        return send_with<char, MapiMessage, MapiRecipDesc, MapiFileDesc>(a, message, parent);
    return kMapiUserAbort;
}

std::uint32_t send_simple_mapi(const MailMessage& message, std::uintptr_t parent) {
    return send_through_library(simple_mapi_library(), message, parent);
}

}  // namespace output
