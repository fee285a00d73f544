// RAII owners for the handles the program holds.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace ui {

template <class T, class Closer>
class Unique {
  public:
    Unique() = default;
    explicit Unique(T h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, T{})) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, T{}));
        return *this;
    }
    ~Unique() { reset(); }

    T get() const { return h_; }
    explicit operator bool() const { return h_ != T{}; }
    T release() { return std::exchange(h_, T{}); }
    void reset(T h = T{}) {
        if (h_ != T{}) Closer{}(h_);
        h_ = h;
    }

  private:
    T h_{};
};

struct GdiCloser {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DcCloser {
    void operator()(HDC h) const { DeleteDC(h); }
};
struct KeyCloser {
    void operator()(HKEY h) const { RegCloseKey(h); }
};
struct ModuleCloser {
    void operator()(HMODULE h) const { FreeLibrary(h); }
};
struct IconCloser {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct MenuCloser {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct GlobalCloser {
    void operator()(HGLOBAL h) const { GlobalFree(h); }
};
struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

template <class T>
using UniqueGdi = Unique<T, GdiCloser>;
using UniqueDC = Unique<HDC, DcCloser>;
using UniqueKey = Unique<HKEY, KeyCloser>;
using UniqueModule = Unique<HMODULE, ModuleCloser>;
using UniqueIcon = Unique<HICON, IconCloser>;
using UniqueMenu = Unique<HMENU, MenuCloser>;
using UniqueHandle = Unique<HANDLE, HandleCloser>;
using UniqueGlobal = Unique<HGLOBAL, GlobalCloser>;

// A DC from GetDC (0 for the whole screen) or, with whole_window, from GetWindowDC (frame
// included); released when it goes out of scope.
class WindowDC {
  public:
    explicit WindowDC(HWND w, bool whole_window = false)
        : w_(w), dc_(whole_window ? GetWindowDC(w) : GetDC(w)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(w_, dc_);
    }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

  private:
    HWND w_;
    HDC dc_;
};

// Selects an object into a DC for the lifetime of the guard.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;
    ~Selection() { SelectObject(dc_, old_); }

  private:
    HDC dc_;
    HGDIOBJ old_;
};

template <class I>
class ComPtr {
  public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& o) noexcept {
        if (this != &o) {
            reset();
            p_ = std::exchange(o.p_, nullptr);
        }
        return *this;
    }
    ~ComPtr() { reset(); }
    I* get() const { return p_; }
    I* operator->() const { return p_; }
    I** put() {
        reset();
        return &p_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (p_) std::exchange(p_, nullptr)->Release();
    }

  private:
    I* p_ = nullptr;
};

// COM for the lifetime of the object (apartment-threaded, as the UI thread needs).
class ComScope {
  public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

  private:
    HRESULT hr_;
};

// COM on the UI thread from the first command that needs it until the end of the run, so that
// start-up does without it.
inline void ensure_com() { static ComScope com; }

}  // namespace ui
