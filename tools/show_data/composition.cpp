#include "tools/show_data/composition.h"

#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/show_data/instruments.h"
#include "tools/show_data/pattern_builder.h"

namespace show_data {

namespace {

// 120 beats a minute: a pattern of 64 sixteenth notes lasts 8 s.
constexpr int kQuarterMs = 500;
// Three bars of pad before the beat, so that the first figures fall on it.
constexpr int kIntroTicks = 3 * 4 * midi::kClocksPerQuarter;
// The last chord rings on this long after the stop, fading before the
// picture goes black.
constexpr int kEndingTicks = 8 * midi::kClocksPerQuarter;
constexpr int kEndingRingMs = 3000;

// The figure patterns answer the kick on fixed steps (pattern 64: steps 8,
// 34, 40 and the snare on 30; 65: 7, 8, 34, 40, 52, 56; 67 and 68: 8, 34,
// 36, 40), the floor tom, the clap and, in 69, the closed hat on any step.
// Once the stage has turned, only the runs of wheels answer at once: the kick
// in 66 and 67, the floor tom in 67 to 69. The pencil patterns answer the low
// tom, 70 also the kick and the clap, 71 the snare. The grids below put those
// notes where the music wants the pictures to move.

// Melodies, four bars of 16 steps each.
constexpr std::string_view kThemeA =
    "E5 - - - - - D5 - C5 - - - B4 - C5 - | A4 - - - - - - - . . . . C5 - D5 - | "
    "E5 - - - G5 - - - E5 - D5 - C5 - - - | D5 - - - - - - - B4 - - - G4 - - - ";
constexpr std::string_view kThemeAnswer =
    "E5 - - - - - D5 - C5 - - - B4 - C5 - | A4 - - - - - - - . . C5 - F5 - E5 - | "
    "E5 - - - - - D5 - C5 - - - D5 - E5 - | D5 - - - - - - - - - - - . . . . ";
// Over Dm F Am G.
constexpr std::string_view kThemeMinor =
    "F5 - - - E5 - D5 - - - C5 - D5 - - - | C5 - - - - - A4 - - - - - C5 - F5 - | "
    "E5 - - - - - - - . . E5 - D5 - C5 - | D5 - - - - - B4 - - - G4 - - - - - ";
// Over Fmaj7 G Am9 Am9.
constexpr std::string_view kBloomLine =
    "C6 - - - A5 - - - G5 - - - A5 - - - | B5 - - - - - - - G5 - - - D5 - - - | "
    "E5 - - - - - - - - - - - . . . . | . . . . . . . . C5 - D5 - E5 - G5 - ";
// Over F G Em Am.
constexpr std::string_view kPeakLine =
    "C6 - - - A5 - - - C6 - - - D6 - - - | B5 - - - - - - - G5 - - - A5 - B5 - | "
    "B5 - - - - - G5 - E5 - - - - - - - | A5 - - - - - - - - - - - . . . . ";
// Over Fmaj7 Em7 Dm9 Esus.
constexpr std::string_view kHushLine =
    "A4 - - - - - - - - - - - C5 - - - | B4 - - - - - - - - - - - G4 - - - | "
    "A4 - - - - - - - F4 - - - E4 - - - | E4 - - - - - - - - - - - - - - - ";
// Over Am9 Fmaj7 Cmaj7 G.
constexpr std::string_view kPencilLine =
    "B5 - - - - - - - A5 - - - E5 - - - | A5 - - - - - - - G5 - - - E5 - - - | "
    "G5 - - - - - - - E5 - - - D5 - E5 - | D5 - - - - - - - - - - - . . . . ";
constexpr std::string_view kPencilAnswer =
    "E6 - - - - - - - D6 - - - B5 - - - | C6 - - - - - - - A5 - - - G5 - - - | "
    "B5 - - - - - G5 - E5 - - - G5 - - - | B5 - - - - - - - - - - - . . . . ";
// Over Dm9 Am9 Fmaj7 G (or E).
constexpr std::string_view kScrapLine =
    "A5 - - - - - F5 - E5 - - - D5 - - - | C5 - - - - - - - E5 - - - - - - - | "
    "A5 - - - G5 - - - E5 - - - C5 - - - | B4 - - - - - - - - - - - . . . . ";
// Over Fmaj7 G Esus E.
constexpr std::string_view kWanderLine =
    "A5 - - - - - - - C6 - - - - - - - | B5 - - - - - - - D6 - - - - - - - | "
    "B5 - - - - - - - A5 - - - - - - - | G#5 - - - - - - - - - - - . . . . ";

constexpr std::string_view kFourOnTheFloor = "x...x...x...x...";
constexpr std::string_view kBackbeat = "....x.......x...";
constexpr std::string_view kSixteenthHats = "oxXxoxXxoxXxoxXx";
constexpr std::string_view kEighthHats = "o.x.o.x.o.x.o.x.";
constexpr std::string_view kPumpingBass = "..x-..x-..x-..x-";
constexpr std::string_view kDrivingBass = "x-x-x-x-x-x-x-5-";
constexpr std::string_view kRollingArpeggio = "0.1.2.0.1.2.0.1.";
constexpr std::string_view kRunningArpeggio = "0123212301232123";

// Ghost kicks on steps 7 and 34 around a four-on-the-floor.
constexpr std::string_view kPulseKick =
    "x...x..xx...x... x...x...x...x... x.x.x...x...x... x...x...x...x...";
constexpr std::string_view kDrivingKick =
    "x...x...x...x... x...x...x...x... x.x.x...x...x... x...x...x...x...";
// Over the paper the figures answer the floor tom and, in 66 and 67, the
// kick; the floor tom drives on in eighths there so that they keep coming.
constexpr std::string_view kTomEighths = "x.x.x.x.x.x.x.x.";
// A fill at the end of the pattern: low tom, then floor tom.
constexpr std::string_view kFillLowTom =
    "................ ................ ................ ........x.x.....";
constexpr std::string_view kFillFloorTom =
    "................ ................ ................ ............x.x.";

using Play = void (*)(ScoreWriter&, int tick, int pass);

struct Section {
    int pattern;
    int passes;
    Play play;
    // A section that comes back goes on with the passes after those it
    // played before.
    int firstPass = 0;
};

void dawn(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "Am F C G");
    p.pad(64 + 8 * pass);
    if (pass == 0) {
        p.drums(drum::kKick, "........x....... ................ ..x.....x....... ................");
    } else {
        p.drums(drum::kKick, "x.......x....... x.........x..... x.x.....x....... x.........x.....");
        p.drums(drum::kClosedHat, kEighthHats, 70);
    }
    if (pass < 2) {
        p.drums(drum::kSnare, "................ ..............x. ................ ................");
    } else {
        p.drums(drum::kSnare, "....x.......x... ....x.......x.x. ....x.......x... ....x.......x...");
        p.bass("x--...x-..x--.5-", 90);
    }
    if (pass == 3) {
        p.drums(drum::kOpenHat, "................ ................ ................ ..............x.", 70);
        p.arpeggio("0.1.2.3.2.1.2.3.", 46);
    }
}

void pulse(ScoreWriter& score, int tick, int pass) {
    const bool minor = pass == 4 || pass == 5;
    PatternBuilder p(score, tick, minor ? "Dm F Am G" : "Am F C G");
    p.pad(56);
    p.drums(drum::kKick, kPulseKick);
    p.drums(drum::kSnare, kBackbeat);
    p.drums(drum::kClosedHat, pass < 2 ? kEighthHats : kSixteenthHats, 70);
    p.bass(pass == 0 ? "x-......x-......" : kPumpingBass, 96);
    if (pass >= 2) {
        p.drums(drum::kClap, kBackbeat, 80);
        p.arpeggio(kRollingArpeggio, 52);
    }
    if (pass % 2 == 1) {
        p.drums(drum::kLowTom, kFillLowTom);
        p.drums(drum::kFloorTom, kFillFloorTom);
    }
    if (pass == 3) p.melody(channel::kLead, kThemeA, 92);
    if (minor) p.melody(channel::kLead, kThemeMinor, 92);
    if (pass == 6) p.melody(channel::kLead, kThemeAnswer, 92);
}

// Passes from 5 on come back over the paper.
void bloom(ScoreWriter& score, int tick, int pass) {
    const bool lifted = pass % 2 == 0;
    PatternBuilder p(score, tick, lifted ? "Fmaj7 G Am9 -" : "Dm9 Fmaj7 Am9 G");
    p.pad(70);
    p.drums(drum::kKick,
            pass >= 5 ? kDrivingKick : "x.......x....... x.........x..... x.......x....... x.........x.....");
    p.drums(drum::kSnare, "....x.....o.x...", 90);
    p.drums(drum::kClosedHat, kEighthHats, 70);
    p.drums(drum::kOpenHat, "................ ..............x. ................ ..............x.", 60);
    p.drums(drum::kFloorTom, "................ ..............x. ................ x...............", 90);
    if (pass % 2 == 1 || pass == 4) {
        p.drums(drum::kClap, "................ ................ ................ ............x...");
    }
    p.bass("x-.x-.x-..x-.5-.", 92);
    p.arpeggio(kRunningArpeggio, 44);
    if (pass >= 2 && pass % 2 == 0) p.melody(channel::kLead, kBloomLine, 88);
    if (pass == 3 || pass == 5) p.melody(channel::kLead, kThemeMinor, 88);
}

// Passes from 4 on come back over the paper.
void rise(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "Am F C G");
    p.pad(74);
    p.drums(drum::kKick, kDrivingKick);
    p.drums(drum::kSnare, kBackbeat, 105);
    p.drums(drum::kClap, "................ ............x... ................ ............x...", 90);
    p.drums(drum::kClosedHat, kSixteenthHats, 70);
    if (pass >= 4) {
        p.drums(drum::kFloorTom, kTomEighths, 76);
    } else if (pass % 2 == 1) {
        p.drums(drum::kLowTom, kFillLowTom);
        p.drums(drum::kFloorTom, kFillFloorTom);
    }
    p.bass(kDrivingBass, 100);
    p.arpeggio("0.1.2.3.4.3.2.1.", 52);
    p.melody(channel::kLead, pass % 2 == 0 ? kThemeA : kThemeAnswer, 96, pass >= 2 ? 12 : 0);
}

