// The show pinned, for both budgets: what its frames draw at times that cover
// every phase, what all frames drew up to each of them, and how many random
// numbers the show has taken by then. Whatever changes a drawn frame or the
// order of the random draws (a constant, a key, a binding, a schedule, a
// delay) moves a pin. When the show is changed on purpose, the failure prints
// the new table to paste here; the commit that does so says why the show
// changed.

#include "figures/branch_growth.h"
#include "figures/branch_state.h"
#include "figures/figure_pool.h"
#include "figures/figure_scene.h"
#include "figures/random.h"
#include "framework/midi/midi_input.h"
#include "tests/demo/draw_tally.h"
#include "tests/demo/run_apart.h"
#include "tests/demo/show_replay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct PinnedFrame {
    int atMs;        // the first frame of the main scene at or after this time
    uint64_t frame;  // what it drew
    uint64_t run;    // what every frame up to it drew
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

const PinnedShow kNormalBudget = {27645897, 41352, {
    {0, 0x14c4456fa1aa6b9fu, 0x68da19e9e943e8ddu, 0},
    {1507, 0x14c4456fa1aa6b9fu, 0x9b1edef6e51ce3d3u, 0},
    {1521, 0xf2613b037a2aa52du, 0xb9b9fba683b14c81u, 0},
    {8000, 0xfa8bca1b9d5cc907u, 0x1d48ebd7bdcf0b9au, 11},
    {30000, 0x3c4ef7a349fb5925u, 0x592aaed1a73ee214u, 186},
    {50000, 0x883bc64238580659u, 0x39a6739fd951cbffu, 380},
    {90000, 0xa77ab16f553f5d89u, 0x9d52943e2604761du, 1189},
    {100000, 0x035d5bed17b0717cu, 0xd32984726e57f31au, 391670},
    {120000, 0xcb2ea182e269c241u, 0x0604232dcf839493u, 3883441},
    {150000, 0xa87cd2a963546c5du, 0x015d8e9018a0d237u, 9384928},
    {170000, 0x82824641ed0fb299u, 0xdd2638702c8d8a8au, 12718649},
    {182100, 0xd539e97724587216u, 0xf14e44a7bbadbf35u, 14908082},
    {190000, 0xdd2e0219eb9b9e8fu, 0xc9b67222a8c77da2u, 18017820},
    {200000, 0x4ddc982a93a393d5u, 0xd9176668891aebf2u, 22225417},
    {205000, 0x34b40bcbafa7dd34u, 0x291c8ae0e041e772u, 24459733},
    {205014, 0x8f863c03c9088192u, 0x48fca5427314ad11u, 24548822},
    {206100, 0xc157b57e36f50b22u, 0x45614b2a68c5f2a6u, 31061972},
    {210000, 0x2644f2cab5f5b432u, 0x1fcb2dde64221de0u, 48412172},
    {214000, 0xb3aa7928d1304366u, 0xea40aa6d508b1fc4u, 63522354},
    {214014, 0x7a5156d0d539017cu, 0x0986225a9c328a85u, 63576718},
    {216100, 0x8395112d90237d0du, 0x50a8ced47d63dd23u, 71338235},
    {218100, 0x62dd93416cac67a6u, 0x565c4a435440c6aau, 78200635},
    {230000, 0x95ffb646056a9b24u, 0x8498a7b65c5a1512u, 80073525},
    {250000, 0x007eb8e9c4c6a81du, 0xf3d16232d556ff7bu, 83215750},
    {262100, 0xfcee908a1d499f8au, 0x6d8092b986e7eca4u, 85154685},
    {265100, 0x41de6acaf5b5c3f5u, 0x64ea3e954021f2a7u, 85620206},
    {267000, 0x6f1729b72f9e2b1fu, 0xff38d354fd949cf3u, 85922703},
    {272100, 0x6af051dad68f2926u, 0xf1af49e5608a8e3bu, 86737532},
    {280000, 0xf30b0e9d046e12c5u, 0xcc5d8fd56887dc54u, 87996981},
    {290000, 0xef466f849c0d793fu, 0x666085a7a32213b6u, 89579630},
    {302100, 0xa0b95d400d159592u, 0x6097e138208bb9aau, 91557586},
    {305000, 0x6f187f5d5c5d51c1u, 0xa786e27278df38f5u, 92034441},
    {320000, 0x7f4d43c8c68ab178u, 0xee3c51a7a7089b67u, 94479270},
    {342100, 0x1068085d4dfe7f72u, 0xd11b3e85ae35da5bu, 98079873},
    {345000, 0xc2dd804d0446829bu, 0x38167f9f66c4224fu, 98556728},
    {361000, 0xd91357b65ef35893u, 0xd84b8b6a15b66ff2u, 101293702},
    {382100, 0x7aece38df79d032au, 0x195ebb156ded05dcu, 105092886},
    {400000, 0x4cfe1be34f5584aeu, 0xfcb0053635de3a88u, 111552750},
    {414100, 0xd74325b173c378f9u, 0x87b4d6e56acd04e3u, 116859397},
    {425000, 0x79bd5c9435a360b5u, 0xd036796756cbe1a1u, 120939559},
    {438100, 0x84ee5b9f9c6f5ca7u, 0x984f2d45b6e34eaeu, 125895285},
    {444000, 0x049a86af6435fd49u, 0x34398866d2a05af4u, 128162571},
    {450000, 0x30c0e03da87ffa58u, 0x3f4891c4bf8f0cd1u, 130410753},
    {458100, 0x953d189ebf8f50e8u, 0x80cc580b81ffe939u, 133626396},
    {461000, 0x0c77c3b55c8b262du, 0x01916f68c658a0a2u, 135813783},
    {462000, 0xf2df0cfe54656094u, 0x1817e1f4e567ba3eu, 136574754},
    {462014, 0xeb538cda248d743bu, 0x884c71344b37d266u, 136586122},
    {470000, 0xaf85ac1082579245u, 0x257290a5945de4a3u, 142416971},
    {482500, 0x902a47ae6e0e63f7u, 0xfa40ff5e62b8c41au, 151435490},
    {500000, 0x642c536e8be3d228u, 0xf39c7cb987dd8c69u, 162642596},
    {550000, 0x635e4e2031790033u, 0x282ec69f16fadffcu, 179752720},
    {580676, 0xac9229e9d7a21960u, 0x0ae0c482739ffad6u, 190164638},
    {580690, 0x14c4456fa1aa6b9fu, 0xf80aa52a0625d41fu, 190164638},
}};

