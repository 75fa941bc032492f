#pragma once

// One contraction of a creature's limb: strong at its start and end, slack in
// the middle, over a random period. Times are ms of the Timer.
class MuscleTimer {
public:
    // Starts a new contraction with fresh random shape; six draws.
    void restart();
    void stop() { done_ = true; }
    // Marks the contraction done once its period has run out.
    bool isDone();
    // 0 when done, else between the contraction's floor and 1.
    float contraction();

private:
    float start_ = 0.0f;
    float period_ = 1000.0f;
    bool done_ = true;
    float factor_ = 2.0f;
    // Holds at full amplitude for the first 300 ms.
    bool hold_ = false;
    float amplitude_ = 6.0f;
    float curve_ = 1.0f;
    float floor_ = 0.03f;
};
