// Errors raised by the platform wrappers. They carry the system's own message text and reach the
// application-wide error report through the command guard.
#pragma once

#include <windows.h>

#include <exception>
#include <string>
#include <string_view>

namespace ui {

class AppError : public std::exception {
  public:
    explicit AppError(std::wstring text);
    const std::wstring& text() const { return text_; }
    const char* what() const noexcept override { return narrow_.c_str(); }

  private:
    std::wstring text_;
    std::string narrow_;
};

std::wstring system_message(DWORD code);
std::wstring to_wide(std::string_view utf8);
std::string to_utf8(std::wstring_view text);

// Throws AppError "<what>: <system message for GetLastError()>".
[[noreturn]] void throw_last_error(std::wstring_view what);
[[noreturn]] void throw_hresult(std::wstring_view what, HRESULT hr);

}  // namespace ui
