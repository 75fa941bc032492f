#include "framework/audio/spectrum_fft.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <utility>
#include <vector>

namespace {

using Complex = std::complex<double>;

void bitReverse(std::vector<Complex>& values) {
    const std::size_t n = values.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j |= bit;
        if (i < j) std::swap(values[i], values[j]);
    }
}

void transform(std::vector<Complex>& values) {
    bitReverse(values);
    const std::size_t n = values.size();
    for (std::size_t length = 2; length <= n; length <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(length);
        const Complex unit(std::cos(angle), std::sin(angle));
        for (std::size_t start = 0; start < n; start += length) {
            Complex twiddle(1.0);
            for (std::size_t k = 0; k < length / 2; ++k) {
                const Complex even = values[start + k];
                const Complex odd = values[start + k + length / 2] * twiddle;
                values[start + k] = even + odd;
                values[start + k + length / 2] = even - odd;
                twiddle *= unit;
            }
        }
    }
}

}  // namespace

void spectrumMagnitudes(std::span<const float> samples, std::span<float> magnitudes) {
    const std::size_t n = samples.size();
    std::vector<Complex> values(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        values[i] = samples[i] * hann;
    }
    transform(values);
    for (std::size_t k = 0; k < magnitudes.size() && k < n / 2; ++k) {
        magnitudes[k] = static_cast<float>(2.0 * std::abs(values[k]) / static_cast<double>(n));
    }
}
