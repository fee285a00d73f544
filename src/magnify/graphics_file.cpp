// LoadGraphicsFile: a bitmap from a BMP, icon, JPEG or metafile, chosen by the name's last three
// letters; anything else gives a blank bitmap of the control's size.
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <fstream>
#include <vector>

#include "magnify/magnify.h"
#include "ui/error.h"

namespace magnify {

namespace {

// A top-down 24-bit DIB section, white.
GraphicsFile blank24(int width, int height) {
    GraphicsFile f;
    if (width <= 0 || height <= 0) return f;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    f.bitmap.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!f.bitmap) ui::throw_last_error(L"Cannot create a bitmap");
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::memset(bits, 0xFF, stride * static_cast<size_t>(height));
    f.width = width;
    f.height = height;
    f.bits_per_pixel = 24;
    return f;
}

// Draws into a bitmap through a memory DC that selects it for the call.
template <class Draw>
void draw_into(const GraphicsFile& f, Draw draw) {
    ui::UniqueDC dc(CreateCompatibleDC(nullptr));
    if (!dc) ui::throw_last_error(L"Cannot create a device context");
    HGDIOBJ old = SelectObject(dc.get(), f.bitmap.get());
    draw(dc.get());
    SelectObject(dc.get(), old);
}

bool file_exists(const std::wstring& name) {
    const DWORD a = GetFileAttributesW(name.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

GraphicsFile load_bmp(const std::wstring& name) {
    GraphicsFile f;
    f.bitmap.reset(static_cast<HBITMAP>(LoadImageW(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!f.bitmap) ui::throw_last_error(L"Cannot read the bitmap \"" + name + L"\"");
    DIBSECTION ds{};
    GetObjectW(f.bitmap.get(), sizeof(ds), &ds);
    f.width = ds.dsBm.bmWidth;
    f.height = std::abs(ds.dsBm.bmHeight);
    f.bits_per_pixel = ds.dsBm.bmBitsPixel;
    return f;
}

GraphicsFile load_icon(const std::wstring& name) {
    GraphicsFile f;
    // A broken icon gives what was read so far: nothing, or the bitmap without the drawing.
    try {
        ui::UniqueIcon icon(static_cast<HICON>(
            LoadImageW(nullptr, name.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE)));
        if (!icon) return f;
        ICONINFO ii{};
        if (!GetIconInfo(icon.get(), &ii)) return f;
        ui::UniqueGdi<HBITMAP> mask(ii.hbmMask), colour(ii.hbmColor);
        BITMAP bm{};
        GetObjectW(mask.get(), sizeof(bm), &bm);
        const int w = bm.bmWidth, h = colour ? bm.bmHeight : bm.bmHeight / 2;
        f = blank24(w, h);
        if (f.bitmap)
            draw_into(
                f, [&](HDC dc) { DrawIconEx(dc, 0, 0, icon.get(), w, h, 0, nullptr, DI_NORMAL); });
    } catch (...) {
    }
    return f;
}

GraphicsFile load_jpeg(const std::wstring& name) {
    ui::ensure_com();
    auto check = [&](HRESULT hr) {
        if (FAILED(hr)) ui::throw_hresult(L"Cannot read the JPEG image \"" + name + L"\"", hr);
    };
    ui::ComPtr<IWICImagingFactory> factory;
    check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, factory.put_void()));
    ui::ComPtr<IWICBitmapDecoder> decoder;
    check(factory->CreateDecoderFromFilename(name.c_str(), nullptr, GENERIC_READ,
                                             WICDecodeMetadataCacheOnDemand, decoder.put()));
    ui::ComPtr<IWICBitmapFrameDecode> frame;
    check(decoder->GetFrame(0, frame.put()));
    ui::ComPtr<IWICFormatConverter> converter;
    check(factory->CreateFormatConverter(converter.put()));
    check(converter->Initialize(frame.get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                                nullptr, 0.0, WICBitmapPaletteTypeCustom));
    UINT w = 0, h = 0;
    check(converter->GetSize(&w, &h));
    GraphicsFile f = blank24(static_cast<int>(w), static_cast<int>(h));
    if (!f.bitmap) return f;
    DIBSECTION ds{};
    GetObjectW(f.bitmap.get(), sizeof(ds), &ds);
    const UINT stride = static_cast<UINT>(ds.dsBm.bmWidthBytes);
    check(converter->CopyPixels(nullptr, stride, stride * h, static_cast<BYTE*>(ds.dsBm.bmBits)));
    return f;
}

GraphicsFile load_metafile(const std::wstring& name) {
    HENHMETAFILE emf = GetEnhMetaFileW(name.c_str());
    if (!emf) {
        // A placeable Windows metafile: a 22-byte header with the picture's extent, then the
        // metafile records.
        std::ifstream in(std::filesystem::path(name), std::ios::binary);
        std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)), {});
        std::uint32_t key = 0;
        if (data.size() > 22) std::memcpy(&key, data.data(), 4);
        const unsigned char* records = data.data();
        size_t size = data.size();
        METAFILEPICT pict{MM_ANISOTROPIC, 0, 0, nullptr};
        if (key == 0x9AC6CDD7u) {
            std::int16_t box[4];
            std::uint16_t inch = 0;
            std::memcpy(box, data.data() + 6, sizeof(box));
            std::memcpy(&inch, data.data() + 14, sizeof(inch));
            if (inch) {
                pict.xExt = (box[2] - box[0]) * 2540 / inch;
                pict.yExt = (box[3] - box[1]) * 2540 / inch;
            }
            records += 22;
            size -= 22;
        }
        if (size) emf = SetWinMetaFileBits(static_cast<UINT>(size), records, nullptr, &pict);
        if (!emf) throw ui::AppError(L"\"" + name + L"\" is not a metafile that can be read.");
    }
    struct EmfCloser {
        void operator()(HENHMETAFILE h) const { DeleteEnhMetaFile(h); }
    };
    ui::Unique<HENHMETAFILE, EmfCloser> owned(emf);
    ENHMETAHEADER header{};
    GetEnhMetaFileHeader(emf, sizeof(header), &header);
    // The frame is in hundredths of a millimetre; show it at the screen's resolution.
    ui::WindowDC screen(nullptr);
    const int dpx = screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
    const int dpy = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    const int w = MulDiv(header.rclFrame.right - header.rclFrame.left, dpx, 2540);
    const int h = MulDiv(header.rclFrame.bottom - header.rclFrame.top, dpy, 2540);
    GraphicsFile f = blank24(w, h);
    if (f.bitmap)
        draw_into(f, [&](HDC dc) {
            RECT r{0, 0, w, h};
            PlayEnhMetaFile(dc, emf, &r);
        });
    return f;
}

}  // namespace

GraphicsFile TMagnify::LoadGraphicsFile(const std::wstring& Filename) const {
    if (file_exists(Filename) && Filename.size() >= 3) {
        std::wstring ext = Filename.substr(Filename.size() - 3);
        for (wchar_t& c : ext) c = static_cast<wchar_t>(std::towupper(c));
        if (ext == L"BMP") return load_bmp(Filename);
        if (ext == L"ICO") return load_icon(Filename);
        if (ext == L"JPG") return load_jpeg(Filename);
        if (ext == L"WMF" || ext == L"EMF") return load_metafile(Filename);
        if (ext == L"TIF") return GraphicsFile{};  // read by nothing: an empty bitmap
    }
    return blank24(client_width(), client_height());
}

}  // namespace magnify
