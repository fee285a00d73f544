// The lens control on real GDI under Wine: the lens against a position-coded picture, repairs
// after moves, the edges, the pointer's confinement and cursor, loss of capture, the size rules
// and the graphics-file loader; and the note's Magnifier command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/note_window.h"
#include "magnify/magnify.h"
#include "output/image_codec.h"
#include "ui/error.h"
#include "ui/handles.h"
#include "win_test.h"

namespace {

using magnify::TMagnify;

// No two pixels within the lens's reach share a colour.
COLORREF coded(int x, int y) { return RGB(x & 255, y & 255, ((x >> 8) & 15) | ((y >> 8) << 4)); }

ui::Bitmap coded_picture(int w, int h) {
    ui::Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.set_pixel(x, y, coded(x, y));
    return b;
}

constexpr wchar_t kHostClass[] = L"MagnifyTestHost";
constexpr COLORREF kHostColour = RGB(10, 200, 30);

LRESULT CALLBACK host_proc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT r;
        GetClientRect(w, &r);
        ui::UniqueGdi<HBRUSH> brush(CreateSolidBrush(kHostColour));
        FillRect(reinterpret_cast<HDC>(wp), &r, brush.get());
        return 1;
    }
    return DefWindowProcW(w, msg, wp, lp);
}

// A topmost popup with the control at (kLeft, kTop) showing a 400 x 300 coded picture with the
// note's lens settings.
class MagnifyTest : public ::testing::Test {
  protected:
    static constexpr int kLeft = 20, kTop = 10, kW = 400, kH = 300;

