#include "output_support.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "ui/error.h"
#include "ui/handles.h"

namespace outtest {

namespace {

void check(HRESULT hr, const char* what) {
    if (FAILED(hr)) ui::throw_hresult(ui::to_wide(what), hr);
}

}  // namespace

TempFolder::TempFolder() {
    static int counter = 0;
    const std::string name = "snipquill-output-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
    unix_path_ = "/tmp/" + name + "/";
    path_ = L"Z:\\tmp\\" + ui::to_wide(name) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
}

namespace {

void remove_tree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring n = data.cFileName;
            if (n == L"." || n == L"..") continue;
            const std::wstring path = folder + n;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                remove_tree(path + L"\\");
            } else {
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempFolder::~TempFolder() { remove_tree(path_); }

std::vector<std::wstring> TempFolder::names() const {
    std::vector<std::wstring> out;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        const std::wstring n = data.cFileName;
        if (n != L"." && n != L"..") out.push_back(n);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    std::sort(out.begin(), out.end());
    return out;
}

ui::Bitmap window_like_picture(int width, int height) {
    ui::Bitmap picture(width, height, RGB(240, 240, 240));
    HDC dc = picture.dc();
    auto fill = [&](int l, int t, int r, int b, COLORREF c) {
        ui::UniqueGdi<HBRUSH> brush(CreateSolidBrush(c));
        const RECT rect{l, t, r, b};
        FillRect(dc, &rect, brush.get());
    };
    fill(0, 0, width, 22, RGB(0, 84, 227));                    // caption
    fill(0, 22, width, 42, RGB(255, 255, 255));                // menu bar
    fill(10, 60, width / 3, height - 10, RGB(255, 255, 255));  // a list
    fill(width / 3 + 10, 60, width - 10, 90, RGB(220, 230, 245));
    for (int i = 0; i < 12; ++i)  // buttons in a few shades
        fill(width / 3 + 10 + i * 40, height - 40, width / 3 + 45 + i * 40, height - 15,
             RGB(200 - i * 7, 210 - i * 5, 220));
    ui::UniqueGdi<HPEN> pen(CreatePen(PS_SOLID, 1, RGB(128, 128, 128)));
    ui::Selection keep_pen(dc, pen.get());
    for (int y = 70; y < height - 20; y += 18) {
        MoveToEx(dc, 12, y, nullptr);
        LineTo(dc, width / 3 - 2, y);
    }
    ui::UniqueGdi<HFONT> font(CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma"));
    ui::Selection keep_font(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    const wchar_t* words[] = {L"File", L"Edit", L"View", L"Snipquill saves notes", L"Line 0123"};
    int row = 0;
    for (int y = 58; y < height - 30; y += 18, ++row) {
        SetTextColor(dc, row % 3 == 0   ? RGB(0, 0, 0)
                         : row % 3 == 1 ? RGB(0, 0, 160)
                                        : RGB(160, 0, 0));
        const wchar_t* w = words[row % 5];
        TextOutW(dc, 16, y, w, static_cast<int>(wcslen(w)));
        TextOutW(dc, width / 3 + 16, y + 40, w, static_cast<int>(wcslen(w)));
    }
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutW(dc, 6, 4, L"Untitled - Notes", 16);
    GdiFlush();
    return picture;
}

ui::Bitmap photo_like_picture(int width, int height) {
    ui::Bitmap picture(width, height);
    std::uint32_t* px = picture.bits();
    std::uint32_t noise = 12345;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int n = static_cast<int>((noise >> 16) % 7) - 3;
            const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
            const int r = static_cast<int>(200 * fx + 40 * std::sin(fy * 9)) + 10 + n;
            const int g = static_cast<int>(180 * fy + 50 * std::cos(fx * 7)) + 30 + n;
            const int b = static_cast<int>(120 + 100 * std::sin((fx + fy) * 5)) + n;
            *px++ = ui::colorref_to_dib(
                RGB(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255)));
        }
    return picture;
}

std::size_t colour_count(const ui::Bitmap& picture, std::size_t limit) {
    GdiFlush();
    std::unordered_set<std::uint32_t> seen;
    const std::size_t n = static_cast<std::size_t>(picture.width()) * picture.height();
    for (std::size_t i = 0; i < n && seen.size() <= limit; ++i)
        seen.insert(picture.bits()[i] & 0xFFFFFF);
    return seen.size();
}

Image decode_file(const std::wstring& path) {
    ui::ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, factory.put_void()),
          "WIC factory");
    ui::ComPtr<IWICBitmapDecoder> decoder;
    check(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                             WICDecodeMetadataCacheOnDemand, decoder.put()),
          "open the file");
    Image image;
    check(decoder->GetContainerFormat(&image.container), "container");
    ui::ComPtr<IWICBitmapFrameDecode> frame;
    check(decoder->GetFrame(0, frame.put()), "frame");
    check(frame->GetPixelFormat(&image.pixel_format), "pixel format");
    UINT w = 0, h = 0;
    check(frame->GetSize(&w, &h), "size");
    image.width = static_cast<int>(w);
    image.height = static_cast<int>(h);
    ui::ComPtr<IWICBitmapSource> converted;
    check(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), converted.put()),
          "convert");
    image.pixels.resize(static_cast<std::size_t>(w) * h);
    check(converted->CopyPixels(nullptr, w * 4, static_cast<UINT>(image.pixels.size() * 4),
                                reinterpret_cast<BYTE*>(image.pixels.data())),
          "copy pixels");
    for (std::uint32_t& p : image.pixels) p &= 0xFFFFFF;
    return image;
}

