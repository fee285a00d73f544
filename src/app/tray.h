// The note's icon in the notification area while the note is tucked away, and the icon's menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "ui/handles.h"

namespace app {

enum class TrayChoice { None, Open, Clone, Close };

class TrayIcon {
  public:
    // The icon's mouse events come to the owner as this message (lParam: the mouse message).
    static constexpr UINT kCallbackMessage = WM_APP + 0x311;

    explicit TrayIcon(HWND owner);
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon();  // the icon never outlives the note

    // Shows the icon with the program's icon and the tip "Snipquill"; false when the shell refused.
    bool add();
    void remove();
    bool shown() const { return shown_; }
    // Broadcast by the shell when its notification area is (re)created.
    static UINT taskbar_created_message();

    // The icon's menu, Open, Clone, Close; kept for the note's lifetime.
    HMENU menu() const { return menu_.get(); }
    // Pops the menu up at the cursor and answers the chosen item. A click elsewhere closes it.
    TrayChoice popup_menu();

  private:
    NOTIFYICONDATAW data() const;

    HWND owner_;
    bool shown_ = false;
    ui::UniqueMenu menu_;
};

}  // namespace app
