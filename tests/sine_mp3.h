#pragma once

#include <lame/lame.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

// Amplitude of the encoded tone: loud, far from clipping.
constexpr double kSineAmplitude = 16000.0;

// A mono MP3 of a sine tone, encoded in memory, with the encoder's tag frame
// so that decoders trim its delay and padding.
inline std::vector<uint8_t> EncodeSineMp3(double frequency, double seconds, int rate = 44100) {
    lame_t encoder = lame_init();
    lame_set_in_samplerate(encoder, rate);
    lame_set_out_samplerate(encoder, rate);
    lame_set_num_channels(encoder, 1);
    lame_set_mode(encoder, MONO);
    lame_set_brate(encoder, 96);
    lame_init_params(encoder);

    std::vector<short> samples(static_cast<size_t>(seconds * rate));
    for (size_t i = 0; i < samples.size(); ++i) {
        samples[i] = static_cast<short>(kSineAmplitude * std::sin(2 * std::numbers::pi * frequency * i / rate));
    }
    std::vector<uint8_t> mp3(samples.size() * 5 / 4 + 7200);
    int size = lame_encode_buffer(encoder, samples.data(), samples.data(), static_cast<int>(samples.size()), mp3.data(),
                                  static_cast<int>(mp3.size()));
    size += lame_encode_flush(encoder, mp3.data() + size, static_cast<int>(mp3.size()) - size);
    mp3.resize(static_cast<size_t>(size));
    // The tag frame, known only now, takes the place of the first frame.
    lame_get_lametag_frame(encoder, mp3.data(), mp3.size());
    lame_close(encoder);
    return mp3;
}
