#include "annotate/polyline.h"

namespace annotate::PolyLine {

using ui::MouseButton;

TMyPolyLine::TMyPolyLine()
    : FAuthor(L"Snipquill polyline"),
      hook_(Forwarders<TMyPolyLine, &TMyPolyLine::MouseDown, &TMyPolyLine::Mousemove,
                       &TMyPolyLine::MouseUp>::slots(this)) {
    FPen = ui::PenSpec{0, 1, ui::PenStyle::Solid, ui::RasterMode::Copy};
}

TMyPolyLine::~TMyPolyLine() { hook_.unhook(); }

void TMyPolyLine::SetLabelXY(TLabel* label) {
    if (label == FLabelXY) return;
    FLabelXY = label;
    if (label) label->FreeNotification(this);
}

void TMyPolyLine::SetAComponent(Image* image) {
    hook_.restore();
    FRelateComponent = image;
    if (image) {
        hook_.install(*image);
        image->FreeNotification(this);
    }
    // Without a surface the binding fails quietly: no image is bound, the canvas stays what it
    // was and the handlers just installed stay installed.
    ui::Surface* surface = image ? image->surface() : nullptr;
    if (!surface) {
        FRelateComponent = nullptr;
        return;
    }
    ACanvas = surface;
    canvas_source_ = image;
}

void TMyPolyLine::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FLabelXY) FLabelXY = nullptr;
    // An image that goes away takes its surface with it.
    if (AComponent == FRelateComponent) FRelateComponent = nullptr;
    if (AComponent == canvas_source_) {
        ACanvas = nullptr;
        canvas_source_ = nullptr;
    }
    if (hook_.hooked() && static_cast<TComponent*>(hook_.hooked()) == AComponent)
        hook_.forget(hook_.hooked());
}

// ---- vertices ----

void TMyPolyLine::AddPoint(Point APoint) { ThePoints.push_back(APoint); }

bool TMyPolyLine::InsertAPoint(int PointId, Point APoint) {
    if (!insert_after(ThePoints, PointId, APoint)) return false;
    ReDraw();
    return true;
}

bool TMyPolyLine::InsertAPoint(Point thePoint, Point APoint) {
    const int i = index_of(ThePoints, thePoint);
    return i >= 0 && InsertAPoint(i, APoint);
}

void TMyPolyLine::DeleteAllPoint() {
    ThePoints.clear();
    ReDraw();
}

bool TMyPolyLine::DeleteAPoint(int PointId) {
    if (!erase_at(ThePoints, PointId)) return false;
    ReDraw();
    return true;
}

bool TMyPolyLine::DeleteAPoint(Point APoint) {
    const int i = index_of(ThePoints, APoint);
    return i >= 0 && DeleteAPoint(i);
}

bool TMyPolyLine::SetPointXY(int PointID, int x, int y) {
    if (PointID < 0 || PointID >= GetPointsCount()) return false;
    ThePoints[static_cast<std::size_t>(PointID)] = Point{x, y};
    ReDraw();
    return true;
}

bool TMyPolyLine::SetPoint(int PointID, int dx, int dy) {
    return offset_at(ThePoints, PointID, dx, dy);
}

// ---- drawing ----

void TMyPolyLine::line_pen() { ACanvas->set_pen(FPen); }

void TMyPolyLine::ghost_pen() {
    ui::BrushSpec brush = ACanvas->brush();
    brush.style = ui::BrushStyle::Clear;
    ACanvas->set_brush(brush);
    // The width stays what the canvas pen has now.
    ACanvas->set_pen(ui::PenSpec{FColorofDrawing, ACanvas->pen().width, ui::PenStyle::Solid,
                                 ui::RasterMode::Xor});
}

void TMyPolyLine::handle_pen() {
    ACanvas->set_pen(
        ui::PenSpec{FColorofHot, FPen.width, ui::PenStyle::Solid, ui::RasterMode::NotXor});
    ACanvas->set_brush(ui::BrushSpec{FColorofHot, ui::BrushStyle::Solid});
}

void TMyPolyLine::Draw() {
    if (!ACanvas) return;
    line_pen();
    for (std::size_t i = 0; i + 1 < ThePoints.size(); ++i) {
        ACanvas->move_to(ThePoints[i].x, ThePoints[i].y);
        ACanvas->line_to(ThePoints[i + 1].x, ThePoints[i + 1].y);
    }
    if (Selected) DrawHot();
}

void TMyPolyLine::DrawHot() {
    if (!ACanvas) return;
    handle_pen();
    for (const Point& p : ThePoints) {
        const long long x = p.x, y = p.y;
        const Point tl = offset_point(Point{}, x - HotSize, y - HotSize);
        const Point br = offset_point(Point{}, x + HotSize, y + HotSize);
        ACanvas->fill_rect(tl.x, tl.y, br.x, br.y);
    }
}

void TMyPolyLine::BeSelected() {
    if (Selected) return;
    Selected = true;
    DrawHot();
}

void TMyPolyLine::NotSelected() {
    Selected = false;
    DrawHot();
}

