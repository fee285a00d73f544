// The note window against the real window manager and GDI under Wine: geometry, the see-through
// hole, live and frozen resizing, capture, Clear, keys, Help, Clone and the error report.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/note_layout.h"
#include "app/note_window.h"
#include "ui/error.h"
#include "ui/error_report.h"
#include "ui/handles.h"
#include "win_test.h"

namespace {

using app::TForm1;

struct HelpCall {
    std::wstring path;
};

class NoteTest : public ::testing::Test {
  protected:
    TForm1::Services services() {
        TForm1::Services s;
        s.show_help = [this](HWND, const std::wstring& path) { help_calls.push_back({path}); };
        s.program_path = L"C:\\windows\\system32\\notepad.exe";
        return s;
    }
    std::vector<HelpCall> help_calls;
};

// The region currently applied to the window, or nullopt when it has none.
std::optional<std::vector<RECT>> window_region(HWND w) {
    ui::UniqueGdi<HRGN> rgn(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(w, rgn.get()) == ERROR) return std::nullopt;
    const DWORD size = GetRegionData(rgn.get(), 0, nullptr);
    std::vector<char> buf(size);
    auto* data = reinterpret_cast<RGNDATA*>(buf.data());
    GetRegionData(rgn.get(), size, data);
    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
    return std::vector<RECT>(r, r + data->rdh.nCount);
}

// The window region equals the whole window minus exactly `hole`.
void expect_region_is_window_minus(HWND w, const snipquill::Rect& hole) {
    RECT wr;
    GetWindowRect(w, &wr);
    ui::UniqueGdi<HRGN> expected(CreateRectRgn(0, 0, wr.right - wr.left, wr.bottom - wr.top));
    ui::UniqueGdi<HRGN> cut(CreateRectRgn(hole.left, hole.top, hole.right, hole.bottom));
    CombineRgn(expected.get(), expected.get(), cut.get(), RGN_DIFF);
    ui::UniqueGdi<HRGN> actual(CreateRectRgn(0, 0, 0, 0));
    ASSERT_NE(GetWindowRgn(w, actual.get()), ERROR) << "the window has no region";
    EXPECT_TRUE(EqualRgn(expected.get(), actual.get()))
        << "hole expected at " << hole.left << "," << hole.top << " - " << hole.right << ","
        << hole.bottom;
}

snipquill::Rect client_in_window(HWND w) {
    RECT wr, cr;
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    POINT o{0, 0};
    ClientToScreen(w, &o);
    return {o.x - wr.left, o.y - wr.top, o.x - wr.left + cr.right, o.y - wr.top + cr.bottom};
}

RECT child_bounds(HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(NoteTest, CreationGivesA200SquareWhoseHoleIsTheClientArea) {
    TForm1 note(services());
    note.FormCreate(L"");
    EXPECT_EQ(note.width(), 200);
    EXPECT_EQ(note.height(), 200);
    EXPECT_EQ(note.state().frozen_width, 200);
    EXPECT_EQ(note.state().frozen_height, 200);
    EXPECT_TRUE(note.state().layout_ready);
    EXPECT_FALSE(note.state().captured);
    EXPECT_TRUE(note.perforation().Transparent());
    // Our frame: 4 pixels left, top and right, a 20-pixel caption, 8 at the bottom.
    EXPECT_EQ(note.client_width(), 192);
    EXPECT_EQ(note.client_height(), 168);
    expect_region_is_window_minus(note.hwnd(), client_in_window(note.hwnd()));
    const RECT pic = child_bounds(note.Image1().hwnd());
    EXPECT_EQ(pic.left, -1);
    EXPECT_EQ(pic.top, -5);
    EXPECT_EQ(pic.right - pic.left, 192);
    EXPECT_EQ(pic.bottom - pic.top, 168);
    EXPECT_EQ(GetWindowLongW(note.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
}

TEST_F(NoteTest, PlacementSwitchSetsOuterGeometryAndTheHoleFollows) {
    struct Case {
        const wchar_t* arg;
        RECT expected;  // left, top, right, bottom
    };
    const Case cases[] = {
        {L"/p100,50,300,200", {100, 50, 400, 250}},
        {L"/P-20,-20,300,200", {-20, -20, 280, 180}},
    };
    for (const Case& c : cases) {
        TForm1 note(services());
        note.FormCreate(c.arg);
        RECT r;
        GetWindowRect(note.hwnd(), &r);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
        // The hole matches the placed size, not the 200 x 200 of creation.
        expect_region_is_window_minus(note.hwnd(), client_in_window(note.hwnd()));
        EXPECT_EQ(note.state().frozen_width, 200);  // stored before the switch was applied
    }
}

TEST_F(NoteTest, BadPlacementIsReportedAndTheNoteStillWorks) {
    TForm1 note(services());
    {
        wintest::DialogAnswer answer(IDOK);
        note.FormCreate(L"/P100,x,300,200");
        ASSERT_TRUE(answer.seen());
        EXPECT_EQ(answer.text_of(ui::kReportHeadline), ui::kErrorHeadline);
        EXPECT_NE(answer.text_of(ui::kReportText).find(L"/P100,x,300,200"), std::wstring::npos);
        EXPECT_NE(answer.text_of(ui::kReportText).find(L"\"x\""), std::wstring::npos);
    }
    EXPECT_EQ(note.left(), 100);  // applied before the bad field
    EXPECT_EQ(note.width(), 200);
    EXPECT_TRUE(note.state().layout_ready);
    expect_region_is_window_minus(note.hwnd(), client_in_window(note.hwnd()));
    note.set_width(260);  // the resize rule works
    expect_region_is_window_minus(note.hwnd(), client_in_window(note.hwnd()));
}

TEST_F(NoteTest, MinimizeSwitchSetsPendingAndTheTimerStopsAfterOneShot) {
    TForm1 note(services());
    note.FormCreate(L"/m");
    EXPECT_TRUE(note.state().minimize_pending);
    EXPECT_TRUE(note.SendToTryTimer_enabled());
    for (int i = 0; i < 100 && note.SendToTryTimer_enabled(); ++i) wintest::pump(20);
    EXPECT_FALSE(note.SendToTryTimer_enabled());
}

TEST_F(NoteTest, LiveResizeFollowsTheClientFrozenResizeSpringsBack) {
    TForm1 note(services());
    note.FormCreate(L"/p50,50,200,200");
    note.set_width(330);
    note.set_height(170);
    EXPECT_EQ(note.width(), 330);
    expect_region_is_window_minus(note.hwnd(), client_in_window(note.hwnd()));
    RECT pic = child_bounds(note.Image1().hwnd());
    EXPECT_EQ(pic.left, -1);
    EXPECT_EQ(pic.top, -5);
    EXPECT_EQ(pic.right - pic.left, note.client_width());
    EXPECT_EQ(pic.bottom - pic.top, note.client_height());

    note.BUFormButton1Click();
    EXPECT_TRUE(note.state().captured);
    EXPECT_FALSE(window_region(note.hwnd()).has_value()) << "a frozen note shows the whole window";
    EXPECT_EQ(note.Image1().bitmap().width(), note.client_width());
    EXPECT_EQ(note.Image1().bitmap().height(), note.client_height());
    pic = child_bounds(note.Image1().hwnd());
    EXPECT_EQ(pic.left, 0);
    EXPECT_EQ(pic.top, 0);

    note.set_width(500);
    note.set_height(400);
    EXPECT_EQ(note.width(), 330);
    EXPECT_EQ(note.height(), 170);
    EXPECT_EQ(note.Image1().bitmap().width(), 330 - 8) << "the picture is not rescaled";

    note.BUFormButton2Click();  // Clear reopens the hole at the live bounds
    EXPECT_FALSE(note.state().captured);
    expect_region_is_window_minus(note.hwnd(), client_in_window(note.hwnd()));
    note.set_width(280);
    EXPECT_EQ(note.width(), 280) << "a live note follows resizing again";
}

// However small the user sizes a live note, a client area of at least 1 x 1 stays, so a
// capture always has pixels to show and print.
TEST_F(NoteTest, ALiveNoteKeepsAClientAreaOfAtLeastOnePixel) {
    TForm1 note(services());
    note.FormCreate(L"/p50,50,200,200");
    for (const SIZE s : {SIZE{200, 0}, SIZE{0, 200}, SIZE{0, 0}, SIZE{1, 1}}) {
        SetWindowPos(note.hwnd(), nullptr, 0, 0, s.cx, s.cy, SWP_NOMOVE | SWP_NOZORDER);
        EXPECT_GE(note.client_width(), 1) << s.cx << " x " << s.cy;
        EXPECT_GE(note.client_height(), 1) << s.cx << " x " << s.cy;
    }
    // The same limit holds when the user drags the frame.
    MINMAXINFO info{};
    SendMessageW(note.hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    SetWindowPos(note.hwnd(), nullptr, 0, 0, info.ptMinTrackSize.x, info.ptMinTrackSize.y,
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GE(note.client_height(), 1);
    note.BUFormButton1Click();
    EXPECT_GE(note.Image1().bitmap().height(), 1);
    EXPECT_FALSE(note.Image1().bitmap().empty());
}

// Counts pixels of the picture that differ from the pattern beneath the client area.
int mismatches(TForm1& note, const wintest::PatternWindow& pattern) {
    POINT o{0, 0};
    ClientToScreen(note.hwnd(), &o);
    const ui::Bitmap& pic = note.Image1().bitmap();
    int bad = 0;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x)
            if (pic.pixel(x, y) != pattern.expected(o.x + x, o.y + y)) ++bad;
    return bad;
}

TEST_F(NoteTest, CaptureHoldsExactlyThePixelsBeneathTheClientArea) {
    wintest::PatternWindow pattern(0, 0, 700, 500);
    TForm1 note(services());
    note.FormCreate(L"/p120,60,300,200");
    ShowWindow(note.hwnd(), SW_SHOWNOACTIVATE);
    wintest::pump(150);

    // F9 right after start-up, sent to the picture: the note sees keys first.
    SendMessageW(note.Image1().hwnd(), WM_KEYUP, VK_F9, 0);
    ASSERT_TRUE(note.state().captured);
    EXPECT_EQ(note.Image1().bitmap().width(), 292);
    EXPECT_EQ(note.Image1().bitmap().height(), 168);
    EXPECT_EQ(mismatches(note, pattern), 0);
    ASSERT_NE(note.background(), nullptr);
    EXPECT_EQ(note.background()->width(), 292);
    EXPECT_EQ(note.background()->pixel(10, 10), note.Image1().bitmap().pixel(10, 10));

    // The frozen note covers the pattern now: it shows the picture, not a hole.
    wintest::pump(100);
    {
        ui::WindowDC screen(nullptr);
        POINT o{0, 0};
        ClientToScreen(note.hwnd(), &o);
        EXPECT_EQ(GetPixel(screen.get(), o.x + 5, o.y + 5), note.Image1().bitmap().pixel(5, 5));
    }

    // Clear, move and resize, capture again: the new pixels replace the old ones.
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F4, 0);
    ASSERT_FALSE(note.state().captured);
    note.set_bounds(200, 140, 250, 230);
    wintest::pump(150);
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F9, 0);
    ASSERT_TRUE(note.state().captured);
    EXPECT_EQ(note.Image1().bitmap().width(), 242);
    EXPECT_EQ(note.Image1().bitmap().height(), 198);
    EXPECT_EQ(mismatches(note, pattern), 0);
    EXPECT_EQ(note.state().frozen_width, 250);
    EXPECT_EQ(note.state().frozen_height, 230);
}

// A screen copy that fails is reported with the system's text; the note stays live with its
// hole open, and neither the picture nor the background pass a blank for the screen.
TEST_F(NoteTest, FailedScreenCopyIsReportedAndTheNoteStaysLive) {
    auto s = services();
    int copies = 0;
    s.copy_screen = [&copies](HDC, int, int, HDC, POINT) {
        ++copies;
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    };
    TForm1 note(s);
    note.FormCreate(L"/p60,60,240,180");
    note.Image1().bitmap().assign(ui::Bitmap(12, 9, RGB(1, 2, 3)));
    wintest::DialogAnswer answer(IDOK);
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F9, 0);
    ASSERT_TRUE(answer.seen());
    EXPECT_EQ(copies, 1);
    EXPECT_NE(answer.texts().find(ui::system_message(ERROR_ACCESS_DENIED)), std::wstring::npos)
        << ui::to_utf8(answer.texts());
    EXPECT_FALSE(note.state().captured);
    EXPECT_EQ(note.background(), nullptr);
    EXPECT_TRUE(note.perforation().Transparent());
    expect_region_is_window_minus(note.hwnd(), client_in_window(note.hwnd()));
    EXPECT_EQ(note.Image1().bitmap().width(), 12) << "the old picture is left as it was";
    EXPECT_EQ(note.Image1().bitmap().pixel(4, 4), RGB(1, 2, 3));
}

TEST_F(NoteTest, RedrawBackgroundRestoresThePicture) {
    wintest::PatternWindow pattern(0, 0, 400, 300);
    TForm1 note(services());
    note.FormCreate(L"/p40,40,200,200");
    ShowWindow(note.hwnd(), SW_SHOWNOACTIVATE);
    wintest::pump(100);
    note.Annotate1Click();
    ASSERT_TRUE(note.state().captured);
    ui::Bitmap& pic = note.Image1().bitmap();
    const COLORREF before = pic.pixel(3, 4);
    pic.set_pixel(3, 4, RGB(1, 2, 3) ^ before);
    note.redraw_background();
    EXPECT_EQ(pic.pixel(3, 4), before);
}

TEST_F(NoteTest, MagnifierCommandTogglesItsCheckAndCaptureTurnsItOff) {
    TForm1 note(services());
    note.FormCreate(L"");
    auto checked = [&] {
        return (GetMenuState(note.SysPopupMenu1(), static_cast<UINT>(snipquill::Command::Magnifier),
                             MF_BYCOMMAND) &
                MF_CHECKED) != 0;
    };
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F11, 0);
    EXPECT_TRUE(checked());
    EXPECT_FALSE(note.state().captured) << "the magnifier does not capture";
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F9, 0);
    EXPECT_FALSE(checked());
    EXPECT_TRUE(note.state().captured);
}

