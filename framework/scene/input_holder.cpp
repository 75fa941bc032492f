#include "framework/scene/input_holder.h"

#include "framework/input/keyboard_device.h"
#include "framework/input/keyboard_listeners.h"
#include "framework/scene/render_context.h"

InputHolder& InputHolder::instance() {
    static InputHolder* holder = new InputHolder;
    return *holder;
}

void InputHolder::install() {
    device_ = new KeyboardDevice;
    KeyboardDevice::setKeyCallback(forwardKeyToScene);
}

void InputHolder::release() {
    delete device_;
    device_ = nullptr;
}

void forwardKeyToScene(unsigned char scanCode) {
    if (KeyboardListeners* listeners = RenderContext::instance().getKeyboardListeners()) {
        listeners->dispatch(static_cast<int8_t>(scanCode));
    }
}
