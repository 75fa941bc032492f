#include "framework/scene/key_trigger.h"

#include "engine/core/exception.h"
#include "framework/input/key_code_table.h"
#include "framework/input/keyboard_listeners.h"
#include "framework/scene/render_context.h"

namespace {
constexpr int endOfKeys = 0xFF;
}  // namespace

KeyTrigger::KeyTrigger(const std::vector<int>& keyCodes) {
    KeyboardListeners* listeners = RenderContext::instance().getKeyboardListeners();
    if (!listeners) ZENTAC_THROW("key trigger made outside a scene's setup");
    for (int code : keyCodes) {
        if (code == endOfKeys) break;
        listeners->add(static_cast<int8_t>(KeyCodeTable::scanCode(code)), this);
    }
}

int KeyTrigger::value() {
    pressed_ = false;
    return getId();
}
