#pragma once

#include "figures/random.h"

#include <array>
#include <cstdint>

// How many numbers the shared generator has given out since seedRandom(seed)
// (at most limit), found by replaying the sequence; -1 when not found.
// Takes further draws itself.
inline int drawsSince(uint32_t seed, int limit = 400000) {
    std::array<int, 4> next;
    for (int& v : next) v = nextRandom();
    seedRandom(seed);
    std::array<int, 4> window;
    for (int& v : window) v = nextRandom();
    for (int k = 0; k <= limit; ++k) {
        if (window == next) return k;
        for (int i = 0; i < 3; ++i) window[i] = window[i + 1];
        window[3] = nextRandom();
    }
    return -1;
}
