#include "tests/framework/render/reference_gl_renderer.h"

#include "framework/render/image.h"

#include <GL/glew.h>

void ReferenceGLRenderer::begin(int primitive) {
    if (!projectionSet_) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 640, 480, 0, -1, 1000);
        projectionSet_ = true;
    }
    switch (primitive) {
        case Lines: glBegin(GL_LINES); break;
        case Polygon:
        case Polygon8:
        case Polygon16: glBegin(GL_POLYGON); break;
        default: break;
    }
}

void ReferenceGLRenderer::end() { glEnd(); }

void ReferenceGLRenderer::clear(float r, float g, float b) {
    glClearColor(r, g, b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ReferenceGLRenderer::vertex(float x, float y, float z) { glVertex3f(x, y, z); }

void ReferenceGLRenderer::color(float r, float g, float b, float a) { glColor4f(r, g, b, a); }

void ReferenceGLRenderer::texCoord(float u, float v) { glTexCoord2f(u, v); }

void ReferenceGLRenderer::setSmooth(bool on) {
    smooth_ = on;
    if (on) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POINT_SMOOTH);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_POLYGON_SMOOTH);
        glDisable(GL_POINT_SMOOTH);
    }
}

void ReferenceGLRenderer::setTexture(Image* image) {
    auto found = textures_.find(image);
    if (found == textures_.end()) {
        glEnable(GL_TEXTURE_2D);
        GLuint name = 0;
        glGenTextures(1, &name);
        found = textures_.emplace(image, name).first;
        glBindTexture(GL_TEXTURE_2D, name);
        glTexImage2D(GL_TEXTURE_2D, 0, 4, image->getWidth(), image->getHeight(), 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                     image->getPixels());
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    glBindTexture(GL_TEXTURE_2D, found->second);
}

float ReferenceGLRenderer::lineWidth() {
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    return width;
}

void ReferenceGLRenderer::setLineWidth(float width) { glLineWidth(width); }

void ReferenceGLRenderer::setBlending(bool enable, bool saturate) {
    if (enable) {
        glBlendFunc(saturate ? GL_SRC_ALPHA_SATURATE : GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
        glDisable(GL_LINE_SMOOTH);
    }
}

void ReferenceGLRenderer::setLineStipple(bool on, int factor, unsigned pattern) {
    if (on) {
        glLineStipple(factor, static_cast<GLushort>(pattern));
        glEnable(GL_LINE_STIPPLE);
    } else {
        glDisable(GL_LINE_STIPPLE);
    }
}

void ReferenceGLRenderer::setTexturing(bool on) {
    if (on) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
}

bool ReferenceGLRenderer::isTexturing() { return glIsEnabled(GL_TEXTURE_2D) == GL_TRUE; }
