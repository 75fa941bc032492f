#include "platform/audio_output.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace host {

namespace {

// About 23 ms a buffer: short enough for a prompt start, long enough that
// decoding never falls behind.
constexpr Uint16 kDeviceFrames = 1024;

void fillDeviceBuffer(void* output, Uint8* out, int bytes) { static_cast<AudioOutput*>(output)->mix(out, bytes); }

}  // namespace

class AudioOutput::DeviceLock {
public:
    explicit DeviceLock(uint32_t device) : device_(device) { SDL_LockAudioDevice(device_); }
    ~DeviceLock() { SDL_UnlockAudioDevice(device_); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    uint32_t device_;
};

AudioOutput::~AudioOutput() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool AudioOutput::init() {
    if (device_ != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = kOutputRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kOutputChannels;
    wanted.samples = kDeviceFrames;
    wanted.callback = fillDeviceBuffer;
    wanted.userdata = this;
    // SDL converts when the device wants another format; devices open paused.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device_ == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return device_ != 0;
}

const char* AudioOutput::lastError() { return SDL_GetError(); }

bool AudioOutput::start() {
    if (device_ == 0) return false;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

ChannelHandle AudioOutput::createStream(const uint8_t* data, size_t size) {
    std::unique_ptr<Mp3Stream> stream = Mp3Stream::open(data, size);
    if (!stream) return 0;
    DeviceLock lock(device_);
    channels_.push_back(Channel{std::move(stream), State::Stopped});
    return static_cast<ChannelHandle>(channels_.size());
}

bool AudioOutput::arm(ChannelHandle channel) {
    DeviceLock lock(device_);
    Channel* found = find(channel);
    if (found == nullptr || !found->stream->seek(0)) return false;
    found->state = State::Paused;
    return true;
}

bool AudioOutput::setPosition(ChannelHandle channel, int64_t byte) {
    DeviceLock lock(device_);
    Channel* found = find(channel);
    return found != nullptr && found->stream->seek(byte);
}

bool AudioOutput::resume(ChannelHandle channel) { return changeState(channel, State::Playing); }

bool AudioOutput::stop(ChannelHandle channel) { return changeState(channel, State::Stopped); }

bool AudioOutput::isActive(ChannelHandle channel) {
    DeviceLock lock(device_);
    Channel* found = find(channel);
    return found != nullptr && found->state != State::Stopped;
}

int64_t AudioOutput::secondsToBytes(ChannelHandle channel, double seconds) {
    DeviceLock lock(device_);
    if (find(channel) == nullptr) return -1;
    return static_cast<int64_t>(seconds * kOutputRate) * kOutputFrameBytes;
}

void AudioOutput::setVolume(int volume) {
    DeviceLock lock(device_);
    volume_ = std::clamp(volume, 0, 100);
}

int AudioOutput::volume() {
    DeviceLock lock(device_);
    return volume_;
}

size_t AudioOutput::streamCount() {
    DeviceLock lock(device_);
    return channels_.size();
}

void AudioOutput::mix(uint8_t* out, int bytes) {
    const size_t samples = static_cast<size_t>(std::max(bytes, 0)) / sizeof(int16_t);
    sums_.assign(samples, 0);
    decoded_.resize(samples);
    for (Channel& channel : channels_) {
        if (channel.state != State::Playing) continue;
        const size_t got = channel.stream->read(reinterpret_cast<uint8_t*>(decoded_.data()), samples * sizeof(int16_t)) /
                           sizeof(int16_t);
        for (size_t i = 0; i < got; ++i) sums_[i] += decoded_[i];
        // Short of what was asked for: the track is over.
        if (got < samples) channel.state = State::Stopped;
    }
    for (size_t i = 0; i < samples; ++i) {
        decoded_[i] = static_cast<int16_t>(std::clamp(sums_[i] * volume_ / 100, -32768, 32767));
    }
    std::memcpy(out, decoded_.data(), samples * sizeof(int16_t));
}

bool AudioOutput::changeState(ChannelHandle channel, State state) {
    DeviceLock lock(device_);
    Channel* found = find(channel);
    if (found == nullptr) return false;
    found->state = state;
    return true;
}

AudioOutput::Channel* AudioOutput::find(ChannelHandle channel) {
    if (channel == 0 || channel > channels_.size()) return nullptr;
    return &channels_[channel - 1];
}

}  // namespace host
