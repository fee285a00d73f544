// The About box's star field: stars drifting leftwards at different speeds, wrapping round at
// the edge. Platform-free; the box draws the stars and advances them on its timer.
#pragma once

#include <cstdint>
#include <vector>

namespace about {

inline constexpr int kStarfieldFrameMs = 33;  // about 30 frames a second

struct Star {
    int x = 0;
    int y = 0;
    int speed = 1;                  // pixels per frame, 1 (far, dim) to 3 (near, bright)
    std::uint8_t brightness = 255;  // grey level
};

class Starfield {
  public:
    Starfield(int width, int height, int count, std::uint32_t seed = 1);
    // One frame: every star moves left by its speed; one that leaves the field comes back at
    // the right edge on a new row.
    void advance();
    const std::vector<Star>& stars() const { return stars_; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    std::uint32_t next();

    int width_;
    int height_;
    std::uint32_t state_;
    std::vector<Star> stars_;
};

}  // namespace about
