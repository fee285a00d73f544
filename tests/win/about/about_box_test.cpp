// The About box under Wine: its texts from real version blocks, the order of its two sliding
// blocks, a second showing, the star field's timer, and the modal showing over its owner.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "about/about_box.h"
#include "win_test.h"

namespace {

using about::TAbout;

const std::wstring kCp1252Dll = wintest::dos_path(VERINFO_CP1252);
const std::wstring kLegalDll = wintest::dos_path(VERINFO_LEGAL);
const std::wstring kNoneDll = wintest::dos_path(VERINFO_NONE);

// Pumps until done() or about ms milliseconds have passed; answers done().
template <class F>
bool pump_until(F done, int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (!done()) {
        if (static_cast<LONG>(end - GetTickCount()) <= 0) return false;
        wintest::pump(5);
    }
    return true;
}

bool at_rest(const about::AboutBlock& b) {
    return b.visible && !b.animation.running() && b.animation.frame().left == b.home_left;
}

struct TextCase {
    const std::wstring* file;
    const wchar_t* first;
    const wchar_t* second;
};

TEST(AboutBox, TextsFromTheVersionBlockWithFallbacks) {
    const std::wstring legal_fallback = std::wstring(about::kFallbackLegal);
    const TextCase cases[] = {
        {&kCp1252Dll,
         L"Fixture Product\r\nBy Fixture Company Ltd.\r\nCopyright (C) 2031 Fixture Company",
         L"Ver. 3.14.15.92"},
        {&kLegalDll, L"Snipquill\r\nBy Orvane Software\r\nCopyright (C) 2033 Legal Fixture",
         L"Ver. "},
    };
    for (const TextCase& c : cases) {
        TAbout box(nullptr);
        box.FormCreate(*c.file);
        box.Show();
        EXPECT_EQ(box.block1().text, c.first);
        EXPECT_TRUE(box.block2().text.empty()) << "the version waits for the first block";
        ASSERT_TRUE(pump_until([&] { return at_rest(box.block2()); }, 10000));
        EXPECT_EQ(box.block2().text, c.second);
        box.Close();
    }
    // No version block at all: every fallback.
    TAbout box(nullptr);
    box.FormCreate(kNoneDll);
    EXPECT_EQ(about::first_label_text(box.texts()),
              L"Snipquill\r\nBy Orvane Software\r\n" + legal_fallback);
}

TEST(AboutBox, VersionFollowsOnlyOnceTheFirstBlockIsAtRestAndEveryShowingReplays) {
    TAbout box(nullptr);
    box.FormCreate(kCp1252Dll);
    for (int showing = 0; showing < 2; ++showing) {
        box.Show();
        const about::AboutBlock& b1 = box.block1();
        const about::AboutBlock& b2 = box.block2();
        EXPECT_FALSE(b1.visible) << "hidden for the first 100 ms, showing " << showing;
        EXPECT_TRUE(b1.animation.waiting());
        EXPECT_FALSE(b2.visible);
        // Panel1 centred: c/2 - w/2, w + 5 wide.
        EXPECT_EQ(b1.panel.right - b1.panel.left, b1.text_width + 5);
        EXPECT_EQ(b1.panel.left, about::kAboutClientWidth / 2 - b1.text_width / 2);
        EXPECT_GT(b1.text_width, 20);

        bool seen_entering = false;
        int last_left = 1 << 30;
        ASSERT_TRUE(pump_until(
            [&] {
                if (b1.visible && b1.animation.running()) {
                    seen_entering = true;
                    EXPECT_LE(b1.animation.frame().left, last_left) << "moves only left";
                    last_left = b1.animation.frame().left;
                }
                // The version never shows while the first block is still moving.
                if (!at_rest(b1)) {
                    EXPECT_FALSE(b2.visible);
                }
                return at_rest(b1);
            },
            10000));
        EXPECT_TRUE(seen_entering) << "the first block slides in rather than jumping";
        ASSERT_TRUE(pump_until([&] { return at_rest(b2); }, 10000));
        EXPECT_EQ(b2.text, L"Ver. 3.14.15.92");
        EXPECT_EQ(b2.panel.right - b2.panel.left, b2.text_width + 10);
        EXPECT_EQ(b2.panel.left, about::kAboutClientWidth / 2 - b2.text_width / 2 - 10);
        EXPECT_TRUE(box.starfield_running());
        box.Close();
        EXPECT_FALSE(box.starfield_running());
        EXPECT_FALSE(b1.visible);
        EXPECT_FALSE(b2.visible);
        EXPECT_FALSE(IsWindowVisible(box.hwnd()));
    }
}

TEST(AboutBox, ClosingMidwayStopsEverythingAndTheNextShowingStartsOver) {
    TAbout box(nullptr);
    box.FormCreate(kCp1252Dll);
    box.Show();
    ASSERT_TRUE(pump_until([&] { return box.block1().visible; }, 5000));
    box.Close();
    EXPECT_FALSE(box.block1().animation.running());
    // Nothing moves or ticks while the box is hidden.
    wintest::pump(300);
    EXPECT_FALSE(box.block1().visible);
    EXPECT_FALSE(box.block2().visible);
    EXPECT_FALSE(box.starfield_running());
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, box.hwnd(), WM_TIMER, WM_TIMER, PM_NOREMOVE));

    box.Show();
    EXPECT_TRUE(box.block1().animation.waiting());
    ASSERT_TRUE(pump_until([&] { return at_rest(box.block2()); }, 10000));
    box.Close();
}

