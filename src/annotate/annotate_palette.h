// TAnnotate: the "Annotate" tool window. Its Text group drives the note's text component, its
// Box and Arrow groups and Delete Selected call the note's box and arrow operations with their
// own group's values. It has no state beyond its controls: every handler reads them and acts on
// the note at once. Created once at start-up, hidden until the note's Annotate command shows it;
// closing only hides it, so the controls keep their values.
#pragma once

#include <windows.h>

#include <string>

#include "annotate/color_button.h"
#include "annotate/font_list.h"
#include "annotate/spin_box.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace app {
class TForm1;
}

namespace annotate {

class TAnnotate : public ui::Window {
  public:
    // Control ids, in tab order.
    enum Id : int {
        kAddText = 101,
        kTextEdit,
        kSizeBox,
        kShadow,
        kBold,
        kTextColor,
        kFontList,
        kBoxWidth,
        kAddBox,
        kBoxColor,
        kDeleteSelected,
        kClose,
        kArrowWidth,
        kAddArrow,
        kArrowColor,
    };

    explicit TAnnotate(app::TForm1& note);
    ~TAnnotate() override;

    // Creates the window hidden, owned by the note, and runs FormCreate.
    void create();
    // Hands the note its Annotate routine now and makes the window at the first showing, so
    // start-up does not pay for the palette's two dozen controls.
    void create_at_first_show();
    void show();
    // The dialog keys (Tab, Enter, arrows) for the palette's controls; true when taken.
    bool IsDialogMessage(MSG& msg);

    void FormCreate();
    void FormActivate();
    void FormClose();
    void TeEffectButton1Click();  // Add Text
    void JvOfficeColorButton1ColorChange();
    void JvOfficeColorButton1Click() { JvOfficeColorButton1ColorChange(); }
    void TeEffectSpinEdit1Change();
    void BoldCheckBoxClick();
    void ShadowCheckBoxClick();
    void TeEffectButton2Click();  // after the Close button has closed the window
    void TeEffectButton4Click();  // Add Box
    void JvOfficeColorButton2ColorChange();
    void JvOfficeColorButton2Click() { JvOfficeColorButton2ColorChange(); }
    void TeEffectSpinEdit2Change();
    void TeEffectButton5Click();  // Add Arrow
    void JvOfficeColorButton3ColorChange();
    void JvOfficeColorButton3Click() { JvOfficeColorButton3ColorChange(); }
    void TeEffectSpinEdit3Change();
    void TeEffectButton3Click();  // Delete Selected

    // The controls, for the note's tests and the hand-over of values.
    HWND control(Id id) const { return GetDlgItem(hwnd(), id); }
    HWND TeEdit1() const { return edit_; }
    SpinBox& TeEffectSpinEdit1() { return size_; }
    SpinBox& TeEffectSpinEdit2() { return box_width_; }
    SpinBox& TeEffectSpinEdit3() { return arrow_width_; }
    ColorButton& ColorButton1() { return text_color_; }
    ColorButton& ColorButton2() { return box_color_; }
    ColorButton& ColorButton3() { return arrow_color_; }
    FontList& FontComboBox() { return fonts_; }
    bool BoldCheckBox() const;
    bool ShadowCheckBox() const;
    std::wstring text() const;

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void attach();
    void create_controls();
    HWND add(const wchar_t* cls, const wchar_t* caption, DWORD style, RECT r, int id = 0);
    void command(int id, int code);
    ui::FontStyles text_style() const;

    app::TForm1& note_;
    ui::UniqueGdi<HFONT> font_;
    HWND edit_ = nullptr;
    SpinBox size_, box_width_, arrow_width_;
    ColorButton text_color_, box_color_, arrow_color_;
    FontList fonts_;
    bool placed_ = false;
    HWND registered_ = nullptr;  // in the message loop's dialog list
    bool attached_ = false;      // the note calls show()
};

}  // namespace annotate
