// framework/render: GL and software renderers, frames, images and their cache; uses files, engine, platform.
#pragma once

class Image;

// Immediate-mode drawing into a 640x480 virtual screen, (0, 0) at the top
// left, whatever the window's pixel size.
class Renderer {
public:
    // Primitive codes: 2 draws vertex pairs as lines; 4, 8 and 16 draw filled
    // outlines.
    enum Primitive { Lines = 2, Polygon = 4, Polygon8 = 8, Polygon16 = 16 };

    virtual ~Renderer() = default;
    virtual void begin(int primitive) = 0;
    virtual void end() = 0;
    virtual void clear(float r, float g, float b) = 0;
    virtual void vertex(float x, float y, float z) = 0;
    virtual void color(float r, float g, float b, float a) = 0;
    virtual void texCoord(float u, float v) = 0;
    virtual void setSmooth(bool on) = 0;
    virtual bool isSmooth() = 0;
    virtual void setTexture(Image* image) = 0;
    virtual float lineWidth() = 0;
    virtual void setLineWidth(float width) = 0;

    // Drawing state shared by everything that draws into the same context:
    // the renderer owns it, so that it can tell a real change from a repeat.
    // Renderers with no such state ignore it.
    // Blending on: source alpha (or its saturated form) over the inverse source
    // alpha, with smooth lines; off: neither.
    virtual void setBlending(bool /*enable*/, bool /*saturate*/) {}
    virtual void setLineStipple(bool /*on*/, int /*factor*/, unsigned /*pattern*/) {}
    virtual void setTexturing(bool /*on*/) {}
    virtual bool isTexturing() { return false; }
};
