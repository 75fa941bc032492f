#pragma once

#include <cstdint>
#include <random>

namespace show_data {

// Seeded numbers in 0..1 taken straight from the engine's output, so that
// every standard library gives the same data.
class SeededDraws {
public:
    explicit SeededDraws(uint32_t seed) : engine_(seed) {}
    float unit() { return static_cast<float>(engine_() >> 8) / 16777216.0f; }
    float between(float lo, float hi) { return lo + (hi - lo) * unit(); }

private:
    std::mt19937 engine_;
};

}  // namespace show_data
