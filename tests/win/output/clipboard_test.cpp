// To Clipboard (F6): the picture read back by another program, and a clipboard that another
// program holds open. The other program is this test program started again in a child role.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/note_window.h"
#include "output/clipboard.h"
#include "output_support.h"
#include "ui/error.h"
#include "ui/handles.h"
#include "win_test.h"

namespace {

using app::TForm1;
using outtest::DialogScript;

constexpr wchar_t kRoleVariable[] = L"SNIPQUILL_CLIPBOARD_CHILD";
constexpr wchar_t kHeldEvent[] = L"SnipquillTestClipboardHeld";
constexpr wchar_t kReleaseEvent[] = L"SnipquillTestClipboardRelease";

bool write_file(const std::wstring& path, const void* data, std::size_t size) {
    ui::UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file.get() != INVALID_HANDLE_VALUE &&
           WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
}

bool open_clipboard_patiently() {
    for (int i = 0; i < 200; ++i) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(10);
    }
    return false;
}

// Child role "read <folder>": what the clipboard offers, into files in the folder.
void read_clipboard_into(const std::wstring& folder) {
    ASSERT_TRUE(open_clipboard_patiently());
    const std::string formats =
        std::string(IsClipboardFormatAvailable(CF_DIB) ? "dib " : "") +
        (IsClipboardFormatAvailable(CF_BITMAP) ? "bitmap " : "") +
        (IsClipboardFormatAvailable(CF_UNICODETEXT) ? "text " : "") +
        (IsClipboardFormatAvailable(output::png_clipboard_format()) ? "png " : "");
    write_file(folder + L"formats.txt", formats.data(), formats.size());
    if (HANDLE dib = GetClipboardData(CF_DIB)) {
        const void* p = GlobalLock(dib);
        write_file(folder + L"dib.bin", p, GlobalSize(dib));
        GlobalUnlock(dib);
    }
    if (HANDLE png = GetClipboardData(output::png_clipboard_format())) {
        const void* p = GlobalLock(png);
        write_file(folder + L"picture.png", p, GlobalSize(png));
        GlobalUnlock(png);
    }
    if (auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP))) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof(info), &info);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = info.bmWidth;
        bi.bmiHeader.biHeight = -info.bmHeight;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        std::vector<std::int32_t> out(2 + static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
        out[0] = info.bmWidth;
        out[1] = info.bmHeight;
        ui::WindowDC screen(nullptr);
        GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), out.data() + 2, &bi,
                  DIB_RGB_COLORS);
        write_file(folder + L"bitmap.bin", out.data(), out.size() * sizeof(std::int32_t));
    }
    CloseClipboard();
}

// Child role "hold <ms>": opens the clipboard, says so, and keeps it open until told to let
// go or for at most ms milliseconds.
void hold_clipboard(DWORD ms) {
    ui::UniqueHandle held(OpenEventW(EVENT_MODIFY_STATE, FALSE, kHeldEvent));
    ui::UniqueHandle release(OpenEventW(SYNCHRONIZE, FALSE, kReleaseEvent));
    ASSERT_TRUE(held && release);
    ASSERT_TRUE(OpenClipboard(nullptr));
    SetEvent(held.get());
    WaitForSingleObject(release.get(), ms);
    CloseClipboard();
}

TEST(ClipboardChild, Role) {
    wchar_t role[1024]{};
    if (!GetEnvironmentVariableW(kRoleVariable, role, 1024))
        GTEST_SKIP() << "only runs as the other program of the clipboard tests";
    const std::wstring r = role;
    if (r.rfind(L"read ", 0) == 0) read_clipboard_into(r.substr(5));
    if (r.rfind(L"hold ", 0) == 0) hold_clipboard(static_cast<DWORD>(std::stoul(r.substr(5))));
}

// This test program started again in a child role; waited for at the end.
class Child {
  public:
    explicit Child(const std::wstring& role) {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        std::wstring command =
            L"\"" + std::wstring(exe) + L"\" --gtest_filter=ClipboardChild.Role --gtest_brief=1";
        SetEnvironmentVariableW(kRoleVariable, role.c_str());
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi{};
        if (CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                           &pi)) {
            process_.reset(pi.hProcess);
            ui::UniqueHandle thread(pi.hThread);
        }
        SetEnvironmentVariableW(kRoleVariable, nullptr);
    }
    // The child's exit code once it has ended (-1 when it does not end in time). Our windows
    // keep handling messages meanwhile, as they would while another program runs.
    int finish() {
        if (!process_) return -1;
        const DWORD end = GetTickCount() + 30000;
        HANDLE process = process_.get();
        while (MsgWaitForMultipleObjects(1, &process, FALSE, 50, QS_ALLINPUT) != WAIT_OBJECT_0) {
            wintest::pump(0);
            if (static_cast<LONG>(end - GetTickCount()) < 0) return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<int>(code);
    }
    ~Child() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT)
            TerminateProcess(process_.get(), 1);
    }

  private:
    ui::UniqueHandle process_;
};

