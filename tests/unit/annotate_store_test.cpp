#include <gtest/gtest.h>

#include "annotate/store.h"
#include "annotate_fakes.h"

using namespace annotate;
using annotate_test::FakeImage;
using annotate_test::Op;

namespace {

int filled(const AnnotationStore::Slots& s) {
    int n = 0;
    for (auto* p : s) n += p != nullptr;
    return n;
}

TEST(Store, NewBoxAndArrow) {
    FakeImage image;
    AnnotationStore store;
    PolyLine::TMyPolyLine* box = store.add(LineKind::Box, &image, ui::rgb(255, 0, 0), 2);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(store.boxes[0], box);
    EXPECT_EQ(box->Tag, 1);
    EXPECT_EQ(box->GetPoints(),
              (std::vector<Point>{{25, 25}, {100, 25}, {100, 100}, {25, 100}, {25, 25}}));
    EXPECT_EQ(box->Pen(),
              (ui::PenSpec{ui::rgb(255, 0, 0), 2, ui::PenStyle::Solid, ui::RasterMode::Copy}));
    EXPECT_EQ(box->GetActionTool(), PolyLine::TActionTools::dtSelecting);
    EXPECT_FALSE(box->isSelected());
    EXPECT_EQ(box->AComponent(), &image);
    EXPECT_EQ(image.canvas().of(Op::Line).size(), 4u);  // drawn once, unselected
    EXPECT_TRUE(image.canvas().of(Op::Fill).empty());

    PolyLine::TMyPolyLine* arrow = store.add(LineKind::Arrow, &image, ui::rgb(0, 0, 255), 5);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(store.arrows[0], arrow);
    EXPECT_EQ(arrow->Tag, 2);
    EXPECT_EQ(arrow->GetPoints(), (std::vector<Point>{{25, 35}, {80, 80}}));
    EXPECT_EQ(arrow->Pen().width, 5);
    EXPECT_EQ(store.box_count, 1);
    EXPECT_EQ(store.arrow_count, 1);
}

TEST(Store, SlotRules) {
    FakeImage image;
    AnnotationStore store;
    for (int i = 0; i < 3; ++i) store.add(LineKind::Box, &image, 0, 1);
    store.boxes[1]->BeSelected();
    EXPECT_EQ(store.delete_selected(), 1);
    EXPECT_EQ(store.boxes[1], nullptr);
    EXPECT_EQ(store.box_count, 3);  // the counter is not changed
    // The fourth fills slot 3; slot 1 stays empty until Clear.
    store.add(LineKind::Box, &image, 0, 1);
    EXPECT_NE(store.boxes[3], nullptr);
    EXPECT_EQ(store.boxes[1], nullptr);

    for (int i = 4; i < 20; ++i) EXPECT_NE(store.add(LineKind::Box, &image, 0, 1), nullptr);
    EXPECT_EQ(filled(store.boxes), 19);
    // After 20 boxes deleting some does not allow another.
    store.boxes[5]->BeSelected();
    EXPECT_EQ(store.delete_selected(), 1);
    const std::size_t owned = store.owned_count();
    EXPECT_EQ(store.add(LineKind::Box, &image, 0, 1), nullptr);
    EXPECT_EQ(store.add(LineKind::Box, &image, 0, 1), nullptr);
    EXPECT_EQ(store.box_count, 22);  // every press counts
    EXPECT_EQ(store.owned_count(), owned);
    EXPECT_EQ(filled(store.boxes), 18);
    // Arrows have their own count.
    EXPECT_NE(store.add(LineKind::Arrow, &image, 0, 1), nullptr);

    store.clear();
    EXPECT_EQ(store.box_count, 0);
    EXPECT_EQ(store.arrow_count, 0);
    EXPECT_EQ(filled(store.boxes) + filled(store.arrows), 0);
    EXPECT_NE(store.add(LineKind::Box, &image, 0, 1), nullptr);
    EXPECT_NE(store.boxes[0], nullptr);
}

TEST(Store, TakenOutPolylinesStayInTheChainButDoNothing) {
    FakeImage image;
    AnnotationStore store;
    PolyLine::TMyPolyLine* box = store.add(LineKind::Box, &image, 0, 1);
    PolyLine::TMyPolyLine* arrow = store.add(LineKind::Arrow, &image, 0, 1);
    arrow->BeSelected();
    box->BeSelected();
    EXPECT_EQ(store.delete_selected(), 2);
    EXPECT_EQ(box->GetPointsCount(), 0);
    EXPECT_EQ(arrow->GetPointsCount(), 0);
    EXPECT_EQ(store.owned_count(), 2u);  // not destroyed
    image.canvas().ops.clear();
    image.down(ui::MouseButton::Left, 60, 27);
    image.move(70, 30);
    image.up(ui::MouseButton::Left, 70, 30);
    EXPECT_TRUE(image.canvas().of(Op::Line).empty());
    EXPECT_TRUE(image.canvas().of(Op::Fill).empty());
    EXPECT_EQ(store.delete_selected(), 0);

    image.slots = {};
    store.destroy_all();
    EXPECT_EQ(store.owned_count(), 0u);
}

}  // namespace
