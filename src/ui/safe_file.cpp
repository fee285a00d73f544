#include "ui/safe_file.h"

#include <windows.h>

#include "ui/error.h"
#include "ui/handles.h"

namespace ui {

void write_file_safely(const std::wstring& target,
                       const std::function<void(const std::wstring& temp_path)>& write) {
    const std::wstring temp = target + L".~" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    try {
        write(temp);
    } catch (...) {
        DeleteFileW(temp.c_str());
        throw;
    }
    if (!MoveFileExW(temp.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        DeleteFileW(temp.c_str());
        SetLastError(code);
        throw_last_error(L"Cannot write \"" + target + L"\"");
    }
}

void write_text_file_safely(const std::wstring& target, std::wstring_view text) {
    const std::string bytes = "\xEF\xBB\xBF" + to_utf8(text);
    write_file_safely(target, [&](const std::wstring& temp) {
        UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
            throw_last_error(L"Cannot write \"" + target + L"\"");
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                       nullptr) ||
            written != bytes.size())
            throw_last_error(L"Cannot write \"" + target + L"\"");
    });
}

}  // namespace ui
