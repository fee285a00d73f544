// Start-up: the program file, the data folder and how the note is first shown.
#pragma once

#include <string>

namespace app {

class TForm1;

std::wstring program_file_path();
// The folder part of a path, with its trailing separator.
std::wstring folder_of(const std::wstring& path);
// The first command-line argument, empty when there is none.
std::wstring first_command_line_argument();
// Resolves the folder that holds the help file.
std::wstring GetMyAppData();
// Only SW_SHOWMAXIMIZED and SW_SHOWMINNOACTIVE of the start-up show command count; anything
// else, SW_HIDE included, simply shows the note.
void show_note_at_startup(TForm1& note);

}  // namespace app
