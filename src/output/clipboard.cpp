#include "output/clipboard.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "output/image_codec.h"
#include "ui/error.h"
#include "ui/handles.h"

namespace output {

namespace {

using ui::UniqueGlobal;

class OpenClipboardScope {
  public:
    OpenClipboardScope(HWND owner, int wait_ms) {
        const DWORD start = GetTickCount();
        for (;;) {
            if (OpenClipboard(owner)) {
                open_ = true;
                return;
            }
            if (static_cast<int>(GetTickCount() - start) >= wait_ms) return;
            Sleep(20);
        }
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    bool open() const { return open_; }

  private:
    bool open_ = false;
};

// The picture as a packed DIB: header, then bottom-up rows of 24-bit pixels.
UniqueGlobal make_dib(const ui::Bitmap& picture) {
    const int w = picture.width(), h = picture.height();
    const std::size_t stride = (static_cast<std::size_t>(w) * 3 + 3) & ~std::size_t{3};
    const std::size_t image_size = stride * static_cast<std::size_t>(h);
    UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + image_size));
    if (!memory) ui::throw_last_error(L"Cannot copy the picture to the clipboard");
    auto* bytes = static_cast<std::uint8_t*>(GlobalLock(memory.get()));
    if (!bytes) ui::throw_last_error(L"Cannot copy the picture to the clipboard");
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(image_size);
    std::memcpy(bytes, &header, sizeof(header));
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* src = picture.bits() + static_cast<std::size_t>(y) * w;
        std::uint8_t* dst = bytes + sizeof(header) + stride * static_cast<std::size_t>(h - 1 - y);
        std::memset(dst + static_cast<std::size_t>(w) * 3, 0,
                    stride - static_cast<std::size_t>(w) * 3);
        for (int x = 0; x < w; ++x) {
            *dst++ = static_cast<std::uint8_t>(src[x]);
            *dst++ = static_cast<std::uint8_t>(src[x] >> 8);
            *dst++ = static_cast<std::uint8_t>(src[x] >> 16);
        }
    }
    GlobalUnlock(memory.get());
    return memory;
}

}  // namespace

UINT png_clipboard_format() {
    static const UINT format = RegisterClipboardFormatW(L"PNG");
    return format;
}

ClipboardOutcome ClipboardOffer::copy(HWND owner, const ui::Bitmap& picture, int wait_ms) {
    if (picture.empty())
        throw ui::AppError(L"Cannot copy the picture to the clipboard: it is empty.");
    // Built before the clipboard is opened, so a failure here leaves the clipboard alone.
    UniqueGlobal dib = make_dib(picture);
    ui::Bitmap copy;
    copy.assign(picture);
    OpenClipboardScope clipboard(owner, wait_ms);
    if (!clipboard.open()) return ClipboardOutcome::Busy;
    // Emptying sends WM_DESTROYCLIPBOARD to the previous owner, which may be our own window
    // and drop the previous copy: the new one is put in place after it.
    if (!EmptyClipboard()) ui::throw_last_error(L"Cannot copy the picture to the clipboard");
    if (!SetClipboardData(CF_DIB, dib.get()))
        ui::throw_last_error(L"Cannot copy the picture to the clipboard");
    dib.release();  // the clipboard owns it now
    picture_ = std::move(copy);
    // A promise hands over no data, so the call answers null even when it succeeds.
    SetClipboardData(png_clipboard_format(), nullptr);
    return ClipboardOutcome::Copied;
}

bool ClipboardOffer::render(UINT format) {
    if (format != png_clipboard_format() || picture_.empty()) return false;
    try {
        ui::ensure_com();
        const std::vector<std::uint8_t> png = encode_picture(picture_, snipquill::ImageFormat::Png);
        UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, png.size()));
        if (!memory) return false;
        void* p = GlobalLock(memory.get());
        if (!p) return false;
        std::memcpy(p, png.data(), png.size());
        GlobalUnlock(memory.get());
        if (!SetClipboardData(format, memory.get())) return false;
        memory.release();
    } catch (const ui::AppError&) {
        // The asking program gets no PNG and may take the bitmap instead; nothing to report.
        return false;
    }
    picture_ = ui::Bitmap();  // on the clipboard now; nothing more is asked for
    return true;
}

void ClipboardOffer::render_all(HWND owner) {
    if (picture_.empty()) return;
    // The system may already hold the clipboard open for us; when it does not, open it and
    // write only while this window still owns it.
    const bool opened = OpenClipboard(owner) != FALSE;
    if (GetClipboardOwner() == owner) render(png_clipboard_format());
    if (opened) CloseClipboard();
    picture_ = ui::Bitmap();
}

}  // namespace output
