// The note's window chrome under Wine: the command menu copied into the system menu and the
// message hook that turns its selections into commands, the roll-up and tray buttons, and the
// notification-area icon with its menu.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/note_frame.h"
#include "app/note_window.h"
#include "app/sys_menu.h"
#include "app/tray.h"
#include "ui/message_loop.h"
#include "win_test.h"

namespace {

using app::TForm1;
using snipquill::Command;

TForm1::Services services(std::wstring program = L"C:\\windows\\system32\\notepad.exe") {
    TForm1::Services s;
    s.show_help = [](HWND, const std::wstring&) {};
    s.program_path = std::move(program);
    return s;
}

struct Entry {
    UINT type = 0, state = 0, id = 0;
    HMENU submenu = nullptr;
    std::wstring text;
};

std::vector<Entry> entries(HMENU menu) {
    std::vector<Entry> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t buf[128]{};
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        mi.dwTypeData = buf;
        mi.cch = 128;
        EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mi));
        out.push_back({mi.fType, mi.fState, mi.wID, mi.hSubMenu, buf});
    }
    return out;
}

std::size_t index_of(const std::vector<Entry>& e, UINT id) {
    for (std::size_t i = 0; i < e.size(); ++i)
        if (e[i].id == id && !(e[i].type & MFT_SEPARATOR)) return i;
    return e.size();
}

void post_syscommand(HWND w, WPARAM id) {
    PostMessageW(w, WM_SYSCOMMAND, id, 0);
    wintest::pump(150);
}

// Presses and releases a caption button as the mouse would.
void click_button(HWND w, LRESULT hit) {
    SendMessageW(w, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), 0);
    SendMessageW(w, WM_NCLBUTTONUP, static_cast<WPARAM>(hit), 0);
}

