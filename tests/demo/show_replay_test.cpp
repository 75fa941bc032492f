// The show pinned: what its frames draw at times that cover every phase, and
// how many random numbers it has taken by then, for both budgets. Any change
// of a constant, a key, a binding, a schedule, a delay or the order of two
// random draws in the figures or the scenes changes a pin. When the show is
// changed on purpose, the failure prints the new table to paste here; the
// commit that does so says why the show changed.

#include "figures/branch_growth.h"
#include "figures/branch_state.h"
#include "figures/figure_pool.h"
#include "figures/figure_scene.h"
#include "figures/random.h"
#include "framework/midi/midi_input.h"
#include "tests/demo/draw_tally.h"
#include "tests/demo/show_replay.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct PinnedFrame {
    int atMs;        // the first frame of the main scene at or after this time
    uint64_t frame;  // what it drew
    uint32_t draws;  // random numbers taken since the main scene's seed
};

struct PinnedShow {
    uint32_t startUpDraws;  // while the scenes load
    int passes;             // of the main loop, up to the replayed quit
    std::vector<PinnedFrame> frames;
};

// Scene times (ms) of the main scene, in order: the intro and the first white
// frame, the figure patterns 64 to 69 (fills flickering from 95 s, outlines
// pulsing from 167 s), the replayed envelope restarts, the last frame before
// and the first after the stage, the pencil scene and the finale, the start
// of each pattern 70 to 77, the scrap fields' slots, the fly-in windows, the
// overlay, the paper, the shading layer, the creeping creature, the last
// full frame and the first black one. Frames fall every 1000/71 ms.
const std::vector<int> kPinTimes = {
    0, 1507, 1521, 8000, 30000, 50000, 90000, 100000, 120000, 150000, 170000, 182100,
    190000, 200000, 205000, 205014, 206100, 210000, 214000, 214014, 216100, 218100, 230000, 250000,
    262100, 265100, 267000, 272100, 280000, 290000, 302100, 305000, 320000, 342100, 345000, 361000,
    382100, 400000, 414100, 425000, 438100, 444000, 450000, 458100, 461000, 462000, 462014, 470000,
    482500, 500000, 550000, 580676, 580690,
};

const PinnedShow kNormalBudget = {27645897, 41352,
 {
     {0, 0x911ae3957c71112fu, 0},
     {1507, 0x911ae3957c71112fu, 0},
     {1521, 0x83f8c1042ea631b6u, 0},
     {8000, 0xc27733d0fbb0a64du, 11},
     {30000, 0x6c82c54692ac8aa0u, 186},
     {50000, 0x7975a8567582be31u, 380},
     {90000, 0x4628e9daf4fe2a03u, 1189},
     {100000, 0x80b4c30e578bf1e3u, 391670},
     {120000, 0x6da4600a44e80349u, 3883441},
     {150000, 0x61ae1f31b40a5a7fu, 9384928},
     {170000, 0xe585d1a526445f78u, 12718649},
     {182100, 0xa9b8a5693d3662e0u, 14908082},
     {190000, 0xc890cfca99306aa3u, 18017820},
     {200000, 0xcf030ecd42a2e862u, 22225417},
     {205000, 0x6f220881b5085eadu, 24459733},
     {205014, 0x2fa9671a1c6c50d4u, 24548822},
     {206100, 0x1bd89fd6666a36e3u, 31061972},
     {210000, 0xe8ec41208364af92u, 48412172},
     {214000, 0xed4f96d97734f424u, 63522354},
     {214014, 0x9df24d3469213233u, 63576718},
     {216100, 0xd02241def8ebd5cbu, 71338235},
     {218100, 0x4d126bc76794c9a3u, 78200635},
     {230000, 0xca5435e12da73da4u, 80073525},
     {250000, 0x682ed6a9bef9450fu, 83215750},
     {262100, 0xae999414273b2d86u, 85154685},
     {265100, 0xd0bb4238376a4d75u, 85620206},
     {267000, 0xeb64ce3f06fa21d3u, 85922703},
     {272100, 0xa21560c4cdf0d86cu, 86737532},
     {280000, 0xf0942bcb81607b68u, 87996981},
     {290000, 0x7584b29501b52705u, 89579630},
     {302100, 0x996f75c4c51eb895u, 91557586},
     {305000, 0x567837d3031e510bu, 92034441},
     {320000, 0xb667f912dd007947u, 94479270},
     {342100, 0x7db4bfe9d05b3848u, 98079873},
     {345000, 0x6bb4c893e1424c90u, 98556728},
     {361000, 0x4145b962a9dd7e58u, 101293702},
     {382100, 0xe69f400bac3bec76u, 105092886},
     {400000, 0x6b3be195db6b599eu, 111552750},
     {414100, 0xb5d0e8cd971b0ab9u, 116859397},
     {425000, 0x317e164c1d6e718cu, 120939559},
     {438100, 0xe31892d18111b6cbu, 125895285},
     {444000, 0x2671a0210b6cdc93u, 128162571},
     {450000, 0x08b17bd0b4df8fa8u, 130410753},
     {458100, 0x55111bc0c60d531du, 133626396},
     {461000, 0xa82616fdb31f803bu, 135813783},
     {462000, 0x246eb11277cf6ecdu, 136574754},
     {462014, 0x70ebb4aaf677a805u, 136586122},
     {470000, 0x2a4a7cbc83cb3fd7u, 142416971},
     {482500, 0x78ef6e247bd8fde2u, 151435490},
     {500000, 0x228873b6aff95a6au, 162642596},
     {550000, 0xd48bc4b1817cd36au, 179752720},
     {580676, 0x28f9981aa584c93fu, 190164638},
     {580690, 0x911ae3957c71112fu, 190164638},
 }};

