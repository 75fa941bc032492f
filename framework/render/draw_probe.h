#pragma once

// What a profiler learns of the drawing, one draw call at a time: the kind
// of primitive in it, the program's features and where the callers said the
// primitives come from. With no probe installed nothing of it runs but the
// store of each marked source; with one, the batch issues a draw call for
// every change of kind or source within a run, with the run's own program.
class DrawProbe {
public:
    enum Kind { Fill, TexturedFill, SmoothLine, PlainLine, StippledLine, TexturedLine, TinyFigure, RawQuad, KindCount };

    // One draw call: what it holds and the program features it is drawn with
    // (BatchShader's, 0 for fixed function).
    struct Draw {
        Kind kind;
        const char* source;
        unsigned features;
    };

    virtual ~DrawProbe() = default;
    virtual void beginDraw(const Draw& draw) = 0;
    virtual void endDraw() = 0;

    static const char* kindName(Kind kind);
};

namespace draw_probe {

// The probe in use, or null; the profiler installs one before drawing.
DrawProbe* installed();
void install(DrawProbe* probe);

// Marks where the primitives added from now on come from: a string that
// lives as long as the program; null for unmarked.
void markSource(const char* source);
const char* source();

// Marks a source for its own lifetime, then puts back the one before.
class SourceMark {
public:
    explicit SourceMark(const char* source) : previous_(draw_probe::source()) { markSource(source); }
    ~SourceMark() { markSource(previous_); }
    SourceMark(const SourceMark&) = delete;
    SourceMark& operator=(const SourceMark&) = delete;

private:
    const char* previous_;
};

}  // namespace draw_probe
