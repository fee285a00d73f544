// The font list: the screen's font families, sorted by name, each drawn in its own face. It is
// filled on first need (the palette's first showing or the first drop-down), not at start-up:
// enumerating the fonts costs more than creating the whole palette. Until the user chooses an
// entry, font() is the initial face, filled or not.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "ui/handles.h"
#include "ui/surface.h"

namespace annotate {

inline constexpr int kFontListItemHeight = 18;

class FontList {
  public:
    FontList() = default;
    FontList(const FontList&) = delete;
    FontList& operator=(const FontList&) = delete;

    void create(HWND parent, int id, RECT bounds);
    HWND hwnd() const { return combo_; }
    void fill();  // once; later calls do nothing
    bool filled() const { return filled_; }
    int count() const;
    std::wstring entry(int i) const;
    // The font of the chosen entry, or the initial font while none is chosen.
    ui::FontSpec font() const;

    // The parent forwards these for its list.
    void measure(MEASUREITEMSTRUCT& m) const;
    void draw(const DRAWITEMSTRUCT& d);

  private:
    HFONT face(const std::wstring& name);

    HWND combo_ = nullptr;
    bool filled_ = false;
    std::map<std::wstring, ui::UniqueGdi<HFONT>> faces_;
};

}  // namespace annotate
