#pragma once

#include "demo/pen/task_node.h"
#include "figures/vec2.h"

// A moving anchor of a pen figure. It flies toward a target that it re-aims
// at now and then, trembles by its jitter and stays inside its clamp box;
// corners hang on it.
class MoverTask : public TaskNode {
public:
    MoverTask() = default;

    void setPosition(Vec2 position) { position_ = position; }
    Vec2 position() const { return position_; }
    // How fast follow pulls the other anchors this frame.
    void setPull(float speed) { pull_ = speed; }
    // Per-frame tremble: up to this many units a frame each way.
    void setJitter(float jitter) { jitter_ = jitter; }
    // Anchors nearer than this are not pulled.
    void setRadius(float radius) { radius_ = radius; }
    void setRect(float minX, float minY, float maxX, float maxY);
    // Flies toward point, re-aiming within targetRadius of it at a random
    // speed between the two (units a frame) every 0 to 199 ms.
    void setTarget(Vec2 point, float targetRadius, float speedMin, float speedMax);
    // Pulls other toward this anchor when it is outside the radius; each
    // anchor already inside slows the pull for the ones after it.
    void follow(MoverTask& other);
    void tick() override;

protected:
    void onReset() override;
    void onRun() override { finished_ = true; }
    bool ownFinished() const override { return finished_; }

private:
    Vec2 position_;
    float pull_ = 0.0f;
    Vec2 velocity_;
    float jitter_ = 0.0f;
    float radius_ = 2.0f;
    float minX_ = 0.0f;
    float minY_ = 0.0f;
    float maxX_ = 640.0f;
    float maxY_ = 480.0f;
    bool hasTarget_ = false;
    int nextRetarget_ = 0;
    Vec2 storedVelocity_;
    Vec2 target_;
    float targetRadius_ = 0.0f;
    float speedMin_ = 0.0f;
    float speedMax_ = 0.0f;
    bool finished_ = false;
};
