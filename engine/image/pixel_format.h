#pragma once

#include <bit>
#include <cstdint>
#include <memory>

namespace zentac {

// Kind flags of a pixel format word; bits 0 to 15 hold the bits per pixel.
inline constexpr uint32_t kPixelIndexed = 0x04000000;
inline constexpr uint32_t kPixelIntensity = 0x08000000;
inline constexpr uint32_t kPixelDirect = 0x10000000;
inline constexpr uint32_t kPixelFloat32 = 0x20000000;
inline constexpr uint32_t kPixelFloat16 = 0x40000000;
inline constexpr uint32_t kPixelInteger = 0x80000000;

// Slots of the per-channel arrays of a PixelFormat.
enum Channel : int { kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3 };

// Index of the highest or lowest set bit; -1 for 0.
constexpr int HighestBit(uint32_t mask) { return std::bit_width(mask) - 1; }
constexpr int LowestBit(uint32_t mask) { return mask ? std::countr_zero(mask) : -1; }

// How the pixels of a bitmap are laid out. Copies are deep: a palette
// belongs to exactly one format.
class PixelFormat {
public:
    static constexpr int kPaletteSize = 256;

    // Word 0, no masks, no palette.
    PixelFormat() = default;
    // Direct colour.
    PixelFormat(int bits, uint32_t red, uint32_t green, uint32_t blue, uint32_t alpha, uint32_t type);
    // One grey channel, kept in the blue slot, and an optional alpha.
    PixelFormat(int bits, uint32_t intensity, uint32_t alpha, uint32_t type);
    PixelFormat(const PixelFormat& other);
    PixelFormat& operator=(const PixelFormat& other);
    ~PixelFormat() = default;

    // 8-bit palette indices in the blue mask, with a fresh palette of zeros.
    static PixelFormat Indexed8();

    // A mask is taken as the run from its lowest to its highest set bit;
    // an empty mask gives count 0 and highest 0xFF.
    static void ChannelInfo(uint32_t mask, uint8_t& bitCount, uint8_t& highest);
    // Brings the bit counts and highest bits back in line after the masks
    // were set directly.
    void DeriveChannels();

    int BitsPerPixel() const { return static_cast<int>(word & 0xFFFF); }
    int BytesPerPixel() const { return static_cast<int>((word >> 3) & 0x1FFF); }
    bool Has(uint32_t flag) const { return (word & flag) != 0; }

    bool HasPalette() const { return palette_ != nullptr; }
    uint32_t* Palette() { return palette_.get(); }
    const uint32_t* Palette() const { return palette_.get(); }
    // Gives the format a palette of 256 zero entries unless it has one.
    uint32_t* CreatePalette();
    void FreePalette() { palette_.reset(); }

    // Same word, masks and palette presence (not palette contents): what
    // conversions treat as one layout.
    bool SameLayout(const PixelFormat& other) const;

    uint32_t word = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    uint32_t alphaMask = 0;
    uint8_t bitCount[4] = {};    // by Channel
    uint8_t highestBit[4] = {};  // by Channel, 0xFF for an empty mask

private:
    std::unique_ptr<uint32_t[]> palette_;
};

// 32-bit ARGB with integer channels, the engine's working format.
const PixelFormat& ArgbFormat();

}  // namespace zentac