const PinnedShow kHighBudget = {27735322, 41352,
 {
     {0, 0x911ae3957c71112fu, 0},
     {1507, 0x911ae3957c71112fu, 0},
     {1521, 0x83f8c1042ea631b6u, 0},
     {8000, 0xc27733d0fbb0a64du, 11},
     {30000, 0x2b881a97a60dbc40u, 186},
     {50000, 0x72ab5835eb88dcd5u, 380},
     {90000, 0x6559a30ec44e4b25u, 1189},
     {100000, 0xc65be878889f789cu, 380231},
     {120000, 0xbb8abc0391821012u, 3292361},
     {150000, 0xf23e687d5da17dafu, 9428121},
     {170000, 0xbdd92eb7f565768eu, 13774619},
     {182100, 0x1b7debd9ee464eeau, 16712842},
     {190000, 0x9fa77bc9ab637dedu, 25400560},
     {200000, 0x072aafd445c1816du, 38526697},
     {205000, 0x1026fc5392f54ebau, 45455330},
     {205014, 0x602dc441da1cf2eeu, 45689298},
     {206100, 0x862d214763d629fau, 63232960},
     {210000, 0xcaaddaac7a50d69bu, 109707550},
     {214000, 0x624516921b947628u, 143509978},
     {214014, 0x5b0d4a5dbd4f1e7eu, 143613272},
     {216100, 0x6d640aa334de51feu, 157932633},
     {218100, 0x43db46aeacf6adc9u, 169973981},
     {230000, 0xea7544c0e7aa4de2u, 171808880},
     {250000, 0x2d6cce062562427fu, 174913428},
     {262100, 0x17d74a886651679fu, 176749107},
     {265100, 0x68a41f181a1fedc0u, 177215902},
     {267000, 0x55eadf2071d7145eu, 177511687},
     {272100, 0x1a0889879e74def4u, 178317961},
     {280000, 0xf4460a7905e38e72u, 179578859},
     {290000, 0x9301e3af4cc729dfu, 181142162},
     {302100, 0xa0565dc2b54a2367u, 183089373},
     {305000, 0x39d5cb73fa296039u, 183568896},
     {320000, 0x693ad2e81f30505fu, 185974488},
     {342100, 0xce6e3f40e525ee57u, 189583862},
     {345000, 0x69b1f884ab8bb0c2u, 190048627},
     {361000, 0x2c86bc51b94de1a0u, 192797367},
     {382100, 0xe43529453215ff89u, 196547079},
     {400000, 0xad0e68b51cdd0d2du, 203491152},
     {414100, 0x93653bc590bc0128u, 209156535},
     {425000, 0xae0c004516778477u, 213569023},
     {438100, 0x8a257ca02518e838u, 218901659},
     {444000, 0x266aab38c7a1ec6du, 221330066},
     {450000, 0xa0b7c1bc50329b90u, 223748795},
     {458100, 0x07e0bf78786107ebu, 227057658},
     {461000, 0xe95818d0fe5566e3u, 229283016},
     {462000, 0x04629616d52386a9u, 230077003},
     {462014, 0xb9ed83b4c2362dc0u, 230088327},
     {470000, 0xb3be15fffb9f3fc7u, 236087596},
     {482500, 0xf3984e69166739b8u, 245563630},
     {500000, 0xf39e63cb9d663647u, 257055479},
     {550000, 0x7f7f2680a7fd8f3cu, 275460295},
     {580676, 0x25db63bce578dad0u, 286536027},
     {580690, 0x911ae3957c71112fu, 286536027},
 }};

