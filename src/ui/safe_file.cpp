#include "ui/safe_file.h"

#include <windows.h>

#include <algorithm>

#include "ui/error.h"
#include "ui/handles.h"

namespace ui {

void write_file_safely(const std::wstring& target,
                       const std::function<void(const std::wstring& temp_path)>& write) {
    const std::wstring temp = target + L".~" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    // An existing target must be one we may write: the rename below would otherwise replace
    // a read-only file on some systems (Wine among them, and with rights that ignore the
    // attribute) instead of refusing.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetLastError(ERROR_ACCESS_DENIED);
        throw_last_error(L"Cannot write \"" + target + L"\"");
    }
    {
        UniqueHandle existing(CreateFileW(target.c_str(), GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (existing.get() == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND)
            throw_last_error(L"Cannot write \"" + target + L"\"");
    }
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

void write_bytes_file_safely(const std::wstring& target, std::span<const std::uint8_t> bytes) {
    write_file_safely(target, [&](const std::wstring& temp) {
        // A temporary file left by an earlier crash is ours to overwrite.
        UniqueHandle file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.get() == INVALID_HANDLE_VALUE)
            throw_last_error(L"Cannot write \"" + target + L"\"");
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 24));
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr))
                throw_last_error(L"Cannot write \"" + target + L"\"");
            if (written == 0) {
                SetLastError(ERROR_DISK_FULL);
                throw_last_error(L"Cannot write \"" + target + L"\"");
            }
            done += written;
        }
        if (!FlushFileBuffers(file.get())) throw_last_error(L"Cannot write \"" + target + L"\"");
    });
}

}  // namespace ui
