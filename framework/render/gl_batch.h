#pragma once

#include "framework/render/batch_shader.h"
#include "framework/render/draw_ring.h"
#include "framework/render/tiny_figure.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

// One corner of a primitive as the renderer was given it.
struct BatchPoint {
    float x, y, z;
    float r, g, b, a;
    float u, v;
};

// Everything the renderers of one OpenGL context draw, gathered into one
// array of triangles and drawn only when something the triangles cannot
// carry changes: blending, the texture in use, or anything drawn or set
// outside (frame buffers, matrices, viewport, clears, raw drawing), which
// calls flush or beginRaw first. Colour, texturing, line width, smoothing
// and stipple travel with the vertices. A figure of a pixel or two (a fill
// and its smooth outline) becomes one triangle that works out what its
// segments would have left.
class GLBatch {
public:
    // The batch of the current context, made on first use.
    static GLBatch& current();
    // The context is gone, with all its objects: forget the batch unseen.
    static void discard();
    // Draws what is pending; nothing when no batch was made.
    static void flushCurrent();
    // Around OpenGL drawing of one's own: before, the batch is drawn and the
    // fixed-function state made what the renderers set; while raw, state
    // changes reach OpenGL at once; after, the state is read back, as the
    // raw drawing may have changed it. Nothing when no batch was made.
    static void beginRawCurrent();
    static void endRawCurrent();

    void setBlending(bool enable, bool saturate);
    // For a target laid over the screen later: blending also gathers in its
    // alpha how much each primitive covers, so its colour is weighted by
    // alpha, and laying it over by that colour and alpha gives what blending
    // each primitive onto the screen gives.
    void setPremultiplying(bool on);
    // Smoothing on also turns blending on; off leaves blending as it is.
    void setSmooth(bool on);
    void setLineStipple(bool on, int factor, unsigned pattern);
    void setLineWidth(float width);
    float lineWidth() const { return lineWidth_; }
    void setTexturing(bool on);
    bool isTexturing() const { return texturing_; }
    // The texture name textured primitives use from now on.
    void useTexture(unsigned texture);
    // Something bound a texture directly.
    void forgetBoundTexture() { boundTexture_ = kUnknown; }

    void clear(float r, float g, float b);
    // Line segments from pairs of points; an odd last point is dropped.
    void addLines(const std::vector<BatchPoint>& points);
    // A convex outline, filled as a fan.
    void addPolygon(const std::vector<BatchPoint>& points);
    // Draws what is pending; the matrices and viewport are read again before
    // the next primitive.
    void flush();

private:
    struct Vertex {
        float start[3];
        float end[3];
        float corner[2];
        float color[4];
        float texCoord[3];
        float line[4];
    };
    static constexpr unsigned kUnknown = ~0u;

    GLBatch();
    // Draws what is pending, keeping what is known of the transform.
    void drawPending();
    // Draws what is pending when the blending really changes.
    void changeBlending(bool enable, bool saturate);
    void beginRaw();
    void endRaw();
    // The primitive of these alphas can change no pixel.
    bool invisible(const std::vector<BatchPoint>& points) const;
    // All the window points lie beyond one edge of the viewport: the driver
    // clips the primitive away whole, lines before their width counts.
    bool beyondOneEdge(const WindowPoint* points, std::size_t count) const;
    // A fill's corners to window pixels, into fillCorners_; false when one
    // lies beyond the near or far plane.
    bool fillToWindow(const std::vector<BatchPoint>& points);
    // Draws what is pending when the batch is full.
    void makeRoom();
    // Flushes first when textured primitives would need another texture.
    void prepareTexture();
    void applyBlending();
    // Sends the pending triangles, a draw for each run.
    void draw();
    // Stores data into the buffer bound to target, growing its storage when
    // it is too small.
    static void store(unsigned target, const void* data, std::size_t bytes, std::size_t& storage);
    void applyFixedFunctionState();
    // The width kept, held to the widest line the driver draws.
    float drawnLineWidth() const { return std::min(lineWidth_, smooth_ ? widestSmoothLine_ : widestPlainLine_); }
    // A line whose ends lie at ends in the window, when seen.
    void addLine(const BatchPoint& from, const BatchPoint& to, const WindowPoint ends[2], bool seen);
    // Lays smooth lines too small to show their shape, with the fill just
    // before them (afterFill), as one spot; false when they are not such
    // lines, or are among the first of a row amid lines.
    bool addTinyFigure(const std::vector<BatchPoint>& points, bool afterFill);
    // Reads the model-view-projection and viewport when not yet known.
    void knowTransform();
    // Where a point lands in the window, once the transform is known; false
    // when it lies beyond the near or far plane.
    bool project(float x, float y, float z, WindowPoint& out) const;
    // About how many window pixels a flat outline covers.
    float windowArea(const std::vector<BatchPoint>& points);
    // Hands the tiny figures' segments to the shader, on texture unit 1.
    void uploadSegments();
    // What a run takes besides small fills. The driver runs every rule of a
    // program for every fragment: a fill of its own has none, and lines and
    // tiny figures keep out of each other's program. Amid lines a tiny
    // figure is drawn as the lines it is, unless many come in a row.
    enum class RunKind { Fills, Lines, Spots };
    // The triangles added next go into a run of this kind.
    void beginRun(RunKind kind);
    // With a probe installed, the primitives added next are of this kind
    // (a DrawProbe::Kind) and from the source marked now.
    void noteKind(int kind);
    // The run's indices [from, to) in a draw for each label, told to the
    // probe.
    void drawProbed(std::size_t from, std::size_t to, unsigned features, std::size_t indexOffset);
    Vertex lineCorner(const BatchPoint& own, const BatchPoint& from, const BatchPoint& to, float along,
                      float side) const;

