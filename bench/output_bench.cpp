// Saving 1920 x 1080 pictures of window-like content, one of at most 256 colours and one with a
// photo-like gradient: our save time and file size for PNG, GIF and JPEG next to ImageMagick's
// convert turning a BMP of the same pixels into the same format, measured in the same run.
// convert runs as a Unix program through a small shell script that times each run itself.
// Then To Clipboard on the same pictures: the copy itself, and the PNG written when asked for.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench_util.h"
#include "output/clipboard.h"
#include "output/palette.h"
#include "output/save.h"
#include "ui/bitmap.h"
#include "ui/error.h"
#include "ui/handles.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kRuns = 5;

void fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
    ui::UniqueGdi<HBRUSH> brush(CreateSolidBrush(c));
    const RECT rect{l, t, r, b};
    FillRect(dc, &rect, brush.get());
}

// An editor-like window: caption, menu, toolbar, a list, a page of aliased text, scroll bars.
void draw_window(HDC dc, int w, int h) {
    fill(dc, 0, 0, w, h, RGB(240, 240, 240));
    fill(dc, 0, 0, w, 30, RGB(0, 84, 227));
    fill(dc, 0, 30, w, 52, RGB(255, 255, 255));
    for (int i = 0; i < 24; ++i)  // toolbar buttons with small icons
        fill(dc, 8 + i * 34, 58, 36 + i * 34, 86, RGB(225 - i * 3, 232 - i * 2, 240));
    for (int i = 0; i < 24; ++i)
        fill(dc, 16 + i * 34, 64, 28 + i * 34, 78, RGB((i * 53) % 256, (i * 97) % 256, 90));
    fill(dc, 8, 96, 300, h - 30, RGB(255, 255, 255));
    for (int y = 96; y < h - 30; y += 40) fill(dc, 8, y, 300, y + 20, RGB(245, 247, 250));
    fill(dc, 310, 96, w - 26, h - 30, RGB(255, 255, 255));
    fill(dc, w - 24, 96, w - 8, h - 30, RGB(230, 230, 230));
    fill(dc, w - 22, 200, w - 10, 400, RGB(192, 192, 192));
    fill(dc, 0, h - 26, w, h, RGB(225, 225, 225));

    ui::UniqueGdi<HFONT> font(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    ui::Selection keep(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    const wchar_t* lines[] = {
        L"void TForm1::Save1Click() {  // the picture goes to the file the user names",
        L"    if (!state_.captured) BUFormButton1Click();",
        L"The quick brown fox jumps over the lazy dog 0123456789",
        L"Snipquill pins a frozen copy of part of the screen to the desktop as a note.",
        L"    return std::nullopt;  }"};
    int row = 0;
    for (int y = 100; y < h - 40; y += 17, ++row) {
        SetTextColor(dc, row % 4 == 1   ? RGB(0, 0, 160)
                         : row % 4 == 3 ? RGB(0, 128, 0)
                                        : RGB(0, 0, 0));
        const wchar_t* t = lines[row % 5];
        TextOutW(dc, 320, y, t, static_cast<int>(wcslen(t)));
        TextOutW(dc, 320 + 760, y, t, static_cast<int>(wcslen(t)) / 2);
        const std::wstring item = L"Document " + std::to_wstring(row) + L".txt";
        TextOutW(dc, 16, y, item.c_str(), static_cast<int>(item.size()));
    }
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutW(dc, 10, 8, L"notes.txt - Editor", 18);
}

ui::Bitmap window_picture() {
    ui::Bitmap picture(kWidth, kHeight);
    draw_window(picture.dc(), kWidth, kHeight);
    GdiFlush();
    return picture;
}

// The same window showing a large photo-like area: smooth gradients with fine grain.
ui::Bitmap photo_picture() {
    ui::Bitmap picture = window_picture();
    std::uint32_t noise = 2024;
    for (int y = 120; y < kHeight - 60; ++y)
        for (int x = 340; x < kWidth - 60; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) % 5) - 2;
            const double fx = x / double(kWidth), fy = y / double(kHeight);
            const int r = static_cast<int>(90 + 120 * fx + 30 * std::sin(fy * 6)) + n;
            const int g = static_cast<int>(140 + 80 * std::cos(fx * 3 + fy * 2)) + n;
            const int b = static_cast<int>(200 - 130 * fy + 20 * std::sin(fx * 9)) + n;
            picture.set_pixel(
                x, y, RGB(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255)));
        }
    return picture;
}