std::vector<std::uint8_t> read_bytes(const std::wstring& path) {
    ui::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return {};
    std::vector<std::uint8_t> bytes(GetFileSize(file.get(), nullptr));
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::size_t mismatches(const ui::Bitmap& picture, const Image& image) {
    const std::size_t n = static_cast<std::size_t>(picture.width()) * picture.height();
    if (picture.width() != image.width || picture.height() != image.height) return n ? n : 1;
    GdiFlush();
    std::size_t bad = 0;
    for (std::size_t i = 0; i < n; ++i) bad += (picture.bits()[i] & 0xFFFFFF) != image.pixels[i];
    return bad;
}

double psnr(const ui::Bitmap& picture, const Image& image) {
    if (picture.width() != image.width || picture.height() != image.height) return 0;
    GdiFlush();
    const std::size_t n = static_cast<std::size_t>(picture.width()) * picture.height();
    double squared = 0;
    for (std::size_t i = 0; i < n; ++i)
        for (int shift : {0, 8, 16}) {
            const double d = static_cast<double>((picture.bits()[i] >> shift) & 0xFF) -
                             static_cast<double>((image.pixels[i] >> shift) & 0xFF);
            squared += d * d;
        }
    if (squared == 0) return std::numeric_limits<double>::infinity();
    return 10 * std::log10(255.0 * 255.0 / (squared / (3.0 * n)));
}

namespace {

DialogScript* g_script = nullptr;

BOOL CALLBACK find_front_dialog(HWND w, LPARAM lp) {
    wchar_t cls[32]{};
    GetClassNameW(w, cls, 32);
    if (IsWindowVisible(w) && IsWindowEnabled(w) && std::wstring(cls) == L"#32770") {
        *reinterpret_cast<HWND*>(lp) = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collect_text(HWND w, LPARAM lp) {
    wchar_t buf[4096];
    GetWindowTextW(w, buf, 4096);
    auto* out = reinterpret_cast<std::wstring*>(lp);
    if (*buf) *out += std::wstring(L"\n") + buf;
    return TRUE;
}

}  // namespace

std::wstring dialog_texts(HWND dialog) {
    wchar_t buf[1024];
    GetWindowTextW(dialog, buf, 1024);
    std::wstring out = buf;
    EnumChildWindows(dialog, &collect_text, reinterpret_cast<LPARAM>(&out));
    return out;
}

DialogScript::DialogScript() {
    g_script = this;
    timer_ = SetTimer(nullptr, 0, 30, &DialogScript::tick);
}

DialogScript::~DialogScript() {
    if (timer_) KillTimer(nullptr, timer_);
    g_script = nullptr;
}

DialogScript& DialogScript::then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

void CALLBACK DialogScript::tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_script) g_script->run();
}

void DialogScript::run() {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &find_front_dialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog) {
        waiting_since_ = 0;
        return;
    }
    // The dialog the last step answered may take a moment to go away; the next step is for
    // the dialog that comes after it.
    const bool answered = dialog == last_;
    if (!waiting_since_) waiting_since_ = GetTickCount();
    if (!steps_.empty() && !answered && steps_.front()(dialog)) {
        steps_.pop_front();
        last_ = dialog;
        waiting_since_ = 0;
        return;
    }
    if (GetTickCount() - waiting_since_ > 10000) {
        timed_out_ = true;
        waiting_since_ = 0;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

DialogScript::Step save_as(std::wstring name, int filter_index, SaveDialogSeen* seen) {
    return [name, filter_index, seen](HWND dialog) {
        constexpr int kFileTypes = 0x470, kFileName = 0x47c;
        HWND types = GetDlgItem(dialog, kFileTypes);
        if (!types || !GetDlgItem(dialog, kFileName)) return false;  // not the save dialog yet
        if (seen) {
            seen->seen = true;
            wchar_t buf[512];
            GetWindowTextW(dialog, buf, 512);
            seen->title = buf;
            const int count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(buf));
                seen->filters.push_back(buf);
            }
            seen->filter_index = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0)) + 1;
        }
        if (filter_index > 0) {
            SendMessageW(types, CB_SETCURSEL, static_cast<WPARAM>(filter_index - 1), 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, CBN_SELENDOK),
                         reinterpret_cast<LPARAM>(types));
        }
        SetDlgItemTextW(dialog, kFileName, name.c_str());
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        return true;
    };
}

DialogScript::Step press(int button, std::wstring* texts) {
    return [button, texts](HWND dialog) {
        if (texts) *texts = dialog_texts(dialog);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        return true;
    };
}

}  // namespace outtest
