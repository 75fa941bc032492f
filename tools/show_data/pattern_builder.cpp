#include "tools/show_data/pattern_builder.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

#include "tools/show_data/instruments.h"

namespace show_data {

namespace {

// Pad voicings around middle C, led so that neighbouring chords move little;
// bass roots between C1 and B1.
const std::vector<Chord>& chordTable() {
    static const std::vector<Chord> chords = {
        {"Am", {57, 60, 64}, 33},         {"Am9", {55, 59, 60, 64}, 33}, {"F", {57, 60, 65}, 29},
        {"Fmaj7", {53, 57, 60, 64}, 29},  {"C", {55, 60, 64}, 24},       {"Cmaj7", {55, 59, 64}, 24},
        {"G", {55, 59, 62}, 31},          {"Em", {55, 59, 64}, 28},      {"Em7", {55, 59, 62, 64}, 28},
        {"Dm", {57, 62, 65}, 26},         {"Dm9", {53, 57, 60, 64}, 26}, {"E", {56, 59, 64}, 28},
        {"Esus", {57, 59, 64}, 28},
    };
    return chords;
}

const Chord& chordNamed(std::string_view name) {
    for (const Chord& chord : chordTable()) {
        if (chord.name == name) return chord;
    }
    throw std::invalid_argument("unknown chord '" + std::string(name) + "'");
}

std::vector<std::string_view> wordsOf(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '|')) ++i;
        const std::size_t begin = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '|') ++i;
        if (i > begin) words.push_back(text.substr(begin, i - begin));
    }
    return words;
}

// "C4" is 60; sharps '#', flats 'b'.
int noteNumberOf(std::string_view name) {
    static constexpr int kSemitones[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    const auto bad = [&] { return std::invalid_argument("bad note '" + std::string(name) + "'"); };
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw bad();
    int semitone = kSemitones[name[0] - 'A'];
    std::string_view octave = name.substr(1);
    if (octave[0] == '#' || octave[0] == 'b') {
        semitone += octave[0] == '#' ? 1 : -1;
        octave.remove_prefix(1);
    }
    if (octave.size() != 1 || !std::isdigit(static_cast<unsigned char>(octave[0]))) throw bad();
    return 12 * (octave[0] - '0' + 1) + semitone;
}

// Root or fifth within the bass register: the fifth above when it fits
// under C2, else the fourth below.
int bassNote(const Chord& chord, char mark) {
    if (mark != '5') return chord.bassRoot;
    return chord.bassRoot + 7 <= 35 ? chord.bassRoot + 7 : chord.bassRoot - 5;
}

// The n-th tone of the chord counted from low, an octave above the pad.
int arpeggioTone(const Chord& chord, int index) {
    const int count = static_cast<int>(chord.voicing.size());
    return chord.voicing[index % count] + 12 * (1 + index / count);
}

}  // namespace

PatternBuilder::PatternBuilder(ScoreWriter& score, int startTick, std::string_view chords)
    : score_(score), startTick_(startTick) {
    const std::vector<std::string_view> names = wordsOf(chords);
    if (names.size() != kBars || names[0] == "-") {
        throw std::invalid_argument("need four chords: '" + std::string(chords) + "'");
    }
    for (int bar = 0; bar < kBars; ++bar) {
        chords_[bar] = names[bar] == "-" ? chords_[bar - 1] : &chordNamed(names[bar]);
    }
}

std::vector<char> PatternBuilder::stepsOf(std::string_view grid) {
    std::vector<char> marks;
    for (char c : grid) {
        if (c != ' ' && c != '|') marks.push_back(c);
    }
    if (marks.size() == kStepsPerBar) {
        std::vector<char> bar = marks;
        for (int i = 1; i < kBars; ++i) marks.insert(marks.end(), bar.begin(), bar.end());
    }
    if (marks.size() != kSteps) throw std::invalid_argument("a grid needs 16 or 64 steps: '" + std::string(grid) + "'");
    return marks;
}

int PatternBuilder::lengthAt(const std::vector<char>& steps, int step) {
    int length = 1;
    while (step + length < kSteps && steps[step + length] == '-') ++length;
    return length;
}

void PatternBuilder::drums(int note, std::string_view grid, int velocity) {
    const std::vector<char> steps = stepsOf(grid);
    for (int step = 0; step < kSteps; ++step) {
        int strength = 0;
        switch (steps[step]) {
            case 'X': strength = std::min(127, velocity + 24); break;
            case 'x': strength = velocity; break;
            case 'o': strength = velocity / 2; break;
            case '.': continue;
            default: throw std::invalid_argument("bad drum mark in '" + std::string(grid) + "'");
        }
        score_.hit(channel::kDrums, tickOf(step), note, std::max(1, strength));
    }
}

void PatternBuilder::pad(int velocity) {
    for (int bar = 0; bar < kBars;) {
        int bars = 1;
        while (bar + bars < kBars && chords_[bar + bars] == chords_[bar]) ++bars;
        for (int note : chords_[bar]->voicing) {
            score_.note(channel::kPad, tickOf(bar * kStepsPerBar), note, velocity, bars * kStepsPerBar * kTicksPerStep);
        }
        bar += bars;
    }
}

void PatternBuilder::bass(std::string_view grid, int velocity) {
    const std::vector<char> steps = stepsOf(grid);
    for (int step = 0; step < kSteps; ++step) {
        const char mark = steps[step];
        if (mark == '.' || mark == '-') continue;
        if (mark != 'x' && mark != '5') throw std::invalid_argument("bad bass mark in '" + std::string(grid) + "'");
        const int note = bassNote(*chords_[step / kStepsPerBar], mark);
        score_.note(channel::kBass, tickOf(step), note, velocity, lengthAt(steps, step) * kTicksPerStep);
    }
}

void PatternBuilder::arpeggio(std::string_view grid, int velocity) {
    const std::vector<char> steps = stepsOf(grid);
    for (int step = 0; step < kSteps; ++step) {
        const char mark = steps[step];
        if (mark == '.' || mark == '-') continue;
        if (!std::isdigit(static_cast<unsigned char>(mark))) {
            throw std::invalid_argument("bad arpeggio mark in '" + std::string(grid) + "'");
        }
        const int note = arpeggioTone(*chords_[step / kStepsPerBar], mark - '0');
        score_.note(channel::kPluck, tickOf(step), note, velocity, lengthAt(steps, step) * kTicksPerStep);
    }
}

void PatternBuilder::melody(int channel, std::string_view line, int velocity, int transpose) {
    const std::vector<std::string_view> words = wordsOf(line);
    if (words.size() != kSteps) throw std::invalid_argument("a melody needs 64 steps: '" + std::string(line) + "'");
    std::vector<char> holds(kSteps, '.');
    for (int step = 0; step < kSteps; ++step) {
        if (words[step] == "-") holds[step] = '-';
    }
    for (int step = 0; step < kSteps; ++step) {
        if (words[step] == "-" || words[step] == ".") continue;
        score_.note(channel, tickOf(step), noteNumberOf(words[step]) + transpose, velocity,
                    lengthAt(holds, step) * kTicksPerStep);
    }
}

}  // namespace show_data
