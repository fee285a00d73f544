#include "ui/system_api.h"

#include <commdlg.h>
#include <shellapi.h>
#include <winspool.h>

#include <map>
#include <string>

#include "ui/error.h"
#include "ui/handles.h"

namespace sys {

namespace {

FARPROC lookup(const wchar_t* dll, const char* name) {
    // Loaded once and kept for the rest of the run: dialogs and printer handles live in them.
    static std::map<std::wstring, ui::UniqueModule> modules;
    ui::UniqueModule& module = modules[dll];
    if (!module) module.reset(LoadLibraryW(dll));
    if (!module) ui::throw_last_error(std::wstring(L"Cannot load ") + dll);
    FARPROC proc = GetProcAddress(module.get(), name);
    if (!proc) {
        std::wstring wide(name, name + std::char_traits<char>::length(name));
        ui::throw_last_error(std::wstring(dll) + L" has no " + wide);
    }
    return proc;
}

template <class Fn>
Fn* resolve(const wchar_t* dll, const char* name) {
    return reinterpret_cast<Fn*>(reinterpret_cast<void*>(lookup(dll, name)));
}

}  // namespace

#define SNIPQUILL_LAZY(dll, fn) static auto* const real = resolve<decltype(::fn)>(dll, #fn)

BOOL GetSaveFileNameW(OPENFILENAMEW* ofn) {
    SNIPQUILL_LAZY(L"comdlg32.dll", GetSaveFileNameW);
    return real(ofn);
}

DWORD CommDlgExtendedError() {
    SNIPQUILL_LAZY(L"comdlg32.dll", CommDlgExtendedError);
    return real();
}

BOOL PrintDlgW(PRINTDLGW* pd) {
    SNIPQUILL_LAZY(L"comdlg32.dll", PrintDlgW);
    return real(pd);
}

BOOL ChooseColorW(CHOOSECOLORW* cc) {
    SNIPQUILL_LAZY(L"comdlg32.dll", ChooseColorW);
    return real(cc);
}

BOOL OpenPrinterW(LPWSTR name, HANDLE* printer, PRINTER_DEFAULTSW* defaults) {
    SNIPQUILL_LAZY(L"winspool.drv", OpenPrinterW);
    return real(name, printer, defaults);
}

BOOL ClosePrinter(HANDLE printer) {
    SNIPQUILL_LAZY(L"winspool.drv", ClosePrinter);
    return real(printer);
}

LONG DocumentPropertiesW(HWND owner, HANDLE printer, LPWSTR device, DEVMODEW* out, DEVMODEW* in,
                         DWORD mode) {
    SNIPQUILL_LAZY(L"winspool.drv", DocumentPropertiesW);
    return real(owner, printer, device, out, in, mode);
}

BOOL GetDefaultPrinterW(LPWSTR buffer, LPDWORD size) {
    SNIPQUILL_LAZY(L"winspool.drv", GetDefaultPrinterW);
    return real(buffer, size);
}

BOOL EnumPrintersW(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned) {
    SNIPQUILL_LAZY(L"winspool.drv", EnumPrintersW);
    return real(flags, name, level, buffer, size, needed, returned);
}

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) {
    SNIPQUILL_LAZY(L"shell32.dll", ShellExecuteExW);
    return real(info);
}

#undef SNIPQUILL_LAZY

}  // namespace sys
