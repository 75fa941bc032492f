#include "figures/color_source.h"

#include "figures/random.h"

namespace {

float randomChannel(float lo, float hi) {
    int a = static_cast<int>(static_cast<double>(lo) * 255.0);
    int b = static_cast<int>(static_cast<double>(hi) * 255.0);
    return randomInt(a, b) / 255.0f;
}

}  // namespace

std::unique_ptr<ColorSource> FixedColor::clone() const { return std::make_unique<FixedColor>(first_, second_); }

RandomColor::RandomColor(float rMin, float rMax, float gMin, float gMax, float bMin, float bMax)
    : rMin_(rMin), rMax_(rMax), gMin_(gMin), gMax_(gMax), bMin_(bMin), bMax_(bMax) {
    regenerate();
}

std::unique_ptr<ColorSource> RandomColor::clone() const {
    return std::make_unique<RandomColor>(rMin_, rMax_, gMin_, gMax_, bMin_, bMax_);
}

void RandomColor::regenerate() {
    RGB c;
    c.r = randomChannel(rMin_, rMax_);
    c.g = randomChannel(gMin_, gMax_);
    c.b = randomChannel(bMin_, bMax_);
    fill_ = c;
    outline_ = c;
}

std::unique_ptr<ColorSource> makeColorPresetA() { return std::make_unique<RandomColor>(0.7f, 0.9f, 0.0f, 0.2f, 0.0f, 0.2f); }

std::unique_ptr<ColorSource> makeColorPresetB() {
    return std::make_unique<RandomColor>(0.45f, 0.46f, 0.45f, 0.46f, 0.45f, 0.46f);
}
