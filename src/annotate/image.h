// What a drawing component binds to: an image control with three mouse-handler slots and a
// drawing surface over its picture. The note's picture is one (PictureImage); tests use fakes.
#pragma once

#include "annotate/component.h"
#include "ui/mouse_events.h"
#include "ui/surface.h"

namespace annotate {

class Image : public TComponent {
  public:
    virtual ui::MouseSlots& mouse() = 0;
    // The drawing surface over the image's picture, or none when it cannot supply one.
    virtual ui::Surface* surface() = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
};

}  // namespace annotate
