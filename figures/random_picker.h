#pragma once

#include <map>
#include <memory>
#include <vector>

class Triggerable;

// The pre-built figures of one group code, of which the show starts random
// ones. Figures of the rare id come first after a fill and then at most once
// in any 45000 ms of scene time; the others are never held back.
class RandomPicker {
public:
    static constexpr int kRareId = 100;
    static constexpr int kRareHold = 45000;

    // Entries are not owned and keep their order.
    void add(Triggerable* entry, int id);
    // Triggers one random entry that the hold allows. Does nothing when the
    // picker is empty or only held entries are left.
    void pick();
    // n times: a first draw picks a slot, and each slot not drawn before in
    // this call triggers the entry of a second draw (entries may repeat).
    void pickMany(int n);
    // Triggers entry i once after one draw that goes unused; an index out of
    // range does nothing and draws nothing.
    void triggerAt(int i);
    int count() const { return static_cast<int>(entries_.size()); }

private:
    struct Entry {
        Triggerable* target;
        int id;
    };

    // Whether the entry may be picked now; an accepted rare entry starts
    // the hold.
    bool accept(const Entry& entry);

    static constexpr int kNeverPicked = -10000000;

    std::vector<Entry> entries_;
    int rareCount_ = 0;
    int rareTime_ = kNeverPicked;
};

// One random picker per group code, each made with its first entry.
class FigureRegistry {
public:
    void add(int code, int id, Triggerable* group);
    // Ascending code order.
    std::map<int, RandomPicker*> pickers() const;
    // Null for a code without figures.
    RandomPicker* pickerFor(int code) const;

private:
    std::map<int, std::unique_ptr<RandomPicker>> pickers_;
};
