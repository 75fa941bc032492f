#include "figures/figure_scene.h"

#include "framework/midi/midi_input.h"
#include "framework/midi/midi_pattern.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kFirstPattern = 64;
constexpr int kPatterns = 6;
// Four bars of 16 steps, four steps a quarter.
constexpr int kStepsPerQuarter = 4;
constexpr int kStepsPerBar = 16;
constexpr int kBars = 4;

constexpr int kAllSteps = -1;
// In the note column: not a note binding but the pattern's handler.
constexpr int kHandler = -2;

struct Binding {
    int pattern;
    int code;
    int note;
    int step;
};

// In registration order, which is the order in which the listeners of one
// note and step hear it. Codes 7, 8 and 13 have figures but no binding; the
// row 14 <- 36 at 40 of patterns 67 and 68 stands twice.
constexpr Binding kBindings[] = {
    {64, 6, 36, 8},          {64, 6, 38, 30},         {64, 3, 36, 34},         {64, 2, 36, 40},

    {65, 1, 36, 7},          {65, 1, 36, 8},          {65, 3, 36, 34},         {65, 2, 36, 40},
    {65, 5, 36, 52},         {65, 5, 36, 56},         {65, 16, 41, kAllSteps},

    {66, 1, 36, 8},          {66, 3, 36, kAllSteps},  {66, 2, 36, kAllSteps},  {66, 4, 36, kAllSteps},
    {66, 10, 41, kAllSteps}, {66, 15, 40, kAllSteps},

    {67, 4, 41, kAllSteps},  {67, 4, kHandler, 0},    {67, 1, 36, 8},          {67, 3, 36, kAllSteps},
    {67, 2, 36, kAllSteps},  {67, 5, 36, 52},         {67, 5, 36, 56},         {67, 4, 36, kAllSteps},
    {67, 10, 40, kAllSteps}, {67, 15, 40, kAllSteps}, {67, 14, 36, 8},         {67, 14, 36, 34},
    {67, 14, 36, 40},        {67, 14, 36, 36},        {67, 14, 36, 40},

    {68, 4, 41, kAllSteps},  {68, 4, kHandler, 0},    {68, 1, 36, 8},          {68, 3, 36, kAllSteps},
    {68, 2, 36, kAllSteps},  {68, 5, 36, kAllSteps},  {68, 10, 40, kAllSteps}, {68, 15, 40, kAllSteps},
    {68, 14, 36, 8},         {68, 14, 36, 34},        {68, 14, 36, 40},        {68, 14, 36, 36},
    {68, 14, 36, 40},

    {69, 4, 41, kAllSteps},  {69, 4, kHandler, 0},    {69, 3, 36, kAllSteps},  {69, 2, 36, kAllSteps},
    {69, 5, 36, kAllSteps},  {69, 10, 40, kAllSteps}, {69, 15, 40, kAllSteps}, {69, 16, 42, kAllSteps},
};

// MIDI device the show listens to besides its recording.
constexpr int kMidiDevice = 0;

}  // namespace

FigureScene::FigureScene(MidiInput& midi, bool highBudget) {
    growth_ = std::make_unique<BranchGrowth>();
    state_ = std::make_unique<BranchState>(*growth_);
    pool_ = std::make_unique<FigurePool>(highBudget);
    for (const auto& [code, picker] : pool_->registry().pickers()) state_->addPicker(code, picker);
    state_->buildRing();
    bindPatterns(midi);
    midi.open(kMidiDevice);

    // Greatest id first, so that the figures of smaller id lie on top. Ids
    // never change, so one stable sort fixes the order for good, the same
    // on every platform.
    figures_ = pool_->figures();
    std::stable_sort(figures_.begin(), figures_.end(),
                     [](const FigureBase* a, const FigureBase* b) { return a->id() > b->id(); });
}

void FigureScene::bindPatterns(MidiInput& midi) {
    std::vector<MidiPattern> patterns;
    for (int i = 0; i < kPatterns; ++i) patterns.emplace_back(kFirstPattern + i, kStepsPerQuarter, kStepsPerBar, kBars);
    for (const Binding& binding : kBindings) {
        listeners_.push_back(std::make_unique<BranchListener>(binding.code, *state_));
        MidiPattern& pattern = patterns[binding.pattern - kFirstPattern];
        if (binding.note == kHandler) {
            pattern.setHandler(listeners_.back().get());
        } else {
            pattern.addNote(listeners_.back().get(), binding.note, binding.step);
        }
    }
    for (const MidiPattern& pattern : patterns) pattern.applyTo(midi);
}

void FigureScene::frame(Renderer& renderer) {
    for (FigureBase* figure : figures_) figure->frame(renderer);
    growth_->update(renderer);
}
