#pragma once

#include "framework/render/renderer.h"

#include <vector>

// Records what is drawn, for checks without a display.
class RecordingRenderer : public Renderer {
public:
    enum Kind { Begin, End, Vertex, Color, LineWidth, Clear, Blending };
    struct Call {
        Kind kind;
        float a = 0.0f;
        float b = 0.0f;
        float c = 0.0f;
        float d = 0.0f;
    };

    void begin(int primitive) override { calls.push_back({Begin, static_cast<float>(primitive)}); }
    void end() override { calls.push_back({End}); }
    void clear(float r, float g, float b) override { calls.push_back({Clear, r, g, b}); }
    void vertex(float x, float y, float z) override { calls.push_back({Vertex, x, y, z}); }
    void color(float r, float g, float b, float a) override { calls.push_back({Color, r, g, b, a}); }
    void texCoord(float, float) override {}
    void setSmooth(bool) override {}
    bool isSmooth() override { return false; }
    void setTexture(Image*) override {}
    float lineWidth() override { return width_; }
    void setLineWidth(float width) override {
        width_ = width;
        calls.push_back({LineWidth, width});
    }

    void setBlending(bool enable, bool saturate) override {
        calls.push_back({Blending, enable ? 1.0f : 0.0f, saturate ? 1.0f : 0.0f});
    }

    std::vector<Call> only(Kind kind) const {
        std::vector<Call> picked;
        for (const Call& call : calls) {
            if (call.kind == kind) picked.push_back(call);
        }
        return picked;
    }

    std::vector<Call> calls;

private:
    float width_ = 1.0f;
};
