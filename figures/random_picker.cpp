#include "figures/random_picker.h"

#include "figures/random.h"
#include "framework/clock/timer.h"
#include "framework/triggers/triggerable.h"

#include <vector>

void RandomPicker::add(Triggerable* entry, int id) {
    entries_.push_back({entry, id});
    if (id == kRareId) ++rareCount_;
    rareTime_ = kNeverPicked;
}

bool RandomPicker::accept(const Entry& entry) {
    int now = Timer::instance().getTime();
    bool rare = entry.id == kRareId;
    bool awaitingFirstRare = rareTime_ < 0 && rareCount_ > 0;
    if (!awaitingFirstRare && !rare) return true;
    if (!rare) return false;
    if (!awaitingFirstRare && now - rareTime_ <= kRareHold) return false;
    rareTime_ = now;
    return true;
}

void RandomPicker::pick() {
    int n = count();
    if (n == 0) return;
    // With only rare entries, none can come while the hold lasts.
    bool holding = rareTime_ >= 0 && Timer::instance().getTime() - rareTime_ <= kRareHold;
    if (rareCount_ == n && holding) return;
    for (;;) {
        int i = static_cast<int>(randomRange(0.0f, static_cast<float>(n)));
        if (accept(entries_[i])) {
            entries_[i].target->trigger(0);
            return;
        }
    }
}

void RandomPicker::pickMany(int n) {
    int size = count();
    if (size == 0) return;
    std::vector<bool> drawn(size, false);
    for (int k = 0; k < n; ++k) {
        int slot = nextRandom() % size;
        if (drawn[slot]) continue;
        drawn[slot] = true;
        entries_[nextRandom() % size].target->trigger(0);
    }
}

void RandomPicker::triggerAt(int i) {
    if (i < 0 || i >= count()) return;
    randomRange(static_cast<float>(i), static_cast<float>(i + count() / 100));
    entries_[i].target->trigger(0);
}

void FigureRegistry::add(int code, int id, Triggerable* group) {
    std::unique_ptr<RandomPicker>& picker = pickers_[code];
    if (!picker) picker = std::make_unique<RandomPicker>();
    picker->add(group, id);
}

std::map<int, RandomPicker*> FigureRegistry::pickers() const {
    std::map<int, RandomPicker*> copy;
    for (const auto& [code, picker] : pickers_) copy.emplace(code, picker.get());
    return copy;
}

RandomPicker* FigureRegistry::pickerFor(int code) const {
    auto found = pickers_.find(code);
    return found == pickers_.end() ? nullptr : found->second.get();
}
