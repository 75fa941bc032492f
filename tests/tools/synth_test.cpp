#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/mp3_stream.h"
#include "tools/show_data/composition.h"
#include "tools/show_data/mp3_writer.h"
#include "tools/show_data/synth.h"

using namespace show_data;

namespace {

constexpr int kRate = 44100;

// The music's first seconds: pad, pluck and the first beats.
std::vector<int16_t> renderOpening(int seconds) {
    const Composition composition = composeShow();
    Synth synth(composition.messages, composition.quarterMs);
    std::vector<int16_t> samples;
    while (samples.size() < 2u * kRate * seconds) {
        const std::span<const int16_t> block = synth.next();
        samples.insert(samples.end(), block.begin(), block.end());
    }
    samples.resize(2 * kRate * seconds);
    return samples;
}

double rms(const std::vector<int16_t>& samples, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(samples[i]) * samples[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

}  // namespace

TEST(Synth, RendersTheSameAudibleSamplesEveryTime) {
    const std::vector<int16_t> first = renderOpening(10);
    EXPECT_EQ(first, renderOpening(10));
    // The pad swells in the black, the beat starts at 6 s.
    EXPECT_GT(rms(first, 2 * kRate, 2 * 2 * kRate), 300);
    EXPECT_GT(rms(first, 2 * 6 * kRate, first.size()), 500);

    Synth quiet(std::vector<TimedMidiMessage>{}, 500);
    const std::span<const int16_t> silence = quiet.next();
    EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](int16_t sample) { return sample == 0; }))
        << "no notes, no sound";
}

TEST(Mp3Writer, DecodesToTheSamplesItWasGiven) {
    const std::vector<int16_t> samples = renderOpening(8);
    Mp3Writer writer(160);
    writer.encode(samples);
    const std::vector<uint8_t> mp3 = writer.finish();

    // The player's own decoder: with the info frame it drops the encoder's
    // padding, so the music comes back sample for sample in time.
    const std::unique_ptr<host::Mp3Stream> stream = host::Mp3Stream::open(mp3.data(), mp3.size());
    ASSERT_TRUE(stream);
    std::vector<int16_t> decoded(samples.size() + 2 * kRate);
    const std::size_t bytes =
        stream->read(reinterpret_cast<uint8_t*>(decoded.data()), decoded.size() * sizeof(int16_t));
    ASSERT_EQ(bytes, samples.size() * sizeof(int16_t));
    decoded.resize(samples.size());

    double difference = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        difference += std::pow(static_cast<double>(decoded[i]) - samples[i], 2);
    }
    const double error = std::sqrt(difference / static_cast<double>(samples.size()));
    EXPECT_LT(error, 0.1 * rms(samples, 0, samples.size())) << "the coding loss stays far below the music";
}
