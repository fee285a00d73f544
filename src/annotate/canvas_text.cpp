#include "annotate/canvas_text.h"

#include <algorithm>

namespace annotate::CanvasText {

using ui::MouseButton;

std::wstring cap_info(std::wstring_view text) {
    std::size_t n = std::min(text.size(), kInfoCapacity);
    auto high = [](wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; };
    auto low = [](wchar_t c) { return c >= 0xDC00 && c <= 0xDFFF; };
    if (n < text.size() && n > 0 && high(text[n - 1]) && low(text[n])) --n;
    return std::wstring(text.substr(0, n));
}

namespace {

ui::BrushSpec hollow(const ui::Surface& s) {
    ui::BrushSpec b = s.brush();
    b.style = ui::BrushStyle::Clear;
    return b;
}

Point corner_square_origin(Point c, int hot) { return offset_point(c, -hot, -hot); }

}  // namespace

// ---- TMyShape ----

void TMyShape::DragChangeValue(Point FromP, Point Top) {
    const int dx = difference(Top.x, FromP.x), dy = difference(Top.y, FromP.y);
    for (Point& p : ThePoints) p = offset_point(p, dx, dy);
}

Point TMyShape::point(int i) const {
    return i >= 0 && static_cast<std::size_t>(i) < ThePoints.size() ? ThePoints[i] : Point{};
}

void TMyShape::Select() {
    if (Selected) return;
    Selected = true;
    DrawHot();
}

void TMyShape::Deselect() {
    if (!Selected) return;
    Selected = false;
    DrawHot();
}

void TMyShape::Measure() {
    ui::Extent e;
    if (FCanvas) {
        FCanvas->set_font(Font);
        e = FCanvas->text_extent(Info);
    }
    if (ThePoints.empty()) ThePoints.push_back(Point{});
    ThePoints.resize(2);
    ThePoints[1] = offset_point(ThePoints[0], e.cx, e.cy);
}

// ---- TMyText ----

void TMyText::DrawHot() {
    if (!FCanvas) return;
    FCanvas->set_pen(ui::PenSpec{shared_->SharedColorOfHot, Pen.width, ui::PenStyle::Solid,
                                 ui::RasterMode::NotXor});
    FCanvas->set_brush(ui::BrushSpec{shared_->SharedColorOfHot, ui::BrushStyle::Solid});
    const Point p0 = point(0), p1 = point(1);
    for (const Point c : {p0, p1, Point{p1.x, p0.y}, Point{p0.x, p1.y}}) {
        const Point tl = corner_square_origin(c, HotSize);
        const Point br = offset_point(c, HotSize, HotSize);
        FCanvas->fill_rect(tl.x, tl.y, br.x, br.y);
    }
}

int TMyText::InWhichHot(Point APoint) {
    SelectedHotId = -1;
    const Point p0 = point(0), p1 = point(1);
    const Point corners[] = {p0, Point{p1.x, p0.y}, p1, Point{p0.x, p1.y}};
    for (int i = 0; i < 4; ++i) {
        const long long x = corners[i].x, y = corners[i].y;
        if (x - HotSize <= APoint.x && APoint.x < x + HotSize && y - HotSize <= APoint.y &&
            APoint.y < y + HotSize)
            SelectedHotId = i + 1;
    }
    return SelectedHotId;
}

bool TMyText::IsClickedMe(Point APoint) {
    const Point p0 = point(0), p1 = point(1);
    const snipquill::Rect r{std::min(p0.x, p1.x), std::min(p0.y, p1.y), std::max(p0.x, p1.x),
                            std::max(p0.y, p1.y)};
    if (r.contains(APoint)) {
        Select();
        return true;
    }
    Deselect();
    return false;
}

void TMyText::Draw() {
    if (!FCanvas) return;
    const Point p0 = point(0);
    if (shared_->SharedShadow) {
        ui::FontSpec shadow = Font;
        shadow.color = shared_->SharedColorOfShadow;
        FCanvas->set_font(shadow);
        ui::PenSpec pen = FCanvas->pen();
        pen.style = Pen.style;
        pen.width = Pen.width;
        pen.mode = ui::RasterMode::Copy;
        FCanvas->set_pen(pen);
        FCanvas->set_brush(hollow(*FCanvas));
        const Point s = offset_point(p0, 1, 1);
        FCanvas->text_out(s.x, s.y, Info);
    }
    FCanvas->set_font(Font);
    FCanvas->set_pen(ui::PenSpec{Pen.color, Pen.width, Pen.style, ui::RasterMode::Copy});
    FCanvas->set_brush(hollow(*FCanvas));
    FCanvas->text_out(p0.x, p0.y, Info);
    if (Selected) DrawHot();
}

void TMyText::outline(Point a, Point b) {
    FCanvas->set_brush(hollow(*FCanvas));
    FCanvas->set_pen(
        ui::PenSpec{ui::rgb(255, 0, 0), Pen.width, ui::PenStyle::Solid, ui::RasterMode::Xor});
    // The rectangle's own pixels: right and bottom edges excluded. Each line leaves out its end
    // point, so every pixel of the frame is drawn once and XOR erases it exactly.
    const int l = std::min(a.x, b.x), t = std::min(a.y, b.y);
    const int r = std::max(a.x, b.x), btm = std::max(a.y, b.y);
    if (r <= l || btm <= t) return;
    FCanvas->move_to(l, t);
    FCanvas->line_to(r - 1, t);
    FCanvas->line_to(r - 1, btm - 1);
    FCanvas->line_to(l, btm - 1);
    FCanvas->line_to(l, t);
}

void TMyText::Drawing(Point FromP, Point Top) {
    if (FCanvas) outline(FromP, Top);
}

void TMyText::Draging(Point FromP, Point Top) {
    if (!FCanvas) return;
    const int dx = difference(Top.x, FromP.x), dy = difference(Top.y, FromP.y);
    outline(offset_point(point(0), dx, dy), offset_point(point(1), dx, dy));
}

// ---- TMyCanvasText ----

TMyCanvasText::TMyCanvasText(SharedSettings& shared)
    : hook_(Forwarders<TMyCanvasText, &TMyCanvasText::MouseDown, &TMyCanvasText::MouseMove,
                       &TMyCanvasText::MouseUp>::slots(this)),
      shared_(shared) {}

TMyCanvasText::~TMyCanvasText() { hook_.unhook(); }

void TMyCanvasText::SetLabelXY(TLabel* label) {
    if (label == FLabelXY) return;
    FLabelXY = label;
    if (label) label->FreeNotification(this);
}

void TMyCanvasText::SetShapeTool(TDrawTool Value) {
    FShapeTool = Value;
    FActionTool = Value == TDrawTool::SpText ? TActionTools::dtDrawing : TActionTools::dtSelecting;
}

void TMyCanvasText::SetColorofDrawing(ui::Color c) {
    FColorofDrawing = c;
    shared_.SharedColorOfDrawing = c;
}

void TMyCanvasText::SetColorOfShadow(ui::Color c) {
    FColorofShadow = c;
    shared_.SharedColorOfShadow = c;
}

void TMyCanvasText::SetColorOfHot(ui::Color c) {
    FColorofHot = c;
    shared_.SharedColorOfHot = c;
}

void TMyCanvasText::SetShadow(bool on) {
    FShadow = on;
    shared_.SharedShadow = on;
    DrawAllShape();
}

void TMyCanvasText::SetText(std::wstring_view text) {
    FText.assign(text);
    DrawAllShape();
}

void TMyCanvasText::SetAComponent(Image* image) {
    hook_.restore();
    FRelateComponent = image;
    if (image) {
        hook_.install(*image);
        // Also when the binding fails below: our handlers stay on the image, and we must hear
        // when it goes.
        image->FreeNotification(this);
    }
    ui::Surface* const previous = ACanvas;
    Image* const previous_source = canvas_source_;
    try {
        ui::Surface* surface = image ? image->surface() : nullptr;
        if (!surface) {
            FRelateComponent = nullptr;
            return;
        }
        ACanvas = surface;
        canvas_source_ = image;
        const int w = image->width(), h = image->height();
        if (!Saveold || Saveold->width() != w || Saveold->height() != h)
            Saveold = surface->make_bitmap(w, h);
        Saveold->copy_from(*surface, 0, 0, w, h);
        drawn_valid_ = false;
    } catch (...) {
        // Binding fails quietly: no image is bound and the canvas stays what it was.
        ACanvas = previous;
        canvas_source_ = previous_source;
        FRelateComponent = nullptr;
    }
}

void TMyCanvasText::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove) return;
    if (AComponent == FLabelXY) FLabelXY = nullptr;
    if (AComponent == FRelateComponent) FRelateComponent = nullptr;
    if (AComponent == canvas_source_) {
        // The surface goes with its image; texts drawn on it must not touch it any more.
        for (auto& s : MyShapes)
            if (s->FCanvas == ACanvas) s->FCanvas = nullptr;
        if (creating_ && creating_->FCanvas == ACanvas) creating_->FCanvas = nullptr;
        ACanvas = nullptr;
        canvas_source_ = nullptr;
        drawn_valid_ = false;
    }
    if (hook_.hooked() && static_cast<TComponent*>(hook_.hooked()) == AComponent)
        hook_.forget(hook_.hooked());
}

