#include "framework/render/gl_batch.h"

#include "framework/render/draw_probe.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

GLBatch* active = nullptr;

enum LineKind { Fill = 0, SmoothLine = 1, PlainLine = 2, Spot = 3 };

// The whole alpha range as the frame buffer stores it: an alpha that rounds to
// 0 in 8 bits makes source-alpha blending leave the destination as it was.
bool roundsToZero(float alpha) { return alpha * 255.0f < 0.5f; }

bool sameColor(const BatchPoint& a, const BatchPoint& b) { return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a; }

bool samePlace(const BatchPoint& a, const BatchPoint& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

// Lines up to this long in window pixels (along both axes together) are
// drawn as one triangle: for longer ones the triangle's extra fragments cost
// more than the triangle it saves.
constexpr float kShortLine = 16.0f;
// Window pixels from which on a fill gets a draw of its own, with the fills'
// program.
constexpr float kLargeFill = 256.0f;

// The vertices a batch gathers before it is drawn, whatever comes next: the
// batch and the driver's copy of it hold a few megabytes, not a whole
// frame's worth.
constexpr std::size_t kBatchVertices = 16384;

// Room for three of the largest batches: the driver has nearly always run a
// batch before the one after next is written. Every megabyte here stays
// resident.
constexpr std::size_t kRingBytes = 4u << 20;

// Segments a row of the segments texture holds, as the shader reads them.
constexpr int kSegmentRow = 1024;

// Tiny figures in a row, drawn as lines amid lines, after which the next
// ones get a run of their own: a draw and a change of program cost the
// driver about as much as this many figures' lines.
constexpr std::size_t kTinyFiguresForARun = 8;

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
    ring_ = DrawRing::forCurrentDriver(kRingBytes);
    GLint largestTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestTexture);
    maxSegments_ = static_cast<std::size_t>(largestTexture) * kSegmentRow;
    float range[2] = {1.0f, 1.0f};
    glGetFloatv(GL_SMOOTH_LINE_WIDTH_RANGE, range);
    widestSmoothLine_ = range[1];
    glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, range);
    widestPlainLine_ = range[1];
}

void GLBatch::setBlending(bool enable, bool saturate) {
    smooth_ = enable;
    changeBlending(enable, saturate);
    if (raw_) applyFixedFunctionState();
}

void GLBatch::setPremultiplying(bool on) {
    if (on != premultiplying_) drawPending();
    premultiplying_ = on;
    if (raw_) applyFixedFunctionState();
}

void GLBatch::setSmooth(bool on) {
    smooth_ = on;
    if (on) changeBlending(true, false);
    if (raw_) applyFixedFunctionState();
}

void GLBatch::changeBlending(bool enable, bool saturate) {
    if (enable != blending_ || (enable && saturate != saturate_)) drawPending();
    blending_ = enable;
    saturate_ = saturate;
}

void GLBatch::setLineStipple(bool on, int factor, unsigned pattern) {
    stipple_ = on;
    if (on) {
        // As OpenGL takes it: the factor held to 1..256, the pattern's low
        // 16 bits.
        stippleFactor_ = std::clamp(factor, 1, 256);
        stipplePattern_ = pattern & 0xFFFFu;
    }
    if (raw_) applyFixedFunctionState();
}

void GLBatch::setLineWidth(float width) {
    // OpenGL refuses a width of 0 or less and keeps the one it has.
    if (width <= 0.0f) return;
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
    drawPending();
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

bool GLBatch::beyondOneEdge(const WindowPoint* points, std::size_t count) const {
    // Left, right, bottom, top.
    bool beyond[4] = {true, true, true, true};
    for (std::size_t i = 0; i < count; ++i) {
        beyond[0] = beyond[0] && points[i].x < viewport_[0];
        beyond[1] = beyond[1] && points[i].x > viewport_[0] + viewport_[2];
        beyond[2] = beyond[2] && points[i].y < viewport_[1];
        beyond[3] = beyond[3] && points[i].y > viewport_[1] + viewport_[3];
    }
    return beyond[0] || beyond[1] || beyond[2] || beyond[3];
}

inline bool GLBatch::project(float x, float y, float z, WindowPoint& out) const {
    const float* m = transform_;
    const float clipX = m[0] * x + m[4] * y + m[8] * z + m[12];
    const float clipY = m[1] * x + m[5] * y + m[9] * z + m[13];
    const float clipZ = m[2] * x + m[6] * y + m[10] * z + m[14];
    const float clipW = m[3] * x + m[7] * y + m[11] * z + m[15];
    // Points beyond the near or far plane are left to the exact drawing,
    // which clips them as the driver does. The show draws on the near plane
    // itself, which the driver keeps: the margin covers this rounding.
    if (clipW <= 0.0f || std::abs(clipZ) > clipW * 1.0001f) return false;
    out = {(clipX / clipW * 0.5f + 0.5f) * viewport_[2] + viewport_[0],
           (clipY / clipW * 0.5f + 0.5f) * viewport_[3] + viewport_[1]};
    return true;
}

bool GLBatch::fillToWindow(const std::vector<BatchPoint>& points) {
    knowTransform();
    fillCorners_.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!project(points[i].x, points[i].y, points[i].z, fillCorners_[i])) return false;
    }
    return true;
}

