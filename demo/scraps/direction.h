#pragma once

#include <cmath>

#include "figures/vec2.h"

// The unit vector along v; a zero vector stays zero.
inline Vec2 directionOf(Vec2 v) {
    const float length = std::sqrt(v.x * v.x + v.y * v.y);
    return length != 0.0f ? Vec2{v.x / length, v.y / length} : v;
}
