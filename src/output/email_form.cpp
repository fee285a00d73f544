#include "output/email_form.h"

#include <algorithm>
#include <vector>

#include "app/note_window.h"
#include "ui/dialog_template.h"
#include "ui/error.h"
#include "ui/error_report.h"
#include "ui/handles.h"

namespace output {

namespace {

constexpr int kClientWidth = 292;
constexpr int kClientHeight = 168;
constexpr DWORD kStyle = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

}  // namespace

std::wstring temp_folder_path() {
    DWORD size = GetTempPathW(0, nullptr);
    for (int tries = 0; tries < 4 && size; ++tries) {
        std::vector<wchar_t> buffer(static_cast<std::size_t>(size) + 1);
        const DWORD got = GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (got == 0) break;
        if (got < buffer.size()) {
            std::wstring folder(buffer.data(), got);
            if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
            return folder;
        }
        size = got;  // the variable grew in between
    }
    ui::throw_last_error(L"Cannot find the temporary folder");
}

TForm3::TForm3(app::TForm1& note) : note_(note) {
    // No controls in the template: they are placed in pixels, as the dialog is laid out.
    ui::DialogTemplate t(kEmailTitle, kStyle, 100, 50);
    hwnd_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.get(), note.hwnd(), &proc,
                                       reinterpret_cast<LPARAM>(this));
    if (!hwnd_) ui::throw_last_error(L"Cannot create the e-mail dialog");
    note_.set_Form3(this);
}

TForm3::~TForm3() {
    if (note_.Form3() == this) note_.set_Form3(nullptr);
    if (hwnd_) DestroyWindow(hwnd_);
}

void TForm3::create_controls() {
    font_ = reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0));
    if (!font_) font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HINSTANCE inst = GetModuleHandleW(nullptr);
    const auto add = [&](const wchar_t* cls, const wchar_t* text, int id, DWORD style, DWORD ex,
                         int x, int y, int w, int h) {
        HWND c = CreateWindowExW(ex, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), inst, nullptr);
        if (!c) ui::throw_last_error(L"Cannot create the e-mail dialog");
        SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return c;
    };
    // A label is as large as its text.
    const auto label = [&](const wchar_t* text, int id, int x, int y) {
        ui::WindowDC dc(hwnd_);
        ui::Selection keep(dc.get(), font_);
        SIZE s{};
        GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &s);
        add(L"STATIC", text, id, SS_LEFT | SS_NOPREFIX, 0, x, y, s.cx, s.cy);
    };
    // Creation order is the tab order.
    label(L"To Address:", kEmailToLabel, 6, 8);
    add(L"EDIT", L"", kEmailAddress, ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE, 68,
        5, 219, 23);
    label(L"Subject:", kEmailSubjectLabel, 24, 38);
    add(L"EDIT", L"Snipquill", kEmailSubject, ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 68, 32,
        219, 23);
    label(L"Body:", kEmailBodyLabel, 10, 59);
    add(L"EDIT", L"", kEmailBody,
        ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE,
        6, 77, 281, 45);
    add(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 50, 133, 75, 25);
    add(L"BUTTON", L"Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 0, 166, 133, 75, 25);

    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)));
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK TForm3::proc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(dlg, DWLP_USER, lp);
        auto* self = reinterpret_cast<TForm3*>(lp);
        self->hwnd_ = dlg;
        ui::guarded(nullptr, [&] { self->create_controls(); });
        return FALSE;  // focus is set when the dialog is shown
    }
    auto* self = reinterpret_cast<TForm3*>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (!self) return FALSE;
    if (msg == WM_NCDESTROY) {
        self->hwnd_ = nullptr;  // destroyed with its owner
        self->running_ = false;
        return FALSE;
    }
    INT_PTR handled = FALSE;
    ui::guarded(dlg, [&] { handled = self->on_message(msg, wp, lp); });
    return handled;
}

INT_PTR TForm3::on_message(UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE && running_) FormActivate();
            return FALSE;
        case WM_COMMAND:
            switch (LOWORD(wp)) {
                case IDOK:
                    // The button ends the dialog with its modal result whatever its handler does.
                    ui::guarded(hwnd_, [&] { BitBtn1Click(); });
                    end(IDOK);
                    return TRUE;
                case IDCANCEL:  // also Escape and the close button
                    TeButton2Click();
                    end(IDCANCEL);
                    return TRUE;
            }
            break;
    }
    return FALSE;
}

int TForm3::ShowModal() {
    if (!hwnd_) return IDCANCEL;
    HWND owner = GetWindow(hwnd_, GW_OWNER);
    // Centred on the screen.
    RECT r{};
    GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    SetWindowPos(hwnd_, HWND_TOP, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0, SWP_NOSIZE);
    SendMessageW(hwnd_, DM_SETDEFID, IDOK, 0);
    result_ = IDCANCEL;
    running_ = true;
    if (owner) EnableWindow(owner, FALSE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    SetActiveWindow(hwnd_);
    FormActivate();

    bool quit = false;
    WPARAM quit_code = 0;
    MSG m;
    while (running_ && hwnd_) {
        const BOOL got = GetMessageW(&m, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            quit_code = m.wParam;
            break;
        }
        if (!IsDialogMessageW(hwnd_, &m)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }
    running_ = false;
    if (owner) {
        EnableWindow(owner, TRUE);
        if (hwnd_) SetActiveWindow(owner);
    }
    if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
    if (quit) PostQuitMessage(static_cast<int>(quit_code));
    return result_;
}

void TForm3::end(int result) {
    result_ = result;
    running_ = false;
}

void TForm3::FormActivate() {
    if (HWND address = GetDlgItem(hwnd_, kEmailAddress)) {
        SetFocus(address);
        SendMessageW(address, EM_SETSEL, 0, -1);
    }
}

void TForm3::BitBtn1Click() {
    if (address().empty()) return;
    app::AppState& state = note_.state();
    state.temp_folder = temp_folder_path();
    note_.save_file(state.temp_folder + kAttachmentName);
    state.mail_confirmed = true;
    end(IDOK);
}

void TForm3::TeButton2Click() { end(IDCANCEL); }

void TForm3::set_subject(const std::wstring& text) {
    SetDlgItemTextW(hwnd_, kEmailSubject, text.c_str());
}

std::wstring TForm3::text_of(int id) const {
    HWND control = GetDlgItem(hwnd_, id);
    if (!control) return {};
    const int n = GetWindowTextLengthW(control);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    const int got = GetWindowTextW(control, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

}  // namespace output
