#pragma once

#include "demo/finale/crawler_limb.h"
#include "figures/vec2.h"
#include "framework/clock/envelope.h"

#include <memory>
#include <vector>

class Renderer;

// The creature of the end sequence: a body centre with six limbs. One limb
// at a time contracts and drags the centre along; once the centre has
// strayed too far from home, the limb pointing best toward home takes over.
// The cloth's wind adds a slow drift.
class Crawler {
public:
    static constexpr float strideThreshold = 100.0f;

    explicit Crawler(Renderer* screen);
    ~Crawler();

    // The world point where the cloth's corner hangs.
    Vec2 anchor() const;
    void setWind(Vec2 direction, float strength);
    // Moves the creature by this frame's Timer delta and draws it.
    void frame(float r, float g, float b);

    Vec2 centre() const { return centre_; }
    Vec2 home() const { return home_; }
    Vec2 offset() const { return offset_; }
    bool isStriding() const { return striding_; }
    const std::vector<std::unique_ptr<CrawlerLimb>>& limbs() const { return limbs_; }

private:
    void creep(float dt);
    void steer();
    void pickBestLimb();
    void pickRandomLimb();

    bool striding_ = false;
    int strideStart_ = 0;
    Vec2 offsetTarget_{0.0f, -100.0f};
    Vec2 home_{320.0f, 240.0f};
    Vec2 centre_{320.0f, 240.0f};
    std::vector<std::unique_ptr<CrawlerLimb>> limbs_;
    float phase_ = 0.0f;
    float windStrength_ = 1.0f;
    Vec2 windDirection_;
    Vec2 heading_;
    Renderer* renderer_;
    float strideLength_ = 0.0f;
    Envelope pace_{0.03f};
    Vec2 offset_{-300.0f, -200.0f};
};

// The index of the lowest score. Each new best is kept truncated to an
// integer, and later scores must come in below that integer to win.
std::size_t lowestScoreIndex(const std::vector<float>& scores);
