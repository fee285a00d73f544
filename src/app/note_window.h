// The note window: a stay-on-top frame that is see-through while live and shows its captured
// picture once frozen. It receives every command (menu, keys, caption buttons).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/note_layout.h"
#include "app/perforation.h"
#include "output/clipboard.h"
#include "output/printer.h"
#include "annotate/cad_calc.h"
#include "annotate/canvas_text.h"
#include "annotate/picture_image.h"
#include "annotate/polyline.h"
#include "annotate/store.h"
#include "magnify/magnify.h"
#include "ui/bitmap.h"
#include "ui/handles.h"
#include "ui/picture.h"
#include "ui/window.h"

namespace output {
class TForm3;
}

namespace app {

class TSysPopupMenu;
class TrayIcon;
enum class TrayChoice;

class TForm1 : public ui::Window {
  public:
    // What the note asks of the system that tests replace.
    struct Services {
        std::function<void(HWND owner, const std::wstring& chm_path)> show_help;
        std::wstring program_path;                    // the running program file
        std::function<void(UINT type)> message_beep;  // MessageBeep when empty
        // The capture's block copy of w x h screen pixels from `from`; BitBlt when empty.
        std::function<BOOL(HDC target, int w, int h, HDC screen, POINT from)> copy_screen;
    };

    TForm1();
    explicit TForm1(Services services);
    ~TForm1() override;

    // Creation steps, the first command-line argument included. Completes even when the
    // argument is bad (the error goes to the report).
    void FormCreate(std::wstring_view first_argument);
    void FormResize();
    void FormKeyUp(WORD key, unsigned shift);
    void FormDestroy();

    void BUFormButton1Click();  // capture
    void BUFormButton2Click();  // clear
    void stay_on_top();
    void redraw_background();
    void turn_magnifyer_on(bool on);

    // Output of the picture; each captures a live note first.
    void Save1Click();
    void save_file(const std::wstring& filename);
    void Clipboard1Click();
    void Portrait1Click();
    void Landscape1Click();
    void Print1Click();
    void SetPrinter1Click();
    output::Printer& printer() { return printer_; }
    void Send1Click();  // Email
    output::TForm3* Form3() const { return Form3_; }
    void set_Form3(output::TForm3* form) { Form3_ = form; }

    void Annotate1Click();
    // What Annotate shows once the note is captured: the palette, which registers itself here.
    void set_annotate_palette(std::function<void()> show) { show_palette_ = std::move(show); }
    void Magnifyer1Click();
    void Clear1Click();
    void Help1Click();
    void Clone1Click();
    void Close1Click();
    void About1Click();
    // The About box that About1Click shows modally (set once at start-up).
    void set_about_box(std::function<void()> show_modal) { about_box_ = std::move(show_modal); }
    void SendToTryTimerTimer();

    // Window chrome (note_chrome.cpp): title-bar buttons, the tray and the system menu. The
    // three button events pass CallDefault, true on entry; false cancels the frame's own action.
    void TeForm1Rollup(bool& CallDefault);
    void TeForm1MinToTray(bool& CallDefault);
    void TeForm1Minimize(bool& CallDefault);
    void MinimizeToTray1Click();
    void Open1Click();
    void TrayMenuClick(TrayChoice choice);
    // The frame's tray operations: MinToTray raises TeForm1MinToTray and, unless cancelled,
    // hides the note behind its tray icon; while in the tray it restores instead. Restore shows
    // the note, brings it to the front and removes the icon.
    void MinToTray();
    void Restore();
    bool in_tray() const { return in_tray_; }
    TSysPopupMenu& system_menu() { return *sys_menu_; }
    TrayIcon& tray() { return *tray_; }

