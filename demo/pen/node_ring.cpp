#include "demo/pen/node_ring.h"

#include "figures/random.h"
#include "platform/message_box.h"

NodeRing::NodeRing() {
    RandomSequence& random = sharedRandom();
    lineDraws_.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
        lineDraws_.push_back(random.state());
        LineNode drawn(random);
    }
}

LineNode* NodeRing::takeLine() {
    if (lineCursor_ == lines_.made()) {
        RandomSequence replay(lineDraws_[static_cast<std::size_t>(lineCursor_)]);
        lines_.makeNext(replay);
    }
    return handOut(lines_, lineCursor_);
}

MoverTask* NodeRing::takeMover() {
    MoverTask* node = take(movers_, moverCursor_);
    if (moverCursor_ == 0) host::messageBox("out of nodes", "", host::Buttons::Ok, host::Icon::None);
    return node;
}
