// Opens the help file at its default topic with the system's HTML Help viewer.
#pragma once

#include <windows.h>

#include <string>

namespace app {

void show_html_help(HWND owner, const std::wstring& chm_path);

}  // namespace app