    void SetUp() override {
        WNDCLASSW wc{};
        wc.lpfnWndProc = host_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kHostClass;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        RegisterClassW(&wc);
        host = CreateWindowExW(WS_EX_TOPMOST, kHostClass, L"",
                               WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 60, 40, kW + 60, kH + 40,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(host);
        lens = std::make_unique<TMagnify>(host);
        lens->set_MagSquare(30);
        lens->set_MagZoom(3);
        picture = coded_picture(kW, kH);
        lens->SetBitMap(picture);
        lens->set_left(kLeft);
        lens->set_top(kTop);
        UpdateWindow(host);
        wintest::pump(100);
    }
    void TearDown() override {
        lens.reset();
        if (host) DestroyWindow(host);
        ClipCursor(nullptr);
    }

    // What the host shows now, in the host's client coordinates.
    ui::Bitmap shot() {
        GdiFlush();
        RECT r;
        GetClientRect(host, &r);
        ui::Bitmap b(r.right, r.bottom);
        ui::WindowDC dc(host);
        BitBlt(b.dc(), 0, 0, r.right, r.bottom, dc.get(), 0, 0, SRCCOPY);
        return b;
    }

    void send(UINT msg, int x, int y, WPARAM keys) {
        SendMessageW(lens->hwnd(), msg, keys, MAKELPARAM(x, y));
    }

    // Pixels of the control that differ from what a lens centred on (cx, cy) over the picture
    // should give (no lens: pass have_lens false). Outside the control the host's colour.
    int mismatches(const ui::Bitmap& s, bool have_lens, int cx = 0, int cy = 0) {
        int bad = 0;
        for (int y = 0; y < s.height(); ++y)
            for (int x = 0; x < s.width(); ++x) {
                const int lx = x - kLeft, ly = y - kTop;
                COLORREF want = kHostColour;
                if (lx >= 0 && ly >= 0 && lx < kW && ly < kH) {
                    want = coded(lx, ly);
                    if (have_lens && lx >= cx - 90 && lx < cx + 90 && ly >= cy - 90 &&
                        ly < cy + 90) {
                        // Each source pixel a 3 x 3 block; beyond the picture its nearest edge.
                        const int sx = std::clamp(cx - 30 + (lx - (cx - 90)) / 3, 0, kW - 1);
                        const int sy = std::clamp(cy - 30 + (ly - (cy - 90)) / 3, 0, kH - 1);
                        want = coded(sx, sy);
                    }
                }
                if (s.pixel(x, y) != want && bad++ < 3)
                    ADD_FAILURE() << "at " << lx << "," << ly << " got " << std::hex
                                  << s.pixel(x, y) << " want " << want;
            }
        return bad;
    }

    HWND host = nullptr;
    std::unique_ptr<TMagnify> lens;
    ui::Bitmap picture;
};

TEST_F(MagnifyTest, CreationValues) {
    TMagnify fresh(host);
    EXPECT_EQ(fresh.width(), 105);
    EXPECT_EQ(fresh.height(), 105);
    EXPECT_EQ(fresh.MagSquare(), 20);
    EXPECT_EQ(fresh.MagZoom(), 2);
    EXPECT_EQ(fresh.BorderColor(), RGB(255, 255, 255));
    EXPECT_FALSE(fresh.ShowBorder());
    EXPECT_TRUE(fresh.Autosize());
    EXPECT_FALSE(fresh.AutoStretch());
    EXPECT_EQ(fresh.MsDNTag(), 0);
    EXPECT_TRUE(fresh.Original().empty());
}

TEST_F(MagnifyTest, LensIsTheSourceEnlargedAndReleaseRestores) {
    ASSERT_EQ(mismatches(shot(), false), 0);
    for (ui::MouseButton b : {ui::MouseButton::Left, ui::MouseButton::Middle}) {
        const bool left = b == ui::MouseButton::Left;
        SCOPED_TRACE(left ? "left" : "middle");
        send(left ? WM_LBUTTONDOWN : WM_MBUTTONDOWN, 150, 120, left ? MK_LBUTTON : MK_MBUTTON);
        EXPECT_EQ(lens->MsDNTag(), TMagnify::kDragging);
        EXPECT_EQ(mismatches(shot(), true, 150, 120), 0);
        send(left ? WM_LBUTTONUP : WM_MBUTTONUP, 150, 120, 0);
        EXPECT_EQ(lens->MsDNTag(), 0);
        EXPECT_EQ(mismatches(shot(), false), 0);
    }
}

TEST_F(MagnifyTest, MovesLeaveNoTraceOfTheOldLens) {
    send(WM_LBUTTONDOWN, 200, 150, MK_LBUTTON);
    // Every case of the split, then a jump with no overlap and back to the edges.
    const POINT path[] = {{205, 147}, {204, 146}, {190, 160}, {200, 170}, {201, 170},
                          {201, 170}, {350, 250}, {100, 60},  {0, 0},     {354, 254}};
    for (POINT p : path) {
        send(WM_MOUSEMOVE, p.x, p.y, MK_LBUTTON);
        EXPECT_EQ(mismatches(shot(), true, p.x, p.y), 0) << p.x << "," << p.y;
    }
    send(WM_LBUTTONUP, 354, 254, 0);
    EXPECT_EQ(mismatches(shot(), false), 0);
}

TEST_F(MagnifyTest, NearTheLeftAndTopEdgesTheLensIsClippedAndShowsEdgePixels) {
    // The host's colour round the control proves nothing was drawn outside it.
    for (POINT p : {POINT{0, 0}, POINT{5, 200}, POINT{250, 2}}) {
        send(WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
        EXPECT_EQ(mismatches(shot(), true, p.x, p.y), 0) << p.x << "," << p.y;
        send(WM_LBUTTONUP, p.x, p.y, 0);
    }
    EXPECT_EQ(mismatches(shot(), false), 0);
}

TEST_F(MagnifyTest, PointerHiddenAndConfinedDuringTheDragArrowAfter) {
    for (bool lose_capture : {false, true}) {
        SCOPED_TRACE(lose_capture ? "capture taken away" : "released");
        SetCursor(LoadCursorW(nullptr, IDC_CROSS));
        send(WM_LBUTTONDOWN, 100, 100, MK_LBUTTON);
        EXPECT_EQ(GetCursor(), nullptr);
        EXPECT_EQ(GetCapture(), lens->hwnd());
        POINT corner{0, 0};
        ClientToScreen(lens->hwnd(), &corner);
        RECT clip{};
        GetClipCursor(&clip);
        EXPECT_EQ(clip.left, corner.x);
        EXPECT_EQ(clip.top, corner.y);
        EXPECT_EQ(clip.right, corner.x + kW - 45);
        EXPECT_EQ(clip.bottom, corner.y + kH - 45);
        if (lose_capture)
            SetCapture(host);
        else
            send(WM_LBUTTONUP, 100, 100, 0);
        EXPECT_EQ(lens->MsDNTag(), 0);
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
        GetClipCursor(&clip);
        EXPECT_EQ(clip.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
        EXPECT_EQ(clip.right - clip.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
        EXPECT_EQ(clip.bottom - clip.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
        EXPECT_EQ(mismatches(shot(), false), 0);
        ReleaseCapture();
    }
}

TEST_F(MagnifyTest, ConfinementOfAControlSmallerThanTheInsetIsOnePixel) {
    lens->set_AutoStretch(true);
    lens->set_bounds(kLeft, kTop, 30, 20);
    lens->SetBitMap(picture);
    send(WM_LBUTTONDOWN, 5, 5, MK_LBUTTON);
    RECT clip{};
    GetClipCursor(&clip);
    EXPECT_EQ(clip.right - clip.left, 1);
    EXPECT_EQ(clip.bottom - clip.top, 1);
    send(WM_LBUTTONUP, 5, 5, 0);
}

TEST_F(MagnifyTest, RightPressDrawsNoLensAndFiresOnRightClick) {
    int right_clicks = 0, downs = 0;
    lens->OnRightClick = [&](TMagnify& sender) {
        EXPECT_EQ(&sender, lens.get());
        ++right_clicks;
    };
    lens->mouse.down = {
        [](void* t, void*, ui::MouseButton, ui::ShiftState, int, int) { ++*static_cast<int*>(t); },
        &downs};
    HCURSOR cross = LoadCursorW(nullptr, IDC_CROSS);
    SetCursor(cross);
    send(WM_RBUTTONDOWN, 150, 150, MK_RBUTTON);
    EXPECT_EQ(right_clicks, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(lens->MsDNTag(), 0);
    EXPECT_EQ(GetCursor(), cross);
    send(WM_MOUSEMOVE, 160, 150, MK_RBUTTON);  // no drag: moves draw nothing
    EXPECT_EQ(mismatches(shot(), false), 0);
    send(WM_RBUTTONUP, 160, 150, 0);
}

TEST_F(MagnifyTest, PressOnAnEmptyPictureIsIgnored) {
    TMagnify empty(host);
    SendMessageW(empty.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_EQ(empty.MsDNTag(), 0);
    EXPECT_NE(GetCursor(), nullptr);
    SendMessageW(empty.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
}

TEST_F(MagnifyTest, AutosizeAndAutoStretchRules) {
    TMagnify m(host);
    m.set_bounds(5, 6, 50, 40);
    const ui::Bitmap b = coded_picture(300, 200);
    m.SetBitMap(b);  // Autosize: a copy, and the control takes its size
    EXPECT_EQ(m.width(), 300);
    EXPECT_EQ(m.height(), 200);
    EXPECT_EQ(m.Original().pixel(299, 199), coded(299, 199));

    m.set_AutoStretch(true);
    EXPECT_FALSE(m.Autosize());
    m.set_bounds(5, 6, 150, 100);
    m.SetBitMap(b);  // stretched to the control
    EXPECT_EQ(m.Original().width(), 150);
    EXPECT_EQ(m.Original().height(), 100);
    {  // halved: each pixel one of the two source pixels it covers
        const COLORREF c = m.Original().pixel(10, 10);
        EXPECT_TRUE(GetRValue(c) == 20 || GetRValue(c) == 21) << std::hex << c;
        EXPECT_TRUE(GetGValue(c) == 20 || GetGValue(c) == 21) << std::hex << c;
    }

    m.set_Autosize(true);  // the picture's size again, at the same place
    EXPECT_FALSE(m.AutoStretch());
    EXPECT_EQ(m.width(), 150);
    EXPECT_EQ(m.left(), 5);
    m.set_Autosize(false);
    EXPECT_TRUE(m.AutoStretch());

    m.set_AutoStretch(false);  // neither: SetBitMap leaves the picture alone
    m.set_Autosize(false);
    m.set_AutoStretch(false);
    EXPECT_TRUE(m.Autosize());  // AutoStretch false sets Autosize
}

TEST_F(MagnifyTest, PaintCallsOnPaintAndDrawsThePictureStretched) {
    int paints = 0;
    lens->OnPaint = [&](TMagnify&) { ++paints; };
    lens->set_AutoStretch(true);  // keep the picture, show it at twice the size
    lens->set_width(kW * 2);
    InvalidateRect(lens->hwnd(), nullptr, FALSE);
    UpdateWindow(lens->hwnd());
    EXPECT_GE(paints, 1);
    const ui::Bitmap s = shot();
    EXPECT_EQ(s.pixel(kLeft + 2 * 100, kTop + 50), coded(100, 50));
    EXPECT_EQ(SendMessageW(lens->hwnd(), WM_ERASEBKGND, 0, 0), 0);
}

TEST_F(MagnifyTest, LoadGraphicsFileByExtension) {
    const std::wstring dir = wintest::test_folder();
    const ui::Bitmap image = coded_picture(37, 21);
    const std::vector<std::uint8_t> jpeg =
        output::encode_picture(image, snipquill::ImageFormat::Jpeg);
    auto write = [&](const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(std::filesystem::path(dir + name), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    };
    ui::ensure_com();
    for (const wchar_t* n :
         {L"lens_a.jpg", L"lens_b.JPG", L"lens_c.JpG", L"lens_d.png", L"lens_e.tif"})
        write(n, jpeg);
    lens->set_AutoStretch(true);
    lens->set_bounds(0, 0, 64, 48);
    struct Case {
        const wchar_t* name;
        int w, h, bits;
    } cases[] = {
        {L"lens_a.jpg", 37, 21, 24},  {L"lens_b.JPG", 37, 21, 24}, {L"lens_c.JpG", 37, 21, 24},
        {L"lens_d.png", 64, 48, 24},  // not one of ours: blank, the control's size
        {L"missing.bmp", 64, 48, 24}, {L"lens_e.tif", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const magnify::GraphicsFile f = lens->LoadGraphicsFile(dir + c.name);
        EXPECT_EQ(f.width, c.w) << ui::to_utf8(c.name);
        EXPECT_EQ(f.height, c.h) << ui::to_utf8(c.name);
        EXPECT_EQ(f.bits_per_pixel, c.bits) << ui::to_utf8(c.name);
        if (f.bitmap) {
            BITMAP bm{};
            GetObjectW(f.bitmap.get(), sizeof(bm), &bm);
            EXPECT_EQ(bm.bmBitsPixel, c.bits);
            EXPECT_EQ(bm.bmWidth, c.w);
        }
    }
    // A bitmap file keeps its own format.
    write(L"lens_f.bmp", output::encode_picture(image, snipquill::ImageFormat::Bmp));
    const magnify::GraphicsFile bmp = lens->LoadGraphicsFile(dir + L"lens_f.bmp");
    EXPECT_EQ(bmp.width, 37);
    EXPECT_EQ(bmp.height, 21);
    EXPECT_EQ(bmp.bits_per_pixel, 24);
    for (const wchar_t* n :
         {L"lens_a.jpg", L"lens_b.JPG", L"lens_c.JpG", L"lens_d.png", L"lens_e.tif", L"lens_f.bmp"})
        DeleteFileW((dir + n).c_str());
}

TEST(NoteMagnifier, OnLaysItOverThePictureOffShrinksAndDisables) {
    app::TForm1::Services s;
    s.show_help = [](HWND, const std::wstring&) {};
    s.program_path = L"C:\\windows\\system32\\notepad.exe";
    app::TForm1 note(s);
    note.FormCreate(L"/p100,100,300,250");
    ShowWindow(note.hwnd(), SW_SHOWNOACTIVATE);
    magnify::TMagnify& m = note.Magnify1();
    EXPECT_FALSE(m.Enabled());
    EXPECT_EQ(m.MagSquare(), 30);
    EXPECT_EQ(m.MagZoom(), 3);
    const bool captured_before = note.state().captured;
    note.FormKeyUp(VK_F11, 0);  // on, live: the stale picture at the live bounds, no capture
    EXPECT_TRUE(note.magnifier_checked());
    EXPECT_TRUE(m.Enabled());
    EXPECT_EQ(note.state().captured, captured_before);
    const RECT pic = note.Image1().bounds();
    const RECT got = m.bounds();
    EXPECT_EQ(got.left, pic.left);
    EXPECT_EQ(got.top, pic.top);
    EXPECT_EQ(got.right, pic.right);
    EXPECT_EQ(got.bottom, pic.bottom);
    EXPECT_EQ(GetWindow(note.hwnd(), GW_CHILD), m.hwnd());  // above the picture
    note.FormKeyUp(VK_F11, 0);
    EXPECT_FALSE(note.magnifier_checked());
    EXPECT_FALSE(m.Enabled());
    EXPECT_EQ(m.width(), 1);
    EXPECT_EQ(m.height(), 1);
    EXPECT_EQ(m.left(), 0);
    note.FormKeyUp(VK_F11, 0);
    note.BUFormButton1Click();  // the capture turns it off
    EXPECT_FALSE(note.magnifier_checked());
    EXPECT_FALSE(m.Enabled());
}

}  // namespace
