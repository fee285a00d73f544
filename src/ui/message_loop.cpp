#include "ui/message_loop.h"

#include <vector>

namespace ui {

namespace {
// The program has one user-interface thread and one handler.
MessageHandler g_on_message;
std::vector<HWND> g_dialogs;
}  // namespace

void add_dialog_window(HWND dialog) { g_dialogs.push_back(dialog); }

void remove_dialog_window(HWND dialog) { std::erase(g_dialogs, dialog); }

MessageHandler application_on_message() { return g_on_message; }

void set_application_on_message(MessageHandler handler) { g_on_message = handler; }

void process_message(MSG& msg) {
    bool handled = false;
    if (g_on_message) g_on_message.proc(g_on_message.target, msg, handled);
    if (handled) return;
    for (HWND d : g_dialogs)
        if (IsWindowVisible(d) && IsDialogMessageW(d, &msg)) return;
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
