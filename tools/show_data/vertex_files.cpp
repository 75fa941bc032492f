#include "tools/show_data/vertex_files.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <span>

#include "tools/show_data/dsp.h"
#include "tools/show_data/output_file.h"

namespace show_data {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Points along the straight line from a to b, without a itself.
void lineTo(std::vector<Vertex>& path, Vertex b, int steps) {
    const Vertex a = path.back();
    for (int i = 1; i <= steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        path.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t});
    }
}

// Turns v about the unit axis by angle (Rodrigues' formula).
Vertex turned(Vertex v, Vertex axis, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    const float d = (axis.x * v.x + axis.y * v.y + axis.z * v.z) * (1 - c);
    return {v.x * c + (axis.y * v.z - axis.z * v.y) * s + axis.x * d,
            v.y * c + (axis.z * v.x - axis.x * v.z) * s + axis.y * d,
            v.z * c + (axis.x * v.y - axis.y * v.x) * s + axis.z * d};
}

Vertex scaled(Vertex v, float k) { return {v.x * k, v.y * k, v.z * k}; }

float lengthOf(Vertex v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

// A unit vector at right angles to the unit vector v.
Vertex perpendicular(Vertex v) {
    const Vertex helper = std::fabs(v.x) < 0.9f ? Vertex{1, 0, 0} : Vertex{0, 1, 0};
    const Vertex p{v.y * helper.z - v.z * helper.y, v.z * helper.x - v.x * helper.z, v.x * helper.y - v.y * helper.x};
    return scaled(p, 1.0f / lengthOf(p));
}

// A face drawn on a ball: the nearer the middle, the nearer the viewer.
Vertex onFace(float x, float y) {
    constexpr float kBall = 95.0f;
    return {x, y, std::sqrt(std::max(0.0f, kBall * kBall - x * x - y * y)) - 45.0f};
}

// A small loop of the pen, from its top round once, clockwise.
void eye(std::vector<Vertex>& path, float cx, float cy, float r, Noise& noise) {
    lineTo(path, onFace(cx, cy - r), 3);
    for (int i = 1; i <= 12; ++i) {
        const float a = -kPi / 2 + 2 * kPi * static_cast<float>(i) / 12;
        const float wobble = 1 + 0.08f * noise.next();
        path.push_back(onFace(cx + r * wobble * std::cos(a), cy + r * wobble * std::sin(a)));
    }
}

}  // namespace

std::string formatVertices(const std::vector<Vertex>& vertices) {
    std::string text = "numVertices=" + std::to_string(vertices.size()) + "\n";
    char line[96];
    for (const Vertex& v : vertices) {
        std::snprintf(line, sizeof line, "x=%f,y=%f,z=%f\n", v.x, v.y, v.z);
        text += line;
    }
    return text;
}

std::vector<Vertex> starVertices() {
    std::vector<Vertex> path;
    for (int lap = 0; lap < 2; ++lap) {
        // The second time round a little smaller and turned, as a hand goes
        // over its star again.
        const float size = lap == 0 ? 1.0f : 0.9f;
        const float twist = lap == 0 ? 0.0f : 0.1f;
        for (int corner = 0; corner <= 10; ++corner) {
            if (lap == 1 && corner == 0) continue;
            const bool outer = corner % 2 == 0;
            const float a = -kPi / 2 + twist + kPi * static_cast<float>(corner) / 5;
            const float r = (outer ? 80.0f : 32.0f) * size;
            const Vertex v{r * std::cos(a), r * std::sin(a), outer ? 12.0f : -22.0f};
            if (path.empty()) {
                path.push_back(v);
            } else {
                lineTo(path, v, 3);
            }
        }
    }
    return path;
}

std::vector<Vertex> knotVertices() {
    constexpr int kSteps = 180;
    constexpr float kScale = 26.0f;
    std::vector<Vertex> path;
    for (int i = 0; i <= kSteps; ++i) {
        const float t = 2 * kPi * static_cast<float>(i) / kSteps;
        path.push_back({kScale * (std::sin(t) + 2 * std::sin(2 * t)), kScale * (std::cos(t) - 2 * std::cos(2 * t)),
                        -kScale * 1.4f * std::sin(3 * t)});
    }
    return path;
}

