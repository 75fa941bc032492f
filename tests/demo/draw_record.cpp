#include "tests/demo/draw_record.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace {

constexpr DrawRecord::Matrix kIdentity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

constexpr uint64_t kClearItem = 0xC1EA5;

DrawRecord::Matrix product(const DrawRecord::Matrix& a, const DrawRecord::Matrix& b) {
    DrawRecord::Matrix m{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a[k * 4 + row] * b[column * 4 + k];
            m[column * 4 + row] = sum;
        }
    }
    return m;
}

float clampColor(float c) { return std::clamp(c, 0.0f, 1.0f); }

std::array<double, 3> normalised(std::array<double, 3> v) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length == 0.0) return v;
    return {v[0] / length, v[1] / length, v[2] / length};
}

std::array<double, 3> cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

}  // namespace

void Digest::add(const std::string& text) {
    add(static_cast<uint64_t>(text.size()));
    for (unsigned char c : text) add(static_cast<uint64_t>(c));
}

DrawRecord::DrawRecord() : matrixMode_(GL_MODELVIEW), projection_(kIdentity), modelview_(kIdentity) {}

void DrawRecord::nameImage(const Image* image, const std::string& name) {
    Digest d;
    d.add(name);
    imageNames_[image] = d.value();
}

void DrawRecord::startFrame() {
    screen_ = Digest();
    screenItems_ = 0;
}

bool DrawRecord::changeAllowed() {
    if (!inside_) return true;
    ++ignoredCalls_;
    return false;
}

uint32_t DrawRecord::bitOf(unsigned capability) {
    switch (capability) {
        case GL_TEXTURE_2D: return 1u << 0;
        case GL_BLEND: return 1u << 1;
        case GL_LINE_SMOOTH: return 1u << 2;
        case GL_POLYGON_SMOOTH: return 1u << 3;
        case GL_LINE_STIPPLE: return 1u << 4;
        case GL_POINT_SMOOTH: return 1u << 5;
        default: throw std::logic_error("capability " + std::to_string(capability) + " is not modelled");
    }
}

void DrawRecord::enable(unsigned capability, bool on) {
    if (!changeAllowed()) return;
    const uint32_t bit = bitOf(capability);
    capabilities_ = on ? capabilities_ | bit : capabilities_ & ~bit;
    if (capability == GL_LINE_SMOOTH || capability == GL_LINE_STIPPLE) {
        lineStateChanged();
    } else {
        stateChanged();
    }
}

void DrawRecord::blendFunc(unsigned source, unsigned destination) {
    if (!changeAllowed()) return;
    blendSource_ = source;
    blendDestination_ = destination;
    stateChanged();
}

void DrawRecord::lineWidth(float width) {
    // A width of 0 or less is refused; the last one stays.
    if (!changeAllowed() || width <= 0.0f) return;
    lineWidth_ = width;
    lineStateChanged();
}

void DrawRecord::lineStipple(int factor, unsigned pattern) {
    if (!changeAllowed()) return;
    stippleFactor_ = std::clamp(factor, 1, 256);
    stipplePattern_ = pattern & 0xFFFFu;
    lineStateChanged();
}

void DrawRecord::clearColor(float r, float g, float b, float a) {
    if (!changeAllowed()) return;
    clearColor_ = {clampColor(r), clampColor(g), clampColor(b), clampColor(a)};
}

void DrawRecord::clear(unsigned mask) {
    if (!changeAllowed() || !(mask & GL_COLOR_BUFFER_BIT)) return;
    Digest item;
    item.add(kClearItem);
    for (float c : clearColor_) item.add(c);
    // A cleared frame buffer holds nothing but the clear colour.
    if (boundFramebuffer_ != 0) framebuffers_[boundFramebuffer_] = Digest();
    fold(item.value());
}

void DrawRecord::viewport(int x, int y, int width, int height) {
    if (!changeAllowed()) return;
    viewport_ = {x, y, width, height};
    stateChanged();
}

void DrawRecord::pushViewport() {
    if (changeAllowed()) savedViewports_.push_back(viewport_);
}

