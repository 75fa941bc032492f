#pragma once

#include <vector>

class FigureActor;
class NodeRing;
class Renderer;

// The pen figures in drawing order, drawn in two passes (a soft, wide one
// and a firm, thin one) and joined by a line from the end of each figure to
// the start of the next.
class ActorChain {
public:
    // The joining lines come from ring.
    explicit ActorChain(NodeRing& ring) : ring_(ring) {}

    void add(FigureActor* actor) { actors_.push_back(actor); }
    // Moves every figure on by a frame and draws them all.
    void draw(Renderer& renderer);
    // The segments of figure `index` in colour (r, g, b, alpha): nothing
    // while it has fewer than two.
    void drawActor(Renderer& renderer, int index, float alpha, float lineWidth, float r, float g, float b, bool soft);
    // Null while the chain is empty.
    FigureActor* first() const { return actors_.empty() ? nullptr : actors_.front(); }

private:
    void drawJoin(Renderer& renderer, int index, float penWidth, bool stipple);

    std::vector<FigureActor*> actors_;
    NodeRing& ring_;
    bool connect_ = true;
};
