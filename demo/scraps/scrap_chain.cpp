#include "demo/scraps/scrap_chain.h"

#include "figures/random.h"
#include "framework/clock/timer.h"

ScrapChain::ScrapChain(Image* texture, int gapMin, int gapMax) {
    // The copies once had angles of their own; the chain's angle replaces
    // them when drawn, but their draws stay so that every later piece keeps
    // its numbers.
    nextRandom();
    const int count = 2 + nextRandom() % 20;
    bits_.reserve(static_cast<std::size_t>(count) + 1);
    bits_.emplace_back(texture);
    int t = nextRandom() % 100;
    appearanceTimes_.push_back(t);
    oneIn(2.0f);
    for (int i = 0; i < count; ++i) {
        bits_.push_back(bits_.back().crumpled());
        randomRange(-1.0f, 1.0f);
        t += static_cast<int>(randomRange(static_cast<float>(gapMin), static_cast<float>(gapMax)));
        appearanceTimes_.push_back(t);
    }
    shown_ = bitCount() - 1;
    rest_ = oneIn(4.0f) ? 0 : 2;
}

void ScrapChain::start() {
    look_.angle = randomRange(-3.0f, 3.0f);
    startTime_ = Timer::instance().getTime();
}

void ScrapChain::reset() {
    shown_ = bitCount() - 1;
    startTime_ = kNotStarted;
}

ScrapLook ScrapChain::currentLook() const {
    const float growth = fade_ ? 1.0f - static_cast<float>(shown_ + 1) / static_cast<float>(bitCount()) : 1.0f;
    ScrapLook look = look_;
    look.scale = growth * scale_;
    return look;
}

ScrapBounds ScrapChain::bounds() const { return bits_[shown_].bounds(currentLook()); }

void ScrapChain::draw(Renderer& renderer) {
    if (!isStarted()) return;
    ScrapBit& bit = bits_[shown_];
    bit.setPosition(position_);
    bit.draw(renderer, currentLook());
    const int due = appearanceTimes_[appearanceTimes_.size() - 1 - static_cast<std::size_t>(shown_)];
    if (due < Timer::instance().getTime() - startTime_ && shown_ > rest_) --shown_;
}
