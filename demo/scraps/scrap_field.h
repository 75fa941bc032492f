#pragma once

#include <vector>

#include "demo/pencil/render_layer.h"
#include "demo/scraps/scrap_chain.h"

class PositionSource;
class Renderer;
class SettledScraps;
class TextureSet;

// A pool of scrap chains poured onto the paper in bursts at the places its
// position source hands out. Once all are out and nearly all have settled,
// the field is drawn into a render layer for good and starts over.
class ScrapField : public LayerDrawable {
public:
    // count chains cut from random images of the set; the source is not
    // owned and must outlive the field.
    ScrapField(const TextureSet& textures, PositionSource& source, int count, int gapMin, int gapMax);

    // Starts this frame's burst of chains; false when nothing was due.
    bool spawn();
    // The render layer's hook: bakes and restarts once fewer than a tenth
    // of the chains are still unfolding, or when the end was asked for.
    void drawToLayer(Renderer& layerRenderer) override;
    // Every chain that has started, from the start time on, until ended.
    void draw(Renderer& renderer);
    // The same picture, with the chains that have settled laid over from
    // `settled`, which takes in those settled since.
    void draw(Renderer& renderer, SettledScraps& settled);

    bool isExhausted() const { return endRequested_ || spawned_ >= chainCount(); }
    // Bakes at the next chance and then stays ended.
    void end() { endRequested_ = true; }
    bool hasEnded() const { return ended_; }

    void setStartTime(int ms) { startTime_ = ms; }
    void setChainScale(float scale) { chainScale_ = scale; }
    // Each chain's shadow then gets an alpha of 0.1 to 0.2.
    void setRandomShadowAlpha(bool on) { randomShadowAlpha_ = on; }
    void setPaperPass(bool on) { paperPass_ = on; }
    void setShadowPass(bool on) { shadowPass_ = on; }
    void setFade(bool on) { fade_ = on; }
    void setPaperColor(const RGBA& color) { paperColor_ = color; }
    void setShadowColor(const RGBA& color) { shadowColor_ = color; }

    int chainCount() const { return static_cast<int>(chains_.size()); }
    int spawned() const { return spawned_; }
    bool isPaused() const { return paused_; }
    const ScrapChain& chain(int index) const { return chains_[index]; }

private:
    void spawnOne();
    void restart();
    void drawChains(Renderer& renderer, std::size_t first);

    std::vector<ScrapChain> chains_;
    // Each bake starts a new round of chains.
    int round_ = 0;
    Vec2 spawnPosition_{520.0f, 360.0f};
    int spawned_ = 0;
    PositionSource& source_;
    RGBA paperColor_{0.65f, 0.8f, 0.75f, 1.0f};
    RGBA shadowColor_{0.001f, 0.001f, 0.001f, 0.55f};
    float chainScale_ = 1.0f;
    int startTime_ = 0;
    bool randomShadowAlpha_ = false;
    bool paperPass_ = true;
    bool shadowPass_ = true;
    bool fade_ = true;
    bool paused_ = false;
    int pauseStart_ = -1;
    int pauseEnd_ = -1;
    bool endRequested_ = false;
    bool ended_ = false;
};