bool TMyCanvasText::DrawnText::operator==(const TMyShape& s) const {
    return p0 == s.point(0) && p1 == s.point(1) && selected == s.Selected && hot == s.HotSize &&
           pen == s.Pen && font == s.Font && info == s.Info;
}

TMyCanvasText::DrawnText TMyCanvasText::drawn_text(const TMyShape& s) {
    return DrawnText{s.point(0), s.point(1), s.Selected, s.HotSize,   s.Pen,
                     s.Font,     s.Info,     false,      std::nullopt};
}

const std::optional<ui::Rect>& TMyCanvasText::reach(DrawnText& t) {
    if (t.reach_known) return t.reach;
    t.reach_known = true;
    t.reach.reset();
    // Far out, coordinates leave what the platform draws faithfully; such a text is not bounded.
    constexpr long long kFar = 1LL << 26;
    long long l = kFar, top = kFar, r = -kFar, btm = -kFar;
    auto add = [&](long long x0, long long y0, long long x1, long long y1) {
        l = std::min(l, x0);
        top = std::min(top, y0);
        r = std::max(r, x1);
        btm = std::max(btm, y1);
    };
    if (!t.info.empty()) {
        ACanvas->set_font(t.font);
        const std::optional<ui::Rect> ink = ACanvas->text_ink(t.info);
        if (!ink) return t.reach;
        if (!ink->empty()) {
            const long long x = t.p0.x, y = t.p0.y;
            add(x + ink->left, y + ink->top, x + ink->right, y + ink->bottom);
            if (shared_.SharedShadow)
                add(x + 1 + ink->left, y + 1 + ink->top, x + 1 + ink->right, y + 1 + ink->bottom);
        }
    }
    if (t.selected) {
        const long long hot = t.hot;
        add(std::min<long long>(t.p0.x, t.p1.x) - hot, std::min<long long>(t.p0.y, t.p1.y) - hot,
            std::max<long long>(t.p0.x, t.p1.x) + hot, std::max<long long>(t.p0.y, t.p1.y) + hot);
    }
    if (r < l) {
        t.reach = ui::Rect{};  // draws nothing
        return t.reach;
    }
    if (l <= -kFar || top <= -kFar || r >= kFar || btm >= kFar) return t.reach;
    const long long w = drawn_->width(), h = drawn_->height();
    t.reach = ui::Rect{
        static_cast<int>(std::clamp(l, 0LL, w)), static_cast<int>(std::clamp(top, 0LL, h)),
        static_cast<int>(std::clamp(r, 0LL, w)), static_cast<int>(std::clamp(btm, 0LL, h))};
    return t.reach;
}

