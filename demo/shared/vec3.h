#pragma once

// A point in 3D. For the pen figures: x and y on the 640x480 virtual
// screen, z the depth that their tumbling turns into x and y.
struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};
