#include "framework/render/draw_ring.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>
#include <random>
#include <vector>

namespace {

// A driver that runs the batches issued to it when the test says so, or
// when the ring waits for it, and checks as it runs each batch that its
// bytes are still those written.
class SteeredDriver : public DrawRing::Progress {
public:
    explicit SteeredDriver(const std::vector<unsigned char>& memory) : memory_(memory) {}

    // The batch placed last reads these bytes, which hold this now.
    void reads(std::size_t offset, const std::vector<unsigned char>& bytes) { unissued_.push_back({0, offset, bytes}); }

    void issued(std::uint32_t batch) override {
        for (Read& read : unissued_) read.batch = batch;
        pending_.insert(pending_.end(), unissued_.begin(), unissued_.end());
        unissued_.clear();
        issued_ = batch;
    }

    std::uint32_t ran() const override { return ran_; }

    void catchUp() override {
        ++waits_;
        runUpTo(issued_);
    }

    void runUpTo(std::uint32_t batch) {
        while (!pending_.empty() && pending_.front().batch <= batch) {
            const Read& read = pending_.front();
            if (std::memcmp(memory_.data() + read.offset, read.bytes.data(), read.bytes.size()) != 0) ++overwritten_;
            pending_.pop_front();
        }
        ran_ = batch;
    }

    std::uint32_t lastIssued() const { return issued_; }
    int waits() const { return waits_; }
    // Batches whose bytes were written over before they ran.
    int overwritten() const { return overwritten_; }

private:
    struct Read {
        std::uint32_t batch;
        std::size_t offset;
        std::vector<unsigned char> bytes;
    };
    const std::vector<unsigned char>& memory_;
    std::deque<Read> unissued_;
    std::deque<Read> pending_;
    std::uint32_t issued_ = 0;
    std::uint32_t ran_ = 0;
    int waits_ = 0;
    int overwritten_ = 0;
};

// How far behind the ring the driver runs.
enum class Lag { None, ThreeBatches, Random, Stalled };

struct RingRun {
    int waits;
    int overwritten;
    int laps;
};

// Batches of up to an eighth of the ring, many laps of it, with the driver
// running as lag says; in the end the driver runs everything.
RingRun runRing(Lag lag) {
    // Neither a multiple of the alignment nor of the stretches.
    constexpr std::size_t kCapacity = 100003;
    std::vector<unsigned char> memory(kCapacity);
    auto owned = std::make_unique<SteeredDriver>(memory);
    SteeredDriver& driver = *owned;
    DrawRing ring(0, memory.data(), kCapacity, std::move(owned));
    std::mt19937 random(5);
    auto bytes = [&random](std::size_t count) {
        std::vector<unsigned char> data(count);
        const auto seed = static_cast<unsigned>(random());
        for (std::size_t i = 0; i < count; ++i) data[i] = static_cast<unsigned char>(seed + i * 13);
        return data;
    };
    int laps = 0;
    std::size_t lastOffset = 0;
    for (int batch = 0; batch < 1000; ++batch) {
        const std::vector<unsigned char> vertices = bytes(1 + random() % (kCapacity / 12));
        const std::vector<unsigned char> indices = bytes(4 * (1 + random() % (kCapacity / 96)));
        DrawRing::Placed placed{0, 0};
        EXPECT_TRUE(ring.place(vertices.data(), vertices.size(), indices.data(), indices.size(), placed));
        if (placed.vertices < lastOffset) ++laps;
        lastOffset = placed.vertices;
        driver.reads(placed.vertices, vertices);
        driver.reads(placed.indices, indices);
        ring.drawn();
        const std::uint32_t issued = driver.lastIssued();
        switch (lag) {
            case Lag::None: driver.runUpTo(issued); break;
            case Lag::ThreeBatches: driver.runUpTo(issued > 3 ? issued - 3 : 0); break;
            case Lag::Random:
                // Now and then some of what is pending.
                if (random() % 8 == 0) driver.runUpTo(driver.ran() + random() % (issued - driver.ran() + 1));
                break;
            case Lag::Stalled: break;
        }
    }
    driver.runUpTo(driver.lastIssued());
    return {driver.waits(), driver.overwritten(), laps};
}

}  // namespace

// The ring writes a batch over another only once the driver has run that
// one, and waits for the driver only when it has not.
TEST(DrawRingTest, WaitsOnlyForADriverStillBehindAndNeverWritesOverWhatItHasNotRun) {
    const RingRun keepingUp = runRing(Lag::None);
    EXPECT_GT(keepingUp.laps, 50);
    EXPECT_EQ(keepingUp.waits, 0);
    EXPECT_EQ(keepingUp.overwritten, 0);

    // Three batches of an eighth of the ring at most lie far behind the
    // stretch being written.
    const RingRun lagging = runRing(Lag::ThreeBatches);
    EXPECT_EQ(lagging.waits, 0);
    EXPECT_EQ(lagging.overwritten, 0);

    const RingRun wandering = runRing(Lag::Random);
    EXPECT_GT(wandering.waits, 0);
    EXPECT_EQ(wandering.overwritten, 0);

    // Once caught up, the driver has run the whole ring: the next wait is
    // due a lap later.
    const RingRun stalled = runRing(Lag::Stalled);
    EXPECT_GT(stalled.waits, 0);
    EXPECT_LE(stalled.waits, stalled.laps + 1);
    EXPECT_EQ(stalled.overwritten, 0);
}

TEST(DrawRingTest, ABatchLargerThanTheRingIsRefusedWithNothingWritten) {
    std::vector<unsigned char> memory(4096, 0xAB);
    auto owned = std::make_unique<SteeredDriver>(memory);
    SteeredDriver& driver = *owned;
    DrawRing ring(0, memory.data(), memory.size(), std::move(owned));
    const std::vector<unsigned char> vertices(4000, 1);
    const std::vector<unsigned char> indices(128, 2);
    DrawRing::Placed placed{0, 0};
    EXPECT_FALSE(ring.place(vertices.data(), vertices.size(), indices.data(), indices.size(), placed));
    EXPECT_EQ(memory, std::vector<unsigned char>(4096, 0xAB));
    EXPECT_TRUE(ring.place(vertices.data(), vertices.size(), indices.data(), 64, placed));
    EXPECT_EQ(driver.waits(), 0);
}
