#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/mp3_stream.h"

namespace host {

// A stream of the output; 0 is none.
using ChannelHandle = uint32_t;

// Music output over an SDL2 audio device (44100 Hz, 16-bit stereo): MP3
// streams over bytes in memory, decoded only as the device asks for
// samples, mixed at one global volume. State changes take the device lock,
// so the device thread never sees one half done.
//
//   output.init() && output.start();
//   ChannelHandle music = output.createStream(bytes, size);
//   output.arm(music);     // paused at its start
//   output.resume(music);  // plays
class AudioOutput {
public:
    AudioOutput() = default;
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Opens the default device, silent until start. False when none opens.
    bool init();
    // Lets the device play. False without a device.
    bool start();
    // Why init failed.
    static const char* lastError();

    // A new, stopped stream over bytes that must outlive the output; 0 when
    // they hold no MP3.
    ChannelHandle createStream(const uint8_t* data, size_t size);
    // Takes the stream to its start, paused: active and silent.
    bool arm(ChannelHandle channel);
    // Moves to a byte offset in the decoded samples; the stream goes on as it
    // was. False beyond the end.
    bool setPosition(ChannelHandle channel, int64_t byte);
    // Plays on from the current position, paused or stopped.
    bool resume(ChannelHandle channel);
    bool stop(ChannelHandle channel);
    // Playing or paused; false once stopped or played to its end.
    bool isActive(ChannelHandle channel);
    // The byte offset of a time in the stream's decoded samples; -1 for no
    // stream.
    int64_t secondsToBytes(ChannelHandle channel, double seconds);

    // The global volume, 0 (silent) to 100 (as decoded).
    void setVolume(int volume);
    int volume();

    size_t streamCount();

    // What the device calls for `bytes` bytes of output: every playing
    // stream decoded and mixed at the volume. A stream that runs out stops.
    void mix(uint8_t* out, int bytes);

private:
    enum class State { Stopped, Paused, Playing };
    struct Channel {
        std::unique_ptr<Mp3Stream> stream;
        State state = State::Stopped;
    };
    class DeviceLock;

    bool changeState(ChannelHandle channel, State state);
    // Null for a handle that names no stream. Call under the device lock.
    Channel* find(ChannelHandle channel);

    uint32_t device_ = 0;
    std::vector<Channel> channels_;  // handle = index + 1
    int volume_ = 100;
    std::vector<int16_t> decoded_;  // the device thread's scratch buffers
    std::vector<int32_t> sums_;
};

}  // namespace host