bool topmost(HWND w) { return (GetWindowLongPtrW(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

void empty_clipboard(HWND w) {
    ASSERT_TRUE(OpenClipboard(w));
    EmptyClipboard();
    CloseClipboard();
}

// Our icon is known to the shell (NIM_MODIFY fails for an icon it does not have).
bool shell_has_icon(HWND w) {
    NOTIFYICONDATAW d{};
    d.cbSize = sizeof(d);
    d.hWnd = w;
    d.uID = 1;
    d.uFlags = NIF_TIP;
    wcscpy(d.szTip, L"Snipquill");
    return Shell_NotifyIconW(NIM_MODIFY, &d) != FALSE;
}

TEST(SystemMenu, HoldsTheCommandsAfterTheStandardEntries) {
    TForm1 note(services());
    note.FormCreate(L"");
    const std::vector<Entry> sys = entries(GetSystemMenu(note.hwnd(), FALSE));
    const std::vector<Entry> popup = entries(note.SysPopupMenu1());

    const std::size_t move = index_of(sys, SC_MOVE), close = index_of(sys, SC_CLOSE);
    const std::size_t save = index_of(sys, static_cast<UINT>(Command::Save));
    ASSERT_LT(move, sys.size());
    ASSERT_LT(close, sys.size());
    ASSERT_LT(save, sys.size());
    EXPECT_LT(close, save);
    EXPECT_TRUE(sys[save - 1].type & MFT_SEPARATOR);  // between Close and the note's commands

    // Every item of the popup follows, in order, with its text, identifier and type.
    ASSERT_EQ(sys.size() - save, popup.size());
    for (std::size_t i = 0; i < popup.size(); ++i) {
        const Entry& copy = sys[save + i];
        SCOPED_TRACE(std::string(popup[i].text.begin(), popup[i].text.end()));
        EXPECT_EQ(copy.text, popup[i].text);
        EXPECT_EQ(copy.type & MFT_SEPARATOR, popup[i].type & MFT_SEPARATOR);
        if (!(copy.type & MFT_SEPARATOR)) {
            EXPECT_EQ(copy.id, popup[i].id);
        }
        EXPECT_EQ(copy.submenu, popup[i].submenu);
    }
    EXPECT_EQ(sys[save].text, L"&Save\tF2");
    const std::size_t print = index_of(sys, static_cast<UINT>(Command::Print));
    ASSERT_LT(print, sys.size());
    EXPECT_EQ(sys[print].text, L"&Print");
    EXPECT_EQ(sys[print].submenu, GetSubMenu(note.SysPopupMenu1(), 1));  // the popup's own
    EXPECT_EQ(sys[index_of(sys, static_cast<UINT>(Command::MinimizeToTray))].text,
              L"&Minimize To Tray\tF3");
    EXPECT_EQ(sys.back().text, L"Close");

    // Identifiers are unique and clear of the system's own commands.
    std::set<UINT> ids;
    for (std::size_t i = save; i < sys.size(); ++i) {
        if (sys[i].type & MFT_SEPARATOR) continue;
        EXPECT_TRUE(ids.insert(sys[i].id).second) << sys[i].id;
        EXPECT_LT(sys[i].id, 0xF000u);
    }
    for (const Entry& e : entries(GetSubMenu(note.SysPopupMenu1(), 1)))
        EXPECT_TRUE(ids.insert(e.id).second) << e.id;
}

struct SizeMoveWatch {
    static inline int entered = 0;
    static LRESULT CALLBACK proc(int code, WPARAM wp, LPARAM lp) {
        if (code == HC_ACTION && reinterpret_cast<CWPSTRUCT*>(lp)->message == WM_ENTERSIZEMOVE)
            ++entered;
        return CallNextHookEx(nullptr, code, wp, lp);
    }
};

TEST(SystemMenu, ChosenEntryRunsItsCommandAndStandardCommandsWorkAsUsual) {
    TForm1 note(services());
    note.FormCreate(L"");
    ShowWindow(note.hwnd(), SW_SHOW);
    wintest::pump(100);

    post_syscommand(note.hwnd(), static_cast<WPARAM>(Command::Annotate));
    EXPECT_TRUE(note.state().captured);
    post_syscommand(note.hwnd(), static_cast<WPARAM>(Command::Clear));
    EXPECT_FALSE(note.state().captured);

    // The system's own commands reach the window: Move starts the system's move loop (left with
    // Escape), Minimize and Restore work as in any window, Close closes.
    SizeMoveWatch::entered = 0;
    HHOOK hook =
        SetWindowsHookExW(WH_CALLWNDPROC, &SizeMoveWatch::proc, nullptr, GetCurrentThreadId());
    PostMessageW(note.hwnd(), WM_SYSCOMMAND, SC_MOVE, 0);
    PostMessageW(note.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    wintest::pump(300);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(SizeMoveWatch::entered, 1);
    EXPECT_TRUE(IsWindowVisible(note.hwnd()));
    post_syscommand(note.hwnd(), SC_MINIMIZE);
    EXPECT_TRUE(IsIconic(note.hwnd()));
    post_syscommand(note.hwnd(), SC_RESTORE);
    EXPECT_FALSE(IsIconic(note.hwnd()));
    EXPECT_FALSE(note.state().captured);

    post_syscommand(note.hwnd(), SC_CLOSE);
    EXPECT_FALSE(IsWindow(note.hwnd()));
}

// Records each call of the handler that was installed before the note.
struct Earlier {
    static inline std::vector<bool> magnifier_at_call;
    static inline const TForm1* note = nullptr;
    static inline UINT swallow = 0;  // a WM_SYSCOMMAND id this handler claims
    static void proc(void*, MSG& msg, bool& handled) {
        if (msg.message != WM_SYSCOMMAND || !note) return;
        magnifier_at_call.push_back(note->magnifier_checked());
        if (LOWORD(msg.wParam) == swallow) handled = true;
    }
};

TEST(SystemMenu, HookCallsTheEarlierHandlerFirstAndPutsItBackAtDestruction) {
    ui::set_application_on_message({&Earlier::proc, nullptr});
    {
        TForm1 note(services());
        note.FormCreate(L"");
        Earlier::note = &note;
        EXPECT_NE(ui::application_on_message().proc, &Earlier::proc);
        EXPECT_EQ(note.system_menu().FOldAppOnMessage().proc, &Earlier::proc);

        post_syscommand(note.hwnd(), static_cast<WPARAM>(Command::Magnifier));
        ASSERT_EQ(Earlier::magnifier_at_call.size(), 1u);
        EXPECT_FALSE(Earlier::magnifier_at_call[0]);  // called before the command ran
        EXPECT_TRUE(note.magnifier_checked());

        // What the earlier handler claims is not clicked again.
        Earlier::swallow = static_cast<UINT>(Command::Annotate);
        post_syscommand(note.hwnd(), static_cast<WPARAM>(Command::Annotate));
        EXPECT_FALSE(note.state().captured);
        Earlier::note = nullptr;
    }
    EXPECT_EQ(ui::application_on_message().proc, &Earlier::proc);
    ui::set_application_on_message({});
}

TEST(SystemMenu, MagnifierCheckMarkShowsInBothMenus) {
    TForm1 note(services());
    note.FormCreate(L"");
    HMENU sys = GetSystemMenu(note.hwnd(), FALSE);
    const UINT id = static_cast<UINT>(Command::Magnifier);
    auto checked = [&](HMENU m) { return (GetMenuState(m, id, MF_BYCOMMAND) & MF_CHECKED) != 0; };
    for (bool expected : {true, false, true}) {
        SendMessageW(note.hwnd(), WM_KEYUP, VK_F11, 0);
        EXPECT_EQ(checked(note.SysPopupMenu1()), expected);
        EXPECT_EQ(checked(sys), expected);
    }
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F9, 0);  // Annotate switches the lens off
    EXPECT_FALSE(checked(note.SysPopupMenu1()));
    EXPECT_FALSE(checked(sys));
}

TEST(FrameButtons, RollupClearsAFrozenNoteAndKeepsItsHeight) {
    TForm1 note(services());
    note.FormCreate(L"");
    ShowWindow(note.hwnd(), SW_SHOW);
    note.BUFormButton1Click();
    ASSERT_TRUE(note.state().captured);
    const int h = note.height();
    click_button(note.hwnd(), app::kHitRollup);
    EXPECT_FALSE(note.state().captured);
    EXPECT_TRUE(note.perforation().Transparent());
    EXPECT_EQ(note.height(), h);
    EXPECT_TRUE(IsWindowVisible(note.hwnd()));
}

TEST(FrameButtons, TrayButtonOnALiveNoteCopiesAndKeepsTheNoteOnTop) {
    TForm1 note(services());
    note.FormCreate(L"");
    ShowWindow(note.hwnd(), SW_SHOW);
    empty_clipboard(note.hwnd());
    click_button(note.hwnd(), app::kHitTray);
    EXPECT_TRUE(note.state().captured);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB));
    EXPECT_TRUE(IsWindowVisible(note.hwnd()));
    EXPECT_TRUE(topmost(note.hwnd()));
    EXPECT_FALSE(note.in_tray());
    EXPECT_FALSE(note.tray().shown());
}

TEST(Tray, F3HidesTheNoteBehindItsIconAndOpenBringsItBack) {
    TForm1 note(services());
    note.FormCreate(L"");
    ShowWindow(note.hwnd(), SW_SHOW);
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F3, 0);
    EXPECT_TRUE(note.in_tray());
    EXPECT_FALSE(IsWindowVisible(note.hwnd()));
    EXPECT_FALSE(note.state().minimize_pending);
    ASSERT_TRUE(note.tray().shown());
    EXPECT_TRUE(shell_has_icon(note.hwnd()));

    note.TrayMenuClick(app::TrayChoice::Open);
    EXPECT_FALSE(note.in_tray());
    EXPECT_TRUE(IsWindowVisible(note.hwnd()));
    EXPECT_TRUE(topmost(note.hwnd()));
    EXPECT_FALSE(shell_has_icon(note.hwnd()));

    // With no tray request pending, the tray button copies again instead.
    empty_clipboard(note.hwnd());
    click_button(note.hwnd(), app::kHitTray);
    EXPECT_FALSE(note.in_tray());
    EXPECT_TRUE(IsWindowVisible(note.hwnd()));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB));

    // A left double-click on the icon restores too; a tray request while in the tray restores.
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F3, 0);
    ASSERT_TRUE(note.in_tray());
    SendMessageW(note.hwnd(), app::TrayIcon::kCallbackMessage, 1, WM_LBUTTONDBLCLK);
    EXPECT_FALSE(note.in_tray());
    EXPECT_TRUE(IsWindowVisible(note.hwnd()));
    note.MinimizeToTray1Click();
    note.MinToTray();
    EXPECT_FALSE(note.in_tray());
    EXPECT_FALSE(note.state().minimize_pending);

    // The shell restarting asks for the icon again.
    note.MinimizeToTray1Click();
    NOTIFYICONDATAW forgotten{};
    forgotten.cbSize = sizeof(forgotten);
    forgotten.hWnd = note.hwnd();
    forgotten.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &forgotten);
    ASSERT_FALSE(shell_has_icon(note.hwnd()));
    SendMessageW(note.hwnd(), app::TrayIcon::taskbar_created_message(), 0, 0);
    EXPECT_TRUE(shell_has_icon(note.hwnd()));
}

