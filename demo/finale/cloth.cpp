#include "demo/finale/cloth.h"

#include "figures/smooth_blend.h"
#include "framework/render/gl_batch.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr float gravity = -9.8f;
constexpr float normalDamping = 80.0f;
constexpr float timeStep = 0.01f;
constexpr float width = 50.0f;
constexpr float spacing = width / Cloth::side;
const float diagonal = std::sqrt(4.8828125f);
constexpr float inverseMass = 1.5f;
constexpr int pinnedRow = 0;
constexpr int pinnedColumn = Cloth::side - 1;
constexpr int constraintPasses = 3;

// The show's window; the cloth's camera looks into all of it.
constexpr int viewWidth = 1024;
constexpr int viewHeight = 768;

constexpr float cameraAzimuth = 0.0f;
constexpr float cameraElevation = 1.0f;
constexpr float cameraDistance = 300.0f;

}  // namespace

void Cloth::setup(Vec2 anchor) {
    Particles& first = buffers_[0];
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c < side; ++c) {
            Particle& p = first[index(r, c)];
            p.position = {c * spacing - width / 2 + anchor.x, 5.0f + anchor.y, -r * spacing};
            p.inverseMass = inverseMass;
        }
    }
    Particle& pinned = first[index(pinnedRow, pinnedColumn)];
    pinned.inverseMass = 0.0f;
    pinned.position.x = anchor.x;
    pinned.position.y = anchor.y;
    buffers_[1] = first;
    current_ = &buffers_[0];
    previous_ = &buffers_[1];
    buildConstraints();
}

void Cloth::buildConstraints() {
    int n = 0;
    for (int r = 0; r < side; ++r) {
        for (int c = 0; c + 1 < side; ++c) constraints_[n++] = {index(r, c), index(r, c + 1), spacing};
    }
    for (int r = 0; r + 1 < side; ++r) {
        for (int c = 0; c < side; ++c) constraints_[n++] = {index(r, c), index(r + 1, c), spacing};
    }
    for (int r = 0; r + 1 < side; ++r) {
        for (int c = 0; c + 1 < side; ++c) constraints_[n++] = {index(r, c), index(r + 1, c + 1), diagonal};
    }
}

void Cloth::pin(Vec2 point) {
    for (Particles& buffer : buffers_) {
        Vec3& p = buffer[index(pinnedRow, pinnedColumn)].position;
        p.x = point.x;
        p.y = point.y;
    }
}

void Cloth::simulate() {
    float now = clock_.read();
    wind_.update(static_cast<int>(now));
    windVector_ = wind_.vector();
    int target = static_cast<int>(2.0f * now);
    while (simulatedTime_ < target) {
        step();
        simulatedTime_ += stepTicks;
    }
}

void Cloth::frame(Renderer& renderer, float r, float g, float b) {
    GLBatch::beginRawCurrent();
    glViewport(0, 0, viewWidth, viewHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(20.0, static_cast<double>(viewWidth) / viewHeight, 0.1, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    simulate();
    placeCamera();
    glColor3f(r, g, b);
    draw(renderer);
    glDisable(GL_TEXTURE_2D);
    GLBatch::endRawCurrent();
}

void Cloth::step() {
    accelerate(windVector_);
    integrate();
    for (int pass = 0; pass < constraintPasses; ++pass) satisfyConstraints();
    computeNormals();
}

void Cloth::accelerate(const Vec3& wind) {
    for (int i = 0; i < particleCount; ++i) {
        Vec3 n = normals_[i];
        Vec3 a{0.0f, gravity, 0.0f};
        a = a + n * dot(wind, n);
        float normalSpeed = dot((*previous_)[i].position - (*current_)[i].position, n);
        accelerations_[i] = a + n * (normalDamping * normalSpeed);
    }
}

void Cloth::integrate() {
    for (int i = 0; i < particleCount; ++i) {
        const Particle& now = (*current_)[i];
        Vec3& next = (*previous_)[i].position;
        next = now.position * 2.0f - next + accelerations_[i] * (now.inverseMass * timeStep * timeStep);
    }
    std::swap(current_, previous_);
}

void Cloth::satisfyConstraints() {
    Particles& p = *current_;
    for (const Constraint& k : constraints_) {
        Particle& a = p[k.a];
        Particle& b = p[k.b];
        Vec3 d = a.position - b.position;
        float len = length(d);
        // Two particles on one spot have no direction to be pushed apart in.
        if (len == 0.0f) continue;
        float f = (len - k.restLength) / ((a.inverseMass + b.inverseMass) * len);
        a.position = a.position - d * (a.inverseMass * f);
        b.position = b.position + d * (b.inverseMass * f);
    }
}

void Cloth::computeNormals() {
    const Particles& p = *current_;
    normals_.fill({});
    for (int r = 0; r + 1 < side; ++r) {
        for (int c = 0; c + 1 < side; ++c) {
            int a = index(r, c);
            int b = index(r, c + 1);
            int cc = index(r + 1, c);
            int d = index(r + 1, c + 1);
            Vec3 first = cross(p[a].position - p[cc].position, p[b].position - p[a].position);
            Vec3 second = cross(p[d].position - p[b].position, p[cc].position - p[d].position);
            for (int i : {a, b, cc}) normals_[i] = normals_[i] + first;
            for (int i : {d, b, cc}) normals_[i] = normals_[i] + second;
        }
    }
    for (Vec3& n : normals_) {
        float len = length(n);
        // A crumpled spot has no facing; it takes no wind until it unfolds.
        if (len != 0.0f) n = n * (1.0f / len);
    }
}

void Cloth::placeCamera() const {
    Vec3 eye{std::sin(cameraElevation) * std::sin(cameraAzimuth) * cameraDistance,
             std::cos(cameraElevation) * cameraDistance,
             std::sin(cameraElevation) * std::cos(cameraAzimuth) * cameraDistance};
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

void Cloth::draw(Renderer& renderer) const {
    setSmoothBlend(renderer, false, false);
    for (int r = 0; r + 1 < side; ++r) {
        glBegin(GL_TRIANGLE_STRIP);
        emitRow(r, true);
        glEnd();
    }
    setSmoothBlend(renderer, true, false);
    for (int r = 0; r + 1 < side; ++r) {
        glBegin(GL_LINE_STRIP);
        emitRow(r, false);
        glEnd();
    }
}

void Cloth::emitRow(int row, bool withNormals) const {
    const Particles& p = *current_;
    for (int c = 0; c < side; ++c) {
        const Vec3& lower = p[index(row + 1, c)].position;
        const Vec3& upper = p[index(row, c)].position;
        if (withNormals) {
            const Vec3& n = normals_[index(row + 1, c)];
            glNormal3f(n.x, n.y, n.z);
        }
        glVertex3f(lower.x, lower.y, lower.z);
        glVertex3f(upper.x, upper.y, upper.z);
    }
}
