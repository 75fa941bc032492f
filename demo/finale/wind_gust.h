#pragma once

#include "demo/shared/vec3_math.h"

// The wandering wind over the cloth: at random intervals of up to 3 s it
// turns by a random angle about the z axis and changes its strength.
class WindGust {
public:
    static constexpr float minStrength = 200.0f;
    static constexpr float maxStrength = 300.0f;

    // At `now` ms of the cloth clock, changes the wind when its time has come.
    void update(int now);
    Vec3 vector() const { return direction_ * strength_; }

    Vec3 direction() const { return direction_; }
    float strength() const { return strength_; }
    int nextChange() const { return nextChange_; }

    // The base direction turned by `angle` rad about z, with a turn too far
    // down or up replaced by a flat (-0.3, -0.3, -0.3) or (0.4, 0.4, 0.4).
    static Vec3 turned(float angle);

private:
    void turn();
    void gust();

    // Until its first change the wind blows along its base direction.
    Vec3 direction_{1.0f, 0.0f, 0.0f};
    float angle_ = 0.0f;
    int nextChange_ = 0;
    float strength_ = maxStrength;
};