    // Annotation: boxes, arrows and texts drawn into the picture. The palette calls these with
    // the values of its controls.
    void TeEffectButton4Click(ui::Color colour, int width);  // Add Box
    void TeEffectButton5Click(ui::Color colour, int width);  // Add Arrow
    void TeEffectButton3Click();                             // Delete Selected (and Delete)
    void JvOfficeColorButton2ColorChange(ui::Color colour);  // colour of the selected boxes
    void JvOfficeColorButton3ColorChange(ui::Color colour);  // colour of the selected arrows
    void TeEffectSpinEdit2Change(int width);                 // line width of the selected boxes
    void TeEffectSpinEdit3Change(int width);                 // line width of the selected arrows
    void draw_objects();
    void draw_arrowhead(int i);  // i: the arrow's slot + 1
    void Image1MouseUp(void* Sender, ui::MouseButton Button, ui::ShiftState Shift, int X, int Y);

    // Runs a command by id; false when the command is not available in this build.
    bool run(snipquill::Command c);
    bool has_command(snipquill::Command c) const;

    AppState& state() { return state_; }
    const AppState& state() const { return state_; }
    ui::Picture& Image1() { return *image_; }
    Perforation& perforation() { return *perforation_; }
    const ui::Bitmap* background() const { return background_.get(); }
    HMENU SysPopupMenu1() const { return menu_.get(); }
    bool magnifier_checked() const { return magnifier_checked_; }
    bool SendToTryTimer_enabled() const { return timer_enabled_; }
    annotate::CanvasText::TMyCanvasText& MyCanvasText1() { return *MyCanvasText1_; }
    annotate::PolyLine::TMyPolyLine& MyPolyLine1() { return *MyPolyLine1_; }
    const annotate::TCadCalcGDI& CadCalcGDI1() const { return CadCalcGDI1_; }
    annotate::AnnotationStore& store() { return store_; }
    annotate::PictureImage& Image1Image() { return *image1_; }
    magnify::TMagnify& Magnify1() { return *Magnify1_; }

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void live_layout();
    void apply_start_switches(std::wstring_view first_argument);
    void build_menu();
    void popup_menu_at_sysmenu_button();
    void create_chrome();
    void destroy_chrome();
    void frame_button_clicked(snipquill::FrameButton b);
    bool chrome_message(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void show_button_tip(snipquill::FrameButton b);
    LRESULT nc_hit_test(LPARAM lp) const;
    void create_annotation();
    void create_magnifier();
    void bind_annotation();
    void release_annotation();
    void show_drawing();
    void warning_beep();
    static void image1_mouse_up(void* self, void* sender, ui::MouseButton b, ui::ShiftState s,
                                int x, int y);

    Services services_;
    std::function<void()> show_palette_;
    AppState state_;
    std::unique_ptr<Perforation> perforation_;
    std::unique_ptr<ui::Picture> image_;
    std::unique_ptr<ui::Bitmap> background_;
    std::unique_ptr<magnify::TMagnify> Magnify1_;
    ui::Bitmap spare_picture_;  // the capture copies into it, then it becomes the picture
    ui::UniqueMenu menu_;
    output::Printer printer_;           // the printer and its settings hold for the whole run
    output::ClipboardOffer clipboard_;  // what To Clipboard promised and has yet to write
    bool magnifier_checked_ = false;
    bool active_ = false;
    bool timer_enabled_ = false;
    snipquill::FrameButton pressed_ = snipquill::FrameButton::None;
    output::TForm3* Form3_ = nullptr;            // the e-mail dialog made at start-up
    std::unique_ptr<output::TForm3> own_Form3_;  // made at the first e-mail when there is none
    std::function<void()> about_box_;
    std::unique_ptr<TSysPopupMenu> sys_menu_;
    std::unique_ptr<TrayIcon> tray_;
    bool in_tray_ = false;
    HWND tooltip_ = nullptr;  // owned by the note window, made at the first hover
    snipquill::FrameButton tip_for_ = snipquill::FrameButton::None;

    // Annotation. Declared after the picture, so they go before it.
    annotate::CanvasText::SharedSettings text_settings_;
    std::unique_ptr<annotate::PictureImage> image1_;
    std::unique_ptr<annotate::CanvasText::TMyCanvasText> MyCanvasText1_;
    std::unique_ptr<annotate::PolyLine::TMyPolyLine> MyPolyLine1_;
    annotate::TCadCalcGDI CadCalcGDI1_;
    annotate::AnnotationStore store_;
};

}  // namespace app
