#include "demo/pen/point_node.h"

#include "demo/pen/mover_task.h"

void PointNode::setMover(MoverTask* mover) {
    if (childCount() != 0) return;
    addChild(mover);
    mover_ = mover;
}

void PointNode::transform(const Matrix4& m) {
    const Vec3 p = local_;
    local_.x = m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3];
    local_.y = m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7];
    local_.z = m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11];
}

Vec2 PointNode::anchorPosition() const { return mover_ ? mover_->position() : Vec2{}; }

void PointNode::place() {
    Vec2 anchor = anchorPosition();
    screen_.x = local_.x + anchor.x + origin_.x;
    screen_.y = local_.y + anchor.y + origin_.y;
    screen_.z = local_.z;
}

void PointNode::onReset() {
    local_ = Vec3{};
    screen_ = Vec3{};
    origin_ = Vec2{};
    ran_ = false;
    mover_ = nullptr;
}
