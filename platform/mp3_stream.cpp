#include "platform/mp3_stream.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace host {

std::unique_ptr<Mp3Stream> Mp3Stream::open(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0) return nullptr;
    std::unique_ptr<Mp3Stream> stream(new Mp3Stream(Source{data, size}));
    mpg123_handle* decoder = stream->decoder_;
    if (decoder == nullptr) return nullptr;
    // Damaged input is reported by the caller, not printed by the decoder.
    mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // Allowing nothing but the output format makes the decoder resample and
    // double mono channels itself.
    if (mpg123_format_none(decoder) != MPG123_OK ||
        mpg123_format(decoder, kOutputRate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_replace_reader_handle(decoder, readSource, seekSource, nullptr) != MPG123_OK ||
        mpg123_open_handle(decoder, &stream->source_) != MPG123_OK) {
        return nullptr;
    }
    // Finding the format decodes the first frame: bytes without one are no MP3.
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(decoder, &rate, &channels, &encoding) != MPG123_OK) return nullptr;
    return stream;
}

Mp3Stream::Mp3Stream(Source source) : source_(source), decoder_(mpg123_new(nullptr, nullptr)) {}

Mp3Stream::~Mp3Stream() {
    if (decoder_ == nullptr) return;
    mpg123_close(decoder_);
    mpg123_delete(decoder_);
}

size_t Mp3Stream::read(uint8_t* out, size_t bytes) {
    bytes -= bytes % kOutputFrameBytes;
    size_t filled = 0;
    while (filled < bytes) {
        size_t done = 0;
        const int result = mpg123_read(decoder_, out + filled, bytes - filled, &done);
        filled += done;
        if (result == MPG123_NEW_FORMAT) continue;
        if (result != MPG123_OK || done == 0) break;
    }
    return filled - filled % kOutputFrameBytes;
}

bool Mp3Stream::seek(int64_t byte) {
    if (byte < 0) return false;
    const off_t frame = byte / kOutputFrameBytes;
    // The decoder would go there and find nothing; the length comes from the
    // encoder's tag or, without one, from the bit rate.
    const off_t length = mpg123_length(decoder_);
    if (length >= 0 && frame > length) return false;
    return mpg123_seek(decoder_, frame, SEEK_SET) == frame;
}

ssize_t Mp3Stream::readSource(void* handle, void* buffer, size_t count) {
    Source& source = *static_cast<Source*>(handle);
    const size_t take = std::min(count, source.size - source.position);
    std::memcpy(buffer, source.data + source.position, take);
    source.position += take;
    return static_cast<ssize_t>(take);
}

off_t Mp3Stream::seekSource(void* handle, off_t offset, int origin) {
    Source& source = *static_cast<Source*>(handle);
    size_t base = 0;
    switch (origin) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = source.position; break;
        case SEEK_END: base = source.size; break;
        default: return -1;
    }
    const off_t lowest = -static_cast<off_t>(base);
    const off_t highest = static_cast<off_t>(source.size - base);
    if (offset < lowest || offset > highest) return -1;
    source.position = base + offset;
    return static_cast<off_t>(source.position);
}

}  // namespace host
