#include "framework/audio/audio_recorder.h"
#include "framework/scene/clamped_value.h"
#include "framework/scene/input_bindings.h"
#include "framework/scene/scene.h"
#include "framework/audio/sound_level_trigger.h"
#include "framework/audio/spectrum_bands.h"
#include "framework/audio/spectrum_fft.h"
#include "framework/triggers/triggerable.h"
#include "framework/window/viewport.h"
#include "tests/fake_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr int fftSize = 1024;

std::vector<float> sine(double cyclesPerBlock, double amplitude) {
    std::vector<float> samples(fftSize);
    for (int i = 0; i < fftSize; ++i) {
        samples[i] = static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * cyclesPerBlock * i / fftSize));
    }
    return samples;
}

// Recorded sound the test queues by hand.
struct QueuedSound : host::SoundInput {
    std::size_t available() const override { return samples->size() * sizeof(int16_t); }
    void read(std::span<int16_t> out) override {
        for (int16_t& sample : out) {
            sample = samples->front();
            samples->pop_front();
        }
    }
    void setLevel(int input, int level) override { levels->push_back(input * 1000 + level); }

    std::shared_ptr<std::deque<int16_t>> samples = std::make_shared<std::deque<int16_t>>();
    std::shared_ptr<std::vector<int>> levels = std::make_shared<std::vector<int>>();
};

// A stereo sine of the given bin, left and right alike, full scale.
void queueSine(std::deque<int16_t>& queue, int bin) {
    for (float sample : sine(bin, 1.0)) {
        const auto value = static_cast<int16_t>(std::lround(sample * 32767.0f));
        queue.push_back(value);
        queue.push_back(value);
    }
}

struct CountingAction : Triggerable {
    void trigger(int) override { ++fired; }
    using Triggerable::trigger;
    int fired = 0;
};

class AudioRecorderTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        QueuedSound input;
        samples = input.samples;
        levels = input.levels;
        AudioRecorder::instance().start(3, std::make_unique<QueuedSound>(std::move(input)));
        AudioRecorder::instance().setInputLevel(1.0f);
        AudioRecorder::instance().setWeight(0.1f);
        setSceneTime(10);
    }
    void TearDown() override {
        AudioRecorder::instance().free();
        FakeClockTest::TearDown();
    }

    std::shared_ptr<std::deque<int16_t>> samples;
    std::shared_ptr<std::vector<int>> levels;
};

}  // namespace

TEST(SpectrumFft, SinesPeakInTheirBinsAndScaleWithAmplitude) {
    std::vector<float> magnitudes(fftSize / 2);
    spectrumMagnitudes(sine(64, 1.0), magnitudes);
    EXPECT_NEAR(magnitudes[64], 0.5f, 1e-4f);
    // The window spreads a centred sine over its two neighbours only.
    EXPECT_NEAR(magnitudes[63], 0.25f, 1e-4f);
    EXPECT_NEAR(magnitudes[65], 0.25f, 1e-4f);
    for (int k = 0; k < fftSize / 2; ++k) {
        if (std::abs(k - 64) > 1) {
            EXPECT_NEAR(magnitudes[k], 0.0f, 1e-4f) << k;
        }
    }

    spectrumMagnitudes(sine(200, 0.25), magnitudes);
    EXPECT_EQ(std::max_element(magnitudes.begin(), magnitudes.end()) - magnitudes.begin(), 200);
    EXPECT_NEAR(magnitudes[200], 0.125f, 1e-4f);

    std::vector<float> silence(fftSize, 0.0f);
    spectrumMagnitudes(silence, magnitudes);
    EXPECT_EQ(*std::max_element(magnitudes.begin(), magnitudes.end()), 0.0f);
}

TEST(SpectrumBands, WeightedBandAveragesAndBounds) {
    std::vector<float> bins(512, 2.0f);
    SpectrumBands bands(bins);
    EXPECT_FLOAT_EQ(bands.average(0.0f, 1.0f), 2.0f);
    EXPECT_EQ(bands.average(0.5f, 0.5f), 0.0f);
    EXPECT_EQ(bands.average(0.6f, 0.4f), 0.0f);
    // Fractions beyond the spectrum read only the bins there are.
    EXPECT_FLOAT_EQ(bands.average(-3.0f, 7.0f), 2.0f);
    EXPECT_EQ(bands.value(512), 0.0f);
    EXPECT_EQ(bands.value(-1), 0.0f);

    SpectrumWeighting ramp(512);
    ramp.addSegment(0.25f, 0.75f, 0.0f, 1.0f);  // bins 128 to 384
    EXPECT_EQ(ramp.weightAt(0), 0.0f);
    EXPECT_EQ(ramp.weightAt(128), 0.0f);
    EXPECT_FLOAT_EQ(ramp.weightAt(256), 0.5f);
    EXPECT_FLOAT_EQ(ramp.weightAt(320), 0.75f);
    EXPECT_EQ(ramp.weightAt(384), 1.0f);
    EXPECT_EQ(ramp.weightAt(511), 1.0f);
    ramp.setGain(4.0f);
    EXPECT_FLOAT_EQ(ramp.weightAt(256), 2.0f);
    EXPECT_FLOAT_EQ(ramp.weightAt(511), 4.0f);

    bands.setWeighting(&ramp);
    EXPECT_EQ(bands.getWeighting(), &ramp);
    EXPECT_FLOAT_EQ(bands.value(256), 4.0f);
    // Bins 256..319 weigh 2 to 2.98: their mean weight is 4 * (287.5 - 128) / 256.
    EXPECT_FLOAT_EQ(bands.average(0.5f, 0.625f), 2.0f * 2.4921875f);
}

