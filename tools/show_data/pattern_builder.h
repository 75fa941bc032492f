#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "tools/show_data/score_writer.h"

namespace show_data {

// A chord as the parts play it: the pad's voicing and the bass's root.
struct Chord {
    std::string_view name;
    std::vector<int> voicing;
    int bassRoot;
};

// Writes one pass of a pattern of 64 steps (4 bars of 16 sixteenth notes,
// the shape the show's scenes give their patterns) in a compact notation:
//
//   drum grids   "x...x...x...x..."  'X' accent, 'x' hit, 'o' ghost, '.' rest
//   bass grids   "x.x-5..."          'x' the bar's root, '5' its fifth
//   arpeggios    "0.1.2.1."          digit n: the chord's n-th tone from low
//   melodies     "E5 - - D5 . C5"    note names, '-' holds, '.' rests
//
// Grids of 16 steps play in every bar; grids of 64 steps span the pattern.
// Blanks and '|' only lay the text out. Bass and arpeggio notes last until
// the next mark; '-' holds them on. Malformed notation throws
// std::invalid_argument.
class PatternBuilder {
public:
    static constexpr int kSteps = 64;
    static constexpr int kStepsPerBar = 16;
    static constexpr int kBars = kSteps / kStepsPerBar;
    static constexpr int kTicksPerStep = 6;
    static constexpr int kTicks = kSteps * kTicksPerStep;

    // `chords`: one chord name a bar, e.g. "Am F C G"; '-' repeats the last.
    PatternBuilder(ScoreWriter& score, int startTick, std::string_view chords);

    void drums(int note, std::string_view grid, int velocity = 100);
    // Each bar's chord, held on through bars that repeat it.
    void pad(int velocity);
    void bass(std::string_view grid, int velocity);
    void arpeggio(std::string_view grid, int velocity);
    void melody(int channel, std::string_view line, int velocity, int transpose = 0);

private:
    // What a grid says for one step of the pattern: its mark character.
    static std::vector<char> stepsOf(std::string_view grid);
    int tickOf(int step) const { return startTick_ + step * kTicksPerStep; }
    // Steps that a mark at `step` lasts: it and the holds after it.
    static int lengthAt(const std::vector<char>& steps, int step);

    ScoreWriter& score_;
    int startTick_;
    std::array<const Chord*, kBars> chords_{};
};

}  // namespace show_data
