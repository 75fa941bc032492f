#include "framework/render/gl_renderer.h"

#include "framework/render/image.h"

#include <GL/glew.h>

GLRenderer::GLRenderer(int, int) {}

void GLRenderer::begin(int primitive) {
    if (!projectionSet_) {
        // The 640x480 virtual screen with (0, 0) at the top left.
        GLBatch::current().flush();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1000);
        projectionSet_ = true;
    }
    primitive_ = primitive;
    points_.clear();
}

void GLRenderer::end() {
    switch (primitive_) {
        case Lines: GLBatch::current().addLines(points_); break;
        case Polygon:
        case Polygon8:
        case Polygon16: GLBatch::current().addPolygon(points_); break;
        default: break;
    }
    primitive_ = 0;
    points_.clear();
}

void GLRenderer::clear(float r, float g, float b) { GLBatch::current().clear(r, g, b); }

void GLRenderer::vertex(float x, float y, float z) {
    if (primitive_ == 0) return;
    // Field by field: a block copy would read current_ back in pieces that
    // straddle the stores color and texCoord just made, and such a read waits
    // for them.
    points_.push_back({x, y, z, current_.r, current_.g, current_.b, current_.a, current_.u, current_.v});
}

void GLRenderer::color(float r, float g, float b, float a) {
    current_.r = r;
    current_.g = g;
    current_.b = b;
    current_.a = a;
}

void GLRenderer::texCoord(float u, float v) {
    current_.u = u;
    current_.v = v;
}

void GLRenderer::setSmooth(bool on) {
    smooth_ = on;
    GLBatch::current().setSmooth(on);
}

void GLRenderer::setTexture(Image* image) {
    const auto found = textures_.find(image);
    GLBatch::current().useTexture(found != textures_.end() ? found->second : uploadTexture(image));
}

unsigned GLRenderer::uploadTexture(Image* image) {
    GLBatch& batch = GLBatch::current();
    batch.setTexturing(true);
    GLuint name = 0;
    glGenTextures(1, &name);
    textures_[image] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    batch.forgetBoundTexture();
    glTexImage2D(GL_TEXTURE_2D, 0, 4, image->getWidth(), image->getHeight(), 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                 image->getPixels());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

float GLRenderer::lineWidth() { return GLBatch::current().lineWidth(); }

void GLRenderer::setLineWidth(float width) { GLBatch::current().setLineWidth(width); }

void GLRenderer::setBlending(bool enable, bool saturate) { GLBatch::current().setBlending(enable, saturate); }

void GLRenderer::setLineStipple(bool on, int factor, unsigned pattern) {
    GLBatch::current().setLineStipple(on, factor, pattern);
}

void GLRenderer::setTexturing(bool on) { GLBatch::current().setTexturing(on); }

bool GLRenderer::isTexturing() { return GLBatch::current().isTexturing(); }
