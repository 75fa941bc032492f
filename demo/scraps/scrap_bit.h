#pragma once

#include <array>

#include "figures/color.h"
#include "figures/vec2.h"

class Image;
class Renderer;

// How a scrap piece is drawn this frame: turned by angle (radians) and
// scaled about its centre, tinted with the paper colour, with a soft shadow
// in the shadow colour.
struct ScrapLook {
    float angle = 0.0f;
    float scale = 1.0f;
    RGBA paper;
    RGBA shadow;
    bool paperPass = true;
    bool shadowPass = true;
};

// A box of the virtual screen.
struct ScrapBounds {
    Vec2 low;
    Vec2 high;
};

// One copy of a textured paper piece: a 4 x 4 grid of vertices making 3 x 3
// textured quads, each quad with its own shade. Copies are crumpled a
// little more each time.
class ScrapBit {
public:
    static constexpr int kGrid = 4;

    // The flat piece, centred on (0, 0), as wide as the texture / 1.4.
    explicit ScrapBit(Image* texture);

    // A copy with new shades, crumpled once more.
    ScrapBit crumpled() const;

    // Shadows fall away from (200, 480): moving the piece turns them.
    void setPosition(Vec2 position);
    void draw(Renderer& renderer, const ScrapLook& look) const;
    // What draw(look) may cover, shadow and rim included, at the position
    // set last.
    ScrapBounds bounds(const ScrapLook& look) const;

    struct Vertex {
        Vec2 position;
        Vec2 texCoord;
    };
    const std::array<Vertex, kGrid * kGrid>& vertices() const { return vertices_; }
    float size() const { return size_; }
    Vec2 shadowOffset() const { return shadowOffset_; }

private:
    struct Quad {
        int corners[4];
        float shade;
        float alphaFactor;
    };

    void makeQuads();
    void crumple();
    // The quad's corners turned and scaled, then moved by `at`.
    void drawQuad(Renderer& renderer, const Quad& quad, Vec2 at, float cosScaled, float sinScaled) const;

    Image* texture_;
    Vec2 position_{320.0f, 240.0f};
    float size_;
    Vec2 shadowOffset_{2.0f, 0.0f};
    // Held in the piece itself: a frame walks every piece of a chain, and
    // pieces side by side in memory cost fewer cache misses.
    std::array<Vertex, kGrid * kGrid> vertices_{};
    std::array<Quad, (kGrid - 1) * (kGrid - 1)> quads_{};
};
