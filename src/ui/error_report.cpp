#include "ui/error_report.h"

#include <commdlg.h>

#include <algorithm>
#include <array>

#include "ui/dialog_template.h"
#include "ui/error.h"
#include "ui/handles.h"
#include "ui/system_api.h"
#include "ui/safe_file.h"

namespace ui {

namespace {

bool g_showing = false;  // an error raised while the report is up is not reported again

std::wstring now_text() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    std::array<wchar_t, 32> buf{};
    wsprintfW(buf.data(), L"%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
              t.wMinute, t.wSecond);
    return buf.data();
}

std::wstring module_path() {
    std::array<wchar_t, MAX_PATH> buf{};
    GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    return buf.data();
}

struct ReportState {
    std::wstring text;
    const CrashReportOptions* crash = nullptr;  // null for an error a command raised
    Bitmap screen;                              // the screen when the crash was reported
};

// The whole primary screen as it is now; empty when it cannot be read.
Bitmap capture_screen() {
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);
    if (w <= 0 || h <= 0) return {};
    WindowDC screen(nullptr);
    if (!screen) return {};
    Bitmap shot(w, h);
    if (!BitBlt(shot.dc(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY)) return {};
    GdiFlush();
    return shot;
}

std::optional<std::wstring> ask_report_path(HWND dlg) {
    std::array<wchar_t, MAX_PATH> file{L"bugreport.txt"};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!sys::GetSaveFileNameW(&ofn)) return std::nullopt;
    return std::wstring(file.data());
}

void save_report(HWND dlg, const ReportState& state) {
    const CrashReportOptions* crash = state.crash;
    const std::optional<std::wstring> path =
        crash && crash->ask_report_path ? crash->ask_report_path(dlg) : ask_report_path(dlg);
    if (!path) return;
    try {
        write_text_file_safely(*path, state.text);
        if (crash && crash->write_beside_report) crash->write_beside_report(*path);
    } catch (const AppError& e) {
        MessageBoxW(dlg, e.text().c_str(), L"Snipquill", MB_OK | MB_ICONERROR);
    }
}

void save_picture(HWND dlg, const ReportState& state) {
    if (!state.crash || !state.crash->save_picture) return;
    try {
        state.crash->save_picture(dlg);
    } catch (const AppError& e) {
        MessageBoxW(dlg, e.text().c_str(), L"Snipquill", MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(dlg, L"The picture could not be saved.", L"Snipquill", MB_OK | MB_ICONERROR);
    }
}

void send_report(HWND dlg, const ReportState& state) {
    if (!state.crash || !state.crash->send_report) return;
    try {
        state.crash->send_report(dlg, state.text, state.screen);
    } catch (const AppError& e) {
        MessageBoxW(dlg, e.text().c_str(), L"Snipquill", MB_OK | MB_ICONERROR);
    } catch (...) {
        MessageBoxW(dlg, L"The report could not be sent.", L"Snipquill", MB_OK | MB_ICONERROR);
    }
}

INT_PTR CALLBACK report_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            auto* state = reinterpret_cast<ReportState*>(lp);
            SetDlgItemTextW(dlg, kReportText, state->text.c_str());
            // No owner can keep a crash report above the topmost note: it keeps itself there.
            if (state->crash) SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            MessageBeep(MB_ICONERROR);
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = reinterpret_cast<ReportState*>(GetWindowLongPtrW(dlg, DWLP_USER));
            switch (LOWORD(wp)) {
                case IDOK:
                case IDCANCEL:
                    // After a crash there is nothing safe to continue with.
                    if (!state->crash) EndDialog(dlg, IDOK);
                    return TRUE;
                case kReportSave:
                    save_report(dlg, *state);
                    return TRUE;
                case kReportSavePicture:
                    save_picture(dlg, *state);
                    return TRUE;
                case kReportSend:
                    send_report(dlg, *state);
                    return TRUE;
                case kReportClose:
                case kReportRestart:
                    EndDialog(dlg, LOWORD(wp));
                    return TRUE;
            }
            break;
        }
    }
    return FALSE;
}

}  // namespace

std::wstring error_report_text(std::wstring_view error_text) {
    return std::wstring(kErrorHeadline) + L"\r\n\r\nError: " + std::wstring(error_text) +
           L"\r\n\r\nTime: " + now_text() + L"\r\nProgram: " + module_path() +
           L"\r\nCommand line: " + GetCommandLineW() + L"\r\n";
}