const PinnedShow kHighBudget = {27735322, 41352, {
    {0, 0x14c4456fa1aa6b9fu, 0x68da19e9e943e8ddu, 0},
    {1507, 0x14c4456fa1aa6b9fu, 0x9b1edef6e51ce3d3u, 0},
    {1521, 0xf2613b037a2aa52du, 0xb9b9fba683b14c81u, 0},
    {8000, 0xfa8bca1b9d5cc907u, 0x1d48ebd7bdcf0b9au, 11},
    {30000, 0x44371dfb9bd32615u, 0xa7e17ed44f18a9c3u, 186},
    {50000, 0x4533211fc6f4e6dbu, 0x3b807c78d65419aeu, 380},
    {90000, 0x6b78c364f46fb3e6u, 0x0889c913f0ca345eu, 1189},
    {100000, 0x6c1e56bca688148eu, 0x9cf2d61d84146f01u, 380231},
    {120000, 0x580d4cbd2824725fu, 0xb536acc92aafaed8u, 3292361},
    {150000, 0x5a5c271d6b9b0a9bu, 0xbd6917162bfa6e92u, 9428121},
    {170000, 0xb8fa5542fdef1275u, 0xd3a804692b2d7ecau, 13774619},
    {182100, 0x4938424a46e3b4bdu, 0x21ee17b5c93e2601u, 16712842},
    {190000, 0x8419db572a4eaffeu, 0x7be1848a06be3c50u, 25400560},
    {200000, 0xcc7030ffdc363776u, 0xd441f7c1725fe476u, 38526697},
    {205000, 0x7d2e893df7d70800u, 0xfec94af151d7cafdu, 45455330},
    {205014, 0x84a4e7523629fab5u, 0x811be69158b232deu, 45689298},
    {206100, 0x8f9f372fc2bca50cu, 0xe357c9150989c7e5u, 63232960},
    {210000, 0x86c1ca54e91c135au, 0xa70a00b4a92e356fu, 109707550},
    {214000, 0xb7dc752d9939f545u, 0x03a7892bdb902d1fu, 143509978},
    {214014, 0x42d275e7e01de63cu, 0x62efb13267439a6du, 143613272},
    {216100, 0x2b007d123117e426u, 0x0cdc04dee4a3dc06u, 157932633},
    {218100, 0xb79c43bea127a100u, 0x64f5018619999947u, 169973981},
    {230000, 0x1145a43a29d62a04u, 0xc0be04172a055e90u, 171808880},
    {250000, 0x2fd6cc5a3254270cu, 0xf738abaae528ecc7u, 174913428},
    {262100, 0x932fe7fa9d244529u, 0x53250d414f7d3a8fu, 176749107},
    {265100, 0x904398fed69387e9u, 0x8ac972d2fe6fee4cu, 177215902},
    {267000, 0x3120e4420e20bc0au, 0x638d4ad414017ea7u, 177511687},
    {272100, 0x0122e1ae2e4a4887u, 0x71c96e83d6a019fbu, 178317961},
    {280000, 0x0b5532a81c7ced20u, 0x575ab1b3b3ad6c38u, 179578859},
    {290000, 0x10438598116623f5u, 0x04025b00524badccu, 181142162},
    {302100, 0x91a781f56879953fu, 0x8ee1169b42a76e47u, 183089373},
    {305000, 0x125ae19d5124db6bu, 0xfeba94f9f71f443fu, 183568896},
    {320000, 0x2bf87c19c3a27619u, 0x8033f31193659b4du, 185974488},
    {342100, 0xf4314b32d643258bu, 0x8027cfcc9b240347u, 189583862},
    {345000, 0xdf61f6cddd8b3c6fu, 0x903caf7e39583169u, 190048627},
    {361000, 0xee9a88808e720351u, 0x423f042b7073253eu, 192797367},
    {382100, 0xa90c9856231297a2u, 0x482fa120707084f3u, 196547079},
    {400000, 0xef255a4210b0a104u, 0x37d48dec4b56b2f8u, 203491152},
    {414100, 0x0903ea33e11a8246u, 0xe5d74e2c3050c3b2u, 209156535},
    {425000, 0x5654d14c1207d31au, 0x5c5581ad81c576aeu, 213569023},
    {438100, 0xf91287a7cc41f6fcu, 0x15bb0e155db90fa1u, 218901659},
    {444000, 0xbf9630a46e8df2e9u, 0xc1faa11129d4f9b9u, 221330066},
    {450000, 0x0aac541990e6eabdu, 0xf09ae69ea36cdbf2u, 223748795},
    {458100, 0xc4b8c431ce2d1f85u, 0x50c485cd3c17992eu, 227057658},
    {461000, 0x6f166f621e66b278u, 0xbdc714575f0faab8u, 229283016},
    {462000, 0xf72333d75ecc38f4u, 0x54c37dab956a2419u, 230077003},
    {462014, 0x9fc4da3954e85865u, 0x7aad154ba47be787u, 230088327},
    {470000, 0x1944c6d61f3e340du, 0xcbdf9536b5062e50u, 236087596},
    {482500, 0x1cc2c16952afe462u, 0xb9241af426177c6au, 245563630},
    {500000, 0x58e3f54c839e7123u, 0x6524ec32304e6cf8u, 257055479},
    {550000, 0x9b895b4f195c6cc0u, 0x51667bee78e10c2fu, 275460295},
    {580676, 0x26ee59e9fc86c107u, 0x9fb33e993c0e389du, 286536027},
    {580690, 0x14c4456fa1aa6b9fu, 0xa12843464ad3c45cu, 286536027},
}};

