#pragma once

#include <vector>

#include "demo/scraps/fly_in_piece.h"

class Renderer;

// Throws bursts of shards from the target point out beyond a random edge of
// the screen, sized and spaced by the pencil envelopes. Waits for its MIDI
// pattern; reuses the 300 shards as they arrive.
class FlyInPool {
public:
    static constexpr int kPieces = 300;

    FlyInPool();

    // Bursts stop after this many; counting starts again.
    void setRate(int maximumRounds);
    void setId(int pattern) { pattern_ = pattern; }
    // A pattern start: the pool's own pattern sets it going for good.
    void onTrigger(int pattern);
    void setTarget(Vec2 target) { target_ = target; }
    // Spawns when a burst is due, then moves and draws every flying shard.
    void draw(Renderer& renderer);

    bool isActive() const { return active_; }
    int rounds() const { return rounds_; }
    int cursor() const { return cursor_; }
    FlyInPiece& piece(int index) { return pieces_[index]; }

private:
    void spawn();
    void spawnOne();

    std::vector<FlyInPiece> pieces_;
    int nextSpawnTime_ = 0;
    int rounds_ = 0;
    int maximumRounds_ = 0;
    int cursor_ = 0;
    Vec2 target_;
    int pattern_ = -1;
    bool active_ = false;
};
