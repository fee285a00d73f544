#include "app/commands.h"

namespace snipquill {

namespace {

constexpr MenuEntry kMenu[] = {
    {Command::None, L"", L"", false},
    {Command::Save, L"&Save", L"F2", false},
    {Command::Print, L"&Print", L"", false},
    {Command::Portrait, L"Portrait", L"F7", true},
    {Command::Landscape, L"Landscape", L"F8", true},
    {Command::SetPrinter, L"Set Printer...", L"", true},
    {Command::Email, L"&Email", L"F5", false},
    {Command::Clipboard, L"To &Clipboard", L"F6", false},
    {Command::Annotate, L"Annotate", L"F9", false},
    {Command::Magnifier, L"Magnifier", L"F11", false},
    {Command::Clear, L"&Clear", L"F4", false},
    {Command::Help, L"&Help", L"F1", false},
    {Command::MinimizeToTray, L"&Minimize To Tray", L"F3", false},
    {Command::Clone, L"Clone", L"F10", false},
    {Command::None, L"", L"", false},
    {Command::About, L"About", L"", false},
    {Command::Close, L"Close", L"", false},
};

}  // namespace

std::span<const MenuEntry> command_menu() { return kMenu; }

std::optional<Command> command_for_key(unsigned key) {
    switch (key) {
        case 46:
            return Command::DeleteSelected;
        case 112:
            return Command::Help;
        case 113:
            return Command::Save;
        case 114:
            return Command::MinimizeToTray;
        case 115:
            return Command::Clear;
        case 116:
            return Command::Email;
        case 117:
            return Command::Clipboard;
        case 118:
            return Command::Portrait;
        case 119:
            return Command::Landscape;
        case 120:
            return Command::Annotate;
        case 121:
            return Command::Clone;
        case 122:
            return Command::Magnifier;
    }
    return std::nullopt;
}

}  // namespace snipquill
