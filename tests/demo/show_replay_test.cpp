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
    {8000, 0x75734485ceab74c4u, 0x06a6de7f4b039de0u, 11},
    {30000, 0x3c4ef7a349fb5925u, 0x4198136b05fa3a55u, 186},
    {50000, 0x408792262a67a638u, 0xd7a500cb54edda8au, 380},
    {90000, 0xc5870ce52a1309ddu, 0x36f52e6e68950195u, 1189},
    {100000, 0x88ea6e1522620695u, 0x7490e44879f87924u, 391670},
    {120000, 0x78e2b8a8a3e24a32u, 0x0c39efebaa675669u, 3883441},
    {150000, 0x658c5b085eca0603u, 0x972d07a11e1fd911u, 9384928},
    {170000, 0x038e95ba5fa2c753u, 0x3c478769367af4bbu, 12718649},
    {182100, 0x07ce67ee54f1b281u, 0x3f5ba58522cfd219u, 14908082},
    {190000, 0x18bc4c17d853d044u, 0x34f35088a29bc342u, 18017820},
    {200000, 0x39f9d988e01976d1u, 0x03ed212dc082c0f3u, 22225417},
    {205000, 0xceb02630107a35fau, 0x31b84b9e847ce2c0u, 24459733},
    {205014, 0xdd04936e6593e946u, 0x2ab29f31eea02162u, 24548822},
    {206100, 0xee3895af79e9fbe2u, 0x8578946ad4531031u, 31061972},
    {210000, 0x2644f2cab5f5b432u, 0x55a65e7e246baeb6u, 48412172},
    {214000, 0xb3aa7928d1304366u, 0x80911dab008f592fu, 63522354},
    {214014, 0x7a5156d0d539017cu, 0x2fa005b034bfb711u, 63576718},
    {216100, 0x8395112d90237d0du, 0x58fdb780b4bc69a4u, 71338235},
    {218100, 0x62dd93416cac67a6u, 0x79a0f983ff28c6c2u, 78200635},
    {230000, 0x95ffb646056a9b24u, 0x6192d727bec61140u, 80073525},
    {250000, 0x007eb8e9c4c6a81du, 0xf2bf580becd86441u, 83215750},
    {262100, 0xfcee908a1d499f8au, 0xfef7aff88c2f2288u, 85154685},
    {265100, 0xf8a4566d1075fe6eu, 0xfa4804b850e71e0du, 85620206},
    {267000, 0x0c7e6f5ccf2c4a53u, 0xf6849b9dd248b0e8u, 85922703},
    {272100, 0x794c60f58f91a8f4u, 0x555370bc01be1ebbu, 86737532},
    {280000, 0x2b7605d844d59be5u, 0x270da6fefbd9e4bbu, 87996981},
    {290000, 0x48d29f602f9a1c3eu, 0xccc01ec18404fcccu, 89579630},
    {302100, 0xffb859e6a10aa75fu, 0x11b12f7bc5af983du, 91557586},
    {305000, 0xbe2ce1f14fe77a9bu, 0x42b7cd0c75722875u, 92034441},
    {320000, 0x5569f60b0b4f360bu, 0x855ea721e96a860eu, 94479270},
    {342100, 0xd683b0f537508353u, 0x9059789b3c7de536u, 98079873},
    {345000, 0xd75c937d7d403433u, 0x7990967526af3284u, 98556728},
    {361000, 0xaac5a8fff3b9392fu, 0x6679b6b9461cfe03u, 101293702},
    {382100, 0x9406cabb137f4906u, 0x3a99e3c3c0f0ba44u, 105092886},
    {400000, 0x43a46a67edb4ff1au, 0x2a045089d4fcadfbu, 111552750},
    {414100, 0x454a0199af6085fbu, 0xb50998492c51a535u, 116859397},
    {425000, 0x10b6a244bb6c9c40u, 0x469a889cec6d4f72u, 120939559},
    {438100, 0x87eedc3be005df55u, 0xc7823311c674bba0u, 125895285},
    {444000, 0xb9b6627783d93b8cu, 0x5b5560c6055553acu, 128162571},
    {450000, 0x2e62d613c50cebb4u, 0xa65bb284c035e82bu, 130410753},
    {458100, 0x9020df90cb7dc090u, 0x05e26d9f2729d77fu, 133626396},
    {461000, 0x4454c4575c106c7eu, 0x6d8dbc44b8da64e6u, 135813783},
    {462000, 0x19e9f9c147a93b74u, 0x788fe6989170a234u, 136574754},
    {462014, 0xa925f7d6977d683bu, 0xf3a44d90a6d8c6f9u, 136586122},
    {470000, 0xc9f921f62057dfe2u, 0xa7d9fe936eac6c9eu, 142416971},
    {482500, 0x8046724bc3394ed8u, 0xa994c6ca75c0a149u, 151435490},
    {500000, 0x499104e415174906u, 0x196c8d78b619f7ddu, 162642596},
    {550000, 0x99794651987678bbu, 0x87bbcc72248a30b7u, 179752720},
    {580676, 0x5f4f9ca780a65e97u, 0x250c3a599065a0c4u, 190164638},
    {580690, 0x14c4456fa1aa6b9fu, 0xd15030c0c8839ddbu, 190164638},
}};

