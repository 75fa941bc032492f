#include "framework/input_holder.h"

#include "framework/keyboard_device.h"
#include "framework/keyboard_listeners.h"
#include "framework/render_context.h"

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
