#include "app/tray.h"

#include <cwchar>

namespace app {

namespace {

constexpr UINT kIconId = 1;
constexpr UINT kOpen = 1, kClone = 2, kClose = 3;

HICON program_icon() {
    // The small size of the program's own icon; shared, so nobody destroys it.
    return static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_SHARED));
}

}  // namespace

TrayIcon::TrayIcon(HWND owner) : owner_(owner), menu_(CreatePopupMenu()) {
    AppendMenuW(menu_.get(), MF_STRING, kOpen, L"Open");
    AppendMenuW(menu_.get(), MF_STRING, kClone, L"Clone");
    AppendMenuW(menu_.get(), MF_STRING, kClose, L"Close");
}

TrayIcon::~TrayIcon() { remove(); }

UINT TrayIcon::taskbar_created_message() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

NOTIFYICONDATAW TrayIcon::data() const {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof(d);
    d.hWnd = owner_;
    d.uID = kIconId;
    d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    d.uCallbackMessage = kCallbackMessage;
    d.hIcon = program_icon();
    if (!d.hIcon) d.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    wcsncpy(d.szTip, L"Snipquill", sizeof(d.szTip) / sizeof(d.szTip[0]) - 1);
    return d;
}

bool TrayIcon::add() {
    NOTIFYICONDATAW d = data();
    // An icon left behind by an earlier add is replaced rather than doubled.
    if (shown_) Shell_NotifyIconW(NIM_DELETE, &d);
    shown_ = Shell_NotifyIconW(NIM_ADD, &d) != FALSE;
    return shown_;
}

void TrayIcon::remove() {
    if (!shown_) return;
    NOTIFYICONDATAW d = data();
    d.uFlags = 0;
    Shell_NotifyIconW(NIM_DELETE, &d);
    shown_ = false;
}

TrayChoice TrayIcon::popup_menu() {
    POINT at{};
    GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(owner_);
    // Let the activation settle first: under Wine its late messages cancel a menu just opened.
    MSG m;
    while (PeekMessageW(&m, owner_, WM_ACTIVATE, WM_ACTIVATE, PM_REMOVE)) DispatchMessageW(&m);
    const UINT id = static_cast<UINT>(TrackPopupMenu(menu_.get(),
                                                     TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                     at.x, at.y, 0, owner_, nullptr));
    PostMessageW(owner_, WM_NULL, 0, 0);
    switch (id) {
        case kOpen:
            return TrayChoice::Open;
        case kClone:
            return TrayChoice::Clone;
        case kClose:
            return TrayChoice::Close;
    }
    return TrayChoice::None;
}

}  // namespace app
