#include "framework/clock/envelope.h"

#include "framework/clock/timer.h"

#include <cstddef>

Envelope::Envelope(float defaultValue) : defaultValue_(defaultValue) {}

void Envelope::start(int) {
    enabled_ = true;
    startTime_ = Timer::instance().getTime();
}

void Envelope::stop() { enabled_ = false; }

void Envelope::addKey(float value, int time) {
    keys_.push_back({value, time});
    rebuildSegments();
    cacheValid_ = false;
}

void Envelope::addKeys(std::initializer_list<Key> keys) {
    for (const Key& key : keys) addKey(key.value, key.time);
}

void Envelope::rebuildSegments() {
    segments_.clear();
    for (std::size_t i = 1; i < keys_.size(); ++i) {
        int duration = keys_[i].time - keys_[i - 1].time;
        float slope = (keys_[i].value - keys_[i - 1].value) / static_cast<float>(duration);
        segments_.push_back({slope, duration});
    }
}

float Envelope::valueAt(int elapsed) {
    if (!enabled_) return defaultValue_;
    if (cacheValid_ && elapsed == cachedTime_) return cachedValue_;
    cachedValue_ = evaluate(elapsed);
    cachedTime_ = elapsed;
    cacheValid_ = true;
    return cachedValue_;
}

float Envelope::value() { return valueAt(Timer::instance().getTime() - startTime_); }

float Envelope::evaluate(int t) const {
    std::size_t n = keys_.size();
    if (n == 0) return defaultValue_;
    std::size_t i = n - 1;
    for (std::size_t k = 0; k < n; ++k) {
        if (keys_[k].time > t) {
            i = k == 0 ? 0 : k - 1;
            break;
        }
    }
    if (n == 1) i = 0;
    std::size_t j = i + 1 == n ? i : i + 1;
    // A segment exists only between two keys; the last key holds its value.
    if (i != j && segments_[i].duration != 0) {
        return keys_[i].value + static_cast<float>(t - keys_[i].time) * segments_[i].slope;
    }
    return keys_[j].value;
}