void GLBatch::prepareTexture() {
    if (!texturing_) return;
    if (batchTexture_ != kUnknown && batchTexture_ != texture_) drawPending();
    batchTexture_ = texture_;
}

void GLBatch::addPolygon(const std::vector<BatchPoint>& points) {
    fillPending_ = false;
    if (points.size() < 3 || invisible(points)) return;
    const bool seen = fillToWindow(points);
    if (seen && beyondOneEdge(fillCorners_.data(), fillCorners_.size())) return;
    makeRoom();
    prepareTexture();
    const auto first = static_cast<unsigned>(vertices_.size());
    fillPending_ = seen && !texturing_ && std::all_of(points.begin(), points.end(),
                                              [&](const BatchPoint& p) { return sameColor(p, points.front()); });
    fillVertices_ = vertices_.size();
    fillIndices_ = indices_.size();
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
    // A small fill costs less drawn along with the lines around it than a
    // draw of its own.
    if (runs_.empty() || (runs_.back().kind != RunKind::Fills && windowArea(points) > kLargeFill)) {
        beginRun(RunKind::Fills);
    }
    runs_.back().features |= texturing_ ? BatchShader::Textured : 0u;
    noteKind(texturing_ ? DrawProbe::TexturedFill : DrawProbe::Fill);
    for (unsigned i = 1; i + 1 < count; ++i) {
        indices_.push_back(first);
        indices_.push_back(first + i);
        indices_.push_back(first + i + 1);
    }
}

void GLBatch::addLines(const std::vector<BatchPoint>& points) {
    const bool afterFill = fillPending_;
    fillPending_ = false;
    if (points.size() < 2 || invisible(points)) return;
    // A fill just before stays in the batch: a tiny figure may take it in.
    if (!afterFill) makeRoom();
    prepareTexture();
    const std::size_t tinyBefore = tinyFiguresAsLines_;
    if (addTinyFigure(points, afterFill)) return;
    // A figure that is not tiny ends the row.
    if (tinyFiguresAsLines_ == tinyBefore) tinyFiguresAsLines_ = 0;
    knowTransform();
    // A figure declined only for its size or its place in a row was placed
    // in the window whole.
    const bool placed = outlineKnown_;
    // An outline's segments mostly start where the last one ended: that
    // point's place in the window is known.
    const BatchPoint* lastEnd = nullptr;
    WindowPoint ends[2] = {};
    bool endSeen = false;
    for (std::size_t i = 0; i + 1 < points.size(); i += 2) {
        const BatchPoint& from = points[i];
        const BatchPoint& to = points[i + 1];
        // Nothing along it: the driver draws no pixel of it either.
        if (smooth_ && samePlace(from, to)) continue;
        if (placed) {
            ends[0] = outline_[i];
            ends[1] = outline_[i + 1];
            addLine(from, to, ends, true);
            continue;
        }
        bool fromSeen = false;
        if (lastEnd != nullptr && samePlace(*lastEnd, from)) {
            ends[0] = ends[1];
            fromSeen = endSeen;
        } else {
            fromSeen = project(from.x, from.y, from.z, ends[0]);
        }
        endSeen = project(to.x, to.y, to.z, ends[1]);
        lastEnd = &to;
        addLine(from, to, ends, fromSeen && endSeen);
    }
}

void GLBatch::makeRoom() {
    if (vertices_.size() >= kBatchVertices) drawPending();
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
            {drawnLineWidth(), kind, factor, static_cast<float>(stipplePattern_)}};
}

