// Helpers for tests that run real windows under Wine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/bitmap.h"

namespace wintest {

// Processes this thread's messages for about ms milliseconds.
void pump(int ms);

// Answers the next dialog (message box or our own) that this thread shows: records its texts and
// presses the button with the given id. Use it around the call that shows the dialog.
class DialogAnswer {
  public:
    explicit DialogAnswer(int button_id = IDOK);
    ~DialogAnswer();
    bool seen() const { return seen_; }
    const std::wstring& title() const { return title_; }
    // All texts of the dialog's controls, joined with new lines.
    const std::wstring& texts() const { return texts_; }
    // Text of one control by id.
    std::wstring text_of(int id) const;

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    bool try_answer();

    int button_;
    UINT_PTR timer_ = 0;
    bool seen_ = false;
    std::wstring title_;
    std::wstring texts_;
    std::vector<std::pair<int, std::wstring>> by_id_;
};

// A topmost popup window showing a pattern in which no two nearby pixels are alike.
class PatternWindow {
  public:
    PatternWindow(int x, int y, int w, int h);
    ~PatternWindow();
    HWND hwnd() const { return hwnd_; }
    // The colour the pattern shows at screen point (sx, sy).
    COLORREF expected(int sx, int sy) const;

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    ui::Bitmap image_;
    int x_, y_;
};

// Windows path of a Unix path (Wine maps / to Z:).
std::wstring dos_path(const std::string& unix_path);

// Path of the directory the running test program is in, with trailing separator.
std::wstring test_folder();

}  // namespace wintest
