#pragma once

#include "figures/branch_events.h"
#include "figures/branch_growth.h"
#include "figures/branch_state.h"
#include "figures/figure_pool.h"

#include <memory>
#include <vector>

class MidiInput;
class Renderer;

// The MIDI-driven figures of the main scene: every pre-built figure, the
// branch field, and the note bindings of MIDI patterns 64 to 69 that turn
// notes into branch events. Notes reach it while the owner drains MIDI input;
// the figures they start draw from the next frame() on.
class FigureScene {
public:
    // Builds the branch field, then every figure, then the runs of the
    // branch state: the order fixes every random number of the show. Then
    // registers the six patterns with midi and opens its device 0 (quietly
    // nothing when there is none). Takes long. midi keeps pointers to the
    // scene's listeners, so the scene must outlive every later midi.update().
    FigureScene(MidiInput& midi, bool highBudget);
    FigureScene(const FigureScene&) = delete;
    FigureScene& operator=(const FigureScene&) = delete;

    // Draws the active figures, greatest id first, then the branch field.
    void frame(Renderer& renderer);

    // Where the figure event key sends its events (see BranchEventTrigger).
    BranchState& branchState() { return *state_; }
    BranchGrowth& branchGrowth() { return *growth_; }
    // Every figure root in drawing order.
    const std::vector<FigureBase*>& figures() const { return figures_; }

private:
    void bindPatterns(MidiInput& midi);

    std::unique_ptr<BranchGrowth> growth_;
    std::unique_ptr<BranchState> state_;
    std::unique_ptr<FigurePool> pool_;
    std::vector<FigureBase*> figures_;
    std::vector<std::unique_ptr<BranchListener>> listeners_;
};
