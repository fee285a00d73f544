#include "ui/error.h"

namespace ui {

AppError::AppError(std::wstring text) : text_(std::move(text)), narrow_(to_utf8(text_)) {}

std::wstring system_message(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (n && buffer) {
        text.assign(buffer, n);
        LocalFree(buffer);
        while (!text.empty() &&
               (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
            text.pop_back();
    }
    if (text.empty()) text = L"System error " + std::to_wstring(code);
    return text;
}

std::wstring to_wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string to_utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

void throw_last_error(std::wstring_view what) {
    const DWORD code = GetLastError();
    throw AppError(std::wstring(what) + L": " + system_message(code));
}

void throw_hresult(std::wstring_view what, HRESULT hr) {
    throw AppError(std::wstring(what) + L": " + system_message(static_cast<DWORD>(hr)));
}

}  // namespace ui
