#include "figures/element.h"
#include "figures/main_envelopes.h"
#include "figures/random.h"
#include "figures/smooth_blend.h"
#include "tests/shared_state.h"

namespace {

const ResetAfterEachTest figuresState([] {
    seedRandom(1);
    MainEnvelopes::instance().resetToStart();
    ElementPool::instance().resetToStart();
    resetSmoothBlend();
});

}  // namespace
