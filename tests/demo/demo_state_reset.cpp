#include "demo/shared/demo_clock.h"
#include "demo/pencil/pencil_envelopes.h"
#include "tests/shared_state.h"

namespace {

const ResetAfterEachTest demoState([] {
    DemoClock::instance().resetToStart();
    PencilEnvelopes::instance().resetToStart();
});

}  // namespace
