// System functions that only some commands need, looked up on first use. Linking them directly
// would load comdlg32 and winspool at every start, which under Wine costs more than creating and
// showing the note itself. A function that cannot be found raises an AppError.
#pragma once

#include <windows.h>

// Only the tags: the full headers define macros (SetPrinter, ...) that clash with our names.
struct tagOFNW;
struct tagPDW;
struct tagCHOOSECOLORW;
struct _PRINTER_DEFAULTSW;
struct _SHELLEXECUTEINFOW;

namespace sys {

BOOL GetSaveFileNameW(tagOFNW* ofn);
DWORD CommDlgExtendedError();
BOOL PrintDlgW(tagPDW* pd);
BOOL ChooseColorW(tagCHOOSECOLORW* cc);

BOOL OpenPrinterW(LPWSTR name, HANDLE* printer, _PRINTER_DEFAULTSW* defaults);
BOOL ClosePrinter(HANDLE printer);
LONG DocumentPropertiesW(HWND owner, HANDLE printer, LPWSTR device, DEVMODEW* out, DEVMODEW* in,
                         DWORD mode);
BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size);
BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned);

BOOL ShellExecuteExW(_SHELLEXECUTEINFOW* info);

}  // namespace sys
