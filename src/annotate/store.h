// The boxes and arrows of a note: two tables of 20 slots. The n-th Add since the last Clear
// fills slot n - 1, and an emptied slot stays empty until Clear, so at most 20 of each are added
// between two Clears whatever is deleted in between.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "annotate/image.h"
#include "annotate/polyline.h"
#include "ui/surface.h"

namespace annotate {

inline constexpr int kStoreSlots = 20;

enum class LineKind { Box = 1, Arrow = 2 };  // the polyline's Tag

class AnnotationStore {
  public:
    using Slots = std::array<PolyLine::TMyPolyLine*, kStoreSlots>;

    AnnotationStore() = default;
    AnnotationStore(const AnnotationStore&) = delete;
    AnnotationStore& operator=(const AnnotationStore&) = delete;

    // Counts one Add. Up to the 20th since the last Clear it creates the polyline in the next
    // slot, bound to picture (so it is the first to get the picture's mouse events), with the
    // given pen and the kind's starting vertices, draws it and puts it in the selecting mode;
    // after that it creates nothing and returns none.
    PolyLine::TMyPolyLine* add(LineKind kind, Image* picture, ui::Color colour, int width);

    // Takes every selected box and arrow out of its slot (its vertices are removed; the object
    // stays owned here and in the picture's chain). Returns how many were taken out.
    int delete_selected();
    // Counters back to 0 and every slot emptied the same way.
    void clear();
    // Frees every polyline ever created. The picture must no longer route events to them.
    void destroy_all();

    // Every polyline created and not yet freed, in and out of the slots.
    std::size_t owned_count() const { return owned_.size(); }

    Slots boxes{};
    Slots arrows{};
    int box_count = 0;
    int arrow_count = 0;

  private:
    std::vector<std::unique_ptr<PolyLine::TMyPolyLine>> owned_;
};

}  // namespace annotate
