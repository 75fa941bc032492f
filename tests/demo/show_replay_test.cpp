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
    {230000, 0xbd176707a68b0705u, 0x0eaeac71b049f9f1u, 80073597},
    {250000, 0xcd12ae24057cd662u, 0x40ee78a0ce57ab6au, 83174563},
    {262100, 0x3d29bc9be71013d6u, 0x268fd38f7b6785b6u, 85084366},
    {265100, 0x330c5ce16dd7e59au, 0x94d54cd333000d05u, 85573441},
    {267000, 0x48a4c2ec6f352746u, 0x7849b192ca31c8c4u, 85872544},
    {272100, 0x5c10897116beeb54u, 0xfc9fe0e0e80e42a2u, 86686540},
    {280000, 0x5a1538ccf10c0d2au, 0x5eeccc47bf79e4fbu, 87948698},
    {290000, 0x3d2888a5c21fe18au, 0x41aa9258b0bcd46cu, 89543154},
    {302100, 0x9afa434678094913u, 0x04157a7a99caad5bu, 91940284},
    {305000, 0x2459bf887c3fe12eu, 0x5f11edd0a813ad7bu, 93502957},
    {320000, 0xc41a1a67a64e1687u, 0x79e3cbcf16f67d12u, 101834458},
    {342100, 0x9a41901b5b32719du, 0xb9f1bb9177584e8bu, 113377701},
    {345000, 0x2a18c095ebc5db37u, 0xce9a5ff4c13170b9u, 114953192},
    {361000, 0xe365eb2024ac9c99u, 0xa903cd337474923du, 122915330},
    {382100, 0x30c6f6542286d248u, 0xd5e1e57d5b52d2d9u, 134826553},
    {400000, 0x7a3f4f9b6d3f1f80u, 0x8f8ba5b4aed26f06u, 148069046},
    {414100, 0x292b6bbf5dfbf023u, 0x1cca824b760d86cfu, 158904606},
    {425000, 0x9bb0546fd6854c39u, 0x8e3b0add6bdba62au, 175195599},
    {438100, 0xc34217bc79961f9cu, 0x9e2a875048e0c859u, 236392501},
    {444000, 0x59b4f94c01760cccu, 0xab013cea8825b891u, 262953537},
    {450000, 0x4b28c3fdba22ee55u, 0x6c322e080c4007b8u, 287860089},
    {458100, 0xfe42116f78135da2u, 0x9243b21f6fcade66u, 325586519},
    {461000, 0x7f49cca00411a225u, 0xc631ab09b95d4d1du, 338661839},
    {462000, 0x9187e93f9827d207u, 0xf63554ff64cb3606u, 343192529},
    {462014, 0x52cd1fde499b91c4u, 0x6ae0cd359db39818u, 343205789},
    {470000, 0x94f9707a1bb5ba8du, 0x6efdbe4508e31428u, 348946238},
    {482500, 0xa8f6566fbb800d64u, 0x45126f24b20df6b0u, 358011544},
    {500000, 0xdaee227fd98ba23bu, 0xc4b3bcc9cd0f6ab5u, 366072355},
    {550000, 0x82694b9ca09aa055u, 0x76541a19d384f63du, 383054420},
    {580676, 0xc1729833d8c1c03fu, 0x3bc6240f1239d17cu, 393349804},
    {580690, 0x14c4456fa1aa6b9fu, 0xe00410374c728d49u, 393349804},
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
    {230000, 0x11aedfc139bce4ddu, 0x988ee5bebceb25b9u, 171808976},
    {250000, 0xec9c48f57622f446u, 0x2701d2ee90fac3a2u, 174932619},
    {262100, 0x2f7e7eaadf6735ceu, 0x2b4cb473f7b025f5u, 176836268},
    {265100, 0x82f77177a101d864u, 0xe2fa0749e38854c0u, 177315608},
    {267000, 0x2528bfa1a07e3207u, 0x72f4137a62005e86u, 177618692},
    {272100, 0xa1415e14946d7e76u, 0xda3c235263405f85u, 178434792},
    {280000, 0xcd5624a9ce5aea56u, 0x08a31c0e40975346u, 179698857},
    {290000, 0xddbd2c18fc10ab53u, 0x98b45130bfe514adu, 181338419},
    {302100, 0x282d35fb9782c9b4u, 0x083401a650b44306u, 184153140},
    {305000, 0xe8f3bf2f33266bc7u, 0x826bb5c216cc8907u, 186989021},
    {320000, 0xa37a27b0ade116adu, 0xbd5f5c9f7ccd000au, 201871356},
    {342100, 0x3c25b55053577bdeu, 0xa2b7b9b277b9a29cu, 219753147},
    {345000, 0x83af94193be9daa7u, 0xe2b14c95b89151b4u, 222208170},
    {361000, 0x6e5700b3b8045e17u, 0xb996be6f89dbda0cu, 232948986},
    {382100, 0x009c4b6a8c00ce25u, 0xf4e85e5a39deb3a7u, 251274660},
    {400000, 0x8364b36f4c51d427u, 0xd79b4cca5a11778du, 269994340},
    {414100, 0x7d65257f76f506afu, 0xbd414399b3f3b0d0u, 288300369},
    {425000, 0x8f6796c1a28bd83cu, 0xec63b9c4dbac4a91u, 325061804},
    {438100, 0x0dc613f190b8b916u, 0x69bc6ab4278da859u, 478686428},
    {444000, 0x9840ff72fccf51b5u, 0x7188108aae4ec4f3u, 540316440},
    {450000, 0x3f1d5b1d24f4e2a1u, 0x939291562a8d4612u, 600922244},
    {458100, 0xf80669958f0d804bu, 0xa26e30b99efca51eu, 683952974},
    {461000, 0xb3aa3cc358a7fe7fu, 0x421a4b3624cd59bau, 711152019},
    {462000, 0x7892e3c9c7f91ce0u, 0x6e073eebb64d0e13u, 720128492},
    {462014, 0xd2384610889c8426u, 0x2eed84611219340au, 720138047},
    {470000, 0xab321f9467f6032bu, 0x87256939fa996c6fu, 726162418},
    {482500, 0x491fb7865d88321eu, 0x58a08f92bb239809u, 735435817},
    {500000, 0xef967ddb7eb5f0fau, 0x704fbc65124651b6u, 743935704},
    {550000, 0xc4ec49cccff270fbu, 0xb66a5a479188152du, 762136251},
    {580676, 0x7b45fa2085c0ec9eu, 0x6f9f671d7ee7aa54u, 773255602},
    {580690, 0x14c4456fa1aa6b9fu, 0xdf63a93ebfe6441bu, 773255602},
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
