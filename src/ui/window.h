// Base of every window of the program: registers its class once, routes messages to a virtual
// handler and runs that handler inside the command guard, so no error escapes into the system.
#pragma once

#include <windows.h>

namespace ui {

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }

    // Outer bounds in screen coordinates (parent's client coordinates for a child window).
    RECT bounds() const;
    int left() const { return bounds().left; }
    int top() const { return bounds().top; }
    int width() const;
    int height() const;
    int client_width() const;
    int client_height() const;
    // Each setter applies one value at once, as the note's layout steps expect.
    void set_left(int v);
    void set_top(int v);
    void set_width(int v);
    void set_height(int v);
    void set_bounds(int left, int top, int width, int height);

  protected:
    struct ClassInfo {
        const wchar_t* name;
        UINT style = CS_DBLCLKS;
        HBRUSH background = nullptr;
        HICON icon = nullptr;
        HICON small_icon = nullptr;
        HCURSOR cursor = nullptr;
    };
    static void register_class(const ClassInfo& info);
    void create(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style, int x,
                int y, int w, int h, HWND parent, HMENU id = nullptr);
    void destroy();

    virtual LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp);

  private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND hwnd_ = nullptr;
};

}  // namespace ui
