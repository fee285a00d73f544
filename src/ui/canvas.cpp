#include "ui/canvas.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace ui {

namespace {

// Heights beyond this would only make the font engine rasterise enormous glyphs.
constexpr int kMaxFontHeight = 2048;

int rop2_of(RasterMode m) {
    switch (m) {
        case RasterMode::Xor:
            return R2_XORPEN;
        case RasterMode::NotXor:
            return R2_NOTXORPEN;
        case RasterMode::Copy:
            break;
    }
    return R2_COPYPEN;
}

// The same mixes for a brush fill: pattern copy, pattern XOR destination, and its inverse.
DWORD rop3_of(RasterMode m) {
    switch (m) {
        case RasterMode::Xor:
            return PATINVERT;
        case RasterMode::NotXor:
            return 0x00A50065;  // DPxn
        case RasterMode::Copy:
            break;
    }
    return PATCOPY;
}

int pen_style_of(PenStyle s) {
    switch (s) {
        case PenStyle::Dash:
            return PS_DASH;
        case PenStyle::Dot:
            return PS_DOT;
        case PenStyle::DashDot:
            return PS_DASHDOT;
        case PenStyle::DashDotDot:
            return PS_DASHDOTDOT;
        case PenStyle::Clear:
            return PS_NULL;
        case PenStyle::InsideFrame:
            return PS_INSIDEFRAME;
        case PenStyle::Solid:
            break;
    }
    return PS_SOLID;
}

LONG clamp_long(long long v) {
    return static_cast<LONG>(std::clamp<long long>(v, -0x7FFFFFF, 0x7FFFFFF));
}

}  // namespace

template <class Key, class Handle>
template <class Make>
Handle Canvas::Cache<Key, Handle>::get(const Key& key, Make&& make) {
    Entry* victim = &entries[0];
    for (Entry& e : entries) {
        if (e.handle && e.key == key) {
            e.used = ++clock;
            return e.handle.get();
        }
        if (!e.handle || e.used < victim->used) victim = &e;
    }
    UniqueGdi<Handle> made(make());
    if (!made) return nullptr;
    victim->handle = std::move(made);
    victim->key = key;
    victim->used = ++clock;
    return victim->handle.get();
}

Canvas::Canvas(Bitmap& bitmap, HWND window) : bitmap_(&bitmap), window_(window) {}

Canvas::Canvas(int width, int height)
    : owned_(std::make_unique<Bitmap>(width, height)), bitmap_(owned_.get()) {}

// Objects are selected only for the length of one call, so none is still selected into a DC
// when the caches free it.
Canvas::~Canvas() = default;

void Canvas::set_font(const FontSpec& font) {
    if (font == font_) return;
    font_ = font;
    font_now_ = nullptr;
}

HPEN Canvas::pen_handle() {
    const PenKey key{pen_.color, std::max(0, pen_.width), pen_.style};
    return pens_.get(key, [&] {
        return CreatePen(pen_style_of(key.style), std::min(key.width, 10000), key.color);
    });
}

HBRUSH Canvas::brush_handle() {
    return brushes_.get(brush_.color, [&] { return CreateSolidBrush(brush_.color); });
}

HFONT Canvas::font_handle() {
    if (font_now_) return font_now_;
    font_now_ = fonts_.get(font_, [&] {
        LOGFONTW lf{};
        lf.lfHeight = std::clamp(font_.height, -kMaxFontHeight, kMaxFontHeight);
        lf.lfWeight = (font_.style & kFontBold) ? FW_BOLD : FW_NORMAL;
        lf.lfItalic = (font_.style & kFontItalic) ? TRUE : FALSE;
        lf.lfUnderline = (font_.style & kFontUnderline) ? TRUE : FALSE;
        lf.lfStrikeOut = (font_.style & kFontStrikeOut) ? TRUE : FALSE;
        lf.lfCharSet = static_cast<BYTE>(font_.charset);
        lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
        lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
        lf.lfQuality = DEFAULT_QUALITY;
        lf.lfPitchAndFamily = DEFAULT_PITCH;
        font_.name.copy(lf.lfFaceName, LF_FACESIZE - 1);
        return CreateFontIndirectW(&lf);
    });
    return font_now_;
}

