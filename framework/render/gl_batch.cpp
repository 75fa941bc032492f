#include "framework/render/gl_batch.h"

#include <GL/glew.h>

#include <cstddef>

namespace {

GLBatch* active = nullptr;

enum LineKind { Fill = 0, SmoothLine = 1, PlainLine = 2 };

// The whole alpha range as the frame buffer stores it: an alpha that rounds to
// 0 in 8 bits makes source-alpha blending leave the destination as it was.
bool roundsToZero(float alpha) { return alpha * 255.0f < 0.5f; }

}  // namespace

GLBatch& GLBatch::current() {
    if (active == nullptr) active = new GLBatch;
    return *active;
}

void GLBatch::discard() {
    // Its OpenGL objects went with the context.
    delete active;
    active = nullptr;
}

void GLBatch::flushCurrent() {
    if (active != nullptr) active->flush();
}

void GLBatch::beginRawCurrent() {
    if (active != nullptr) active->beginRaw();
}

void GLBatch::endRawCurrent() {
    if (active != nullptr) active->endRaw();
}

GLBatch::GLBatch() {
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
}

void GLBatch::setBlending(bool enable, bool saturate) {
    smooth_ = enable;
    changeBlending(enable, saturate);
    if (raw_) applyFixedFunctionState();
}

void GLBatch::setSmooth(bool on) {
    smooth_ = on;
    if (on) changeBlending(true, false);
    if (raw_) applyFixedFunctionState();
}

void GLBatch::changeBlending(bool enable, bool saturate) {
    if (enable != blending_ || (enable && saturate != saturate_)) flush();
    blending_ = enable;
    saturate_ = saturate;
}

void GLBatch::setLineStipple(bool on, int factor, unsigned pattern) {
    stipple_ = on;
    if (on) {
        stippleFactor_ = factor;
        stipplePattern_ = pattern & 0xFFFFu;
    }
    if (raw_) applyFixedFunctionState();
}

void GLBatch::setLineWidth(float width) {
    lineWidth_ = width;
    if (raw_) glLineWidth(width);
}

void GLBatch::setTexturing(bool on) {
    texturing_ = on;
    if (raw_) applyFixedFunctionState();
}

void GLBatch::useTexture(unsigned texture) {
    texture_ = texture;
    if (raw_) {
        glBindTexture(GL_TEXTURE_2D, texture);
        boundTexture_ = texture;
    }
}

