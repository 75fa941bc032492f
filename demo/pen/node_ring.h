#pragma once

#include "demo/pen/line_node.h"
#include "demo/pen/mover_task.h"
#include "demo/pen/node_slots.h"
#include "demo/pen/pen_limits.h"
#include "demo/pen/point_node.h"

#include <cstdint>
#include <vector>

// Every node a pen figure will use, handed out in a circle, so that nothing
// is allocated while the show runs. A node handed out comes back reset, even
// when it is still in use elsewhere: the rings are sized so that the show
// never gets that far round. The room for all nodes is set aside at
// start-up, but a node is made when it is first handed out: most rings never
// get far, and the slots they do not reach cost no memory.
class NodeRing {
public:
    static constexpr int kMovers = static_cast<int>(pen_limits::kMoverScale * 2000.0f);
    static constexpr int kLines = static_cast<int>(pen_limits::kLines * 2.0f);
    static constexpr int kPoints = static_cast<int>(pen_limits::kPoints * 2.0f);

    // Draws the random numbers of every line (its wiggle, its stipple) from
    // the program's generator, as if all the lines were made now.
    NodeRing();
    NodeRing(const NodeRing&) = delete;
    NodeRing& operator=(const NodeRing&) = delete;

    // The next node, reset and numbered.
    LineNode* takeLine();
    PointNode* takePoint() { return take(points_, pointCursor_); }
    // Running out of anchors is worth a box: figures start losing theirs.
    MoverTask* takeMover();

private:
    template <class Node>
    Node* take(NodeSlots<Node>& nodes, int& cursor) {
        if (cursor == nodes.made()) nodes.makeNext();
        return handOut(nodes, cursor);
    }
    template <class Node>
    Node* handOut(NodeSlots<Node>& nodes, int& cursor) {
        Node* node = &nodes[cursor];
        if (++cursor == nodes.size()) cursor = 0;
        node->reset();
        node->setId(counter_++);
        return node;
    }

    NodeSlots<MoverTask> movers_{kMovers};
    NodeSlots<LineNode> lines_{kLines};
    NodeSlots<PointNode> points_{kPoints};
    // The generator's state before each line's numbers: a line made late
    // draws them again from there.
    std::vector<uint32_t> lineDraws_;
    int moverCursor_ = 0;
    int lineCursor_ = 0;
    int pointCursor_ = 0;
    int counter_ = 0;
};