void Canvas::touch(long long left, long long top, long long right, long long bottom) {
    if (!window_) return;
    left = std::max<long long>(left, 0);
    top = std::max<long long>(top, 0);
    right = std::min<long long>(right, width());
    bottom = std::min<long long>(bottom, height());
    if (left >= right || top >= bottom) return;
    const RECT r{clamp_long(left), clamp_long(top), clamp_long(right), clamp_long(bottom)};
    if (IsRectEmpty(&dirty_))
        dirty_ = r;
    else
        UnionRect(&dirty_, &dirty_, &r);
}

void Canvas::move_to(int x, int y) { pos_ = POINT{x, y}; }

const std::vector<Canvas::Span>* Canvas::line_spans(const LineKey& key) {
    if (auto it = lines_.find(key); it != lines_.end()) return &it->second;
    // Long lines are rare and their masks large: left to GDI.
    const long long margin = key.width + 2;
    const long long w = std::abs(static_cast<long long>(key.dx)) + 2 * margin + 1;
    const long long h = std::abs(static_cast<long long>(key.dy)) + 2 * margin + 1;
    if (w * h > 1 << 20) return nullptr;
    if (lines_.size() >= 4096) lines_.clear();
    if (scratch_.width() < w || scratch_.height() < h)
        scratch_.reallocate(std::max<int>(scratch_.width(), static_cast<int>(w)),
                            std::max<int>(scratch_.height(), static_cast<int>(h)));
    const int left = static_cast<int>(std::min<long long>(key.dx, 0) - margin);
    const int top = static_cast<int>(std::min<long long>(key.dy, 0) - margin);
    HDC dc = scratch_.dc();
    PatBlt(dc, 0, 0, static_cast<int>(w), static_cast<int>(h), BLACKNESS);
    {
        UniqueGdi<HPEN> white(CreatePen(PS_SOLID, std::min(key.width, 10000), RGB(255, 255, 255)));
        Selection pen(dc, white.get());
        const int old_rop = SetROP2(dc, R2_COPYPEN);
        MoveToEx(dc, -left, -top, nullptr);
        LineTo(dc, key.dx - left, key.dy - top);
        SetROP2(dc, old_rop);
    }
    GdiFlush();
    std::vector<Span> spans;
    const std::uint32_t* bits = scratch_.bits();
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = bits + static_cast<std::size_t>(y) * scratch_.width();
        for (int x = 0; x < w;) {
            if (!(row[x] & 0xFFFFFF)) {
                ++x;
                continue;
            }
            const int x0 = x;
            while (x < w && (row[x] & 0xFFFFFF)) ++x;
            spans.push_back(Span{y + top, x0 + left, x + left});
        }
    }
    return &lines_.emplace(key, std::move(spans)).first->second;
}

void Canvas::fill_spans(const std::vector<Span>& spans, POINT from) {
    GdiFlush();
    std::uint32_t* bits = bitmap_->bits();
    const long long w = width(), h = height();
    const std::uint32_t value = colorref_to_dib(pen_.color);
    for (const Span& s : spans) {
        const long long y = static_cast<long long>(from.y) + s.y;
        if (y < 0 || y >= h) continue;
        const long long x0 = std::max<long long>(static_cast<long long>(from.x) + s.x0, 0);
        const long long x1 = std::min<long long>(static_cast<long long>(from.x) + s.x1, w);
        if (x0 >= x1) continue;
        std::fill(bits + y * w + x0, bits + y * w + x1, value);
    }
}

