#include "platform/audio_capture.h"

#include <SDL.h>

#include <algorithm>

namespace host {

namespace {

// About a tenth of a second: the analyser takes the sound as it comes.
constexpr Uint16 deviceFrames = 4096;
// More than this waiting means the reader fell behind: the oldest goes, so
// that what is read is recent.
constexpr std::size_t maxQueuedBytes = std::size_t{1} << 16;

}  // namespace

AudioCapture::AudioCapture(int device) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    const char* name = device < SDL_GetNumAudioDevices(1) ? SDL_GetAudioDeviceName(device, 1) : nullptr;
    if (name == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = frequency;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = channels;
    wanted.samples = deviceFrames;
    // No callback: SDL queues what it records until it is dequeued.
    device_ = SDL_OpenAudioDevice(name, 1, &wanted, nullptr, 0);
    if (device_ == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    SDL_PauseAudioDevice(device_, 0);
}

AudioCapture::~AudioCapture() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

std::size_t AudioCapture::available() const { return device_ == 0 ? 0 : SDL_GetQueuedAudioSize(device_); }

void AudioCapture::read(std::span<int16_t> samples) {
    std::fill(samples.begin(), samples.end(), int16_t{0});
    if (device_ == 0) return;
    const std::size_t bytes = samples.size_bytes();
    for (std::size_t queued = available(); queued > maxQueuedBytes; queued = available()) {
        int16_t stale[1024];
        SDL_DequeueAudio(device_, stale, static_cast<Uint32>(std::min(sizeof stale, queued - maxQueuedBytes)));
    }
    SDL_DequeueAudio(device_, samples.data(), static_cast<Uint32>(bytes));
    for (int16_t& sample : samples) sample = static_cast<int16_t>(sample * level_ / 100);
}

void AudioCapture::setLevel(int, int level) { level_ = std::clamp(level, 0, 100); }

}  // namespace host
