#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "framework/render/frame_buffer.h"
#include "framework/render/renderer.h"

class ScrapChain;

// The pieces of a field that have stopped unfolding, drawn once into a
// picture of their own that is laid over the screen in their place every
// frame: a frame then draws only the pieces still unfolding. Pieces go in in
// the field's order and only after every piece before them, so they blend in
// the order the field draws them. Needs the OpenGL context current.
class SettledScraps {
public:
    SettledScraps();

    // Takes in the chains that have settled since, from the first not yet
    // in, and lays the picture over the screen. Returns how many chains from
    // the front it holds: the caller draws the rest.
    std::size_t drawOver(std::vector<ScrapChain>& chains);
    // The round of the field's chains it holds.
    int round() const { return round_; }
    // Empties the picture for the field's next round.
    void clear(int round);

private:
    // Around drawing into the picture, keeping the screen's projection.
    void bindPicture();
    void unbindPicture();
    // Draws chains [kept_, end) into the picture.
    void takeIn(std::vector<ScrapChain>& chains, std::size_t end);

    FrameBuffer frameBuffer_;
    std::unique_ptr<Renderer> renderer_;
    int round_ = 0;
    std::size_t kept_ = 0;
    // The view pixels the pieces in the picture may cover, from the bottom
    // left, ends excluded.
    int left_ = 0;
    int bottom_ = 0;
    int right_ = 0;
    int top_ = 0;
};
