#pragma once

#include <span>
#include <vector>

// A piecewise-linear weight over the bins of a spectrum, times a gain.
class SpectrumWeighting {
public:
    explicit SpectrumWeighting(int binCount) : binCount_(binCount) {}

    // A line from the from value at the from fraction of the bins to the to
    // value at the to fraction; the gain goes back to 1.
    void addSegment(float fromFraction, float toFraction, float fromValue, float toValue);
    // Linear between the points around the bin, times the gain; a bin on or
    // beyond the first or last point takes that point's value. Without
    // points every bin weighs the gain.
    float weightAt(int bin) const;
    void setGain(float gain) { gain_ = gain; }

private:
    struct Point {
        float value;
        int bin;
    };

    std::vector<Point> points_;
    int binCount_;
    float gain_ = 1.0f;
};

// The bins of a spectrum read as bands, weighted when a weighting is set.
class SpectrumBands {
public:
    explicit SpectrumBands(std::span<const float> bins) : bins_(bins) {}

    // Mean weighted value of the bins from the from fraction up to the to
    // fraction; 0 for an empty band. Fractions outside 0..1 are held to it.
    float average(float from, float to) const;
    // The weighted bin; 0 outside the spectrum.
    float value(int bin) const;
    void setWeighting(const SpectrumWeighting* weighting) { weighting_ = weighting; }
    const SpectrumWeighting* getWeighting() const { return weighting_; }

private:
    std::span<const float> bins_;
    const SpectrumWeighting* weighting_ = nullptr;
};
