#pragma once

#include "demo/pencil/wanderer.h"

#include <memory>
#include <vector>

class Renderer;

// A wanderer drawn as a short pencil tick along its heading.
class PencilTick : public Wanderer {
protected:
    void drawExtra(Renderer& renderer, float angle) override;
};

// A swarm of pencil ticks wandering over the pencil scene. It waits for its
// MIDI pattern to start, then reveals one more tick per interval.
class PencilOverlay {
public:
    PencilOverlay(int count, int revealIntervalMs);

    void setPattern(int pattern) { pattern_ = pattern; }
    void onPattern(int pattern);
    void draw(Renderer& renderer);

    bool isActive() const { return active_; }
    int visibleCount() const { return visibleCount_; }
    const Wanderer& wanderer(int index) const { return *wanderers_[index]; }

private:
    int revealInterval_;
    int nextReveal_ = 0;
    std::vector<std::unique_ptr<PencilTick>> wanderers_;
    int pattern_ = -1;
    bool active_ = false;
    int visibleCount_ = 0;
};
