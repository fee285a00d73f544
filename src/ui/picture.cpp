#include "ui/picture.h"

#include <windowsx.h>

namespace ui {

namespace {
constexpr wchar_t kClass[] = L"SnipquillPicture";
}

ShiftState shift_state_from(WPARAM wp) {
    ShiftState s = 0;
    if (wp & MK_SHIFT) s |= kShift;
    if (wp & MK_CONTROL) s |= kCtrl;
    if (wp & MK_LBUTTON) s |= kLeftDown;
    if (wp & MK_RBUTTON) s |= kRightDown;
    if (wp & MK_MBUTTON) s |= kMiddleDown;
    if (GetKeyState(VK_MENU) < 0) s |= kAlt;
    return s;
}

Picture::Picture(HWND parent, int x, int y, int w, int h) : bitmap_(288, 249) {
    register_class({.name = kClass, .style = CS_DBLCLKS});
    create(0, kClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, x, y, w, h, parent);
}

void Picture::refresh() { InvalidateRect(hwnd(), nullptr, FALSE); }

void Picture::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client;
    GetClientRect(hwnd(), &client);
    if (!bitmap_.empty())
        BitBlt(dc, 0, 0, bitmap_.width(), bitmap_.height(), bitmap_.dc(), 0, 0, SRCCOPY);
    // Beyond the bitmap the control shows its parent's face colour.
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    RECT right{bitmap_.width(), 0, client.right, client.bottom};
    RECT below{0, bitmap_.height(), bitmap_.width(), client.bottom};
    if (right.left < right.right) FillRect(dc, &right, face);
    if (below.top < below.bottom) FillRect(dc, &below, face);
    EndPaint(hwnd(), &ps);
}

void Picture::button(MouseButton b, bool down, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    const unsigned bit = 1u << static_cast<unsigned>(b);
    if (down) {
        if (!buttons_down_) SetCapture(hwnd());
        buttons_down_ |= bit;
        slots_.down(this, b, shift_state_from(wp), x, y);
    } else {
        buttons_down_ &= ~bit;
        if (!buttons_down_ && GetCapture() == hwnd()) ReleaseCapture();
        slots_.up(this, b, shift_state_from(wp), x, y);
    }
}

LRESULT Picture::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            button(MouseButton::Left, true, wp, lp);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            button(MouseButton::Right, true, wp, lp);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            button(MouseButton::Middle, true, wp, lp);
            return 0;
        case WM_LBUTTONUP:
            button(MouseButton::Left, false, wp, lp);
            return 0;
        case WM_RBUTTONUP:
            button(MouseButton::Right, false, wp, lp);
            return 0;
        case WM_MBUTTONUP:
            button(MouseButton::Middle, false, wp, lp);
            return 0;
        case WM_MOUSEMOVE:
            slots_.move(this, shift_state_from(wp), GET_X_LPARAM(lp), GET_Y_LPARAM(lp));
            return 0;
        case WM_CAPTURECHANGED:
            buttons_down_ = 0;
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            // The note sees every key first.
            return SendMessageW(GetParent(hwnd()), msg, wp, lp);
    }
    return Window::on_message(msg, wp, lp);
}

}  // namespace ui
