#pragma once

#include <vector>

#include "demo/scraps/scrap_bit.h"

class Image;
class Renderer;

// One paper piece that smooths itself out: a series of ever more crumpled
// copies, shown one at a time from the most crumpled back toward the
// flattest, each at a time fixed when the chain is made.
class ScrapChain {
public:
    // Between 3 and 22 copies; each one appears gapMin to gapMax ms after
    // the one before.
    ScrapChain(Image* texture, int gapMin, int gapMax);

    // Shows the chain from now on, at a new random angle.
    void start();
    // Hides it again, most crumpled copy first.
    void reset();
    // Unfolded as far as it goes: the flattest copy, or the third flattest.
    bool isDone() const { return shown_ == rest_; }
    bool isStarted() const { return startTime_ != kNotStarted; }

    void setPosition(Vec2 position) { position_ = position; }
    void setScale(float scale) { scale_ = scale; }
    void setPaperColor(const RGBA& color) { look_.paper = color; }
    void setShadowColor(const RGBA& color) { look_.shadow = color; }
    void setPaperPass(bool on) { look_.paperPass = on; }
    void setShadowPass(bool on) { look_.shadowPass = on; }
    // Grows the piece from nothing while it unfolds.
    void setFade(bool on) { fade_ = on; }

    // Draws the copy due now and steps toward the next; nothing before start.
    void draw(Renderer& renderer);
    // What the copy shown now covers when drawn.
    ScrapBounds bounds() const;

    int bitCount() const { return static_cast<int>(bits_.size()); }
    int shownIndex() const { return shown_; }
    int restIndex() const { return rest_; }
    const std::vector<int>& appearanceTimes() const { return appearanceTimes_; }
    const ScrapBit& bit(int index) const { return bits_[index]; }

private:
    static constexpr int kNotStarted = -1;

    // How the copy shown now is drawn.
    ScrapLook currentLook() const;

    std::vector<int> appearanceTimes_;
    std::vector<ScrapBit> bits_;
    int shown_ = 0;
    int rest_ = 0;
    int startTime_ = kNotStarted;
    Vec2 position_{320.0f, 240.0f};
    float scale_ = 1.0f;
    ScrapLook look_;
    bool fade_ = false;
};