void GLBatch::clear(float r, float g, float b) {
    flush();
    glClearColor(r, g, b, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool GLBatch::invisible(const std::vector<BatchPoint>& points) const {
    // Both blend functions in use weigh the source by a factor no larger than
    // its alpha and keep the destination whole when that alpha is 0; without
    // blending everything shows.
    if (!blending_) return false;
    for (const BatchPoint& p : points) {
        if (!roundsToZero(p.a)) return false;
    }
    return true;
}

void GLBatch::prepareTexture() {
    if (!texturing_) return;
    if (batchTexture_ != kUnknown && batchTexture_ != texture_) flush();
    batchTexture_ = texture_;
}

void GLBatch::addPolygon(const std::vector<BatchPoint>& points) {
    if (points.size() < 3 || invisible(points)) return;
    prepareTexture();
    const auto first = static_cast<unsigned>(vertices_.size());
    const float textured = texturing_ ? 1.0f : 0.0f;
    for (const BatchPoint& p : points) {
        vertices_.push_back({{p.x, p.y, p.z},
                             {p.x, p.y, p.z},
                             {0.0f, 0.0f},
                             {p.r, p.g, p.b, p.a},
                             {p.u, p.v, textured},
                             {0.0f, Fill, 0.0f, 0.0f}});
    }
    const auto count = static_cast<unsigned>(points.size());
    for (unsigned i = 1; i + 1 < count; ++i) {
        indices_.push_back(first);
        indices_.push_back(first + i);
        indices_.push_back(first + i + 1);
    }
}

void GLBatch::addLines(const std::vector<BatchPoint>& points) {
    if (points.size() < 2 || invisible(points)) return;
    prepareTexture();
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) addLine(points[i], points[i + 1]);
}

GLBatch::Vertex GLBatch::lineCorner(const BatchPoint& own, const BatchPoint& from, const BatchPoint& to, float along,
                                    float side) const {
    const float kind = smooth_ ? SmoothLine : PlainLine;
    const float factor = stipple_ ? static_cast<float>(stippleFactor_) : 0.0f;
    return {{from.x, from.y, from.z},
            {to.x, to.y, to.z},
            {along, side},
            {own.r, own.g, own.b, own.a},
            {own.u, own.v, texturing_ ? 1.0f : 0.0f},
            {lineWidth_, kind, factor, static_cast<float>(stipplePattern_)}};
}

void GLBatch::addLine(const BatchPoint& from, const BatchPoint& to) {
    // Nothing along it: the driver draws no pixel of it either.
    if (smooth_ && from.x == to.x && from.y == to.y && from.z == to.z) return;
    const auto first = static_cast<unsigned>(vertices_.size());
    vertices_.push_back(lineCorner(from, from, to, 0.0f, -1.0f));
    vertices_.push_back(lineCorner(from, from, to, 0.0f, 1.0f));
    vertices_.push_back(lineCorner(to, from, to, 1.0f, 1.0f));
    vertices_.push_back(lineCorner(to, from, to, 1.0f, -1.0f));
    for (unsigned i : {0u, 1u, 2u, 0u, 2u, 3u}) indices_.push_back(first + i);
}

void GLBatch::applyBlending() {
    if (blendingKnown_ && appliedBlending_ == blending_ && (!blending_ || appliedSaturate_ == saturate_)) return;
    if (blending_) {
        glBlendFunc(saturate_ ? GL_SRC_ALPHA_SATURATE : GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    blendingKnown_ = true;
    appliedBlending_ = blending_;
    appliedSaturate_ = saturate_;
}

void GLBatch::flush() {
    if (indices_.empty()) {
        vertices_.clear();
        batchTexture_ = kUnknown;
        return;
    }
    applyBlending();
    if (batchTexture_ != kUnknown && boundTexture_ != batchTexture_) {
        glBindTexture(GL_TEXTURE_2D, batchTexture_);
        boundTexture_ = batchTexture_;
    }
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    shader_.use(viewport[0], viewport[1], viewport[2], viewport[3]);

    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices_.size() * sizeof(Vertex)), vertices_.data(),
                 GL_STREAM_DRAW);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices_.size() * sizeof(unsigned)),
                 indices_.data(), GL_STREAM_DRAW);
    struct Layout {
        int size;
        std::size_t offset;
    };
    const Layout layout[BatchShader::AttributeCount] = {
        {3, offsetof(Vertex, start)}, {3, offsetof(Vertex, end)},      {2, offsetof(Vertex, corner)},
        {4, offsetof(Vertex, color)}, {3, offsetof(Vertex, texCoord)}, {4, offsetof(Vertex, line)},
    };
    for (int i = 0; i < BatchShader::AttributeCount; ++i) {
        glEnableVertexAttribArray(static_cast<GLuint>(i));
        glVertexAttribPointer(static_cast<GLuint>(i), layout[i].size, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(layout[i].offset));
    }
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices_.size()), GL_UNSIGNED_INT, nullptr);
    for (int i = 0; i < BatchShader::AttributeCount; ++i) glDisableVertexAttribArray(static_cast<GLuint>(i));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glUseProgram(0);

    vertices_.clear();
    indices_.clear();
    batchTexture_ = kUnknown;
}

void GLBatch::applyFixedFunctionState() {
    blendingKnown_ = false;
    applyBlending();
    if (smooth_) {
        glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
        glEnable(GL_LINE_SMOOTH);
    } else {
        glDisable(GL_LINE_SMOOTH);
    }
    if (stipple_) {
        glLineStipple(stippleFactor_, static_cast<GLushort>(stipplePattern_));
        glEnable(GL_LINE_STIPPLE);
    } else {
        glDisable(GL_LINE_STIPPLE);
    }
    glLineWidth(lineWidth_);
    if (texturing_) {
        glEnable(GL_TEXTURE_2D);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glBindTexture(GL_TEXTURE_2D, texture_);
    boundTexture_ = texture_;
}

void GLBatch::beginRaw() {
    flush();
    applyFixedFunctionState();
    raw_ = true;
}

void GLBatch::endRaw() {
    raw_ = false;
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    blending_ = glIsEnabled(GL_BLEND) == GL_TRUE;
    saturate_ = source == GL_SRC_ALPHA_SATURATE;
    smooth_ = glIsEnabled(GL_LINE_SMOOTH) == GL_TRUE;
    stipple_ = glIsEnabled(GL_LINE_STIPPLE) == GL_TRUE;
    texturing_ = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
    glGetFloatv(GL_LINE_WIDTH, &lineWidth_);
    GLint texture = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    texture_ = static_cast<unsigned>(texture);
    boundTexture_ = texture_;
    blendingKnown_ = true;
    appliedBlending_ = blending_;
    appliedSaturate_ = saturate_;
}
