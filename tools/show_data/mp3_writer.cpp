#include "tools/show_data/mp3_writer.h"

#include <lame.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tools/show_data/dsp.h"

namespace show_data {

namespace {

// What LAME asks of an output buffer for a given number of input frames.
std::size_t outputRoomFor(std::size_t frames) { return frames * 5 / 4 + 7200; }

}  // namespace

Mp3Writer::Mp3Writer(int kilobitsPerSecond) : lame_(lame_init()) {
    if (!lame_) throw std::runtime_error("cannot start the MP3 encoder");
    lame_set_in_samplerate(lame_, kSampleRate);
    lame_set_out_samplerate(lame_, kSampleRate);
    lame_set_num_channels(lame_, 2);
    lame_set_mode(lame_, JOINT_STEREO);
    lame_set_VBR(lame_, vbr_off);
    lame_set_brate(lame_, kilobitsPerSecond);
    lame_set_quality(lame_, 5);
    lame_set_bWriteVbrTag(lame_, 1);
    if (lame_init_params(lame_) < 0) {
        lame_close(lame_);
        throw std::runtime_error("the MP3 encoder refuses its settings");
    }
}

Mp3Writer::~Mp3Writer() { lame_close(lame_); }

void Mp3Writer::encode(std::span<const int16_t> interleaved) {
    const std::size_t frames = interleaved.size() / 2;
    chunk_.resize(outputRoomFor(frames));
    // LAME's interface takes the samples as non-const.
    const int written = lame_encode_buffer_interleaved(lame_, const_cast<short*>(interleaved.data()),
                                                       static_cast<int>(frames), chunk_.data(),
                                                       static_cast<int>(chunk_.size()));
    if (written < 0) throw std::runtime_error("MP3 encoding failed (" + std::to_string(written) + ")");
    bytes_.insert(bytes_.end(), chunk_.begin(), chunk_.begin() + written);
}

std::vector<uint8_t> Mp3Writer::finish() {
    chunk_.resize(outputRoomFor(0));
    const int written = lame_encode_flush(lame_, chunk_.data(), static_cast<int>(chunk_.size()));
    if (written < 0) throw std::runtime_error("MP3 encoding failed (" + std::to_string(written) + ")");
    bytes_.insert(bytes_.end(), chunk_.begin(), chunk_.begin() + written);

    // The first frame was kept free for the info frame, which only now
    // knows the length.
    std::vector<uint8_t> tag(outputRoomFor(0));
    const std::size_t tagSize = lame_get_lametag_frame(lame_, tag.data(), tag.size());
    if (tagSize > bytes_.size()) throw std::runtime_error("the MP3 info frame does not fit");
    std::copy_n(tag.begin(), tagSize, bytes_.begin());
    return std::move(bytes_);
}

}  // namespace show_data