TEST(AboutBox, ShownModallyOverItsOwnerAndClosedByOk) {
    // The owner stands for the topmost note.
    HWND owner = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 10, 10,
                                 300, 300, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner);
    {
        TAbout box(owner);
        EXPECT_EQ(GetWindow(box.hwnd(), GW_OWNER), owner);
        RECT client{};
        GetClientRect(box.hwnd(), &client);
        EXPECT_EQ(client.right, 269);
        EXPECT_EQ(client.bottom, 218);
        wchar_t caption[16]{};
        GetWindowTextW(box.hwnd(), caption, 16);
        EXPECT_STREQ(caption, L"About");
        HWND ok = GetDlgItem(box.hwnd(), IDOK);
        ASSERT_TRUE(ok);
        RECT r{};
        GetWindowRect(ok, &r);
        MapWindowPoints(nullptr, box.hwnd(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, 97);
        EXPECT_EQ(r.top, 174);
        EXPECT_EQ(r.right - r.left, 75);
        EXPECT_EQ(r.bottom - r.top, 25);

        static HWND s_ok;
        static bool s_owner_disabled, s_visible;
        s_ok = ok;
        s_owner_disabled = false;
        s_visible = false;
        static HWND s_owner, s_box;
        s_owner = owner;
        s_box = box.hwnd();
        // A timer routine has the system's calling convention, which a lambda lacks in 32 bits.
        struct Tick {
            static void CALLBACK on(HWND, UINT, UINT_PTR, DWORD) {
                s_owner_disabled = !IsWindowEnabled(s_owner);
                s_visible = IsWindowVisible(s_box) != 0;
                PostMessageW(s_ok, BM_CLICK, 0, 0);
            }
        };
        const UINT_PTR timer = SetTimer(nullptr, 0, 400, &Tick::on);
        EXPECT_EQ(box.ShowModal(), IDOK);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(s_owner_disabled) << "the note waits while the box is up";
        EXPECT_TRUE(s_visible);
        EXPECT_TRUE(IsWindowEnabled(owner));
        EXPECT_FALSE(IsWindowVisible(box.hwnd()));
        EXPECT_FALSE(box.starfield_running());
    }
    DestroyWindow(owner);
}

}  // namespace
