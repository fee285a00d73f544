#include "about/starfield.h"

#include <algorithm>

namespace about {

Starfield::Starfield(int width, int height, int count, std::uint32_t seed)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), state_(seed ? seed : 1) {
    stars_.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        Star s;
        s.x = static_cast<int>(next() % static_cast<std::uint32_t>(width_));
        s.y = static_cast<int>(next() % static_cast<std::uint32_t>(height_));
        s.speed = 1 + static_cast<int>(next() % 3);
        s.brightness = static_cast<std::uint8_t>(95 + 80 * s.speed);
        stars_.push_back(s);
    }
}

std::uint32_t Starfield::next() {
    // xorshift32: cheap and the same on every platform
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

void Starfield::advance() {
    for (Star& s : stars_) {
        s.x -= s.speed;
        if (s.x < 0) {
            s.x += width_;
            s.y = static_cast<int>(next() % static_cast<std::uint32_t>(height_));
        }
    }
}

}  // namespace about
