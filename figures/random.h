#pragma once

#include <cstdint>

// The program's one random generator. Every random choice of the show draws
// from it, so the order of draws decides what every figure looks like: keep
// the recurrence and the call order exactly as they are.

// Restarts the sequence; the program starts as if seeded with 1.
void seedRandom(uint32_t seed);

// The next number of the sequence, 0..32767.
int nextRandom();

// lo + (hi - lo) * u with u one of 0, 0.0001 .. 0.9999; hi itself never comes
// out, and lo > hi runs downward. One draw.
float randomRange(float lo, float hi);

// A one-in-n chance. Below 1 it is never true and draws nothing.
bool oneIn(float n);

// An integer in [a, b - 1] as a float. An empty range (b <= a) gives a, still
// taking its draw so that the sequence stays in step.
float randomInt(int a, int b);
