#pragma once

#include <cstdint>

// The program's one random generator. Every random choice of the show draws
// from it, so the order of draws decides what every figure looks like: keep
// the recurrence and the call order exactly as they are.

// A run of the generator's numbers from a given state. The program's
// generator is one of these; a copy of its state replays the numbers it gave
// from there, without moving the program's generator.
class RandomSequence {
public:
    explicit RandomSequence(uint32_t state) : state_(state) {}

    uint32_t state() const { return state_; }
    // The next number, 0..32767.
    int next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }
    // See randomRange.
    float range(float lo, float hi) { return rangeAt(nextStep(), lo, hi); }
    // randomRange in two steps, for whoever keeps the draw instead of the
    // float: the step the next number gives, 0..9999, and what the range
    // makes of a step.
    int nextStep() { return next() % kSteps; }
    static float rangeAt(int step, float lo, float hi);

    static constexpr int kSteps = 10000;

private:
    uint32_t state_;
};

// The program's generator; it starts as if seeded with 1.
RandomSequence& sharedRandom();

// Restarts the sequence.
void seedRandom(uint32_t seed);

// The next number of the sequence, 0..32767.
inline int nextRandom() { return sharedRandom().next(); }

// lo + (hi - lo) * u with u one of 0, 0.0001 .. 0.9999; hi itself never comes
// out, and lo > hi runs downward. One draw.
inline float randomRange(float lo, float hi) { return sharedRandom().range(lo, hi); }

// A one-in-n chance. Below 1 it is never true and draws nothing.
bool oneIn(float n);

// An integer in [a, b - 1] as a float. An empty range (b <= a) gives a, still
// taking its draw so that the sequence stays in step.
float randomInt(int a, int b);
