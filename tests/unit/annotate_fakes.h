// Test doubles for the annotation components: a surface that records what is drawn and an image
// with three mouse slots.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "annotate/image.h"
#include "ui/surface.h"

namespace annotate_test {

struct Op {
    enum Kind { Move, Line, Fill, Text, Copy, Clip } kind;
    int a = 0, b = 0, c = 0, d = 0;  // Move/Line: x, y (Line also from c, d); Fill: l, t, r, b
    ui::PenSpec pen;
    ui::BrushSpec brush;
    ui::FontSpec font;
    std::wstring text;
    const ui::Surface* source = nullptr;
    std::vector<ui::Rect> clip;  // Clip: the areas, none when the clip is cleared
};

// Measures text as 7 pixels per unit wide and |font height| + 2 high, so tests can compute
// extents without a font engine.
class FakeSurface : public ui::Surface {
  public:
    FakeSurface(int w = 300, int h = 200) : w_(w), h_(h) {}

    int width() const override { return w_; }
    int height() const override { return h_; }
    const ui::PenSpec& pen() const override { return pen_; }
    void set_pen(const ui::PenSpec& p) override { pen_ = p; }
    const ui::BrushSpec& brush() const override { return brush_; }
    void set_brush(const ui::BrushSpec& b) override { brush_ = b; }
    const ui::FontSpec& font() const override { return font_; }
    void set_font(const ui::FontSpec& f) override { font_ = f; }
    void move_to(int x, int y) override {
        cx_ = x;
        cy_ = y;
        ops.push_back(make(Op::Move, x, y, 0, 0));
    }
    void line_to(int x, int y) override {
        ops.push_back(make(Op::Line, x, y, cx_, cy_));
        cx_ = x;
        cy_ = y;
    }
    void fill_rect(int l, int t, int r, int b) override {
        ops.push_back(make(Op::Fill, l, t, r, b));
    }
    void text_out(int x, int y, std::wstring_view text) override {
        Op op = make(Op::Text, x, y, 0, 0);
        op.text = text;
        ops.push_back(op);
    }
    ui::Extent text_extent(std::wstring_view text) override {
        return ui::Extent{7 * static_cast<int>(text.size()),
                          (font_.height < 0 ? -font_.height : font_.height) + 2};
    }
    // The extent, as if glyphs never overhung it; unbounded_text has no bound.
    std::optional<ui::Rect> text_ink(std::wstring_view text) override {
        if (text == unbounded_text) return std::nullopt;
        const ui::Extent e = text_extent(text);
        return ui::Rect{0, 0, e.cx, e.cy};
    }
    bool set_clip(std::span<const ui::Rect> rects) override {
        Op op = make(Op::Clip, 0, 0, 0, 0);
        op.clip.assign(rects.begin(), rects.end());
        ops.push_back(op);
        return true;
    }
    void clear_clip() override { ops.push_back(make(Op::Clip, 0, 0, 0, 0)); }
    void copy_from(const ui::Surface& src, int x, int y, int w, int h) override {
        Op op = make(Op::Copy, x, y, w, h);
        op.source = &src;
        ops.push_back(op);
    }
    std::unique_ptr<ui::Surface> make_bitmap(int w, int h) const override {
        return std::make_unique<FakeSurface>(w, h);
    }
    void flush() override { ++flushes; }

    std::vector<Op> of(Op::Kind k) const {
        std::vector<Op> r;
        for (const Op& o : ops)
            if (o.kind == k) r.push_back(o);
        return r;
    }

    std::vector<Op> ops;
    int flushes = 0;
    std::wstring unbounded_text = L"\x221E";  // the infinity sign

  private:
    Op make(Op::Kind k, int a, int b, int c, int d) const {
        Op op{k, a, b, c, d, pen_, brush_, font_, {}, nullptr, {}};
        return op;
    }
    int w_, h_;
    ui::PenSpec pen_;
    ui::BrushSpec brush_;
    ui::FontSpec font_;
    int cx_ = 0, cy_ = 0;
};

class FakeImage : public annotate::Image {
  public:
    explicit FakeImage(bool with_surface = true, int w = 300, int h = 200)
        : surface_(w, h), with_surface_(with_surface) {}
    ui::MouseSlots& mouse() override { return slots; }
    ui::Surface* surface() override { return with_surface_ ? &surface_ : nullptr; }
    int width() const override { return surface_.width(); }
    int height() const override { return surface_.height(); }
    FakeSurface& canvas() { return surface_; }

    // What a real picture does with its events.
    void down(ui::MouseButton b, int x, int y) { slots.down(this, b, 0, x, y); }
    void move(int x, int y) { slots.move(this, 0, x, y); }
    void up(ui::MouseButton b, int x, int y) { slots.up(this, b, 0, x, y); }

    ui::MouseSlots slots;

  private:
    FakeSurface surface_;
    bool with_surface_;
};

// A handler routine that records its calls into a log, tagged with a name; optionally throws.
struct Recorder {
    std::vector<std::string>* log;
    std::string name;
    bool throws = false;

    static void down(void* t, void*, ui::MouseButton, ui::ShiftState, int, int) {
        auto* r = static_cast<Recorder*>(t);
        r->log->push_back(r->name + ".down");
        if (r->throws) throw std::runtime_error("handler failed");
    }
    static void up(void* t, void*, ui::MouseButton, ui::ShiftState, int, int) {
        auto* r = static_cast<Recorder*>(t);
        r->log->push_back(r->name + ".up");
        if (r->throws) throw std::runtime_error("handler failed");
    }
    static void move(void* t, void*, ui::ShiftState, int, int) {
        auto* r = static_cast<Recorder*>(t);
        r->log->push_back(r->name + ".move");
        if (r->throws) throw std::runtime_error("handler failed");
    }
    ui::MouseSlots slots() { return {{&down, this}, {&move, this}, {&up, this}}; }
};

}  // namespace annotate_test