// Passes from 2 on come back over the paper.
void peak(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "F G Em Am");
    p.pad(80);
    if (pass == 0) p.drums(drum::kCrash, "x............... ................ ................ ................");
    p.drums(drum::kKick, kDrivingKick);
    p.drums(drum::kSnare, kBackbeat, 110);
    p.drums(drum::kClap, "............x...", 90);
    p.drums(drum::kClosedHat, "ox.xox.xox.xox.x", 70);
    p.drums(drum::kOpenHat, "..x...x...x...x.", 60);
    if (pass == 1) {
        p.drums(drum::kLowTom, kFillLowTom);
        p.drums(drum::kFloorTom, kFillFloorTom);
    }
    if (pass >= 2) p.drums(drum::kFloorTom, kTomEighths, 80);
    p.bass(kDrivingBass, 104);
    p.arpeggio("0123432101234321", 50);
    p.melody(channel::kLead, kPeakLine, 100);
}

// The breakdown: the figures slow down, then the stage turns.
void hush(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "Fmaj7 Em7 Dm9 Esus");
    p.pad(72);
    p.melody(channel::kLead, kHushLine, 80, pass == 1 ? 12 : 0);
    if (pass < 2) {
        p.drums(drum::kClosedHat, kBackbeat, 50);
    } else {
        p.drums(drum::kClosedHat, "..x...x...x...x.", 60);
    }
    if (pass >= 1) p.arpeggio(pass == 1 ? "0..1..2..3..2..1" : kRunningArpeggio, 44);
    if (pass == 1) p.drums(drum::kKick, "x...............");
    if (pass == 2) {
        p.drums(drum::kKick, kFourOnTheFloor);
        p.drums(drum::kSnare, "o.......o....... o...o...o...o... x.x.x.x.x.x.x.x. XXXXXXXXXXXXXXXX", 90);
        p.bass("x-------x-------", 90);
    }
}

