// The decisions of the polyline component, apart from drawing: where a press hits, how the
// vertices of a box follow a dragged corner, and the index rules of the vertex list.
#pragma once

#include <span>
#include <vector>

#include "app/geometry.h"

namespace annotate {

using snipquill::Point;

// Pixels a press may lie off a line and still hit it.
inline constexpr int kLineTolerance = 4;

// p + (dx, dy), held inside the range of a coordinate instead of overflowing.
Point offset_point(Point p, long long dx, long long dy);

// a - b, held inside the range of a coordinate.
int difference(int a, int b);

// The highest index whose handle square (x - hot .. x + hot - 1, the same for y) holds p, or -1.
// Where squares overlap the later vertex wins: a box's closing vertex 4 over vertex 0.
int find_handle(std::span<const Point> points, Point p, int hot_size);

// A segment with equal x at both ends counts as vertical, and is hit only from
// a.x - 4 <= p.x < a.x + 4 and min(a.y, b.y) <= p.y < max(a.y, b.y).
inline bool is_vertical(Point a, Point b) { return a.x == b.x; }
bool on_vertical_segment(Point a, Point b, Point p, int tolerance = kLineTolerance);
// Any other segment is hit within 4 pixels measured vertically from the line through a and b,
// inside the rectangle spanned by a and b grown by 4 (left and top edges included).
bool on_slanted_segment(Point a, Point b, Point p, int tolerance = kLineTolerance);
inline bool on_segment(Point a, Point b, Point p, int tolerance = kLineTolerance) {
    return is_vertical(a, b) ? on_vertical_segment(a, b, p, tolerance)
                             : on_slanted_segment(a, b, p, tolerance);
}

// Moves vertex hot by (dx, dy). For a box (vertices 0 top-left, 1 top-right, 2 bottom-right,
// 3 bottom-left, 4 on top of 0) the neighbours follow so the outline stays an axis-parallel
// rectangle. Vertices that do not exist are left out; an index out of range moves nothing.
void move_hot_vertex(std::span<Point> points, int hot, int dx, int dy, bool box);

// Inserts p after vertex id (id -1: at the front). False for id outside -1 .. size - 1.
bool insert_after(std::vector<Point>& points, int id, Point p);
// False for id outside 0 .. size - 1.
bool erase_at(std::vector<Point>& points, int id);
bool offset_at(std::span<Point> points, int id, int dx, int dy);
// Index of the first vertex equal to p, or -1.
int index_of(std::span<const Point> points, Point p);

}  // namespace annotate
