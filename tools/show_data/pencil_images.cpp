#include "tools/show_data/pencil_images.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace show_data {
namespace {

constexpr int kPaperSize = 1024;
constexpr int kMapWidth = 640;
constexpr int kMapHeight = 480;
constexpr int kStrokeSize = 128;

uint32_t latticeHash(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

float lattice(int x, int y, uint32_t seed) { return static_cast<float>(latticeHash(x, y, seed) >> 8) / 16777215.0f; }

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

float smoothstep(float edge0, float edge1, float x) { return smooth(std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f)); }

// Value noise in 0..1, one lattice cell per unit.
float valueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = smooth(x - fx);
    const float ty = smooth(y - fy);
    const float top = lattice(ix, iy, seed) + (lattice(ix + 1, iy, seed) - lattice(ix, iy, seed)) * tx;
    const float bottom = lattice(ix, iy + 1, seed) + (lattice(ix + 1, iy + 1, seed) - lattice(ix, iy + 1, seed)) * tx;
    return top + (bottom - top) * ty;
}

// Octaves of value noise, each twice as fine and half as strong; 0..1.
float clouds(float x, float y, int octaves, uint32_t seed) {
    float sum = 0.0f;
    float weight = 0.5f;
    float total = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += valueNoise(x, y, seed + static_cast<uint32_t>(i)) * weight;
        total += weight;
        x *= 2.0f;
        y *= 2.0f;
        weight *= 0.5f;
    }
    return sum / total;
}

uint8_t toByte(float unit) { return static_cast<uint8_t>(std::lround(std::clamp(unit, 0.0f, 1.0f) * 255.0f)); }

void setPixel(PngImage& image, int x, int y, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    uint8_t* p = image.pixel(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

// A grey map: the same darkness in red, green and blue, opaque.
PngImage greyMap(int width, int height, auto&& shade) {
    PngImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint8_t v = toByte(shade(static_cast<float>(x), static_cast<float>(y)));
            setPixel(image, x, y, v, v, v, 255);
        }
    }
    return image;
}

// Paper fibres: short, slowly bending hairs, added to the alpha plane.
void addFibres(std::vector<float>& alpha, int size, std::mt19937& random) {
    auto unit = [&random] { return static_cast<float>(random() >> 8) / 16777216.0f; };
    for (int fibre = 0; fibre < 2600; ++fibre) {
        float x = unit() * size;
        float y = unit() * size;
        float angle = unit() * 6.2831853f;
        const int length = 6 + static_cast<int>(unit() * 34.0f);
        const float strength = 0.015f + unit() * 0.045f;
        for (int i = 0; i < length; ++i) {
            const int px = static_cast<int>(x);
            const int py = static_cast<int>(y);
            if (px >= 0 && py >= 0 && px < size && py < size) alpha[static_cast<std::size_t>(py) * size + px] += strength;
            angle += (unit() - 0.5f) * 0.35f;
            x += std::cos(angle);
            y += std::sin(angle);
        }
    }
}

}  // namespace

PngImage paperImage() {
    std::vector<float> alpha(static_cast<std::size_t>(kPaperSize) * kPaperSize);
    // The square is laid 640x640 over the 640x480 screen: its visible part
    // is the top three quarters, whose centre is the rim's centre.
    const float centreX = 0.5f * kPaperSize;
    const float centreY = 0.375f * kPaperSize;
    for (int y = 0; y < kPaperSize; ++y) {
        for (int x = 0; x < kPaperSize; ++x) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float mottle = clouds(fx / 160.0f, fy / 160.0f, 4, 11);
            const float tooth = valueNoise(fx / 1.3f, fy / 1.3f, 23);
            const float laid = clouds(fx / 90.0f, fy / 3.0f, 2, 31);
            const float r = std::hypot((fx - centreX) / (0.5f * kPaperSize), (fy - centreY) / (0.375f * kPaperSize));
            const float rim = smoothstep(0.55f, 1.35f, r);
            alpha[static_cast<std::size_t>(y) * kPaperSize + x] =
                0.03f + 0.09f * mottle + 0.10f * tooth * tooth + 0.03f * laid + 0.30f * rim;
        }
    }
    std::mt19937 random(1985);
    addFibres(alpha, kPaperSize, random);

    PngImage image(kPaperSize, kPaperSize);
    for (int y = 0; y < kPaperSize; ++y) {
        for (int x = 0; x < kPaperSize; ++x) {
            const float a = alpha[static_cast<std::size_t>(y) * kPaperSize + x];
            const float warm = 1.0f - 0.6f * a;
            setPixel(image, x, y, toByte(0.93f * warm), toByte(0.90f * warm), toByte(0.83f * warm), toByte(std::min(a, 0.7f)));
        }
    }
    return image;
}

PngImage hatchingMap() {
    struct Blob {
        float x, y, radius;
    };
    // Shading for the hatching: a heavy corner, a few soft shadows and a
    // band along the bottom, all with ragged pencil-like edges.
    static constexpr std::array<Blob, 6> blobs{{
        {70, 420, 170},
        {560, 90, 110},
        {430, 330, 80},
        {180, 110, 70},
        {330, 200, 45},
        {600, 430, 90},
    }};
    return greyMap(kMapWidth, kMapHeight, [](float x, float y) {
        const float ragged = (clouds(x / 40.0f, y / 40.0f, 3, 47) - 0.5f) * 0.7f;
        float dark = 0.0f;
        for (const Blob& blob : blobs) {
            const float r = std::hypot(x - blob.x, y - blob.y) / blob.radius + ragged;
            dark = std::max(dark, 1.0f - smoothstep(0.35f, 1.0f, r));
        }
        const float edge = std::min({x, y, kMapWidth - 1 - x, kMapHeight - 1 - y});
        dark = std::max(dark, 1.0f - smoothstep(4.0f, 70.0f, edge + ragged * 60.0f));
        return 1.0f - dark;
    });
}

PngImage vignetteMap() {
    return greyMap(kMapWidth, kMapHeight, [](float x, float y) {
        const float r = std::hypot(x - kMapWidth / 2.0f, y - kMapHeight / 2.0f);
        return 1.0f - smoothstep(200.0f, 380.0f, r);
    });
}

PngImage strokeImage() {
    PngImage image(kStrokeSize, kStrokeSize);
    for (int y = 0; y < kStrokeSize; ++y) {
        for (int x = 0; x < kStrokeSize; ++x) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            const float off = std::abs(fx - fy) / kStrokeSize;
            const float band = std::exp(-(off * off) / (0.3f * 0.3f));
            const float grit = valueNoise(fx / 1.5f, fy / 1.5f, 59);
            const float streak = clouds((fx + fy) / 24.0f, (fx - fy) / 3.0f, 2, 61);
            setPixel(image, x, y, 38, 38, 44, toByte(band * (0.35f + 0.4f * grit + 0.25f * streak)));
        }
    }
    return image;
}

void writePencilImages(const std::filesystem::path& folder) {
    const std::filesystem::path strokes = folder / "pencilbackground";
    writePng(folder / "bg.png", paperImage());
    writePng(strokes / "tolerancemap8.png", hatchingMap());
    writePng(strokes / "tolerancemap2.png", vignetteMap());
    writePng(strokes / "teststroke5.png", strokeImage());
}

}  // namespace show_data
