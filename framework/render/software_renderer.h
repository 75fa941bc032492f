#pragma once

#include "framework/render/clip_box.h"
#include "framework/render/polygon_fill.h"
#include "framework/render/renderer.h"
#include "framework/render/soft_rasterizer.h"

#include <cstdint>
#include <vector>

// The Renderer over a 32-bit pixel buffer in memory, such as a FrameBitmap's
// (bytes blue, green, red, spare), for drawing frames without OpenGL.
// Coordinates are the target's pixels; pixel (i, j) covers the square around
// (i, j) for lines and the square from (i, j) to (i + 1, j + 1) for fills.
// Lines and outlines are cut to the clip box while clipping is on; either way
// nothing is written outside the target. Lines write the colour bytes and
// leave the spare byte; fills write whole words unless told otherwise.
// Clearing, texture coordinates and line widths are not supported and throw
// the integer 0. Primitive 4 fills in the current colour, 8 shades between the
// corners' colours, 16 copies texels; 1 and unknown codes draw nothing.
class SoftwareRenderer : public Renderer {
public:
    // How primitive 4 writes its spans.
    enum class FlatSpans {
        Words,        // the colour as whole words
        Plain,        // the colour bytes, leaving the spare byte
        Translucent,  // each channel mixed with the one below by the translucency weights
    };

    // The second buffer is of the same size and travels with the target;
    // drawing neither reads nor writes it. It may be null.
    SoftwareRenderer(uint32_t* target, uint32_t* secondBuffer, int width, int height);

    void begin(int primitive) override;
    void end() override;
    void clear(float r, float g, float b) override;
    void vertex(float x, float y, float z) override;
    // Channels of 0..1; alpha is ignored. Gouraud outlines take each corner's
    // colour as it was when the corner was given.
    void color(float r, float g, float b, float a) override;
    void texCoord(float u, float v) override;
    // Smooth lines are three pixels wide across their minor axis.
    void setSmooth(bool on) override;
    bool isSmooth() override { return smooth_; }
    // Textured outlines stretch the image over their bounding box; a null image
    // makes them draw in the current colour.
    void setTexture(Image* image) override;
    float lineWidth() override;
    void setLineWidth(float width) override;

    // A buffer of the same size.
    void setTarget(uint32_t* target);
    uint32_t* secondBuffer() const { return secondBuffer_; }
    void setFlatSpans(FlatSpans spans) { flatSpans_ = spans; }
    // Weights (0..255, held to it) of the new and the old channel in
    // translucent spans; half and half at first.
    void setTranslucency(int newWeight, int oldWeight) {
        newWeight_ = newWeight;
        oldWeight_ = oldWeight;
    }
    void setClipBox(int left, int right, int top, int bottom) { clipBox_ = {left, right, top, bottom}; }
    void setClipEnabled(bool on) { clipEnabled_ = on; }
    // Draws lines with the fixed-point rasteriser (Gaussian antialiasing when
    // smooth) instead of the renderer's own line code; its pixels follow its
    // own rule.
    void setRasterizerLines(bool on) { rasterizerLines_ = on; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void drawLines();
    void drawLine(double x0, double y0, double x1, double y1);
    void drawOutline();
    void mapTexture();
    void putPixel(int x, int y);
    void blendPixel(int x, int y, double coverage);
    uint32_t colorWord() const;

    uint32_t* target_;
    uint32_t* secondBuffer_;
    int width_;
    int height_;
    float red_ = 255.0f;
    float green_ = 255.0f;
    float blue_ = 255.0f;
    bool smooth_ = true;
    TextureView texture_;
    bool clipEnabled_ = true;
    ClipBox clipBox_;
    int primitive_ = 0;
    bool rasterizerLines_ = false;
    FlatSpans flatSpans_ = FlatSpans::Words;
    int newWeight_ = 128;
    int oldWeight_ = 127;
    std::vector<PolygonVertex> vertices_;
    std::vector<PolygonVertex> outline_;
    std::vector<PolygonVertex> scratch_;
    PolygonFill fill_;
    SoftRasterizer rasterizer_;
};