void put_text_on_clipboard(const std::wstring& text) {
    ASSERT_TRUE(open_clipboard_patiently());
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

std::wstring text_on_clipboard() {
    std::wstring text;
    if (!open_clipboard_patiently()) return L"(cannot open)";
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

std::string file_text(const std::wstring& path) {
    const std::vector<std::uint8_t> bytes = outtest::read_bytes(path);
    return {bytes.begin(), bytes.end()};
}

TEST(Clipboard, LiveNoteIsCapturedAndAnotherProgramReadsThePictureBack) {
    ui::ComScope com;
    outtest::TempFolder folder;
    put_text_on_clipboard(L"what was there before");
    wintest::PatternWindow pattern(0, 0, 600, 400);
    TForm1 note;
    note.FormCreate(L"/p130,70,237,151");  // an odd width: DIB rows are padded
    ShowWindow(note.hwnd(), SW_SHOWNOACTIVATE);
    wintest::pump(150);
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F6, 0);
    ASSERT_TRUE(note.state().captured);

    Child reader(L"read " + folder.path());
    ASSERT_EQ(reader.finish(), 0);
    EXPECT_EQ(file_text(folder.file(L"formats.txt")), "dib bitmap png ")
        << "the picture replaces the text, and the system offers a bitmap too";

    POINT o{0, 0};
    ClientToScreen(note.hwnd(), &o);
    const int w = note.client_width(), h = note.client_height();
    // The DIB: a 24-bit bottom-up image of exactly the captured pixels.
    const std::vector<std::uint8_t> dib = outtest::read_bytes(folder.file(L"dib.bin"));
    ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib.data(), sizeof(header));
    EXPECT_EQ(header.biWidth, w);
    EXPECT_EQ(header.biHeight, h);
    EXPECT_EQ(header.biBitCount, 24);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3};
    ASSERT_GE(dib.size(), header.biSize + stride * h);
    int wrong_dib = 0, wrong_bitmap = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = dib.data() + header.biSize + stride * (h - 1 - y) + x * 3;
            wrong_dib += RGB(p[2], p[1], p[0]) != pattern.expected(o.x + x, o.y + y);
        }
    // The bitmap the system made of it shows the same pixels.
    const std::vector<std::uint8_t> raw = outtest::read_bytes(folder.file(L"bitmap.bin"));
    ASSERT_GE(raw.size(), 8u);
    std::vector<std::int32_t> bitmap(raw.size() / 4);
    std::memcpy(bitmap.data(), raw.data(), bitmap.size() * 4);
    ASSERT_EQ(bitmap[0], w);
    ASSERT_EQ(bitmap[1], h);
    ASSERT_EQ(bitmap.size(), 2 + static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            wrong_bitmap +=
                ui::dib_to_colorref(static_cast<std::uint32_t>(bitmap[2 + y * w + x])) !=
                pattern.expected(o.x + x, o.y + y);
    EXPECT_EQ(wrong_dib, 0);
    EXPECT_EQ(wrong_bitmap, 0);
    // The PNG, written when the other program asked for it.
    const outtest::Image png = outtest::decode_file(folder.file(L"picture.png"));
    EXPECT_TRUE(IsEqualGUID(png.container, GUID_ContainerFormatPng));
    EXPECT_EQ(outtest::mismatches(note.Image1().bitmap(), png), 0u);
}

// A window of our own owns what it offers, so the test sees when the PNG is written.
class OfferOwner {
  public:
    OfferOwner() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SnipquillTestOfferOwner";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~OfferOwner() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    OfferOwner(const OfferOwner&) = delete;
    OfferOwner& operator=(const OfferOwner&) = delete;
    HWND hwnd() const { return hwnd_; }
    void destroy() {
        DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

    output::ClipboardOffer offer;
    int renders = 0;  // WM_RENDERFORMAT and WM_RENDERALLFORMATS received

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* self = reinterpret_cast<OfferOwner*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) switch (msg) {
                case WM_RENDERFORMAT:
                    ++self->renders;
                    self->offer.render(static_cast<UINT>(wp));
                    return 0;
                case WM_RENDERALLFORMATS:
                    ++self->renders;
                    self->offer.render_all(hwnd);
                    return 0;
                case WM_DESTROYCLIPBOARD:
                    self->offer.release();
                    return 0;
            }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    HWND hwnd_ = nullptr;
};

