#include "tests/shared_state.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

std::vector<std::function<void()>>& resets() {
    static std::vector<std::function<void()>> all;
    return all;
}

class SharedStateReset : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo&) override {
        for (const auto& reset : resets()) reset();
    }
};

}  // namespace

ResetAfterEachTest::ResetAfterEachTest(std::function<void()> reset) { resets().push_back(std::move(reset)); }

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new SharedStateReset);
    return RUN_ALL_TESTS();
}
