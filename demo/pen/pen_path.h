#pragma once

#include "demo/pen/tank.h"
#include "figures/vec2.h"

class MoverTask;
class NodeRing;

// The anchors a pen figure's corners hang on: a main anchor that trembles in
// a small box, and a bounded set of further anchors that each jump brings in
// from a point on the screen's edge and that the main anchor pulls in.
class PenPath {
public:
    explicit PenPath(NodeRing& ring);
    PenPath(const PenPath&) = delete;
    PenPath& operator=(const PenPath&) = delete;

    // Per frame: new pull radius and speed, the finished anchors dropped,
    // the rest pulled in, then every anchor moved.
    void update();
    // A jump: a new anchor flying in; over the limit, the oldest goes.
    void advance();
    // The anchor for the next corner: now and then another one at random.
    MoverTask* pickMover();
    Vec2 position() const;

    float radiusMin() const { return radiusMin_; }
    float radiusMax() const { return radiusMax_; }
    void setRadiusRange(float min, float max);
    void setAnchorLimit(int limit) { anchors_.setLimit(limit); }
    // One in this many corners may move to another anchor; below 1 none do.
    void setRetargetChance(int chance) { retargetChance_ = chance; }
    void setJitter(float jitter);

    MoverTask& mainAnchor() const { return *main_; }
    const Tank<MoverTask>& anchors() const { return anchors_; }

private:
    NodeRing& ring_;
    MoverTask* main_;
    Tank<MoverTask> anchors_;
    float pullMin_ = 2.0f;
    float pullMax_ = 12.0f;
    float radiusMin_ = 50.0f;
    float radiusMax_ = 160.0f;
    int retargetChance_ = 10;
    MoverTask* chosen_;
};
