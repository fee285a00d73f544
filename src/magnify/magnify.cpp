#include "magnify/magnify.h"

#include <windowsx.h>

#include <algorithm>

#include "ui/picture.h"

namespace magnify {

namespace {

constexpr wchar_t kClass[] = L"SnipquillMagnify";

// Repeats the pixels along the edges of the inner (width x height) area at (m, m) out into the
// margin of m pixels round it.
void fill_margin(ui::Bitmap& b, int m, int width, int height) {
    if (m <= 0 || width <= 0 || height <= 0) return;
    GdiFlush();
    std::uint32_t* bits = b.bits();
    const int stride = b.width();
    for (int y = m; y < m + height; ++y) {
        std::uint32_t* row = bits + static_cast<std::ptrdiff_t>(y) * stride;
        std::fill(row, row + m, row[m]);
        std::fill(row + m + width, row + stride, row[m + width - 1]);
    }
    const std::uint32_t* first = bits + static_cast<std::ptrdiff_t>(m) * stride;
    const std::uint32_t* last = bits + static_cast<std::ptrdiff_t>(m + height - 1) * stride;
    for (int y = 0; y < m; ++y)
        std::copy(first, first + stride, bits + static_cast<std::ptrdiff_t>(y) * stride);
    for (int y = m + height; y < b.height(); ++y)
        std::copy(last, last + stride, bits + static_cast<std::ptrdiff_t>(y) * stride);
}

}  // namespace

TMagnify::TMagnify(HWND parent) {
    // A DC of its own: the lens is drawn at every move without fetching one from the system.
    register_class({.name = kClass, .style = CS_OWNDC});
    create(0, kClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 105, 105, parent);
}

TMagnify::~TMagnify() {
    // A drag cut short by destruction must not leave the pointer trapped.
    if (MsDNTag_ == kDragging) ClipCursor(nullptr);
}

bool TMagnify::PaletteDevice() const {
    ui::WindowDC screen(nullptr);
    return screen && (GetDeviceCaps(screen.get(), RASTERCAPS) & RC_PALETTE) != 0;
}

void TMagnify::SetBitMap(const ui::Bitmap& value) {
    if (FAutoSize) {
        FOriginal.assign(value);
        set_width(FOriginal.width());
        set_height(FOriginal.height());
    } else if (fAutoStretch) {
        const int w = client_width(), h = client_height();
        FOriginal.reallocate(w, h);
        if (!FOriginal.empty() && !value.empty()) {
            SetStretchBltMode(FOriginal.dc(), COLORONCOLOR);
            StretchBlt(FOriginal.dc(), 0, 0, w, h, value.dc(), 0, 0, value.width(), value.height(),
                       SRCCOPY);
        }
    }
    paint_now();
}

void TMagnify::set_Autosize(bool value) {
    try {
        FAutoSize = value;
        if (value) {
            if (FOriginal.width() >= 1 && FOriginal.height() >= 1) {
                fAutoStretch = false;
                set_width(FOriginal.width());
                set_height(FOriginal.height());
                paint_now();
            }
        } else {
            fAutoStretch = true;
        }
    } catch (...) {
        // A failed resize or paint leaves the flags as far as they got.
    }
}

void TMagnify::set_AutoStretch(bool value) {
    fAutoStretch = value;
    FAutoSize = !value;
}

void TMagnify::paint_now() {
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TMagnify::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    if (OnPaint) OnPaint(*this);
    const int w = client_width(), h = client_height();
    if (!FOriginal.empty()) {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, w, h, FOriginal.dc(), 0, 0, FOriginal.width(), FOriginal.height(),
                   SRCCOPY);
    } else {
        // Nothing to show: the face colour rather than whatever the screen held.
        RECT r{0, 0, w, h};
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
    EndPaint(hwnd(), &ps);
}

void TMagnify::ensure_margin(int needed) {
    if (needed <= margin_) return;
    // Only when the lens settings grow during a drag or the pointer strays outside the
    // confinement: rebuild the snapshot with the wider margin.
    ui::Bitmap wider(snap_width_ + 2 * needed, snap_height_ + 2 * needed);
    BitBlt(wider.dc(), needed, needed, snap_width_, snap_height_, FVector.dc(), margin_, margin_,
           SRCCOPY);
    fill_margin(wider, needed, snap_width_, snap_height_);
    FVector = std::move(wider);
    margin_ = needed;
}

void TMagnify::take_snapshot() {
    const int w = client_width(), h = client_height();
    const LensGeometry g = lens_geometry(ZHalf, ZZoom);
    const int m = std::max(1, g.half);
    if (FVector.width() != w + 2 * m || FVector.height() != h + 2 * m)
        FVector.reallocate(w + 2 * m, h + 2 * m);
    margin_ = m;
    snap_width_ = w;
    snap_height_ = h;
    ui::WindowDC screen(hwnd());
    BitBlt(FVector.dc(), m, m, w, h, screen.get(), 0, 0, SRCCOPY);
    fill_margin(FVector, m, w, h);
}

void TMagnify::repair(HDC dc, const LensRect& r) {
    const LensRect inside = intersect(r, {0, 0, snap_width_, snap_height_});
    if (inside.empty()) return;
    BitBlt(dc, inside.left, inside.top, inside.width(), inside.height(), FVector.dc(),
           inside.left + margin_, inside.top + margin_, SRCCOPY);
}

void TMagnify::draw_lens(HDC dc, int x, int y, const LensGeometry& g) {
    const LensRect lens = square(x, y, g.lens);
    if (g.half <= 0 || intersect(lens, {0, 0, snap_width_, snap_height_}).empty()) return;
    const LensRect src = square(x, y, g.half);
    ensure_margin(overhang(src, snap_width_, snap_height_));
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, lens.left, lens.top, lens.width(), lens.height(), FVector.dc(),
               src.left + margin_, src.top + margin_, src.width(), src.height(), SRCCOPY);
    if (FShowBorder) {
        ui::UniqueGdi<HBRUSH> brush(CreateSolidBrush(FBorderColor));
        RECT frame{lens.left, lens.top, lens.right, lens.bottom};
        FrameRect(dc, &frame, brush.get());
    }
}

