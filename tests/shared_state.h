#pragma once

#include <functional>

// Process-wide state (the program's singletons, the random generator, the
// tick source) goes back to its start after every test case, so that a test
// program passes run whole, in any order, as it does one case at a time.
// Each layer registers what it owns with a static ResetAfterEachTest.
struct ResetAfterEachTest {
    explicit ResetAfterEachTest(std::function<void()> reset);
};
