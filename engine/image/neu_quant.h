#pragma once

#include <cstdint>

namespace zentac {

// The NeuQuant neural-network colour quantiser: a ring of 256 neurons
// learns a palette from samples of an image of 4-byte pixels (blue, green,
// red, ignored), then maps colours to their nearest palette entry.
class NeuQuant {
public:
    static constexpr int kNetSize = 256;

    // byteCount is a multiple of 4; a sampling factor of 1 learns from
    // every pixel, larger ones from fewer.
    NeuQuant(const uint8_t* pixels, int64_t byteCount, int samplingFactor);

    // Entry i: blue, green, red of neuron i and alpha 255.
    const uint32_t* Palette() const { return palette_; }
    // Index of the entry nearest by the sum of absolute differences.
    int IndexOf(int blue, int green, int red) const;

private:
    void Learn(const uint8_t* pixels, int64_t byteCount, int samplingFactor);
    int Contest(int blue, int green, int red);
    void MoveWinner(int alpha, int neuron, int blue, int green, int red);
    void MoveNeighbours(int radius, int neuron, int blue, int green, int red);
    void SetRadiusPower(int radius, int alpha);
    void Unbias();
    void BuildGreenIndex();

    // blue, green, red, and the neuron's palette index once sorted by green
    int network_[kNetSize][4];
    int bias_[kNetSize];
    int frequency_[kNetSize];
    int radiusPower_[kNetSize >> 3];
    int greenIndex_[256];
    uint32_t palette_[kNetSize];
};

}  // namespace zentac
