// The note window's side of the annotation: its components and their binding to the picture,
// the box and arrow operations the palette calls, and the redraw after every mouse release.
// Before FormCreate there is no picture: the operations then do nothing.
#include "annotate/arrowhead.h"
#include "app/note_window.h"

namespace app {

using annotate::kStoreSlots;
using annotate::LineKind;
namespace CanvasText = annotate::CanvasText;
namespace PolyLine = annotate::PolyLine;

void TForm1::create_annotation() {
    image1_ = std::make_unique<annotate::PictureImage>(*image_);
    // The picture's own release handler goes in first, so it is the last one of the chain.
    image_->mouse().up = ui::MouseButtonHandler{&TForm1::image1_mouse_up, this};

    MyCanvasText1_ = std::make_unique<CanvasText::TMyCanvasText>(text_settings_);
    CanvasText::TMyCanvasText& text = *MyCanvasText1_;
    ui::FontSpec font;
    font.name = L"MS Sans Serif";
    font.height = -11;
    font.color = GetSysColor(COLOR_WINDOWTEXT);
    font.style = 0;
    text.SetFont(font);
    text.SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    text.SetColorofDrawing(0);
    text.SetColorOfShadow(0);
    text.SetColorOfHot(ui::rgb(128, 128, 128));
    text.SetShadow(false);
    text.SetAComponent(image1_.get());
    text.SetText(L"CanvasText");

    MyPolyLine1_ = std::make_unique<PolyLine::TMyPolyLine>();
    PolyLine::TMyPolyLine& line = *MyPolyLine1_;
    line.Pen().color = ui::rgb(0, 255, 0);
    line.SetColorofDrawing(ui::rgb(255, 255, 0));
    line.SetColorOfHot(ui::rgb(128, 128, 128));
    line.SetAComponent(image1_.get());
}

void TForm1::bind_annotation() {
    // In this order: the text component first, so MyPolyLine1 comes before it in the chain and
    // every box or arrow made before this capture is cut out of it.
    MyCanvasText1_->SetAComponent(image1_.get());
    MyPolyLine1_->SetAComponent(image1_.get());
}

void TForm1::release_annotation() {
    if (!image_) return;
    // No event may reach a component any more while they are freed.
    image_->mouse() = ui::MouseSlots{};
    store_.destroy_all();
}

void TForm1::show_drawing() {
    if (image1_) image1_->canvas().flush();
}

void TForm1::image1_mouse_up(void* self, void* sender, ui::MouseButton b, ui::ShiftState s, int x,
                             int y) {
    static_cast<TForm1*>(self)->Image1MouseUp(sender, b, s, x, y);
}

void TForm1::Image1MouseUp(void*, ui::MouseButton Button, ui::ShiftState, int, int) {
    if (Button == ui::MouseButton::Right) {
        // Deselect everything; the two handle toggles cancel out on the pixels.
        for (int i = 0; i < kStoreSlots; ++i) {
            for (PolyLine::TMyPolyLine* p : {store_.arrows[i], store_.boxes[i]}) {
                if (!p) continue;
                p->NotSelected();
                p->DrawHot();
            }
        }
    }
    draw_objects();
    MyCanvasText1_->SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    show_drawing();
}

void TForm1::draw_objects() {
    if (!image1_) return;
    for (PolyLine::TMyPolyLine* box : store_.boxes)
        if (box) box->ReDraw();
    for (int i = 1; i <= kStoreSlots; ++i) {
        if (PolyLine::TMyPolyLine* arrow = store_.arrows[i - 1]) {
            arrow->ReDraw();
            draw_arrowhead(i);
        }
    }
    show_drawing();
}

void TForm1::draw_arrowhead(int i) {
    if (i < 1 || i > kStoreSlots || !image1_) return;
    const PolyLine::TMyPolyLine* arrow = store_.arrows[i - 1];
    if (!arrow) return;
    annotate::draw_arrowhead(image1_->canvas(), *arrow, CadCalcGDI1_);
}

void TForm1::warning_beep() {
    if (services_.message_beep)
        services_.message_beep(MB_ICONWARNING);
    else
        MessageBeep(MB_ICONWARNING);
}

void TForm1::TeEffectButton4Click(ui::Color colour, int width) {
    if (!image1_) return;
    if (!store_.add(LineKind::Box, image1_.get(), colour, width)) {
        // Past the 20th since the last Clear nothing is made, but the user hears why.
        warning_beep();
        return;
    }
    MyCanvasText1_->SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    show_drawing();
}

void TForm1::TeEffectButton5Click(ui::Color colour, int width) {
    if (!image1_) return;
    if (!store_.add(LineKind::Arrow, image1_.get(), colour, width)) {
        warning_beep();
        return;
    }
    draw_arrowhead(store_.arrow_count);
    MyCanvasText1_->SetShapeTool(CanvasText::TDrawTool::SpSelecting);
    show_drawing();
}

void TForm1::TeEffectButton3Click() {
    if (!image1_) return;
    CanvasText::TMyCanvasText& text = *MyCanvasText1_;
    if (text.GetSelectedShape() != -1) {
        // A selected text goes first; boxes and arrows stay, selected or not.
        text.DeleteSelectedShape();
        if (text.GetShapesCount() > 0) text.SelectShape(text.GetShapesCount() - 1);
        draw_objects();
        return;
    }
    if (store_.delete_selected() == 0) return;
    redraw_background();
    text.DrawAllShape();
    draw_objects();
}

void TForm1::JvOfficeColorButton2ColorChange(ui::Color colour) {
    if (!image1_) return;
    for (PolyLine::TMyPolyLine* box : store_.boxes) {
        if (!box || !box->isSelected()) continue;
        box->Pen().color = colour;
        box->Draw();
    }
    show_drawing();
}

void TForm1::JvOfficeColorButton3ColorChange(ui::Color colour) {
    if (!image1_) return;
    for (int i = 1; i <= kStoreSlots; ++i) {
        PolyLine::TMyPolyLine* arrow = store_.arrows[i - 1];
        if (!arrow || !arrow->isSelected()) continue;
        arrow->Pen().color = colour;
        arrow->Draw();
        draw_arrowhead(i);
    }
    show_drawing();
}

void TForm1::TeEffectSpinEdit2Change(int width) {
    if (!image1_) return;
    for (PolyLine::TMyPolyLine* box : store_.boxes) {
        if (!box || !box->isSelected()) continue;
        redraw_background();
        box->Pen().width = width;
        MyCanvasText1_->DrawAllShape();
        draw_objects();
    }
}

void TForm1::TeEffectSpinEdit3Change(int width) {
    if (!image1_) return;
    for (PolyLine::TMyPolyLine* arrow : store_.arrows) {
        if (!arrow || !arrow->isSelected()) continue;
        redraw_background();
        arrow->Pen().width = width;
        MyCanvasText1_->DrawAllShape();
        draw_objects();
    }
}

}  // namespace app
