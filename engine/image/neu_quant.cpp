#include "engine/image/neu_quant.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

namespace zentac {

namespace {

constexpr int kCycles = 100;
constexpr int kNetBiasShift = 4;  // colour values are kept with 4 extra bits
constexpr int kIntBiasShift = 16;
constexpr int kIntBias = 1 << kIntBiasShift;
constexpr int kGammaShift = 10;
constexpr int kBetaShift = 10;
constexpr int kBeta = kIntBias >> kBetaShift;
constexpr int kBetaGamma = kIntBias << (kGammaShift - kBetaShift);
constexpr int kInitialRadius = NeuQuant::kNetSize >> 3;
constexpr int kRadiusBiasShift = 6;
constexpr int kRadiusDecrement = 30;
constexpr int kAlphaBiasShift = 10;
constexpr int kInitialAlpha = 1 << kAlphaBiasShift;
constexpr int kRadBiasShift = 8;
constexpr int kAlphaRadBiasShift = kAlphaBiasShift + kRadBiasShift;
constexpr int kSearchStart = 1000;

// Sampling strides of prime pixel counts, so that the samples do not
// follow the rows of the image.
int64_t SampleStride(int64_t byteCount) {
    if (byteCount % 499 != 0) return 4 * 499;
    if (byteCount % 491 != 0) return 4 * 491;
    if (byteCount % 487 != 0) return 4 * 487;
    return 4 * 503;
}

}  // namespace

NeuQuant::NeuQuant(const uint8_t* pixels, int64_t byteCount, int samplingFactor) {
    for (int i = 0; i < kNetSize; ++i) {
        int level = (i << (kNetBiasShift + 8)) / kNetSize;
        network_[i][0] = network_[i][1] = network_[i][2] = level;
        frequency_[i] = kIntBias / kNetSize;
        bias_[i] = 0;
    }
    Learn(pixels, byteCount, samplingFactor);
    Unbias();
    for (int i = 0; i < kNetSize; ++i) {
        palette_[i] = static_cast<uint32_t>(network_[i][0]) | static_cast<uint32_t>(network_[i][1]) << 8 |
                      static_cast<uint32_t>(network_[i][2]) << 16 | 0xFF000000u;
    }
    BuildGreenIndex();
}

void NeuQuant::Learn(const uint8_t* pixels, int64_t byteCount, int samplingFactor) {
    const int64_t samples = byteCount / (4 * samplingFactor);
    if (samples == 0) return;
    // Fewer samples than cycles still shrink alpha and radius every sample.
    const int64_t delta = std::max<int64_t>(samples / kCycles, 1);
    const int alphaDecrement = 30 + (samplingFactor - 1) / 3;
    const int64_t stride = SampleStride(byteCount);
    int alpha = kInitialAlpha;
    int radius = kInitialRadius << kRadiusBiasShift;
    int rad = radius >> kRadiusBiasShift;
    if (rad <= 1) rad = 0;
    SetRadiusPower(rad, alpha);
    int64_t position = 0;
    for (int64_t i = 1; i <= samples; ++i) {
        const uint8_t* p = pixels + position;
        int blue = p[0] << kNetBiasShift;
        int green = p[1] << kNetBiasShift;
        int red = p[2] << kNetBiasShift;
        int winner = Contest(blue, green, red);
        MoveWinner(alpha, winner, blue, green, red);
        if (rad) MoveNeighbours(rad, winner, blue, green, red);
        // Images smaller than the stride wrap more than once.
        position = (position + stride) % byteCount;
        if (i % delta == 0) {
            alpha -= alpha / alphaDecrement;
            radius -= radius / kRadiusDecrement;
            rad = radius >> kRadiusBiasShift;
            if (rad <= 1) rad = 0;
            SetRadiusPower(rad, alpha);
        }
    }
}

void NeuQuant::SetRadiusPower(int rad, int alpha) {
    for (int i = 0; i < rad; ++i) {
        radiusPower_[i] = alpha * (((rad * rad - i * i) << kRadBiasShift) / (rad * rad));
    }
}

// The winner by biased distance; frequencies and biases favour neurons
// that rarely win.
int NeuQuant::Contest(int blue, int green, int red) {
    int bestDistance = INT_MAX;
    int bestBiasedDistance = INT_MAX;
    int bestNeuron = 0;
    int bestBiasedNeuron = 0;
    for (int i = 0; i < kNetSize; ++i) {
        const int* n = network_[i];
        int distance = std::abs(n[0] - blue) + std::abs(n[1] - green) + std::abs(n[2] - red);
        if (distance < bestDistance) {
            bestDistance = distance;
            bestNeuron = i;
        }
        int biasedDistance = distance - (bias_[i] >> (kIntBiasShift - kNetBiasShift));
        if (biasedDistance < bestBiasedDistance) {
            bestBiasedDistance = biasedDistance;
            bestBiasedNeuron = i;
        }
        int betaFrequency = frequency_[i] >> kBetaShift;
        frequency_[i] -= betaFrequency;
        bias_[i] += betaFrequency << kGammaShift;
    }
    frequency_[bestNeuron] += kBeta;
    bias_[bestNeuron] -= kBetaGamma;
    return bestBiasedNeuron;
}

void NeuQuant::MoveWinner(int alpha, int neuron, int blue, int green, int red) {
    int* n = network_[neuron];
    n[0] -= (alpha * (n[0] - blue)) >> kAlphaBiasShift;
    n[1] -= (alpha * (n[1] - green)) >> kAlphaBiasShift;
    n[2] -= (alpha * (n[2] - red)) >> kAlphaBiasShift;
}

void NeuQuant::MoveNeighbours(int rad, int neuron, int blue, int green, int red) {
    int low = std::max(neuron - rad, -1);
    int high = std::min(neuron + rad, kNetSize);
    int above = neuron + 1;
    int below = neuron - 1;
    int distance = 1;
    auto move = [&](int* n, int power) {
        n[0] -= (power * (n[0] - blue)) >> kAlphaRadBiasShift;
        n[1] -= (power * (n[1] - green)) >> kAlphaRadBiasShift;
        n[2] -= (power * (n[2] - red)) >> kAlphaRadBiasShift;
    };
    while (above < high || below > low) {
        int power = radiusPower_[distance++];
        if (above < high) move(network_[above++], power);
        if (below > low) move(network_[below--], power);
    }
}

void NeuQuant::Unbias() {
    for (int i = 0; i < kNetSize; ++i) {
        for (int c = 0; c < 3; ++c) network_[i][c] >>= kNetBiasShift;
        network_[i][3] = i;
    }
}

// Sorts the neurons by green and notes, for each green level, where the
// search should start.
void NeuQuant::BuildGreenIndex() {
    int previousGreen = 0;
    int start = 0;
    for (int i = 0; i < kNetSize; ++i) {
        int smallest = i;
        for (int j = i + 1; j < kNetSize; ++j) {
            if (network_[j][1] < network_[smallest][1]) smallest = j;
        }
        if (smallest != i) std::swap(network_[i], network_[smallest]);
        int green = network_[i][1];
        if (green != previousGreen) {
            greenIndex_[previousGreen] = (start + i) >> 1;
            for (int g = previousGreen + 1; g < green; ++g) greenIndex_[g] = i;
            previousGreen = green;
            start = i;
        }
    }
    greenIndex_[previousGreen] = (start + kNetSize - 1) >> 1;
    for (int g = previousGreen + 1; g < 256; ++g) greenIndex_[g] = kNetSize - 1;
}

int NeuQuant::IndexOf(int blue, int green, int red) const {
    int bestDistance = kSearchStart;
    int best = 0;
    int up = greenIndex_[green];
    int down = up - 1;
    auto consider = [&](const int* n, int greenDistance) {
        int distance = std::abs(greenDistance) + std::abs(n[0] - blue);
        if (distance >= bestDistance) return;
        distance += std::abs(n[2] - red);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = n[3];
        }
    };
    while (up < kNetSize || down >= 0) {
        if (up < kNetSize) {
            const int* n = network_[up];
            int greenDistance = n[1] - green;
            if (greenDistance >= bestDistance) {
                up = kNetSize;
            } else {
                ++up;
                consider(n, greenDistance);
            }
        }
        if (down >= 0) {
            const int* n = network_[down];
            int greenDistance = green - n[1];
            if (greenDistance >= bestDistance) {
                down = -1;
            } else {
                --down;
                consider(n, greenDistance);
            }
        }
    }
    return best;
}

}  // namespace zentac
