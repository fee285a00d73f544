#include "ui/message_loop.h"

#include <vector>

namespace ui {

namespace {
// The program has one user-interface thread and one handler.
MessageHandler g_on_message;
std::vector<HWND> g_dialogs;
}  // namespace

namespace {
// F1 to F11, pressed or released, with or without Alt; Alt+F4 stays the window's own close.
bool is_owner_command_key(const MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            break;
        default:
            return false;
    }
    if (msg.wParam < VK_F1 || msg.wParam > VK_F11) return false;
    const bool alt = msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSKEYUP;
    return !(alt && msg.wParam == VK_F4 && (GetKeyState(VK_MENU) & 0x8000));
}
}  // namespace

void add_dialog_window(HWND dialog) { g_dialogs.push_back(dialog); }

void remove_dialog_window(HWND dialog) { std::erase(g_dialogs, dialog); }

MessageHandler application_on_message() { return g_on_message; }

void set_application_on_message(MessageHandler handler) { g_on_message = handler; }

void process_message(MSG& msg) {
    bool handled = false;
    if (g_on_message) g_on_message.proc(g_on_message.target, msg, handled);
    if (handled) return;
    for (HWND d : g_dialogs) {
        if (!IsWindowVisible(d)) continue;
        const bool in_dialog = msg.hwnd == d || IsChild(d, msg.hwnd);
        if (in_dialog && is_owner_command_key(msg)) {
            // The note's function keys work while one of its tool windows has the focus: the
            // key goes to the owner as if the note had it (F10 would otherwise open the tool
            // window's own menu, and F9, F11 ... would do nothing).
            if (HWND owner = GetWindow(d, GW_OWNER)) msg.hwnd = owner;
            break;
        }
        if (IsDialogMessageW(d, &msg)) return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

int run_message_loop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) process_message(msg);
    return static_cast<int>(msg.wParam);
}

void process_pending_messages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        process_message(msg);
    }
}

}  // namespace ui