void Canvas::line_to(int x, int y) {
    const POINT from = pos_;
    pos_ = POINT{x, y};
    HDC dc = bitmap_->dc();
    if (!dc || pen_.style == PenStyle::Clear) return;
    const std::vector<Span>* spans = nullptr;
    if (pen_.mode == RasterMode::Copy && pen_.style == PenStyle::Solid) {
        const long long dx = static_cast<long long>(x) - from.x;
        const long long dy = static_cast<long long>(y) - from.y;
        if (std::abs(dx) < 0x10000 && std::abs(dy) < 0x10000)
            spans = line_spans(
                LineKey{static_cast<int>(dx), static_cast<int>(dy), std::max(0, pen_.width)});
    }
    if (spans && !clipped_) {
        fill_spans(*spans, from);
    } else {
        Selection pen(dc, pen_handle());
        const int old_rop = SetROP2(dc, rop2_of(pen_.mode));
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, x, y);
        SetROP2(dc, old_rop);
    }
    const long long grow = pen_.width / 2 + 2;
    touch(std::min<long long>(from.x, x) - grow, std::min<long long>(from.y, y) - grow,
          std::max<long long>(from.x, x) + grow + 1, std::max<long long>(from.y, y) + grow + 1);
}

void Canvas::fill_rect(int left, int top, int right, int bottom) {
    HDC dc = bitmap_->dc();
    if (!dc || brush_.style == BrushStyle::Clear || right <= left || bottom <= top) return;
    const long long w = static_cast<long long>(right) - left;
    const long long h = static_cast<long long>(bottom) - top;
    if (w > 0x7FFFFFF || h > 0x7FFFFFF) return;
    Selection brush(dc, brush_handle());
    PatBlt(dc, left, top, static_cast<int>(w), static_cast<int>(h), rop3_of(pen_.mode));
    touch(left, top, right, bottom);
}

void Canvas::text_out(int x, int y, std::wstring_view text) {
    HDC dc = bitmap_->dc();
    if (!dc || text.empty()) return;
    Selection font(dc, font_handle());
    const int old_mode = SetBkMode(dc, brush_.style == BrushStyle::Clear ? TRANSPARENT : OPAQUE);
    const COLORREF old_back = SetBkColor(dc, brush_.color);
    const COLORREF old_text = SetTextColor(dc, font_.color);
    const UINT old_align = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutW(dc, x, y, text.data(), static_cast<int>(text.size()));
    SetTextAlign(dc, old_align);
    SetTextColor(dc, old_text);
    SetBkColor(dc, old_back);
    SetBkMode(dc, old_mode);
    // Glyphs may overhang their cell; the rest of the row and everything below is cheap to
    // repaint and never wrong.
    touch(static_cast<long long>(x) - 16, static_cast<long long>(y) - 16, width(), height());
}

Extent Canvas::text_extent(std::wstring_view text) {
    HDC dc = bitmap_->dc();
    // An empty bitmap has no DC; measuring does not need one of its own.
    UniqueDC scratch;
    if (!dc) {
        scratch.reset(CreateCompatibleDC(nullptr));
        dc = scratch.get();
        if (!dc) return Extent{};
    }
    Selection font(dc, font_handle());
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return Extent{size.cx, size.cy};
}

std::size_t Canvas::InkKeyHash::operator()(const InkKey& k) const {
    const std::hash<std::wstring> h;
    std::size_t v = h(k.text) * 31 + h(k.font.name);
    for (const long long part :
         {static_cast<long long>(k.font.height), static_cast<long long>(k.font.color),
          static_cast<long long>(k.font.style), static_cast<long long>(k.font.charset)})
        v = v * 1000003u ^ static_cast<std::size_t>(part);
    return v;
}

std::optional<Rect> Canvas::text_ink(std::wstring_view text) {
    if (text.empty()) return Rect{};  // text_out draws nothing
    InkKey key{font_, std::wstring(text)};
    if (auto it = inks_.find(key); it != inks_.end()) return it->second;
    const std::optional<Rect> ink = measure_ink(text);
    if (inks_.size() >= 1024) inks_.clear();
    inks_.emplace(std::move(key), ink);
    return ink;
}

