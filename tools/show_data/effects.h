#pragma once

#include <array>
#include <vector>

namespace show_data {

// An echo that bounces between left and right, each repeat darker and
// softer than the one before.
class PingPongEcho {
public:
    PingPongEcho(int delaySamples, float feedback);
    // Adds the echo of `input` to left and right.
    void process(float input, float& left, float& right);

private:
    std::vector<float> leftLine_, rightLine_;
    std::size_t position_ = 0;
    float feedback_;
    float damped_ = 0;
};

// A small room: parallel damped combs into series allpasses per side, the
// right side slightly longer for width.
class Reverb {
public:
    Reverb();
    void process(float input, float& left, float& right);

private:
    struct Comb {
        std::vector<float> line;
        std::size_t position = 0;
        float damped = 0;
        float process(float input);
    };
    struct Allpass {
        std::vector<float> line;
        std::size_t position = 0;
        float process(float input);
    };
    struct Side {
        std::array<Comb, 4> combs;
        std::array<Allpass, 2> allpasses;
        float process(float input);
    };

    Side left_, right_;
};

}  // namespace show_data
