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
#include "ui/bitmap.h"
#include "ui/handles.h"
#include "ui/picture.h"
#include "ui/window.h"

namespace app {

class TForm1 : public ui::Window {
  public:
    // What the note asks of the system that tests replace.
    struct Services {
        std::function<void(HWND owner, const std::wstring& chm_path)> show_help;
        std::wstring program_path;  // the running program file
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

    void Annotate1Click();
    void Magnifyer1Click();
    void Clear1Click();
    void Help1Click();
    void Clone1Click();
    void Close1Click();
    void SendToTryTimerTimer();

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

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void live_layout();
    void apply_start_switches(std::wstring_view first_argument);
    void build_menu();
    void popup_menu_at_sysmenu_button();
    LRESULT nc_hit_test(LPARAM lp) const;

    Services services_;
    AppState state_;
    std::unique_ptr<Perforation> perforation_;
    std::unique_ptr<ui::Picture> image_;
    std::unique_ptr<ui::Bitmap> background_;
    ui::UniqueMenu menu_;
    bool magnifier_checked_ = false;
    bool active_ = false;
    bool timer_enabled_ = false;
    snipquill::FrameButton pressed_ = snipquill::FrameButton::None;
};

}  // namespace app
