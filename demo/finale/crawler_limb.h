#pragma once

#include "demo/finale/muscle_timer.h"
#include "figures/vec2.h"

class Renderer;

// The creature lives in 640x480 screen units and is drawn into a 150-unit
// square of the finale's world, centred on its origin.
float screenToWorldX(float x);
float screenToWorldY(float y);

// One of the creature's limbs: a line from the body centre to a fixed far
// end, whose muscle pulls the centre toward that end while it contracts.
class CrawlerLimb {
public:
    explicit CrawlerLimb(Renderer* renderer) : renderer_(renderer) {}

    // Fixes the far end 1200 units from the centre, in the point's direction,
    // and relaxes the muscle.
    void aimAt(Vec2 point, Vec2 centre);
    void start() { muscle_.restart(); }
    void stop() { muscle_.stop(); }
    bool isActive() { return !muscle_.isDone(); }
    // The centre moved by this frame's contraction.
    Vec2 pull(Vec2 centre);
    void draw(Vec2 centre, float phase, float r, float g, float b);
    // How far from home one step along this limb would leave the centre.
    float score(Vec2 home, Vec2 centre) const;
    void setWeight(float weight) { weight_ = weight; }
    void setOffset(Vec2 offset) { offset_ = offset; }

    Vec2 farEnd() const { return farEnd_; }

private:
    Renderer* renderer_;
    Vec2 farEnd_;
    float weight_ = 0.2f;
    Vec2 offset_;
    MuscleTimer muscle_;
};
