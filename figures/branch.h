#pragma once

#include "figures/color_source.h"
#include "figures/vec2.h"
#include "framework/clock/envelope.h"

#include <memory>
#include <vector>

class Renderer;

// One branch of the branch field: a small blob that travels from its start
// towards its end, 1/speed pixels per ms, and stops after `length` ms. A
// root carries 30 children that burst outward from its end point when the
// root is started; a child's blob fades out over its lifetime.
class Branch {
public:
    // Draws every random number of the branch (and of a root's children) at
    // once, in a fixed order.
    Branch(Vec2 start, Vec2 end, bool isRoot);
    Branch(const Branch&) = delete;
    Branch& operator=(const Branch&) = delete;

    // Sets the blob moving from now on.
    void activate();
    // A root bursts: its children start moving and its own blob hides. The
    // root itself is not activated by this.
    void start();

    // A child when its lifetime has passed; a root once it was activated and
    // started and every child is finished.
    bool isFinished() const;
    bool isActive() const { return active_; }
    bool isStarted() const { return started_; }

    // An inactive branch draws nothing, children included.
    void draw(Renderer& renderer);

    Vec2 startPoint() const { return start_; }
    Vec2 tip() const { return tip_; }
    float speed() const { return speed_; }
    int length() const { return length_; }
    const std::vector<std::unique_ptr<Branch>>& children() const { return children_; }
    // The blob's alpha now.
    float alpha() { return envelope_.value(); }

private:
    void drawTip(Renderer& renderer);
    void makeBlob(float radius);

    Vec2 start_;
    // Unit vector towards the end point; (0, 0) when start and end coincide.
    Vec2 direction_;
    Vec2 tip_;
    float speed_;
    // Distance to the end point, truncated; also the lifetime in ms.
    int length_ = 0;
    int startTime_ = 0;
    bool isRoot_;
    bool started_ = false;
    bool active_ = false;
    Envelope envelope_;
    std::vector<std::unique_ptr<Branch>> children_;
    std::unique_ptr<ColorSource> color_;
    std::vector<Vec2> blob_;
};