TEST(ClipboardPng, IsWrittenOnlyWhenAskedForAndStaysAfterTheOwnerHasGone) {
    struct Case {
        const char* what;
        bool ask_first;  // another program reads the PNG while the owner is still there
    };
    for (const Case c : {Case{"asked for while the owner lives", true},
                         Case{"rendered as the owner goes", false}}) {
        SCOPED_TRACE(c.what);
        ui::ComScope com;
        outtest::TempFolder folder;
        const ui::Bitmap picture = outtest::photo_like_picture(123, 77);
        OfferOwner owner;
        ASSERT_EQ(owner.offer.copy(owner.hwnd(), picture), output::ClipboardOutcome::Copied);
        EXPECT_EQ(owner.renders, 0) << "copying costs no encoding";
        EXPECT_TRUE(owner.offer.pending());
        if (c.ask_first) {
            Child reader(L"read " + folder.path());
            ASSERT_EQ(reader.finish(), 0);
            EXPECT_EQ(owner.renders, 1);
            EXPECT_FALSE(owner.offer.pending());
            owner.destroy();
        } else {
            owner.destroy();
            EXPECT_EQ(owner.renders, 1);
            Child reader(L"read " + folder.path());
            ASSERT_EQ(reader.finish(), 0);
        }
        EXPECT_EQ(file_text(folder.file(L"formats.txt")), "dib bitmap png ");
        const outtest::Image png = outtest::decode_file(folder.file(L"picture.png"));
        EXPECT_TRUE(IsEqualGUID(png.container, GUID_ContainerFormatPng));
        EXPECT_EQ(outtest::mismatches(picture, png), 0u);
    }
}

TEST(ClipboardPng, TheNotesCopySurvivesCloseAndLaterDrawing) {
    ui::ComScope com;
    outtest::TempFolder folder;
    const ui::Bitmap copied = outtest::window_like_picture(140, 100);
    {
        TForm1 note;
        note.FormCreate(L"/p100,100,200,150");
        note.Image1().bitmap().assign(copied);
        note.state().captured = true;
        note.run(snipquill::Command::Clipboard);
        // Drawn on after the copy: the clipboard keeps the picture as it was copied.
        note.Image1().bitmap().set_pixel(5, 5, RGB(1, 2, 3));
        DestroyWindow(note.hwnd());
        wintest::pump(20);
    }
    Child reader(L"read " + folder.path());
    ASSERT_EQ(reader.finish(), 0);
    EXPECT_EQ(file_text(folder.file(L"formats.txt")), "dib bitmap png ");
    const outtest::Image png = outtest::decode_file(folder.file(L"picture.png"));
    EXPECT_EQ(outtest::mismatches(copied, png), 0u);
}

class HeldClipboard : public ::testing::Test {
  protected:
    HeldClipboard()
        : held_(CreateEventW(nullptr, TRUE, FALSE, kHeldEvent)),
          release_(CreateEventW(nullptr, TRUE, FALSE, kReleaseEvent)) {}

    // Starts a program that opens the clipboard and keeps it for at most ms milliseconds.
    std::unique_ptr<Child> hold_for(int ms) {
        auto child = std::make_unique<Child>(L"hold " + std::to_wstring(ms));
        EXPECT_EQ(WaitForSingleObject(held_.get(), 20000), WAIT_OBJECT_0);
        return child;
    }
    void let_go() { SetEvent(release_.get()); }

    std::unique_ptr<TForm1> frozen_note() {
        auto note = std::make_unique<TForm1>();
        note->FormCreate(L"/p100,100,200,150");
        note->Image1().bitmap().assign(outtest::window_like_picture(120, 90));
        note->state().captured = true;
        return note;
    }

    ui::UniqueHandle held_, release_;
};

TEST_F(HeldClipboard, StaysHeldGivesAMessageAndLeavesTheClipboardAlone) {
    put_text_on_clipboard(L"kept");
    auto note = frozen_note();
    auto holder = hold_for(20000);
    std::wstring message;
    {
        DialogScript script;
        script.then(outtest::press(IDOK, &message));
        note->run(snipquill::Command::Clipboard);
        wintest::pump(50);
    }
    EXPECT_NE(message.find(L"clipboard is in use"), std::wstring::npos) << ui::to_utf8(message);
    let_go();
    EXPECT_EQ(holder->finish(), 0);
    EXPECT_EQ(text_on_clipboard(), L"kept");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
}

TEST_F(HeldClipboard, BrieflyHeldIsWaitedFor) {
    put_text_on_clipboard(L"replaced");
    auto note = frozen_note();
    auto holder = hold_for(150);  // lets go by itself, well within the wait
    std::wstring message;
    {
        DialogScript script;
        script.then(outtest::press(IDOK, &message));
        note->run(snipquill::Command::Clipboard);
        wintest::pump(50);
    }
    EXPECT_TRUE(message.empty()) << ui::to_utf8(message);
    EXPECT_EQ(holder->finish(), 0);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
    EXPECT_EQ(text_on_clipboard(), L"");
}

}  // namespace
