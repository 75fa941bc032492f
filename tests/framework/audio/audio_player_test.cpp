#include "framework/audio/audio_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "engine/core/exception.h"
#include "tests/sine_mp3.h"
#include "tests/temp_folder.h"

namespace {

// A player on SDL's dummy device, which plays in real time, so the music
// files are long enough to outlast a test.
class AudioPlayerTest : public testing::Test {
protected:
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    std::string music(const std::string& name, double seconds = 10.0) {
        return folder.write(name, EncodeSineMp3(440, seconds));
    }

    AudioPlayer& startPlayer() {
        player = std::make_unique<AudioPlayer>(output);
        return *player;
    }

    TempFolder folder;
    // Declared before the output, so freed after it: the output must close
    // before the player frees the bytes that it decodes.
    std::unique_ptr<AudioPlayer> player;
    host::AudioOutput output;
};

// The message of what the call throws: the player throws by pointer.
template <typename Call>
std::string FailureOf(Call call) {
    try {
        call();
    } catch (zentac::Exception* error) {
        std::unique_ptr<zentac::Exception> owned(error);
        EXPECT_STREQ(owned->Function().Data(), "");
        return owned->Message().Data();
    }
    return "<nothing thrown>";
}

TEST_F(AudioPlayerTest, KeepsOneArmedStreamPerName) {
    const std::string first = music("first.mp3");
    const std::string second = music("second.mp3");
    AudioPlayer& player = startPlayer();

    player.stop(first);
    EXPECT_EQ(output.streamCount(), 0u) << "stopping what was never loaded does nothing";

    player.load(first);
    player.load(first);
    EXPECT_EQ(output.streamCount(), 1u);
    EXPECT_TRUE(player.isPlaying(first)) << "armed counts as active";

    player.play(second);
    EXPECT_EQ(output.streamCount(), 2u) << "play loads what is not loaded";
    EXPECT_TRUE(player.isPlaying(second));
    player.stop(second);
    EXPECT_FALSE(player.isPlaying(second));
    player.play(second);
    EXPECT_TRUE(player.isPlaying(second));

    player.restart(second);
    EXPECT_TRUE(player.isPlaying(second));
    player.seek(second, 9000);
    player.seek(first, 2500);
    EXPECT_EQ(output.streamCount(), 2u);

    player.setVolume(1.5f);
    EXPECT_EQ(output.volume(), 100);
    player.setVolume(-0.2f);
    EXPECT_EQ(output.volume(), 0);
    player.setVolume(0.255f);
    EXPECT_EQ(output.volume(), 25);
}

TEST_F(AudioPlayerTest, FailuresNameTheFile) {
    AudioPlayer& player = startPlayer();
    const std::string missing = folder / "missing.mp3";
    EXPECT_EQ(FailureOf([&] { player.load(missing); }), "Couldn't load '" + missing + "'");
    EXPECT_EQ(FailureOf([&] { player.play(missing); }), "Couldn't load '" + missing + "'");
    const std::string text = folder.write("text.mp3", "no music in here");
    EXPECT_EQ(FailureOf([&] { player.load(text); }), "Couldn't load '" + text + "'");
    EXPECT_EQ(output.streamCount(), 0u);

    const std::string shortTrack = music("short.mp3", 1.0);
    EXPECT_EQ(FailureOf([&] { player.seek(shortTrack, 5000); }), "Couldn't stop '" + shortTrack + "'");
    EXPECT_EQ(FailureOf([&] { player.seek(shortTrack, -1000); }), "Couldn't stop '" + shortTrack + "'");
}

TEST_F(AudioPlayerTest, TheDevicePlaysTheTrackToItsEnd) {
    const std::string track = music("short.mp3", 0.3);
    AudioPlayer& player = startPlayer();
    player.play(track);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (player.isPlaying(track) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(player.isPlaying(track));
}

TEST_F(AudioPlayerTest, StartUpWithoutDeviceThrowsZero) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    try {
        startPlayer();
        ADD_FAILURE() << "no exception";
    } catch (int code) {
        EXPECT_EQ(code, 0);
    }
}

}  // namespace
