#pragma once

#include <cmath>
#include <cstdint>

// Helpers for 32-bit pixels whose bytes run blue, green, red, spare in memory.

inline int clampToByte(int value) { return value < 0 ? 0 : value > 255 ? 255 : value; }

// Rounds a channel of 0..255 to a byte; out-of-range and NaN values clamp.
inline uint32_t roundToByte(double value) {
    if (!(value > 0.0)) return 0;
    if (value >= 255.0) return 255;
    return static_cast<uint32_t>(value + 0.5);
}

// floor(v + 0.5) held to [low, high]; NaN gives low. The clamp comes before
// the conversion, so huge coordinates stay defined.
inline int clampedRound(double value, int low, int high) {
    double rounded = std::floor(value + 0.5);
    if (!(rounded > low)) return low;
    if (rounded >= high) return high;
    return static_cast<int>(rounded);
}

inline uint32_t pixelWord(uint32_t red, uint32_t green, uint32_t blue) { return blue | green << 8 | red << 16; }

inline uint32_t redOf(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
inline uint32_t greenOf(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
inline uint32_t blueOf(uint32_t pixel) { return pixel & 0xFF; }
