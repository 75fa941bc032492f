#include "figures/main_envelopes.h"

#include "figures/random.h"
#include "framework/window/platform_backend.h"
#include "framework/clock/timer.h"

#include <cmath>
#include <initializer_list>

namespace {

// Scene time until which the screen stays black.
constexpr int kIntroEnd = 1515;

}  // namespace

MainEnvelopes& MainEnvelopes::instance() {
    static MainEnvelopes* set = new MainEnvelopes;
    return *set;
}

MainEnvelopes::MainEnvelopes() {
    timeScale_.addKeys({{1, 0},
                        {1, 36000},
                        {2, 120000},
                        {7, 152000},
                        {8, 177000},
                        {0.25f, 185000},
                        {0.25f, 205000},
                        {1, 215000}});
    flicker_.addKeys({{0, 0}, {0, 95000}, {1, 155000}, {1, 214000}, {0, 230000}});
    pulse_.addKeys({{0, 0}, {0, 167000}, {1, 185000}, {1, 205000}, {0, 214000}});
    lineWidth_.addKeys({{1, 0}, {1, 130000}, {5, 170000}, {0.5f, 190000}, {0.5f, 200000}, {1, 214000}});
    jitter_.addKeys({{0, 0}, {0, 205000}, {3, 245000}});
    zoom_.addKeys({{4.5f, 0}, {3, 70000}, {1.2f, 130000}});
    stage_.addKeys({{0, 0}, {0, 205000}, {1, 205001}});
}

void MainEnvelopes::resetToStart() { *this = MainEnvelopes(); }

void MainEnvelopes::restartAll() {
    for (Envelope* envelope : {&stage_, &flicker_, &timeScale_, &zoom_, &pulse_, &lineWidth_, &jitter_}) {
        envelope->start(0);
    }
}

RGBA MainEnvelopes::flickerColor(const RGBA& c) {
    float f = flicker();
    if (!(f > 0.0f)) return c;
    float r = randomRange(0.0f, 1.0f);
    return {c.r, c.g, c.b, c.a * (1.0f - f) + c.a * r * f};
}

RGBA MainEnvelopes::outlineColor(const RGBA& c) const {
    return {static_cast<float>(c.r / 1.1), static_cast<float>(c.g / 1.1), static_cast<float>(c.b / 1.1),
            static_cast<float>(c.a * 5.0)};
}

float MainEnvelopes::pulseDivisor() {
    // The wall clock, not scene time: the pulse keeps its phase across scenes.
    uint32_t tick = Platform::getTickCount();
    float v = pulse_.value();
    // Every outline of a frame asks, mostly within one tick.
    if (pulseKnown_ && tick == pulseTick_ && v == pulseValue_) return pulseDivisor_;
    double swing = (std::cos(static_cast<double>(tick) / 500.0) + 1.0) / 2.0 * 5.0 + 1.0;
    pulseKnown_ = true;
    pulseTick_ = tick;
    pulseValue_ = v;
    pulseDivisor_ = static_cast<float>(swing * v + (1.0f - v) * 1.0);
    return pulseDivisor_;
}

bool MainEnvelopes::isPastIntro() const { return Timer::instance().getTime() > kIntroEnd; }
