// demo/scraps: scrap layers, their positions, fly-ins; uses pencil, shared, figures, framework, engine, platform.
#pragma once

#include <array>
#include <memory>

#include "demo/scraps/position_list.h"
#include "demo/scraps/scrap_field.h"
#include "demo/scraps/settled_scraps.h"
#include "demo/scraps/scribble_source.h"
#include "demo/scraps/stroke_trigger.h"

class RenderLayer;
class Renderer;

// The pencil scene's three scrap fields: two of standard paper pieces at
// the places of the positions files, and the scribble pile of assorted
// scraps. From the first MIDI pattern of 72 or more they start, 3000 and
// 10000 ms later, and pour their pieces onto the paper, baking them into
// the given render layer. Needs the scrap images and positions files.
class ScrapLayers {
public:
    static constexpr int kSlots = 3;
    static constexpr int kFirstPattern = 72;

    ScrapLayers();

    // A pattern start: 72 and above (re)arm every slot, below disarm every
    // slot that has not started yet.
    void onTrigger(int pattern);
    // One frame of every started field, onto the screen and, when a field
    // is due, into the layer.
    void draw(RenderLayer& layer, Renderer& renderer);
    // Every started field bakes once more and then stays ended.
    void endAll();
    // Begins a new recorded stroke on the first positions list.
    Triggerable& state() { return strokeTrigger_; }
    // Each position source's shutdown hook (the lists' save question).
    void shutdownSources();

    ScrapField& field(int slot) { return *slots_[slot].field; }
    bool hasStarted(int slot) const { return slots_[slot].started; }

private:
    struct Slot {
        int startTime = 0;
        int delay = 0;
        bool triggered = false;
        bool started = false;
        PositionSource* source = nullptr;
        std::unique_ptr<ScrapField> field;
        // With ProgramFlags::keepSettledScraps, made at the field's first
        // draw.
        std::unique_ptr<SettledScraps> settled;
    };

    PositionList firstPositions_;
    PositionList secondPositions_;
    // Made between the fields: its draws come after the first two fields'.
    std::unique_ptr<ScribbleSource> scribble_;
    std::array<Slot, kSlots> slots_;
    StrokeTrigger strokeTrigger_{&firstPositions_};
};
