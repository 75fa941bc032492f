#include "demo/scenes/pencil_scene.h"

#include "demo/shared/demo_clock.h"
#include "demo/scraps/fly_in_pool.h"
#include "demo/pencil/paper.h"
#include "demo/pencil/pencil_envelopes.h"
#include "demo/pencil/pencil_overlay.h"
#include "demo/pencil/render_layer.h"
#include "demo/scraps/scrap_layers.h"
#include "demo/pen/vertex_figures.h"
#include "framework/render/draw_probe.h"
#include "framework/render/image_cache.h"
#include "framework/midi/midi_input.h"
#include "framework/midi/midi_pattern.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace {

// The start of this pattern restarts the pencil envelopes.
constexpr int kEnvelopePattern = 71;
constexpr int kFlyInPattern = 71;
constexpr int kOverlayPattern = 74;
constexpr int kHatchingPattern = 71;
constexpr int kShadingPattern = 77;

constexpr int kFlyInRounds = 10000;
constexpr int kOverlayTicks = 70;
constexpr int kOverlayRevealMs = 700;
constexpr int kShadingDelayMs = 20000;

struct PatternNotes {
    int pattern;
    std::vector<int> notes;
};

const std::vector<PatternNotes>& listenedNotes() {
    static const std::vector<PatternNotes> notes{
        {70, {36, 40, 45}}, {71, {36, 38, 40, 45}}, {72, {36, 40, 45}}, {73, {36, 40, 45}},
        {74, {45}},         {75, {45}},             {76, {45}},         {77, {45}},
    };
    return notes;
}

constexpr const char* kHatchingMap = "data/pencilbackground/tolerancemap8.png";
constexpr const char* kShadingMap = "data/pencilbackground/tolerancemap2.png";

// A fill of a stroke field; without a map its name is empty.
struct Fill {
    const Image* map;
    const char* mapName;
    int tries;
    float threshold;
};

// A field for a layer drawing by `layers`.
std::unique_ptr<StrokeField> filledField(bool vignette, const PencilLayers& layers, std::initializer_list<Fill> fills) {
    auto field = std::make_unique<StrokeField>(vignette, layers.totalStrokes());
    for (const Fill& fill : fills) field->fill(fill.map, fill.mapName, fill.tries, fill.threshold);
    return field;
}

}  // namespace

PencilScene::PencilScene(MidiInput& midi) {
    loadPaperTexture();
    vertexFigures_ = std::make_unique<VertexFigures>();
    flyInPool_ = std::make_unique<FlyInPool>();
    flyInPool_->setRate(kFlyInRounds);
    flyInPool_->setId(kFlyInPattern);
    overlay_ = std::make_unique<PencilOverlay>(kOverlayTicks, kOverlayRevealMs);
    overlay_->setPattern(kOverlayPattern);

    ImageCache& images = ImageCache::instance();
    const Image* hatchingMap = images.get(kHatchingMap);
    const Image* shadingMap = images.get(kShadingMap);

    auto constant = PencilLayers::makeConstant();
    auto hatching = filledField(false, *constant,
                                {{hatchingMap, kHatchingMap, 10000, 20},
                                 {hatchingMap, kHatchingMap, 10000, 30},
                                 {nullptr, "", 10000, 20},
                                 {nullptr, "", 10000, 30},
                                 {nullptr, "", 10000, 40},
                                 {nullptr, "", 10000, 50}});
    layerA_ = std::make_unique<RenderLayer>(1.0f, 1.0f, 1.0f, false, std::move(constant), std::move(hatching), 0);
    layerA_->setPattern(kHatchingPattern);

    auto ramps = PencilLayers::makeRamps();
    auto shading = filledField(true, *ramps, {{shadingMap, kShadingMap, 1000000, 255}});
    layerB_ = std::make_unique<RenderLayer>(0.5f, 0.5f, 0.5f, true, std::move(ramps), std::move(shading),
                                            kShadingDelayMs);
    layerB_->setPattern(kShadingPattern);

    scrapLayers_ = std::make_unique<ScrapLayers>();
    listenTo(midi);
}

PencilScene::~PencilScene() = default;

void PencilScene::listenTo(MidiInput& midi) {
    for (const PatternNotes& listened : listenedNotes()) {
        MidiPattern pattern(listened.pattern, 4, 16, 4);
        for (int note : listened.notes) pattern.addNote(this, note, -1);
        pattern.setHandler(this);
        pattern.applyTo(midi);
    }
}

void PencilScene::onNote(int pattern, int note, int step) { vertexFigures_->onNote(pattern, note, step); }

void PencilScene::onStart(int pattern) {
    if (pattern == kEnvelopePattern) PencilEnvelopes::instance().restartAll();
    overlay_->onPattern(pattern);
    layerA_->onPattern(pattern);
    layerB_->onPattern(pattern);
    vertexFigures_->onPattern(pattern);
    flyInPool_->onTrigger(pattern);
    scrapLayers_->onTrigger(pattern);
}

void PencilScene::draw(Renderer& screen) {
    layerA_->drawInto();
    layerA_->drawOut();
    DemoClock& clock = DemoClock::instance();
    if (clock.isOver()) scrapLayers_->endAll();
    scrapLayers_->draw(*layerA_, screen);
    if (!clock.isOver()) {
        const draw_probe::SourceMark mark("pencil ticks");
        overlay_->draw(screen);
    }
    layerB_->drawInto();
    layerB_->drawOut();
    drawPaper(screen);
    if (!clock.isOver()) {
        const draw_probe::SourceMark mark("pencil figures");
        flyInPool_->setTarget(vertexFigures_->targetPoint());
        flyInPool_->draw(screen);
        vertexFigures_->draw(screen);
    }
}

Triggerable& PencilScene::scrapState() { return scrapLayers_->state(); }

void PencilScene::shutdownScrapSources() { scrapLayers_->shutdownSources(); }
