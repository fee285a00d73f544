#include "annotate/annotate_palette.h"

#include <algorithm>

#include "annotate/palette_logic.h"
#include "app/note_window.h"
#include "ui/message_loop.h"

namespace annotate {

namespace {

constexpr wchar_t kClass[] = L"SnipquillAnnotate";
constexpr ui::Color kRed = ui::rgb(255, 0, 0);
constexpr int kClientWidth = 299;
constexpr int kClientHeight = 300;
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_TOPMOST | WS_EX_CONTROLPARENT;

// Positions are given inside their group, as left, top, width, height.
constexpr POINT kTextGroup{8, 8};
constexpr POINT kBoxGroup{8, 128};
constexpr POINT kArrowGroup{8, 186};

RECT at(POINT group, int left, int top, int width, int height) {
    return RECT{group.x + left, group.y + top, group.x + left + width, group.y + top + height};
}

RECT at(int left, int top, int width, int height) {
    return RECT{left, top, left + width, top + height};
}

namespace CanvasText = annotate::CanvasText;

}  // namespace

TAnnotate::TAnnotate(app::TForm1& note) : note_(note) {}

TAnnotate::~TAnnotate() {
    note_.set_annotate_palette(nullptr);
    ui::remove_dialog_window(registered_);
}

void TAnnotate::create() {
    register_class({kClass, CS_DBLCLKS, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)});
    RECT r{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&r, kStyle, FALSE, kExStyle);
    Window::create(kExStyle, kClass, L"Annotate", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                   r.right - r.left, r.bottom - r.top, note_.hwnd());
    // "MS Sans Serif" stands for the system's substitute where the face is missing.
    font_.reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
    create_controls();
    registered_ = hwnd();
    ui::add_dialog_window(registered_);
    attach();
    FormCreate();
}

void TAnnotate::create_at_first_show() { attach(); }

void TAnnotate::attach() {
    // Once: replacing the routine while the note runs it (at a first showing) would free it.
    if (attached_) return;
    attached_ = true;
    note_.set_annotate_palette([this] { show(); });
}

HWND TAnnotate::add(const wchar_t* cls, const wchar_t* caption, DWORD style, RECT r, int id) {
    HWND h = CreateWindowExW(0, cls, caption, WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                             r.right - r.left, r.bottom - r.top, hwnd(),
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleW(nullptr), nullptr);
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    return h;
}

