// The note's window chrome: the title-bar buttons, the notification-area icon and the copy of
// the command menu in the window's system menu.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "app/note_frame.h"
#include "app/note_window.h"
#include "app/sys_menu.h"
#include "app/tray.h"
#include "ui/error_report.h"

namespace app {

using snipquill::Command;
using snipquill::FrameButton;

namespace {

const wchar_t* tip_text(FrameButton b) {
    switch (b) {
        case FrameButton::SysMenu:
            return L"Commands";
        case FrameButton::Rollup:
            return L"Clear";
        case FrameButton::Tray:
            return L"To Clipboard";
        case FrameButton::Minimize:
            return L"Minimize";
        case FrameButton::Close:
            return L"Close";
        case FrameButton::None:
            break;
    }
    return nullptr;
}

// The tooltip class comes with the common controls, loaded only once the user hovers a button:
// start-up does not pay for them.
HWND create_tooltip(HWND owner) {
    static const HMODULE comctl = LoadLibraryW(L"comctl32.dll");
    if (!comctl) return nullptr;
    using Init = BOOL WINAPI(const INITCOMMONCONTROLSEX*);
    if (auto* init = reinterpret_cast<Init*>(
            reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")))) {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
        init(&icc);
    }
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                               WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tip) return nullptr;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = owner;
    ti.uId = 1;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    return tip;
}

}  // namespace

void TForm1::show_button_tip(FrameButton b) {
    if (b == tip_for_) return;
    tip_for_ = b;
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = hwnd();
    ti.uId = 1;
    if (b == FrameButton::None) {
        if (tooltip_)
            SendMessageW(tooltip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
        return;
    }
    if (!tooltip_) tooltip_ = create_tooltip(hwnd());
    if (!tooltip_) return;
    ti.lpszText = const_cast<wchar_t*>(tip_text(b));
    SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    const snipquill::Rect r = snipquill::frame_button_rect(b, width());
    const RECT wr = bounds();
    SendMessageW(tooltip_, TTM_TRACKPOSITION, 0,
                 MAKELPARAM(wr.left + r.left, wr.top + r.bottom + 4));
    SendMessageW(tooltip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
}

void TForm1::create_chrome() {
    tray_ = std::make_unique<TrayIcon>(hwnd());
    sys_menu_ = std::make_unique<TSysPopupMenu>(hwnd(), menu_.get(), [this](UINT id) {
        // The hook runs from the message loop, outside any window procedure.
        ui::guarded(hwnd(), [&] { run(static_cast<Command>(id)); });
    });
    sys_menu_->Loaded();
    TrayIcon::taskbar_created_message();
}

void TForm1::destroy_chrome() {
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    sys_menu_.reset();
    tray_.reset();  // the icon goes with the note
    in_tray_ = false;
}

void TForm1::frame_button_clicked(FrameButton b) {
    bool call_default = true;
    switch (b) {
        case FrameButton::Rollup:
            TeForm1Rollup(call_default);  // the note is never rolled up
            break;
        case FrameButton::Tray:
            MinToTray();
            break;
        case FrameButton::Minimize:
            TeForm1Minimize(call_default);
            if (call_default) ShowWindow(hwnd(), SW_MINIMIZE);
            break;
        case FrameButton::Close:
            Close1Click();
            break;
        case FrameButton::SysMenu:
        case FrameButton::None:
            break;
    }
}

void TForm1::TeForm1Rollup(bool& CallDefault) {
    CallDefault = false;
    Clear1Click();
}

void TForm1::TeForm1MinToTray(bool& CallDefault) {
    if (state_.minimize_pending) {
        state_.minimize_pending = false;
        return;  // CallDefault stays true: off to the tray
    }
    CallDefault = false;
    Clipboard1Click();
    stay_on_top();
}

void TForm1::TeForm1Minimize(bool& /*CallDefault: the usual minimise*/) {}

void TForm1::MinimizeToTray1Click() {
    state_.minimize_pending = true;
    MinToTray();
}

void TForm1::Open1Click() {
    SetWindowLongPtrW(hwnd(), GWL_EXSTYLE, GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) | WS_EX_TOPMOST);
    stay_on_top();
    Restore();
}

void TForm1::TrayMenuClick(TrayChoice choice) {
    switch (choice) {
        case TrayChoice::Open:
            Open1Click();
            break;
        case TrayChoice::Clone:
            Clone1Click();
            break;
        case TrayChoice::Close:
            Close1Click();
            break;
        case TrayChoice::None:
            break;
    }
}

void TForm1::MinToTray() {
    if (in_tray_) {
        // No tray request is left waiting once the note is back.
        state_.minimize_pending = false;
        Restore();
        return;
    }
    bool call_default = true;
    TeForm1MinToTray(call_default);
    if (!call_default) return;
    in_tray_ = true;
    ShowWindow(hwnd(), SW_HIDE);
    tray_->add();
}

void TForm1::Restore() {
    const bool was_in_tray = in_tray_;
    in_tray_ = false;
    tray_->remove();
    ShowWindow(hwnd(), IsIconic(hwnd()) ? SW_RESTORE : SW_SHOW);
    if (was_in_tray) SetForegroundWindow(hwnd());
}

bool TForm1::chrome_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_NCMOUSEMOVE: {
            show_button_tip(frame_button_for(static_cast<LRESULT>(wp)));
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE | TME_NONCLIENT, hwnd(), 0};
            TrackMouseEvent(&track);
            return false;  // the system still sees the move
        }
        case WM_NCMOUSELEAVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCRBUTTONDOWN:
        case WM_MOUSEMOVE:
            show_button_tip(FrameButton::None);
            return false;
    }
    if (msg == TrayIcon::kCallbackMessage) {
        switch (LOWORD(lp)) {
            case WM_LBUTTONDBLCLK:
                Open1Click();
                break;
            case WM_RBUTTONUP:
                TrayMenuClick(tray_->popup_menu());
                break;
        }
        result = 0;
        return true;
    }
    if (msg == TrayIcon::taskbar_created_message() && msg != 0) {
        // The shell restarted and forgot its icons.
        if (in_tray_) tray_->add();
        result = 0;
        return true;
    }
    return false;
}

}  // namespace app
