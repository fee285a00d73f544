#include "app/note_window.h"

#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "app/command_line.h"
#include "app/help.h"
#include "app/note_frame.h"
#include "app/startup.h"
#include "app/sys_menu.h"
#include "app/tray.h"
#include "output/clipboard.h"
#include "output/email_form.h"
#include "output/save.h"
#include "output/save_format.h"
#include "ui/error.h"
#include "ui/system_api.h"
#include "ui/error_report.h"

namespace app {

using snipquill::Command;

namespace {

constexpr wchar_t kClass[] = L"SnipquillNote";
constexpr wchar_t kTitle[] = L"Snipquill";
constexpr UINT_PTR kSendToTryTimer = 1;
constexpr UINT kSendToTryInterval = 300;

TForm1::Services default_services() {
    TForm1::Services s;
    s.show_help = &show_html_help;
    s.program_path = program_file_path();
    return s;
}

}  // namespace

TForm1::TForm1() : TForm1(default_services()) {}

TForm1::TForm1(Services services) : services_(std::move(services)) {
    // Text sizes in points follow the screen's resolution, as printing does.
    ui::FontSpec::set_pixels_per_inch(output::screen_pixels_per_inch());
    HINSTANCE inst = GetModuleHandleW(nullptr);
    register_class({.name = kClass,
                    .style = CS_DBLCLKS,
                    .background = GetSysColorBrush(COLOR_BTNFACE),
                    .icon = LoadIconW(inst, MAKEINTRESOURCEW(1)),
                    .small_icon = static_cast<HICON>(
                        LoadImageW(inst, MAKEINTRESOURCEW(1), IMAGE_ICON, 16, 16, LR_SHARED))});
    // Created overlapped so the system picks its default place; then our own frame replaces the
    // system caption.
    create(WS_EX_TOPMOST | WS_EX_APPWINDOW, kClass, kTitle,
           WS_OVERLAPPED | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, CW_USEDEFAULT,
           CW_USEDEFAULT, 200, 200, nullptr);
    SetWindowLongW(hwnd(), GWL_STYLE, WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN);
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    build_menu();
    create_chrome();
}

TForm1::~TForm1() {
    if (hwnd()) FormDestroy();
}

void TForm1::FormCreate(std::wstring_view first_argument) {
    perforation_ = std::make_unique<Perforation>(hwnd());
    set_width(200);
    set_height(200);
    state_.frozen_width = width();
    state_.frozen_height = height();
    image_ = std::make_unique<ui::Picture>(hwnd(), 0, 0, client_width(), client_height());
    create_annotation();
    create_magnifier();
    perforation_->SetTransparent(true);
    perforation_->set_left(0);
    perforation_->set_top(0);
    perforation_->set_width(client_width());
    perforation_->set_height(client_height());
    state_.captured = false;
    // A bad /P is reported, but the note is still finished so that it works.
    ui::guarded(hwnd(), [&] { apply_start_switches(first_argument); });
    state_.layout_ready = true;
    // Take the live layout for the size the note has now; otherwise the hole sits off the
    // client area until the first resize and a capture would carry a strip of the blank picture.
    live_layout();
}

void TForm1::apply_start_switches(std::wstring_view first_argument) {
    const snipquill::StartSwitches sw = snipquill::parse_start_switches(first_argument);
    if (sw.minimize) {
        state_.minimize_pending = true;
        SetTimer(hwnd(), kSendToTryTimer, kSendToTryInterval, nullptr);
        timer_enabled_ = true;
    }
    if (sw.place) {
        if (sw.left) set_left(*sw.left);
        if (sw.top) set_top(*sw.top);
        if (sw.width) set_width(*sw.width);
        if (sw.height) set_height(*sw.height);
    }
    if (!sw.error.empty()) throw ui::AppError(sw.error);
}

void TForm1::SendToTryTimerTimer() {
    KillTimer(hwnd(), kSendToTryTimer);
    timer_enabled_ = false;
    // Already there (the tray button beat the timer): going again would bring the note back.
    if (!in_tray()) MinToTray();
}

void TForm1::live_layout() {
    const int cw = client_width(), ch = client_height();
    image_->set_bounds(snipquill::kLiveLeft, snipquill::kLiveTop, cw, ch);
    perforation_->set_left(snipquill::kLiveLeft);
    perforation_->set_top(snipquill::kLiveTop);
    perforation_->set_height(ch);
    perforation_->set_width(cw);
}

void TForm1::FormResize() {
    if (!state_.layout_ready) return;
    if (state_.captured) {
        // A frozen note keeps the size it had at capture.
        if (width() != state_.frozen_width) set_width(state_.frozen_width);
        if (height() != state_.frozen_height) set_height(state_.frozen_height);
        return;
    }
    live_layout();
}

void TForm1::FormDestroy() {
    KillTimer(hwnd(), kSendToTryTimer);
    background_.reset();
    Magnify1_.reset();
    perforation_.reset();
    release_annotation();
    destroy_chrome();
}

void TForm1::BUFormButton1Click() {
    turn_magnifyer_on(false);
    state_.frozen_width = width();
    state_.frozen_height = height();
    POINT origin{0, 0};
    ClientToScreen(hwnd(), &origin);
    const int cw = client_width(), ch = client_height();
    image_->set_bounds(0, 0, cw, ch);

    {
        ui::WindowDC screen(nullptr);
        if (!screen) throw ui::AppError(L"Cannot get device context of the window");
        // Into a spare bitmap, so a failed copy leaves the picture as it was and the note live:
        // a blank or stale picture must never pass for the screen. The two trade places, so a
        // capture at an unchanged size allocates nothing.
        ui::Bitmap& shot = spare_picture_;
        shot.reallocate(cw, ch);  // every pixel is copied over
        if (!shot.empty()) {
            SetLastError(ERROR_SUCCESS);
            const BOOL copied =
                services_.copy_screen
                    ? services_.copy_screen(shot.dc(), cw, ch, screen.get(), origin)
                    : BitBlt(shot.dc(), 0, 0, cw, ch, screen.get(), origin.x, origin.y, SRCCOPY);
            if (!copied) {
                const DWORD code = GetLastError();
                std::wstring text = L"Cannot copy the screen";
                if (code != ERROR_SUCCESS) text += L": " + ui::system_message(code);
                throw ui::AppError(text);
            }
        }
        std::swap(image_->bitmap(), shot);
    }

    perforation_->SetTransparent(false);
    perforation_->set_height(1);
    perforation_->set_width(1);
    state_.captured = true;
    bind_annotation();
    if (!background_) background_ = std::make_unique<ui::Bitmap>();
    background_->assign(image_->bitmap());
    image_->refresh();
}

void TForm1::BUFormButton2Click() {
    perforation_->set_left(snipquill::kLiveLeft);
    perforation_->set_top(snipquill::kLiveTop);
    perforation_->set_width(client_width());
    perforation_->set_height(client_height());
    perforation_->SetTransparent(true);
    state_.captured = false;
    store_.clear();
}

void TForm1::stay_on_top() {
    const RECT r = bounds();
    SetWindowPos(hwnd(), HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

void TForm1::redraw_background() {
    if (!background_) return;
    ui::Bitmap& picture = image_->bitmap();
    BitBlt(picture.dc(), 0, 0, background_->width(), background_->height(), background_->dc(), 0, 0,
           SRCCOPY);
    image_->refresh();
}

void TForm1::turn_magnifyer_on(bool on) {
    magnifier_checked_ = on;
    CheckMenuItem(menu_.get(), static_cast<UINT>(Command::Magnifier),
                  MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    if (sys_menu_) sys_menu_->update_check(static_cast<UINT>(Command::Magnifier));
    if (!Magnify1_) return;
    magnify::TMagnify& m = *Magnify1_;
    if (on) {
        m.set_Enabled(true);
        m.SetBitMap(image_->bitmap());
        const RECT r = image_->bounds();
        m.set_left(r.left);
        m.set_top(r.top);
        m.set_width(r.right - r.left);
        m.set_height(r.bottom - r.top);
        // Over the picture, whatever order the children were made in.
        SetWindowPos(m.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
        m.set_left(0);
        m.set_top(0);
        m.set_width(1);
        m.set_height(1);
        m.set_Enabled(false);
    }
}

void TForm1::create_magnifier() {
    Magnify1_ = std::make_unique<magnify::TMagnify>(hwnd());
    magnify::TMagnify& m = *Magnify1_;
    m.set_bounds(8, 80, 57, 41);
    m.set_Autosize(true);
    m.set_Enabled(false);
    m.set_PaletteDevice(false);
    m.set_MagSquare(30);
    m.set_MagZoom(3);
    m.set_ShowBorder(false);
    m.set_BorderColor(RGB(255, 255, 255));
    m.set_AutoStretch(false);
}

void TForm1::Save1Click() {
    if (!state_.captured) BUFormButton1Click();
    if (std::optional<std::wstring> name =
            output::ask_save_file_name(hwnd(), state_.last_filter_index, state_.last_save_ext))
        save_file(*name);
}

void TForm1::save_file(const std::wstring& filename) {
    if (!output::save_picture(image_->bitmap(), filename, state_.last_save_ext))
        MessageBoxW(hwnd(), snipquill::unsupported_extension_message(filename).c_str(), kTitle,
                    MB_OK | MB_ICONWARNING);
}

void TForm1::Clipboard1Click() {
    if (!state_.captured) BUFormButton1Click();
    if (clipboard_.copy(hwnd(), image_->bitmap()) == output::ClipboardOutcome::Busy)
        MessageBoxW(hwnd(), output::kClipboardBusyMessage, kTitle, MB_OK | MB_ICONWARNING);
}

void TForm1::Portrait1Click() {
    printer_.set_orientation(output::Orientation::Portrait);
    if (!state_.captured) BUFormButton1Click();
    Print1Click();
}

void TForm1::Landscape1Click() {
    printer_.set_orientation(output::Orientation::Landscape);
    if (!state_.captured) BUFormButton1Click();
    Print1Click();
}

void TForm1::Print1Click() {
    output::print_picture(printer_, image_->bitmap(), output::screen_pixels_per_inch());
}

void TForm1::SetPrinter1Click() { printer_.setup_dialog(hwnd()); }

void TForm1::Annotate1Click() {
    turn_magnifyer_on(false);
    if (!state_.captured) BUFormButton1Click();
    if (show_palette_) show_palette_();
}

void TForm1::Magnifyer1Click() { turn_magnifyer_on(!magnifier_checked_); }

void TForm1::Clear1Click() { BUFormButton2Click(); }

void TForm1::Help1Click() {
    const std::wstring path = state_.data_folder + L"snipquill.chm";
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        services_.show_help(hwnd(), path);
        return;
    }
    const std::wstring text = L"Can't Find Help File\r\n" + path;
    MessageBoxW(hwnd(), text.c_str(), kTitle, MB_OK);
}

void TForm1::Clone1Click() {
    // The running file itself, so a renamed program still clones.
    const std::wstring folder = folder_of(services_.program_path);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = hwnd();
    info.lpFile = services_.program_path.c_str();
    info.lpParameters = L"";
    info.lpDirectory = folder.c_str();
    info.nShow = SW_HIDE;  // the new note shows itself whatever it is started with
    ui::ensure_com();      // the shell may hand the launch to COM objects
    if (!sys::ShellExecuteExW(&info)) {
        const std::wstring text = L"Snipquill could not start another note from \"" +
                                  services_.program_path + L"\":\r\n" +
                                  ui::system_message(GetLastError());
        MessageBoxW(hwnd(), text.c_str(), kTitle, MB_OK | MB_ICONERROR);
    }
}

void TForm1::Close1Click() { PostMessageW(hwnd(), WM_CLOSE, 0, 0); }

void TForm1::About1Click() {
    if (about_box_) about_box_();
}

bool TForm1::has_command(Command c) const {
    switch (c) {
        case Command::Save:
        case Command::Clipboard:
        case Command::Portrait:
        case Command::Landscape:
        case Command::SetPrinter:
        case Command::Email:
        case Command::Annotate:
        case Command::Magnifier:
        case Command::Clear:
        case Command::Help:
        case Command::MinimizeToTray:
        case Command::Clone:
        case Command::Close:
        case Command::DeleteSelected:
        case Command::About:
            return true;
        default:
            return false;
    }
}

bool TForm1::run(Command c) {
    switch (c) {
        case Command::Save:
            Save1Click();
            return true;
        case Command::Clipboard:
            Clipboard1Click();
            return true;
        case Command::Portrait:
            Portrait1Click();
            return true;
        case Command::Landscape:
            Landscape1Click();
            return true;
        case Command::SetPrinter:
            SetPrinter1Click();
            return true;
        case Command::Email:
            Send1Click();
            return true;
        case Command::Annotate:
            Annotate1Click();
            return true;
        case Command::Magnifier:
            Magnifyer1Click();
            return true;
        case Command::Clear:
            Clear1Click();
            return true;
        case Command::Help:
            Help1Click();
            return true;
        case Command::MinimizeToTray:
            MinimizeToTray1Click();
            return true;
        case Command::Clone:
            Clone1Click();
            return true;
        case Command::Close:
            Close1Click();
            return true;
        case Command::DeleteSelected:
            TeEffectButton3Click();
            return true;
        case Command::About:
            About1Click();
            return true;
        default:
            return false;
    }
}

void TForm1::FormKeyUp(WORD key, unsigned /*shift: ignored*/) {
    if (std::optional<Command> c = snipquill::command_for_key(key)) run(*c);
}

void TForm1::build_menu() {
    menu_.reset(CreatePopupMenu());
    HMENU print = nullptr;  // owned by menu_ once appended
    bool last_was_separator = true;
    for (const snipquill::MenuEntry& e : snipquill::command_menu()) {
        if (e.command == Command::None) {
            if (!last_was_separator) AppendMenuW(menu_.get(), MF_SEPARATOR, 0, nullptr);
            last_was_separator = true;
            continue;
        }
        if (e.command == Command::Print) {
            ui::UniqueMenu submenu(CreatePopupMenu());
            if (AppendMenuW(menu_.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()),
                            e.caption)) {
                print = submenu.release();
                // Its own identifier, not one derived from the submenu's handle.
                MENUITEMINFOW id{};
                id.cbSize = sizeof(id);
                id.fMask = MIIM_ID;
                id.wID = static_cast<UINT>(Command::Print);
                SetMenuItemInfoW(menu_.get(), GetMenuItemCount(menu_.get()) - 1, TRUE, &id);
            }
            last_was_separator = false;
            continue;
        }
        if (!has_command(e.command)) continue;
        std::wstring caption = e.caption;
        if (*e.key) caption += std::wstring(L"\t") + e.key;
        HMENU into = e.in_print_submenu ? print : menu_.get();
        if (into) AppendMenuW(into, MF_STRING, static_cast<UINT_PTR>(e.command), caption.c_str());
        last_was_separator = false;
    }
}

void TForm1::popup_menu_at_sysmenu_button() {
    const snipquill::Rect b =
        snipquill::frame_button_rect(snipquill::FrameButton::SysMenu, width());
    const RECT wr = bounds();
    const UINT id = TrackPopupMenu(menu_.get(), TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                   wr.left + b.left, wr.top + b.bottom, 0, hwnd(), nullptr);
    if (id) run(static_cast<Command>(id));
}

LRESULT TForm1::nc_hit_test(LPARAM lp) const {
    const RECT wr = bounds();
    const snipquill::Point p{GET_X_LPARAM(lp) - wr.left, GET_Y_LPARAM(lp) - wr.top};
    return frame_hit_code(snipquill::frame_hit_test(wr.right - wr.left, wr.bottom - wr.top, p));
}

LRESULT TForm1::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    if (LRESULT result = 0; chrome_message(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_NCCALCSIZE: {
            RECT* r = reinterpret_cast<RECT*>(lp);  // rgrc[0] when wp is true
            r->left += snipquill::Frame::left_edge;
            r->top += snipquill::Frame::top_edge;
            r->right = std::max(r->left, r->right - snipquill::Frame::right_edge);
            r->bottom = std::max(r->top, r->bottom - snipquill::Frame::bottom);
            return 0;
        }
        case WM_NCHITTEST:
            return nc_hit_test(lp);
        case WM_NCPAINT:
            paint_note_frame(hwnd(), active_, pressed_);
            return 0;
        case WM_NCACTIVATE:
            active_ = wp != FALSE;
            paint_note_frame(hwnd(), active_, pressed_);
            return TRUE;
        case WM_NCLBUTTONDOWN:
            if (snipquill::FrameButton b = frame_button_for(static_cast<LRESULT>(wp));
                b != snipquill::FrameButton::None) {
                pressed_ = b;
                paint_note_frame(hwnd(), active_, pressed_);
                if (b == snipquill::FrameButton::SysMenu) {
                    pressed_ = snipquill::FrameButton::None;
                    paint_note_frame(hwnd(), active_, pressed_);
                    popup_menu_at_sysmenu_button();
                }
                return 0;
            }
            break;
        case WM_NCLBUTTONUP: {
            const snipquill::FrameButton was = pressed_;
            pressed_ = snipquill::FrameButton::None;
            if (was == snipquill::FrameButton::None) break;
            paint_note_frame(hwnd(), active_, pressed_);
            if (frame_button_for(static_cast<LRESULT>(wp)) == was) frame_button_clicked(was);
            return 0;
        }
        case WM_NCRBUTTONUP:
            if (wp == HTCAPTION || wp == HTSYSMENU) {
                popup_menu_at_sysmenu_button();
                return 0;
            }
            break;
        case WM_GETMINMAXINFO: {
            // The frame's buttons across, and always a client area of at least one pixel: a
            // note with none would capture, save and print nothing.
            auto* info = reinterpret_cast<MINMAXINFO*>(lp);
            info->ptMinTrackSize =
                POINT{snipquill::Frame::left_edge + snipquill::Frame::right_edge +
                          6 * (snipquill::Frame::button + 2),
                      snipquill::Frame::top_edge + snipquill::Frame::bottom + 1};
            return 0;
        }
        case WM_SIZE:
            if (wp != SIZE_MINIMIZED && perforation_) {
                perforation_->update();
                FormResize();
            }
            return 0;
        case WM_MOVE:
            if (perforation_) perforation_->update();
            return 0;
        case WM_KEYUP:
            FormKeyUp(static_cast<WORD>(wp), ui::shift_state_from(0));
            return 0;
        case WM_SYSKEYDOWN:
            if (wp == VK_F10) return 0;  // F10 is Clone, not the menu key
            break;
        case WM_SYSKEYUP: {
            // A key released with Alt held comes here (and F10 always does); the keys act as
            // without Alt. Alt+F4 stays the system's close, handled when it was pressed.
            const bool alt = (lp & (LPARAM{1} << 29)) != 0;
            if (wp == VK_F4 && alt) break;
            if (snipquill::command_for_key(static_cast<WORD>(wp))) {
                FormKeyUp(static_cast<WORD>(wp), ui::shift_state_from(0));
                return 0;
            }
            break;
        }
        case WM_TIMER:
            if (wp == kSendToTryTimer) {
                SendToTryTimerTimer();
                return 0;
            }
            break;
        case WM_COMMAND:
            if (HIWORD(wp) == 0 && lp == 0 && run(static_cast<Command>(LOWORD(wp)))) return 0;
            break;
        case WM_RENDERFORMAT:
            if (clipboard_.render(static_cast<UINT>(wp))) return 0;
            break;
        case WM_RENDERALLFORMATS:
            clipboard_.render_all(hwnd());
            return 0;
        case WM_DESTROYCLIPBOARD:
            clipboard_.release();
            return 0;
        case WM_DESTROY:
            FormDestroy();
            PostQuitMessage(0);
            return 0;
    }
    return Window::on_message(msg, wp, lp);
}

}  // namespace app
