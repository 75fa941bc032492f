#include "framework/scene/midi_trigger.h"

#include "engine/core/exception.h"
#include "framework/midi/midi_key_registry.h"
#include "framework/midi/midi_listeners.h"
#include "framework/scene/render_context.h"

namespace {
constexpr int endOfData = -1;
}  // namespace

MidiTrigger::MidiTrigger(int channel, const std::vector<int>& data, int status, int sign) {
    MidiListeners* listeners = RenderContext::instance().getMidiListeners();
    if (!listeners) ZENTAC_THROW("MIDI trigger made outside a scene's setup");
    for (int value : data) {
        if (value == endOfData) break;
        listeners->add(MidiKeyRegistry::instance().getKey(channel, value, status, sign), this);
    }
}

int MidiTrigger::poll() {
    int hits = hits_;
    hits_ = 0;
    return hits;
}
