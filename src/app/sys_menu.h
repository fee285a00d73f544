// TSysPopupMenu: a popup menu whose items are also reachable from the owner window's own system
// menu. Loaded copies every top-level item to the end of the system menu; a WM_SYSCOMMAND that
// carries an item's identifier comes back through the application-wide message handler and
// becomes a click on that item. Every other system command goes to the window as usual.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/message_loop.h"

namespace app {

class TSysPopupMenu {
  public:
    // popup: the menu whose items are copied (not owned). click: runs an item by identifier.
    TSysPopupMenu(HWND owner, HMENU popup, std::function<void(UINT id)> click);
    TSysPopupMenu(const TSysPopupMenu&) = delete;
    TSysPopupMenu& operator=(const TSysPopupMenu&) = delete;
    ~TSysPopupMenu();  // Destroy

    // Installs the hook (keeping the handler before it), then merges the items.
    void Loaded();
    // Clicks the item whose identifier is the low 16 bits of msg.wParam; false when none is.
    bool HandleSystemMenu(const MSG& msg);
    // A copied entry shows the check mark of its item; call after the item's mark changed.
    void update_check(UINT id);

    const ui::MessageHandler& FOldAppOnMessage() const { return old_on_message_; }

  private:
    static void hook(void* self, MSG& msg, bool& handled);
    void merge();
    // Takes the copied entries out of the system menu again, so destroying the window cannot
    // destroy a submenu that the popup still owns.
    void unmerge();

    HWND owner_;
    HMENU popup_;
    std::function<void(UINT)> click_;
    ui::MessageHandler old_on_message_;
    bool loaded_ = false;
    int first_copied_ = -1;  // position of the first copied entry in the system menu
};

}  // namespace app
