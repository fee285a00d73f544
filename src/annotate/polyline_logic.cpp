#include "annotate/polyline_logic.h"

#include <algorithm>
#include <limits>

namespace annotate {

namespace {

int clamp_coordinate(long long v) {
    return static_cast<int>(
        std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool in_range(std::size_t size, int id) { return id >= 0 && static_cast<std::size_t>(id) < size; }

}  // namespace

Point offset_point(Point p, long long dx, long long dy) {
    return Point{clamp_coordinate(p.x + dx), clamp_coordinate(p.y + dy)};
}

int difference(int a, int b) { return clamp_coordinate(static_cast<long long>(a) - b); }

int find_handle(std::span<const Point> points, Point p, int hot_size) {
    int found = -1;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const long long x = points[i].x, y = points[i].y;
        if (x - hot_size <= p.x && p.x < x + hot_size && y - hot_size <= p.y && p.y < y + hot_size)
            found = static_cast<int>(i);
    }
    return found;
}

bool on_vertical_segment(Point a, Point b, Point p, int tolerance) {
    const long long x = a.x;
    return x - tolerance <= p.x && p.x < x + tolerance && std::min(a.y, b.y) <= p.y &&
           p.y < std::max(a.y, b.y);
}

bool on_slanted_segment(Point a, Point b, Point p, int tolerance) {
    const double y_line = static_cast<double>(a.y) + (static_cast<double>(b.y) - a.y) /
                                                         (static_cast<double>(b.x) - a.x) *
                                                         (static_cast<double>(p.x) - a.x);
    if (!(y_line - tolerance <= p.y && p.y <= y_line + tolerance)) return false;
    const long long left = std::min(a.x, b.x) - static_cast<long long>(tolerance);
    const long long right = std::max(a.x, b.x) + static_cast<long long>(tolerance);
    const long long top = std::min(a.y, b.y) - static_cast<long long>(tolerance);
    const long long bottom = std::max(a.y, b.y) + static_cast<long long>(tolerance);
    return left <= p.x && p.x < right && top <= p.y && p.y < bottom;
}

void move_hot_vertex(std::span<Point> points, int hot, int dx, int dy, bool box) {
    if (!in_range(points.size(), hot)) return;
    auto move = [&](int i, int mx, int my) {
        if (in_range(points.size(), i)) points[i] = offset_point(points[i], mx, my);
    };
    move(hot, dx, dy);
    if (!box) return;
    switch (hot) {
        case 0:
            move(1, 0, dy);
            move(3, dx, 0);
            move(4, dx, dy);
            break;
        case 1:
            move(0, 0, dy);
            move(2, dx, 0);
            move(4, 0, dy);
            break;
        case 2:
            move(1, dx, 0);
            move(3, 0, dy);
            break;
        case 3:
            move(0, dx, 0);
            move(2, 0, dy);
            move(4, dx, 0);
            break;
        case 4:
            move(0, dx, dy);
            move(1, 0, dy);
            move(3, dx, 0);
            break;
        default:
            break;
    }
}

bool insert_after(std::vector<Point>& points, int id, Point p) {
    if (id < -1 || id >= static_cast<int>(points.size())) return false;
    points.insert(points.begin() + (id + 1), p);
    return true;
}

bool erase_at(std::vector<Point>& points, int id) {
    if (!in_range(points.size(), id)) return false;
    points.erase(points.begin() + id);
    return true;
}

bool offset_at(std::span<Point> points, int id, int dx, int dy) {
    if (!in_range(points.size(), id)) return false;
    points[id] = offset_point(points[id], dx, dy);
    return true;
}

int index_of(std::span<const Point> points, Point p) {
    const auto it = std::find(points.begin(), points.end(), p);
    return it == points.end() ? -1 : static_cast<int>(it - points.begin());
}

}  // namespace annotate
