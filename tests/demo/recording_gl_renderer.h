#pragma once

#include "framework/render/renderer.h"
#include "tests/demo/draw_record.h"

#include <GL/gl.h>

#include <set>

// A Renderer that does to the draw record what GLRenderer does to OpenGL:
// the projection on its first begin, texturing switched on by each image's
// first use, smoothing, blending, stipple and texturing as GLRenderer sets
// them.
class RecordingGLRenderer : public Renderer {
public:
    explicit RecordingGLRenderer(DrawRecord& record) : record_(record) {}

    void begin(int primitive) override {
        if (!projectionSet_) {
            record_.matrixMode(GL_PROJECTION);
            record_.loadIdentity();
            record_.multiply(DrawRecord::ortho(0, 640, 480, 0, -1, 1000));
            projectionSet_ = true;
        }
        switch (primitive) {
            case Lines: record_.begin(GL_LINES); break;
            case Polygon:
            case Polygon8:
            case Polygon16: record_.begin(GL_POLYGON); break;
            default: break;
        }
    }
    void end() override { record_.end(); }
    void clear(float r, float g, float b) override {
        record_.clearColor(r, g, b, 0.0f);
        record_.clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    void vertex(float x, float y, float z) override { record_.vertex(x, y, z); }
    void color(float r, float g, float b, float a) override { record_.color(r, g, b, a); }
    void texCoord(float u, float v) override { record_.texCoord(u, v); }
    void setSmooth(bool on) override {
        smooth_ = on;
        record_.enable(GL_LINE_SMOOTH, on);
        record_.enable(GL_POINT_SMOOTH, on);
        if (on) {
            record_.enable(GL_BLEND, true);
            record_.blendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        } else {
            record_.enable(GL_POLYGON_SMOOTH, false);
        }
    }
    bool isSmooth() override { return smooth_; }
    void setTexture(Image* image) override {
        if (uploaded_.insert(image).second) record_.enable(GL_TEXTURE_2D, true);
        record_.bindImage(image);
    }
    float lineWidth() override { return record_.currentLineWidth(); }
    void setLineWidth(float width) override { record_.lineWidth(width); }
    void setBlending(bool enable, bool saturate) override {
        if (enable) {
            record_.blendFunc(saturate ? GL_SRC_ALPHA_SATURATE : GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            record_.enable(GL_LINE_SMOOTH, true);
            record_.enable(GL_BLEND, true);
        } else {
            record_.enable(GL_BLEND, false);
            record_.enable(GL_LINE_SMOOTH, false);
        }
    }
    void setLineStipple(bool on, int factor, unsigned pattern) override {
        record_.enable(GL_LINE_STIPPLE, on);
        if (on) record_.lineStipple(factor, pattern);
    }
    void setTexturing(bool on) override { record_.enable(GL_TEXTURE_2D, on); }
    bool isTexturing() override { return record_.isEnabled(GL_TEXTURE_2D); }

private:
    DrawRecord& record_;
    std::set<Image*> uploaded_;
    bool projectionSet_ = false;
    bool smooth_ = false;
};
