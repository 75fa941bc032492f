// demo/pencil: paper, pencil strokes, render layers and the overlay; uses figures, framework, engine.
#pragma once

#include "demo/pencil/layer_schedule.h"
#include "demo/pencil/pencil_stroke.h"
#include "demo/pencil/stroke_field.h"
#include "framework/render/frame_buffer.h"
#include "framework/render/renderer.h"

#include <memory>
#include <vector>

// Something drawn once into a render layer's texture, where it stays.
class LayerDrawable {
public:
    virtual ~LayerDrawable() = default;
    // Draws into the layer with the layer's own renderer; the layer's frame
    // buffer is bound.
    virtual void drawToLayer(Renderer& layerRenderer) = 0;
};

// A picture that keeps what is drawn into it from frame to frame: pencil
// strokes accumulate in a 1024x1024 texture, started by a MIDI pattern and a
// delay after it, and other effects queue drawables into the same texture.
// Needs the OpenGL context current.
class RenderLayer {
public:
    // The texture starts transparent in colour (r, g, b). With blendOnOutput
    // the texture is blended over the screen, else it replaces it.
    RenderLayer(float r, float g, float b, bool blendOnOutput, std::unique_ptr<PencilLayers> layers,
                std::unique_ptr<StrokeField> field, int delayMs);

    void setPattern(int pattern) { pattern_ = pattern; }
    // Every start of the layer's own pattern sets the trigger time again.
    void onPattern(int pattern);
    bool isTriggered() const { return triggered_; }
    bool hasStarted() const { return started_; }

    // Not owned; drawn into the texture at the next drawInto, then dropped.
    void enqueue(LayerDrawable* drawable) { queue_.push_back(drawable); }

    // This frame's queued drawables and due strokes into the texture.
    void drawInto();
    // The texture over the whole screen.
    void drawOut();

private:
    // Triggered, and the delay after the trigger has passed once.
    bool readyForStrokes();
    void drawStroke();

    FrameBuffer frameBuffer_;
    StrokeTexture strokeTexture_;
    std::unique_ptr<Renderer> renderer_;
    std::unique_ptr<PencilLayers> layers_;
    std::unique_ptr<StrokeField> field_;
    std::vector<LayerDrawable*> queue_;
    bool blendOnOutput_;
    int triggerTime_ = 0;
    int delay_;
    int pattern_ = -1;
    bool triggered_ = false;
    bool started_ = false;
};
