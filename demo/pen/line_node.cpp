#include "demo/pen/line_node.h"

#include "demo/pen/point_node.h"
#include "figures/random.h"
#include "framework/render/renderer.h"

LineNode::LineNode(RandomSequence& random) : jitter_(random) {
    if (random.next() % 4 == 0) {
        stippled_ = true;
        stippleFactor_ = static_cast<int>(random.range(1.0f, 2.0f));
        stipplePattern_ = static_cast<int>(random.range(1.0f, 65535.0f));
    }
    randomA_ = random.range(0.0f, 1.0f);
    randomB_ = random.range(0.0f, 1.0f);
}

void LineNode::connect(PointNode* from, PointNode* to) {
    addChild(from);
    addChild(to);
    from_ = from;
    to_ = to;
}

bool LineNode::hasLength() {
    if (!hasLengthKnown_) {
        hasLengthKnown_ = true;
        if (from_ && to_) {
            Vec2 a = from_->anchorPosition();
            Vec2 b = to_->anchorPosition();
            hasLength_ = a.x != b.x || a.y != b.y;
        } else {
            hasLength_ = false;
        }
    }
    return hasLength_;
}

void LineNode::draw(Renderer& renderer, float width, bool stipple) {
    if (!from_ || !to_) return;
    renderer.setLineStipple(stippled_ && stipple, stippleFactor_, static_cast<unsigned>(stipplePattern_));
    const Vec3 f = from_->position();
    const Vec3 g = to_->position();
    renderer.begin(Renderer::Lines);
    if (!hasLength() || width == 0.0f) {
        renderer.vertex(f.x, f.y, 1.0f);
        renderer.vertex(g.x, g.y, 1.0f);
    } else {
        const int n = jitter_.count();
        Vec3 w = jitter_.point(0, *from_, *to_, width);
        renderer.vertex(f.x, f.y, f.z);
        renderer.vertex(w.x, w.y, w.z);
        for (int i = 1; i < n; ++i) {
            renderer.vertex(w.x, w.y, 1.0f);
            w = jitter_.point(i, *from_, *to_, width);
            renderer.vertex(w.x, w.y, 1.0f);
        }
        renderer.vertex(w.x, w.y, 1.0f);
        renderer.vertex(g.x, g.y, 1.0f);
    }
    renderer.end();
}

void LineNode::onReset() {
    hasLengthKnown_ = false;
    finished_ = false;
    from_ = nullptr;
    to_ = nullptr;
}
