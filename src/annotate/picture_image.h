// The note's picture control as an image the annotation components bind to: its mouse slots,
// and a GDI canvas over its bitmap that repaints the control where it was drawn on.
#pragma once

#include "annotate/image.h"
#include "ui/canvas.h"
#include "ui/picture.h"

namespace annotate {

class PictureImage : public Image {
  public:
    explicit PictureImage(ui::Picture& picture)
        : picture_(picture), canvas_(picture.bitmap(), picture.hwnd()) {}

    ui::MouseSlots& mouse() override { return picture_.mouse(); }
    ui::Surface* surface() override { return &canvas_; }
    // The picture's bitmap: all of it can be copied, nothing beyond it.
    int width() const override { return picture_.bitmap().width(); }
    int height() const override { return picture_.bitmap().height(); }

    ui::Picture& picture() { return picture_; }
    ui::Canvas& canvas() { return canvas_; }

  private:
    ui::Picture& picture_;
    ui::Canvas canvas_;
};

}  // namespace annotate
