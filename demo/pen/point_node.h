#pragma once

#include "demo/pen/task_node.h"
#include "demo/shared/vec3.h"
#include "figures/vec2.h"

#include <array>

class MoverTask;

// A 4x4 matrix, row by row, applied to column vectors (translation in the
// last column).
using Matrix4 = std::array<float, 16>;

// A corner of a pen figure: a point of the figure's own shape hung on an
// anchor, placed on the screen at the anchor's position plus the figure's
// origin. Its one child is its anchor.
class PointNode : public TaskNode {
public:
    PointNode() = default;

    // The first anchor given stays the corner's anchor.
    void setMover(MoverTask* mover);
    void setLocal(Vec3 local) { local_ = local; }
    Vec3 local() const { return local_; }
    void transform(const Matrix4& m);
    void setOrigin(Vec2 origin) { origin_ = origin; }
    // The anchor's position; (0, 0) for a corner not hung yet.
    Vec2 anchorPosition() const;
    // Screen position from the anchor, the origin and the local point.
    void place();
    Vec3 position() const { return screen_; }
    void tick() override { place(); }

protected:
    void onReset() override;
    void onRun() override { ran_ = true; }
    bool ownFinished() const override { return ran_; }

private:
    bool ran_ = false;
    Vec3 local_;
    Vec3 screen_;
    Vec2 origin_;
    MoverTask* mover_ = nullptr;
};
