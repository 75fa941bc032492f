#pragma once

#include <span>

// Magnitude spectrum of a block of samples: Hann window, radix-2 FFT, and
// for bin k of the first half 2·|X(k)| / N, so a full-scale sine centred on
// a bin reads 0.5 there. samples.size() must be a power of two and
// magnitudes.size() half of it.
void spectrumMagnitudes(std::span<const float> samples, std::span<float> magnitudes);