TEST_F(NoteTest, HelpOpensTheFileInTheDataFolderOrSaysItIsMissing) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"snipquill-help-test\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring chm = folder + L"snipquill.chm";
    DeleteFileW(chm.c_str());

    TForm1 note(services());
    note.FormCreate(L"");
    note.state().data_folder = folder;
    {
        wintest::DialogAnswer answer(IDOK);
        SendMessageW(note.hwnd(), WM_KEYUP, VK_F1, 0);
        ASSERT_TRUE(answer.seen());
        EXPECT_NE(answer.texts().find(L"Can't Find Help File\r\n" + chm), std::wstring::npos)
            << std::string(answer.texts().begin(), answer.texts().end());
    }
    EXPECT_TRUE(help_calls.empty());

    {
        ui::UniqueHandle created(
            CreateFileW(chm.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F1, 0);
    ASSERT_EQ(help_calls.size(), 1u);
    EXPECT_EQ(help_calls[0].path, chm);
    DeleteFileW(chm.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(NoteTest, FailedCloneSaysWhyWithTheSystemsText) {
    auto s = services();
    s.program_path = L"C:\\no\\such\\folder\\renamed-note.exe";
    TForm1 note(s);
    note.FormCreate(L"");
    wintest::DialogAnswer answer(IDOK);
    SendMessageW(note.hwnd(), WM_SYSKEYUP, VK_F10, 0);
    ASSERT_TRUE(answer.seen());
    EXPECT_NE(answer.texts().find(L"renamed-note.exe"), std::wstring::npos);
    // Some system text follows the path (its wording is the system's).
    const std::wstring t = answer.texts();
    EXPECT_GT(t.size(), t.find(L"\":\r\n") + 6);
}

// Keys released with Alt held arrive as system keys; they act as without Alt, except that
// Alt+F4 is left to the system's close.
TEST_F(NoteTest, FunctionKeysReleasedWithAltActAsWithout) {
    constexpr LPARAM kAlt = LPARAM{1} << 29;
    struct Case {
        const char* what;
        WPARAM key;
        LPARAM flags;
        bool magnifier, captured;
    };
    const Case cases[] = {
        {"Alt+F11 toggles the magnifier", VK_F11, kAlt, true, true},
        {"Alt+F4 is not Clear", VK_F4, kAlt, false, true},
        {"F4 as a system key without Alt is Clear", VK_F4, 0, false, false},
        {"Alt+F9 annotates", VK_F9, kAlt, false, true},
        {"Alt+A is no command", 'A', kAlt, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TForm1 note(services());
        note.FormCreate(L"/p40,40,200,160");
        if (c.key != VK_F9) note.BUFormButton1Click();
        ASSERT_EQ(note.state().captured, c.key != VK_F9);
        SendMessageW(note.hwnd(), WM_SYSKEYUP, c.key, c.flags | 1);
        wintest::pump(20);
        ASSERT_TRUE(IsWindow(note.hwnd())) << "the note was not closed on release";
        EXPECT_EQ(note.magnifier_checked(), c.magnifier);
        EXPECT_EQ(note.state().captured, c.captured);
    }
}

// Text sizes in points are turned into pixels at the screen's real resolution.
TEST_F(NoteTest, TextSizesFollowTheScreensResolution) {
    ui::FontSpec::set_pixels_per_inch(1);
    TForm1 note(services());
    ui::WindowDC screen(nullptr);
    const int ppi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    EXPECT_EQ(ui::FontSpec::pixels_per_inch(), ppi);
    ui::FontSpec f;
    f.set_size(12);
    EXPECT_EQ(f.height, -MulDiv(12, ppi, 72));
}

TEST_F(NoteTest, OtherKeysDoNothing) {
    TForm1 note(services());
    note.FormCreate(L"");
    for (WPARAM key : {WPARAM{'A'}, WPARAM{VK_F12}, WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}})
        SendMessageW(note.hwnd(), WM_KEYUP, key, 0);
    EXPECT_FALSE(note.state().captured);
    EXPECT_TRUE(IsWindow(note.hwnd()));
}

}  // namespace

namespace {

std::wstring menu_text(HMENU menu, int pos) {
    wchar_t buf[128]{};
    GetMenuStringW(menu, static_cast<UINT>(pos), buf, 128, MF_BYPOSITION);
    return buf;
}

TEST_F(NoteTest, CommandMenuKeepsItsOrderWithPrintAsASubmenu) {
    TForm1 note(services());
    note.FormCreate(L"");
    HMENU menu = note.SysPopupMenu1();
    std::vector<std::wstring> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) items.push_back(menu_text(menu, i));
    // Commands of later work are left out; the rest keep their order and key names.
    ASSERT_GE(items.size(), 4u);
    EXPECT_EQ(items[0], L"&Save\tF2");
    EXPECT_EQ(items[1], L"&Print");
    HMENU print = GetSubMenu(menu, 1);
    ASSERT_NE(print, nullptr);
    ASSERT_EQ(GetMenuItemCount(print), 3);
    EXPECT_EQ(menu_text(print, 0), L"Portrait\tF7");
    EXPECT_EQ(menu_text(print, 1), L"Landscape\tF8");
    EXPECT_EQ(menu_text(print, 2), L"Set Printer...");
    EXPECT_EQ(items.back(), L"Close");
    ASSERT_GE(items.size(), 6u);
    EXPECT_EQ(items[items.size() - 2], L"About");
    EXPECT_EQ(items[items.size() - 3], L"");  // the separator before About and Close
    auto pos = [&](const wchar_t* t) {
        return std::find(items.begin(), items.end(), t) - items.begin();
    };
    EXPECT_LT(pos(L"To &Clipboard\tF6"), pos(L"Annotate\tF9"));
    EXPECT_LT(pos(L"Annotate\tF9"), pos(L"&Clear\tF4"));
    EXPECT_LT(pos(L"&Help\tF1"), pos(L"Clone\tF10"));
}

TEST_F(NoteTest, AboutCommandShowsTheBoxItWasGiven) {
    TForm1 note(services());
    note.FormCreate(L"");
    int shown = 0;
    note.set_about_box([&] { ++shown; });
    EXPECT_TRUE(note.run(snipquill::Command::About));
    EXPECT_EQ(shown, 1);
    // The menu's About item arrives as a command message.
    SendMessageW(note.hwnd(), WM_COMMAND, static_cast<WPARAM>(snipquill::Command::About), 0);
    EXPECT_EQ(shown, 2);
}

}  // namespace