void TMagnify::MouseDown(ui::MouseButton button, ui::ShiftState shift, int x, int y) {
    mouse.down(this, button, shift, x, y);
    if (button == ui::MouseButton::Right) return;
    if (FOriginal.empty()) return;
    Origin_ = {x, y};
    MsDNTag_ = kDragging;
    take_snapshot();
    const LensGeometry g = lens_geometry(ZHalf, ZZoom);
    SetCursor(nullptr);
    POINT corner{0, 0};
    ClientToScreen(hwnd(), &corner);
    const LensRect c = confinement(corner.x, corner.y, client_width(), client_height(), g.inset);
    const RECT clip{c.left, c.top, c.right, c.bottom};
    ClipCursor(&clip);
    ui::WindowDC dc(hwnd());
    draw_lens(dc.get(), x, y, g);
}

void TMagnify::MouseMove(ui::ShiftState shift, int x, int y) {
    mouse.move(this, shift, x, y);
    if (MsDNTag_ != kDragging) return;
    const LensGeometry g = lens_geometry(ZHalf, ZZoom);
    const Exposed e = exposed_split(square(Origin_.x, Origin_.y, g.lens), square(x, y, g.lens));
    ui::WindowDC dc(hwnd());
    if (!e.a.empty()) repair(dc.get(), e.a);
    if (!e.b.empty()) repair(dc.get(), e.b);
    draw_lens(dc.get(), x, y, g);
    Origin_ = {x, y};
}

void TMagnify::end_drag(int x, int y) {
    MsDNTag_ = 0;
    ClipCursor(nullptr);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    const int k = lens_geometry(ZHalf, ZZoom).lens;
    ui::WindowDC dc(hwnd());
    // The lens is where it was last drawn; the release point is normally the same place.
    repair(dc.get(), square(Origin_.x, Origin_.y, k));
    if (x != Origin_.x || y != Origin_.y) repair(dc.get(), square(x, y, k));
}

void TMagnify::MouseUp(ui::MouseButton button, ui::ShiftState shift, int x, int y) {
    if (MsDNTag_ == kDragging) end_drag(x, y);
    MsDNTag_ = 0;
    mouse.up(this, button, shift, x, y);
}

LRESULT TMagnify::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    auto press = [&](ui::MouseButton b) {
        if (b != ui::MouseButton::Right) SetCapture(hwnd());
        MouseDown(b, ui::shift_state_from(wp), x, y);
    };
    auto release = [&](ui::MouseButton b) {
        MouseUp(b, ui::shift_state_from(wp), x, y);
        if (!(wp & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) && GetCapture() == hwnd())
            ReleaseCapture();
    };
    switch (msg) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_ERASEBKGND:
            return 0;  // the paint covers everything; erasing would only flicker
        case WM_SETCURSOR:
            if (MsDNTag_ == kDragging) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_LBUTTONDOWN:
            press(ui::MouseButton::Left);
            return 0;
        case WM_MBUTTONDOWN:
            press(ui::MouseButton::Middle);
            return 0;
        case WM_RBUTTONDOWN:
            press(ui::MouseButton::Right);
            if (OnRightClick) OnRightClick(*this);
            return 0;
        case WM_LBUTTONUP:
            release(ui::MouseButton::Left);
            return 0;
        case WM_MBUTTONUP:
            release(ui::MouseButton::Middle);
            return 0;
        case WM_RBUTTONUP:
            release(ui::MouseButton::Right);
            return 0;
        case WM_MOUSEMOVE:
            MouseMove(ui::shift_state_from(wp), x, y);
            return 0;
        case WM_CAPTURECHANGED:
            // The capture taken away mid-drag (a window popping up, Alt+Tab): no release will
            // come, so free the pointer and take the lens away now.
            if (MsDNTag_ == kDragging && reinterpret_cast<HWND>(lp) != hwnd())
                end_drag(Origin_.x, Origin_.y);
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
            return SendMessageW(GetParent(hwnd()), msg, wp, lp);
    }
    return Window::on_message(msg, wp, lp);
}

}  // namespace magnify
