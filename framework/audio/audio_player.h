// framework/audio: music player, sound analyser and its trigger; uses clock, files, triggers, engine, platform.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "engine/streams/stream.h"
#include "platform/audio_output.h"

// Plays the show's music: one stream per file name, made from the file's
// bytes in memory and left paused at its start, so that play starts at once.
// Failures throw a new zentac::Exception by pointer, naming the file.
//
//   AudioPlayer::instance().load("data/audio/vorn.mp3");  // at load
//   AudioPlayer::instance().play("data/audio/vorn.mp3");  // on entry
//
// The early build has no volume, seek or restart.
class AudioPlayer {
public:
    // The show's player, made on first use and never freed. Throws the
    // integer 0 when no audio device opens, 2 when it cannot start.
    static AudioPlayer& instance();

    // Opens and starts the output, throwing as instance does.
    explicit AudioPlayer(host::AudioOutput& output);
    AudioPlayer(const AudioPlayer&) = delete;
    AudioPlayer& operator=(const AudioPlayer&) = delete;

    // Arms the file's stream, paused at its start; a loaded name is left as
    // it is.
    void load(const std::string& name);
    // Plays from the start, loading first when needed.
    void play(const std::string& name);
    // Stops a loaded track; an unknown name is no error.
    void stop(const std::string& name);
    // Playing or paused (armed); loads first when needed.
    bool isPlaying(const std::string& name);
#ifndef VORN_EARLY
    // Arms a loaded track again at its start, paused.
    void restart(const std::string& name);
    // Moves to ms from the start; the track goes on as it was.
    void seek(const std::string& name, int ms);
    // The global volume, 0 to 1 (clamped).
    void setVolume(float volume);
#endif

private:
    struct Track {
        std::unique_ptr<zentac::Stream> file;  // the output reads its bytes in place
        host::ChannelHandle channel;
    };

    // The loaded track of the name, or null.
    Track* find(const std::string& name);
    Track& loaded(const std::string& name);

    host::AudioOutput& output_;
    std::map<std::string, Track> tracks_;
};