// The paper is laid out: the pen is cleared on the kick, then drawn on.
void bridge(ScoreWriter& score, int tick, int) {
    PatternBuilder p(score, tick, "Am9 - - -");
    p.pad(70);
    p.drums(drum::kCrash, "x............... ................ ................ ................", 90);
    p.drums(drum::kKick, "X............... ................ ................ ................");
    p.drums(drum::kClap, "............x... ............x... ............x... ................", 70);
    p.drums(drum::kLowTom, "................ ........x....... ........x....... ........x.x.x.x.", 80);
    p.drums(drum::kFloorTom, "................ ................ ................ .........x.x.x.x", 80);
    p.bass("x---------------", 80);
    p.arpeggio("0.1.2.3.2.1.2.3.", 40);
    p.melody(channel::kLead, kHushLine, 72, 12);
}

void paper(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "Am9 Fmaj7 Cmaj7 G");
    p.pad(66);
    if (pass == 0) p.drums(drum::kCrash, "x............... ................ ................ ................");
    p.drums(drum::kKick, "x.........x.....");
    p.drums(drum::kSnare, "........x.......", 100);
    p.drums(drum::kLowTom, pass < 2 ? "......x......x.." : "...x..x......x..", 70);
    if (pass >= 1) p.drums(drum::kClosedHat, kEighthHats, 60);
    p.bass("x-----------5---", 88);
    p.arpeggio("0.1.2.1.3.2.1.2.", 45);
    if (pass >= 1) p.melody(channel::kLead, pass % 2 == 1 ? kPencilLine : kPencilAnswer, 86);
}