TEST_F(AudioRecorderTest, LevelsReadTheRecordedSpectrumOncePerClockTime) {
    AudioRecorder& recorder = AudioRecorder::instance();
    queueSine(*samples, 64);
    queueSine(*samples, 300);
    // Flat weighting times the weight 0.1 * 10: the band of bins 64..65.
    const float from = 64.0f / 512, to = 66.0f / 512;
    EXPECT_NEAR(recorder.level(from, to), 0.375f, 1e-3f);
    EXPECT_EQ(samples->size(), 2u * fftSize);
    // The same clock time shares the spectrum: nothing more is read.
    EXPECT_NEAR(recorder.level(300.0f / 512, 301.0f / 512), 0.0f, 1e-3f);
    EXPECT_EQ(samples->size(), 2u * fftSize);

    setSceneTime(20);
    EXPECT_NEAR(recorder.level(300.0f / 512, 301.0f / 512), 0.5f, 1e-3f);
    EXPECT_TRUE(samples->empty());
    // Fewer bytes than one FFT needs read as silence and stay queued.
    samples->assign(2 * fftSize - 2, 10000);
    setSceneTime(30);
    EXPECT_EQ(recorder.level(0.0f, 1.0f), 0.0f);
    EXPECT_EQ(samples->size(), 2u * fftSize - 2);

    // The level goes to the input once per change; the weight scales levels.
    EXPECT_EQ(*levels, std::vector<int>{3100});
    recorder.setWeight(0.5f);
    queueSine(*samples, 64);
    setSceneTime(40);
    samples->erase(samples->begin(), samples->begin() + 2 * fftSize - 2);
    EXPECT_NEAR(recorder.level(64.0f / 512, 65.0f / 512), 2.5f, 1e-2f);
    recorder.setInputLevel(-0.2f);
    setSceneTime(50);
    recorder.level(0.0f, 1.0f);
    EXPECT_EQ(*levels, (std::vector<int>{3100, 3000}));
}

TEST_F(AudioRecorderTest, DisabledReadsZeroAndFetchesNothing) {
    AudioRecorder& recorder = AudioRecorder::instance();
    queueSine(*samples, 64);
    recorder.setEnabled(false);
    EXPECT_FALSE(recorder.isEnabled());
    EXPECT_EQ(recorder.level(0.0f, 1.0f), 0.0f);
    EXPECT_EQ(samples->size(), 2u * fftSize);
    SoundLevelTrigger trigger(0.01f, 0.0f, 1.0f);
    EXPECT_EQ(trigger.poll(), 0);

    recorder.setInputLevel(1.5f);
    EXPECT_EQ(recorder.inputLevel(), 100.0f);
    recorder.setInputLevel(-0.2f);
    EXPECT_EQ(recorder.inputLevel(), 0.0f);
    recorder.setWeight(0.5f);
    EXPECT_EQ(recorder.weight(), 5.0f);
}

TEST_F(AudioRecorderTest, SoundLevelTriggerFiresAtItsThreshold) {
    InputBindings bindings;
    CountingAction loud, quiet;
    bindings.bindSoundLevel(&loud, 0.3f, 64.0f / 512, 66.0f / 512);
    bindings.bindSoundLevel(&quiet, 0.4f, 64.0f / 512, 66.0f / 512);
    queueSine(*samples, 64);
    bindings.update();
    EXPECT_EQ(loud.fired, 1);
    EXPECT_EQ(quiet.fired, 0);
    // No new sound: the spectrum of the next frame is silent.
    setSceneTime(20);
    bindings.update();
    EXPECT_EQ(loud.fired, 1);
}

TEST_F(AudioRecorderTest, SceneUpdatePassesTheGainsOrFullLevels) {
    AudioRecorder& recorder = AudioRecorder::instance();
    Scene scene;
    scene.load();
    scene.enter();
    Viewport::instance().setUseMidiGains(false);
    scene.update();
    EXPECT_EQ(recorder.inputLevel(), 100.0f);
    EXPECT_EQ(recorder.weight(), 10.0f);

    Viewport::instance().setUseMidiGains(true);
    Scene::gainA().upAction()->trigger(0);
    Scene::gainB().downAction()->trigger(0);
    const float gainA = Scene::gainA().get();
    scene.update();
    EXPECT_FLOAT_EQ(recorder.inputLevel(), gainA * 100.0f);
    EXPECT_EQ(recorder.weight(), 0.0f);
    Viewport::instance().setUseMidiGains(false);
    scene.leave();
}
