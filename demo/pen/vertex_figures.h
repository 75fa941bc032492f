// demo/pen: vertex figures drawn by pen actors on node rings; uses shared, figures, framework, platform.
#pragma once

#include "framework/clock/envelope.h"
#include "figures/vec2.h"

#include <array>
#include <memory>

class ActorChain;
class FigureActor;
class NodeRing;
class Renderer;
class VertexList;

// The pencil scene's nine pen figures on the shared vertex list, read from
// data/stjarna2.txt, data/knut.txt, data/nystan.txt and, four times over,
// data/runda_vertices.txt. The notes of patterns 70 to 77 grow them, make
// them jump and wipe them by a fixed table; pattern starts restyle them;
// envelopes move their origins and pull radius over time.
//
//   VertexFigures figures;            // at start-up: reads the files
//   figures.onPattern(71);            // a pattern start
//   figures.onNote(71, 45, step);     // a note-on
//   figures.draw(renderer);           // every frame
//   Vec2 target = figures.targetPoint();
//
// Throws zentac::Exception when a vertex file is missing or malformed.
class VertexFigures {
public:
    static constexpr int kActors = 9;

    VertexFigures();
    VertexFigures(const VertexFigures&) = delete;
    VertexFigures& operator=(const VertexFigures&) = delete;
    ~VertexFigures();

    // A note-on of MIDI pattern `pattern`; the step plays no part.
    void onNote(int pattern, int note, int step);
    // A pattern start.
    void onPattern(int pattern);
    // Moves every figure on by a frame and draws it. Needs the OpenGL
    // context.
    void draw(Renderer& renderer);
    // Where the first figure's pen is: its main anchor plus its origin.
    Vec2 targetPoint() const;

    FigureActor& actor(int i) const { return *actors_[static_cast<std::size_t>(i)]; }

private:
    void grow(int actor, int times = 1);
    void jump(int actor, int times = 1);
    void clear(int actor);
    void restyle(int actor, int burst, float width, float subScale, int subValue, bool enabled);
    void onFirstEndPattern();

    std::unique_ptr<VertexList> list_;
    std::array<std::unique_ptr<FigureActor>, kActors> actors_;
    std::unique_ptr<NodeRing> chainRing_;
    std::unique_ptr<ActorChain> chain_;
    Envelope chance_{300.0f};
    Envelope width_{0.0f};
    Envelope originX_{150.0f};
    Envelope originY_{170.0f};
    Envelope drift_{1.0f};
    Envelope offset_{0.0f};
    // Ms of frame time since the last pattern start.
    int elapsed_ = 0;
    bool endPatternSeen_ = false;
};