void scraps(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, pass % 2 == 0 ? "Dm9 Am9 Fmaj7 G" : "Dm9 Am9 Fmaj7 E");
    p.pad(64);
    p.drums(drum::kKick, kFourOnTheFloor);
    p.drums(drum::kSnare, kBackbeat, 100);
    if (pass >= 2) p.drums(drum::kClap, kBackbeat, 80);
    p.drums(drum::kLowTom, "..x.......x...x.", 72);
    p.drums(drum::kClosedHat, kSixteenthHats, 65);
    p.bass(kPumpingBass, 96);
    p.arpeggio(kRollingArpeggio, 50);
    if (pass >= 1) p.melody(channel::kLead, kScrapLine, 90);
}

void theme(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "Am F C G");
    p.pad(66);
    p.drums(drum::kKick, kPulseKick);
    p.drums(drum::kSnare, kBackbeat, 100);
    p.drums(drum::kClap, kBackbeat, 80);
    p.drums(drum::kLowTom, "......x.......x.", 72);
    p.drums(drum::kClosedHat, kSixteenthHats, 70);
    if (pass == 4) p.drums(drum::kFloorTom, kFillFloorTom);
    p.bass(kPumpingBass, 98);
    p.arpeggio("0.2.1.3.2.1.0.2.", 50);
    p.melody(channel::kLead, pass % 2 == 0 ? kThemeA : kThemeAnswer, 94);
}

// The wanderers come out: a quieter stretch on the tom's pulse.
void wanderers(ScoreWriter& score, int tick, int pass) {
    const bool resolved = pass % 2 == 0;
    PatternBuilder p(score, tick, resolved ? "Fmaj7 G Am9 -" : "Fmaj7 G Esus E");
    p.pad(72);
    p.drums(drum::kLowTom, kFourOnTheFloor, 60);
    p.drums(drum::kClosedHat, kBackbeat, 50);
    p.melody(channel::kLead, resolved ? kBloomLine : kWanderLine, 84);
    if (pass >= 2) {
        p.drums(drum::kKick, "x.......x.......");
        p.drums(drum::kSnare, "........x.......", 90);
        p.arpeggio(kRunningArpeggio, 42);
        p.bass("x-------x-----5-", 86);
    }
}

