#include "ui/window.h"

#include "ui/error.h"
#include "ui/error_report.h"

namespace ui {

Window::~Window() { destroy(); }

void Window::destroy() {
    if (hwnd_) {
        HWND h = hwnd_;
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        hwnd_ = nullptr;
        DestroyWindow(h);
    }
}

void Window::register_class(const ClassInfo& info) {
    WNDCLASSEXW wc{};
    if (GetClassInfoExW(GetModuleHandleW(nullptr), info.name, &wc)) return;
    wc.cbSize = sizeof(wc);
    wc.style = info.style;
    wc.lpfnWndProc = &Window::proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = info.cursor ? info.cursor : LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = info.background;
    wc.hIcon = info.icon;
    wc.hIconSm = info.small_icon;
    wc.lpszClassName = info.name;
    if (!RegisterClassExW(&wc)) throw_last_error(L"Cannot register the window class");
}

void Window::create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                    int x, int y, int w, int h, HWND parent, HMENU id) {
    HWND created = CreateWindowExW(ex_style, class_name, title, style, x, y, w, h, parent, id,
                                   GetModuleHandleW(nullptr), this);
    if (!created) throw_last_error(L"Cannot create a window");
}

LRESULT Window::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    Window* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    LRESULT result = 0;
    if (!guarded(hwnd, [&] { result = self->on_message(msg, wp, lp); }))
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

RECT Window::bounds() const {
    RECT r{};
    GetWindowRect(hwnd_, &r);
    if (HWND parent = GetParent(hwnd_); parent && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int Window::width() const {
    RECT r = bounds();
    return r.right - r.left;
}
int Window::height() const {
    RECT r = bounds();
    return r.bottom - r.top;
}
int Window::client_width() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.right;
}
int Window::client_height() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    return r.bottom;
}

void Window::set_bounds(int l, int t, int w, int h) {
    SetWindowPos(hwnd_, nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}
void Window::set_left(int v) {
    RECT r = bounds();
    set_bounds(v, r.top, r.right - r.left, r.bottom - r.top);
}
void Window::set_top(int v) {
    RECT r = bounds();
    set_bounds(r.left, v, r.right - r.left, r.bottom - r.top);
}
void Window::set_width(int v) {
    RECT r = bounds();
    set_bounds(r.left, r.top, v, r.bottom - r.top);
}
void Window::set_height(int v) {
    RECT r = bounds();
    set_bounds(r.left, r.top, r.right - r.left, v);
}

}  // namespace ui
