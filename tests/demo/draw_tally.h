#pragma once

#include "figures/random.h"

#include <array>
#include <cstdint>
#include <stdexcept>

// How many numbers the shared generator has given out since seedRandom(seed),
// read off its state without disturbing the sequence. The numbers show bits
// 16 to 30 of the state; those and the bits below them follow from the
// lower bits alone, and the generator runs through all 2^31 values of its
// low 31 bits in turn, so the position is found bit by bit from the lowest.
inline uint32_t drawsSinceSeed(uint32_t seed) {
    constexpr uint32_t multiplier = 214013u;
    constexpr uint32_t increment = 2531011u;
    constexpr uint32_t low31 = 0x7FFFFFFFu;
    const auto step = [](uint32_t state) { return state * multiplier + increment; };
    const auto shown = [](uint32_t state) { return static_cast<int>((state >> 16) & 0x7FFFu); };

    std::array<int, 4> next;
    for (int& n : next) n = nextRandom();
    uint32_t found = 0;
    int matches = 0;
    for (uint32_t low = 0; low < 0x10000u; ++low) {
        uint32_t state = static_cast<uint32_t>(next[0]) << 16 | low;
        bool fits = true;
        for (std::size_t i = 1; i < next.size() && fits; ++i) {
            state = step(state);
            fits = shown(state) == next[i];
        }
        if (fits) {
            found = static_cast<uint32_t>(next[0]) << 16 | low;
            ++matches;
        }
    }
    if (matches != 1) throw std::logic_error("the generator's state does not follow from its numbers");
    uint32_t inverse = multiplier;
    for (int i = 0; i < 5; ++i) inverse *= 2u - multiplier * inverse;
    const uint32_t before = (found - increment) * inverse;
    seedRandom(before);

    // The state n steps after x: the step's affine map, squared as needed.
    const auto advance = [](uint32_t x, uint32_t n) {
        uint32_t a = multiplier;
        uint32_t c = increment;
        for (; n != 0; n >>= 1) {
            if (n & 1u) x = a * x + c;
            c = (a + 1u) * c;
            a *= a;
        }
        return x;
    };
    uint32_t draws = 0;
    for (uint32_t bit = 1; bit <= (low31 >> 1) + 1; bit <<= 1) {
        const uint32_t mask = (bit << 1) - 1u;
        if ((advance(seed, draws) ^ before) & mask & low31) draws |= bit;
    }
    return draws;
}