bool TMyCanvasText::collect_damage() {
    damage_.clear();
    const std::size_t n_old = drawn_texts_.size(), n_new = MyShapes.size();
    if (n_old > n_new + 1 || n_new > n_old + 1) return false;
    for (const auto& s : MyShapes)
        if (s->FCanvas != ACanvas) return false;  // drawn elsewhere: not all of it is here
    // The texts line up in order, one added or removed at k: the first place they differ.
    std::size_t k = 0;
    while (k < std::min(n_old, n_new) && drawn_texts_[k] == *MyShapes[k]) ++k;
    if (k == n_old && n_old == n_new) return true;  // nothing changed: the last redraw stands
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    auto damage = [&](DrawnText& t) {
        const std::optional<ui::Rect>& r = reach(t);
        if (!r) return false;
        if (!r->empty()) damage_.push_back(*r);
        return true;
    };
    std::vector<DrawnText> next;
    next.reserve(n_new);
    for (std::size_t i = 0; i < n_new; ++i) {
        const TMyShape& s = *MyShapes[i];
        std::size_t j = i;  // the same text as the last redraw drew it
        if (i >= k && n_new > n_old) j = i == k ? kNone : i - 1;
        if (i >= k && n_new < n_old) j = i + 1;
        if (j != kNone && drawn_texts_[j] == s) {
            next.push_back(std::move(drawn_texts_[j]));
            continue;
        }
        if (j != kNone && !damage(drawn_texts_[j])) return false;
        next.push_back(drawn_text(s));
        if (!damage(next.back())) return false;
    }
    if (n_new < n_old && !damage(drawn_texts_[k])) return false;
    // Past a few areas the clip costs more than drawing everything.
    constexpr std::size_t kMostAreas = 16;
    if (damage_.size() > kMostAreas) return false;
    drawn_texts_ = std::move(next);
    return true;
}

