// The real palette on a real captured note: its controls drive the note's texts, boxes and
// arrows as the user would, through the keyboard, the colour panel and the system's dialog.
#include <gtest/gtest.h>

#include "annotate/annotate_palette.h"
#include "../annotate_note/annotate_note_support.h"

using namespace annotate_note;
using annotate::TAnnotate;

namespace {

constexpr ui::Color kRed = ui::rgb(255, 0, 0);

struct Palette {
    CapturedNote n;
    TAnnotate palette{n.note()};
    Palette() {
        palette.create();
        n.note().Annotate1Click();
        wintest::pump(100);
    }
    annotate::CanvasText::TMyCanvasText& text() { return n.note().MyCanvasText1(); }
    // Keys as the program's message loop hands them over.
    void key(HWND target, WPARAM vk) {
        for (UINT m : {UINT{WM_KEYDOWN}, UINT{WM_KEYUP}}) {
            MSG msg{target, m, vk, 1, 0, {}};
            if (!palette.IsDialogMessage(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
    void type(const std::wstring& s) { SetWindowTextW(palette.TeEdit1(), s.c_str()); }
    void click(TAnnotate::Id id) { SendMessageW(palette.control(id), BM_CLICK, 0, 0); }
};

TEST(AnnotatePalette, ShownByAnnotateWithItsControlsFocusAndInitialValues) {
    Palette p;
    EXPECT_TRUE(IsWindowVisible(p.palette.hwnd()));
    EXPECT_EQ(GetWindow(p.palette.hwnd(), GW_OWNER), p.n.note().hwnd());
    wchar_t title[32] = {};
    GetWindowTextW(p.palette.hwnd(), title, 32);
    EXPECT_STREQ(title, L"Annotate");
    RECT c{};
    GetClientRect(p.palette.hwnd(), &c);
    EXPECT_EQ(c.right, 299);
    EXPECT_EQ(c.bottom, 300);
    EXPECT_TRUE(GetWindowLongW(p.palette.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongW(p.palette.hwnd(), GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX));
    EXPECT_EQ(p.palette.TeEffectSpinEdit1().value(), 12);
    EXPECT_EQ(p.palette.TeEffectSpinEdit2().value(), 2);
    EXPECT_EQ(p.palette.ColorButton1().color(), kRed);
    EXPECT_TRUE(p.palette.BoldCheckBox());
    EXPECT_TRUE(p.palette.ShadowCheckBox());
    EXPECT_EQ(GetFocus(), p.palette.TeEdit1());
    // The fonts were listed at the first showing, sorted; none is chosen.
    ASSERT_GT(p.palette.FontComboBox().count(), 0);
    EXPECT_LE(p.palette.FontComboBox().entry(0), p.palette.FontComboBox().entry(1));
    EXPECT_EQ(p.palette.FontComboBox().font(), ui::FontSpec{});
    EXPECT_TRUE(p.text().Shadow());
}

TEST(AnnotatePalette, EnterInTheTextBoxAddsTextsAtTenTenSelectedOnTopOfEachOther) {
    Palette p;
    p.type(L"Hello");
    SetFocus(p.palette.TeEdit1());
    p.key(p.palette.TeEdit1(), VK_RETURN);
    ASSERT_EQ(p.text().GetShapesCount(), 1);
    const auto* t = p.text().GetShape(0);
    EXPECT_EQ(t->Info, L"Hello");
    EXPECT_EQ(t->point(0).x, 10);
    EXPECT_EQ(t->point(0).y, 10);
    EXPECT_EQ(t->Font.color, kRed);
    EXPECT_EQ(t->Font.size(), 12);
    EXPECT_EQ(t->Font.style, ui::FontStyles{ui::kFontBold});
    EXPECT_TRUE(p.text().Shadow());
    EXPECT_EQ(p.text().GetSelectedShape(), 0);
    // Red glyph pixels reach the picture near (10, 10).
    int red = 0;
    for (int y = 10; y < 30; ++y)
        for (int x = 10; x < 60; ++x) red += p.n.picture().pixel(x, y) == RGB(255, 0, 0);
    EXPECT_GT(red, 10);

    p.click(TAnnotate::kAddText);
    ASSERT_EQ(p.text().GetShapesCount(), 2);
    EXPECT_EQ(p.text().GetShape(1)->point(0).x, 10);
    EXPECT_EQ(p.text().GetSelectedShape(), 1);
    EXPECT_EQ(p.text().ShapeTool(), annotate::CanvasText::TDrawTool::SpSelecting);

    // Shadow cleared: every text loses its shadow.
    p.click(TAnnotate::kShadow);
    EXPECT_FALSE(p.palette.ShadowCheckBox());
    EXPECT_FALSE(p.text().Shadow());
}

TEST(AnnotatePalette, SizeBoxTypedValuesAndColourResetSize) {
    Palette p;
    p.click(TAnnotate::kAddText);
    ASSERT_EQ(p.text().GetSelectedShape(), 0);
    auto& size = p.palette.TeEffectSpinEdit1();
    // A typed 20 changes no existing text: typing runs no handler.
    size.set_text(L"20");
    EXPECT_EQ(p.text().GetShape(0)->Font.size(), 12);
    // A colour change with the text selected resets its size to the box's.
    p.palette.ColorButton1().pick(ui::rgb(0, 0, 255));
    EXPECT_EQ(p.text().GetShape(0)->Font.color, ui::rgb(0, 0, 255));
    EXPECT_EQ(p.text().GetShape(0)->Font.size(), 20);
    // A typed 40 becomes 36 on leaving the box and is then applied.
    SetFocus(size.edit());
    size.set_text(L"40");
    SetFocus(p.palette.TeEdit1());
    EXPECT_EQ(size.text(), L"36");
    EXPECT_EQ(p.text().GetShape(0)->Font.size(), 36);
    // Arrow keys step within the range and apply at once.
    SetFocus(size.edit());
    p.key(size.edit(), VK_UP);
    EXPECT_EQ(size.value(), 36);
    p.key(size.edit(), VK_DOWN);
    EXPECT_EQ(size.value(), 35);
    EXPECT_EQ(p.text().GetShape(0)->Font.size(), 35);
}

TEST(AnnotatePalette, BoxesArrowsAndDeleteSelectedInOrder) {
    Palette p;
    p.palette.TeEffectSpinEdit2().set_text(L"3");
    p.click(TAnnotate::kAddBox);
    ASSERT_NE(p.n.note().store().boxes[0], nullptr);
    EXPECT_EQ(p.n.note().store().boxes[0]->Pen().width, 3);
    EXPECT_EQ(p.n.note().store().boxes[0]->Pen().color, kRed);
    p.palette.ColorButton3().pick(ui::rgb(0, 128, 0));
    p.click(TAnnotate::kAddArrow);
    ASSERT_NE(p.n.note().store().arrows[0], nullptr);
    EXPECT_EQ(p.n.note().store().arrows[0]->Pen().color, ui::rgb(0, 128, 0));
    EXPECT_EQ(p.n.note().store().arrows[0]->Pen().width, 2);

    // Select the box on its top edge; a new colour recolours it.
    p.n.click(ui::MouseButton::Left, 60, 25);
    ASSERT_TRUE(p.n.note().store().boxes[0]->isSelected());
    p.palette.ColorButton2().pick(ui::rgb(0, 0, 255));
    EXPECT_EQ(p.n.note().store().boxes[0]->Pen().color, ui::rgb(0, 0, 255));

    p.click(TAnnotate::kAddText);
    p.click(TAnnotate::kAddText);
    p.click(TAnnotate::kDeleteSelected);  // the newer text
    EXPECT_EQ(p.text().GetShapesCount(), 1);
    EXPECT_EQ(p.text().GetSelectedShape(), 0);
    p.click(TAnnotate::kDeleteSelected);  // the older one
    EXPECT_EQ(p.text().GetShapesCount(), 0);
    EXPECT_NE(p.n.note().store().boxes[0], nullptr);
    p.click(TAnnotate::kDeleteSelected);  // then the selected box
    EXPECT_EQ(p.n.note().store().boxes[0], nullptr);
    EXPECT_NE(p.n.note().store().arrows[0], nullptr);
}

TEST(AnnotatePalette, CloseHidesAndLeavesTextsSelecting) {
    Palette p;
    p.text().SetShapeTool(annotate::CanvasText::TDrawTool::SpText);
    p.click(TAnnotate::kClose);
    EXPECT_FALSE(IsWindowVisible(p.palette.hwnd()));
    EXPECT_EQ(p.text().ShapeTool(), annotate::CanvasText::TDrawTool::SpSelecting);
    // Shown again, the controls kept their values.
    p.palette.TeEffectSpinEdit1().set_text(L"30");
    p.n.note().Annotate1Click();
    EXPECT_TRUE(IsWindowVisible(p.palette.hwnd()));
    EXPECT_EQ(p.palette.TeEffectSpinEdit1().value(), 30);
}

TEST(AnnotatePalette, ColourPanelByMouseKeyboardDialogAndTearOff) {
    Palette p;
    auto& button = p.palette.ColorButton2();
    button.open_panel();
    annotate::ColorPanel* panel = button.panel();
    ASSERT_NE(panel, nullptr);
    ASSERT_TRUE(panel->visible());
    // A mouse click on the yellow cell (row 4, column 3).
    const int yellow = 3 * 8 + 2;
    const RECT cell = panel->item_rect(yellow);
    const LPARAM at = MAKELPARAM((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2);
    SendMessageW(panel->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(panel->hwnd(), WM_LBUTTONUP, 0, at);
    EXPECT_FALSE(panel->visible());
    EXPECT_EQ(button.color(), ui::rgb(255, 255, 0));

    // The keyboard: F4 opens, arrows move, Enter picks.
    SetFocus(button.hwnd());
    p.key(button.hwnd(), VK_F4);
    ASSERT_TRUE(panel->visible());
    EXPECT_EQ(panel->highlighted(), yellow);
    p.key(button.hwnd(), VK_RIGHT);
    p.key(button.hwnd(), VK_RETURN);
    EXPECT_FALSE(panel->visible());
    EXPECT_EQ(button.color(), ui::rgb(0, 255, 0));

    // "Other Colors..." asks the system's colour dialog, here answered by a script.
    struct Answer {
        static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
            HWND dlg = nullptr;
            for (HWND h = FindWindowW(L"#32770", nullptr); h;
                 h = FindWindowExW(nullptr, h, L"#32770", nullptr))
                if (GetDlgItem(h, 706)) dlg = h;
            if (!dlg) return;
            KillTimer(nullptr, id);
            SetDlgItemInt(dlg, 706, 10, FALSE);
            SetDlgItemInt(dlg, 707, 20, FALSE);
            SetDlgItemInt(dlg, 708, 30, FALSE);
            PostMessageW(dlg, WM_COMMAND, IDOK, 0);
        }
    };
    SetTimer(nullptr, 0, 100, &Answer::tick);
    button.open_panel();
    panel->pick(annotate::palette::kOtherItem);
    EXPECT_EQ(button.color(), ui::rgb(10, 20, 30));

    // Torn off by its drag bar, the panel floats as "Color Window" and its picks recolour.
    p.click(TAnnotate::kAddBox);
    p.n.click(ui::MouseButton::Left, 60, 25);
    ASSERT_TRUE(p.n.note().store().boxes[0]->isSelected());
    button.open_panel();
    const RECT bar = panel->drag_bar();
    SendMessageW(panel->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.left + 2, bar.top + 2));
    SendMessageW(panel->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bar.left + 30, bar.top + 40));
    HWND floating = FindWindowW(nullptr, annotate::kColorWindowTitle);
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(IsWindowVisible(floating));
    EXPECT_FALSE(panel->visible());
    const RECT white = button.floating()->item_rect(39);
    const LPARAM w = MAKELPARAM(white.left + 4, white.top + 4);
    SendMessageW(floating, WM_LBUTTONDOWN, MK_LBUTTON, w);
    SendMessageW(floating, WM_LBUTTONUP, 0, w);
    EXPECT_EQ(button.color(), ui::rgb(255, 255, 255));
    EXPECT_EQ(p.n.note().store().boxes[0]->Pen().color, ui::rgb(255, 255, 255));
    EXPECT_TRUE(IsWindowVisible(floating));  // a floating panel stays
}

}  // namespace
