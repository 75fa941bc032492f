#pragma once

#include "framework/render/renderer.h"

#include <map>

// The Renderer as plain OpenGL 1.1 immediate mode, to hold the batching
// GLRenderer against: one glBegin/glEnd per primitive, every state call
// OpenGL's own, so the driver alone decides what is refused, clamped and
// drawn. It never touches the GLBatch: a program that draws with these alone
// makes none, and the raw drawing of the frame buffers and the finale meets
// the state these calls left.
class ReferenceGLRenderer : public Renderer {
public:
    void begin(int primitive) override;
    void end() override;
    void clear(float r, float g, float b) override;
    void vertex(float x, float y, float z) override;
    void color(float r, float g, float b, float a) override;
    void texCoord(float u, float v) override;
    void setSmooth(bool on) override;
    bool isSmooth() override { return smooth_; }
    void setTexture(Image* image) override;
    float lineWidth() override;
    void setLineWidth(float width) override;
    void setBlending(bool enable, bool saturate) override;
    void setLineStipple(bool on, int factor, unsigned pattern) override;
    void setTexturing(bool on) override;
    bool isTexturing() override;

private:
    std::map<Image*, unsigned> textures_;
    bool projectionSet_ = false;
    bool smooth_ = false;
};