void DrawRecord::popViewport() {
    if (!changeAllowed()) return;
    if (savedViewports_.empty()) throw std::logic_error("attribute stack underflow");
    viewport_ = savedViewports_.back();
    savedViewports_.pop_back();
    stateChanged();
}

void DrawRecord::matrixMode(unsigned mode) {
    if (!changeAllowed()) return;
    if (mode != GL_PROJECTION && mode != GL_MODELVIEW) throw std::logic_error("unexpected matrix mode");
    matrixMode_ = mode;
}

void DrawRecord::loadIdentity() {
    if (!changeAllowed()) return;
    (matrixMode_ == GL_PROJECTION ? projection_ : modelview_) = kIdentity;
    matricesChanged();
}

void DrawRecord::multiply(const Matrix& m) {
    if (!changeAllowed()) return;
    Matrix& current = matrixMode_ == GL_PROJECTION ? projection_ : modelview_;
    current = product(current, m);
    matricesChanged();
}

void DrawRecord::color(float r, float g, float b, float a) {
    // The current colour is kept as given but held to 0..1 before it colours
    // a vertex: only that can show.
    current_.r = clampColor(r);
    current_.g = clampColor(g);
    current_.b = clampColor(b);
    current_.a = clampColor(a);
}

void DrawRecord::texCoord(float u, float v) {
    current_.u = u;
    current_.v = v;
}

void DrawRecord::begin(unsigned mode) {
    if (inside_) throw std::logic_error("begin inside begin");
    inside_ = true;
    mode_ = mode;
    itemVertices_ = 0;
    perItem_ = verticesPerItem();
    textured_ = isOn(GL_TEXTURE_2D);
    itemStart_ = Digest();
    itemStart_.add(static_cast<uint64_t>(mode));
    itemStart_.add(stateHash(mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP));
    if (textured_) itemStart_.add(textureIdentity());
    item_ = itemStart_;
}

int DrawRecord::verticesPerItem() const {
    switch (mode_) {
        case GL_LINES: return 2;
        case GL_QUADS: return 4;
        default: return 0;
    }
}

void DrawRecord::vertex(float x, float y, float z) {
    if (!inside_) return;
    item_.add(x, y);
    item_.add(z, current_.r);
    item_.add(current_.g, current_.b);
    item_.add(current_.a);
    if (textured_) item_.add(current_.u, current_.v);
    if (++itemVertices_ == perItem_) {
        fold(item_.value());
        item_ = itemStart_;
        itemVertices_ = 0;
    }
}

void DrawRecord::end() {
    if (!inside_) return;
    inside_ = false;
    if (perItem_ == 0 && itemVertices_ > 0) fold(item_.value());
}

void DrawRecord::bindImage(const Image* image) {
    if (!changeAllowed()) return;
    if (imageNames_.find(image) == imageNames_.end()) throw std::logic_error("texture from an unnamed image");
    boundImage_ = image;
    boundTexture_ = 0;
}

unsigned DrawRecord::newTexture() {
    if (textureOwner_.empty()) textureOwner_.push_back(0);
    textureOwner_.push_back(0);
    return static_cast<unsigned>(textureOwner_.size() - 1);
}

void DrawRecord::bindTexture(unsigned texture) {
    if (!changeAllowed()) return;
    if (texture >= textureOwner_.size()) throw std::logic_error("binding an unknown texture");
    boundTexture_ = texture;
    boundImage_ = nullptr;
}

unsigned DrawRecord::newFramebuffer() {
    if (framebuffers_.empty()) framebuffers_.emplace_back();
    framebuffers_.emplace_back();
    return static_cast<unsigned>(framebuffers_.size() - 1);
}

void DrawRecord::bindFramebuffer(unsigned framebuffer) {
    if (!changeAllowed()) return;
    if (framebuffer != 0 && framebuffer >= framebuffers_.size()) {
        throw std::logic_error("binding an unknown frame buffer");
    }
    boundFramebuffer_ = framebuffer;
    stateChanged();
}

void DrawRecord::attachTexture(unsigned texture) {
    if (boundFramebuffer_ == 0 || texture == 0 || texture >= textureOwner_.size()) {
        throw std::logic_error("attaching a texture outside a frame buffer");
    }
    textureOwner_[texture] = boundFramebuffer_;
}

