#include "output/image_codec.h"

#include <wincodec.h>

#include <cstring>
#include <optional>
#include <span>
#include <string>

#include "output/jpeg_encoder.h"
#include "output/palette.h"
#include "output/png_filter.h"
#include "ui/error.h"
#include "ui/handles.h"

namespace output {

using snipquill::ImageFormat;

namespace {

const wchar_t* format_name(ImageFormat format) {
    switch (format) {
        case ImageFormat::Bmp:
            return L"BMP";
        case ImageFormat::Jpeg:
            return L"JPEG";
        case ImageFormat::Gif:
            return L"GIF";
        case ImageFormat::Png:
            return L"PNG";
    }
    return L"";
}

GUID container_of(ImageFormat format) {
    switch (format) {
        case ImageFormat::Bmp:
            return GUID_ContainerFormatBmp;
        case ImageFormat::Jpeg:
            return GUID_ContainerFormatJpeg;
        case ImageFormat::Gif:
            return GUID_ContainerFormatGif;
        case ImageFormat::Png:
            return GUID_ContainerFormatPng;
    }
    return GUID_ContainerFormatBmp;
}

GUID indexed_format(int bits) {
    switch (bits) {
        case 1:
            return GUID_WICPixelFormat1bppIndexed;
        case 2:
            return GUID_WICPixelFormat2bppIndexed;
        case 4:
            return GUID_WICPixelFormat4bppIndexed;
        default:
            return GUID_WICPixelFormat8bppIndexed;
    }
}

std::size_t row_stride(int width, int bits) {
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
}

// Pixels ready for the frame: a pixel format, rows, for indexed data the palette, and for a
// true-colour PNG the row filter.
struct FrameData {
    GUID format = GUID_WICPixelFormat24bppBGR;
    std::size_t stride = 0;
    std::vector<std::uint8_t> rows;
    std::vector<WICColor> palette;
    std::optional<snipquill::PngFilter> png_filter;
};

WICPngFilterOption filter_option(snipquill::PngFilter filter) {
    switch (filter) {
        case snipquill::PngFilter::None:
            return WICPngFilterNone;
        case snipquill::PngFilter::Sub:
            return WICPngFilterSub;
        case snipquill::PngFilter::Up:
            return WICPngFilterUp;
        case snipquill::PngFilter::Average:
            return WICPngFilterAverage;
        case snipquill::PngFilter::Paeth:
            return WICPngFilterPaeth;
    }
    return WICPngFilterUnspecified;
}

FrameData true_colour(const ui::Bitmap& picture) {
    FrameData data;
    const int w = picture.width(), h = picture.height();
    data.stride = row_stride(w, 24);
    data.rows.assign(data.stride * static_cast<std::size_t>(h), 0);
    const std::uint32_t* src = picture.bits();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* dst = data.rows.data() + data.stride * static_cast<std::size_t>(y);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = *src++;
            *dst++ = static_cast<std::uint8_t>(p);
            *dst++ = static_cast<std::uint8_t>(p >> 8);
            *dst++ = static_cast<std::uint8_t>(p >> 16);
        }
    }
    return data;
}

FrameData indexed(const snipquill::IndexedPicture& picture, int bits) {
    FrameData data;
    data.format = indexed_format(bits);
    data.stride = row_stride(picture.width, bits);
    data.rows = snipquill::pack_indices(picture, bits, data.stride);
    for (std::uint32_t c : picture.palette) data.palette.push_back(0xFF000000u | c);
    return data;
}

std::span<const std::uint32_t> pixels_of(const ui::Bitmap& picture) {
    return {picture.bits(),
            static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(picture.height())};
}

FrameData frame_data(const ui::Bitmap& picture, ImageFormat format) {
    switch (format) {
        case ImageFormat::Gif:
            // The GIF encoder takes 8-bit indices only.
            return indexed(
                snipquill::to_indexed(pixels_of(picture), picture.width(), picture.height()), 8);
        case ImageFormat::Png:
            if (std::optional<snipquill::IndexedPicture> exact =
                    snipquill::index_exactly(pixels_of(picture), picture.width(), picture.height()))
                return indexed(*exact, snipquill::index_bits(exact->palette.size()));
            {
                FrameData data = true_colour(picture);
                data.png_filter = snipquill::choose_png_filter(pixels_of(picture), picture.width(),
                                                               picture.height());
                return data;
            }
        default:
            return true_colour(picture);
    }
}

