#include "app/sys_menu.h"

#include <string>
#include <utility>
#include <vector>

namespace app {

namespace {

struct ItemInfo {
    MENUITEMINFOW info{};
    std::wstring text;
};

ItemInfo read_item(HMENU menu, int pos) {
    ItemInfo item;
    item.info.cbSize = sizeof(item.info);
    item.info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &item.info)) return item;
    if (!(item.info.fType & MFT_SEPARATOR) && item.info.cch > 0) {
        std::vector<wchar_t> buf(item.info.cch + 1);
        item.info.dwTypeData = buf.data();
        item.info.cch = static_cast<UINT>(buf.size());
        if (GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &item.info))
            item.text = buf.data();
    }
    item.info.dwTypeData = nullptr;
    return item;
}

// Depth first, each level in order: the menu that holds a command item with this identifier.
HMENU find_item(HMENU menu, UINT id) {
    const int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        if (info.fType & MFT_SEPARATOR) continue;
        if (info.wID == id) return menu;
        if (info.hSubMenu)
            if (HMENU found = find_item(info.hSubMenu, id)) return found;
    }
    return nullptr;
}

bool insert_at_end(HMENU menu, const MENUITEMINFOW& source, const std::wstring& text) {
    MENUITEMINFOW entry{};
    entry.cbSize = sizeof(entry);
    entry.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_CHECKMARKS | MIIM_TYPE | MIIM_DATA;
    entry.fType = source.fType & (MFT_SEPARATOR | MFT_RADIOCHECK | MFT_MENUBREAK |
                                  MFT_MENUBARBREAK | MFT_OWNERDRAW);
    entry.fState = source.fState & (MFS_CHECKED | MFS_DISABLED | MFS_GRAYED | MFS_DEFAULT);
    entry.wID = source.wID;
    entry.hSubMenu = source.hSubMenu;  // the popup's own submenu, shared
    std::wstring copy = text;
    if (!(entry.fType & MFT_SEPARATOR)) entry.dwTypeData = copy.data();
    return InsertMenuItemW(menu, static_cast<UINT>(-1), TRUE, &entry) != FALSE;
}

}  // namespace

TSysPopupMenu::TSysPopupMenu(HWND owner, HMENU popup, std::function<void(UINT id)> click)
    : owner_(owner), popup_(popup), click_(std::move(click)) {}

TSysPopupMenu::~TSysPopupMenu() {
    if (!loaded_) return;
    ui::set_application_on_message(old_on_message_);
    unmerge();
}

void TSysPopupMenu::Loaded() {
    if (loaded_) return;
    old_on_message_ = ui::application_on_message();
    ui::set_application_on_message({&TSysPopupMenu::hook, this});
    loaded_ = true;
    merge();
}

void TSysPopupMenu::merge() {
    HMENU sys = GetSystemMenu(owner_, FALSE);
    if (!sys) return;
    first_copied_ = GetMenuItemCount(sys);
    const int n = GetMenuItemCount(popup_);
    for (int i = 0; i < n; ++i) {
        const ItemInfo item = read_item(popup_, i);
        // The popup shows no separator at its top; the copies still need one between the
        // window's standard entries and the note's commands.
        if (i == 0 && !(item.info.fType & MFT_SEPARATOR)) {
            MENUITEMINFOW separator{};
            separator.fType = MFT_SEPARATOR;
            insert_at_end(sys, separator, {});
        }
        insert_at_end(sys, item.info, item.text);
    }
}

void TSysPopupMenu::unmerge() {
    if (first_copied_ < 0 || !IsWindow(owner_)) return;
    HMENU sys = GetSystemMenu(owner_, FALSE);
    if (!sys) return;
    // RemoveMenu leaves the shared submenu alive; the popup destroys it.
    while (GetMenuItemCount(sys) > first_copied_)
        if (!RemoveMenu(sys, static_cast<UINT>(first_copied_), MF_BYPOSITION)) break;
    first_copied_ = -1;
}

bool TSysPopupMenu::HandleSystemMenu(const MSG& msg) {
    const UINT id = LOWORD(msg.wParam);
    if (!find_item(popup_, id)) return false;
    click_(id);
    return true;
}

void TSysPopupMenu::update_check(UINT id) {
    HMENU holder = find_item(popup_, id);
    if (!holder || holder != popup_) return;  // a submenu is shared, so its marks are too
    const UINT state = GetMenuState(popup_, id, MF_BYCOMMAND);
    if (state == static_cast<UINT>(-1)) return;
    HMENU sys = GetSystemMenu(owner_, FALSE);
    if (sys)
        CheckMenuItem(sys, id, MF_BYCOMMAND | ((state & MF_CHECKED) ? MF_CHECKED : MF_UNCHECKED));
}

void TSysPopupMenu::hook(void* self, MSG& msg, bool& handled) {
    auto* me = static_cast<TSysPopupMenu*>(self);
    const ui::MessageHandler old = me->old_on_message_;
    if (old) old.proc(old.target, msg, handled);
    if (!handled && msg.message == WM_SYSCOMMAND) handled = me->HandleSystemMenu(msg);
}

}  // namespace app