void TMyPolyLine::SetShapeTool(TDrawTool Value) {
    FShapeTool = Value;
    FActionTool =
        Value == TDrawTool::SpPolyLine ? TActionTools::dtDrawing : TActionTools::dtSelecting;
}

// ---- tests ----

int TMyPolyLine::HandleTest(Point p) {
    SelectedHotId = find_handle(ThePoints, p, HotSize);
    return SelectedHotId;
}

bool TMyPolyLine::LineTest(Point p) {
    for (std::size_t i = 0; i + 1 < ThePoints.size(); ++i) {
        const Point a = ThePoints[i], b = ThePoints[i + 1];
        if (!is_vertical(a, b)) {
            if (on_slanted_segment(a, b, p)) return true;
            continue;
        }
        if (on_vertical_segment(a, b, p)) {
            if (!Selected) {
                Selected = true;
                DrawHot();
            }
            return true;
        }
        if (Selected) {
            Selected = false;
            DrawHot();
        }
    }
    return false;
}

// ---- mouse ----

void TMyPolyLine::MouseDown(MouseButton Button, ui::ShiftState, int X, int Y) {
    Origin = Point{X, Y};
    if (FActionTool == TActionTools::dtDrawing && FShapeTool == TDrawTool::SpPolyLine) {
        MovePt = Origin;
        if (Button == MouseButton::Left) AddPoint(Origin);
        return;
    }
    if (Button != MouseButton::Left) return;
    MovePt = Origin;
    if (FActionTool == TActionTools::dtSelecting) {
        MsDnTag = kPressTracked;
        if (Selected && HandleTest(Origin) >= 0) {
            FActionTool = TActionTools::dtResizing;
            return;
        }
        if (LineTest(Origin)) {
            FActionTool = TActionTools::dtDragging;
            BeSelected();
        }
    }
    if (!Selected) NotSelected();
}

void TMyPolyLine::draw_ghost() {
    if (!ACanvas) return;
    const long long dx = static_cast<long long>(MovePt.x) - Origin.x;
    const long long dy = static_cast<long long>(MovePt.y) - Origin.y;
    const int count = GetPointsCount();
    switch (FActionTool) {
        case TActionTools::dtDrawing:
            ghost_pen();
            ACanvas->move_to(Origin.x, Origin.y);
            ACanvas->line_to(MovePt.x, MovePt.y);
            break;
        case TActionTools::dtDragging:
            ghost_pen();
            for (int i = 0; i + 1 < count; ++i) {
                const Point a = offset_point(ThePoints[i], dx, dy);
                const Point b = offset_point(ThePoints[i + 1], dx, dy);
                ACanvas->move_to(a.x, a.y);
                ACanvas->line_to(b.x, b.y);
            }
            break;
        case TActionTools::dtResizing: {
            const int h = SelectedHotId;
            // The vertices may have been taken away while the button was down.
            if (h < 0 || h >= count) break;
            ghost_pen();
            const Point moved = offset_point(ThePoints[h], dx, dy);
            if (h >= 1) {
                ACanvas->move_to(moved.x, moved.y);
                ACanvas->line_to(ThePoints[h - 1].x, ThePoints[h - 1].y);
            }
            if (h + 1 < count) {
                ACanvas->move_to(moved.x, moved.y);
                ACanvas->line_to(ThePoints[h + 1].x, ThePoints[h + 1].y);
            }
            if (Tag == 1) Draw();
            break;
        }
        default:
            break;
    }
}

void TMyPolyLine::show_position(int x, int y) {
    CaptionBuffer buffer;
    FLabelXY->SetCaption(coordinate_caption(x, y, buffer));
}

void TMyPolyLine::Mousemove(ui::ShiftState, int X, int Y) {
    if (FLabelXY) show_position(X, Y);
    if (MsDnTag != kPressTracked) return;
    draw_ghost();  // erases the ghost of the previous move
    MovePt = Point{X, Y};
    draw_ghost();
}

void TMyPolyLine::MouseUp(MouseButton Button, ui::ShiftState, int X, int Y) {
    MovePt = Point{X, Y};
    if (FActionTool == TActionTools::dtDrawing && Button == MouseButton::Right) {
        AddPoint(Origin);
        BeSelected();
    }
    const int dx = difference(MovePt.x, Origin.x), dy = difference(MovePt.y, Origin.y);
    if (FActionTool == TActionTools::dtResizing && MsDnTag == kPressTracked) {
        FActionTool = TActionTools::dtSelecting;
        move_hot_vertex(ThePoints, SelectedHotId, dx, dy, Tag == 1);
    }
    if (FActionTool == TActionTools::dtDragging && MsDnTag == kPressTracked) {
        FActionTool = TActionTools::dtSelecting;
        for (int i = 0; i < GetPointsCount(); ++i) SetPoint(i, dx, dy);
    }
    MsDnTag = 0;
    ReDraw();
}

// ---- chaining ----

void TMyPolyLine::flush() {
    if (ACanvas) ACanvas->flush();
}

}  // namespace annotate::PolyLine
