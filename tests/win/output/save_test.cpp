// Saving the note's picture: every format written and read back, the save dialog and the values
// it remembers, and writes that fail without harming what was on the disk.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/note_window.h"
#include "output/image_codec.h"
#include "output/palette.h"
#include "output_support.h"
#include "ui/error.h"
#include "ui/error_report.h"
#include "ui/handles.h"
#include "win_test.h"

namespace {

using app::TForm1;
using outtest::DialogScript;
using outtest::Image;

class SaveTest : public ::testing::Test {
  protected:
    // A frozen note showing `picture`.
    std::unique_ptr<TForm1> frozen_note(const ui::Bitmap& picture) {
        auto note = std::make_unique<TForm1>();
        note->FormCreate(L"/p100,100,300,200");
        note->Image1().bitmap().assign(picture);
        note->state().captured = true;
        return note;
    }

    ui::ComScope com;
    outtest::TempFolder folder;
};

bool same_guid(const GUID& a, const GUID& b) { return IsEqualGUID(a, b) != FALSE; }

// IHDR of a PNG file: bit depth and colour type.
std::pair<int, int> png_depth_and_type(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 26) return {0, 0};
    return {bytes[24], bytes[25]};
}

struct FormatCase {
    const wchar_t* name;
    bool window_like;
    GUID container;
    double min_psnr;  // infinity: pixel for pixel
};

TEST_F(SaveTest, EachFormatReadsBackAsWritten) {
    const double exact = std::numeric_limits<double>::infinity();
    const ui::Bitmap window = outtest::window_like_picture(640, 400);
    const ui::Bitmap photo = outtest::photo_like_picture(640, 400);
    ASSERT_LE(outtest::colour_count(window), 256u) << "the window-like sample has too many colours";
    ASSERT_GT(outtest::colour_count(window), 16u);
    ASSERT_GT(outtest::colour_count(photo), 256u);

    const FormatCase cases[] = {
        {L"window.bmp", true, GUID_ContainerFormatBmp, exact},
        {L"photo.bmp", false, GUID_ContainerFormatBmp, exact},
        {L"window.png", true, GUID_ContainerFormatPng, exact},
        {L"photo.png", false, GUID_ContainerFormatPng, exact},
        {L"window.gif", true, GUID_ContainerFormatGif, exact},
        {L"photo.gif", false, GUID_ContainerFormatGif, 28},
        {L"window.jpg", true, GUID_ContainerFormatJpeg, 30},
        {L"photo.jpg", false, GUID_ContainerFormatJpeg, 33},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(ui::to_utf8(c.name));
        const ui::Bitmap& picture = c.window_like ? window : photo;
        auto note = frozen_note(picture);
        note->save_file(folder.file(c.name));
        const Image image = outtest::decode_file(folder.file(c.name));
        EXPECT_TRUE(same_guid(image.container, c.container));
        ASSERT_EQ(image.width, 640);
        ASSERT_EQ(image.height, 400);
        if (c.min_psnr == exact)
            EXPECT_EQ(outtest::mismatches(picture, image), 0u);
        else
            EXPECT_GE(outtest::psnr(picture, image), c.min_psnr);
    }

    // What the files hold: a 24-bit bitmap; a palette PNG for few colours, RGB for many.
    const std::vector<std::uint8_t> bmp = outtest::read_bytes(folder.file(L"window.bmp"));
    ASSERT_GT(bmp.size(), 30u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[28], 24) << "bits per pixel";
    EXPECT_EQ(png_depth_and_type(outtest::read_bytes(folder.file(L"window.png"))),
              (std::pair{8, 3}));
    EXPECT_EQ(png_depth_and_type(outtest::read_bytes(folder.file(L"photo.png"))),
              (std::pair{8, 2}));
    EXPECT_EQ(folder.names().size(), std::size(cases)) << "no temporary file is left behind";
}

