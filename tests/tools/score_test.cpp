#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tools/show_data/instruments.h"
#include "tools/show_data/pattern_builder.h"
#include "tools/show_data/score_writer.h"

using namespace show_data;

namespace {

constexpr int kQuarterMs = 500;
constexpr int kStep = PatternBuilder::kTicksPerStep;

struct Note {
    int tick;
    int channel;
    int note;
    int velocity;
    int lengthTicks;  // -1: no note-off
    bool operator==(const Note&) const = default;
};

// Pairs every note-on with its note-off; ticks from ms at 20.833 ms a tick.
std::vector<Note> notesOf(const ScoreWriter& score) {
    const std::vector<TimedMidiMessage> messages = score.messages();
    const auto tickOf = [](int32_t ms) { return (ms * 24 + kQuarterMs / 2) / kQuarterMs; };
    std::vector<Note> notes;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        const uint32_t on = messages[i].message;
        if ((on & 0xF0) != 0x90) continue;
        Note note{tickOf(messages[i].time), static_cast<int>(on & 0x0F), static_cast<int>(on >> 8 & 0x7F),
                  static_cast<int>(on >> 16 & 0x7F), -1};
        for (std::size_t j = i + 1; j < messages.size(); ++j) {
            if (messages[j].message == midi::noteOff(note.channel, note.note)) {
                note.lengthTicks = tickOf(messages[j].time) - note.tick;
                break;
            }
        }
        notes.push_back(note);
    }
    return notes;
}

}  // namespace

TEST(ScoreWriter, SendsTheMessagesOfATickInSequencerOrder) {
    ScoreWriter score(kQuarterMs);
    score.note(channel::kBass, 6, 33, 90, 6);
    score.hit(channel::kDrums, 6, drum::kKick, 100);
    score.selectPattern(6, 129);
    score.stop(12);
    score.note(channel::kBass, 12, 35, 90, 6);
    score.start(6);
    score.clock(5, 8);

    const std::vector<TimedMidiMessage> expected = {
        {104, midi::kClock},
        {125, midi::kStart},
        {125, midi::kClock},
        {125, midi::controlChange(0, 32, 1)},
        {125, midi::programChange(0, 1)},
        {125, midi::noteOn(channel::kBass, 33, 90)},
        {125, midi::noteOn(channel::kDrums, drum::kKick, 100)},
        {146, midi::kClock},
        {250, midi::noteOff(channel::kBass, 33)},
        {250, midi::kStop},
        {250, midi::noteOn(channel::kBass, 35, 90)},
        {375, midi::noteOff(channel::kBass, 35)},
    };
    EXPECT_EQ(score.messages(), expected);
}

TEST(PatternBuilder, PlaysTheNotationOnTheStepGrid) {
    const int start = 96;
    const auto at = [&](int step) { return start + step * kStep; };
    const auto write = [&](auto play) {
        ScoreWriter score(kQuarterMs);
        PatternBuilder pattern(score, start, "Am - F Em");
        play(pattern);
        return notesOf(score);
    };

    // A bar-long grid plays in all four bars; 'X' accents, 'o' is soft.
    const std::vector<Note> drums = write([](PatternBuilder& p) { p.drums(drum::kKick, "X...x...o.......", 100); });
    ASSERT_EQ(drums.size(), 12u);
    EXPECT_EQ(drums[0], (Note{at(0), channel::kDrums, drum::kKick, 124, -1}));
    EXPECT_EQ(drums[1], (Note{at(4), channel::kDrums, drum::kKick, 100, -1}));
    EXPECT_EQ(drums[11], (Note{at(56), channel::kDrums, drum::kKick, 50, -1}));

    // '-' holds a chord on into the next bar.
    const std::vector<Note> pad = write([](PatternBuilder& p) { p.pad(60); });
    const std::vector<Note> expectedPad = {
        {at(0), channel::kPad, 57, 60, 32 * kStep},  {at(0), channel::kPad, 60, 60, 32 * kStep},
        {at(0), channel::kPad, 64, 60, 32 * kStep},  {at(32), channel::kPad, 57, 60, 16 * kStep},
        {at(32), channel::kPad, 60, 60, 16 * kStep}, {at(32), channel::kPad, 65, 60, 16 * kStep},
        {at(48), channel::kPad, 55, 60, 16 * kStep}, {at(48), channel::kPad, 59, 60, 16 * kStep},
        {at(48), channel::kPad, 64, 60, 16 * kStep},
    };
    EXPECT_EQ(pad, expectedPad);

    // Root and fifth of each bar's chord, within the bass register.
    const std::vector<Note> bass = write([](PatternBuilder& p) { p.bass("x-.5............", 80); });
    ASSERT_EQ(bass.size(), 8u);
    EXPECT_EQ(bass[0], (Note{at(0), channel::kBass, 33, 80, 2 * kStep}));
    EXPECT_EQ(bass[1], (Note{at(3), channel::kBass, 28, 80, kStep}));
    EXPECT_EQ(bass[5], (Note{at(35), channel::kBass, 24, 80, kStep})) << "F's fifth lies below";
    EXPECT_EQ(bass[7], (Note{at(51), channel::kBass, 35, 80, kStep})) << "E's fifth lies above";

    // Chord tones counted from low, an octave over the pad.
    const std::vector<Note> arpeggio = write([](PatternBuilder& p) { p.arpeggio("0.1-3...........", 40); });
    ASSERT_EQ(arpeggio.size(), 12u);
    EXPECT_EQ(arpeggio[0], (Note{at(0), channel::kPluck, 69, 40, kStep}));
    EXPECT_EQ(arpeggio[1], (Note{at(2), channel::kPluck, 72, 40, 2 * kStep}));
    EXPECT_EQ(arpeggio[2], (Note{at(4), channel::kPluck, 81, 40, kStep}));

    std::string line = "C#5 - . Bb4";
    for (int i = 4; i < 64; ++i) line += " .";
    const std::vector<Note> melody = write([&](PatternBuilder& p) { p.melody(channel::kLead, line, 90, 12); });
    const std::vector<Note> expectedMelody = {
        {at(0), channel::kLead, 85, 90, 2 * kStep},
        {at(3), channel::kLead, 82, 90, kStep},
    };
    EXPECT_EQ(melody, expectedMelody);
}

TEST(PatternBuilder, RefusesMalformedNotation) {
    ScoreWriter score(kQuarterMs);
    EXPECT_THROW(PatternBuilder(score, 0, "Am F C"), std::invalid_argument);
    EXPECT_THROW(PatternBuilder(score, 0, "Am F C H"), std::invalid_argument);
    EXPECT_THROW(PatternBuilder(score, 0, "- F C G"), std::invalid_argument);

    PatternBuilder pattern(score, 0, "Am F C G");
    EXPECT_THROW(pattern.drums(drum::kKick, "x...x...x...x.."), std::invalid_argument);
    EXPECT_THROW(pattern.drums(drum::kKick, "x...y...x...x..."), std::invalid_argument);
    EXPECT_THROW(pattern.bass("x...7...........", 80), std::invalid_argument);
    EXPECT_THROW(pattern.arpeggio("0...a...........", 40), std::invalid_argument);
    std::string line = "H4";
    for (int i = 1; i < 64; ++i) line += " .";
    EXPECT_THROW(pattern.melody(channel::kLead, line, 90), std::invalid_argument);
    EXPECT_THROW(pattern.melody(channel::kLead, line.substr(3) + " C#", 90), std::invalid_argument) << "no octave";
    EXPECT_THROW(pattern.melody(channel::kLead, line.substr(3), 90), std::invalid_argument) << "63 steps";
}
