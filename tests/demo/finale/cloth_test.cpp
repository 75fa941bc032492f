#include "demo/finale/cloth.h"
#include "demo/finale/wind_gust.h"
#include "figures/random.h"
#include "tests/fake_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr float rest = 50.0f / 32.0f;
const Vec2 anchor{-70.0f, -62.5f};

// Verlet cloth over a fake clock, laid out at scene time 1000.
class ClothTest : public FakeClockTest {
protected:
    void SetUp() override {
        FakeClockTest::SetUp();
        setSceneTime(1000);
        cloth->setup(anchor);
    }

    float longestEdge() const {
        auto at = [this](int r, int c) { return cloth->particle(r, c).position; };
        float longest = 0;
        for (int r = 0; r < Cloth::side; ++r) {
            for (int c = 0; c + 1 < Cloth::side; ++c) {
                longest = std::max({longest, length(at(r, c) - at(r, c + 1)), length(at(c, r) - at(c + 1, r))});
            }
        }
        return longest;
    }

    std::unique_ptr<Cloth> cloth = std::make_unique<Cloth>();
};

void expectNear(Vec3 got, Vec3 want) {
    EXPECT_NEAR(got.x, want.x, 1e-4f);
    EXPECT_NEAR(got.y, want.y, 1e-4f);
    EXPECT_NEAR(got.z, want.z, 1e-4f);
}

}  // namespace

TEST_F(ClothTest, OneStepPerFiveMillisecondsOfTheClothClock) {
    cloth->simulate();
    EXPECT_TRUE(cloth->clockStarted());
    EXPECT_EQ(cloth->simulatedTime(), 0);
    // Simulated time counts half milliseconds, 10 a step: 50 ms run ten
    // steps, 3 ms one or none.
    struct Frame {
        int sceneTime;
        int simulated;
    };
    for (Frame frame : {Frame{1050, 100}, Frame{1053, 110}, Frame{1056, 120}, Frame{1059, 120}}) {
        setSceneTime(frame.sceneTime);
        cloth->simulate();
        EXPECT_EQ(cloth->simulatedTime(), frame.simulated) << frame.sceneTime;
    }
}

TEST_F(ClothTest, FirstStepFeelsGravityAloneThenTheWindTakesTheCloth) {
    cloth->simulate();
    Vec3 start = cloth->particle(31, 0).position;
    setSceneTime(1005);
    cloth->simulate();
    // No normals before the first step: neither wind nor damping acts yet.
    expectNear(cloth->particle(31, 0).position - start, {0, -9.8f * 1.5f * 0.01f * 0.01f, 0});

    seedRandom(3);
    Vec3 lastCorner = cloth->particle(31, 0).position;
    int still = 0;
    for (int now = 1016; now <= 9000; now += 16) {
        setSceneTime(now);
        cloth->simulate();
        expectNear(cloth->particle(0, 31).position, {anchor.x, anchor.y, 0});
        Vec3 corner = cloth->particle(31, 0).position;
        still += length(corner - lastCorner) < 1e-3f;
        lastCorner = corner;
    }
    EXPECT_LT(still, 5) << "the cloth keeps moving";
    float lowest = anchor.y, highest = anchor.y;
    for (int r = 0; r < Cloth::side; ++r) {
        for (int c = 0; c < Cloth::side; ++c) {
            Vec3 p = cloth->particle(r, c).position;
            ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << r << "," << c;
            EXPECT_NEAR(length(cloth->normal(r, c)), 1.0f, 1e-3f) << r << "," << c;
            lowest = std::min(lowest, p.y);
            highest = std::max(highest, p.y);
        }
    }
    EXPECT_GT(highest - lowest, 20.0f) << "no longer lying flat";
    EXPECT_LT(longestEdge(), 2 * rest) << "the constraints hold the weave together";

    cloth->pin({10, 20});
    setSceneTime(9016);
    cloth->simulate();
    expectNear(cloth->particle(0, 31).position, {10, 20, 0});
}

TEST(WindGust, TurnsAboutZWithinItsBounds) {
    expectNear(WindGust::turned(0.2f), {std::cos(0.2f), std::sin(0.2f), 0});
    expectNear(WindGust::turned(-0.5f), {-0.3f, -0.3f, -0.3f});
    expectNear(WindGust::turned(0.5f), {0.4f, 0.4f, 0.4f});

    WindGust wind;
    expectNear(wind.vector(), {300, 0, 0});
    seedRandom(11);
    int expected = nextRandom();
    seedRandom(11);
    wind.update(0);
    EXPECT_EQ(nextRandom(), expected) << "no change and no draw before the first change time";

    int turns = 0;
    Vec3 last = wind.direction();
    for (int now = 1; now < 600000; now += 20) {
        int due = wind.nextChange();
        wind.update(now);
        if (now <= due) continue;
        EXPECT_GE(wind.nextChange(), now);
        EXPECT_LT(wind.nextChange(), now + 3000);
        EXPECT_GE(wind.strength(), WindGust::minStrength);
        EXPECT_LE(wind.strength(), WindGust::maxStrength);
        EXPECT_GE(wind.direction().y, -0.3f);
        EXPECT_LE(wind.direction().y, 0.4f);
        turns += length(wind.direction() - last) > 0;
        last = wind.direction();
    }
    EXPECT_GT(turns, 50);
}