class Encoding {
  public:
    explicit Encoding(ImageFormat format)
        : what_(std::wstring(L"Cannot write the picture as ") + format_name(format)) {}

    void check(HRESULT hr) const {
        if (FAILED(hr)) ui::throw_hresult(what_, hr);
    }
    const std::wstring& what() const { return what_; }

  private:
    std::wstring what_;
};

}  // namespace

std::vector<std::uint8_t> encode_picture(const ui::Bitmap& picture, ImageFormat format) {
    const Encoding encoding(format);
    if (picture.empty()) throw ui::AppError(encoding.what() + L": the picture is empty.");
    GdiFlush();  // GDI may still be drawing into the bits
    if (format == ImageFormat::Jpeg) {
        // Our own writer: the platform's ignores every quality setting.
        if (picture.width() > 65535 || picture.height() > 65535)
            throw ui::AppError(encoding.what() + L": the picture is too large for JPEG.");
        return snipquill::encode_jpeg(pixels_of(picture), picture.width(), picture.height());
    }
    const FrameData data = frame_data(picture, format);

    ui::ComPtr<IWICImagingFactory> factory;
    encoding.check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IWICImagingFactory, factory.put_void()));
    ui::ComPtr<IStream> stream;
    encoding.check(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    ui::ComPtr<IWICBitmapEncoder> encoder;
    encoding.check(factory->CreateEncoder(container_of(format), nullptr, encoder.put()));
    encoding.check(encoder->Initialize(stream.get(), WICBitmapEncoderNoCache));
    ui::ComPtr<IWICBitmapFrameEncode> frame;
    ui::ComPtr<IPropertyBag2> options;  // the encoder's defaults, but for a PNG's row filter
    encoding.check(encoder->CreateNewFrame(frame.put(), options.put()));
    if (data.png_filter && options) {
        PROPBAG2 option{};
        option.pstrName = const_cast<LPOLESTR>(L"FilterOption");
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_UI1;
        value.bVal = static_cast<BYTE>(filter_option(*data.png_filter));
        encoding.check(options->Write(1, &option, &value));
    }
    encoding.check(frame->Initialize(options.get()));
    encoding.check(
        frame->SetSize(static_cast<UINT>(picture.width()), static_cast<UINT>(picture.height())));
    WICPixelFormatGUID pixel_format = data.format;
    encoding.check(frame->SetPixelFormat(&pixel_format));
    if (pixel_format != data.format)
        throw ui::AppError(encoding.what() + L": the encoder does not take these pixels.");
    if (!data.palette.empty()) {
        ui::ComPtr<IWICPalette> palette;
        encoding.check(factory->CreatePalette(palette.put()));
        encoding.check(palette->InitializeCustom(const_cast<WICColor*>(data.palette.data()),
                                                 static_cast<UINT>(data.palette.size())));
        encoding.check(frame->SetPalette(palette.get()));
    }
    encoding.check(frame->WritePixels(
        static_cast<UINT>(picture.height()), static_cast<UINT>(data.stride),
        static_cast<UINT>(data.rows.size()), const_cast<BYTE*>(data.rows.data())));
    encoding.check(frame->Commit());
    encoding.check(encoder->Commit());

    STATSTG stat{};
    encoding.check(stream->Stat(&stat, STATFLAG_NONAME));
    HGLOBAL memory = nullptr;
    encoding.check(GetHGlobalFromStream(stream.get(), &memory));
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    if (!bytes.empty()) {
        const void* p = GlobalLock(memory);
        if (!p) ui::throw_last_error(encoding.what());
        std::memcpy(bytes.data(), p, bytes.size());
        GlobalUnlock(memory);
    }
    return bytes;
}

}  // namespace output