// The replay as a table to paste over the pinned one.
std::string asTable(const ShowReplay& replay) {
    char row[128];
    std::snprintf(row, sizeof row, "{%" PRIu32 ", %d, {\n", replay.startUpDraws, replay.passes);
    std::string table = row;
    for (const ShowPin& pin : replay.pins) {
        std::snprintf(row, sizeof row, "    {%d, 0x%016" PRIx64 "u, 0x%016" PRIx64 "u, %" PRIu32 "},\n", pin.atMs,
                      pin.frame, pin.run, pin.draws);
        table += row;
    }
    table += "}}";
    return table;
}

// Where the replay left its pins: first the stretch of the show in which a
// frame first changed, then every pinned frame that differs.
std::string differences(const PinnedShow& pinned, const ShowReplay& replay) {
    std::string found;
    char line[200];
    if (replay.startUpDraws != pinned.startUpDraws) {
        std::snprintf(line, sizeof line, "loading the scenes took %" PRIu32 " random numbers, pinned %" PRIu32 "\n",
                      replay.startUpDraws, pinned.startUpDraws);
        found += line;
    }
    const std::size_t compared = std::min(replay.pins.size(), pinned.frames.size());
    for (std::size_t i = 0; i < compared; ++i) {
        if (replay.pins[i].run == pinned.frames[i].run) continue;
        if (i == 0) {
            std::snprintf(line, sizeof line, "a frame first changed by %d ms\n", pinned.frames[i].atMs);
        } else {
            std::snprintf(line, sizeof line, "a frame first changed after %d ms and by %d ms\n",
                          pinned.frames[i - 1].atMs, pinned.frames[i].atMs);
        }
        found += line;
        break;
    }
    for (std::size_t i = 0; i < compared; ++i) {
        const ShowPin& pin = replay.pins[i];
        const PinnedFrame& want = pinned.frames[i];
        if (pin.atMs != want.atMs) {
            std::snprintf(line, sizeof line, "pin %zu is at %d ms, pinned at %d ms\n", i, pin.atMs, want.atMs);
            found += line;
        } else if (pin.frame != want.frame || pin.draws != want.draws) {
            std::snprintf(line, sizeof line,
                          "the frame of %d ms drew 0x%016" PRIx64 ", pinned 0x%016" PRIx64 "; %" PRIu32
                          " random numbers by then, pinned %" PRIu32 "\n",
                          pin.sceneMs, pin.frame, want.frame, pin.draws, want.draws);
            found += line;
        }
    }
    if (replay.pins.size() != pinned.frames.size()) {
        found += "the replay took " + std::to_string(replay.pins.size()) + " frames, " +
                 std::to_string(pinned.frames.size()) + " are pinned\n";
    }
    if (replay.passes != pinned.passes) {
        found += "the show quit after " + std::to_string(replay.passes) + " passes, pinned " +
                 std::to_string(pinned.passes) + "\n";
    }
    return found;
}

void expectPinned(const PinnedShow& pinned, const ShowReplay& replay, const char* name) {
    EXPECT_EQ(replay.ignoredCalls, 0) << "state changes between begin and end, which OpenGL ignores";
    const std::string found = differences(pinned, replay);
    EXPECT_TRUE(found.empty()) << "The show (" << name << ") left its pins:\n"
                               << found << "\nIf the show changed on purpose, replace " << name
                               << " in tests/demo/show_replay_test.cpp by the table below, and say in the commit "
                                  "message why the show changed:\n"
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
