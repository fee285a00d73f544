#include "annotate/store.h"

#include <limits>

namespace annotate {

namespace {

constexpr Point kBoxVertices[] = {{25, 25}, {100, 25}, {100, 100}, {25, 100}, {25, 25}};
constexpr Point kArrowVertices[] = {{25, 35}, {80, 80}};  // tip, tail

}  // namespace

PolyLine::TMyPolyLine* AnnotationStore::add(LineKind kind, Image* picture, ui::Color colour,
                                            int width) {
    int& count = kind == LineKind::Box ? box_count : arrow_count;
    if (count < std::numeric_limits<int>::max()) ++count;
    if (count > kStoreSlots) return nullptr;

    auto line = std::make_unique<PolyLine::TMyPolyLine>();
    PolyLine::TMyPolyLine* p = line.get();
    owned_.push_back(std::move(line));
    (kind == LineKind::Box ? boxes : arrows)[static_cast<std::size_t>(count - 1)] = p;

    p->SetAComponent(picture);
    p->Tag = static_cast<int>(kind);
    p->Pen().color = colour;
    p->Pen().width = width;
    if (kind == LineKind::Box)
        for (const Point& v : kBoxVertices) p->AddPoint(v);
    else
        for (const Point& v : kArrowVertices) p->AddPoint(v);
    p->ReDraw();
    p->SetShapeTool(PolyLine::TDrawTool::SpSelecting);
    return p;
}

int AnnotationStore::delete_selected() {
    int taken = 0;
    for (std::size_t i = 0; i < kStoreSlots; ++i) {
        for (Slots* slots : {&boxes, &arrows}) {
            PolyLine::TMyPolyLine*& p = (*slots)[i];
            if (p && p->isSelected()) {
                p->DeleteAllPoint();
                p = nullptr;
                ++taken;
            }
        }
    }
    return taken;
}

void AnnotationStore::clear() {
    box_count = 0;
    arrow_count = 0;
    for (std::size_t i = 0; i < kStoreSlots; ++i) {
        for (Slots* slots : {&boxes, &arrows}) {
            PolyLine::TMyPolyLine*& p = (*slots)[i];
            if (p) {
                p->DeleteAllPoint();
                p = nullptr;
            }
        }
    }
}

void AnnotationStore::destroy_all() {
    boxes.fill(nullptr);
    arrows.fill(nullptr);
    // Newest first, so each one is still the first of the chain it joined when it goes.
    while (!owned_.empty()) owned_.pop_back();
}

}  // namespace annotate
