#pragma once

#include "tools/show_data/dsp.h"

namespace show_data {

// What voices add into, one block long: the dry stereo mix and the mono
// sends to the reverb and the echo.
struct MixBus {
    float* left;
    float* right;
    float* reverb;
    float* echo;
};

// Where a mono voice sits in the mix.
struct Placement {
    Pan pan;
    float reverb;
    float echo;

    void add(const MixBus& bus, int i, float sample) const {
        bus.left[i] += sample * pan.left;
        bus.right[i] += sample * pan.right;
        bus.reverb[i] += sample * reverb;
        bus.echo[i] += sample * echo;
    }
};

// One sounding note of an instrument.
class Voice {
public:
    virtual ~Voice() = default;
    // Adds samples [from, to) of the block; false once it has died away.
    virtual bool render(const MixBus& bus, int from, int to) = 0;
    // The note-off. Drums ring out whatever comes.
    virtual void release() {}
};

}  // namespace show_data
