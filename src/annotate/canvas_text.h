// TMyCanvasText: the text annotations of one image. Each text (TMyText) is a short string in its
// own font at a point, with an optional one-pixel shadow; the user picks one with the mouse (it
// shows four corner handles) and drags it. Every full redraw restores the whole picture from a
// clean copy of the background taken at binding, then draws the texts from the newest to the
// oldest. Outlines while dragging are XOR, handles NOT-XOR, so drawing either twice restores the
// pixels under it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "annotate/component.h"
#include "annotate/image.h"
#include "annotate/mouse_hook.h"
#include "annotate/polyline_logic.h"
#include "ui/mouse_events.h"
#include "ui/surface.h"

namespace annotate::CanvasText {

enum class TDrawTool : std::uint8_t { SpSelecting, SpText };

enum class TActionTools : std::uint8_t { dtClose, dtDrawing, dtSelecting, dtResizing, dtDragging };

// MsDnTag while a gesture begun by a left press is in progress.
inline constexpr std::uint8_t kGestureTracked = 9;

// Drawing settings held once for every text component that shares them: the last assignment on
// any of them decides for all, and the texts read these, not their component's fields.
struct SharedSettings {
    ui::Color SharedColorOfHot = ui::rgb(128, 128, 128);
    ui::Color SharedColorOfShadow = 0;
    bool SharedShadow = false;
    ui::Color SharedColorOfDrawing = 0;  // stored like the others; nothing draws with it
};

// A text keeps at most this many UTF-16 units.
inline constexpr std::size_t kInfoCapacity = 50;
// The text as a shape keeps it: every character the user typed, cut after kInfoCapacity units,
// one earlier where the cut would split a surrogate pair.
std::wstring cap_info(std::wstring_view text);

// One annotation. The base class does nothing but move its points.
class TMyShape {
  public:
    explicit TMyShape(const SharedSettings& shared) : shared_(&shared) {}
    TMyShape(const TMyShape&) = delete;
    TMyShape& operator=(const TMyShape&) = delete;
    virtual ~TMyShape() = default;

    virtual void DrawHot() {}
    virtual int InWhichHot(Point) { return -1; }
    virtual bool IsClickedMe(Point) { return false; }
    virtual void ResizeChangeValue(Point, Point) {}
    virtual void DragChangeValue(Point FromP, Point Top);
    virtual void Draw() {}
    virtual void Drawing(Point, Point) {}
    virtual void Draging(Point, Point) {}
    virtual void Sizing(Point, Point) {}

    // Entry i of ThePoints, or (0, 0) when there is none.
    Point point(int i) const;
    // Shows or removes the handles at once; nothing when the state does not change.
    void Select();
    void Deselect();
    // P1 := P0 + the extent of Info in Font as FCanvas measures it.
    void Measure();

    ui::Surface* FCanvas = nullptr;
    bool Selected = false;
    int SelectedHotId = -1;
    std::uint8_t HotSize = 4;
    ui::PenSpec Pen;
    ui::FontSpec Font;
    std::wstring Info;
    std::vector<Point> ThePoints;

  protected:
    const SharedSettings* shared_;
};

class TMyText : public TMyShape {
  public:
    using TMyShape::TMyShape;

    void DrawHot() override;
    int InWhichHot(Point APoint) override;
    bool IsClickedMe(Point APoint) override;
    void Draw() override;
    void Drawing(Point FromP, Point Top) override;
    void Draging(Point FromP, Point Top) override;

  private:
    void outline(Point a, Point b);
};

class TMyCanvasText : public TComponent {
  public:
    explicit TMyCanvasText(SharedSettings& shared);
    ~TMyCanvasText() override;

    // Properties.
    const ui::FontSpec& Font() const { return FFont; }
    ui::FontSpec& Font() { return FFont; }
    void SetFont(const ui::FontSpec& font) { FFont = font; }
    TLabel* LabelXY() const { return FLabelXY; }
    void SetLabelXY(TLabel* label);
    TDrawTool ShapeTool() const { return FShapeTool; }
    void SetShapeTool(TDrawTool Value);
    ui::Color ColorofDrawing() const { return FColorofDrawing; }
    void SetColorofDrawing(ui::Color c);
    ui::Color ColorOfShadow() const { return FColorofShadow; }
    void SetColorOfShadow(ui::Color c);
    ui::Color ColorOfHot() const { return FColorofHot; }
    void SetColorOfHot(ui::Color c);
    const ui::PenSpec& Pen() const { return FPen; }
    ui::PenSpec& Pen() { return FPen; }
    void SetPen(const ui::PenSpec& pen) { FPen = pen; }
    bool Shadow() const { return FShadow; }
    void SetShadow(bool on);
    Image* AComponent() const { return FRelateComponent; }
    void SetAComponent(Image* image);
    const std::wstring& Text() const { return FText; }
    void SetText(std::wstring_view text);