TEST_F(SaveTest, FewColoursGiveTheSmallestPaletteAndStayExact) {
    // Colour count -> PNG bit depth.
    const std::pair<int, int> cases[] = {{1, 1}, {2, 1},  {3, 2},  {4, 2},
                                         {5, 4}, {16, 4}, {17, 8}, {256, 8}};
    for (const auto& [colours, depth] : cases) {
        SCOPED_TRACE(colours);
        ui::Bitmap picture(97, 31);  // odd width: rows need padding at every depth
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 97; ++x) {
                const int i = (x * 7 + y * 3) % colours;
                picture.set_pixel(x, y, RGB(i, 255 - i, (i * 37) & 0xFF));
            }
        auto note = frozen_note(picture);
        for (const wchar_t* name : {L"few.png", L"few.gif"}) {
            note->save_file(folder.file(name));
            EXPECT_EQ(outtest::mismatches(picture, outtest::decode_file(folder.file(name))), 0u)
                << ui::to_utf8(name);
        }
        EXPECT_EQ(png_depth_and_type(outtest::read_bytes(folder.file(L"few.png"))),
                  (std::pair{depth, 3}));
    }
}

struct ExtensionCase {
    const wchar_t* name;
    const GUID* container;     // null: nothing is written and a message says why
    const wchar_t* ext_after;  // last_save_ext afterwards
};

TEST_F(SaveTest, ExtensionChoosesTheFormatAndLastSaveExtFollows) {
    auto note = frozen_note(outtest::window_like_picture(200, 120));
    EXPECT_EQ(note->state().last_save_ext, L".BMP");
    EXPECT_EQ(note->state().last_filter_index, 1);
    const ExtensionCase cases[] = {
        {L"a.JPG", &GUID_ContainerFormatJpeg, L".jpg"},
        {L"b.Png", &GUID_ContainerFormatPng, L".png"},
        {L"c.jpeg", &GUID_ContainerFormatJpeg, L".jpg"},
        {L"d.GIF", &GUID_ContainerFormatGif, L".gif"},
        {L"e.bmp", &GUID_ContainerFormatBmp, L".bmp"},
        {L"f.tif", nullptr, L".bmp"},
        {L"g", nullptr, L".bmp"},
        {L"h.", nullptr, L".bmp"},
        // The e-mail attachment goes through the same call.
        {L"Snipquill.png", &GUID_ContainerFormatPng, L".png"},
    };
    for (const ExtensionCase& c : cases) {
        SCOPED_TRACE(ui::to_utf8(c.name));
        const std::wstring path = folder.file(c.name);
        std::wstring message;
        {
            DialogScript script;
            script.then(outtest::press(IDOK, &message));
            note->save_file(path);
            wintest::pump(c.container ? 0 : 50);
        }
        if (c.container) {
            EXPECT_TRUE(same_guid(outtest::decode_file(path).container, *c.container));
            EXPECT_TRUE(message.empty()) << ui::to_utf8(message);
        } else {
            EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
            for (const wchar_t* part : {L".bmp", L".jpg", L".gif", L".png", c.name})
                EXPECT_NE(message.find(part), std::wstring::npos) << ui::to_utf8(part);
        }
        EXPECT_EQ(note->state().last_save_ext, c.ext_after);
    }
    EXPECT_EQ(folder.names().size(), 6u);
}

