#pragma once

#include "framework/midi/midi_pattern_listener.h"

#include <memory>

class FlyInPool;
class MidiInput;
class PencilOverlay;
class RenderLayer;
class Renderer;
class ScrapLayers;
class Triggerable;
class VertexFigures;

// The pencil-paper layer of the show, drawn over the white background and
// under the figures: two render layers that fill up with pencil hatching,
// scraps baked onto the paper, wandering pencil ticks, shards flying in and
// the paper grain over it all. MIDI patterns 70 to 77 switch its effects
// on. Needs the OpenGL context current and the pencil pictures under data/.
class PencilScene : public MidiPatternListener {
public:
    // Registers its patterns with `midi`.
    explicit PencilScene(MidiInput& midi);
    ~PencilScene() override;

    // One frame of the pencil layer.
    void draw(Renderer& screen);

    void onNote(int pattern, int note, int step) override;
    void onSelect(int) override {}
    void onStart(int pattern) override;

    // The scrap layers' stroke action, and their sources' shutdown.
    Triggerable& scrapState();
    void shutdownScrapSources();

    RenderLayer& hatching() { return *layerA_; }
    RenderLayer& shading() { return *layerB_; }
    PencilOverlay& overlay() { return *overlay_; }
    FlyInPool& flyInPool() { return *flyInPool_; }
    ScrapLayers& scrapLayers() { return *scrapLayers_; }
    VertexFigures& vertexFigures() { return *vertexFigures_; }

private:
    void listenTo(MidiInput& midi);

    std::unique_ptr<RenderLayer> layerA_;
    std::unique_ptr<RenderLayer> layerB_;
    std::unique_ptr<ScrapLayers> scrapLayers_;
    std::unique_ptr<PencilOverlay> overlay_;
    std::unique_ptr<VertexFigures> vertexFigures_;
    std::unique_ptr<FlyInPool> flyInPool_;
};
