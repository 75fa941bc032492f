#pragma once

#include "figures/vec2.h"

class Renderer;

// A mover that follows cubic Bezier legs toward its targets, the legs'
// points wobbling as it goes, with a swinging pair of angles and drawing
// hooks for what it looks like.
class Wanderer {
public:
    Wanderer();
    virtual ~Wanderer() = default;

    // Update, then draw.
    void frame(Renderer& renderer);
    void setPosition(Vec2 position) { position_ = position; }
    Vec2 getPosition() const { return position_; }
    // Moves along the leg by the Timer's delta time.
    void update();
    void draw(Renderer& renderer);

    // Both start a new leg from the current position.
    void setTarget(Vec2 target);
    void setSpeed(float speed);
    // A random swing phase and the swing speed factor.
    void init(float factor);
    bool legDone() const { return t_ >= 1.0f; }
    float heading() const { return heading_; }

protected:
    // What the wanderer looks like; both draw nothing here.
    virtual void drawBody(Renderer& renderer, float swingA, float swingB, float angle);
    virtual void drawExtra(Renderer& renderer, float angle);

private:
    void startLeg();
    Vec2 pointAt(float t) const;
    void jitterLeg();
    void swing(float deltaMs);

    Vec2 position_;
    Vec2 target_;
    Vec2 p0_;
    Vec2 p1_;
    Vec2 p2_;
    Vec2 p3_;
    float heading_ = 0.0f;
    float swingPhase_ = 0.0f;
    float factor_ = 0.0f;
    float t_ = 0.0f;
    float step_ = 0.0f;
    float speed_ = 0.0f;
    int jitterInterval_ = 10;
    float swingA_ = 0.0f;
    float swingB_ = 0.0f;
};

// A random offset of about +-r/2: 0 for r up to 1 (no draw), else
// rand() mod (n + 1) - n / 2 with n = r truncated.
int randOffset(float r);