    void DrawAllShape();
    int GetShapesCount() const { return static_cast<int>(MyShapes.size()); }
    int GetSelectedShape() const;
    // Marks text index selected and redraws; an index out of range changes nothing.
    void SelectShape(int index);
    std::wstring GetShapeText(int ShapeID) const;
    std::wstring GetSelectedShapeText() const { return GetShapeText(GetSelectedShape()); }
    bool SetSelectedShapeText(std::wstring_view Text);
    bool SetShapeText(int ShapeID, std::wstring_view Text);
    bool SetShapeColor(int ShapeID, ui::Color color);
    bool SetShapeSize(int ShapeID, int Value);
    bool SetShapeFont(int ShapeID, const ui::FontSpec& f);
    bool SetShapeStyle(int ShapeID, ui::FontStyles st);
    bool DeleteShape(int ShapeNo);
    bool DeleteSelectedShape();
    // The clean background (still owned by the component, and only to be read: the redraw
    // relies on it); none before the first binding.
    const ui::Surface* GetTImage() const { return Saveold.get(); }

    void MouseDown(ui::MouseButton Button, ui::ShiftState Shift, int x, int y);
    void MouseUp(ui::MouseButton Button, ui::ShiftState Shift, int x, int y);

    // State, for the note window and for tests.
    const TMyShape* GetShape(int index) const;
    const TMyShape* GetWorkingShape() const { return WorkingShape; }
    TActionTools GetActionTool() const { return FActionTool; }
    std::uint8_t GetMsDnTag() const { return MsDnTag; }
    Point GetOrigin() const { return Origin; }
    Point GetMovePt() const { return MovePt; }
    ui::Surface* GetACanvas() const { return ACanvas; }
    const ui::MouseButtonHandler& fOldOnMouseDown() const { return hook_.saved().down; }
    const ui::MouseButtonHandler& fOldOnMouseUp() const { return hook_.saved().up; }
    const ui::MouseMoveHandler& fOldOnMouseMove() const { return hook_.saved().move; }

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    template <class, auto, auto, auto>
    friend struct ::annotate::Forwarders;

    void AddShape(std::unique_ptr<TMyShape> shape);
    void MouseMove(ui::ShiftState Shift, int X, int Y);
    void draw_outline();
    TMyShape* shape_at(int index) const;
    // Applies change to text ShapeID, re-measures it and redraws; false out of range.
    template <class Change>
    bool change_shape(int ShapeID, Change&& change);
    void flush();
    bool redraw_from_cache();
    void remember_redraw();

    // What a full redraw depends on, apart from the clean background.
    struct DrawnText {
        Point p0, p1;
        bool selected = false;
        std::uint8_t hot = 0;
        ui::PenSpec pen;
        ui::FontSpec font;
        std::wstring info;
        // reach(), once asked: it holds as long as the shared settings do.
        bool reach_known = false;
        std::optional<ui::Rect> reach;
        bool operator==(const TMyShape& s) const;
    };
    static DrawnText drawn_text(const TMyShape& s);
    // The pixels of the picture drawing t can change with the shared settings as they are now,
    // cut to the picture (possibly empty); none when they cannot be bounded.
    const std::optional<ui::Rect>& reach(DrawnText& t);
    // The canvas set up as drawing every text leaves it, from the set-ups it had before.
    void leave_setups(const ui::PenSpec& pen, const ui::BrushSpec& brush, const ui::FontSpec& font);
    // Lines up the texts as the last redraw drew them with the texts now, one added or removed
    // at most, and collects where what differs was and is into damage_. False when that cannot
    // be bounded.
    bool collect_damage();
    // Brings the picture, a copy of the last redraw, to what a full redraw would give now,
    // touching only damage_. False, with the picture in an undefined state, when it could not.
    bool repair_damage();

    std::unique_ptr<ui::Surface> Saveold;
    MouseHook hook_;  // fOldOnMouseDown, fOldOnMouseUp, fOldOnMouseMove
    ui::Surface* ACanvas = nullptr;
    TLabel* FLabelXY = nullptr;
    TDrawTool FShapeTool = TDrawTool::SpSelecting;
    std::uint8_t MsDnTag = 0;
    Point Origin;
    Point MovePt;
    TMyShape* WorkingShape = nullptr;
    std::vector<std::unique_ptr<TMyShape>> MyShapes;
    TActionTools FActionTool = TActionTools::dtClose;
    ui::PenSpec FPen;
    ui::FontSpec FFont;
    ui::Color FColorofDrawing = 0;
    ui::Color FColorofHot = ui::rgb(128, 128, 128);
    ui::Color FColorofShadow = 0;
    bool FShadow = false;
    Image* FRelateComponent = nullptr;
    std::wstring FText = L"CanvasText";

    SharedSettings& shared_;
    // The text between the press and the release that create it; it joins MyShapes at the
    // release.
    std::unique_ptr<TMyShape> creating_;
    Image* canvas_source_ = nullptr;  // the image ACanvas belongs to

    // The picture as the last full redraw left it. Most releases change no text (a box was
    // moved, or nothing), so the redraw is then one block copy instead of drawing every text.
    std::unique_ptr<ui::Surface> drawn_;
    bool drawn_valid_ = false;
    ui::Surface* drawn_on_ = nullptr;
    SharedSettings drawn_settings_;
    std::vector<DrawnText> drawn_texts_;
    // Where the texts changed since the last redraw were or are now; only there is the picture
    // repainted (texts are slow to draw). Reused to spare an allocation per redraw.
    std::vector<ui::Rect> damage_;
};

}  // namespace annotate::CanvasText
