#include "platform/audio_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/sine_mp3.h"

namespace {

using host::AudioOutput;
using host::ChannelHandle;

constexpr int kRate = 44100;

// An output on SDL's dummy device, never started: the test alone pulls its
// samples, through the callback the device would call.
class AudioOutputTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(output.init());
    }

    // `seconds` of interleaved stereo output, in device-sized pieces.
    std::vector<int16_t> pull(double seconds) {
        std::vector<int16_t> samples(static_cast<size_t>(seconds * kRate) * 2);
        for (size_t done = 0; done < samples.size(); done += 2048) {
            const size_t count = std::min<size_t>(2048, samples.size() - done);
            output.mix(reinterpret_cast<uint8_t*>(samples.data() + done), static_cast<int>(count * 2));
        }
        return samples;
    }

    ChannelHandle create(const std::vector<uint8_t>& mp3) { return output.createStream(mp3.data(), mp3.size()); }

    AudioOutput output;
};

std::vector<int16_t> Channel(const std::vector<int16_t>& stereo, size_t which) {
    std::vector<int16_t> samples;
    for (size_t i = which; i < stereo.size(); i += 2) samples.push_back(stereo[i]);
    return samples;
}

double Rms(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (int16_t sample : samples) sum += double(sample) * sample;
    return std::sqrt(sum / samples.size());
}

// Upward zero crossings per second.
double Frequency(const std::vector<int16_t>& samples) {
    int crossings = 0;
    for (size_t i = 1; i < samples.size(); ++i) crossings += samples[i - 1] < 0 && samples[i] >= 0;
    return crossings * double(kRate) / samples.size();
}

TEST_F(AudioOutputTest, DecodesTheToneWhilePlaying) {
    const std::vector<uint8_t> mp3 = EncodeSineMp3(440, 1.0);
    const ChannelHandle music = create(mp3);
    ASSERT_NE(music, 0u);
    EXPECT_FALSE(output.isActive(music));

    ASSERT_TRUE(output.arm(music));
    EXPECT_TRUE(output.isActive(music));
    EXPECT_EQ(Rms(pull(0.1)), 0.0) << "armed means paused";

    ASSERT_TRUE(output.resume(music));
    const std::vector<int16_t> played = pull(0.5);
    const std::vector<int16_t> left = Channel(played, 0);
    EXPECT_EQ(left, Channel(played, 1)) << "mono goes to both sides";
    EXPECT_NEAR(Rms(left), kSineAmplitude / std::sqrt(2.0), kSineAmplitude * 0.05);
    EXPECT_NEAR(Frequency(left), 440, 5);

    output.setVolume(50);
    EXPECT_NEAR(Rms(pull(0.2)), kSineAmplitude / std::sqrt(2.0) / 2, kSineAmplitude * 0.03);

    pull(0.4);
    EXPECT_FALSE(output.isActive(music)) << "played to its end";
    EXPECT_EQ(Rms(pull(0.1)), 0.0);
    EXPECT_EQ(output.streamCount(), 1u);
}

TEST_F(AudioOutputTest, PositionsStopsAndResumes) {
    const std::vector<uint8_t> mp3 = EncodeSineMp3(440, 1.0);
    const ChannelHandle music = create(mp3);
    ASSERT_TRUE(output.arm(music) && output.resume(music));
    const std::vector<int16_t> opening = pull(0.2);

    ASSERT_TRUE(output.stop(music));
    EXPECT_FALSE(output.isActive(music));
    EXPECT_EQ(Rms(pull(0.1)), 0.0);
    // What play does: back to 0, then on.
    ASSERT_TRUE(output.setPosition(music, 0));
    ASSERT_TRUE(output.resume(music));
    const std::vector<int16_t> again = pull(0.2);
    ASSERT_EQ(again.size(), opening.size());
    for (size_t i = 0; i < again.size(); ++i) ASSERT_NEAR(again[i], opening[i], 2) << "sample " << i;

    EXPECT_EQ(output.secondsToBytes(music, 0.75), 33075 * 4);
    ASSERT_TRUE(output.setPosition(music, output.secondsToBytes(music, 0.75)));
    EXPECT_TRUE(output.isActive(music)) << "still playing after the jump";
    pull(0.2);
    EXPECT_TRUE(output.isActive(music));
    pull(0.1);
    EXPECT_FALSE(output.isActive(music)) << "a quarter second was left";

    EXPECT_FALSE(output.setPosition(music, output.secondsToBytes(music, 5.0)));
    EXPECT_FALSE(output.setPosition(music, -4));
    EXPECT_FALSE(output.resume(0));
    EXPECT_EQ(output.secondsToBytes(2, 1.0), -1);
}

TEST_F(AudioOutputTest, DamagedDataFailsOrEndsEarly) {
    const std::vector<uint8_t> mp3 = EncodeSineMp3(440, 1.0);
    EXPECT_EQ(output.createStream(nullptr, 0), 0u);
    const std::string text(20000, 'x');
    EXPECT_EQ(output.createStream(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0u);
    EXPECT_EQ(create(std::vector<uint8_t>(mp3.begin(), mp3.begin() + 100)), 0u);
    EXPECT_EQ(output.streamCount(), 0u);

    // Cut in half: plays what is there, then stops.
    const std::vector<uint8_t> half(mp3.begin(), mp3.begin() + mp3.size() / 2);
    const ChannelHandle cut = create(half);
    ASSERT_NE(cut, 0u);
    ASSERT_TRUE(output.arm(cut) && output.resume(cut));
    EXPECT_GT(Rms(pull(0.3)), kSineAmplitude / 2);
    pull(0.4);
    EXPECT_FALSE(output.isActive(cut));

    // Garbage in the middle: decoding skips it and goes on to the end.
    std::vector<uint8_t> scrambled = mp3;
    for (size_t i = scrambled.size() / 3; i < scrambled.size() / 2; ++i) scrambled[i] = static_cast<uint8_t>(i * 131);
    const ChannelHandle damaged = create(scrambled);
    ASSERT_NE(damaged, 0u);
    ASSERT_TRUE(output.arm(damaged) && output.resume(damaged));
    pull(1.5);
    EXPECT_FALSE(output.isActive(damaged));
}

TEST_F(AudioOutputTest, ResamplesOtherRates) {
    const std::vector<uint8_t> mp3 = EncodeSineMp3(440, 1.0, 22050);
    const ChannelHandle music = create(mp3);
    ASSERT_TRUE(output.arm(music) && output.resume(music));
    EXPECT_NEAR(Frequency(Channel(pull(0.5), 0)), 440, 5);
}

}  // namespace
