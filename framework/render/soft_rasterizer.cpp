#include "framework/render/soft_rasterizer.h"

#include "framework/render/clip_box.h"
#include "framework/render/pixel_word.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

namespace {

// Positions carry 20 fraction bits, colour channels 30.
constexpr int positionBits = 20;
constexpr int64_t positionOne = int64_t{1} << positionBits;
constexpr int64_t positionHalf = positionOne / 2;
constexpr int colorBits = 30;
constexpr double colorOne = static_cast<double>(int64_t{1} << colorBits);
constexpr int64_t colorMax = (int64_t{1} << colorBits) - 1;

RasterTables makeTables() {
    RasterTables tables{};
    for (int i = 0; i < 32; ++i) {
        double t = (i + 0.5) / 32.0;
        tables.slope[i] = static_cast<uint8_t>(256.0 * 0.707106781 * std::sqrt(1.0 + t * t));
    }
    for (int i = 0; i < 64; ++i) {
        double d = (i + 0.5) / 32.0 * 4.0 / 3.0;
        tables.profile[i] = static_cast<uint8_t>(256.0 / std::exp(d * d));
    }
    for (int k = 0; k < 512; ++k) tables.root[k] = static_cast<uint8_t>(32.0 * std::sqrt((2 * k + 1) / 32.0));
    const double reciprocal = static_cast<double>(1.0f / 255.0f);
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) tables.multiply[a][b] = static_cast<uint8_t>(a * reciprocal * b);
    }
    return tables;
}

double unitChannel(float value) { return value > 0.0f ? std::min(static_cast<double>(value), 1.0) : 0.0; }

uint32_t channelByte(int64_t channel) { return static_cast<uint32_t>(std::clamp<int64_t>(channel, 0, colorMax) >> 22); }