// Each accepted dialog stores its filter; each write stores its extension, which becomes the
// next dialog's default extension.
TEST_F(SaveTest, DialogRemembersFilterAndExtensionAcrossSaves) {
    auto note = frozen_note(outtest::window_like_picture(200, 120));
    struct Step {
        const wchar_t* typed;  // empty: cancel the dialog
        int filter;
        int shown_filter;  // the filter the dialog opens on
        const wchar_t* written;
        const GUID* container;  // null: nothing written
        int filter_after;
        const wchar_t* ext_after;
    };
    const Step steps[] = {
        // First save: filter 1 and default extension BMP, which the dialog gives a bare name
        // under "All Files".
        {L"zero", 5, 1, L"zero.BMP", &GUID_ContainerFormatBmp, 5, L".bmp"},
        // A bare name under the GIF filter becomes a GIF.
        {L"one", 3, 5, L"one.gif", &GUID_ContainerFormatGif, 3, L".gif"},
        {L"two.JPG", 2, 3, L"two.JPG", &GUID_ContainerFormatJpeg, 2, L".jpg"},
        // (an e-mail attachment is written here, see below)
        // Under "All Files" a bare name takes the default extension, now png.
        {L"three", 5, 2, L"three.png", &GUID_ContainerFormatPng, 5, L".png"},
        {L"four.jpeg", 1, 5, L"four.jpeg", &GUID_ContainerFormatJpeg, 1, L".jpg"},
        {L"", 4, 1, nullptr, nullptr, 1, L".jpg"},  // cancelled: nothing changes
        {L"five.tif", 5, 1, L"five.tif", nullptr, 5, L".jpg"},
        {L"six", 1, 5, L"six.bmp", &GUID_ContainerFormatBmp, 1, L".bmp"},
    };
    int index = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(index);
        outtest::SaveDialogSeen seen;
        {
            DialogScript script;
            if (*s.typed) {
                script.then(outtest::save_as(folder.file(s.typed), s.filter, &seen));
                if (!s.container) script.then(outtest::press(IDOK));  // the extension message
            } else {
                script.then([&](HWND dialog) {
                    seen.seen = true;
                    seen.filter_index = static_cast<int>(
                        SendDlgItemMessageW(dialog, 0x470, CB_GETCURSEL, 0, 0) + 1);
                    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                    return true;
                });
            }
            note->run(snipquill::Command::Save);
            wintest::pump(30);
            EXPECT_TRUE(script.finished());
            EXPECT_FALSE(script.timed_out());
        }
        ASSERT_TRUE(seen.seen);
        EXPECT_EQ(seen.filter_index, s.shown_filter);
        if (index == 0) {
            EXPECT_EQ(seen.filters,
                      (std::vector<std::wstring>{L"Windows Bitmap (*.bmp)", L"Jpeg Files (*.jpg)",
                                                 L"GIF Files (*.gif)", L"PNG Files (*.png)",
                                                 L"All Files (*.*)"}));
        }
        if (s.written) {
            const std::wstring path = folder.file(s.written);
            const std::vector<std::wstring> names = folder.names();
            EXPECT_EQ(std::find(names.begin(), names.end(), s.written) != names.end(),
                      s.container != nullptr)
                << "the exact name";
            if (s.container)
                EXPECT_TRUE(same_guid(outtest::decode_file(path).container, *s.container));
            else
                EXPECT_EQ(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
        }
        EXPECT_EQ(note->state().last_filter_index, s.filter_after);
        EXPECT_EQ(note->state().last_save_ext, s.ext_after);
        if (index == 2) {
            // The e-mail dialog writes its attachment through save_file.
            note->save_file(folder.file(L"Snipquill.png"));
            EXPECT_EQ(note->state().last_save_ext, L".png");
            EXPECT_EQ(note->state().last_filter_index, 2);
        }
        ++index;
    }
}

TEST_F(SaveTest, LiveNoteIsCapturedBeforeTheDialogOpens) {
    wintest::PatternWindow pattern(0, 0, 600, 400);
    TForm1 note;
    note.FormCreate(L"/p150,80,260,190");
    ShowWindow(note.hwnd(), SW_SHOWNOACTIVATE);
    wintest::pump(150);
    ASSERT_FALSE(note.state().captured);

    bool captured_when_shown = false;
    {
        DialogScript script;
        script.then([&](HWND dialog) {
            captured_when_shown = note.state().captured;
            return outtest::save_as(folder.file(L"live.bmp"), 0)(dialog);
        });
        SendMessageW(note.hwnd(), WM_KEYUP, VK_F2, 0);
        wintest::pump(30);
    }
    EXPECT_TRUE(captured_when_shown);
    const Image image = outtest::decode_file(folder.file(L"live.bmp"));
    POINT o{0, 0};
    ClientToScreen(note.hwnd(), &o);
    ASSERT_EQ(image.width, note.client_width());
    ASSERT_EQ(image.height, note.client_height());
    int wrong = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            wrong += image.pixels[static_cast<std::size_t>(y) * image.width + x] !=
                     ui::colorref_to_dib(pattern.expected(o.x + x, o.y + y));
    EXPECT_EQ(wrong, 0);
}