std::size_t colours(const ui::Bitmap& p) {
    const auto exact = snipquill::index_exactly(
        {p.bits(), static_cast<std::size_t>(p.width()) * p.height()}, p.width(), p.height());
    return exact ? exact->palette.size() : 257;
}

long long file_size(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The file's pixels through WIC as 0x00RRGGBB, empty when it cannot be read.
std::vector<std::uint32_t> decode(const std::wstring& path) {
    ui::ComPtr<IWICImagingFactory> factory;
    ui::ComPtr<IWICBitmapDecoder> decoder;
    ui::ComPtr<IWICBitmapFrameDecode> frame;
    ui::ComPtr<IWICBitmapSource> converted;
    UINT w = 0, h = 0;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.put_void())) ||
        FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand, decoder.put())) ||
        FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetSize(&w, &h)) ||
        FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), converted.put())))
        return {};
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    if (FAILED(converted->CopyPixels(nullptr, w * 4, static_cast<UINT>(px.size() * 4),
                                     reinterpret_cast<BYTE*>(px.data()))))
        return {};
    for (std::uint32_t& p : px) p &= 0xFFFFFF;
    return px;
}

// PSNR in dB of a file against the picture; infinite when equal, 0 when unreadable.
double psnr(const ui::Bitmap& picture, const std::wstring& path) {
    const std::vector<std::uint32_t> px = decode(path);
    const std::size_t n = static_cast<std::size_t>(picture.width()) * picture.height();
    if (px.size() != n) return 0;
    double squared = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (int s : {0, 8, 16}) {
            const double d = double((picture.bits()[i] >> s) & 0xFF) - double((px[i] >> s) & 0xFF);
            squared += d * d;
        }
    return squared == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 * 3.0 * n / squared);
}

