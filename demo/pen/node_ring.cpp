#include "demo/pen/node_ring.h"

#include "platform/message_box.h"

namespace {

template <class Node>
void fill(std::vector<Node>& nodes, int size) {
    nodes.reserve(static_cast<std::size_t>(size));
    for (int i = 0; i < size; ++i) nodes.emplace_back();
}

}  // namespace

NodeRing::NodeRing() {
    fill(movers_, kMovers);
    fill(lines_, kLines);
    fill(points_, kPoints);
}

MoverTask* NodeRing::takeMover() {
    MoverTask* node = take(movers_, moverCursor_);
    if (moverCursor_ == 0) host::messageBox("out of nodes", "", host::Buttons::Ok, host::Icon::None);
    return node;
}
