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
// of each pattern 70 to 77 and of each figure pattern that comes back over
// the paper, the scrap fields' slots, the fly-in windows, the overlay, the
// paper, the shading layer, the creeping creature, the last full frame and
// the first black one. Frames fall every 1000/71 ms.
const std::vector<int> kPinTimes = {
    0, 1507, 1521, 8000, 30000, 50000, 90000, 100000, 120000, 150000, 170000, 182100,
    190000, 200000, 205000, 205014, 206100, 210000, 214000, 214014, 216100, 218100, 230100, 246100,
    249100, 256100, 262100, 266000, 278100, 294100, 300000, 310100, 313000, 326100, 342100, 358100,
    361000, 374100, 390100, 400000, 414100, 425000, 430100, 438100, 444000, 450100, 454100, 461000,
    462000, 462014, 470000, 482500, 500000, 550000, 580676, 580690,
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
    {230100, 0xaace37a054593fd6u, 0x787b29d19ed64d04u, 80089679},
    {246100, 0xe8b94277eace3e9du, 0x24b72d4a67ce0e07u, 82540420},
    {249100, 0x7b24208d3eeadfebu, 0x6033dd22afe9f017u, 83034525},
    {256100, 0x0b0bdb68adc69fe4u, 0xbb2ad2f7abe6fa44u, 84139468},
    {262100, 0xa174b7c433d8275cu, 0x27ca183de9ec7469u, 85084366},
    {266000, 0x745d13a12ec71f29u, 0xb429b838d981cc96u, 85717247},
    {278100, 0xc1605f1d5144b34cu, 0x59b0537e7b23835bu, 87640643},
    {294100, 0xce2b3c3250d66553u, 0x768ab9eeadac1495u, 90236019},
    {300000, 0x5554fb5047bca95bu, 0x71a0e0c82df4093eu, 91190227},
    {310100, 0xe608b35dae8e70c1u, 0xb86f209fe5975996u, 96358008},
    {313000, 0xf58a994e1dbe6218u, 0x9e264393ca9d8f34u, 97963494},
    {326100, 0x1f1ac6e9ef375615u, 0x3c5b2eb10b5d07f3u, 105065939},
    {342100, 0xfcf4140f5b194d7au, 0xee3e6e7682363928u, 113377701},
    {358100, 0xa71dc81cbf28757bu, 0x8036a9986f39062fu, 121522911},
    {361000, 0x9d382ab8fd548399u, 0x2dc9207160754256u, 122915330},
    {374100, 0x3f02ebd8bbfb86e5u, 0x249a68fa9bb3f8bbu, 130171211},
    {390100, 0x513ce171d5ce58beu, 0x56f6a95d1dbcd284u, 140553682},
    {400000, 0x900f5c554acc28ecu, 0x18a7f37f9794da79u, 148069046},
    {414100, 0x77e204dc14f2a0a8u, 0x987ffc3109be6580u, 158904606},
    {425000, 0x66dc7363eea55eeeu, 0x9cc7f7cf8719dd46u, 175195599},
    {430100, 0x33d993a1886d20ffu, 0x846684a13099f22du, 200672162},
    {438100, 0x728e3af7aa7c71fdu, 0x6c85ae3ab857f7e2u, 236392501},
    {444000, 0xc14c1de8d0624dd9u, 0xacf3838f12b1f8f6u, 262953537},
    {450100, 0x950830718d4e4c44u, 0x3341386e31d5f4fau, 288383805},
    {454100, 0x74ccfe8169523855u, 0x4a782dff77e6fe78u, 307340991},
    {461000, 0xce5128832229ab90u, 0x4ae74c33a8f6661cu, 338661839},
    {462000, 0x4b094d3e4e22c795u, 0x953797193fe40cc7u, 343192529},
    {462014, 0x820a5bbd0c405b13u, 0x1d8189a69cc9010fu, 343205789},
    {470000, 0xd072be34caf98f42u, 0x3d5249efe921e47du, 348946238},
    {482500, 0xf12d0b4929daffc2u, 0x6380feb0809bad8fu, 358011544},
    {500000, 0x4be197c5cbff88e0u, 0xe8ce0bdfb8f66291u, 366072355},
    {550000, 0x8e72cda282bc931eu, 0x254b224da38ca96au, 383054420},
    {580676, 0xbca0761b55bb6e38u, 0xeb72f1650b06394cu, 393349804},
    {580690, 0x14c4456fa1aa6b9fu, 0xa59dc5d8345cb415u, 393349804},
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
    {230100, 0x571e974d25e992b3u, 0xd1a3eb55be19b7cbu, 171827395},
    {246100, 0x27ede1cb2c70ced3u, 0x3aea8b5d4f280614u, 174329161},
    {249100, 0x18ebf73bdbd8ca49u, 0x58b329ac1ded7b0bu, 174808592},
    {256100, 0xbfe9d265bc657b0bu, 0x920d0e91de1ea059u, 175884577},
    {262100, 0xdf121b13cd3071ceu, 0x769bc0104c0414c9u, 176836268},
    {266000, 0x87c14672d561988du, 0xc97e44cfa9bd2e9du, 177459353},
    {278100, 0x59f624c694e7dd2cu, 0x55fafb94becdc100u, 179397276},
    {294100, 0xee79e775229a28c2u, 0x8473246688e8677au, 182007633},
    {300000, 0x7ba747ea4e00b334u, 0xf00bdc746b5377aeu, 182923122},
    {310100, 0xf05aa5dd450bce2eu, 0x417e5e97d0f6c96cu, 192236552},
    {313000, 0x486bf09a83d1123eu, 0x1dac18fa20a28f7au, 195203468},
    {326100, 0xf125dd5d3ffff1e9u, 0xf6c12ef60f3be964u, 206734573},
    {342100, 0x646ac3c7b602bf8cu, 0xe5f5bafc88082d6eu, 219753147},
    {358100, 0x6a4c30e04a21ec4fu, 0x92f41a07cf8ba864u, 231177842},
    {361000, 0x7d4a1e3924f5fbe7u, 0x9b1bca062e0b17f1u, 232948986},
    {374100, 0xfa8315aac5de28ebu, 0x30b4a195a224ec1fu, 243802025},
    {390100, 0x572125bc391335f1u, 0xca2db97caf6e83e1u, 259403238},
    {400000, 0xfcd0c951d4946fe1u, 0x6d14c00dbf9f8808u, 269994340},
    {414100, 0xc9066153ba5c07b8u, 0xbe3f3dd78cc2d67bu, 288300369},
    {425000, 0x76a747a23d952797u, 0xa9a388c914a0ae68u, 325061804},
    {430100, 0x0109c3ea7f64ef0eu, 0xd8deef7f17e5a8b5u, 388523740},
    {438100, 0xd61bcb97808c6079u, 0x869bafcaabc367a8u, 478686428},
    {444000, 0x8845d8ad653e45a7u, 0xe7fd6db8109d4dbfu, 540316440},
    {450100, 0xb9dc4ce4f16eaa5eu, 0x70f2293e4a55e788u, 602087449},
    {454100, 0x7b4da34c93dd7239u, 0x982fbc59072df9e5u, 643733710},
    {461000, 0xce93acf835dda86fu, 0xa18354162e7aa9ceu, 711152019},
    {462000, 0x2757c90638fd83f6u, 0x043a5d1b31703074u, 720128492},
    {462014, 0x8f8416192f25254du, 0x9005036c1d3c4362u, 720138047},
    {470000, 0x6df08e8d513e5379u, 0x6bb103c5bbaa1285u, 726162418},
    {482500, 0x30a6eadb9b245d66u, 0xb4884b4819deda99u, 735435817},
    {500000, 0xb2e6df9d5d56262eu, 0x4cda7c93c9b19c7du, 743935704},
    {550000, 0xac423aa1e2fdd2f8u, 0xf17873faa143a9e4u, 762136251},
    {580676, 0x0ea3870e2d2feb62u, 0x2d5e0d2071060e4bu, 773255602},
    {580690, 0x14c4456fa1aa6b9fu, 0xf0993e37e4aeb17eu, 773255602},
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
