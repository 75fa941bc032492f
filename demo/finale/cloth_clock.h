#pragma once

// Ms since the cloth's first look at the clock, so that the simulation
// starts with the finale's first frame rather than with the scene.
class ClothClock {
public:
    // The first call starts the clock and returns 0.
    float read();
    bool isStarted() const { return start_ >= 0.0f; }

private:
    float start_ = -1.0f;
};