void GLBatch::addLine(const BatchPoint& from, const BatchPoint& to, const WindowPoint ends[2], bool seen) {
    if (seen && beyondOneEdge(ends, 2)) return;
    const bool isShort = seen && std::abs(ends[1].x - ends[0].x) + std::abs(ends[1].y - ends[0].y) <= kShortLine;
    const auto first = static_cast<unsigned>(vertices_.size());
    beginRun(RunKind::Lines);
    runs_.back().features |= (smooth_ ? BatchShader::SmoothLines : BatchShader::PlainLines) |
                             (texturing_ ? BatchShader::Textured : 0u) | (stipple_ ? BatchShader::Stipples : 0u);
    noteKind(texturing_ ? DrawProbe::TexturedLine
             : stipple_ ? DrawProbe::StippledLine
             : smooth_  ? DrawProbe::SmoothLine
                        : DrawProbe::PlainLine);
    // The triangle's far corner lies beyond the end: only what is the same
    // all along the line can be carried there.
    if (!texturing_ && sameColor(from, to) && isShort) {
        vertices_.push_back(lineCorner(from, from, to, 0.0f, -1.0f));
        vertices_.push_back(lineCorner(from, from, to, 0.0f, 3.0f));
        vertices_.push_back(lineCorner(to, from, to, 2.0f, -1.0f));
        for (unsigned i : {0u, 1u, 2u}) indices_.push_back(first + i);
        return;
    }
    vertices_.push_back(lineCorner(from, from, to, 0.0f, -1.0f));
    vertices_.push_back(lineCorner(from, from, to, 0.0f, 1.0f));
    vertices_.push_back(lineCorner(to, from, to, 1.0f, 1.0f));
    vertices_.push_back(lineCorner(to, from, to, 1.0f, -1.0f));
    for (unsigned i : {0u, 1u, 2u, 0u, 2u, 3u}) indices_.push_back(first + i);
}

void GLBatch::knowTransform() {
    if (!transformKnown_) {
        float modelView[16];
        float projection[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < 4; ++row) {
                float sum = 0.0f;
                for (int k = 0; k < 4; ++k) sum += projection[k * 4 + row] * modelView[column * 4 + k];
                transform_[column * 4 + row] = sum;
            }
        }
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        for (int i = 0; i < 4; ++i) viewport_[i] = static_cast<float>(viewport[i]);
        transformKnown_ = true;
    }
}

