#pragma once

// A render-to-texture target: drawing between bind and unbind goes into a
// texture, with the same 640x480 virtual screen as the window.
class FrameBuffer {
public:
    // A view size of -1 takes the texture size. Throws 0 (after telling the
    // user) when the driver cannot make a complete frame buffer.
    FrameBuffer(int textureWidth, int textureHeight, int viewWidth = -1, int viewHeight = -1);

    void bind();
    void unbind();
    // Lays the texture over the whole virtual screen, each pixel taking the
    // nearest texel: texel for pixel when the view is the window's size, as
    // the show's layers are. Call right after unbind.
    void drawFullscreen();
    // Lays the view's pixels x0..x1, y0..y1 (counted from the bottom left,
    // ends excluded) over the same pixels of the screen, taking the texture's
    // colour as already weighted by its alpha (see GLBatch::setPremultiplying).
    // The screen's viewport must be the view's size. Leaves the projection,
    // blending and texturing as they were.
    void drawPremultipliedOver(int x0, int y0, int x1, int y1);

    unsigned textureId() const { return texture_; }
    float uScale() const { return static_cast<float>(viewWidth_) / static_cast<float>(textureWidth_); }
    float vScale() const { return static_cast<float>(viewHeight_) / static_cast<float>(textureHeight_); }

private:
    int textureWidth_;
    int textureHeight_;
    int viewWidth_;
    int viewHeight_;
    unsigned framebuffer_ = 0;
    unsigned texture_ = 0;
};
