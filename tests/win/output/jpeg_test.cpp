// Our JPEG files as other decoders read them: the platform's (WIC) and ImageMagick's, at every
// size from one pixel up, on window-like and photo-like pictures.
#include <gtest/gtest.h>
#include <wincodec.h>

#include <cmath>
#include <string>
#include <vector>

#include "output/save.h"
#include "output_support.h"
#include "ui/error.h"
#include "ui/handles.h"

namespace {

struct Sample {
    std::wstring name;
    ui::Bitmap picture;
    double min_psnr;
};

// Runs ImageMagick's convert (a Unix program, started through Wine's Z: drive) on each file,
// turning it into raw 8-bit RGB; Wine gives back no process to wait on, so the script leaves a
// file when it is done. False when it did not finish in time.
bool convert_to_rgb(const outtest::TempFolder& folder, const std::vector<std::wstring>& names) {
    std::string script = "cd '" + folder.unix_path() + "' || exit 1\n";
    for (const std::wstring& n : names) {
        const std::string name = ui::to_utf8(n);
        script += "/usr/bin/convert " + name + ".jpg -depth 8 rgb:" + name + ".rgb\n";
    }
    script += "echo done > im-done.txt\n";
    {
        ui::UniqueHandle f(CreateFileW(folder.file(L"im.sh").c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (f.get() == INVALID_HANDLE_VALUE ||
            !WriteFile(f.get(), script.data(), static_cast<DWORD>(script.size()), &written,
                       nullptr))
            return false;
    }
    std::wstring command = L"/bin/sh " + ui::to_wide(folder.unix_path()) + L"im.sh";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return false;
    ui::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    for (int i = 0; i < 1200; ++i) {
        if (GetFileAttributesW(folder.file(L"im-done.txt").c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

TEST(Jpeg, WicAndImageMagickReadEverySizeCloseToThePicture) {
    ui::ComScope com;
    outtest::TempFolder folder;
    // Bounds from measurement, a little below what these pictures reach at our step (37.4 dB
    // and up; the small cut-outs are nearly all edges).
    std::vector<Sample> samples;
    for (const auto& [w, h] : {std::pair{1, 1}, {7, 9}, {8, 8}, {17, 16}, {1920, 1080}}) {
        const std::wstring size = std::to_wstring(w) + L"x" + std::to_wstring(h);
        samples.push_back({L"window" + size, outtest::window_like_picture(w, h), 36});
        samples.push_back({L"photo" + size, outtest::photo_like_picture(w, h), 36});
    }
    ui::Bitmap flat(64, 40, RGB(51, 102, 153));
    samples.push_back({L"flat", std::move(flat), 50});
    ui::Bitmap noise(64, 40);
    std::uint32_t seed = 7;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 64; ++x) {
            seed = seed * 1103515245u + 12345u;
            noise.set_pixel(x, y, static_cast<COLORREF>(seed >> 8) & 0xFFFFFF);
        }
    samples.push_back({L"noise", std::move(noise), 30});

    std::vector<std::wstring> names;
    for (const Sample& s : samples) {
        SCOPED_TRACE(ui::to_utf8(s.name));
        std::wstring ext;
        ASSERT_TRUE(output::save_picture(s.picture, folder.file(s.name + L".jpg"), ext));
        const outtest::Image image = outtest::decode_file(folder.file(s.name + L".jpg"));
        EXPECT_TRUE(IsEqualGUID(image.container, GUID_ContainerFormatJpeg));
        ASSERT_EQ(image.width, s.picture.width());
        ASSERT_EQ(image.height, s.picture.height());
        EXPECT_GE(outtest::psnr(s.picture, image), s.min_psnr) << "as WIC reads it";
        names.push_back(s.name);
    }

    ASSERT_TRUE(convert_to_rgb(folder, names)) << "ImageMagick did not finish";
    for (const Sample& s : samples) {
        SCOPED_TRACE(ui::to_utf8(s.name));
        const std::vector<std::uint8_t> rgb = outtest::read_bytes(folder.file(s.name + L".rgb"));
        const int w = s.picture.width(), h = s.picture.height();
        ASSERT_EQ(rgb.size(), static_cast<std::size_t>(w) * h * 3) << "ImageMagick's size";
        outtest::Image image;
        image.width = w;
        image.height = h;
        for (std::size_t i = 0; i < rgb.size(); i += 3)
            image.pixels.push_back(std::uint32_t{rgb[i]} << 16 | std::uint32_t{rgb[i + 1]} << 8 |
                                   rgb[i + 2]);
        EXPECT_GE(outtest::psnr(s.picture, image), s.min_psnr) << "as ImageMagick reads it";
    }
}

}  // namespace