bool GLBatch::addTinyFigure(const std::vector<BatchPoint>& points, bool afterFill) {
    // Only plain smooth lines blended by their alpha, of one colour, sum
    // their ink like this.
    outlineKnown_ = false;
    if (!smooth_ || !blending_ || saturate_ || stipple_ || texturing_) return false;
    const BatchPoint& color = points.front();
    knowTransform();
    std::vector<WindowPoint>& outline = outline_;
    outline.resize(points.size() - points.size() % 2);
    if (outline.size() / 2 > TinyFigure::kMaxSegments || segments_.size() / 4 + outline.size() / 2 > maxSegments_) {
        return false;
    }
    for (std::size_t i = 0; i < outline.size(); ++i) {
        if (!sameColor(points[i], color)) return false;
        // An outline's segments mostly start where the last one ended.
        const bool again = i > 0 && samePlace(points[i], points[i - 1]);
        if (again) {
            outline[i] = outline[i - 1];
        } else if (!project(points[i].x, points[i].y, points[i].z, outline[i])) {
            return false;
        }
        // Most lines are larger: tell early.
        if (std::abs(outline[i].x - outline[0].x) > TinyFigure::kMaxExtent ||
            std::abs(outline[i].y - outline[0].y) > TinyFigure::kMaxExtent) {
            return false;
        }
    }
    outlineKnown_ = true;
    TinyFigure figure(outline, drawnLineWidth());
    if (!figure.fits()) return false;
    if (!runs_.empty() && runs_.back().kind == RunKind::Lines && tinyFiguresAsLines_ < kTinyFiguresForARun) {
        ++tinyFiguresAsLines_;
        return false;
    }
    float fill[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    if (afterFill && figure.addFill(fillCorners_)) {
        std::copy(vertices_[fillVertices_].color, vertices_[fillVertices_].color + 4, fill);
        vertices_.resize(fillVertices_);
        indices_.resize(fillIndices_);
        while (!runs_.empty() && runs_.back().firstIndex >= indices_.size()) runs_.pop_back();
        while (!labels_.empty() && labels_.back().firstIndex >= indices_.size()) labels_.pop_back();
    }
    const float firstSegment = static_cast<float>(segments_.size() / 4);
    for (const WindowPoint& p : outline) {
        segments_.push_back(p.x);
        segments_.push_back(p.y);
    }
    const WindowPoint low = figure.lowCorner();
    const WindowPoint high = figure.highCorner();
    const WindowPoint origin = figure.maskOrigin();
    const float halfWidth = std::max(drawnLineWidth(), 1.0f) * 0.5f;
    const auto first = static_cast<unsigned>(vertices_.size());
    // One triangle holding the rectangle.
    const WindowPoint far{2.0f * high.x - low.x, 2.0f * high.y - low.y};
    for (const WindowPoint& corner : {low, WindowPoint{far.x, low.y}, WindowPoint{low.x, far.y}}) {
        vertices_.push_back({{corner.x, corner.y, halfWidth},
                             {firstSegment, static_cast<float>(outline.size() / 2), 0.0f},
                             {origin.x, origin.y},
                             {color.r, color.g, color.b, color.a},
                             {fill[0], fill[1], 0.0f},
                             {fill[2], Spot, fill[3], static_cast<float>(figure.mask())}});
    }
    beginRun(RunKind::Spots);
    runs_.back().features |= BatchShader::Spots;
    noteKind(DrawProbe::TinyFigure);
    for (unsigned i : {0u, 1u, 2u}) indices_.push_back(first + i);
    return true;
}

void GLBatch::applyBlending() {
    if (blendingKnown_ && appliedBlending_ == blending_ &&
        (!blending_ || (appliedSaturate_ == saturate_ && appliedPremultiplying_ == premultiplying_))) {
        return;
    }
    if (blending_) {
        const GLenum source = saturate_ ? GL_SRC_ALPHA_SATURATE : GL_SRC_ALPHA;
        glBlendFuncSeparate(source, GL_ONE_MINUS_SRC_ALPHA, premultiplying_ ? GL_ONE : source,
                            GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    } else {
        glDisable(GL_BLEND);
    }
    blendingKnown_ = true;
    appliedBlending_ = blending_;
    appliedSaturate_ = saturate_;
    appliedPremultiplying_ = premultiplying_;
}

void GLBatch::flush() {
    drawPending();
    // The caller may now change matrices or the viewport; the batch's own
    // flushes change neither, so they keep what was read.
    transformKnown_ = false;
}

void GLBatch::drawPending() {
    fillPending_ = false;
    if (!indices_.empty()) draw();
    vertices_.clear();
    indices_.clear();
    runs_.clear();
    labels_.clear();
    segments_.clear();
    batchTexture_ = kUnknown;
}

void GLBatch::draw() {
    applyBlending();
    if (batchTexture_ != kUnknown && boundTexture_ != batchTexture_) {
        glBindTexture(GL_TEXTURE_2D, batchTexture_);
        boundTexture_ = batchTexture_;
    }
    knowTransform();

    const std::size_t vertexBytes = vertices_.size() * sizeof(Vertex);
    const std::size_t indexBytes = indices_.size() * sizeof(unsigned);
    DrawRing::Placed placed{0, 0};
    const bool inRing = ring_ && ring_->place(vertices_.data(), vertexBytes, indices_.data(), indexBytes, placed);
    if (inRing) {
        glBindBuffer(GL_ARRAY_BUFFER, ring_->buffer());
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ring_->buffer());
    } else {
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
        store(GL_ARRAY_BUFFER, vertices_.data(), vertexBytes, vertexBufferSize_);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
        store(GL_ELEMENT_ARRAY_BUFFER, indices_.data(), indexBytes, indexBufferSize_);
    }
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
                              reinterpret_cast<const void*>(placed.vertices + layout[i].offset));
    }
    if (!segments_.empty()) uploadSegments();
    for (std::size_t run = 0; run < runs_.size(); ++run) {
        const std::size_t from = runs_[run].firstIndex;
        const std::size_t to = run + 1 < runs_.size() ? runs_[run + 1].firstIndex : indices_.size();
        shader_.use(runs_[run].features, viewport_);
        if (draw_probe::installed() != nullptr) {
            drawProbed(from, to, runs_[run].features, placed.indices);
            continue;
        }
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(to - from), GL_UNSIGNED_INT,
                       reinterpret_cast<const void*>(placed.indices + from * sizeof(unsigned)));
    }
    for (int i = 0; i < BatchShader::AttributeCount; ++i) glDisableVertexAttribArray(static_cast<GLuint>(i));
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    glUseProgram(0);
    if (inRing) ring_->drawn();
    // The driver starts rasterising what it holds only when flushed: left to
    // the buffer swap, the rasteriser threads idle while this one works out
    // the frame, then it idles while they fill. A flush every batch's worth
    // lets them fill alongside; far more often, each flush's own cost shows.
    unflushedVertices_ += vertices_.size();
    if (unflushedVertices_ >= kBatchVertices) {
        glFlush();
        unflushedVertices_ = 0;
    }
}

