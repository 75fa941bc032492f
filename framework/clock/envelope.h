#pragma once

#include "framework/triggers/triggerable.h"

#include <initializer_list>
#include <vector>

// A keyframe track of (value, ms) keys, linearly interpolated against the
// time since it was last started.
class Envelope : public Triggerable {
public:
    struct Key {
        float value;
        int time;
    };

    explicit Envelope(float defaultValue);
    ~Envelope() override = default;

    virtual void start(int ignored);
    void trigger(int value) override { start(value); }
    void trigger() override { start(0); }
    virtual void stop();
    virtual void addKey(float value, int time);
    // addKey for each, in order.
    void addKeys(std::initializer_list<Key> keys);
    virtual float valueAt(int elapsed);
    virtual float value();

    bool isEnabled() const { return enabled_; }
    int startTime() const { return startTime_; }

protected:
    struct Segment {
        float slope;
        int duration;
    };

    float evaluate(int t) const;
    const std::vector<Key>& keys() const { return keys_; }

private:
    void rebuildSegments();

    bool enabled_ = false;
    float defaultValue_;
    bool cacheValid_ = false;
    float cachedValue_ = 0.0f;
    int cachedTime_ = -1;
    int startTime_ = 0;
    std::vector<Key> keys_;
    std::vector<Segment> segments_;
};