void TAnnotate::create_controls() {
    // Frames and labels first; the controls that take the focus follow in tab order, which is
    // the order of creation.
    add(L"BUTTON", L"Text", BS_GROUPBOX, at(kTextGroup, 0, 0, 281, 113));
    add(L"BUTTON", L"Box", BS_GROUPBOX, at(kBoxGroup, 0, 0, 281, 57));
    add(L"BUTTON", L"Arrow", BS_GROUPBOX, at(kArrowGroup, 0, 0, 281, 57));
    add(L"STATIC", L"Text:", SS_LEFT, at(kTextGroup, 12, 20, 26, 13));
    add(L"STATIC", L"Color:", SS_LEFT, at(kTextGroup, 10, 48, 30, 13));
    add(L"STATIC", L"Size:", SS_LEFT, at(kTextGroup, 102, 48, 24, 13));
    add(L"STATIC", L"Font:", SS_LEFT, at(kTextGroup, 103, 83, 28, 13));
    add(L"STATIC", L"Color:", SS_LEFT, at(kBoxGroup, 8, 24, 30, 13));
    add(L"STATIC", L"Line Width:", SS_LEFT, at(kBoxGroup, 100, 16, 32, 26));
    add(L"STATIC", L"Color:", SS_LEFT, at(kArrowGroup, 8, 24, 30, 13));
    add(L"STATIC", L"Line Width:", SS_LEFT, at(kArrowGroup, 100, 16, 32, 26));

    const DWORD push = WS_TABSTOP | BS_DEFPUSHBUTTON;
    add(L"BUTTON", L"Add Text", push, at(kTextGroup, 196, 44, 73, 25), kAddText);
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0, 0, hwnd(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextEdit)),
                            GetModuleHandleW(nullptr), nullptr);
    const RECT e = at(kTextGroup, 40, 14, 221, 23);
    MoveWindow(edit_, e.left, e.top, e.right - e.left, e.bottom - e.top, FALSE);
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    size_.create(hwnd(), kSizeBox, at(kTextGroup, 128, 44, 49, 23), {8, 36}, 12);
    add(L"BUTTON", L"Shadow", WS_TABSTOP | BS_AUTOCHECKBOX, at(kTextGroup, 12, 88, 65, 20),
        kShadow);
    add(L"BUTTON", L"Bold", WS_TABSTOP | BS_AUTOCHECKBOX, at(kTextGroup, 12, 67, 49, 20), kBold);
    text_color_.create(hwnd(), kTextColor, at(kTextGroup, 50, 44, 35, 22), kRed, {});
    fonts_.create(hwnd(), kFontList, at(kTextGroup, 135, 79, 121, 23));

    const ColorButton::Options full{true, true, true};
    box_width_.create(hwnd(), kBoxWidth, at(kBoxGroup, 133, 20, 49, 23), {1, 8}, 2);
    add(L"BUTTON", L"Add Box", push, at(kBoxGroup, 196, 16, 73, 25), kAddBox);
    box_color_.create(hwnd(), kBoxColor, at(kBoxGroup, 50, 20, 35, 22), kRed, full);

    add(L"BUTTON", L"Delete Selected", WS_TABSTOP, at(34, 260, 89, 25), kDeleteSelected);
    add(L"BUTTON", L"&Close", WS_TABSTOP, at(176, 260, 75, 25), kClose);

    arrow_width_.create(hwnd(), kArrowWidth, at(kArrowGroup, 133, 20, 49, 23), {1, 8}, 2);
    add(L"BUTTON", L"Add Arrow", push, at(kArrowGroup, 196, 18, 73, 25), kAddArrow);
    arrow_color_.create(hwnd(), kArrowColor, at(kArrowGroup, 50, 20, 35, 22), kRed, full);

    for (SpinBox* s : {&size_, &box_width_, &arrow_width_})
        SendMessageW(s->hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    SendMessageW(fonts_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    CheckDlgButton(hwnd(), kShadow, BST_CHECKED);
    CheckDlgButton(hwnd(), kBold, BST_CHECKED);

    text_color_.on_click = [this] { JvOfficeColorButton1Click(); };
    text_color_.on_change = [this] { JvOfficeColorButton1ColorChange(); };
    box_color_.on_click = [this] { JvOfficeColorButton2Click(); };
    box_color_.on_change = [this] { JvOfficeColorButton2ColorChange(); };
    arrow_color_.on_click = [this] { JvOfficeColorButton3Click(); };
    arrow_color_.on_change = [this] { JvOfficeColorButton3ColorChange(); };
    size_.on_change = [this] { TeEffectSpinEdit1Change(); };
    box_width_.on_change = [this] { TeEffectSpinEdit2Change(); };
    arrow_width_.on_change = [this] { TeEffectSpinEdit3Change(); };
}

void TAnnotate::show() {
    if (!hwnd()) create();
    // Enumerating the fonts waits for the first showing, so start-up does not pay for it.
    fonts_.fill();
    if (!placed_) {
        // Beside the note, so it hides none of the picture the user is about to annotate.
        placed_ = true;
        RECT note{}, work{};
        GetWindowRect(note_.hwnd(), &note);
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        int x = note.right + 8;
        if (x + width() > work.right) x = std::max<int>(work.left, note.left - 8 - width());
        const int y =
            std::clamp<int>(note.top, work.top, std::max<int>(work.top, work.bottom - height()));
        SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
}

bool TAnnotate::IsDialogMessage(MSG& msg) {
    return hwnd() && IsWindowVisible(hwnd()) && ::IsDialogMessageW(hwnd(), &msg);
}

bool TAnnotate::BoldCheckBox() const { return IsDlgButtonChecked(hwnd(), kBold) == BST_CHECKED; }

bool TAnnotate::ShadowCheckBox() const {
    return IsDlgButtonChecked(hwnd(), kShadow) == BST_CHECKED;
}

std::wstring TAnnotate::text() const {
    const int n = GetWindowTextLengthW(edit_);
    std::wstring s(static_cast<std::size_t>(n) + 1, L'\0');
    s.resize(static_cast<std::size_t>(GetWindowTextW(edit_, s.data(), n + 1)));
    return s;
}

ui::FontStyles TAnnotate::text_style() const {
    return BoldCheckBox() ? ui::FontStyles{ui::kFontBold} : ui::FontStyles{0};
}

void TAnnotate::FormCreate() {
    CanvasText::TMyCanvasText& t = note_.MyCanvasText1();
    t.Font().set_size(size_.value());
    t.Font().color = text_color_.color();
    t.SetShadow(ShadowCheckBox());
}

void TAnnotate::FormActivate() {
    SetFocus(edit_);
    SendMessageW(edit_, EM_SETSEL, 0, -1);
}

void TAnnotate::FormClose() {
    note_.MyCanvasText1().SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    ShowWindow(hwnd(), SW_HIDE);
}

void TAnnotate::TeEffectButton1Click() {
    CanvasText::TMyCanvasText& t = note_.MyCanvasText1();
    t.SetText(text());
    t.SetFont(
        palette::text_font(fonts_.font(), text_color_.color(), size_.value(), BoldCheckBox()));
    t.SetShadow(ShadowCheckBox());
    t.SetShapeTool(CanvasText::TDrawTool::SpText);
    t.MouseDown(ui::MouseButton::Left, 0, 10, 10);
    t.MouseUp(ui::MouseButton::Left, 0, 10, 10);
    t.SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    note_.draw_objects();
}

void TAnnotate::JvOfficeColorButton1ColorChange() {
    CanvasText::TMyCanvasText& t = note_.MyCanvasText1();
    t.Font().color = text_color_.color();
    const int selected = t.GetSelectedShape();
    if (selected == -1) return;
    t.SetShapeColor(selected, text_color_.color());
    t.SetShapeSize(selected, size_.value());
    note_.draw_objects();
}

void TAnnotate::TeEffectSpinEdit1Change() {
    CanvasText::TMyCanvasText& t = note_.MyCanvasText1();
    t.Font().set_size(size_.value());
    t.Font().style = text_style();
    const int selected = t.GetSelectedShape();
    if (selected == -1) return;
    t.SetShapeSize(selected, size_.value());
    t.SetSelectedShapeText(t.GetSelectedShapeText());
    note_.draw_objects();
}

void TAnnotate::BoldCheckBoxClick() {
    CanvasText::TMyCanvasText& t = note_.MyCanvasText1();
    t.Font().set_size(size_.value());
    t.Font().color = text_color_.color();
    t.Font().style = text_style();
    const int selected = t.GetSelectedShape();
    if (selected == -1) return;
    t.SetShapeStyle(selected, text_style());
    note_.draw_objects();
}

void TAnnotate::ShadowCheckBoxClick() {
    note_.MyCanvasText1().SetShadow(ShadowCheckBox());
    note_.draw_objects();
}

void TAnnotate::TeEffectButton2Click() {
    note_.MyCanvasText1().SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    note_.stay_on_top();
}

void TAnnotate::TeEffectButton4Click() {
    note_.TeEffectButton4Click(box_color_.color(), box_width_.value());
}

void TAnnotate::JvOfficeColorButton2ColorChange() {
    note_.JvOfficeColorButton2ColorChange(box_color_.color());
}

void TAnnotate::TeEffectSpinEdit2Change() { note_.TeEffectSpinEdit2Change(box_width_.value()); }

void TAnnotate::TeEffectButton5Click() {
    note_.TeEffectButton5Click(arrow_color_.color(), arrow_width_.value());
}

void TAnnotate::JvOfficeColorButton3ColorChange() {
    note_.JvOfficeColorButton3ColorChange(arrow_color_.color());
}

void TAnnotate::TeEffectSpinEdit3Change() { note_.TeEffectSpinEdit3Change(arrow_width_.value()); }

void TAnnotate::TeEffectButton3Click() { note_.TeEffectButton3Click(); }

void TAnnotate::command(int id, int code) {
    if (id == kFontList) {
        if (code == CBN_DROPDOWN) fonts_.fill();
        return;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kAddText:
            TeEffectButton1Click();
            break;
        case kShadow:
            ShadowCheckBoxClick();
            break;
        case kBold:
            BoldCheckBoxClick();
            break;
        case kAddBox:
            TeEffectButton4Click();
            break;
        case kAddArrow:
            TeEffectButton5Click();
            break;
        case kDeleteSelected:
            TeEffectButton3Click();
            break;
        case kClose:
            // A close button: the window closes first, then the button's own handler runs.
            SendMessageW(hwnd(), WM_CLOSE, 0, 0);
            TeEffectButton2Click();
            break;
    }
}

LRESULT TAnnotate::on_message(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
            command(LOWORD(wp), HIWORD(wp));
            return 0;
        case DM_GETDEFID: {
            // Enter on a focused push button presses that one; elsewhere Add Text, the first
            // default button of the window.
            int id = kAddText;
            if (HWND f = GetFocus(); f && GetParent(f) == hwnd()) {
                const int focused = GetDlgCtrlID(f);
                if (focused == kAddBox || focused == kAddArrow || focused == kDeleteSelected ||
                    focused == kClose)
                    id = focused;
            }
            return MAKELRESULT(id, DC_HASDEFID);
        }
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE) {
                FormActivate();
                return 0;
            }
            break;
        case WM_CLOSE:
            FormClose();
            return 0;
        case WM_MEASUREITEM:
            if (wp == kFontList) {
                fonts_.measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
                return TRUE;
            }
            break;
        case WM_DRAWITEM:
            if (wp == kFontList) {
                fonts_.draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
                return TRUE;
            }
            break;
    }
    return Window::on_message(msg, wp, lp);
}

}  // namespace annotate
