#include "annotate/color_button.h"

#include <commdlg.h>
#include <windowsx.h>

#include <cstdlib>

#include "ui/handles.h"
#include "ui/system_api.h"

namespace annotate {

using palette::kAutomaticItem;
using palette::kColorGrid;
using palette::kGridCells;
using palette::kGridColumns;
using palette::kGridRows;
using palette::kNoItem;
using palette::kOtherItem;

namespace {

constexpr wchar_t kButtonClass[] = L"SnipquillColorButton";
constexpr wchar_t kPanelClass[] = L"SnipquillColorPanel";
constexpr int kMargin = 4;
constexpr int kCell = 18;
constexpr int kBar = 8;
constexpr int kRow = 22;
constexpr int kHintLine = 16;
constexpr int kArrow = 11;
constexpr int kTearDistance = 4;

HFONT gui_font() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

void fill(HDC dc, const RECT& r, COLORREF c) {
    ui::UniqueGdi<HBRUSH> b(CreateSolidBrush(c));
    FillRect(dc, &r, b.get());
}

void frame(HDC dc, const RECT& r, COLORREF c) {
    ui::UniqueGdi<HBRUSH> b(CreateSolidBrush(c));
    FrameRect(dc, &r, b.get());
}

}  // namespace

// ---- the panel ----

ColorPanel::ColorPanel(ColorButton& button, Mode mode) : button_(button), mode_(mode) {
    register_class({kPanelClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
    HWND owner = GetAncestor(button.hwnd(), GA_ROOT);
    const SIZE c = client_size();
    if (mode == Mode::DropDown) {
        create(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPanelClass, L"", WS_POPUP | WS_BORDER, 0, 0,
               c.cx + 2, c.cy + 2, owner);
    } else {
        const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        const DWORD ex = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
        RECT r{0, 0, c.cx, c.cy};
        AdjustWindowRectEx(&r, style, FALSE, ex);
        create(ex, kPanelClass, kColorWindowTitle, style, 0, 0, r.right - r.left, r.bottom - r.top,
               owner);
    }
}

SIZE ColorPanel::client_size() const {
    const ColorButton::Options& o = button_.options();
    int h = kMargin;
    if (o.tear_off && mode_ == Mode::DropDown) h += kBar + 2;
    if (o.automatic) h += kRow + 2;
    h += kGridRows * kCell;
    if (o.other_colors) h += 2 + kRow;
    h += 2 + kHintLine + kMargin;
    return SIZE{kGridColumns * kCell + 2 * kMargin, h};
}

RECT ColorPanel::drag_bar() const {
    if (!button_.options().tear_off || mode_ != Mode::DropDown) return RECT{};
    return RECT{kMargin, kMargin, kMargin + kGridColumns * kCell, kMargin + kBar};
}

RECT ColorPanel::item_rect(int item) const {
    const ColorButton::Options& o = button_.options();
    int y = kMargin;
    if (o.tear_off && mode_ == Mode::DropDown) y += kBar + 2;
    const int right = kMargin + kGridColumns * kCell;
    if (o.automatic) {
        if (item == kAutomaticItem) return RECT{kMargin, y, right, y + kRow};
        y += kRow + 2;
    }
    if (item >= 0 && item < kGridCells) {
        const int x = kMargin + (item % kGridColumns) * kCell;
        const int top = y + (item / kGridColumns) * kCell;
        return RECT{x, top, x + kCell, top + kCell};
    }
    y += kGridRows * kCell + 2;
    if (o.other_colors && item == kOtherItem) return RECT{kMargin, y, right, y + kRow};
    return RECT{};
}

int ColorPanel::item_at(POINT p) const {
    for (int item : {kAutomaticItem, kOtherItem}) {
        const RECT r = item_rect(item);
        if (PtInRect(&r, p)) return item;
    }
    for (int i = 0; i < kGridCells; ++i) {
        const RECT r = item_rect(i);
        if (PtInRect(&r, p)) return i;
    }
    return kNoItem;
}

const wchar_t* ColorPanel::hint() const {
    if (hot_ == kAutomaticItem) return kAutomaticCaption;
    if (hot_ == kOtherItem) return kOtherColorsCaption;
    if (hot_ >= 0) return kColorGrid[static_cast<std::size_t>(hot_)].name;
    return bar_hot_ || dragging_bar_ ? kDragToFloatHint : L"";
}

void ColorPanel::show_at(POINT p) {
    hot_ = palette::grid_index_of(button_.color());
    SetWindowPos(hwnd(), HWND_TOPMOST, p.x, p.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd(), nullptr, TRUE);
    // The drop-down takes the mouse like a menu; the keyboard stays with the button.
    if (mode_ == Mode::DropDown) SetCapture(hwnd());
}

void ColorPanel::hide() {
    if (!visible()) return;
    dragging_bar_ = false;
    if (GetCapture() == hwnd()) ReleaseCapture();
    ShowWindow(hwnd(), SW_HIDE);
}

void ColorPanel::set_hot(int item) {
    if (item == hot_) return;
    hot_ = item;
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void ColorPanel::key(WPARAM vk) {
    const palette::PanelLayout layout{button_.options().automatic, button_.options().other_colors};
    switch (vk) {
        case VK_LEFT:
            set_hot(palette::panel_navigate(hot_, palette::NavKey::Left, layout));
            break;
        case VK_RIGHT:
            set_hot(palette::panel_navigate(hot_, palette::NavKey::Right, layout));
            break;
        case VK_UP:
            set_hot(palette::panel_navigate(hot_, palette::NavKey::Up, layout));
            break;
        case VK_DOWN:
            set_hot(palette::panel_navigate(hot_, palette::NavKey::Down, layout));
            break;
        case VK_RETURN:
            if (hot_ != kNoItem) pick(hot_);
            break;
        case VK_ESCAPE:
            hide();
            break;
    }
}

void ColorPanel::pick(int item) {
    if (mode_ == Mode::DropDown) hide();
    if (item == kOtherItem) {
        button_.other_colors();
    } else if (item == kAutomaticItem) {
        button_.pick(kAutomaticColor);
    } else if (item >= 0 && item < kGridCells) {
        button_.pick(kColorGrid[static_cast<std::size_t>(item)].color);
    }
    if (visible()) InvalidateRect(hwnd(), nullptr, FALSE);
}

void ColorPanel::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT client{};
    GetClientRect(hwnd(), &client);
    fill(dc, client, GetSysColor(COLOR_BTNFACE));
    HGDIOBJ old_font = SelectObject(dc, gui_font());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int current = palette::grid_index_of(button_.color());

    if (RECT bar = drag_bar(); bar.right > bar.left) {
        fill(dc, bar, GetSysColor(COLOR_ACTIVECAPTION));
        DrawEdge(dc, &bar, BDR_RAISEDINNER, BF_RECT);
    }
    for (int item : {kAutomaticItem, kOtherItem}) {
        RECT r = item_rect(item);
        if (r.right <= r.left) continue;
        DrawEdge(dc, &r, hot_ == item ? EDGE_RAISED : BDR_RAISEDINNER, BF_RECT);
        if (item == kAutomaticItem) {
            RECT swatch{r.left + 4, r.top + 4, r.left + 4 + 14, r.bottom - 4};
            fill(dc, swatch, kAutomaticColor);
            r.left = swatch.right + 4;
        }
        DrawTextW(dc, item == kAutomaticItem ? kAutomaticCaption : kOtherColorsCaption, -1, &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    for (int i = 0; i < kGridCells; ++i) {
        RECT r = item_rect(i);
        if (i == hot_ || i == current)
            DrawEdge(dc, &r, i == current ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        RECT swatch{r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
        fill(dc, swatch, kColorGrid[static_cast<std::size_t>(i)].color);
        frame(dc, swatch, GetSysColor(COLOR_BTNSHADOW));
    }
    const SIZE c = client_size();
    RECT hint_line{kMargin, c.cy - kMargin - kHintLine, c.cx - kMargin, c.cy - kMargin};
    DrawTextW(dc, hint(), -1, &hint_line, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    SelectObject(dc, old_font);
    EndPaint(hwnd(), &ps);
}

LRESULT ColorPanel::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_MOUSEMOVE: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (dragging_bar_ && (wp & MK_LBUTTON)) {
                if (std::abs(p.x - drag_from_.x) >= kTearDistance ||
                    std::abs(p.y - drag_from_.y) >= kTearDistance) {
                    POINT s = p;
                    ClientToScreen(hwnd(), &s);
                    button_.tear_off(s);
                }
                return 0;
            }
            const RECT bar = drag_bar();
            const bool on_bar = PtInRect(&bar, p) != FALSE;
            if (on_bar != bar_hot_) {
                bar_hot_ = on_bar;
                InvalidateRect(hwnd(), nullptr, FALSE);
            }
            set_hot(item_at(p));
            return 0;
        }
        case WM_LBUTTONDOWN: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            RECT client{};
            GetClientRect(hwnd(), &client);
            if (mode_ == Mode::DropDown && !PtInRect(&client, p)) {
                hide();  // a press outside closes the drop-down, as a menu does
                return 0;
            }
            const RECT bar = drag_bar();
            if (PtInRect(&bar, p)) {
                dragging_bar_ = true;
                drag_from_ = p;
                InvalidateRect(hwnd(), nullptr, FALSE);
            }
            return 0;
        }
        case WM_LBUTTONUP: {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            if (dragging_bar_) {
                dragging_bar_ = false;
                InvalidateRect(hwnd(), nullptr, FALSE);
                return 0;
            }
            if (const int item = item_at(p); item != kNoItem) pick(item);
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (mode_ == Mode::DropDown && reinterpret_cast<HWND>(lp) != hwnd()) hide();
            return 0;
        case WM_KEYDOWN:
            key(wp);
            return 0;
        case WM_MOUSEACTIVATE:
            if (mode_ == Mode::DropDown) return MA_NOACTIVATE;
            break;
        case WM_CLOSE:
            hide();
            return 0;
    }
    return Window::on_message(msg, wp, lp);
}

// ---- the button ----

void ColorButton::create(HWND parent, int id, RECT b, ui::Color initial, Options options) {
    color_ = initial;
    options_ = options;
    register_class({kButtonClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
    Window::create(0, kButtonClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, b.left, b.top,
                   b.right - b.left, b.bottom - b.top, parent,
                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

ColorButton::~ColorButton() {
    // The panels are owned windows of the palette: they go first.
    panel_.reset();
    floating_.reset();
}

void ColorButton::pick(ui::Color c) {
    color_ = c;
    InvalidateRect(hwnd(), nullptr, FALSE);
    if (on_change) on_change();
}

void ColorButton::open_panel() {
    if (!panel_) panel_ = std::make_unique<ColorPanel>(*this, ColorPanel::Mode::DropDown);
    RECT r{};
    GetWindowRect(hwnd(), &r);
    panel_->show_at(POINT{r.left, r.bottom});
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void ColorButton::close_panel() {
    if (panel_) panel_->hide();
}

void ColorButton::tear_off(POINT p) {
    close_panel();
    if (!floating_) floating_ = std::make_unique<ColorPanel>(*this, ColorPanel::Mode::Floating);
    floating_->show_at(POINT{p.x - 20, p.y - 8});
}

void ColorButton::other_colors() {
    static COLORREF custom[16] = {};  // kept for the run, as the dialog expects
    CHOOSECOLORW cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = GetAncestor(hwnd(), GA_ROOT);
    cc.rgbResult = color_;
    cc.lpCustColors = custom;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN;
    if (sys::ChooseColorW(&cc)) pick(cc.rgbResult);
}

RECT ColorButton::arrow_rect() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    r.left = r.right - kArrow;
    return r;
}

void ColorButton::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd(), &ps);
    RECT r{};
    GetClientRect(hwnd(), &r);
    fill(dc, r, GetSysColor(COLOR_BTNFACE));
    RECT face{r.left, r.top, r.right - kArrow, r.bottom};
    DrawEdge(dc, &face, pressed_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT swatch{face.left + 4, face.top + 4, face.right - 4, face.bottom - 4};
    fill(dc, swatch, color_);
    frame(dc, swatch, GetSysColor(COLOR_BTNSHADOW));
    RECT arrow = arrow_rect();
    const bool open = panel_ && panel_->visible();
    DrawEdge(dc, &arrow, open ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int cx = (arrow.left + arrow.right) / 2, cy = (arrow.top + arrow.bottom) / 2;
    for (int i = 0; i < 3; ++i) {
        MoveToEx(dc, cx - 2 + i, cy - 1 + i, nullptr);
        LineTo(dc, cx + 3 - i, cy - 1 + i);
    }
    if (GetFocus() == hwnd()) {
        RECT f{face.left + 2, face.top + 2, face.right - 2, face.bottom - 2};
        DrawFocusRect(dc, &f);
    }
    EndPaint(hwnd(), &ps);
}

LRESULT ColorButton::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_PAINT:
            paint();
            return 0;
        case WM_GETDLGCODE:
            // Arrows drive an open panel; Enter presses this button, not the default one.
            if (lp) {
                const MSG* m = reinterpret_cast<const MSG*>(lp);
                if (m->message == WM_KEYDOWN &&
                    (m->wParam == VK_RETURN ||
                     (m->wParam == VK_ESCAPE && panel_ && panel_->visible())))
                    return DLGC_WANTMESSAGE | DLGC_WANTARROWS;
            }
            return DLGC_WANTARROWS;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            SetFocus(hwnd());
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            const RECT arrow = arrow_rect();
            if (PtInRect(&arrow, p)) {
                open_panel();
                return 0;
            }
            pressed_ = true;
            SetCapture(hwnd());
            InvalidateRect(hwnd(), nullptr, FALSE);
            return 0;
        }
        case WM_LBUTTONUP:
            if (pressed_) {
                pressed_ = false;
                ReleaseCapture();
                InvalidateRect(hwnd(), nullptr, FALSE);
                RECT r{};
                GetClientRect(hwnd(), &r);
                const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
                if (PtInRect(&r, p) && on_click) on_click();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (pressed_) {
                pressed_ = false;
                InvalidateRect(hwnd(), nullptr, FALSE);
            }
            return 0;
        case WM_SYSKEYDOWN:
            if (wp == VK_DOWN) {
                open_panel();
                return 0;
            }
            break;
        case WM_KEYDOWN:
            if (panel_ && panel_->visible()) {
                panel_->key(wp);
                InvalidateRect(hwnd(), nullptr, FALSE);
                return 0;
            }
            if (wp == VK_F4) {
                open_panel();
                return 0;
            }
            if (wp == VK_RETURN || wp == VK_SPACE) {
                if (on_click) on_click();
                return 0;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (msg == WM_KILLFOCUS) close_panel();
            InvalidateRect(hwnd(), nullptr, FALSE);
            return 0;
    }
    return Window::on_message(msg, wp, lp);
}

}  // namespace annotate
