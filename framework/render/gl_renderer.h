#pragma once

#include "framework/render/renderer.h"

#include <map>

// The Renderer over OpenGL immediate mode in the window's context. Images
// become textures the first time they are set.
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

private:
    void uploadTexture(Image* image);

    std::map<Image*, unsigned> textures_;
    bool projectionSet_ = false;
    bool smooth_ = false;
};
