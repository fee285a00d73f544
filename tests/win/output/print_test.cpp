// Printing under Wine to PostScript test printers: every job is rendered by Ghostscript at
// 600 dpi and the picture's printed size, place and orientation are measured on the page.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/note_window.h"
#include "output/printer.h"
#include "output_support.h"
#include "test_printer.h"
#include "ui/error.h"
#include "ui/error_report.h"
#include "win_test.h"

namespace {

using app::TForm1;
using outtest::DialogScript;

// A rendered page: 8-bit grey, one byte per pixel, top row first.
struct Page {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> grey;
    std::uint8_t at(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height
                   ? 255
                   : grey[static_cast<std::size_t>(y) * width + x];
    }
};

Page read_pgm(const std::wstring& path) {
    const std::vector<std::uint8_t> bytes = outtest::read_bytes(path);
    Page page;
    std::size_t at = 0;
    auto token = [&]() {
        std::string t;
        while (at < bytes.size()) {
            const char c = static_cast<char>(bytes[at]);
            if (c == '#') {
                while (at < bytes.size() && bytes[at] != '\n') ++at;
            } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
                if (!t.empty()) break;
                ++at;
            } else {
                t += c;
                ++at;
            }
        }
        return t;
    };
    if (token() != "P5") return page;
    page.width = std::stoi(token());
    page.height = std::stoi(token());
    token();  // maximum value
    ++at;     // the single white space before the pixels
    if (bytes.size() < at + static_cast<std::size_t>(page.width) * page.height) return {};
    page.grey.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    return page;
}

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
};

// Bounding box of the dark pixels (the printed picture is dark grey).
Box dark_box(const Page& page) {
    Box b{page.width, page.height, -1, -1};
    for (int y = 0; y < page.height; ++y) {
        const std::uint8_t* row = page.grey.data() + static_cast<std::size_t>(y) * page.width;
        for (int x = 0; x < page.width; ++x)
            if (row[x] < 128) {
                b.left = std::min(b.left, x);
                b.right = std::max(b.right, x);
                b.top = std::min(b.top, y);
                b.bottom = std::max(b.bottom, y);
            }
    }
    return b;
}

// Dark grey with a light square in its upper-left part, so a turned or mirrored print shows.
ui::Bitmap print_picture(int w, int h) {
    ui::Bitmap picture(w, h, RGB(60, 60, 60));
    for (int y = h / 8; y < h / 4; ++y)
        for (int x = w / 8; x < w / 4; ++x) picture.set_pixel(x, y, RGB(210, 210, 210));
    return picture;
}

// Where the printer's page pixel (0, 0) and its axes land on the rendered portrait page.
struct Placement {
    bool landscape;
    int offset_x, offset_y, physical_width;
    // The rendered page position of printer pixel (x, y).
    POINT on_page(int x, int y) const {
        if (!landscape) return {offset_x + x, offset_y + y};
        // Wine's driver turns a landscape page a quarter to the left.
        return {offset_y + y, physical_width - offset_x - 1 - x};
    }
};

Placement placement_of(output::Printer& printer) {
    ui::UniqueDC dc = printer.create_dc();
    return {printer.orientation() == output::Orientation::Landscape,
            GetDeviceCaps(dc.get(), PHYSICALOFFSETX), GetDeviceCaps(dc.get(), PHYSICALOFFSETY),
            GetDeviceCaps(dc.get(), PHYSICALWIDTH)};
}

class PrintTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { install_error_ = outtest::install_test_printers(); }
    void SetUp() override {
        ASSERT_TRUE(install_error_.empty()) << ui::to_utf8(install_error_);
        outtest::send_jobs_to(outtest::kTestPrinter, folder.unix_path());
        outtest::send_jobs_to(outtest::kTestPrinterB, folder_b.unix_path());
    }

    std::unique_ptr<TForm1> frozen_note(int w, int h) {
        auto note = std::make_unique<TForm1>();
        note->FormCreate(L"/p100,100,200,150");
        note->Image1().bitmap().assign(print_picture(w, h));
        note->state().captured = true;
        return note;
    }

    // Waits for the job sent to `to` and returns its rendered page.
    Page next_page(const outtest::TempFolder& to) {
        const std::wstring done = to.file(L"job.done");
        for (int i = 0; i < 600 && GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
            wintest::pump(50);
        Page page = read_pgm(to.file(L"job.pgm"));
        DeleteFileW(done.c_str());
        DeleteFileW(to.file(L"job.pgm").c_str());
        return page;
    }

    // Expects the picture printed at w x h printer pixels at the printable area's corner.
    void expect_printed(const Page& page, const Placement& where, int w, int h) {
        ASSERT_GT(page.width, 0) << "no page was rendered";
        const Box box = dark_box(page);
        const POINT first = where.on_page(0, 0), last = where.on_page(w - 1, h - 1);
        const Box expected{std::min(first.x, last.x), std::min(first.y, last.y),
                           std::max(first.x, last.x), std::max(first.y, last.y)};
        EXPECT_NEAR(box.left, expected.left, 2);
        EXPECT_NEAR(box.top, expected.top, 2);
        EXPECT_NEAR(box.width(), expected.width(), 1);
        EXPECT_NEAR(box.height(), expected.height(), 1);
        // The light square shows where the picture's upper-left part was printed.
        const POINT light = where.on_page(w * 3 / 16, h * 3 / 16);
        const POINT dark = where.on_page(w * 13 / 16, h * 13 / 16);
        EXPECT_GT(page.at(light.x, light.y), 150);
        EXPECT_LT(page.at(dark.x, dark.y), 128);
    }

    static inline std::wstring install_error_;
    ui::ComScope com;
    outtest::TempFolder folder, folder_b;
};

