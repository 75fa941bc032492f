#pragma once

#include "demo/finale/cloth_clock.h"
#include "demo/shared/vec3_math.h"
#include "demo/finale/wind_gust.h"
#include "figures/vec2.h"

#include <array>

class Renderer;

// A square cloth of 32 x 32 particles under gravity and a wandering wind,
// integrated with Verlet steps of fixed length and held together by distance
// constraints; one corner is pinned where the caller puts it. Drawn in 3D
// perspective straight through OpenGL.
class Cloth {
public:
    static constexpr int side = 32;
    static constexpr int particleCount = side * side;
    static constexpr int constraintCount = side * (side - 1) * 2 + (side - 1) * (side - 1);
    // Simulated time counts in half milliseconds; one step per 5 ms.
    static constexpr int stepTicks = 10;

    struct Particle {
        Vec3 position;
        float inverseMass = 0.0f;
    };

    // Lays the cloth out flat beside the anchor with its pinned corner on it.
    void setup(Vec2 anchor);
    // Moves the pinned corner, without giving it any speed.
    void pin(Vec2 point);
    // Wind, simulation up to the cloth clock, camera and drawing.
    // Drawn with OpenGL of its own, in the renderer's blending.
    void frame(Renderer& renderer, float r, float g, float b);
    // The wind and simulation part of a frame, which needs no OpenGL.
    void simulate();

    Vec2 windDirection() const { return {wind_.direction().x, wind_.direction().y}; }
    float windStrength() const { return wind_.strength(); }

    const Particle& particle(int row, int column) const { return (*current_)[index(row, column)]; }
    Vec3 normal(int row, int column) const { return normals_[index(row, column)]; }
    int simulatedTime() const { return simulatedTime_; }
    bool clockStarted() const { return clock_.isStarted(); }
    static int index(int row, int column) { return row * side + column; }

private:
    struct Constraint {
        int a;
        int b;
        float restLength;
    };
    using Particles = std::array<Particle, particleCount>;

    void buildConstraints();
    void step();
    void accelerate(const Vec3& wind);
    void integrate();
    void satisfyConstraints();
    void computeNormals();
    void placeCamera() const;
    void draw(Renderer& renderer) const;
    void emitRow(int row, bool withNormals) const;

    Particles buffers_[2];
    Particles* current_ = &buffers_[0];
    Particles* previous_ = &buffers_[1];
    std::array<Vec3, particleCount> accelerations_{};
    std::array<Vec3, particleCount> normals_{};
    std::array<Constraint, constraintCount> constraints_{};
    WindGust wind_;
    Vec3 windVector_;
    int simulatedTime_ = 0;
    ClothClock clock_;
};
