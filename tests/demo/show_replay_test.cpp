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
    {230000, 0xf860e2f071724231u, 0x591f4b4bb124aa6eu, 80073525},
    {250000, 0x007eb8e9c4c6a81du, 0xe494ea8bc1d5a297u, 83215750},
    {262100, 0xfcee908a1d499f8au, 0x1de9fc0578f4b0d2u, 85154685},
    {265100, 0xf8a4566d1075fe6eu, 0x2651adc8db3a691cu, 85620206},
    {267000, 0x0c7e6f5ccf2c4a53u, 0xb260ad87971cd53bu, 85922703},
    {272100, 0x794c60f58f91a8f4u, 0xb2a7eb67068c28dcu, 86737532},
    {280000, 0x2b7605d844d59be5u, 0x010546f3d432980eu, 87996981},
    {290000, 0x307219e496d1ee25u, 0x35ea91aaa0ef7facu, 89579630},
    {302100, 0x6d5acfa42bbc675fu, 0xd8b3f3f3e211411cu, 91557586},
    {305000, 0x36cb0ae29a8faf07u, 0xb25b642282b34447u, 92034441},
    {320000, 0xfa5411322ad02d9au, 0x81ad2a44c3fa539au, 94479270},
    {342100, 0xb681c42b24d45125u, 0xad6adf52e1b782eau, 98079873},
    {345000, 0x4e91ba20af3c37e4u, 0x7da7334126d69604u, 98556728},
    {361000, 0x1dd3b40d7c924f0bu, 0xf557c2d8fb7aec08u, 101293702},
    {382100, 0x0c887c6027ccd92fu, 0xd9616bdc7a881394u, 105092886},
    {400000, 0x819aef03b06eacdau, 0xb77e1eb2bfce2fdau, 111552750},
    {414100, 0x50fd955d09393fd8u, 0x317c772780d7768fu, 116859397},
    {425000, 0xfd12ec1da80850b4u, 0xbab7deac14ed9e0eu, 120939559},
    {438100, 0xa3a685f6a2d9864eu, 0xac05674378c3b01eu, 125895285},
    {444000, 0xe13c50e00876b105u, 0xbcd3f36b9cb573b9u, 128162571},
    {450000, 0x7b7787304d2ddce7u, 0x34ebd697be3f129bu, 130410753},
    {458100, 0xdf267b32222bbac1u, 0x6a30787ec68f242eu, 133626396},
    {461000, 0x58bd7c256641e3d4u, 0x28edb4dc2738e08au, 135813783},
    {462000, 0xdf875504d0f177f3u, 0xfe788cc2e1137a6bu, 136574754},
    {462014, 0xa925f7d6977d683bu, 0xab6a01ea551f68d6u, 136586122},
    {470000, 0xc9f921f62057dfe2u, 0x5eb4ab2dcb7d5bcbu, 142416971},
    {482500, 0x8046724bc3394ed8u, 0xb5558ba3fddfb7e0u, 151435490},
    {500000, 0x499104e415174906u, 0x1cc622581d79820au, 162642596},
    {550000, 0x99794651987678bbu, 0x72ca9c6473a6751cu, 179752720},
    {580676, 0x5f4f9ca780a65e97u, 0x605d7d6ad2c6418bu, 190164638},
    {580690, 0x14c4456fa1aa6b9fu, 0x46cec191329b5300u, 190164638},
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
    {230000, 0x1145a43a29d62a04u, 0xc6675bf045eb7c23u, 171808880},
    {250000, 0x2fd6cc5a3254270cu, 0x6a73c378bf97847du, 174913428},
    {262100, 0x932fe7fa9d244529u, 0xc7e70b7ce9a7fe14u, 176749107},
    {265100, 0x54b8ace475556dccu, 0x3d7358f9897a9c28u, 177215902},
    {267000, 0x4739d43ab7db0b29u, 0x8fa638fe3f57bfcfu, 177511687},
    {272100, 0x3531c4f5ee1285aeu, 0x6a5f48bf49ec17e7u, 178317961},
    {280000, 0xe8ee6da6b01ad06du, 0x8db72391e8c28b7eu, 179578859},
    {290000, 0xdf23e51cc88a8e01u, 0xa1c53e755dbfe417u, 181142162},
    {302100, 0x62d9ad16a0b0cd3bu, 0x6b2fcae4d93cc853u, 183089373},
    {305000, 0x4713540ef0bc40d4u, 0xa222bbcca8148c16u, 183568896},
    {320000, 0xd3b271a58cc93b8du, 0x6a5d9c2081efafd1u, 185974488},
    {342100, 0xf044291a46c509ebu, 0x0a04c715756587b1u, 189583862},
    {345000, 0x4cfe9e02b3780652u, 0x2de858334d3a439cu, 190048627},
    {361000, 0x0a1a8ad08626f42fu, 0x5a55bc3ad6024526u, 192797367},
    {382100, 0x3419957f9039869fu, 0xd04aaa68a62b6d6fu, 196547079},
    {400000, 0xf6b0c27dc422bdadu, 0xdde4b2656695c90eu, 203491152},
    {414100, 0x3a1c3d4890a95ac4u, 0x77f4591ee15a805bu, 209156535},
    {425000, 0xf01530174cd8347bu, 0xeccf59ed74ba315bu, 213569023},
    {438100, 0x3e88b928b7668664u, 0x128de93d54851334u, 218901659},
    {444000, 0x3bba9b0d18a4d901u, 0xb30e2046d4d4a673u, 221330066},
    {450000, 0x85ebba11beb98cc7u, 0x9c92feed528ed03eu, 223748795},
    {458100, 0xf4d90d2e401b70c3u, 0x6012bcba9f61a9c2u, 227057658},
    {461000, 0x28ca2b0706af6e20u, 0xa3bfd544dcf11dbbu, 229283016},
    {462000, 0xfc72d9d516b35747u, 0x61b842e6a452e213u, 230077003},
    {462014, 0xfcecbd67c7124105u, 0x7a5091e58d566808u, 230088327},
    {470000, 0x1b08524c2081b5f4u, 0xc7440245a366ad96u, 236087596},
    {482500, 0xa44ce4c0044a3febu, 0xf53eeabacd4eec0eu, 245563630},
    {500000, 0xd7d2e20fd1ac9b07u, 0x5ab1b0a043ed4dd3u, 257055479},
    {550000, 0xfbaca22b64a4a6b2u, 0xdec9e2dd054dd479u, 275460295},
    {580676, 0xf2c101acbca2e207u, 0x76764d011caa5893u, 286536027},
    {580690, 0x14c4456fa1aa6b9fu, 0xd2af0551c188d53fu, 286536027},
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