TEST(Tray, StartSwitchMSendsTheNoteToTheTrayAfterAbout300ms) {
    TForm1 note(services());
    const DWORD start = GetTickCount();
    note.FormCreate(L"/m");
    ShowWindow(note.hwnd(), SW_SHOW);
    EXPECT_TRUE(note.state().minimize_pending);
    DWORD arrived = 0;
    while (GetTickCount() - start < 3000 && !arrived) {
        wintest::pump(10);
        if (note.in_tray()) arrived = GetTickCount();
    }
    ASSERT_NE(arrived, 0u) << "never went to the tray";
    EXPECT_GE(arrived - start, 280u);
    EXPECT_FALSE(IsWindowVisible(note.hwnd()));
    EXPECT_FALSE(note.state().minimize_pending);
    EXPECT_FALSE(note.SendToTryTimer_enabled());
    EXPECT_TRUE(shell_has_icon(note.hwnd()));
}

TEST(Tray, TrayButtonWithARequestPendingGoesToTheTrayAndTheTimerLeavesItThere) {
    TForm1 note(services());
    note.FormCreate(L"/M");
    ShowWindow(note.hwnd(), SW_SHOW);
    empty_clipboard(note.hwnd());
    click_button(note.hwnd(), app::kHitTray);  // before the timer
    EXPECT_TRUE(note.in_tray());
    EXPECT_FALSE(note.state().minimize_pending);
    EXPECT_FALSE(note.state().captured);  // nothing copied
    wintest::pump(700);
    EXPECT_FALSE(note.SendToTryTimer_enabled());
    EXPECT_TRUE(note.in_tray());
    EXPECT_FALSE(IsWindowVisible(note.hwnd()));
}

