// Helpers for the output tests: scratch folders, sample pictures, decoding files with the
// platform's codecs, and a script that answers this thread's modal dialogs one after another.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/bitmap.h"

namespace outtest {

// A new folder under /tmp (seen through Wine's Z: drive), removed with all it holds at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }  // with a trailing separator
    std::wstring file(const std::wstring& name) const { return path_ + name; }
    const std::string& unix_path() const { return unix_path_; }  // with a trailing separator
    // Names of the files in the folder, sorted.
    std::vector<std::wstring> names() const;

  private:
    std::wstring path_;
    std::string unix_path_;
};

// Window-like content with at most 256 colours: flat areas, frames, lines and aliased text.
ui::Bitmap window_like_picture(int width, int height);
// Photo-like content with tens of thousands of colours: smooth gradients with fine texture.
ui::Bitmap photo_like_picture(int width, int height);
// Number of distinct colours, counting up to `limit` + 1.
std::size_t colour_count(const ui::Bitmap& picture, std::size_t limit = 256);

struct Image {
    GUID container{};
    GUID pixel_format{};  // as stored in the file
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

// Decodes the first frame of an image file with WIC (COM must be initialised).
Image decode_file(const std::wstring& path);
std::vector<std::uint8_t> read_bytes(const std::wstring& path);

// Pixels of `image` that differ from `picture` (all of them when the sizes differ).
std::size_t mismatches(const ui::Bitmap& picture, const Image& image);
// Peak signal-to-noise ratio over the three colour channels, in dB (infinite when equal).
double psnr(const ui::Bitmap& picture, const Image& image);

// Answers the modal dialogs this thread shows, in order: each step acts on the dialog that is
// in front (the enabled one) and says whether it is done. A dialog that stays in front for ten
// seconds without a step finishing is cancelled, so a broken test fails instead of hanging.
class DialogScript {
  public:
    using Step = std::function<bool(HWND dialog)>;
    DialogScript();
    ~DialogScript();
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    DialogScript& then(Step step);
    bool finished() const { return steps_.empty(); }
    bool timed_out() const { return timed_out_; }

  private:
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
    void run();

    std::deque<Step> steps_;
    UINT_PTR timer_ = 0;
    HWND last_ = nullptr;  // the dialog the last step acted on
    DWORD waiting_since_ = 0;
    bool timed_out_ = false;
};

// What a save dialog showed when it came up.
struct SaveDialogSeen {
    bool seen = false;
    std::wstring title;
    std::vector<std::wstring> filters;  // the "Save as type" entries
    int filter_index = 0;               // the selected entry, from 1
};

// Steps for DialogScript.
// The save dialog: records what it shows, selects filter `filter_index` (from 1; 0 keeps the
// current one), types `name` and presses Save.
DialogScript::Step save_as(std::wstring name, int filter_index, SaveDialogSeen* seen = nullptr);
// Any dialog: records its title and control texts, then presses `button`.
DialogScript::Step press(int button, std::wstring* texts = nullptr);

// All control texts of a dialog, joined with new lines (the title first).
std::wstring dialog_texts(HWND dialog);

}  // namespace outtest
