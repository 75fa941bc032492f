#pragma once

#include "demo/pen/line_node.h"
#include "demo/pen/node_ring.h"
#include "demo/pen/pen_path.h"
#include "demo/pen/point_node.h"
#include "demo/pen/tank.h"
#include "figures/vec2.h"

class VertexList;

// One growing pen figure: each grow adds a burst of segments whose corners
// are the next points of the shared vertex list, hung on the anchors of the
// figure's pen path, and tumbles the whole figure a little further. The
// corners drift with their anchors; old segments drop out when the tanks are
// full.
class FigureActor {
public:
    explicit FigureActor(VertexList& list);
    FigureActor(const FigureActor&) = delete;
    FigureActor& operator=(const FigureActor&) = delete;

    // Added to both ends of the range of the path's pull radius.
    void setOffset(float offset);
    void setRange(float min, float max);
    // Added to every corner and to the position.
    void setOrigin(float x, float y) { origin_ = {x, y}; }
    void setTankLimits(int points, int lines, int anchors);
    // Segments per grow: 0 to n - 1; at least 1.
    void setSegmentBurst(int n);
    // One in n new corners may move to another anchor.
    void setSubValue(int n) { path_.setRetargetChance(n); }
    void setRotationAxes(bool x, bool y, bool z);
    // The stipple switch of the firm drawing pass.
    void setEnabled(bool enabled) { enabled_ = enabled; }
    // How much the main anchor trembles.
    void setSubScale(float scale) { path_.setJitter(scale); }
    // The pen width: how far the segments wiggle.
    void setWidth(float width) { width_ = width; }

    const Tank<LineNode>& lineTank() const { return lines_; }
    const Tank<PointNode>& pointTank() const { return points_; }
    PenPath& path() { return path_; }
    float width() const { return width_; }
    bool isEnabled() const { return enabled_; }
    Vec2 origin() const { return origin_; }
    // The end corner of the newest segment; null without one.
    PointNode* lastPoint() const;
    // The start corner of the oldest segment; null without one.
    PointNode* firstPoint() const;

    // Starts the vertex list over and drops every segment but the oldest.
    void clear();
    // A jump of the pen path: a new anchor flies in.
    void advancePath();
    void grow();
    // Turns every corner about x, then y, then z (radians).
    void rotate(float ax, float ay, float az);
    // Per frame: finished nodes leave, the anchors move, the corners follow.
    void update();
    // The main anchor plus the origin.
    Vec2 position() const { return path_.position() + origin_; }

private:
    bool rotateX_ = true;
    bool rotateY_ = true;
    bool rotateZ_ = true;
    Vec2 origin_;
    bool enabled_ = true;
    float width_ = 5.0f;
    int burst_ = 50;
    float offset_ = 0.0f;
    float rangeMin_;
    float rangeMax_;
    NodeRing ring_;
    Tank<LineNode> lines_;
    Tank<PointNode> points_;
    PenPath path_;
    VertexList& list_;
};
