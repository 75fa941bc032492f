#include "demo/pen/figure_actor.h"

#include "demo/pen/pen_limits.h"
#include "demo/pen/vertex_list.h"
#include "figures/random.h"

#include <algorithm>
#include <cmath>

FigureActor::FigureActor(VertexList& list) : path_(ring_), list_(list) {
    lines_.setLimit(static_cast<int>(pen_limits::kLines));
    points_.setLimit(static_cast<int>(pen_limits::kPoints));
    PointNode* start = ring_.takePoint();
    start->setMover(path_.pickMover());
    points_.add(start);
    rangeMin_ = path_.radiusMin();
    rangeMax_ = path_.radiusMax();
    path_.setRetargetChance(300);
    path_.setJitter(1.0f);
}

void FigureActor::setOffset(float offset) {
    offset_ = offset;
    path_.setRadiusRange(rangeMin_ + offset_, rangeMax_ + offset_);
}

void FigureActor::setRange(float min, float max) {
    rangeMin_ = min;
    rangeMax_ = max;
    path_.setRadiusRange(rangeMin_ + offset_, rangeMax_ + offset_);
}

void FigureActor::setTankLimits(int points, int lines, int anchors) {
    points_.setLimit(points);
    lines_.setLimit(lines);
    path_.setAnchorLimit(anchors);
}

void FigureActor::setSegmentBurst(int n) { burst_ = std::max(n, 1); }

void FigureActor::setRotationAxes(bool x, bool y, bool z) {
    rotateX_ = x;
    rotateY_ = y;
    rotateZ_ = z;
}

PointNode* FigureActor::lastPoint() const {
    return lines_.empty() ? nullptr : lines_.back()->to();
}

PointNode* FigureActor::firstPoint() const {
    return lines_.empty() ? nullptr : lines_.front()->from();
}

void FigureActor::clear() {
    list_.reset();
    lines_.trim();
}

void FigureActor::advancePath() { path_.advance(); }

void FigureActor::grow() {
    if (points_.empty()) return;
    const int segments = nextRandom() % burst_;
    for (int i = 0; i < segments; ++i) {
        MoverTask* anchor = path_.pickMover();
        const Vec3 vertex = list_.next();
        PointNode* last = points_.back();
        PointNode* corner = ring_.takePoint();
        corner->setMover(anchor);
        corner->setLocal(vertex);
        points_.add(corner);
        LineNode* line = ring_.takeLine();
        line->connect(last, corner);
        lines_.add(line);
    }
    const float ax = rotateX_ ? randomRange(-1.0f, 1.0f) : 0.0f;
    const float ay = rotateY_ ? randomRange(-1.0f, 1.0f) : 0.0f;
    const float az = rotateZ_ ? randomRange(-1.0f, 1.0f) : 0.0f;
    if (rotateX_ || rotateY_ || rotateZ_) rotate(ax, ay, az);
}

void FigureActor::rotate(float ax, float ay, float az) {
    const float sx = std::sin(ax), cx = std::cos(ax);
    const float sy = std::sin(ay), cy = std::cos(ay);
    const float sz = std::sin(az), cz = std::cos(az);
    // Rz * Ry * Rx: the turns about x, y and z in that order.
    const Matrix4 turn = {cz * cy, cz * sy * sx - sz * cx, sz * sx + cz * sy * cx, 0.0f,
                          sz * cy, cz * cx + sz * sy * sx, sz * sy * cx - cz * sx, 0.0f,
                          -sy,     cy * sx,                cy * cx,                0.0f,
                          0.0f,    0.0f,                   0.0f,                   1.0f};
    for (PointNode* corner : points_.nodes()) corner->transform(turn);
}

void FigureActor::update() {
    lines_.removeFinished();
    points_.removeFinished();
    path_.update();
    for (PointNode* corner : points_.nodes()) {
        corner->setOrigin(origin_);
        corner->place();
    }
}
