#include "framework/key_trigger.h"

#include "engine/exception.h"
#include "framework/key_code_table.h"
#include "framework/keyboard_listeners.h"
#include "framework/render_context.h"

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