const PinnedShow kHighBudget = {27735322, 41352, {
    {0, 0x14c4456fa1aa6b9fu, 0x68da19e9e943e8ddu, 0},
    {1507, 0x14c4456fa1aa6b9fu, 0x9b1edef6e51ce3d3u, 0},
    {1521, 0xf2613b037a2aa52du, 0xb9b9fba683b14c81u, 0},
    {8000, 0x75734485ceab74c4u, 0x06a6de7f4b039de0u, 11},
    {30000, 0x44371dfb9bd32615u, 0xe2643c3a8cf2f26eu, 186},
    {50000, 0x3cd32fa0a27ec29cu, 0xc1308e2d8935b920u, 380},
    {90000, 0xbdd89c6f97f462adu, 0x6fbc818cae9862aeu, 1189},
    {100000, 0x114d904b1f8e1246u, 0x4797a85258e13419u, 380231},
    {120000, 0x69e006428e8aab6cu, 0xf480b99562057573u, 3292361},
    {150000, 0x0ccd0f360a0e8e38u, 0xd546e3d10a17e25du, 9428121},
    {170000, 0x36cc7d2c83934ff2u, 0xfe5d83bfa5fadf7eu, 13774619},
    {182100, 0xf5e54e1921ca783eu, 0xc8be8face7be40f6u, 16712842},
    {190000, 0xd03b120b53640b69u, 0x277506720a613732u, 25400560},
    {200000, 0xd2b2e1fc4a64a08cu, 0xb45fb8620dfb931eu, 38526697},
    {205000, 0x23f4921d5b26b389u, 0x91c1e962a779a5cbu, 45455330},
    {205014, 0x94905e60cb36fab9u, 0x3fd94d2fa17a7805u, 45689298},
    {206100, 0x4894bbe96c309e76u, 0x519fb020aa409f70u, 63232960},
    {210000, 0x86c1ca54e91c135au, 0x4da701d787e48aeeu, 109707550},
    {214000, 0xb7dc752d9939f545u, 0x66c77ed1091229eeu, 143509978},
    {214014, 0x42d275e7e01de63cu, 0xd3a7d5f46636bb8bu, 143613272},
    {216100, 0x2b007d123117e426u, 0x7a092391f12cc2a2u, 157932633},
    {218100, 0xb79c43bea127a100u, 0xf7cb2cae4d59cee5u, 169973981},
    {230000, 0x1145a43a29d62a04u, 0xf7bd4e06ba0ffefdu, 171808880},
    {250000, 0x2fd6cc5a3254270cu, 0xe28a03d2d2df61f0u, 174913428},
    {262100, 0x932fe7fa9d244529u, 0x754249c466849f16u, 176749107},
    {265100, 0x54b8ace475556dccu, 0xa8c5d9e3a19614abu, 177215902},
    {267000, 0x4739d43ab7db0b29u, 0x2fc4178010d45b7au, 177511687},
    {272100, 0x3531c4f5ee1285aeu, 0x72c89d43a9396a48u, 178317961},
    {280000, 0xe8ee6da6b01ad06du, 0x012711e0151dae1au, 179578859},
    {290000, 0x08939fe44ecaa112u, 0x4dc537a179256ecbu, 181142162},
    {302100, 0xcf3c35d1dc20b3f5u, 0x14f1d17623a0c4d5u, 183089373},
    {305000, 0x867a05744a3e29e3u, 0x2063951ae5ec74f9u, 183568896},
    {320000, 0x9cc4aa91a0b3c01au, 0xfdca4087ca585e42u, 185974488},
    {342100, 0x2602d19377bc87feu, 0x5fd6b673c1398569u, 189583862},
    {345000, 0x4cfe9e02b3780652u, 0xc26216fa23e7f5ddu, 190048627},
    {361000, 0x0a1a8ad08626f42fu, 0x10e6e2a6a474ca14u, 192797367},
    {382100, 0xa6c02640d1498526u, 0x2522891770c8326eu, 196547079},
    {400000, 0x2a3bbc2419454781u, 0x2ae82c423a608b21u, 203491152},
    {414100, 0x7533ee73c70171b3u, 0xc7896c07f1107851u, 209156535},
    {425000, 0xf01530174cd8347bu, 0xcf82dd82721e9dc1u, 213569023},
    {438100, 0x3e88b928b7668664u, 0xc435dd1614caea46u, 218901659},
    {444000, 0x3bba9b0d18a4d901u, 0xb8074b9ad08ffdbeu, 221330066},
    {450000, 0x85ebba11beb98cc7u, 0x0d28d6e357040300u, 223748795},
    {458100, 0xf4d90d2e401b70c3u, 0x4cfa93264ea7e661u, 227057658},
    {461000, 0x28ca2b0706af6e20u, 0x27a0958c95dca472u, 229283016},
    {462000, 0xfc72d9d516b35747u, 0xd5474d526f278970u, 230077003},
    {462014, 0xfcecbd67c7124105u, 0x3ae75af2362e2aa9u, 230088327},
    {470000, 0x1b08524c2081b5f4u, 0xc39ddce41a90aaecu, 236087596},
    {482500, 0xa44ce4c0044a3febu, 0xfd41c98df41c5cccu, 245563630},
    {500000, 0xd7d2e20fd1ac9b07u, 0x37d031b2f303f97eu, 257055479},
    {550000, 0xfbaca22b64a4a6b2u, 0xb2476746b84f132bu, 275460295},
    {580676, 0xf2c101acbca2e207u, 0x3636cd5d14e3ae8fu, 286536027},
    {580690, 0x14c4456fa1aa6b9fu, 0x9827b76ee50c3bf0u, 286536027},
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
