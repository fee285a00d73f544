// The note's commands: the order of its command menu and the keys that reach them.
#pragma once

#include <optional>
#include <span>

namespace snipquill {

enum class Command : unsigned short {
    None = 0,
    Save = 1001,
    Print,  // submenu of the next three
    Portrait,
    Landscape,
    SetPrinter,
    Email,
    Clipboard,
    Annotate,
    Magnifier,
    Clear,
    Help,
    MinimizeToTray,
    Clone,
    About,
    Close,
    DeleteSelected,  // the Delete key; not in the menu
};

struct MenuEntry {
    Command command;  // None: separator
    const wchar_t* caption;
    const wchar_t* key;  // shown beside the caption; empty when none
    bool in_print_submenu;
};

// The command menu, in order: a separator, Save ... Clone, a separator, About, Close.
std::span<const MenuEntry> command_menu();

// Key release (virtual-key code) to command: F1-F11 and Delete; nothing for other keys.
std::optional<Command> command_for_key(unsigned key);

}  // namespace snipquill
