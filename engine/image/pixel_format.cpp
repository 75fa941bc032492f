#include "engine/image/pixel_format.h"

#include <algorithm>

#include "engine/core/exception.h"

namespace zentac {

namespace {

// Float channels must fill whole floats.
void CheckFloatBits(int bits, uint32_t type) {
    if (((type & kPixelFloat16) && bits % 16 != 0) || ((type & kPixelFloat32) && bits % 32 != 0)) {
        ZENTAC_THROW("Incorrect floating-point PixelFormat declaration.");
    }
}

}  // namespace

PixelFormat::PixelFormat(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha,
                         uint32_t type)
    : word(static_cast<uint32_t>(bits) | type | kPixelDirect),
      redMask(red),
      greenMask(green),
      blueMask(blue),
      alphaMask(alpha) {
    CheckFloatBits(bits, type);
    DeriveChannels();
}

PixelFormat::PixelFormat(int bits, uint32_t intensity, uint32_t alpha, uint32_t type)
    : word(static_cast<uint32_t>(bits) | type | kPixelIntensity), blueMask(intensity), alphaMask(alpha) {
    CheckFloatBits(bits, type);
    ChannelInfo(blueMask, bitCount[kBlue], highestBit[kBlue]);
    ChannelInfo(alphaMask, bitCount[kAlpha], highestBit[kAlpha]);
}

PixelFormat::PixelFormat(const PixelFormat& other) { *this = other; }

PixelFormat& PixelFormat::operator=(const PixelFormat& other) {
    if (this == &other) return *this;
    word = other.word;
    redMask = other.redMask;
    greenMask = other.greenMask;
    blueMask = other.blueMask;
    alphaMask = other.alphaMask;
    std::copy_n(other.bitCount, 4, bitCount);
    std::copy_n(other.highestBit, 4, highestBit);
    if (other.palette_) {
        std::copy_n(other.palette_.get(), kPaletteSize, CreatePalette());
    } else {
        palette_.reset();
    }
    return *this;
}

PixelFormat PixelFormat::Indexed8() {
    PixelFormat format;
    format.word = kPixelInteger | kPixelIndexed | 8;
    format.blueMask = 0xFF;
    format.DeriveChannels();
    format.CreatePalette();
    return format;
}

void PixelFormat::ChannelInfo(uint32_t mask, uint8_t& count, uint8_t& highest) {
    int high = HighestBit(mask);
    count = mask ? static_cast<uint8_t>(high - LowestBit(mask) + 1) : 0;
    highest = static_cast<uint8_t>(high);
}

void PixelFormat::DeriveChannels() {
    ChannelInfo(redMask, bitCount[kRed], highestBit[kRed]);
    ChannelInfo(greenMask, bitCount[kGreen], highestBit[kGreen]);
    ChannelInfo(blueMask, bitCount[kBlue], highestBit[kBlue]);
    ChannelInfo(alphaMask, bitCount[kAlpha], highestBit[kAlpha]);
}

uint32_t* PixelFormat::CreatePalette() {
    if (!palette_) palette_ = std::make_unique<uint32_t[]>(kPaletteSize);
    return palette_.get();
}

bool PixelFormat::SameLayout(const PixelFormat& other) const {
    return word == other.word && redMask == other.redMask && greenMask == other.greenMask &&
           blueMask == other.blueMask && alphaMask == other.alphaMask &&
           HasPalette() == other.HasPalette();
}

const PixelFormat& ArgbFormat() {
    static const PixelFormat format(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, kPixelInteger);
    return format;
}

}  // namespace zentac