bool isFinite(const RasterVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

// A line being stepped along its major axis, one pixel at a time.
struct SoftRasterizer::Line {
    bool xMajor;
    int step;
    int64_t major;
    int64_t minor;
    int64_t minorStep;
    // Red, green, blue, alpha.
    std::array<int64_t, 4> color;
    std::array<int64_t, 4> colorStep;

    void advance() {
        major += step;
        minor += minorStep;
        for (int c = 0; c < 4; ++c) color[c] += colorStep[c];
    }
    uint32_t pixel() const { return pixelWord(channelByte(color[0]), channelByte(color[1]), channelByte(color[2])); }
};

const RasterTables& SoftRasterizer::tables() {
    static const RasterTables built = makeTables();
    return built;
}

void SoftRasterizer::init(uint32_t* target, int width, int height) {
    tables();
    target_ = target;
    width_ = width;
    height_ = height;
    antialiased_ = true;
    blendMode_ = BlendMode::Mix;
    keyColor_ = 0;
    endPixel_ = true;
}

void SoftRasterizer::drawLine(const RasterVertex& start, const RasterVertex& end) {
    if (!target_ || width_ <= 0 || height_ <= 0 || !isFinite(start) || !isFinite(end)) return;
    bool xMajor = std::fabs(end.x - start.x) > std::fabs(end.y - start.y);

    // Only the stretch within two pixels of the target can show; cutting the
    // rest keeps every fixed-point value small.
    SegmentEnd a{start.x, start.y, 0.0};
    SegmentEnd b{end.x, end.y, 1.0};
    if (!clipSegment(ClipBox{-2, width_ + 2, -2, height_ + 2}, a, b)) return;

    double u0 = xMajor ? a.x : a.y;
    double v0 = xMajor ? a.y : a.x;
    double u1 = xMajor ? b.x : b.y;
    double v1 = xMajor ? b.y : b.x;
    double length = std::fabs(u1 - u0);
    auto perStep = [length](double change) { return length > 0.0 ? change / length : 0.0; };

    int64_t majorStart = std::llround(u0 * positionOne);
    int64_t majorEnd = std::llround(u1 * positionOne);
    Line line{};
    line.xMajor = xMajor;
    line.step = majorEnd >= majorStart ? 1 : -1;
    // Hard lines start at the rounded start, antialiased ones in the pixel the
    // start lies in; either way the first step may lie a little before or
    // after the start along the line.
    auto firstPixel = [this](int64_t position) {
        return (antialiased_ ? position : position + positionHalf) >> positionBits;
    };
    line.major = firstPixel(majorStart);
    int64_t lastPixel = firstPixel(majorEnd);
    int64_t lead = (line.major * positionOne - majorStart) * line.step;
    line.minorStep = std::llround(std::clamp(perStep(v1 - v0), -1.0, 1.0) * positionOne);
    line.minor = std::llround(v0 * positionOne) + ((lead * line.minorStep) >> positionBits);

    const float startColor[4] = {start.red, start.green, start.blue, start.alpha};
    const float endColor[4] = {end.red, end.green, end.blue, end.alpha};
    for (int c = 0; c < 4; ++c) {
        double from = unitChannel(startColor[c]);
        double change = unitChannel(endColor[c]) - from;
        double atA = from + change * a.t;
        double atB = from + change * b.t;
        line.colorStep[c] = std::llround(std::clamp(perStep(atB - atA), -1.0, 1.0) * colorOne);
        line.color[c] = std::llround(atA * colorOne) + ((lead * line.colorStep[c]) >> positionBits);
    }

    int pixels = static_cast<int>(std::llabs(lastPixel - line.major));
    if (antialiased_) {
        drawAntialiased(line, pixels + 1);
    } else {
        drawHard(line, pixels + (endPixel_ ? 1 : 0));
    }
}

uint32_t* SoftRasterizer::pixelAt(const Line& line, int major, int minor) const {
    unsigned x = static_cast<unsigned>(line.xMajor ? major : minor);
    unsigned y = static_cast<unsigned>(line.xMajor ? minor : major);
    if (x >= static_cast<unsigned>(width_) || y >= static_cast<unsigned>(height_)) return nullptr;
    return target_ + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + x;
}

void SoftRasterizer::drawHard(Line& line, int count) {
    for (int i = 0; i < count; ++i, line.advance()) {
        uint32_t* pixel = pixelAt(line, static_cast<int>(line.major), static_cast<int>(line.minor >> positionBits));
        if (pixel) *pixel = (*pixel & 0xFF000000u) | line.pixel();
    }
}

void SoftRasterizer::drawAntialiased(Line& line, int count) {
    const RasterTables& table = tables();
    int slopeIndex = static_cast<int>(std::min<int64_t>(std::llabs(line.minorStep) >> (positionBits - 5), 31));
    int slopeWeight = table.slope[slopeIndex];
    for (int i = 0; i < count; ++i, line.advance()) {
        int linePixel = static_cast<int>(line.minor >> positionBits);
        int fraction = static_cast<int>((line.minor >> (positionBits - 5)) & 31);
        int alpha = static_cast<int>(channelByte(line.color[3]));
        uint32_t fresh = line.pixel();
        // d is the distance from the line to each pixel's centre in 1/32 pixel,
        // starting one pixel before the line's own; the profile ends at 48.
        for (int offset = -1, d = fraction + 16; offset <= 2; ++offset, d -= 32) {
            if (std::abs(d) >= 48) continue;
            int coverage = table.profile[std::abs(d)] * slopeWeight * alpha / (256 * 255);
            uint32_t* pixel = pixelAt(line, static_cast<int>(line.major), linePixel + offset);
            if (pixel) *pixel = blend(*pixel, fresh, coverage);
        }
    }
}

uint32_t SoftRasterizer::blend(uint32_t old, uint32_t fresh, int coverage) const {
    const auto& multiply = tables().multiply;
    auto mixChannel = [&](uint32_t o, uint32_t n, uint32_t key) -> uint32_t {
        switch (blendMode_) {
            case BlendMode::SignedAdd:
                return static_cast<uint32_t>(clampToByte(static_cast<int>(o) +
                                                         (static_cast<int>(n) - static_cast<int>(key)) * coverage / 256));
            case BlendMode::Additive: return std::min<uint32_t>(255, o + n * coverage / 256);
            case BlendMode::Mix: break;
        }
        return multiply[coverage][n] + multiply[255 - coverage][o];
    };
    return (old & 0xFF000000u) | pixelWord(mixChannel(redOf(old), redOf(fresh), redOf(keyColor_)),
                                           mixChannel(greenOf(old), greenOf(fresh), greenOf(keyColor_)),
                                           mixChannel(blueOf(old), blueOf(fresh), blueOf(keyColor_)));
}