std::wstring crash_report_text(std::wstring_view crash_text, std::wstring_view version) {
    return std::wstring(kErrorHeadline) + L"\r\n\r\n" + std::wstring(crash_text) +
           L"\r\n\r\nTime: " + now_text() + L"\r\nProgram: " + module_path() + L"\r\nVersion: " +
           std::wstring(version.empty() ? L"unknown" : version) + L"\r\nCommand line: " +
           GetCommandLineW() + L"\r\n";
}

CrashChoice show_crash_report(std::wstring_view crash_text, const CrashReportOptions& options) {
    ReportState state{crash_report_text(crash_text, options.version), &options, {}};
    const bool picture = options.has_picture && options.save_picture && options.has_picture();
    const bool send = static_cast<bool>(options.send_report);
    // Before the report covers it: what the user saw when the error happened.
    if (send) state.screen = capture_screen();
    // One row of buttons, Close Program at the right; the box widens when all five are there.
    const short buttons = static_cast<short>(3 + (picture ? 1 : 0) + (send ? 1 : 0));
    const short width = std::max<short>(260, static_cast<short>(7 + buttons * 63 - 5 + 7));
    DialogTemplate t(L"Snipquill",
                     DS_MODALFRAME | DS_CENTER | DS_SETFOREGROUND | WS_POPUP | WS_CAPTION, width,
                     172);
    t.add(DialogTemplate::Static, kErrorHeadline, kReportHeadline, SS_LEFT, 7, 7,
          static_cast<short>(width - 14), 10);
    t.add(DialogTemplate::Edit, L"", kReportText,
          ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL |
              WS_BORDER | WS_TABSTOP,
          7, 20, static_cast<short>(width - 14), 122);
    const short top = 151;
    short x = 7;
    t.add(DialogTemplate::Button, L"&Save Report...", kReportSave, BS_PUSHBUTTON | WS_TABSTOP, x,
          top, 58, 14);
    x += 63;
    if (picture) {
        t.add(DialogTemplate::Button, L"Save &Picture...", kReportSavePicture,
              BS_PUSHBUTTON | WS_TABSTOP, x, top, 58, 14);
        x += 63;
    }
    if (send) {
        t.add(DialogTemplate::Button, L"Se&nd Report...", kReportSend, BS_PUSHBUTTON | WS_TABSTOP,
              x, top, 58, 14);
        x += 63;
    }
    t.add(DialogTemplate::Button, L"&Restart", kReportRestart, BS_PUSHBUTTON | WS_TABSTOP, x, top,
          58, 14);
    t.add(DialogTemplate::Button, L"C&lose Program", kReportClose, BS_DEFPUSHBUTTON | WS_TABSTOP,
          static_cast<short>(width - 7 - 58), top, 58, 14);
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), nullptr,
                                                   &report_proc, reinterpret_cast<LPARAM>(&state));
    return result == kReportRestart ? CrashChoice::Restart : CrashChoice::Close;
}

void show_error_report(HWND owner, std::wstring_view error_text) {
    if (g_showing) return;
    g_showing = true;
    ReportState state{error_report_text(error_text), nullptr, {}};
    DialogTemplate t(L"Snipquill", DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                     260, 142);
    t.add(DialogTemplate::Static, kErrorHeadline, kReportHeadline, SS_LEFT, 7, 7, 246, 10);
    t.add(DialogTemplate::Edit, L"", kReportText,
          ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 20,
          246, 92);
    t.add(DialogTemplate::Button, L"&Continue", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 7, 121, 76,
          14);
    t.add(DialogTemplate::Button, L"&Save Report...", kReportSave, BS_PUSHBUTTON | WS_TABSTOP, 92,
          121, 76, 14);
    t.add(DialogTemplate::Button, L"C&lose Program", kReportClose, BS_PUSHBUTTON | WS_TABSTOP, 177,
          121, 76, 14);
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner,
                                                   &report_proc, reinterpret_cast<LPARAM>(&state));
    g_showing = false;
    if (result == kReportClose) PostQuitMessage(1);
}

void report_current_exception(HWND owner) {
    std::wstring text;
    try {
        throw;
    } catch (const AppError& e) {
        text = e.text();
    } catch (const std::bad_alloc&) {
        text = L"Out of memory.";
    } catch (const std::exception& e) {
        text = to_wide(e.what());
    } catch (...) {
        text = L"Unknown error.";
    }
    show_error_report(owner, text);
}

}  // namespace ui