std::optional<Rect> Canvas::measure_ink(std::wstring_view text) {
    // A margin of more than a line height around the extent holds any overhang of a sane font;
    // ink that reaches the edge of the scratch area could go on beyond it, so it is unbounded.
    const Extent e = text_extent(text);
    const long long margin =
        std::max<long long>(e.cy, std::abs(static_cast<long long>(font_.height))) + 16;
    const long long w = std::max(0, e.cx) + 2 * margin, h = std::max(0, e.cy) + 2 * margin;
    if (w * h > 1 << 22) return std::nullopt;
    if (scratch_.width() < w || scratch_.height() < h)
        scratch_.reallocate(std::max<int>(scratch_.width(), static_cast<int>(w)),
                            std::max<int>(scratch_.height(), static_cast<int>(h)));
    HDC dc = scratch_.dc();
    if (!dc) return std::nullopt;
    PatBlt(dc, 0, 0, static_cast<int>(w), static_cast<int>(h), BLACKNESS);
    {
        Selection font(dc, font_handle());
        const int old_mode = SetBkMode(dc, TRANSPARENT);
        const COLORREF old_text = SetTextColor(dc, RGB(255, 255, 255));
        const UINT old_align = SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        TextOutW(dc, static_cast<int>(margin), static_cast<int>(margin), text.data(),
                 static_cast<int>(text.size()));
        SetTextAlign(dc, old_align);
        SetTextColor(dc, old_text);
        SetBkMode(dc, old_mode);
    }
    GdiFlush();
    long long l = w, t = h, r = -1, b = -1;
    const std::uint32_t* bits = scratch_.bits();
    for (long long y = 0; y < h; ++y) {
        const std::uint32_t* row = bits + y * scratch_.width();
        for (long long x = 0; x < w; ++x) {
            if (!(row[x] & 0xFFFFFF)) continue;
            l = std::min(l, x);
            r = std::max(r, x);
            t = std::min(t, y);
            b = std::max(b, y);
        }
    }
    if (r < 0) return Rect{};
    if (l == 0 || t == 0 || r == w - 1 || b == h - 1) return std::nullopt;
    // One pixel of slack on every side costs nothing and forgives a rasteriser that shades a
    // pixel more faintly than white on black shows.
    return Rect{static_cast<int>(l - margin - 1), static_cast<int>(t - margin - 1),
                static_cast<int>(r - margin + 2), static_cast<int>(b - margin + 2)};
}

bool Canvas::set_clip(std::span<const Rect> rects) {
    HDC dc = bitmap_->dc();
    if (!dc) return false;
    UniqueGdi<HRGN> region(CreateRectRgn(0, 0, 0, 0));
    if (!region) return false;
    for (const Rect& r : rects) {
        if (r.empty()) continue;
        UniqueGdi<HRGN> part(CreateRectRgn(r.left, r.top, r.right, r.bottom));
        if (!part || CombineRgn(region.get(), region.get(), part.get(), RGN_OR) == ERROR)
            return false;
    }
    if (SelectClipRgn(dc, region.get()) == ERROR) return false;
    clipped_ = true;
    return true;
}

void Canvas::clear_clip() {
    if (HDC dc = bitmap_->dc()) SelectClipRgn(dc, nullptr);
    clipped_ = false;
}

void Canvas::copy_from(const Surface& src, int x, int y, int w, int h) {
    const auto* from = dynamic_cast<const Canvas*>(&src);
    if (!from) throw std::invalid_argument("ui::Canvas copies only from another ui::Canvas");
    HDC dc = bitmap_->dc();
    HDC src_dc = from->bitmap_->dc();
    if (!dc || !src_dc) return;
    // Only what lies inside both bitmaps.
    const long long l = std::max(x, 0), t = std::max(y, 0);
    const long long r = std::min({static_cast<long long>(x) + w, static_cast<long long>(width()),
                                  static_cast<long long>(from->width())});
    const long long b = std::min({static_cast<long long>(y) + h, static_cast<long long>(height()),
                                  static_cast<long long>(from->height())});
    if (l >= r || t >= b) return;
    BitBlt(dc, static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
           static_cast<int>(b - t), src_dc, static_cast<int>(l), static_cast<int>(t), SRCCOPY);
    touch(l, t, r, b);
}

std::unique_ptr<Surface> Canvas::make_bitmap(int w, int h) const {
    return std::make_unique<Canvas>(w, h);
}

void Canvas::flush() {
    if (!window_ || IsRectEmpty(&dirty_)) return;
    InvalidateRect(window_, &dirty_, FALSE);
    dirty_ = RECT{0, 0, 0, 0};
}

}  // namespace ui