struct FitCase {
    const char* what;
    bool landscape;
    int picture_w, picture_h;
    int printed_w, printed_h;
};

// The test printers give 3001 x 6001 printer pixels at 600 dpi (portrait); the screen has
// 96 pixels per inch, so a picture prints 6.25 times its size when it fits.
TEST_F(PrintTest, PicturePrintsAtScreenSizeOrFittedToThePage) {
    const FitCase cases[] = {
        {"fits, portrait", false, 400, 300, 2500, 1875},
        {"fits, landscape", true, 400, 300, 2500, 1875},
        {"too wide, portrait", false, 1000, 520, 3001, 1561},
        {"too tall, landscape", true, 320, 600, 1601, 3001},
        {"too large both ways, portrait", false, 500, 1200, 2501, 6001},
        {"too large both ways, landscape", true, 1200, 700, 5144, 3001},
    };
    ASSERT_EQ(output::screen_pixels_per_inch(), 96);
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto note = frozen_note(c.picture_w, c.picture_h);
        if (c.landscape)
            note->Landscape1Click();
        else
            note->Portrait1Click();
        expect_printed(next_page(folder), placement_of(note->printer()), c.printed_w, c.printed_h);
    }
    const std::vector<std::uint8_t> ps = outtest::read_bytes(folder.file(L"job.ps"));
    EXPECT_NE(std::string(ps.begin(), ps.end()).find("%%Title: Snipquill\n"), std::string::npos)
        << "the job title";
}

TEST_F(PrintTest, LiveNoteIsCapturedFirst) {
    TForm1 note;
    note.FormCreate(L"/p120,90,200,160");
    ShowWindow(note.hwnd(), SW_SHOWNOACTIVATE);
    wintest::pump(100);
    ASSERT_FALSE(note.state().captured);
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F7, 0);
    ASSERT_TRUE(note.state().captured);
    const Page page = next_page(folder);
    ASSERT_GT(page.width, 0);
    // Whatever the screen showed, the page holds a picture of the client area's size.
    const ui::Bitmap& picture = note.Image1().bitmap();
    EXPECT_EQ(picture.width(), note.client_width());
    ui::Bitmap& shown = note.Image1().bitmap();
    shown.assign(print_picture(shown.width(), shown.height()));
    SendMessageW(note.hwnd(), WM_KEYUP, VK_F7, 0);
    expect_printed(next_page(folder), placement_of(note.printer()),
                   static_cast<int>(shown.width() * 6.25 + 0.5),
                   static_cast<int>(shown.height() * 6.25 + 0.5));
}

