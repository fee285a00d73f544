#include "annotate/spin_box.h"

#include <commctrl.h>

namespace annotate {

namespace {

constexpr wchar_t kClass[] = L"SnipquillSpinBox";
constexpr int kArrowWidth = 15;
constexpr UINT_PTR kRepeatTimer = 1;

}  // namespace

void SpinBox::create(HWND parent, int id, RECT b, palette::SpinRange range, int initial) {
    range_ = range;
    register_class({kClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
    Window::create(WS_EX_CONTROLPARENT, kClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                   b.left, b.top, b.right - b.left, b.bottom - b.top, parent,
                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    const int w = b.right - b.left, h = b.bottom - b.top;
    edit_ = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"EDIT", std::to_wstring(initial).c_str(),
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, w - kArrowWidth, h, hwnd(),
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SetWindowSubclass(edit_, &SpinBox::edit_proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

std::wstring SpinBox::text() const {
    const int n = GetWindowTextLengthW(edit_);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(edit_, s.data(), n + 1)));
    return s;
}

void SpinBox::set_text(const std::wstring& text) { SetWindowTextW(edit_, text.c_str()); }

int SpinBox::value() const { return palette::spin_value(text(), range_); }

void SpinBox::step(int delta) {
    set_text(std::to_wstring(palette::spin_step(text(), delta, range_)));
    if (on_change) on_change();
}

void SpinBox::correct() {
    if (std::optional<int> v = palette::spin_correction(text(), range_)) {
        set_text(std::to_wstring(*v));
        if (on_change) on_change();
    }
}

RECT SpinBox::arrows() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    r.left = r.right - kArrowWidth;
    return r;
}

void SpinBox::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    const RECT a = arrows();
    const int mid = (a.top + a.bottom) / 2;
    RECT up{a.left, a.top, a.right, mid}, down{a.left, mid, a.right, a.bottom};
    DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | (held_ > 0 ? DFCS_PUSHED : 0));
    DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | (held_ < 0 ? DFCS_PUSHED : 0));
    EndPaint(hwnd(), &ps);
}

LRESULT SpinBox::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const RECT a = arrows();
            const int y = static_cast<short>(HIWORD(lp));
            held_ = y < (a.top + a.bottom) / 2 ? 1 : -1;
            SetFocus(edit_);
            SetCapture(hwnd());
            InvalidateRect(hwnd(), &a, FALSE);
            step(held_);
            SetTimer(hwnd(), kRepeatTimer, 400, nullptr);
            return 0;
        }
        case WM_TIMER:
            if (wp == kRepeatTimer && held_ != 0) {
                SetTimer(hwnd(), kRepeatTimer, 80, nullptr);
                step(held_);
            }
            return 0;
        case WM_LBUTTONUP:
        case WM_CAPTURECHANGED:
            if (held_ != 0) {
                held_ = 0;
                KillTimer(hwnd(), kRepeatTimer);
                if (msg == WM_LBUTTONUP) ReleaseCapture();
                const RECT a = arrows();
                InvalidateRect(hwnd(), &a, FALSE);
            }
            return 0;
        case WM_COMMAND:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            // The palette sees the edit's notifications as its own.
            return SendMessageW(GetParent(hwnd()), msg, wp, lp);
        case WM_SETFONT:
            SendMessageW(edit_, WM_SETFONT, wp, lp);
            return 0;
        case WM_NCDESTROY:
            if (edit_) RemoveWindowSubclass(edit_, &SpinBox::edit_proc, 1);
            break;
    }
    return Window::on_message(msg, wp, lp);
}

LRESULT CALLBACK SpinBox::edit_proc(HWND h, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                    DWORD_PTR self_ptr) {
    auto* self = reinterpret_cast<SpinBox*>(self_ptr);
    switch (msg) {
        case WM_GETDLGCODE:
            if (lp) {
                const MSG* m = reinterpret_cast<const MSG*>(lp);
                if (m->message == WM_KEYDOWN && (m->wParam == VK_UP || m->wParam == VK_DOWN))
                    return DLGC_WANTARROWS | DefSubclassProc(h, msg, wp, lp);
            }
            break;
        case WM_KEYDOWN:
            if (wp == VK_UP || wp == VK_DOWN) {
                self->step(wp == VK_UP ? 1 : -1);
                SendMessageW(h, EM_SETSEL, 0, -1);
                return 0;
            }
            break;
        case WM_KILLFOCUS: {
            const LRESULT r = DefSubclassProc(h, msg, wp, lp);
            self->correct();
            return r;
        }
    }
    return DefSubclassProc(h, msg, wp, lp);
}

}  // namespace annotate