namespace {

bool overlaps(const ui::Rect& a, const ui::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Drawing stays inside the damaged areas for as long as it lives.
class ClipScope {
  public:
    explicit ClipScope(ui::Surface& s) : s_(s) {}
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;
    ~ClipScope() { s_.clear_clip(); }

  private:
    ui::Surface& s_;
};

}  // namespace

bool TMyCanvasText::repair_damage() {
    ACanvas->copy_from(*drawn_, 0, 0, drawn_->width(), drawn_->height());
    if (damage_.empty()) return true;
    for (const ui::Rect& r : damage_)
        ACanvas->copy_from(*Saveold, r.left, r.top, r.right - r.left, r.bottom - r.top);
    {
        ClipScope scope(*ACanvas);
        if (!ACanvas->set_clip(damage_)) return false;
        // Outside the damage every text draws what it drew last time, so the picture there is
        // already right; inside, every text that can reach it is drawn again, in the same order.
        for (std::size_t i = MyShapes.size(); i-- > 0;) {
            const std::optional<ui::Rect>& r = reach(drawn_texts_[i]);
            const bool touches =
                !r || std::any_of(damage_.begin(), damage_.end(),
                                  [&](const ui::Rect& d) { return overlaps(*r, d); });
            if (touches) MyShapes[i]->Draw();
        }
    }
    for (const ui::Rect& r : damage_)
        drawn_->copy_from(*ACanvas, r.left, r.top, r.right - r.left, r.bottom - r.top);
    return true;
}

void TMyCanvasText::leave_setups(const ui::PenSpec& pen, const ui::BrushSpec& brush,
                                 const ui::FontSpec& font) {
    ACanvas->set_pen(pen);
    ACanvas->set_brush(brush);
    ACanvas->set_font(font);
    if (MyShapes.empty()) return;
    // The oldest text is drawn last; handles leave their brush colour to every later text.
    const TMyShape& last = *MyShapes.front();
    ui::BrushSpec b = brush;
    for (const auto& s : MyShapes)
        if (s->Selected) b.color = shared_.SharedColorOfHot;
    ACanvas->set_font(last.Font);
    if (last.Selected) {
        ACanvas->set_pen(ui::PenSpec{shared_.SharedColorOfHot, last.Pen.width, ui::PenStyle::Solid,
                                     ui::RasterMode::NotXor});
        ACanvas->set_brush(ui::BrushSpec{shared_.SharedColorOfHot, ui::BrushStyle::Solid});
    } else {
        ACanvas->set_pen(
            ui::PenSpec{last.Pen.color, last.Pen.width, last.Pen.style, ui::RasterMode::Copy});
        b.style = ui::BrushStyle::Clear;
        ACanvas->set_brush(b);
    }
}

bool TMyCanvasText::redraw_from_cache() {
    if (!drawn_valid_ || drawn_on_ != ACanvas || !drawn_ || ACanvas->width() != drawn_->width() ||
        ACanvas->height() != drawn_->height())
        return false;
    if (shared_.SharedShadow != drawn_settings_.SharedShadow ||
        shared_.SharedColorOfShadow != drawn_settings_.SharedColorOfShadow ||
        shared_.SharedColorOfHot != drawn_settings_.SharedColorOfHot)
        return false;
    const ui::PenSpec pen = ACanvas->pen();
    const ui::BrushSpec brush = ACanvas->brush();
    const ui::FontSpec font = ACanvas->font();
    if (!collect_damage() || !repair_damage()) {
        // The full redraw starts from the set-ups it would have found.
        drawn_valid_ = false;
        ACanvas->set_pen(pen);
        ACanvas->set_brush(brush);
        ACanvas->set_font(font);
        return false;
    }
    leave_setups(pen, brush, font);
    return true;
}

void TMyCanvasText::remember_redraw() {
    drawn_valid_ = false;
    for (const auto& s : MyShapes)
        if (s->FCanvas != ACanvas) return;  // drawn elsewhere: not all of it is on ACanvas
    const int w = Saveold->width(), h = Saveold->height();
    if (!drawn_ || drawn_->width() != w || drawn_->height() != h)
        drawn_ = ACanvas->make_bitmap(w, h);
    drawn_->copy_from(*ACanvas, 0, 0, w, h);
    drawn_on_ = ACanvas;
    drawn_settings_ = shared_;
    drawn_texts_.clear();
    for (const auto& s : MyShapes) drawn_texts_.push_back(drawn_text(*s));
    drawn_valid_ = true;
}

void TMyCanvasText::DrawAllShape() {
    const bool whole = ACanvas && Saveold;
    if (whole && redraw_from_cache()) return;
    if (whole) ACanvas->copy_from(*Saveold, 0, 0, Saveold->width(), Saveold->height());
    for (auto it = MyShapes.rbegin(); it != MyShapes.rend(); ++it) (*it)->Draw();
    if (whole) remember_redraw();
}

TMyShape* TMyCanvasText::shape_at(int index) const {
    if (index < 0 || index >= GetShapesCount()) return nullptr;
    return MyShapes[static_cast<std::size_t>(index)].get();
}

const TMyShape* TMyCanvasText::GetShape(int index) const { return shape_at(index); }

int TMyCanvasText::GetSelectedShape() const {
    for (int i = GetShapesCount() - 1; i >= 0; --i)
        if (MyShapes[static_cast<std::size_t>(i)]->Selected) return i;
    return -1;
}

void TMyCanvasText::SelectShape(int index) {
    TMyShape* s = shape_at(index);
    if (!s) return;
    s->Selected = true;
    DrawAllShape();
}

std::wstring TMyCanvasText::GetShapeText(int ShapeID) const {
    const TMyShape* s = shape_at(ShapeID);
    return s ? s->Info : std::wstring();
}

bool TMyCanvasText::SetSelectedShapeText(std::wstring_view Text) {
    const int i = GetSelectedShape();
    return i >= 0 && SetShapeText(i, Text);
}

template <class Change>
bool TMyCanvasText::change_shape(int ShapeID, Change&& change) {
    TMyShape* s = shape_at(ShapeID);
    if (!s) return false;
    change(*s);
    s->Measure();
    DrawAllShape();
    return true;
}

bool TMyCanvasText::SetShapeText(int ShapeID, std::wstring_view Text) {
    return change_shape(ShapeID, [&](TMyShape& s) { s.Info = cap_info(Text); });
}

bool TMyCanvasText::SetShapeColor(int ShapeID, ui::Color color) {
    return change_shape(ShapeID, [&](TMyShape& s) { s.Font.color = color; });
}

bool TMyCanvasText::SetShapeSize(int ShapeID, int Value) {
    return change_shape(ShapeID, [&](TMyShape& s) { s.Font.set_size(Value); });
}

bool TMyCanvasText::SetShapeFont(int ShapeID, const ui::FontSpec& f) {
    return change_shape(ShapeID, [&](TMyShape& s) { s.Font = f; });
}

bool TMyCanvasText::SetShapeStyle(int ShapeID, ui::FontStyles st) {
    return change_shape(ShapeID, [&](TMyShape& s) { s.Font.style = st; });
}

bool TMyCanvasText::DeleteShape(int ShapeNo) {
    if (!shape_at(ShapeNo)) return false;
    std::unique_ptr<TMyShape> removed = std::move(MyShapes[static_cast<std::size_t>(ShapeNo)]);
    MyShapes.erase(MyShapes.begin() + ShapeNo);
    if (WorkingShape == removed.get()) WorkingShape = nullptr;
    removed.reset();
    DrawAllShape();
    return true;
}

bool TMyCanvasText::DeleteSelectedShape() {
    const bool deleted = DeleteShape(GetSelectedShape());
    DrawAllShape();
    return deleted;
}

void TMyCanvasText::AddShape(std::unique_ptr<TMyShape> shape) {
    MyShapes.push_back(std::move(shape));
}

// ---- mouse ----

void TMyCanvasText::MouseDown(MouseButton Button, ui::ShiftState, int x, int y) {
    if (Button != MouseButton::Left) return;
    Origin = Point{x, y};
    MovePt = Origin;
    if (FActionTool == TActionTools::dtDrawing) {
        if (WorkingShape) WorkingShape->Deselect();
        if (FShapeTool != TDrawTool::SpText) return;
        creating_ = std::make_unique<TMyText>(shared_);
        WorkingShape = creating_.get();
        WorkingShape->ThePoints.push_back(Origin);
        WorkingShape->FCanvas = ACanvas;
        WorkingShape->Pen = FPen;
        WorkingShape->Font = FFont;
        MsDnTag = kGestureTracked;
        return;
    }
    if (FActionTool != TActionTools::dtSelecting) return;
    MsDnTag = kGestureTracked;
    if (WorkingShape && WorkingShape->Selected && WorkingShape->InWhichHot(Origin) >= 0) {
        FActionTool = TActionTools::dtResizing;
        return;
    }
    for (int i = GetShapesCount() - 1; i >= 0; --i) {
        TMyShape* s = MyShapes[static_cast<std::size_t>(i)].get();
        if (!s->IsClickedMe(Origin)) continue;
        FActionTool = TActionTools::dtDragging;
        s->Select();
        if (s != WorkingShape) {
            if (WorkingShape) WorkingShape->Deselect();
            WorkingShape = s;
        }
        return;
    }
}

void TMyCanvasText::draw_outline() {
    if (!WorkingShape) return;
    switch (FActionTool) {
        case TActionTools::dtDrawing:
            WorkingShape->Drawing(Origin, MovePt);
            break;
        case TActionTools::dtDragging:
            WorkingShape->Draging(Origin, MovePt);
            break;
        case TActionTools::dtResizing:
            WorkingShape->Sizing(Origin, MovePt);
            break;
        default:
            break;
    }
}

void TMyCanvasText::MouseMove(ui::ShiftState, int X, int Y) {
    if (FLabelXY) {
        CaptionBuffer buffer;
        FLabelXY->SetCaption(coordinate_caption(X, Y, buffer));
    }
    if (MsDnTag != kGestureTracked) return;
    draw_outline();  // erases the outline of the previous move
    MovePt = Point{X, Y};
    draw_outline();
}

void TMyCanvasText::MouseUp(MouseButton, ui::ShiftState, int x, int y) {
    MovePt = Point{x, y};
    if (MsDnTag == kGestureTracked) {
        switch (FActionTool) {
            case TActionTools::dtDrawing:
                // Only a text begun by a press in this mode is finished here; the shape that
                // happens to be the working one otherwise is already in the list.
                if (FShapeTool == TDrawTool::SpText && creating_ &&
                    WorkingShape == creating_.get()) {
                    WorkingShape->Info = cap_info(FText);
                    ui::Extent e;
                    if (WorkingShape->FCanvas) {
                        WorkingShape->FCanvas->set_font(FFont);
                        e = WorkingShape->FCanvas->text_extent(WorkingShape->Info);
                    }
                    MovePt = offset_point(Origin, e.cx, e.cy);
                    WorkingShape->ThePoints.push_back(MovePt);
                    WorkingShape->Select();
                    AddShape(std::move(creating_));
                    DrawAllShape();
                }
                break;
            case TActionTools::dtSelecting:
                DrawAllShape();
                break;
            case TActionTools::dtResizing:
                FActionTool = TActionTools::dtSelecting;
                if (WorkingShape) WorkingShape->ResizeChangeValue(Origin, MovePt);
                DrawAllShape();
                break;
            case TActionTools::dtDragging:
                FActionTool = TActionTools::dtSelecting;
                if (WorkingShape) WorkingShape->DragChangeValue(Origin, MovePt);
                DrawAllShape();
                break;
            default:
                break;
        }
    }
    MsDnTag = 0;
}

// ---- chaining ----

void TMyCanvasText::flush() {
    if (ACanvas) ACanvas->flush();
}

}  // namespace annotate::CanvasText