// Closes the first popup menu seen and says whether one was.
struct MenuWatch {
    static inline bool seen = false;
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        HWND menu = FindWindowW(L"#32768", nullptr);
        if (menu && IsWindowVisible(menu)) {
            seen = true;
            EndMenu();
        }
    }
};

TEST(Tray, RightButtonReleasePopsUpOpenCloneClose) {
    TForm1 note(services(L"C:\\no\\such\\folder\\gone-note.exe"));
    note.FormCreate(L"");
    ShowWindow(note.hwnd(), SW_SHOW);
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F3, 0);
    ASSERT_TRUE(note.in_tray());

    HMENU menu = note.tray().menu();
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    std::vector<std::wstring> texts;
    for (const Entry& e : entries(menu)) texts.push_back(e.text);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Open", L"Clone", L"Close"}));

    MenuWatch::seen = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &MenuWatch::tick);
    SendMessageW(note.hwnd(), app::TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    KillTimer(nullptr, timer);
    EXPECT_TRUE(MenuWatch::seen);
    EXPECT_TRUE(note.in_tray());  // closing the menu chose nothing

    {
        // Clone starts the program again (here a missing one, which says so).
        wintest::DialogAnswer answer(IDOK);
        note.TrayMenuClick(app::TrayChoice::Clone);
        ASSERT_TRUE(answer.seen());
        EXPECT_NE(answer.texts().find(L"gone-note.exe"), std::wstring::npos);
    }

    const HWND w = note.hwnd();
    note.TrayMenuClick(app::TrayChoice::Close);
    wintest::pump(200);
    EXPECT_FALSE(IsWindow(w));
    EXPECT_FALSE(shell_has_icon(w));  // the icon went with the note
}

}  // namespace

namespace {

struct TooltipSearch {
    HWND owner;
    HWND found = nullptr;
};

BOOL CALLBACK find_tooltip(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<TooltipSearch*>(lp);
    wchar_t cls[64]{};
    GetClassNameW(w, cls, 64);
    if (GetWindow(w, GW_OWNER) == f->owner && wcscmp(cls, L"tooltips_class32") == 0) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND tooltip_of(HWND owner) {
    TooltipSearch search{owner};
    EnumThreadWindows(GetCurrentThreadId(), &find_tooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(FrameButtons, HoveringAButtonShowsWhatItDoes) {
    TForm1 note(services());
    note.FormCreate(L"");
    ShowWindow(note.hwnd(), SW_SHOW);
    struct Case {
        LRESULT hit;
        const wchar_t* tip;
    };
    const Case cases[] = {{app::kHitRollup, L"Clear"},
                          {app::kHitTray, L"To Clipboard"},
                          {HTMINBUTTON, L"Minimize"},
                          {HTCLOSE, L"Close"},
                          {HTSYSMENU, L"Commands"}};
    for (const Case& c : cases) {
        SendMessageW(note.hwnd(), WM_NCMOUSEMOVE, static_cast<WPARAM>(c.hit), 0);
        HWND tip = tooltip_of(note.hwnd());
        ASSERT_NE(tip, nullptr);
        EXPECT_TRUE(IsWindowVisible(tip));
        wchar_t text[64]{};
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.hwnd = note.hwnd();
        ti.uId = 1;
        ti.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&ti));
        EXPECT_STREQ(text, c.tip);
    }
    SendMessageW(note.hwnd(), WM_NCMOUSEMOVE, HTCAPTION, 0);
    EXPECT_FALSE(IsWindowVisible(tooltip_of(note.hwnd())));
}

}  // namespace