void glide(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "Am F C G");
    p.pad(66);
    p.drums(drum::kKick, kFourOnTheFloor);
    p.drums(drum::kSnare, kBackbeat, 100);
    p.drums(drum::kLowTom, "..x...x...x...x.", 66);
    p.drums(drum::kClosedHat, kSixteenthHats, 68);
    p.bass(kPumpingBass, 98);
    p.arpeggio(kRollingArpeggio, 50);
    if (pass >= 2) p.melody(channel::kLead, pass == 2 ? kThemeA : kThemeAnswer, 92, 12);
}

void climb(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, "Dm F Am G");
    p.pad(72);
    p.drums(drum::kKick, kDrivingKick);
    p.drums(drum::kSnare, kBackbeat, 104);
    p.drums(drum::kClap, kBackbeat, 84);
    p.drums(drum::kLowTom, "..x.x.x...x.x.x.", 66);
    p.drums(drum::kClosedHat, kSixteenthHats, 70);
    p.bass(kDrivingBass, 100);
    p.arpeggio("0123432101234321", 48);
    p.melody(channel::kLead, kThemeMinor, 94, pass == 2 ? 12 : 0);
}

// Gathers towards the finale; the last pass rolls into it.
void gather(ScoreWriter& score, int tick, int pass) {
    PatternBuilder p(score, tick, pass < 2 ? "F G Am Am" : "F G Esus E");
    p.pad(76);
    p.drums(drum::kKick, kFourOnTheFloor);
    p.drums(drum::kLowTom, "x...x...x...x...", 70);
    p.drums(drum::kClosedHat, kSixteenthHats, 72);
    p.bass(kDrivingBass, 100);
    p.arpeggio(kRunningArpeggio, 50);
    if (pass < 2) {
        p.drums(drum::kSnare, kBackbeat, 104);
        p.melody(channel::kLead, kPeakLine, 94);
    } else {
        p.drums(drum::kSnare, "x...x...x...x... x.x.x.x.x.x.x.x. xxxxxxxxxxxxxxxx XXXXXXXXXXXXXXXX", 80);
        p.melody(channel::kLead, kWanderLine, 96);
    }
}

// The finale: the themes once more at full strength, then the parts leave
// one by one until the pad stands alone.
void finale(ScoreWriter& score, int tick, int pass) {
    if (pass < 8) {
        const bool minor = pass >= 4;
        PatternBuilder p(score, tick, minor ? "Dm F Am G" : "Am F C G");
        p.pad(76);
        if (pass == 0) p.drums(drum::kCrash, "x............... ................ ................ ................");
        p.drums(drum::kKick, kDrivingKick);
        p.drums(drum::kSnare, kBackbeat, 108);
        p.drums(drum::kClap, kBackbeat, 86);
        p.drums(drum::kClosedHat, kSixteenthHats, 72);
        p.drums(drum::kOpenHat, "..x...x...x...x.", 56);
        p.drums(drum::kLowTom, "......x.......x.", 70);
        if (pass % 4 == 3) p.drums(drum::kFloorTom, kFillFloorTom);
        p.bass(kDrivingBass, 102);
        p.arpeggio(kRunningArpeggio, 50);
        const std::string_view line = minor ? kThemeMinor : pass % 2 == 0 ? kThemeA : kThemeAnswer;
        p.melody(channel::kLead, line, 98, pass % 4 >= 2 ? 12 : 0);
    } else if (pass < 11) {
        PatternBuilder p(score, tick, "Fmaj7 G Am9 -");
        p.pad(72);
        p.drums(drum::kLowTom, kFourOnTheFloor, 56);
        p.drums(drum::kClosedHat, kEighthHats, 52);
        p.arpeggio(kRunningArpeggio, 44);
        p.bass("x-------x-------", 84);
        p.melody(channel::kLead, kBloomLine, 86);
    } else {
        const int fading = pass - 11;
        PatternBuilder p(score, tick, "Am9 Fmaj7 Cmaj7 G");
        p.pad(68 - 8 * fading);
        if (fading < 2) p.arpeggio("0.1.2.1.3.2.1.2.", 42 - 10 * fading);
        if (fading == 0) p.melody(channel::kLead, kPencilLine, 80);
    }
}

