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
#include "framework/midi_input.h"
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
    {216100, 0x5652b183e164752fu, 0x5e8c725426671b29u, 71338235},
    {218100, 0xdd4418bb934a064fu, 0xadddaa5c6e191a11u, 78200635},
    {230000, 0xf29384756b2c0e2fu, 0xc5772d8415afa4a5u, 80073525},
    {250000, 0x01ba62999e009a10u, 0x9f2da84b8d338c33u, 83215750},
    {262100, 0xc591963600525780u, 0x9e659b8670fc18d2u, 85154685},
    {265100, 0xd1c0dbd7da3d9818u, 0x0b032287c6a5d02du, 85620206},
    {267000, 0x92390b9f308e0884u, 0x1bd1a8a3aa31f837u, 85922703},
    {272100, 0xe0268ebf2e36915bu, 0x5ef86f0f51db6946u, 86737532},
    {280000, 0xecc414839b01c680u, 0x16bfa8cd9dd4572fu, 87996981},
    {290000, 0xd9c2d8a64e15d5cdu, 0xcfdc80d544061429u, 89579630},
    {302100, 0xb11d2445c8df3834u, 0xda774625ece591a0u, 91557586},
    {305000, 0x09e29fa0f3e3cea6u, 0x1020f65b47d07f5bu, 92034441},
    {320000, 0xbe58da248c16e46fu, 0x7beeb6bfb836022fu, 94479270},
    {342100, 0x5063764b3b9ba925u, 0xe96c6e0f091eea98u, 98079873},
    {345000, 0x77450652663b5b4cu, 0x9388f5b03f5ae6c8u, 98556728},
    {361000, 0x544eae57fc439841u, 0x8c37d6b628c2552fu, 101293702},
    {382100, 0xb91ce3dcc2484254u, 0x460b1bc8ed5e7305u, 105092886},
    {400000, 0x71c84944fb33a736u, 0x5ee543609ed10f28u, 111552750},
    {414100, 0xcc01df14d046a834u, 0xd479587917f92a79u, 116859397},
    {425000, 0xe6e10412391a5263u, 0x4cce3da1a46b5ec0u, 120939559},
    {438100, 0x81144b0fe24a6686u, 0xa9d7a37cd45faab6u, 125895285},
    {444000, 0xd639b4043796e078u, 0x14b2fb4930424dbcu, 128162571},
    {450000, 0x1aa17b6213c9e532u, 0x8fbfbe7a39961cbeu, 130410753},
    {458100, 0x2df0754935921d0eu, 0x22f91342d81ced91u, 133626396},
    {461000, 0x029b5438ccfc158eu, 0xe461357b45319c8cu, 135813783},
    {462000, 0x5d4a409fc3d55b59u, 0x80d83a0e7896771eu, 136574754},
    {462014, 0x092e2601890ead3bu, 0x511bc68a452774aeu, 136586122},
    {470000, 0x856b720a0dc76e2au, 0xcb2487db048b78cbu, 142416971},
    {482500, 0x2132484db3a1b1d1u, 0x8ac473eabdd1b95au, 151435490},
    {500000, 0x999139a19a3f4103u, 0x286860f13614028bu, 162642596},
    {550000, 0xb877683ab2952b98u, 0x7e13bcd8c93b72f7u, 179752720},
    {580676, 0x150e63e11cea91c9u, 0x03ccc727b1b56fdau, 190164638},
    {580690, 0x14c4456fa1aa6b9fu, 0xef814a17dfbb00b7u, 190164638},
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
    {216100, 0x08ec41675a7b15c6u, 0x8c879fb9b2472710u, 157932633},
    {218100, 0x0592a79b9eb9ecbeu, 0xe92d6052ca803670u, 169973981},
    {230000, 0xdc52f411db6a6a1cu, 0x4b70bb5434883d80u, 171808880},
    {250000, 0x5cf323e4f515fadeu, 0x7b6abfbbf7f2c804u, 174913428},
    {262100, 0xdbddac9bb0070dfau, 0x7d669e3fc6273946u, 176749107},
    {265100, 0xda0a129868d17d6fu, 0x045373f7960e2755u, 177215902},
    {267000, 0xb1cad3937669059eu, 0xc38db2627237c3a0u, 177511687},
    {272100, 0x80669ee350ef0c08u, 0x607b4422e9fb5bd3u, 178317961},
    {280000, 0x9cd392161acdd7d9u, 0xe0c8c783e30dda96u, 179578859},
    {290000, 0x76e03b3dffbda2d5u, 0xc2d4890dfe2d0d8fu, 181142162},
    {302100, 0x0ae75d50aaca7a64u, 0x1651bc663cdb4760u, 183089373},
    {305000, 0xc37c6d60872b7f49u, 0xc5a57b9083a30c88u, 183568896},
    {320000, 0x9954e868c679339bu, 0xb4ed8b96b4d7ec51u, 185974488},
    {342100, 0x7e39437a26074a59u, 0x14ce83f9492fcbb6u, 189583862},
    {345000, 0xfaa123c61d2d2437u, 0x1bafa0463324f676u, 190048627},
    {361000, 0x1216ffb6529f1eaau, 0x9f47b39abad49905u, 192797367},
    {382100, 0xcece4f0393f6bb3eu, 0x7aba68ddc602d580u, 196547079},
    {400000, 0xe19bd978f479b346u, 0x338b4cf669c0267cu, 203491152},
    {414100, 0xb5d527df3d4df825u, 0xb5d3f6242871b7d7u, 209156535},
    {425000, 0xd0fbcc0fe66d6684u, 0xdc09657fb88988feu, 213569023},
    {438100, 0x1838d1ec2a0bc68eu, 0xebcc90239376ec0du, 218901659},
    {444000, 0xfc25b87a06e49175u, 0xa4706fcdb2fec06fu, 221330066},
    {450000, 0x30e05720e928a89bu, 0xa6a1ddfa3327b5abu, 223748795},
    {458100, 0x6e3ff8f0003cf778u, 0xd7272de29eb7c881u, 227057658},
    {461000, 0x344cfebe7aebb74eu, 0x7ebc5c9c35374c09u, 229283016},
    {462000, 0xef70a3cee7162eadu, 0xcbdcd4f752abe3f3u, 230077003},
    {462014, 0xeaa53813db41c763u, 0x8a77575f83dbc3d2u, 230088327},
    {470000, 0x5705956143135691u, 0xda7b0fc02b4f7a7bu, 236087596},
    {482500, 0xe2fa9cc51176d7c7u, 0xa7f0fc77353c8a91u, 245563630},
    {500000, 0x43bc132f4bf473a4u, 0x2e9194bd207673eau, 257055479},
    {550000, 0xf2610537188faf4bu, 0x924453b54aa88eb0u, 275460295},
    {580676, 0xb20795fd376e547bu, 0xb47180f1819b83c6u, 286536027},
    {580690, 0x14c4456fa1aa6b9fu, 0x0ff0f847f3089fbeu, 286536027},
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
