#include "framework/video/jpeg_frame_encoder.h"

#include "engine/image/bitmap_codec_jpeg.h"
#include "engine/image/pixel_format.h"

#include <cstring>

namespace {

const zentac::PixelFormat& frameFormat() {
    static const zentac::PixelFormat format(32, 0xFF0000, 0xFF00, 0xFF, 0, zentac::kPixelInteger);
    return format;
}

}  // namespace

JpegFrameEncoder::JpegFrameEncoder(int width, int height, float quality)
    : frame_(width, height, frameFormat()),
      codec_(zentac::JpegCodecInfo()),
      quality_(quality),
      picture_(std::make_unique<zentac::MemoryStream>(nullptr, 0)) {}

bool JpegFrameEncoder::encode(const uint32_t* pixels) {
    std::memcpy(frame_.Image(), pixels, static_cast<std::size_t>(frame_.Pitch()) * frame_.Height());
    picture_ = std::make_unique<zentac::MemoryStream>(nullptr, 0);
    return codec_.encode(*picture_, frame_, quality_);
}
