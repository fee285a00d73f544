#include "about/about_box.h"

#include <algorithm>
#include <array>

namespace about {

namespace {

constexpr wchar_t kClass[] = L"SnipquillAbout";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;
constexpr UINT_PTR kStarTimer = 1;
constexpr UINT_PTR kLabel1Timer = 2;
constexpr UINT_PTR kLabel2Timer = 3;
constexpr int kStarCount = 70;

// Panel1 and Panel2: top and height fixed, width and left follow the labels.
constexpr int kPanel1Top = 28, kPanel1Height = 61, kLabel1Left = 4;
constexpr int kPanel2Top = 104, kPanel2Height = 52, kLabel2Left = 8;

HFONT make_font(int pixels, int weight) {
    return CreateFontW(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
}

std::wstring module_path() {
    std::array<wchar_t, MAX_PATH> buf{};
    GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    return buf.data();
}

}  // namespace

TAbout::TAbout(HWND owner) {
    register_class({.name = kClass,
                    .style = CS_DBLCLKS,
                    .background = nullptr,
                    .cursor = LoadCursorW(nullptr, IDC_ARROW)});
    RECT r{0, 0, kAboutClientWidth, kAboutClientHeight};
    AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
    create(kExStyle, kClass, L"About", kStyle, 0, 0, r.right - r.left, r.bottom - r.top, owner);
    font1_.reset(make_font(16, FW_BOLD));
    font2_.reset(make_font(11, FW_NORMAL));
    ok_ = CreateWindowExW(0, L"BUTTON", L"OK",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 97, 174, 75, 25,
                          hwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kOkButton)),
                          GetModuleHandleW(nullptr), nullptr);
    if (ok_)
        SendMessageW(ok_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
    block1_.panel = RECT{0, kPanel1Top, 0, kPanel1Top + kPanel1Height};
    block1_.home_left = kLabel1Left;
    block2_.panel = RECT{0, kPanel2Top, 0, kPanel2Top + kPanel2Height};
    block2_.home_left = kLabel2Left;
    FormCreate();
}

TAbout::~TAbout() {
    if (hwnd()) {
        KillTimer(hwnd(), kStarTimer);
        KillTimer(hwnd(), kLabel1Timer);
        KillTimer(hwnd(), kLabel2Timer);
    }
}

void TAbout::FormCreate() { FormCreate(module_path()); }

void TAbout::FormCreate(const std::wstring& exe_path) {
    EPInfoExe1_ = TEPInfoExe{};
    EPInfoExe1_.SetLangId(L"0409");
    EPInfoExe1_.SetExeName(exe_path);
    EPInfoExe1_.Execute();
    texts_ = about_texts(EPInfoExe1_.FileVersion(), EPInfoExe1_.ProductName(),
                         EPInfoExe1_.CompanyName(), EPInfoExe1_.LegalCopyright());
}

INT_PTR TAbout::ShowModal() {
    HWND owner = GetWindow(hwnd(), GW_OWNER);
    const bool disable_owner = owner && IsWindowEnabled(owner);
    if (disable_owner) EnableWindow(owner, FALSE);
    modal_result_ = 0;
    Show();
    MSG msg{};
    bool quit = false;
    while (modal_result_ == 0 && hwnd()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            quit = got == 0;
            modal_result_ = IDCANCEL;
            break;
        }
        if (!IsDialogMessageW(hwnd(), &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    // The owner is enabled before the box hides, so the activation goes back to it.
    if (disable_owner) EnableWindow(owner, TRUE);
    Close();
    if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
    return modal_result_;
}

void TAbout::Show() {
    // Centred on the screen's work area.
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int w = width(), h = height();
    SetWindowPos(hwnd(), nullptr, work.left + (work.right - work.left - w) / 2,
                 work.top + (work.bottom - work.top - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    showing_ = true;
    FormActivate();
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    if (ok_) SetFocus(ok_);
}

void TAbout::Close() {
    if (!showing_) return;
    FormClose();
    showing_ = false;
    ShowWindow(hwnd(), SW_HIDE);
}

void TAbout::FormActivate() {
    starfield_ = std::make_unique<Starfield>(kAboutClientWidth, kAboutClientHeight, kStarCount,
                                             GetTickCount() | 1u);
    buffer_ = std::make_unique<ui::Bitmap>(kAboutClientWidth, kAboutClientHeight, RGB(0, 0, 0));
    star_timer_ = SetTimer(hwnd(), kStarTimer, kStarfieldFrameMs, nullptr) != 0;

    KillTimer(hwnd(), kLabel2Timer);
    block2_.animation.stop();
    block2_.visible = false;
    block2_.text.clear();

    block1_.text = first_label_text(texts_);
    measure(block1_, font1_.get());
    const PanelPlace p = first_panel_place(block1_.text_width, kAboutClientWidth);
    block1_.panel.left = p.left;
    block1_.panel.right = p.left + p.width;
    start_block(block1_, kLabel1Timer);
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void TAbout::JvBehaviorLabel1Stop() {
    block2_.text = second_label_text(texts_);
    block2_.visible = false;
    measure(block2_, font2_.get());
    const PanelPlace p = second_panel_place(block2_.text_width, kAboutClientWidth);
    block2_.panel.left = p.left;
    block2_.panel.right = p.left + p.width;
    start_block(block2_, kLabel2Timer);
}

void TAbout::FormClose() {
    // Let the pending messages run first: a paint or a click already queued still sees the box.
    MSG msg{};
    while (PeekMessageW(&msg, hwnd(), 0, 0, PM_REMOVE | PM_NOYIELD)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    KillTimer(hwnd(), kStarTimer);
    star_timer_ = false;
    // Every showing plays the whole sequence again, so no animation may outlive this one.
    KillTimer(hwnd(), kLabel1Timer);
    KillTimer(hwnd(), kLabel2Timer);
    block1_.animation.stop();
    block2_.animation.stop();
    block1_.visible = false;
    block2_.visible = false;
    starfield_.reset();
    buffer_.reset();
}

void TAbout::measure(AboutBlock& b, HFONT font) const {
    ui::WindowDC dc(hwnd());
    ui::Selection sel(dc.get(), font);
    RECT r{0, 0, 0, 0};
    DrawTextW(dc.get(), b.text.c_str(), static_cast<int>(b.text.size()), &r,
              DT_CALCRECT | DT_CENTER | DT_NOPREFIX);
    b.text_width = r.right - r.left;
    b.text_height = r.bottom - r.top;
}

void TAbout::start_block(AboutBlock& b, UINT_PTR timer) {
    b.animation.start(b.home_left, b.text_width, b.panel.right - b.panel.left);
    SetTimer(hwnd(), timer, static_cast<UINT>(b.animation.next_delay_ms()), nullptr);
}

void TAbout::tick_block(AboutBlock& b, UINT_PTR timer) {
    if (!b.animation.running()) {
        KillTimer(hwnd(), timer);
        return;
    }
    const bool ended = b.animation.tick();
    b.visible = b.animation.frame().visible;
    RECT dirty = b.panel;
    InvalidateRect(hwnd(), &dirty, FALSE);
    if (ended) {
        KillTimer(hwnd(), timer);
        if (&b == &block1_) JvBehaviorLabel1Stop();
    } else {
        SetTimer(hwnd(), timer, static_cast<UINT>(b.animation.next_delay_ms()), nullptr);
    }
}

void TAbout::draw_block(const AboutBlock& b, HFONT font, COLORREF colour) {
    HDC dc = buffer_->dc();
    ui::UniqueGdi<HBRUSH> black(CreateSolidBrush(RGB(0, 0, 0)));
    FillRect(dc, &b.panel, black.get());
    if (!b.visible) return;
    const LabelFrame& f = b.animation.frame();
    // The label shows the part of its text that its current width uncovers, inside the panel.
    RECT clip{b.panel.left + f.left, b.panel.top, b.panel.left + f.left + f.width,
              b.panel.top + b.text_height};
    IntersectRect(&clip, &clip, &b.panel);
    if (IsRectEmpty(&clip)) return;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
    ui::Selection sel(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, colour);
    RECT text{b.panel.left + f.left, b.panel.top, b.panel.left + f.left + b.text_width,
              b.panel.top + b.text_height};
    DrawTextW(dc, b.text.c_str(), static_cast<int>(b.text.size()), &text, DT_CENTER | DT_NOPREFIX);
    RestoreDC(dc, saved);
}

void TAbout::paint(HDC dc) {
    if (!buffer_) {
        RECT r{0, 0, kAboutClientWidth, kAboutClientHeight};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return;
    }
    // Everything goes to the buffer first, so the screen gets one block copy and no flicker.
    std::uint32_t* px = buffer_->bits();
    std::fill(px,
              px + static_cast<std::size_t>(buffer_->width()) *
                       static_cast<std::size_t>(buffer_->height()),
              0u);
    if (starfield_) {
        for (const Star& s : starfield_->stars()) {
            const std::uint32_t g = s.brightness;
            px[static_cast<std::size_t>(s.y) * static_cast<std::size_t>(buffer_->width()) +
               static_cast<std::size_t>(s.x)] = (g << 16) | (g << 8) | g;
        }
    }
    GdiFlush();
    draw_block(block1_, font1_.get(), RGB(255, 0, 0));
    draw_block(block2_, font2_.get(), RGB(0, 255, 255));
    GdiFlush();
    BitBlt(dc, 0, 0, buffer_->width(), buffer_->height(), buffer_->dc(), 0, 0, SRCCOPY);
}

LRESULT TAbout::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            paint(dc);
            EndPaint(hwnd(), &ps);
            return 0;
        }
        case WM_TIMER:
            switch (wp) {
                case kStarTimer:
                    if (starfield_) starfield_->advance();
                    InvalidateRect(hwnd(), nullptr, FALSE);
                    return 0;
                case kLabel1Timer:
                    tick_block(block1_, kLabel1Timer);
                    return 0;
                case kLabel2Timer:
                    tick_block(block2_, kLabel2Timer);
                    return 0;
            }
            break;
        case WM_CTLCOLORBTN:
            return reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
        case WM_COMMAND:
            if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
                modal_result_ = LOWORD(wp);
                return 0;
            }
            break;
        case WM_CLOSE:
            modal_result_ = IDCANCEL;
            return 0;
    }
    return Window::on_message(msg, wp, lp);
}

}  // namespace about