// The replay as a table to paste over the pinned one.
std::string asTable(const ShowReplay& replay) {
    char row[96];
    std::snprintf(row, sizeof row, "{%" PRIu32 ", %d,\n {\n", replay.startUpDraws, replay.passes);
    std::string table = row;
    for (const ShowPin& pin : replay.pins) {
        std::snprintf(row, sizeof row, "     {%d, 0x%016" PRIx64 "u, %" PRIu32 "},\n", pin.atMs, pin.frame, pin.draws);
        table += row;
    }
    table += " }}";
    return table;
}

// Every difference, first the earliest: where the show changed.
void expectPinned(const PinnedShow& pinned, const ShowReplay& replay, const char* name) {
    std::string differences;
    char line[160];
    if (replay.pins.size() != pinned.frames.size()) {
        differences += "the replay took " + std::to_string(replay.pins.size()) + " frames, " +
                       std::to_string(pinned.frames.size()) + " are pinned\n";
    }
    if (replay.startUpDraws != pinned.startUpDraws) {
        differences += "loading the scenes took " + std::to_string(replay.startUpDraws) + " random numbers, pinned " +
                       std::to_string(pinned.startUpDraws) + "\n";
    }
    for (std::size_t i = 0; i < replay.pins.size() && i < pinned.frames.size(); ++i) {
        const ShowPin& pin = replay.pins[i];
        const PinnedFrame& want = pinned.frames[i];
        if (pin.atMs == want.atMs && pin.frame == want.frame && pin.draws == want.draws) continue;
        std::snprintf(line, sizeof line,
                      "at %d ms (frame of %d ms): drew 0x%016" PRIx64 ", pinned 0x%016" PRIx64
                      "; %" PRIu32 " random numbers, pinned %" PRIu32 "\n",
                      want.atMs, pin.sceneMs, pin.frame, want.frame, pin.draws, want.draws);
        differences += line;
    }
    if (replay.passes != pinned.passes) {
        differences += "the show quit after " + std::to_string(replay.passes) + " passes, pinned " +
                       std::to_string(pinned.passes) + "\n";
    }
    EXPECT_EQ(replay.ignoredCalls, 0) << "state changes between begin and end, which OpenGL ignores";
    EXPECT_TRUE(differences.empty())
        << "The " << name << " show differs from its pins, first where it first changed:\n"
        << differences << "\nIf the show changed on purpose, replace " << name
        << " in tests/demo/show_replay_test.cpp by the table below and say in the commit why the show changed:\n"
        << asTable(replay);
}

ShowReplay replayApart(bool highBudget) {
    return replayFromText(runApart([highBudget] { return toText(replayShow(highBudget, kPinTimes)); }));
}

// Random numbers taken from the program's start after the figure scene's
// three parts, built in its order: the branch field, the pools, the ring;
// then the figure scene built whole from the start again.
std::vector<uint32_t> figureSceneDraws(bool highBudget) {
    const std::string text = runApart([highBudget] {
        seedRandom(1);
        BranchGrowth growth;
        const uint32_t field = drawsSinceSeed(1);
        BranchState state(growth);
        FigurePool pool(highBudget);
        const uint32_t pools = drawsSinceSeed(1);
        for (const auto& [code, picker] : pool.registry().pickers()) state.addPicker(code, picker);
        state.buildRing();
        const uint32_t ring = drawsSinceSeed(1);
        seedRandom(1);
        FigureScene scene(MidiInput::instance(), highBudget);
        const uint32_t whole = drawsSinceSeed(1);
        return std::to_string(field) + " " + std::to_string(pools) + " " + std::to_string(ring) + " " +
               std::to_string(whole);
    });
    std::vector<uint32_t> counts(4);
    std::sscanf(text.c_str(), "%" SCNu32 " %" SCNu32 " %" SCNu32 " %" SCNu32, &counts[0], &counts[1], &counts[2],
                &counts[3]);
    return counts;
}

}  // namespace

TEST(ShowReplay, NormalBudgetDrawsItsPinnedFrames) { expectPinned(kNormalBudget, replayApart(false), "kNormalBudget"); }

TEST(ShowReplay, HighBudgetDrawsItsPinnedFrames) { expectPinned(kHighBudget, replayApart(true), "kHighBudget"); }

TEST(ShowReplay, FigureSceneTakesItsPinnedDrawsInShowOrder) {
    const std::vector<uint32_t> normal = figureSceneDraws(false);
    EXPECT_EQ(normal, (std::vector<uint32_t>{218000, 307823, 308902, 308902})) << "field, pools, ring; whole scene";
    const std::vector<uint32_t> high = figureSceneDraws(true);
    EXPECT_EQ(high, (std::vector<uint32_t>{218000, 396448, 397557, 397557})) << "field, pools, ring; whole scene";
}
