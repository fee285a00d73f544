#include "app/startup.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <vector>

#include "about/verinfo.h"
#include "app/data_folder.h"
#include "ui/handles.h"

namespace app {

std::wstring program_file_path() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n < buf.size()) return std::wstring(buf.data(), n);
        buf.resize(buf.size() * 2);
    }
}

std::wstring folder_of(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring first_command_line_argument() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return {};
    std::wstring first = argc > 1 ? argv[1] : L"";
    LocalFree(argv);
    return first;
}

std::wstring GetMyAppData() {
    const std::wstring exe = program_file_path();
    about::TEPInfoExe info;
    info.SetExeName(exe);
    info.Execute();

    snipquill::DataFolderLookups lookups;
    lookups.file_version = info.FileVersion();
    lookups.common_documents = []() -> std::optional<std::wstring> {
        std::array<wchar_t, 261> folder{};
        if (!SHGetSpecialFolderPathW(nullptr, folder.data(), CSIDL_COMMON_DOCUMENTS, FALSE))
            return std::nullopt;
        return std::wstring(folder.data());
    };
    lookups.user_files_path = [](const std::wstring& key) -> std::optional<std::wstring> {
        HKEY raw = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &raw) !=
            ERROR_SUCCESS)
            return std::nullopt;
        ui::UniqueKey opened(raw);
        std::array<wchar_t, 1024> value{};
        DWORD bytes = static_cast<DWORD>((value.size() - 1) * sizeof(wchar_t));
        DWORD type = 0;
        if (RegQueryValueExW(opened.get(), L"UserFilesPath", nullptr, &type,
                             reinterpret_cast<BYTE*>(value.data()), &bytes) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ))
            return std::wstring();
        return std::wstring(value.data());
    };
    lookups.directory_exists = [](const std::wstring& path) {
        const DWORD a = GetFileAttributesW(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    };
    lookups.program_folder = folder_of(exe);
    return snipquill::resolve_data_folder(lookups);
}

std::optional<WORD> launcher_show_command() {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    GetStartupInfoW(&si);
    if (!(si.dwFlags & STARTF_USESHOWWINDOW)) return std::nullopt;
    return si.wShowWindow;
}

void show_note_at_startup(HWND note, std::optional<WORD> launcher,
                          const ShowWindowFn& show_window) {
    int show = SW_SHOWNORMAL;
    if (launcher == SW_SHOWMAXIMIZED) show = SW_SHOWMAXIMIZED;
    if (launcher == SW_SHOWMINNOACTIVE) show = SW_SHOWMINNOACTIVE;
    // Windows ignores what the first ShowWindow of a process passes when its launcher gave a show
    // command, and applies the launcher's instead: a clone, started hidden, would stay hidden.
    // So the first call asks for the launcher's command outright, and ours comes second.
    if (launcher) show_window(note, SW_SHOWDEFAULT);
    show_window(note, show);
    UpdateWindow(note);
}

}  // namespace app
