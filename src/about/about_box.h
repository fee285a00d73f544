// The About box: product, maker and legal line slide in over a star field, then the version.
// Created once at start-up, hidden between showings, shown modally by the note's About command.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "about/about_texts.h"
#include "about/appearing.h"
#include "about/starfield.h"
#include "about/verinfo.h"
#include "ui/bitmap.h"
#include "ui/handles.h"
#include "ui/window.h"

namespace about {

inline constexpr int kAboutClientWidth = 269;
inline constexpr int kAboutClientHeight = 218;

// A panel with the label it holds; the label's place is relative to the panel.
struct AboutBlock {
    RECT panel{};        // client coordinates
    int home_left = 0;   // the label's place in the panel
    int text_width = 0;  // the label's size, which follows its text
    int text_height = 0;
    std::wstring text;
    Appearing animation;
    bool visible = false;
};

class TAbout : public ui::Window {
  public:
    enum : WORD { kOkButton = IDOK };

    // owner: the note window, so the box is never hidden behind the topmost note.
    explicit TAbout(HWND owner);
    ~TAbout() override;

    // Reads the version block of the running program (or of exe_path) and keeps its texts.
    // The constructor runs the first; the texts then hold for the whole run.
    void FormCreate();
    void FormCreate(const std::wstring& exe_path);
    // Shows the box and waits until it is closed; IDOK from the OK button.
    INT_PTR ShowModal();

    // The steps of a showing, without the modal wait (ShowModal runs them around its loop).
    void Show();
    void Close();

    const AboutTexts& texts() const { return texts_; }
    const AboutBlock& block1() const { return block1_; }  // Panel1, JvBehaviorLabel1
    const AboutBlock& block2() const { return block2_; }  // Panel2, JvBehaviorLabel2
    bool starfield_running() const { return star_timer_; }
    bool showing() const { return showing_; }
    const TEPInfoExe& EPInfoExe1() const { return EPInfoExe1_; }

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void FormActivate();
    void JvBehaviorLabel1Stop();
    void FormClose();
    void start_block(AboutBlock& b, UINT_PTR timer);
    void tick_block(AboutBlock& b, UINT_PTR timer);
    void measure(AboutBlock& b, HFONT font) const;
    void paint(HDC dc);
    void draw_block(const AboutBlock& b, HFONT font, COLORREF colour);

    TEPInfoExe EPInfoExe1_;
    AboutTexts texts_;
    AboutBlock block1_;
    AboutBlock block2_;
    ui::UniqueGdi<HFONT> font1_;
    ui::UniqueGdi<HFONT> font2_;
    HWND ok_ = nullptr;                     // child: destroyed with the box
    std::unique_ptr<Starfield> starfield_;  // only while shown
    std::unique_ptr<ui::Bitmap> buffer_;    // only while shown
    bool star_timer_ = false;
    bool showing_ = false;
    INT_PTR modal_result_ = 0;
};

}  // namespace about
