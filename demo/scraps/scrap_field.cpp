#include "demo/scraps/scrap_field.h"

#include <cstdio>

#include "demo/scraps/position_source.h"
#include "demo/scraps/settled_scraps.h"
#include "demo/scraps/texture_set.h"
#include "figures/random.h"
#include "framework/clock/timer.h"

ScrapField::ScrapField(const TextureSet& textures, PositionSource& source, int count, int gapMin, int gapMax)
    : source_(source) {
    chains_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) chains_.emplace_back(textures.randomImage(), gapMin, gapMax);
}

bool ScrapField::spawn() {
    const int now = Timer::instance().getTime();
    if (now < startTime_ || !source_.hasMore()) return false;
    if (paused_) {
        if (now > pauseEnd_) {
            paused_ = false;
            pauseStart_ = static_cast<int>(static_cast<float>(now) + randomRange(0.0f, 3000.0f));
        }
        return false;
    }
    if (now > pauseStart_) {
        // The burst below still comes out this frame.
        paused_ = true;
        pauseEnd_ = static_cast<int>(static_cast<float>(now) + randomRange(0.0f, 500.0f));
    }
    // Ever smaller bursts as the pool runs out.
    const float used = static_cast<float>(spawned_) / static_cast<float>(chainCount());
    const float most = used > 0.9f ? 3.0f : used > 0.5f ? 20.0f : 55.0f;
    const int burst = static_cast<int>(randomRange(0.0f, most));
    for (int i = 0; i < burst; ++i) spawnOne();
    return true;
}

void ScrapField::spawnOne() {
    if (isExhausted() || !source_.hasMore()) return;
    spawnPosition_ = source_.next();
    // Pieces are not expected in the top left corner. Only noted: a box
    // there would stall the show, and the scribble does reach it late on.
    if (spawnPosition_.x < 100.0f && spawnPosition_.y < 100.0f) {
        std::fprintf(stderr, "WTF? A scrap piece at (%.1f, %.1f)\n", spawnPosition_.x, spawnPosition_.y);
    }
    if (randomShadowAlpha_) shadowColor_.a = randomRange(0.1f, 0.2f);
    ScrapChain& chain = chains_[static_cast<std::size_t>(spawned_)];
    chain.setScale(chainScale_);
    chain.setPosition(spawnPosition_);
    chain.start();
    chain.setPaperColor(paperColor_);
    chain.setShadowColor(shadowColor_);
    chain.setFade(fade_);
    chain.setPaperPass(paperPass_);
    chain.setShadowPass(shadowPass_);
    ++spawned_;
}

void ScrapField::drawToLayer(Renderer& layerRenderer) {
    int unfolding = 0;
    for (const ScrapChain& chain : chains_) unfolding += !chain.isDone();
    if (unfolding >= chainCount() / 10 && !endRequested_) return;
    if (Timer::instance().getTime() >= startTime_ && !ended_) drawChains(layerRenderer, 0);
    restart();
    if (endRequested_) ended_ = true;
}

void ScrapField::draw(Renderer& renderer) {
    if (Timer::instance().getTime() < startTime_ || ended_) return;
    drawChains(renderer, 0);
}

void ScrapField::draw(Renderer& renderer, SettledScraps& settled) {
    if (Timer::instance().getTime() < startTime_ || ended_) return;
    if (settled.round() != round_) settled.clear(round_);
    drawChains(renderer, settled.drawOver(chains_));
}

void ScrapField::drawChains(Renderer& renderer, std::size_t first) {
    for (std::size_t i = first; i < chains_.size(); ++i) chains_[i].draw(renderer);
}

void ScrapField::restart() {
    for (ScrapChain& chain : chains_) {
        chain.reset();
        source_.rewind();
    }
    spawned_ = 0;
    ++round_;
}
