// framework/clock: the scene timer, envelopes and timed triggers; uses window, triggers.
#pragma once

#include <cstdint>

// The program's one clock: milliseconds since the current scene was entered,
// and the frame number at a fixed rate.
class Timer {
public:
    static Timer& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();
    virtual ~Timer() = default;

    uint32_t now() const;
    void reset();
    void update();
    void step();

    int timeToFrame(int ms) const;
    int frameToTime(int frame) const;

    void setRate(float rate) { rate_ = rate; }
    void setFixedStep(bool on) { fixedStep_ = on; }

    int getTime() const { return time_; }
    int getFrame() const { return frame_; }
    int getDeltaTime() const { return deltaTime_; }
    int getDeltaFrames() const { return deltaFrames_; }

protected:
    Timer();

private:
    void takeDeltas();

    uint32_t start_ = 0;
    int32_t time_ = 0;
    int32_t frame_ = 0;
    int32_t deltaTime_ = 0;
    int32_t deltaFrames_ = 0;
    int32_t previousTime_ = 0;
    int32_t previousFrame_ = 0;
    float rate_ = 71.0f;
    bool fixedStep_ = false;
};
