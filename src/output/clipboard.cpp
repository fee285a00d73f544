#include "output/clipboard.h"

#include <cstdint>
#include <cstring>

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

ClipboardOutcome copy_picture_to_clipboard(HWND owner, const ui::Bitmap& picture, int wait_ms) {
    if (picture.empty())
        throw ui::AppError(L"Cannot copy the picture to the clipboard: it is empty.");
    // Built before the clipboard is opened, so a failure here leaves the clipboard alone.
    UniqueGlobal dib = make_dib(picture);
    OpenClipboardScope clipboard(owner, wait_ms);
    if (!clipboard.open()) return ClipboardOutcome::Busy;
    if (!EmptyClipboard()) ui::throw_last_error(L"Cannot copy the picture to the clipboard");
    if (!SetClipboardData(CF_DIB, dib.get()))
        ui::throw_last_error(L"Cannot copy the picture to the clipboard");
    dib.release();  // the clipboard owns it now
    return ClipboardOutcome::Copied;
}

}  // namespace output
