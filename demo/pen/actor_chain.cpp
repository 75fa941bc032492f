#include "demo/pen/actor_chain.h"

#include "demo/pen/figure_actor.h"
#include "demo/pen/node_ring.h"
#include "figures/smooth_blend.h"
#include "framework/render/renderer.h"

void ActorChain::draw(Renderer& renderer) {
    setSmoothBlend(renderer, true, false);
    for (FigureActor* actor : actors_) actor->update();
    renderer.setTexturing(false);
    const int count = static_cast<int>(actors_.size());
    for (int i = 0; i < count; ++i) drawActor(renderer, i, 0.5f, 3.0f, 0.0f, 0.0f, 0.0f, true);
    for (int i = 0; i < count; ++i) drawActor(renderer, i, 0.4f, 1.0f, 0.0f, 0.0f, 0.0f, false);
}

void ActorChain::drawActor(Renderer& renderer, int index, float alpha, float lineWidth, float r, float g, float b,
                           bool soft) {
    FigureActor& actor = *actors_[static_cast<std::size_t>(index)];
    const Tank<LineNode>& lines = actor.lineTank();
    if (lines.count() < 2) return;
    const bool stipple = soft ? false : actor.isEnabled();
    const float penWidth = actor.width();
    renderer.setLineWidth(lineWidth);
    if (!soft && connect_ && index >= 1) drawJoin(renderer, index, penWidth, stipple);
    renderer.color(r, g, b, alpha);
    for (LineNode* line : lines.nodes()) {
        // Soft segments between corners on one anchor get a width and
        // shade of their own, which the segments after them keep.
        if (soft && !line->hasLength()) {
            renderer.setLineWidth(lineWidth * line->randomB());
            renderer.color(r, g, b, alpha * line->randomA());
        }
        line->draw(renderer, penWidth, stipple);
    }
}

// From the end of the figure before to the start of this one, in whatever
// colour is in force. The line holds the two corners only while it is
// drawn.
void ActorChain::drawJoin(Renderer& renderer, int index, float penWidth, bool stipple) {
    PointNode* from = actors_[static_cast<std::size_t>(index) - 1]->lastPoint();
    PointNode* to = actors_[static_cast<std::size_t>(index)]->firstPoint();
    if (!from || !to) return;
    LineNode* join = ring_.takeLine();
    join->connect(from, to);
    join->draw(renderer, penWidth, stipple);
    join->run();
}
