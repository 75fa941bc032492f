#include "framework/render/gl_renderer.h"

#include "framework/render/image.h"

#include <GL/glew.h>

GLRenderer::GLRenderer(int, int) {}

void GLRenderer::begin(int primitive) {
    if (!projectionSet_) {
        // The 640x480 virtual screen with (0, 0) at the top left.
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

void GLRenderer::end() { glEnd(); }

void GLRenderer::clear(float r, float g, float b) {
    glClearColor(r, g, b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GLRenderer::vertex(float x, float y, float z) { glVertex3f(x, y, z); }

void GLRenderer::color(float r, float g, float b, float a) { glColor4f(r, g, b, a); }

void GLRenderer::texCoord(float u, float v) { glTexCoord2f(u, v); }

void GLRenderer::setSmooth(bool on) {
    smooth_ = on;
    if (on) {
        glEnable(GL_LINE_SMOOTH);
        glEnable(GL_POINT_SMOOTH);
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glHint(GL_POINT_SMOOTH_HINT, GL_NICEST);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        // Blending stays on: only the smoothing goes.
        glDisable(GL_LINE_SMOOTH);
        glDisable(GL_POLYGON_SMOOTH);
        glDisable(GL_POINT_SMOOTH);
    }
}

void GLRenderer::setTexture(Image* image) {
    auto found = textures_.find(image);
    if (found == textures_.end()) {
        uploadTexture(image);
        found = textures_.find(image);
    }
    glBindTexture(GL_TEXTURE_2D, found->second);
}

void GLRenderer::uploadTexture(Image* image) {
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    textures_[image] = name;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, 4, image->getWidth(), image->getHeight(), 0, GL_BGRA_EXT, GL_UNSIGNED_BYTE,
                 image->getPixels());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

float GLRenderer::lineWidth() {
    GLfloat width = 0.0f;
    glGetFloatv(GL_LINE_WIDTH, &width);
    return width;
}

void GLRenderer::setLineWidth(float width) { glLineWidth(width); }
