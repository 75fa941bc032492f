#include "engine/core/exception.h"
#include "framework/midi/midi_key_registry.h"
#include "framework/midi/midi_listeners.h"
#include "framework/scene/midi_trigger.h"
#include "framework/scene/render_context.h"

#include <gtest/gtest.h>

TEST(MidiKeyRegistry, InternsEqualKindsAndRejectsOverlappingFields) {
    MidiKeyRegistry& registry = MidiKeyRegistry::instance();
    const MidiKey* up = registry.getKey(2, 7, 0xB0, +1);
    EXPECT_EQ(registry.getKey(2, 7, 0xB0, +1), up);
    EXPECT_EQ(registry.getKey(2, 7, 0xB0, 5), up) << "only the sign of the direction counts";
    EXPECT_NE(registry.getKey(2, 7, 0xB0, -1), up);
    EXPECT_NE(registry.getKey(2, 7, 0xB0, 0), up);
    EXPECT_NE(registry.getKey(1, 7, 0xB0, +1), up);
    EXPECT_EQ(up->channel, 2);
    EXPECT_EQ(up->data, 7);
    EXPECT_EQ(up->status, 0xB0);
    EXPECT_EQ(up->sign, 1);

    EXPECT_EQ(MidiKeyRegistry::pack(2, 7, 0xB0, +1), 0x4000000u | 0xB0u << 13 | 2u << 8 | 7u);
    EXPECT_EQ(MidiKeyRegistry::pack(31, 255, 0xFFF, 0), 0x1FFFFFFu);
    // Each of these would share bits with another field.
    EXPECT_THROW(MidiKeyRegistry::pack(32, 0, 0, 0), zentac::Exception);
    EXPECT_THROW(MidiKeyRegistry::pack(0, 256, 0, 0), zentac::Exception);
    EXPECT_THROW(MidiKeyRegistry::pack(0, 0, 0x1000, 0), zentac::Exception);
    EXPECT_THROW(MidiKeyRegistry::pack(-1, 0, 0, 0), zentac::Exception);
    EXPECT_THROW(MidiKeyRegistry::pack(0, -1, 0, 0), zentac::Exception);
    EXPECT_THROW(registry.getKey(0, 0, -1, 0), zentac::Exception);
}

TEST(MidiListeners, DispatchCountsOneHitOnEveryTriggerOfTheKey) {
    MidiListeners listeners;
    RenderContext::instance().setMidiListeners(&listeners);
    MidiTrigger first(2, {7}, 0xB0, +1);
    MidiTrigger second(2, {7, -1}, 0xB0, +1);
    MidiTrigger both(2, {7, 10}, 0xB0, +1);
    RenderContext::instance().setMidiListeners(nullptr);

    MidiKeyRegistry& registry = MidiKeyRegistry::instance();
    listeners.dispatch(registry.getKey(2, 7, 0xB0, +1));
    listeners.dispatch(registry.getKey(2, 10, 0xB0, +1));
    listeners.dispatch(registry.getKey(2, 7, 0xB0, -1));
    listeners.dispatch(registry.getKey(9, 9, 0x90, 0));
    EXPECT_EQ(first.poll(), 1);
    EXPECT_EQ(second.poll(), 1);
    EXPECT_EQ(both.poll(), 2) << "registered under both of its data values";
    EXPECT_EQ(both.poll(), 0) << "polling takes the hits";
}
