// TMyPolyLine: a list of vertices drawn as a polyline on one image, which the user selects,
// drags whole or reshapes vertex by vertex with the mouse. Boxes (Tag 1) and arrows (Tag 2) of
// the note are polylines. While the mouse drags only XOR ghosts are drawn, and the selection
// handles are NOT-XOR squares, so drawing either twice restores the pixels under it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "annotate/component.h"
#include "annotate/image.h"
#include "annotate/mouse_hook.h"
#include "annotate/polyline_logic.h"
#include "ui/mouse_events.h"
#include "ui/surface.h"

namespace annotate::PolyLine {

enum class TDrawTool : std::uint8_t { SpSelecting, SpPolyLine };

enum class TActionTools : std::uint8_t {
    dtClose,
    dtGetValue,
    dtDrawing,
    dtSectorDrawing,
    dtPolylineDrawing,
    dtSelecting,
    dtResizing,
    dtDragging,
};

// MsDnTag while a left press made in the selecting mode is tracked.
inline constexpr std::uint8_t kPressTracked = 9;

class TMyPolyLine : public TComponent {
  public:
    TMyPolyLine();
    ~TMyPolyLine() override;

    // Properties.
    const std::wstring& Author() const { return FAuthor; }
    void SetAuthor(std::wstring_view) {}  // the credit line never changes
    TLabel* LabelXY() const { return FLabelXY; }
    void SetLabelXY(TLabel* label);
    ui::Color ColorofDrawing() const { return FColorofDrawing; }
    void SetColorofDrawing(ui::Color c) { FColorofDrawing = c; }
    ui::Color ColorOfHot() const { return FColorofHot; }
    void SetColorOfHot(ui::Color c) { FColorofHot = c; }
    ui::PenSpec& Pen() { return FPen; }
    const ui::PenSpec& Pen() const { return FPen; }
    void SetPen(const ui::PenSpec& pen) { FPen = pen; }
    Image* AComponent() const { return FRelateComponent; }
    void SetAComponent(Image* image);

    void AddPoint(Point APoint);
    bool InsertAPoint(int PointId, Point APoint);
    bool InsertAPoint(Point thePoint, Point APoint);
    void DeleteAllPoint();
    bool DeleteAPoint(int PointId);
    bool DeleteAPoint(Point APoint);
    bool SetPointXY(int PointID, int x, int y);
    bool SetPoint(int PointID, int dx, int dy);
    int GetPointsCount() const { return static_cast<int>(ThePoints.size()); }

    void Draw();
    void ReDraw() { Draw(); }
    void DrawHot();
    void BeSelected();
    void NotSelected();
    bool isSelected() const { return Selected; }
    void SetShapeTool(TDrawTool Value);

    void MouseDown(ui::MouseButton Button, ui::ShiftState Shift, int X, int Y);
    void Mousemove(ui::ShiftState Shift, int X, int Y);
    void MouseUp(ui::MouseButton Button, ui::ShiftState Shift, int X, int Y);

    // The handle test: the highest vertex whose handle holds p, also kept in SelectedHotId.
    int HandleTest(Point p);
    // The line test. The vertical-segment rule selects on a hit and deselects on a miss.
    bool LineTest(Point p);

    // State, for the note window and for tests.
    const std::vector<Point>& GetPoints() const { return ThePoints; }
    TDrawTool GetShapeTool() const { return FShapeTool; }
    TActionTools GetActionTool() const { return FActionTool; }
    std::uint8_t GetMsDnTag() const { return MsDnTag; }
    Point GetOrigin() const { return Origin; }
    Point GetMovePt() const { return MovePt; }
    int GetSelectedHotId() const { return SelectedHotId; }
    int GetHotSize() const { return HotSize; }
    ui::Surface* GetACanvas() const { return ACanvas; }
    const ui::MouseButtonHandler& fOldOnMouseDown() const { return hook_.saved().down; }
    const ui::MouseButtonHandler& fOldOnMouseUp() const { return hook_.saved().up; }
    const ui::MouseMoveHandler& fOldOnMouseMove() const { return hook_.saved().move; }

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    template <class, auto, auto, auto>
    friend struct ::annotate::Forwarders;

    void line_pen();
    void ghost_pen();
    void handle_pen();
    void draw_ghost();
    void show_position(int x, int y);
    void flush();

    ui::Surface* ACanvas = nullptr;
    TLabel* FLabelXY = nullptr;
    std::wstring FAuthor;
    TDrawTool FShapeTool = TDrawTool::SpSelecting;
    std::uint8_t MsDnTag = 0;
    Point Origin;
    Point MovePt;
    TActionTools FActionTool = TActionTools::dtClose;
    ui::PenSpec FPen;
    ui::Color FColorofDrawing = ui::rgb(255, 255, 0);
    ui::Color FColorofHot = ui::rgb(128, 128, 128);
    bool Selected = false;
    int SelectedHotId = -1;
    std::uint8_t HotSize = 4;
    Image* FRelateComponent = nullptr;
    MouseHook hook_;  // fOldOnMouseDown, fOldOnMouseUp, fOldOnMouseMove
    std::vector<Point> ThePoints;

    Image* canvas_source_ = nullptr;  // the image ACanvas belongs to
};

}  // namespace annotate::PolyLine
