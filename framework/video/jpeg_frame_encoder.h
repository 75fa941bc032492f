#pragma once

#include "engine/image/bitmap.h"
#include "engine/image/bitmap_codec.h"
#include "engine/files/memory_stream.h"

#include <cstdint>
#include <memory>

// Compresses frames into JPEG pictures with the engine's own encoder.
class JpegFrameEncoder {
public:
    // quality from 0 to 1, as the engine's encoder takes it.
    JpegFrameEncoder(int width, int height, float quality);

    // width x height words, top row first, bytes blue, green, red, unused;
    // false when the encoder fails. The picture stays until the next call.
    bool encode(const uint32_t* pixels);
    const uint8_t* data() const { return picture_->Data(); }
    uint32_t size() const { return static_cast<uint32_t>(picture_->Size()); }

private:
    zentac::Bitmap frame_;
    zentac::BitmapCodec codec_;
    float quality_;
    std::unique_ptr<zentac::MemoryStream> picture_;
};
