#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "framework/render/draw_probe.h"

// What the fragments of a frame were drawn as: a key for every target, kind
// of primitive, marked source and program, with the draw calls and fragments
// drawn under it.
struct DrawKey {
    bool intoWindow = true;
    // DrawProbe::KindCount for drawing outside the probed draws.
    int kind = DrawProbe::KindCount;
    std::string source;
    unsigned features = 0;

    bool operator<(const DrawKey& other) const {
        return std::tie(intoWindow, kind, source, features) <
               std::tie(other.intoWindow, other.kind, other.source, other.features);
    }
};

struct DrawTally {
    uint64_t draws = 0;
    uint64_t fragments = 0;
    // CPU the rasteriser threads spent on them, each draw finished alone.
    double rasterMs = 0;
};

using DrawSplitTable = std::map<DrawKey, DrawTally>;

// Counts the fragments of every probed draw with an occlusion query of its
// own, and those of everything else drawn with queries between them. Only
// one such query can run at a time, so it replaces the frame's single count.
// Each split is finished (glFinish) on its own, so the CPU the rasteriser
// threads used meanwhile is what its fragments cost them. Installs itself as
// the draw probe for its lifetime.
class DrawSplit : public DrawProbe {
public:
    DrawSplit();
    ~DrawSplit() override;
    DrawSplit(const DrawSplit&) = delete;
    DrawSplit& operator=(const DrawSplit&) = delete;

    // Only a timed frame finishes each split to time it: that is slow.
    void beginFrame(bool timed);
    // After the frame's drawing has finished: adds what each key drew to
    // `table` and returns all the frame's fragments.
    uint64_t endFrame(DrawSplitTable& table);

    void beginDraw(const Draw& draw) override;
    void endDraw() override;

    // The program of these BatchShader features, in words.
    static std::string programName(unsigned features, int kind);

private:
    void beginQuery(DrawKey key);
    void endQuery();
    // The CPU all the rasteriser threads have used so far, after finishing
    // what was drawn.
    double finishedRasterMs() const;

    std::vector<unsigned> queries_;
    // The queries begun this frame, in order, with what they count.
    std::vector<std::pair<unsigned, DrawKey>> begun_;
    // The rasteriser threads' CPU each begun query used, in the same order.
    std::vector<double> rasterMs_;
    double rasterMsAtBegin_ = 0;
    std::vector<int> rasterisers_;
    bool timed_ = false;
    bool counting_ = false;
};
