// The program's message loop and its application-wide message handler: one handler, called for
// every message taken from the queue before it is dispatched, which can mark it handled.
#pragma once

#include <windows.h>

namespace ui {

// A routine with its target object, or none.
struct MessageHandler {
    void (*proc)(void* target, MSG& msg, bool& handled) = nullptr;
    void* target = nullptr;
    explicit operator bool() const { return proc != nullptr; }
};

MessageHandler application_on_message();
void set_application_on_message(MessageHandler handler);

// A modeless window whose controls take the dialog keys (Tab, Enter, arrows) from the loop.
void add_dialog_window(HWND dialog);
void remove_dialog_window(HWND dialog);

// One queued message: the application's handler first; unless it handled the message,
// translated and dispatched to its window.
void process_message(MSG& msg);

// Takes messages until WM_QUIT; answers its exit code.
int run_message_loop();

// Processes what is queued now and returns.
void process_pending_messages();

}  // namespace ui
