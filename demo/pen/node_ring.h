#pragma once

#include "demo/pen/line_node.h"
#include "demo/pen/mover_task.h"
#include "demo/pen/pen_limits.h"
#include "demo/pen/point_node.h"

#include <vector>

// Every node a pen figure will use, made at start-up and handed out in a
// circle, so that nothing is allocated while the show runs. A node handed
// out comes back reset, even when it is still in use elsewhere: the rings
// are sized so that the show never gets that far round.
class NodeRing {
public:
    static constexpr int kMovers = static_cast<int>(pen_limits::kMoverScale * 2000.0f);
    static constexpr int kLines = static_cast<int>(pen_limits::kLines * 2.0f);
    static constexpr int kPoints = static_cast<int>(pen_limits::kPoints * 2.0f);

    // Makes the movers, then the lines (each draws its wiggle), then the
    // points.
    NodeRing();
    NodeRing(const NodeRing&) = delete;
    NodeRing& operator=(const NodeRing&) = delete;

    // The next node, reset and numbered.
    LineNode* takeLine() { return take(lines_, lineCursor_); }
    PointNode* takePoint() { return take(points_, pointCursor_); }
    // Running out of anchors is worth a box: figures start losing theirs.
    MoverTask* takeMover();

private:
    template <class Node>
    Node* take(std::vector<Node>& nodes, int& cursor) {
        Node* node = &nodes[static_cast<std::size_t>(cursor)];
        if (++cursor == static_cast<int>(nodes.size())) cursor = 0;
        node->reset();
        node->setId(counter_++);
        return node;
    }

    std::vector<MoverTask> movers_;
    std::vector<LineNode> lines_;
    std::vector<PointNode> points_;
    int moverCursor_ = 0;
    int lineCursor_ = 0;
    int pointCursor_ = 0;
    int counter_ = 0;
};
