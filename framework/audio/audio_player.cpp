#include "framework/audio/audio_player.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/exception.h"
#include "engine/files/memory_stream.h"
#include "framework/files/file_system.h"

namespace {

// The caller's place, by the builtins behind std::source_location: clang 14,
// which builds the fuzz targets, has no std::source_location.
[[noreturn]] void fail(const std::string& message, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    throw new zentac::Exception("", message.c_str(), file, line);
}

}  // namespace

AudioPlayer& AudioPlayer::instance() {
    static host::AudioOutput* output = new host::AudioOutput;
    static AudioPlayer* player = new AudioPlayer(*output);
    return *player;
}

AudioPlayer::AudioPlayer(host::AudioOutput& output) : output_(output) {
    if (!output_.init()) {
        // The failure box that follows gives no cause, nor the way out.
        std::fprintf(stderr,
                     "Could not open the sound output: %s\n"
                     "Without a sound device, SDL_AUDIODRIVER=dummy in the environment plays the show silently.\n",
                     host::AudioOutput::lastError());
        throw 0;
    }
    if (!output_.start()) throw 2;
}

void AudioPlayer::load(const std::string& name) { loaded(name); }

void AudioPlayer::play(const std::string& name) {
    const Track& track = loaded(name);
    if (!output_.setPosition(track.channel, 0) || !output_.resume(track.channel)) {
        fail("Couldn't play '" + name + "'");
    }
}

void AudioPlayer::stop(const std::string& name) {
    const Track* track = find(name);
    if (track != nullptr && !output_.stop(track->channel)) fail("Couldn't stop '" + name + "'");
}

bool AudioPlayer::isPlaying(const std::string& name) { return output_.isActive(loaded(name).channel); }

#ifndef VORN_EARLY
void AudioPlayer::restart(const std::string& name) {
    const Track* track = find(name);
    if (track != nullptr && (!output_.stop(track->channel) || !output_.arm(track->channel))) {
        fail("Couldn't stop '" + name + "'");
    }
}

void AudioPlayer::seek(const std::string& name, int ms) {
    const Track& track = loaded(name);
    const float seconds = static_cast<float>(ms / 1000.0);
    const int64_t position = output_.secondsToBytes(track.channel, seconds);
    if (position < 0 || !output_.setPosition(track.channel, position)) fail("Couldn't stop '" + name + "'");
}

void AudioPlayer::setVolume(float volume) {
    output_.setVolume(static_cast<int>(std::clamp(volume, 0.0f, 1.0f) * 100));
}
#endif

AudioPlayer::Track* AudioPlayer::find(const std::string& name) {
    const auto found = tracks_.find(name);
    return found == tracks_.end() ? nullptr : &found->second;
}

AudioPlayer::Track& AudioPlayer::loaded(const std::string& name) {
    if (Track* track = find(name)) return *track;
    const std::string failure = "Couldn't load '" + name + "'";
    std::unique_ptr<zentac::Stream> file;
    try {
        file.reset(FileSystem::instance().open(name));
    } catch (const zentac::Exception&) {
        fail(failure);
    }
    // Every provider serves its files from memory; the decoder reads them there.
    auto* bytes = dynamic_cast<zentac::MemoryStream*>(file.get());
    if (bytes == nullptr) fail(failure);
    const host::ChannelHandle channel =
        output_.createStream(bytes->Data(), static_cast<size_t>(std::max(bytes->Size(), 0)));
    if (channel == 0 || !output_.arm(channel)) fail(failure);
    return tracks_.emplace(name, Track{std::move(file), channel}).first->second;
}
