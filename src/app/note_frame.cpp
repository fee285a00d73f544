#include "app/note_frame.h"

#include <array>

#include "ui/handles.h"

namespace app {

using snipquill::Frame;
using snipquill::FrameButton;
using snipquill::FrameHit;

namespace {

constexpr COLORREF kActive = RGB(38, 92, 122);
constexpr COLORREF kInactive = RGB(110, 120, 128);
constexpr COLORREF kPressed = RGB(20, 50, 70);
constexpr COLORREF kGlyph = RGB(255, 255, 255);

RECT to_rect(const snipquill::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

void fill(HDC dc, const RECT& r, COLORREF c) {
    ui::UniqueGdi<HBRUSH> brush(CreateSolidBrush(c));
    FillRect(dc, &r, brush.get());
}

void glyph(HDC dc, FrameButton b, const RECT& r) {
    ui::UniqueGdi<HPEN> pen(CreatePen(PS_SOLID, 2, kGlyph));
    ui::Selection sel(dc, pen.get());
    const int l = r.left + 4, t = r.top + 4, rr = r.right - 5, bb = r.bottom - 5;
    switch (b) {
        case FrameButton::Close:
            MoveToEx(dc, l, t, nullptr);
            LineTo(dc, rr, bb);
            MoveToEx(dc, rr, t, nullptr);
            LineTo(dc, l, bb);
            break;
        case FrameButton::Minimize:
            MoveToEx(dc, l, bb, nullptr);
            LineTo(dc, rr, bb);
            break;
        case FrameButton::SysMenu:
            for (int y : {t, (t + bb) / 2, bb}) {
                MoveToEx(dc, l, y, nullptr);
                LineTo(dc, rr, y);
            }
            break;
        case FrameButton::Rollup: {
            // A chevron pointing up under a bar: the window shade.
            const int mx = (l + rr) / 2;
            MoveToEx(dc, l, t, nullptr);
            LineTo(dc, rr, t);
            MoveToEx(dc, l, bb, nullptr);
            LineTo(dc, mx, t + 4);
            LineTo(dc, rr, bb);
            break;
        }
        case FrameButton::Tray: {
            // An arrow down into a small box at the bottom right: off to the tray.
            const int mx = (l + rr) / 2;
            MoveToEx(dc, l, t, nullptr);
            LineTo(dc, mx, (t + bb) / 2 + 1);
            ui::UniqueGdi<HBRUSH> box(CreateSolidBrush(kGlyph));
            const RECT tray{mx, bb - 2, rr + 1, bb + 1};
            FillRect(dc, &tray, box.get());
            break;
        }
        case FrameButton::None:
            break;
    }
}

}  // namespace

void paint_note_frame(HWND hwnd, bool active, FrameButton pressed) {
    RECT wr{};
    GetWindowRect(hwnd, &wr);
    const int W = wr.right - wr.left, H = wr.bottom - wr.top;
    ui::WindowDC dc(hwnd, true);
    if (!dc) return;
    HDC wdc = dc.get();
    const RECT client = to_rect(snipquill::frame_client_rect(W, H));
    ExcludeClipRect(wdc, client.left, client.top, client.right, client.bottom);
    const COLORREF face = active ? kActive : kInactive;
    fill(wdc, RECT{0, 0, W, H}, face);

    std::array<wchar_t, 256> title{};
    GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size()));
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
    ncm.lfCaptionFont.lfHeight = -11;
    ncm.lfCaptionFont.lfWeight = FW_BOLD;
    ui::UniqueGdi<HFONT> font(CreateFontIndirectW(&ncm.lfCaptionFont));
    {
        ui::Selection sel(wdc, font.get());
        SetBkMode(wdc, TRANSPARENT);
        SetTextColor(wdc, kGlyph);
        RECT tr = to_rect(snipquill::frame_title_rect(W));
        DrawTextW(wdc, title.data(), -1, &tr,
                  DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
    for (FrameButton b : {FrameButton::SysMenu, FrameButton::Rollup, FrameButton::Tray,
                          FrameButton::Minimize, FrameButton::Close}) {
        const RECT r = to_rect(snipquill::frame_button_rect(b, W));
        if (b == pressed) fill(wdc, r, kPressed);
        glyph(wdc, b, r);
    }
}

LRESULT frame_hit_code(FrameHit hit) {
    switch (hit) {
        case FrameHit::Client:
            return HTCLIENT;
        case FrameHit::Caption:
            return HTCAPTION;
        case FrameHit::SysMenu:
            return HTSYSMENU;
        case FrameHit::Rollup:
            return kHitRollup;
        case FrameHit::Tray:
            return kHitTray;
        case FrameHit::Minimize:
            return HTMINBUTTON;
        case FrameHit::Close:
            return HTCLOSE;
        case FrameHit::Left:
            return HTLEFT;
        case FrameHit::Right:
            return HTRIGHT;
        case FrameHit::Top:
            return HTTOP;
        case FrameHit::Bottom:
            return HTBOTTOM;
        case FrameHit::TopLeft:
            return HTTOPLEFT;
        case FrameHit::TopRight:
            return HTTOPRIGHT;
        case FrameHit::BottomLeft:
            return HTBOTTOMLEFT;
        case FrameHit::BottomRight:
            return HTBOTTOMRIGHT;
    }
    return HTNOWHERE;
}

FrameButton frame_button_for(LRESULT hit_code) {
    switch (hit_code) {
        case HTSYSMENU:
            return FrameButton::SysMenu;
        case kHitRollup:
            return FrameButton::Rollup;
        case kHitTray:
            return FrameButton::Tray;
        case HTMINBUTTON:
            return FrameButton::Minimize;
        case HTCLOSE:
            return FrameButton::Close;
    }
    return FrameButton::None;
}

}  // namespace app