// Reads the set-up dialog and answers it: optionally picks another printer, then presses
// `button`.
DialogScript::Step printer_setup(bool* landscape_checked, std::wstring* printer_shown,
                                 const wchar_t* choose, int button) {
    return [=](HWND dialog) {
        // Windows names the printer list cmb4, Wine's set-up dialog cmb1.
        constexpr int kLandscape = 0x421;
        int list_id = 0x473;
        HWND list = GetDlgItem(dialog, list_id);
        if (!list) list = GetDlgItem(dialog, list_id = 0x470);
        if (!list || !GetDlgItem(dialog, kLandscape)) return false;
        if (landscape_checked)
            *landscape_checked = IsDlgButtonChecked(dialog, kLandscape) == BST_CHECKED;
        if (printer_shown) {
            wchar_t text[256]{};
            GetWindowTextW(list, text, 256);
            *printer_shown = text;
        }
        if (choose) {
            const LRESULT i = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(choose));
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(list_id, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
        }
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

TEST_F(PrintTest, PrinterAndOrientationHoldForTheRestOfTheRun) {
    auto note = frozen_note(400, 300);
    note->Landscape1Click();
    next_page(folder);

    // The set-up dialog opens on the landscape setting; OK keeps it for later jobs.
    bool landscape = false;
    std::wstring shown;
    {
        DialogScript script;
        script.then(printer_setup(&landscape, &shown, nullptr, IDOK));
        note->run(snipquill::Command::SetPrinter);
        EXPECT_TRUE(script.finished());
    }
    EXPECT_TRUE(landscape);
    EXPECT_EQ(shown, outtest::kTestPrinter);
    note->Print1Click();
    expect_printed(next_page(folder), placement_of(note->printer()), 2500, 1875);
    EXPECT_EQ(note->printer().orientation(), output::Orientation::Landscape);

    // Another printer chosen in the dialog takes the next jobs.
    {
        DialogScript script;
        script.then(printer_setup(nullptr, nullptr, outtest::kTestPrinterB, IDOK));
        note->SetPrinter1Click();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(note->printer().name(), outtest::kTestPrinterB);
    note->Portrait1Click();
    expect_printed(next_page(folder_b), placement_of(note->printer()), 2500, 1875);

    // Cancel changes nothing.
    {
        DialogScript script;
        script.then(printer_setup(nullptr, &shown, outtest::kTestPrinter, IDCANCEL));
        note->SetPrinter1Click();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(shown, outtest::kTestPrinterB);
    EXPECT_EQ(note->printer().name(), outtest::kTestPrinterB);
    EXPECT_EQ(note->printer().orientation(), output::Orientation::Portrait);
    EXPECT_EQ(outtest::read_bytes(folder.file(L"job.done")).size(), 0u) << "nothing went to A";
}

// Runs the key's command on a live note and returns the error report's texts.
std::wstring report_for_key(WORD key, TForm1& note) {
    std::wstring report;
    DialogScript script;
    script.then(outtest::press(IDOK, &report));
    SendMessageW(note.hwnd(), WM_KEYUP, key, 0);
    wintest::pump(30);
    return report;
}

class DefaultPrinterChange {
  public:
    explicit DefaultPrinterChange(const std::wstring& value)
        : saved_(outtest::default_printer_setting()) {
        outtest::set_default_printer_setting(value);
    }
    ~DefaultPrinterChange() { outtest::set_default_printer_setting(saved_); }

  private:
    std::wstring saved_;
};

TEST_F(PrintTest, NoPrinterOrAMissingOneIsReportedClearly) {
    {
        DefaultPrinterChange none(L"");
        TForm1 note;
        note.FormCreate(L"");
        const std::wstring report = report_for_key(VK_F7, note);
        EXPECT_NE(report.find(ui::kErrorHeadline), std::wstring::npos) << ui::to_utf8(report);
        EXPECT_NE(report.find(L"No printer is installed"), std::wstring::npos)
            << ui::to_utf8(report);
        EXPECT_FALSE(note.state().captured) << "nothing happens before the printer is known";
    }
    {
        DefaultPrinterChange ghost(L"Ghost Printer,winspool,SNIPQUILLTEST_A:");
        TForm1 note;
        note.FormCreate(L"");
        const std::wstring report = report_for_key(VK_F8, note);
        EXPECT_NE(report.find(L"\"Ghost Printer\""), std::wstring::npos) << ui::to_utf8(report);
    }
    EXPECT_EQ(outtest::read_bytes(folder.file(L"job.done")).size(), 0u) << "no job was printed";
}

// The no-printer message sends the user to Set Printer...; without a default printer the set-up
// dialog must still open and let the user choose one, and Cancel leaves none chosen.
TEST_F(PrintTest, SetPrinterOpensWithoutADefaultPrinter) {
    DefaultPrinterChange none(L"");
    auto note = frozen_note(400, 300);
    std::wstring shown;
    {
        DialogScript script;
        script.then(printer_setup(nullptr, &shown, nullptr, IDCANCEL));
        note->SetPrinter1Click();
        EXPECT_TRUE(script.finished()) << "the set-up dialog did not open";
    }
    EXPECT_FALSE(shown.empty()) << "the dialog offers an installed printer";
    EXPECT_NE(report_for_key(VK_F7, *note).find(L"No printer is installed"), std::wstring::npos)
        << "Cancel chose no printer";
    {
        DialogScript script;
        script.then(printer_setup(nullptr, nullptr, outtest::kTestPrinterB, IDOK));
        note->run(snipquill::Command::SetPrinter);
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(note->printer().name(), outtest::kTestPrinterB);
    note->Portrait1Click();
    expect_printed(next_page(folder_b), placement_of(note->printer()), 2500, 1875);
}

}  // namespace