void GLBatch::noteKind(int kind) {
    if (draw_probe::installed() == nullptr) return;
    const char* source = draw_probe::source();
    if (!labels_.empty() && labels_.back().kind == kind && labels_.back().source == source) return;
    labels_.push_back({indices_.size(), kind, source});
}

void GLBatch::drawProbed(std::size_t from, std::size_t to, unsigned features, std::size_t indexOffset) {
    DrawProbe& probe = *draw_probe::installed();
    // The label in force at `from`: the last one starting at or before it.
    auto label = std::upper_bound(labels_.begin(), labels_.end(), from,
                                  [](std::size_t index, const Label& l) { return index < l.firstIndex; });
    if (label != labels_.begin()) --label;
    for (std::size_t start = from; start < to;) {
        const auto next = label == labels_.end() ? labels_.end() : label + 1;
        const std::size_t end = next == labels_.end() ? to : std::min(to, next->firstIndex);
        if (end > start) {
            const bool known = label != labels_.end();
            probe.beginDraw({known ? static_cast<DrawProbe::Kind>(label->kind) : DrawProbe::Fill,
                             known ? label->source : nullptr, features});
            glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(end - start), GL_UNSIGNED_INT,
                           reinterpret_cast<const void*>(indexOffset + start * sizeof(unsigned)));
            probe.endDraw();
        }
        start = end;
        label = next;
    }
}

void GLBatch::store(unsigned target, const void* data, std::size_t bytes, std::size_t& storage) {
    // New storage for every batch would be allocated and cleared by the
    // driver before the copy. It reads vertices and indices within the draw
    // call, so writing over them waits for nothing.
    if (bytes > storage) {
        storage = std::max(bytes, storage * 2);
        glBufferData(target, static_cast<GLsizeiptr>(storage), nullptr, GL_STREAM_DRAW);
    }
    glBufferSubData(target, 0, static_cast<GLsizeiptr>(bytes), data);
}

float GLBatch::windowArea(const std::vector<BatchPoint>& points) {
    knowTransform();
    float twiceArea = 0.0f;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const BatchPoint& a = points[i];
        const BatchPoint& b = points[i + 1 < points.size() ? i + 1 : 0];
        twiceArea += a.x * b.y - b.x * a.y;
    }
    const float* m = transform_;
    const float scale = std::abs(m[0] * m[5] - m[4] * m[1]) * viewport_[2] * viewport_[3] * 0.25f;
    return std::abs(twiceArea) * 0.5f * scale;
}

void GLBatch::beginRun(RunKind kind) {
    if (runs_.empty() || runs_.back().kind != kind) {
        runs_.push_back({indices_.size(), kind, 0});
        tinyFiguresAsLines_ = 0;
    }
}

void GLBatch::uploadSegments() {
    const int rows = static_cast<int>((segments_.size() / 4 + kSegmentRow - 1) / kSegmentRow);
    segments_.resize(static_cast<std::size_t>(rows) * kSegmentRow * 4);
    glActiveTexture(GL_TEXTURE1);
    // A texture of its own each time: storing into one that draws not yet
    // rasterised still read makes the driver rasterise them first and wait,
    // even when glTexImage2D is given the same size again.
    if (segmentTexture_ != 0) glDeleteTextures(1, &segmentTexture_);
    glGenTextures(1, &segmentTexture_);
    glBindTexture(GL_TEXTURE_2D, segmentTexture_);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, kSegmentRow, rows, 0, GL_RGBA, GL_FLOAT, segments_.data());
    glActiveTexture(GL_TEXTURE0);
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
    transformKnown_ = false;
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC_RGB, &source);
    blending_ = glIsEnabled(GL_BLEND) == GL_TRUE;
    saturate_ = source == GL_SRC_ALPHA_SATURATE;
    GLint alphaSource = 0;
    glGetIntegerv(GL_BLEND_SRC_ALPHA, &alphaSource);
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
    // Premultiplying stays the batch's own choice; the raw drawing may only
    // have left the blend function otherwise.
    appliedPremultiplying_ = alphaSource == GL_ONE;
}