TEST_F(SaveTest, DialogAsksBeforeReplacingAFile) {
    const ui::Bitmap first = outtest::window_like_picture(120, 80);
    const ui::Bitmap second = outtest::photo_like_picture(120, 80);
    const std::wstring path = folder.file(L"shot.png");
    auto note = frozen_note(first);
    note->save_file(path);
    note->Image1().bitmap().assign(second);

    std::wstring prompt;
    {
        DialogScript script;
        script.then(outtest::save_as(path, 4))
            .then(outtest::press(IDNO, &prompt))
            .then(outtest::press(IDCANCEL));
        note->Save1Click();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_FALSE(prompt.empty()) << "the dialog asked";
    EXPECT_EQ(outtest::mismatches(first, outtest::decode_file(path)), 0u) << "kept";

    {
        DialogScript script;
        script.then(outtest::save_as(path, 4)).then(outtest::press(IDYES));
        note->Save1Click();
        EXPECT_TRUE(script.finished());
    }
    EXPECT_EQ(outtest::mismatches(second, outtest::decode_file(path)), 0u) << "replaced";
}

// Expects `f` to throw ui::AppError whose text holds the system's message for `code`.
template <class F>
void expect_system_error(F&& f, DWORD code) {
    try {
        f();
        ADD_FAILURE() << "no error";
    } catch (const ui::AppError& e) {
        EXPECT_NE(e.text().find(ui::system_message(code)), std::wstring::npos)
            << ui::to_utf8(e.text());
    }
}

TEST_F(SaveTest, FailedWritesAreReportedAndHarmNothing) {
    auto note = frozen_note(outtest::window_like_picture(200, 120));

    // A folder that does not exist: an error with the system's text; a JPEG, GIF or PNG has
    // already recorded its extension, a bitmap has not.
    expect_system_error([&] { note->save_file(folder.file(L"gone\\x.png")); },
                        ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(note->state().last_save_ext, L".png");
    expect_system_error([&] { note->save_file(folder.file(L"gone\\x.bmp")); },
                        ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(note->state().last_save_ext, L".png");

    // A read-only file of the same name stays exactly as it was.
    const std::wstring locked = folder.file(L"locked.bmp");
    note->save_file(locked);
    const std::vector<std::uint8_t> before = outtest::read_bytes(locked);
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    note->Image1().bitmap().assign(outtest::photo_like_picture(50, 50));
    expect_system_error([&] { note->save_file(locked); }, ERROR_ACCESS_DENIED);
    EXPECT_EQ(outtest::read_bytes(locked), before);

    // A folder in the way of the name.
    const std::wstring folder_named_png = folder.file(L"sub.png");
    ASSERT_TRUE(CreateDirectoryW(folder_named_png.c_str(), nullptr));
    EXPECT_THROW(note->save_file(folder_named_png), ui::AppError);
    EXPECT_NE(GetFileAttributesW(folder_named_png.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);

    EXPECT_EQ(folder.names(), (std::vector<std::wstring>{L"locked.bmp", L"sub.png"}))
        << "no temporary file is left behind";
}

TEST_F(SaveTest, SaveCommandErrorGoesToTheErrorReport) {
    auto note = frozen_note(outtest::window_like_picture(200, 120));
    const std::wstring locked = folder.file(L"locked.gif");
    note->save_file(locked);
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));

    std::wstring report;
    {
        DialogScript script;
        script.then(outtest::save_as(locked, 3)).then([&](HWND dialog) {
            // Yes to the replace prompt, if the dialog shows one, then the report.
            if (!GetDlgItem(dialog, ui::kReportHeadline)) {
                PostMessageW(dialog, WM_COMMAND, IDYES, 0);
                return false;
            }
            report = outtest::dialog_texts(dialog);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            return true;
        });
        SendMessageW(note->hwnd(), WM_KEYUP, VK_F2, 0);
        wintest::pump(30);
    }
    EXPECT_NE(report.find(ui::kErrorHeadline), std::wstring::npos) << ui::to_utf8(report);
    EXPECT_NE(report.find(ui::system_message(ERROR_ACCESS_DENIED)), std::wstring::npos)
        << ui::to_utf8(report);
}

}  // namespace
