// Start-up: the program file, the data folder and how the note is first shown.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace app {

std::wstring program_file_path();
// The folder part of a path, with its trailing separator.
std::wstring folder_of(const std::wstring& path);
// The first command-line argument, empty when there is none.
std::wstring first_command_line_argument();
// Resolves the folder that holds the help file.
std::wstring GetMyAppData();
// The show command the launcher gave the process, if it gave one.
std::optional<WORD> launcher_show_command();
// Shows the note for the first time. Only SW_SHOWMAXIMIZED and SW_SHOWMINNOACTIVE of the
// launcher's command count; anything else, SW_HIDE included, shows the note normally.
using ShowWindowFn = std::function<BOOL(HWND, int)>;
void show_note_at_startup(HWND note, std::optional<WORD> launcher,
                          const ShowWindowFn& show_window = ::ShowWindow);

}  // namespace app
