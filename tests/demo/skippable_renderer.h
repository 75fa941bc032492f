#pragma once

#include "framework/render/renderer.h"

// Hands everything on to the renderer it wraps, except that while skipping
// it drops primitives and clears: the state calls still go through, so the
// frames drawn after find the state as the show left it. The first
// primitive always goes through: it sets the projection for good.
class SkippableRenderer : public Renderer {
public:
    explicit SkippableRenderer(Renderer& inner) : inner_(inner) {}

    void setSkipping(bool on) { skipping_ = on; }

    void begin(int primitive) override {
        dropping_ = skipping_ && begun_;
        if (dropping_) return;
        begun_ = true;
        inner_.begin(primitive);
    }
    void end() override {
        if (!dropping_) inner_.end();
    }
    void clear(float r, float g, float b) override {
        if (!skipping_) inner_.clear(r, g, b);
    }
    void vertex(float x, float y, float z) override {
        if (!dropping_) inner_.vertex(x, y, z);
    }
    void color(float r, float g, float b, float a) override { inner_.color(r, g, b, a); }
    void texCoord(float u, float v) override { inner_.texCoord(u, v); }
    void setSmooth(bool on) override { inner_.setSmooth(on); }
    bool isSmooth() override { return inner_.isSmooth(); }
    void setTexture(Image* image) override { inner_.setTexture(image); }
    float lineWidth() override { return inner_.lineWidth(); }
    void setLineWidth(float width) override { inner_.setLineWidth(width); }
    void setBlending(bool enable, bool saturate) override { inner_.setBlending(enable, saturate); }
    void setLineStipple(bool on, int factor, unsigned pattern) override { inner_.setLineStipple(on, factor, pattern); }
    void setTexturing(bool on) override { inner_.setTexturing(on); }
    bool isTexturing() override { return inner_.isTexturing(); }

private:
    Renderer& inner_;
    bool skipping_ = false;
    bool begun_ = false;
    bool dropping_ = false;
};
