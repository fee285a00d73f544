#include "ui/error_report.h"

#include <commdlg.h>

#include <array>

#include "ui/dialog_template.h"
#include "ui/error.h"
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
};

void save_report(HWND dlg, const std::wstring& report) {
    std::array<wchar_t, MAX_PATH> file{L"bugreport.txt"};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = L"Text files (*.txt)\0*.txt\0All files (*.*)\0*.*\0";
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!sys::GetSaveFileNameW(&ofn)) return;
    try {
        write_text_file_safely(file.data(), report);
    } catch (const AppError& e) {
        MessageBoxW(dlg, e.text().c_str(), L"Snipquill", MB_OK | MB_ICONERROR);
    }
}

INT_PTR CALLBACK report_proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowLongPtrW(dlg, DWLP_USER, lp);
            auto* state = reinterpret_cast<ReportState*>(lp);
            SetDlgItemTextW(dlg, kReportText, state->text.c_str());
            MessageBeep(MB_ICONERROR);
            return TRUE;
        }
        case WM_COMMAND: {
            auto* state = reinterpret_cast<ReportState*>(GetWindowLongPtrW(dlg, DWLP_USER));
            switch (LOWORD(wp)) {
                case IDOK:
                case IDCANCEL:
                    EndDialog(dlg, IDOK);
                    return TRUE;
                case kReportSave:
                    save_report(dlg, state->text);
                    return TRUE;
                case kReportClose:
                    EndDialog(dlg, kReportClose);
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

void show_error_report(HWND owner, std::wstring_view error_text) {
    if (g_showing) return;
    g_showing = true;
    ReportState state{error_report_text(error_text)};
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