uint64_t DrawRecord::textureIdentity() const {
    if (boundImage_ != nullptr) return imageNames_.at(boundImage_);
    const unsigned owner = boundTexture_ < textureOwner_.size() ? textureOwner_[boundTexture_] : 0;
    if (owner == 0) throw std::logic_error("texturing from a texture without content");
    Digest d;
    d.add(static_cast<uint64_t>(owner));
    d.add(framebuffers_[owner].value());
    return d.value();
}

// What decides the look of a line, or of a filled primitive, beside its
// vertices: only state that is in effect counts.
uint64_t DrawRecord::stateHash(bool lines) {
    if (!matricesValid_) {
        Digest both;
        for (double m : projection_) both.add(m);
        for (double m : modelview_) both.add(m);
        matrices_ = both.value();
        matricesValid_ = true;
    }
    if (!stateValid_) {
        Digest common;
        common.add(static_cast<uint64_t>(boundFramebuffer_));
        for (int v : viewport_) common.add(static_cast<uint64_t>(static_cast<uint32_t>(v)));
        common.add(matrices_);
        common.add(static_cast<uint64_t>(isOn(GL_BLEND)));
        if (isOn(GL_BLEND)) {
            common.add(static_cast<uint64_t>(blendSource_));
            common.add(static_cast<uint64_t>(blendDestination_));
        }
        common.add(static_cast<uint64_t>(isOn(GL_TEXTURE_2D)));
        commonState_ = common.value();
        Digest fill;
        fill.add(commonState_);
        fill.add(static_cast<uint64_t>(isOn(GL_POLYGON_SMOOTH)));
        fillState_ = fill.value();
        stateValid_ = true;
        lineStateValid_ = false;
    }
    if (lines && !lineStateValid_) {
        Digest line;
        line.add(commonState_);
        line.add(static_cast<uint64_t>(isOn(GL_LINE_SMOOTH)));
        line.add(lineWidth_);
        line.add(static_cast<uint64_t>(isOn(GL_LINE_STIPPLE)));
        if (isOn(GL_LINE_STIPPLE)) {
            line.add(static_cast<uint64_t>(stippleFactor_));
            line.add(static_cast<uint64_t>(stipplePattern_));
        }
        lineState_ = line.value();
        lineStateValid_ = true;
    }
    return lines ? lineState_ : fillState_;
}

void DrawRecord::fold(uint64_t item) {
    if (boundFramebuffer_ != 0) {
        framebuffers_[boundFramebuffer_].add(item);
    } else {
        screen_.add(item);
        ++screenItems_;
    }
}

DrawRecord::Matrix DrawRecord::ortho(double left, double right, double bottom, double top, double zNear, double zFar) {
    Matrix m = kIdentity;
    m[0] = 2.0 / (right - left);
    m[5] = 2.0 / (top - bottom);
    m[10] = -2.0 / (zFar - zNear);
    m[12] = -(right + left) / (right - left);
    m[13] = -(top + bottom) / (top - bottom);
    m[14] = -(zFar + zNear) / (zFar - zNear);
    return m;
}

DrawRecord::Matrix DrawRecord::perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double f = 1.0 / std::tan(fovyDegrees * std::numbers::pi / 360.0);
    Matrix m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (zFar + zNear) / (zNear - zFar);
    m[11] = -1.0;
    m[14] = 2.0 * zFar * zNear / (zNear - zFar);
    return m;
}

DrawRecord::Matrix DrawRecord::lookAt(const std::array<double, 3>& eye, const std::array<double, 3>& centre,
                                      const std::array<double, 3>& up) {
    const std::array<double, 3> forward =
        normalised({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    const std::array<double, 3> side = normalised(cross(forward, up));
    const std::array<double, 3> upward = cross(side, forward);
    Matrix m = kIdentity;
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = side[i];
        m[i * 4 + 1] = upward[i];
        m[i * 4 + 2] = -forward[i];
    }
    Matrix translation = kIdentity;
    translation[12] = -eye[0];
    translation[13] = -eye[1];
    translation[14] = -eye[2];
    return product(m, translation);
}
