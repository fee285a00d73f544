// Opens the help file at its default topic with the system's HTML Help viewer, and closes the
// viewer's windows before the program ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace app {

// The viewer library, loaded on first use and kept until close(). Its windows must be closed
// (HH_CLOSE_ALL) before it is unloaded: the viewer documents a crash otherwise.
class HelpViewer {
  public:
    // What the viewer asks of the system; tests replace it.
    struct Library {
        std::function<bool()> load;  // false: not available (GetLastError says why)
        std::function<HWND(HWND, const wchar_t*, UINT, DWORD_PTR)> html_help;
        std::function<void()> unload;
    };
    static constexpr UINT kDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
    static constexpr UINT kCloseAll = 0x0012;      // HH_CLOSE_ALL

    HelpViewer();  // hhctrl.ocx
    explicit HelpViewer(Library library);
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;
    ~HelpViewer() { close(); }

    void show(HWND owner, const std::wstring& chm_path);
    // Closes every viewer window, then unloads the library; nothing when it was never loaded.
    void close();

  private:
    Library library_;
    bool loaded_ = false;
};

// The program's viewer.
void show_html_help(HWND owner, const std::wstring& chm_path);
void close_html_help();

}  // namespace app