    BatchShader shader_;
    // Where batches go when the driver takes them, else into these buffers.
    std::unique_ptr<DrawRing> ring_;
    unsigned vertexBuffer_ = 0;
    unsigned indexBuffer_ = 0;
    // Bytes of storage each buffer has; a batch that fits writes into it.
    std::size_t vertexBufferSize_ = 0;
    std::size_t indexBufferSize_ = 0;
    // Sent to the driver since it was last told to flush.
    std::size_t unflushedVertices_ = 0;
    std::vector<Vertex> vertices_;
    std::vector<unsigned> indices_;
    // Where in indices_ each stretch drawn with one program starts, and
    // what its primitives need of the program.
    struct Run {
        std::size_t firstIndex;
        RunKind kind;
        unsigned features;
    };
    std::vector<Run> runs_;
    // Tiny figures drawn as lines in a row, in the current run.
    std::size_t tinyFiguresAsLines_ = 0;
    // Only while a draw probe is installed: where in indices_ each stretch of
    // one kind of primitive from one source starts.
    struct Label {
        std::size_t firstIndex;
        int kind;
        const char* source;
    };
    std::vector<Label> labels_;
    // The tiny figures' outline segments, window pixels: x0 y0 x1 y1 each.
    std::vector<float> segments_;
    unsigned segmentTexture_ = 0;
    // As many as the tallest texture holds.
    std::size_t maxSegments_ = 0;
    // A tiny figure's outline and the last fill's corners in window pixels,
    // kept between primitives.
    std::vector<WindowPoint> outline_;
    // addTinyFigure placed every point of the lines it declined in outline_.
    bool outlineKnown_ = false;
    std::vector<WindowPoint> fillCorners_;

    bool blending_ = false;
    bool saturate_ = false;
    bool premultiplying_ = false;
    bool smooth_ = false;
    bool stipple_ = false;
    int stippleFactor_ = 1;
    unsigned stipplePattern_ = 0xFFFF;
    float lineWidth_ = 1.0f;
    float widestSmoothLine_ = 1.0f;
    float widestPlainLine_ = 1.0f;
    bool texturing_ = false;
    unsigned texture_ = 0;
    // The texture the pending textured primitives use.
    unsigned batchTexture_ = kUnknown;
    bool raw_ = false;
    // The fill added last, when nothing came after it yet and it has one
    // colour, no texture and its corners in fillCorners_: a tiny outline
    // next may take it in.
    bool fillPending_ = false;
    std::size_t fillVertices_ = 0;
    std::size_t fillIndices_ = 0;
    // Model-view-projection and viewport, read once after each flush: they
    // change only around one.
    bool transformKnown_ = false;
    float transform_[16] = {};
    float viewport_[4] = {};

    // What OpenGL has now, as far as known.
    bool blendingKnown_ = false;
    bool appliedBlending_ = false;
    bool appliedSaturate_ = false;
    bool appliedPremultiplying_ = false;
    unsigned boundTexture_ = kUnknown;
};
