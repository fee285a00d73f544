#include "win_test.h"

#include "ui/error.h"
#include "ui/message_loop.h"

namespace wintest {

void pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    MSG msg;
    do {
        // As the program's loop does: the application-wide handler sees each message first.
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ui::process_message(msg);
        Sleep(5);
    } while (static_cast<LONG>(end - GetTickCount()) > 0);
}

namespace {
DialogAnswer* g_answer = nullptr;

BOOL CALLBACK find_dialog(HWND w, LPARAM lp) {
    wchar_t cls[32]{};
    GetClassNameW(w, cls, 32);
    if (IsWindowVisible(w) && std::wstring(cls) == L"#32770") {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

DialogAnswer::DialogAnswer(int button_id) : button_(button_id) {
    g_answer = this;
    timer_ = SetTimer(nullptr, 0, 30, &DialogAnswer::tick);
}

DialogAnswer::~DialogAnswer() {
    if (timer_) KillTimer(nullptr, timer_);
    g_answer = nullptr;
}

void CALLBACK DialogAnswer::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_answer && !g_answer->seen_) g_answer->try_answer();
}

bool DialogAnswer::try_answer() {
    HWND dlg = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &find_dialog, reinterpret_cast<LPARAM>(&dlg));
    if (!dlg) return false;
    wchar_t buf[4096];
    GetWindowTextW(dlg, buf, 4096);
    title_ = buf;
    for (HWND c = GetWindow(dlg, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        GetWindowTextW(c, buf, 4096);
        by_id_.emplace_back(GetDlgCtrlID(c), buf);
        if (!texts_.empty()) texts_ += L"\n";
        texts_ += buf;
    }
    seen_ = true;
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(button_, BN_CLICKED), 0);
    return true;
}

std::wstring DialogAnswer::text_of(int id) const {
    for (const auto& [i, t] : by_id_)
        if (i == id) return t;
    return {};
}

PatternWindow::PatternWindow(int x, int y, int w, int h) : image_(w, h), x_(x), y_(y) {
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px) image_.set_pixel(px, py, expected(x + px, y + py));
    WNDCLASSW wc{};
    wc.lpfnWndProc = &PatternWindow::proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SnipquillTestPattern";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"pattern",
                            WS_POPUP, x, y, w, h, nullptr, nullptr, wc.hInstance, this);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    UpdateWindow(hwnd_);
    pump(100);
}

PatternWindow::~PatternWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

COLORREF PatternWindow::expected(int sx, int sy) const {
    return RGB(sx & 0xFF, sy & 0xFF, ((sx >> 8) * 64 + (sy >> 8) * 16 + (sx ^ sy) * 3) & 0xFF);
}

LRESULT CALLBACK PatternWindow::proc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<PatternWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (msg == WM_PAINT && self) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        BitBlt(dc, 0, 0, self->image_.width(), self->image_.height(), self->image_.dc(), 0, 0,
               SRCCOPY);
        EndPaint(h, &ps);
        return 0;
    }
    return DefWindowProcW(h, msg, wp, lp);
}

std::wstring dos_path(const std::string& unix_path) {
    std::wstring out = L"Z:";
    for (char c : unix_path) out += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return out;
}

std::wstring test_folder() {
    wchar_t buf[MAX_PATH];
    GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::wstring p = buf;
    return p.substr(0, p.find_last_of(L"\\/") + 1);
}

}  // namespace wintest