bool write_text(const std::wstring& path, const std::string& text) {
    ui::UniqueHandle f(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return f.get() != INVALID_HANDLE_VALUE &&
           WriteFile(f.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string read_text(const std::wstring& path) {
    ui::UniqueHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (f.get() == INVALID_HANDLE_VALUE) return {};
    std::string text(GetFileSize(f.get(), nullptr), '\0');
    DWORD read = 0;
    ReadFile(f.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr);
    text.resize(read);
    return text;
}

// Runs convert on each BMP for each format, kRuns + 1 times, from a shell that times every run;
// returns the medians in milliseconds by "<picture> <ext>". Empty when it cannot run.
std::map<std::string, double> time_convert(const std::string& unix_folder,
                                           const std::wstring& folder) {
    const std::string script =
        "cd '" + unix_folder +
        "' || exit 1\n"
        "for n in window photo; do for e in png gif jpg; do for i in 0 1 2 3 4 5; do\n"
        "  s=$(date +%s%N)\n"
        "  if /usr/bin/convert $n.bmp im-$n.$e; then t=$(date +%s%N); else t=$((s - 1000)); fi\n"
        "  echo \"$n $e $(( (t - s) / 1000 ))\" >> convert-times.txt\n"
        "done; done; done\n"
        "echo done > convert-done.txt\n";
    write_text(folder + L"convert.sh", script);
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    // The folder's name has no spaces or quotes: Wine passes the words on as they are.
    std::wstring command = L"/bin/sh " + ui::to_wide(unix_folder) + L"convert.sh";
    // Wine starts a Unix program directly but hands back no process to wait for, so the script
    // leaves a file when it is done.
    if (!CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi))
        return {};
    ui::UniqueHandle process(pi.hProcess), thread(pi.hThread);  // nothing to wait on
    const double t0 = bench::now_ms();
    while (GetFileAttributesW((folder + L"convert-done.txt").c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (bench::now_ms() - t0 > 180000) return {};
        Sleep(50);
    }
    std::map<std::string, std::vector<double>> runs;
    const std::string times = read_text(folder + L"convert-times.txt");
    std::size_t at = 0;
    while (at < times.size()) {
        const std::size_t end = times.find('\n', at);
        const std::string line = times.substr(at, end - at);
        at = end == std::string::npos ? times.size() : end + 1;
        const std::size_t a = line.find(' '), b = line.rfind(' ');
        if (a == std::string::npos || a == b) continue;
        // A failed run is written as a negative time and left out.
        const double us = std::strtod(line.c_str() + b + 1, nullptr);
        if (us > 0) runs[line.substr(0, b)].push_back(us / 1000.0);
    }
    std::map<std::string, double> medians;
    for (auto& [key, values] : runs) {
        std::sort(values.begin(), values.end());
        medians[key] = values[values.size() / 2];
    }
    return medians;
}

void remove_folder(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + data.cFileName).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

std::string verdict(bool ok) { return ok ? "(met)" : "(NOT MET)"; }

// A hidden window that owns what it puts on the clipboard, as the note does.
struct ClipboardOwner {
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        auto* offer =
            reinterpret_cast<output::ClipboardOffer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (offer && msg == WM_RENDERFORMAT && offer->render(static_cast<UINT>(wp))) return 0;
        if (offer && msg == WM_DESTROYCLIPBOARD) offer->release();
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    ClipboardOwner() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SnipquillBenchClipboard";
        RegisterClassW(&wc);
        hwnd = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                               nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&offer));
    }
    ~ClipboardOwner() {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
    ClipboardOwner(const ClipboardOwner&) = delete;
    ClipboardOwner& operator=(const ClipboardOwner&) = delete;
    output::ClipboardOffer offer;
    HWND hwnd = nullptr;
};

// F6 on each picture, and the PNG written the moment a program asks for it. The copy now also
// keeps the picture for the PNG; that part is timed alone, so the copy without it (the bitmap
// only, as before the PNG was offered) is the difference.
void bench_clipboard(const ui::Bitmap& window, const ui::Bitmap& photo) {
    ClipboardOwner owner;
    for (const auto& [name, picture] :
         {std::pair<const char*, const ui::Bitmap*>{"window", &window}, {"photo", &photo}}) {
        const std::string label = "clipboard: " + std::string(name) + " 1920x1080 ";
        const double copy_ms = bench::median_ms(kRuns, [&] {
            if (owner.offer.copy(owner.hwnd, *picture) != output::ClipboardOutcome::Copied)
                std::fprintf(stderr, "output bench: the clipboard is busy\n");
        });
        ui::Bitmap kept;
        const double keep_ms = bench::median_ms(kRuns, [&] { kept.assign(*picture); });
        std::vector<double> renders;
        std::size_t png_bytes = 0;
        for (int i = 0; i < kRuns; ++i) {
            owner.offer.copy(owner.hwnd, *picture);
            const double t0 = bench::now_ms();
            if (OpenClipboard(nullptr)) {
                if (HANDLE png = GetClipboardData(output::png_clipboard_format()))
                    png_bytes = GlobalSize(png);
                CloseClipboard();
            }
            renders.push_back(bench::now_ms() - t0);
        }
        std::sort(renders.begin(), renders.end());
        const double render_ms = renders[renders.size() / 2];
        bench::report(label + "F6 copy (bitmap + PNG promised)", copy_ms, "ms");
        bench::report(label + "F6 copy, bitmap only as before", copy_ms - keep_ms, "ms",
                      "(the copy less keeping the picture for the PNG)");
        char size_note[48];
        std::snprintf(size_note, sizeof(size_note), "(%.1f KB)", png_bytes / 1024.0);
        bench::report(label + "PNG written when asked for", render_ms, "ms", size_note);
    }
    if (OpenClipboard(owner.hwnd)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

}  // namespace

int main() {
    ui::ComScope com;
    // Wine reuses process ids, so the tick count keeps a kept folder of an earlier run (and
    // its finished-marker) out of this one.
    const std::string name = "snipquill-output-bench-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(GetTickCount());
    const std::string unix_folder = "/tmp/" + name + "/";
    const std::wstring folder = L"Z:\\tmp\\" + ui::to_wide(name) + L"\\";
    remove_folder(folder);
    CreateDirectoryW(folder.c_str(), nullptr);

    struct Sample {
        const char* name;
        ui::Bitmap picture;
    };
    Sample samples[] = {{"window", window_picture()}, {"photo", photo_picture()}};
    bench::report("output: colours in the window picture", double(colours(samples[0].picture)), "",
                  "(<= 256)");
    bench::report("output: colours in the photo picture", double(colours(samples[1].picture)), "",
                  "(257 means more than 256)");

    struct Ours {
        double ms;
        long long bytes;
    };
    std::map<std::string, Ours> ours;
    try {
        for (Sample& s : samples) {
            std::wstring ext = L".BMP";
            output::save_picture(s.picture, folder + ui::to_wide(s.name) + L".bmp", ext);
            for (const char* format : {"png", "gif", "jpg"}) {
                const std::wstring path =
                    folder + L"ours-" + ui::to_wide(s.name) + L"." + ui::to_wide(format);
                const double ms =
                    bench::median_ms(kRuns, [&] { output::save_picture(s.picture, path, ext); });
                ours[std::string(s.name) + " " + format] = {ms, file_size(path)};
            }
        }
    } catch (const ui::AppError& e) {
        std::fprintf(stderr, "output bench: %s\n", e.what());
        remove_folder(folder);
        return 1;
    }

    const std::map<std::string, double> convert = time_convert(unix_folder, folder);
    if (convert.empty()) std::fprintf(stderr, "output bench: convert could not be timed\n");

    for (Sample& s : samples) {
        const std::string n = s.name;
        for (const char* format : {"png", "gif", "jpg"}) {
            const std::string key = n + " " + format;
            const Ours& o = ours[key];
            const std::wstring theirs =
                folder + L"im-" + ui::to_wide(s.name) + L"." + ui::to_wide(format);
            const long long their_bytes = file_size(theirs);
            const auto c = convert.find(key);
            const double their_ms = c == convert.end() ? -1 : c->second;
            const std::string label = "output: " + std::string(format) + " " + n + " 1920x1080";
            std::string time_note =
                "(convert " + std::to_string(static_cast<int>(their_ms + 0.5)) + " ms";
            char their_kb[32];
            std::snprintf(their_kb, sizeof(their_kb), "%.1f", their_bytes / 1024.0);
            std::string size_note = "(convert " + std::string(their_kb) + " KB";
            if (std::string(format) != "gif") {
                const bool fast = their_ms > 0 && o.ms <= their_ms;
                const bool small = their_bytes > 0 && o.bytes <= their_bytes;
                time_note += "; target <= convert) " + verdict(fast);
                size_note += "; target <= convert) " + verdict(small);
            } else {
                time_note += ")";
                size_note += ")";
            }
            bench::report(label + " save time", o.ms, "ms", time_note);
            bench::report(label + " size", o.bytes / 1024.0, "KB", size_note);
            if (std::string(format) != "png") {
                const double our_psnr = psnr(s.picture, folder + L"ours-" + ui::to_wide(s.name) +
                                                            L"." + ui::to_wide(format));
                const double their_psnr = psnr(s.picture, theirs);
                std::string note =
                    "(convert " +
                    (std::isinf(their_psnr) ? std::string("exact")
                                            : std::to_string(their_psnr).substr(0, 5)) +
                    " dB";
                if (n == "window" && std::string(format) == "gif") {
                    note += "; target exact) " + verdict(std::isinf(our_psnr));
                } else if (std::string(format) == "jpg") {
                    note += "; target >= convert) " + verdict(our_psnr >= their_psnr);
                } else {
                    note += ")";
                }
                bench::report(label + " PSNR", std::isinf(our_psnr) ? 999.0 : our_psnr, "dB",
                              std::isinf(our_psnr) ? "exact " + note : note);
            }
        }
    }
    bench_clipboard(samples[0].picture, samples[1].picture);
    // SNIPQUILL_BENCH_KEEP keeps the pictures and files for a look afterwards.
    if (GetEnvironmentVariableW(L"SNIPQUILL_BENCH_KEEP", nullptr, 0) == 0)
        remove_folder(folder);
    else
        bench::report("output: files kept in " + unix_folder, 0, "", "");
    // A missed target shows in the figures; only a bench that cannot run fails.
    return convert.empty() ? 1 : 0;
}
