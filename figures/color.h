#pragma once

// Colour channels run from 0 to 1; nothing here clamps them, alpha included.
struct RGB {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

struct RGBA {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

inline RGB colorFromBytes(int r, int g, int b) {
    return {static_cast<float>(r / 255.0), static_cast<float>(g / 255.0), static_cast<float>(b / 255.0)};
}

inline RGBA rgbaAdd(const RGBA& p, const RGBA& q) { return {p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a}; }

inline RGBA rgbaScale(const RGBA& c, float k) { return {c.r * k, c.g * k, c.b * k, c.a * k}; }