std::vector<Vertex> yarnBallVertices() {
    constexpr float kRadius = 62.0f;
    constexpr int kTurns = 11;
    constexpr int kStepsPerTurn = 30;
    Noise noise(0x6e797374u);
    std::vector<Vertex> path;
    Vertex at{0, -1, 0};
    path.push_back(scaled(at, kRadius));
    for (int turn = 0; turn < kTurns; ++turn) {
        // Each turn is most of a great circle through where the last one
        // ended, tipped a new way.
        const Vertex side = perpendicular(at);
        const Vertex axis = turned(side, at, kPi * (0.31f + 0.6f * static_cast<float>(turn)) + 0.5f * noise.next());
        const float sweep = 2 * kPi * (0.7f + 0.2f * noise.next());
        for (int i = 1; i <= kStepsPerTurn; ++i) {
            const Vertex v = turned(at, axis, sweep * static_cast<float>(i) / kStepsPerTurn);
            path.push_back(scaled(v, kRadius * (1 + 0.015f * noise.next())));
        }
        at = turned(at, axis, sweep);
    }
    // The loose end hangs out of the ball in a lazy curve.
    const Vertex out = path.back();
    for (int i = 1; i <= 10; ++i) {
        const float t = static_cast<float>(i) / 10;
        path.push_back({out.x * (1 + 0.5f * t) + 14 * std::sin(3 * t), out.y * (1 + 0.5f * t) + 30 * t * t,
                        out.z * (1 + 0.5f * t)});
    }
    return path;
}

std::vector<Vertex> roundFaceVertices() {
    Noise noise(0x72756e64u);
    std::vector<Vertex> path;
    // A curl of hair that ends on the top of the head.
    for (int i = 0; i <= 14; ++i) {
        const float t = static_cast<float>(i) / 14;
        const float a = -kPi / 2 + 3.5f * kPi * t;
        const float r = 4 + 8 * t;
        path.push_back(onFace(r * std::cos(a), -82 + 12 * t + r * std::sin(a)));
    }
    lineTo(path, onFace(0, -70), 1);
    // The head, round once from the top, a little wider than high.
    for (int i = 1; i <= 48; ++i) {
        const float a = -kPi / 2 + 2 * kPi * static_cast<float>(i) / 48;
        const float wobble = 1 + 0.025f * noise.next();
        path.push_back(onFace(64 * wobble * std::cos(a), 70 * wobble * std::sin(a)));
    }
    // Each eye under its brow: the pen comes down onto the brow, along it
    // and into the eye.
    for (float side : {-1.0f, 1.0f}) {
        lineTo(path, onFace(side * 36, -36), 3);
        for (int i = 1; i <= 6; ++i) {
            const float t = static_cast<float>(i) / 6;
            path.push_back(onFace(side * (36 - 24 * t), -36 - 5 * std::sin(kPi * t)));
        }
        eye(path, side * 24, -20, 9, noise);
    }
    // The nose: down from between the eyes, a hook to the left and back.
    lineTo(path, onFace(2, -6), 2);
    lineTo(path, onFace(-6, 12), 2);
    lineTo(path, onFace(4, 15), 1);
    // The smile, from cheek to cheek.
    lineTo(path, onFace(-32, 24), 3);
    for (int i = 1; i <= 14; ++i) {
        const float t = static_cast<float>(i) / 14;
        const float x = -32 + 64 * t;
        path.push_back(onFace(x, 24 + 20 * std::sin(kPi * t)));
    }
    return path;
}

void writeVertexFiles(const std::filesystem::path& folder) {
    const auto write = [&folder](const char* name, const std::vector<Vertex>& vertices) {
        const std::string text = formatVertices(vertices);
        writeOutputFile(folder / name,
                        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    };
    write("stjarna2.txt", starVertices());
    write("knut.txt", knotVertices());
    write("nystan.txt", yarnBallVertices());
    write("runda_vertices.txt", roundFaceVertices());
}

}  // namespace show_data
