#pragma once

#include "figures/color.h"

#include <memory>

// Fill and outline colours of shapes and branch tips. Shapes read them every
// frame and ask for fresh ones when their animation starts.
class ColorSource {
public:
    virtual ~ColorSource() = default;
    // The references stay valid as long as the source lives; what they refer
    // to changes on regenerate.
    virtual const RGB& color() const = 0;
    virtual const RGB& color2() const = 0;
    virtual std::unique_ptr<ColorSource> clone() const = 0;
    virtual void regenerate() = 0;
};

class FixedColor : public ColorSource {
public:
    // The fill is the second colour, the outline the first.
    FixedColor(RGB first, RGB second) : first_(first), second_(second) {}

    const RGB& color() const override { return second_; }
    const RGB& color2() const override { return first_; }
    std::unique_ptr<ColorSource> clone() const override;
    void regenerate() override {}

private:
    RGB first_;
    RGB second_;
};

// One random colour for fill and outline alike, each channel drawn within
// its bounds (upper bound excluded). A bound pair that leaves no room gives
// the lower bound.
class RandomColor : public ColorSource {
public:
    RandomColor(float rMin, float rMax, float gMin, float gMax, float bMin, float bMax);

    const RGB& color() const override { return fill_; }
    const RGB& color2() const override { return outline_; }
    std::unique_ptr<ColorSource> clone() const override;
    void regenerate() override;

private:
    RGB fill_;
    RGB outline_;
    float rMin_, rMax_, gMin_, gMax_, bMin_, bMax_;
};

// A red.
std::unique_ptr<ColorSource> makeColorPresetA();
// A grey.
std::unique_ptr<ColorSource> makeColorPresetB();
