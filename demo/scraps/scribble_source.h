#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "demo/scraps/position_source.h"

// 50000 points computed at start-up that pile up from below the bottom of
// the screen like a growing scribble, handed out in bursts of six with short
// holds between them and longer pauses every few seconds.
class ScribbleSource : public PositionSource {
public:
    static constexpr int kSamples = 50000;
    static constexpr int kColumns = 1000;
    // Points of a burst after its first.
    static constexpr int kBurstSize = 5;

    ScribbleSource();

    bool hasMore() override;
    Vec2 next() override;

    const std::vector<Vec2>& samples() const { return samples_; }

private:
    void buildCeiling();
    void addSample(int round);

    std::vector<Vec2> samples_;
    std::size_t cursor_ = 0;
    // Per column: the highest the pile may reach (ceiling) and how high it
    // has grown (floor); screen y grows downward.
    std::array<float, kColumns> ceiling_{};
    std::array<float, kColumns> floor_{};
    float bandLow_ = 200.0f;
    float bandHigh_ = 200.0f;
    int burstCount_ = 0;
    int pauseStart_ = 0;
    int pauseEnd_ = 0;
    int holdUntil_ = 0;
};
