#include "demo/pen/pen_path.h"

#include "demo/pen/node_ring.h"
#include "demo/pen/pen_limits.h"
#include "figures/random.h"

PenPath::PenPath(NodeRing& ring) : ring_(ring), main_(ring.takeMover()), chosen_(main_) {
    anchors_.setLimit(static_cast<int>(pen_limits::kMoverScale));
    main_->setPosition({40.0f, 40.0f});
    main_->setJitter(0.0f);
    main_->setRect(30.0f, 30.0f, 50.0f, 50.0f);
    main_->setRadius(30.0f);
    main_->markStarted();
}

void PenPath::update() {
    main_->setRadius(randomRange(radiusMin_, radiusMax_));
    main_->setPull(randomRange(pullMin_, pullMax_));
    anchors_.removeFinished();
    for (MoverTask* anchor : anchors_.nodes()) main_->follow(*anchor);
    main_->tick();
    for (MoverTask* anchor : anchors_.nodes()) anchor->tick();
}

void PenPath::advance() {
    MoverTask* anchor = ring_.takeMover();
    Vec2 target;
    if (nextRandom() % 2 != 0) {
        target = {static_cast<float>(nextRandom() % 320), 240.0f};
    } else {
        target = {320.0f, static_cast<float>(nextRandom() % 240)};
    }
    anchor->setTarget(target, 50.0f, 0.0f, 10.0f);
    anchor->setPosition({20.0f, 40.0f});
    const float maxY = static_cast<float>(400 + nextRandom() % 500);
    const float maxX = static_cast<float>(400 + nextRandom() % 500);
    anchor->setRect(-290.0f, -290.0f, maxX, maxY);
    anchors_.add(anchor);
}

MoverTask* PenPath::pickMover() {
    if (anchors_.empty()) {
        chosen_ = main_;
    } else if (oneIn(static_cast<float>(retargetChance_))) {
        chosen_ = anchors_.get(nextRandom() % anchors_.count());
        if (oneIn(4.0f)) chosen_ = main_;
    }
    return chosen_;
}

Vec2 PenPath::position() const { return main_->position(); }

void PenPath::setRadiusRange(float min, float max) {
    radiusMin_ = min;
    radiusMax_ = max;
}

void PenPath::setJitter(float jitter) { main_->setJitter(jitter); }
