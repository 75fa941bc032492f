#pragma once

#include "framework/render/renderer.h"
#include "framework/render/gl_batch.h"

#include <map>
#include <vector>

// The Renderer over OpenGL in the window's context. Primitives and state go
// to the context's GLBatch, which draws them together; images become textures
// the first time they are set.
class GLRenderer : public Renderer {
public:
    GLRenderer(int width, int height);

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
    // The new texture's name.
    unsigned uploadTexture(Image* image);

    std::map<Image*, unsigned> textures_;
    bool projectionSet_ = false;
    bool smooth_ = false;
    int primitive_ = 0;
    // What the next vertex takes besides its position.
    struct Attributes {
        float r, g, b, a;
        float u, v;
    };
    Attributes current_{1, 1, 1, 1, 0, 0};
    std::vector<BatchPoint> points_;
};
