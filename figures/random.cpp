#include "figures/random.h"

namespace {

RandomSequence shared(1);

}  // namespace

float RandomSequence::rangeAt(int step, float lo, float hi) {
    // The fraction is kept as a float and only then scaled in double: the
    // rounding of that float is part of every figure's numbers.
    float u = static_cast<float>(step / 10000.0);
    return static_cast<float>(lo + (static_cast<double>(hi) - lo) * u);
}

RandomSequence& sharedRandom() { return shared; }

void seedRandom(uint32_t seed) { shared = RandomSequence(seed); }

bool oneIn(float n) {
    if (n < 1.0f) return false;
    return randomRange(0.0f, n) < 1.0f;
}

float randomInt(int a, int b) {
    int draw = nextRandom();
    int64_t span = static_cast<int64_t>(b) - a;
    if (span <= 0) return static_cast<float>(a);
    return static_cast<float>(draw % span + a);
}
