#include "demo/scraps/scrap_layers.h"

#include "demo/scraps/texture_set.h"
#include "framework/app/program_flags.h"
#include "framework/clock/timer.h"

namespace {

constexpr int kStandardDelay = 3000;
constexpr int kScribbleDelay = 10000;

}  // namespace

ScrapLayers::ScrapLayers() {
    // Fields draw from the shared generator as they are made: keep the order.
    firstPositions_.setOffset(50.0f, -60.0f);
    firstPositions_.load("data/skrotbitar/standard/new_positions1.txt");
    slots_[0].source = &firstPositions_;
    slots_[0].field = std::make_unique<ScrapField>(TextureSet::makeStandard(), firstPositions_, 150, 10, 100);
    slots_[0].field->setRandomShadowAlpha(true);

    secondPositions_.setOffset(20.0f, -60.0f);
    secondPositions_.load("data/skrotbitar/standard/new_positions2.txt");
    slots_[1].source = &secondPositions_;
    slots_[1].field = std::make_unique<ScrapField>(TextureSet::makeStandard(), secondPositions_, 50, 10, 100);
    slots_[1].field->setRandomShadowAlpha(true);

    const TextureSet scraps = TextureSet::makeNew();
    scribble_ = std::make_unique<ScribbleSource>();
    slots_[2].source = scribble_.get();
    ScrapField& pile = *(slots_[2].field = std::make_unique<ScrapField>(scraps, *scribble_, 600, 0, 100));
    pile.setShadowPass(true);
    pile.setRandomShadowAlpha(false);
    pile.setFade(false);
    pile.setChainScale(1.0f);
    pile.setPaperColor({0.65f, 0.8f, 0.75f, 1.0f});
    pile.setShadowColor({0.0f, 0.0f, 0.0f, 0.9f});
}

void ScrapLayers::onTrigger(int pattern) {
    const int now = Timer::instance().getTime();
    const bool armed = pattern >= kFirstPattern;
    for (int i = 0; i < kSlots; ++i) {
        Slot& slot = slots_[i];
        slot.startTime = now;
        slot.delay = !armed ? 0 : i < 2 ? kStandardDelay : kScribbleDelay;
        slot.triggered = armed;
    }
}

void ScrapLayers::draw(RenderLayer& layer, Renderer& renderer) {
    for (Slot& slot : slots_) {
        if (!slot.started) {
            slot.started = slot.triggered && Timer::instance().getTime() - slot.startTime > slot.delay;
        }
        if (!slot.started || slot.field->hasEnded()) continue;
        if (slot.field->isExhausted()) layer.enqueue(slot.field.get());
        slot.field->spawn();
        slot.source->draw(renderer);
        if (ProgramFlags::keepSettledScraps && !slot.settled) slot.settled = std::make_unique<SettledScraps>();
        if (slot.settled) {
            slot.field->draw(renderer, *slot.settled);
        } else {
            slot.field->draw(renderer);
        }
    }
}

void ScrapLayers::endAll() {
    for (Slot& slot : slots_) slot.field->end();
}

void ScrapLayers::shutdownSources() {
    for (Slot& slot : slots_) slot.source->shutdown();
}