// The figures play alone until the bridge lays out the paper. Then they come
// back over it, in turns with the pencil patterns. Each pencil pattern starts
// once, 71 above all, whose start times the paper; 77 starts its shading
// layer (20 s later) shortly before the finale, and comes back once that has
// begun, for the roll into the finale.
constexpr Section kSections[] = {
    {64, 4, dawn},     {65, 7, pulse},  {66, 5, bloom},  {67, 4, rise},  {68, 2, peak},  {69, 3, hush},
    {70, 1, bridge},   {71, 2, paper},
    {67, 2, rise, 4},  {72, 2, scraps, 1},
    {68, 2, peak, 2},  {73, 2, theme},
    {67, 2, rise, 6},  {74, 2, wanderers, 1},
    {66, 2, bloom, 5}, {75, 2, glide, 2},
    {68, 2, peak, 4},  {76, 2, climb, 1},
    {67, 3, rise, 8},  {68, 2, peak, 6},    {77, 1, gather},
    {67, 2, rise, 11}, {77, 1, gather, 2},
    {77, 14, finale},
};

// Pad alone while the picture is still black, with the pluck coming in.
void intro(ScoreWriter& score) {
    for (int note : {55, 59, 60, 64}) score.note(channel::kPad, 0, note, 60, kIntroTicks);
    constexpr int kTones[] = {67, 71, 72, 76, 72, 71};
    const int step = PatternBuilder::kTicksPerStep;
    for (int i = 0; i < 16; ++i) {
        score.note(channel::kPluck, kIntroTicks / 3 + i * 2 * step, kTones[i % 6], 24 + i, 2 * step);
    }
}

void ending(ScoreWriter& score, int tick) {
    for (int note : {55, 59, 60, 64, 69}) score.note(channel::kPad, tick, note, 64, kEndingTicks);
    score.note(channel::kBass, tick, 33, 80, kEndingTicks);
    score.note(channel::kLead, tick, 76, 70, kEndingTicks);
}

}  // namespace

Composition composeShow() {
    ScoreWriter score(kQuarterMs);
    Composition composition{{}, {}, kQuarterMs, 0};
    intro(score);
    score.selectPattern(0, kSections[0].pattern);
    score.start(kIntroTicks);

    int tick = kIntroTicks;
    for (std::size_t i = 0; i < std::size(kSections); ++i) {
        const Section& section = kSections[i];
        composition.sections.push_back({section.pattern, score.msAt(tick)});
        for (int pass = 0; pass < section.passes; ++pass) {
            section.play(score, tick, section.firstPass + pass);
            // The next pattern is chosen halfway through the last pass and
            // takes over when this one ends.
            const bool last = pass + 1 == section.passes;
            if (last && i + 1 < std::size(kSections) && kSections[i + 1].pattern != section.pattern) {
                score.selectPattern(tick + PatternBuilder::kTicks / 2, kSections[i + 1].pattern);
            }
            tick += PatternBuilder::kTicks;
        }
    }
    score.clock(0, tick);
    score.stop(tick);
    ending(score, tick);

    composition.messages = score.messages();
    composition.lengthMs = score.msAt(tick + kEndingTicks) + kEndingRingMs;
    return composition;
}

const SectionStart& firstSectionOf(const Composition& composition, int pattern) {
    for (const SectionStart& section : composition.sections) {
        if (section.pattern == pattern) return section;
    }
    throw std::invalid_argument("no section plays pattern " + std::to_string(pattern));
}

}  // namespace show_data
