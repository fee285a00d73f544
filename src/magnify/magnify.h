// The magnifier: a control over the picture that shows a bitmap stretched to its area and,
// while the left or middle button is held on it, a lens that shows the pixels around the
// pointer enlarged. The lens reads a snapshot taken at the press, never the screen, and each
// move repairs only what the old lens leaves uncovered.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "magnify/lens.h"
#include "ui/bitmap.h"
#include "ui/handles.h"
#include "ui/mouse_events.h"
#include "ui/window.h"

namespace magnify {

// A bitmap read from a file by LoadGraphicsFile; empty (no handle, 0 x 0) where nothing was read.
struct GraphicsFile {
    ui::UniqueGdi<HBITMAP> bitmap;
    int width = 0;
    int height = 0;
    int bits_per_pixel = 0;
};

class TMagnify : public ui::Window {
  public:
    using Notify = std::function<void(TMagnify& sender)>;

    static constexpr std::uint8_t kDragging = 9;

    // A child of parent at (0, 0), 105 x 105, with the creation values.
    explicit TMagnify(HWND parent);
    ~TMagnify() override;

    void SetBitMap(const ui::Bitmap& value);
    const ui::Bitmap& Original() const { return FOriginal; }

    bool Autosize() const { return FAutoSize; }
    void set_Autosize(bool value);
    bool AutoStretch() const { return fAutoStretch; }
    void set_AutoStretch(bool value);
    std::uint8_t MagSquare() const { return ZHalf; }
    void set_MagSquare(std::uint8_t value) { ZHalf = value; }
    std::uint8_t MagZoom() const { return ZZoom; }
    void set_MagZoom(std::uint8_t value) { ZZoom = value; }
    bool ShowBorder() const { return FShowBorder; }
    void set_ShowBorder(bool value) { FShowBorder = value; }
    COLORREF BorderColor() const { return FBorderColor; }
    void set_BorderColor(COLORREF value) { FBorderColor = value; }
    // True on a palette-based screen; writing it changes nothing.
    bool PaletteDevice() const;
    void set_PaletteDevice(bool) {}
    bool Enabled() const { return IsWindowEnabled(hwnd()) != FALSE; }
    void set_Enabled(bool value) { EnableWindow(hwnd(), value ? TRUE : FALSE); }

    Notify OnPaint;
    Notify OnRightClick;
    ui::MouseSlots mouse;  // OnMouseDown, OnMouseMove, OnMouseUp

    // The mouse notifications, in client coordinates; the window's messages end up here.
    void MouseDown(ui::MouseButton button, ui::ShiftState shift, int x, int y);
    void MouseMove(ui::ShiftState shift, int x, int y);
    void MouseUp(ui::MouseButton button, ui::ShiftState shift, int x, int y);

    // A new bitmap read from Filename by its extension (see graphics_file.cpp).
    GraphicsFile LoadGraphicsFile(const std::wstring& Filename) const;

    POINT Origin() const { return Origin_; }
    std::uint8_t MsDNTag() const { return MsDNTag_; }

  protected:
    LRESULT on_message(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void paint();
    void paint_now();
    void take_snapshot();
    void ensure_margin(int needed);
    void draw_lens(HDC dc, int x, int y, const LensGeometry& g);
    void repair(HDC dc, const LensRect& r);
    void end_drag(int x, int y);

    POINT Origin_{0, 0};
    std::uint8_t MsDNTag_ = 0;
    std::uint8_t ZHalf = 20;
    std::uint8_t ZZoom = 2;
    ui::Bitmap FOriginal;
    // The control's pixels at the press, with a margin on every side that repeats the nearest
    // edge pixels, so a source square reaching past the control reads sensible colours.
    ui::Bitmap FVector;
    int margin_ = 0;
    int snap_width_ = 0;
    int snap_height_ = 0;
    bool FShowBorder = false;
    COLORREF FBorderColor = RGB(255, 255, 255);
    bool FAutoSize = true;
    bool fAutoStretch = false;
};

}  // namespace magnify
