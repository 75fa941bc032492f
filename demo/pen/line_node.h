#pragma once

#include "demo/pen/rate_jitter.h"
#include "demo/pen/task_node.h"

class PointNode;
class RandomSequence;
class Renderer;

// A segment of a pen figure between two corners, its two children. One in
// four segments is stippled with a random pattern; every segment keeps its
// wiggle and two random numbers that the soft pass of the drawing uses.
class LineNode : public TaskNode {
public:
    // Draws the wiggle, the stipple and the two numbers from random.
    explicit LineNode(RandomSequence& random);

    void connect(PointNode* from, PointNode* to);
    // The corners; null until connected.
    PointNode* from() const { return from_; }
    PointNode* to() const { return to_; }
    // Whether the two corners hang on anchors at different places; decided
    // on the first ask after a reset and kept.
    bool hasLength();
    float randomA() const { return randomA_; }
    float randomB() const { return randomB_; }
    // Straight when the segment has no length or width is 0, else through
    // its wiggle; stippled only when both it and the switch say so.
    void draw(Renderer& renderer, float width, bool stipple);
    void tick() override {}

protected:
    // The wiggle and the stipple stay with the node for good.
    void onReset() override;
    void onRun() override { finished_ = true; }
    bool ownFinished() const override { return finished_; }

private:
    RateJitter jitter_;
    bool hasLength_ = false;
    bool hasLengthKnown_ = false;
    bool finished_ = false;
    bool stippled_ = false;
    int stippleFactor_ = 1;
    int stipplePattern_ = 0;
    float randomA_ = 0.0f;
    float randomB_ = 0.0f;
    PointNode* from_ = nullptr;
    PointNode* to_ = nullptr;
};
