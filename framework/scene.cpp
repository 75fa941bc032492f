#include "framework/scene.h"

#include "engine/exception.h"
#include "framework/keyboard_listeners.h"
#include "framework/platform_backend.h"
#include "framework/render_context.h"
#include "framework/timer.h"

#include <cstdio>
#include <exception>

namespace {

void reportFailure(const char* entryPoint) {
    try {
        throw;
    } catch (const zentac::Exception& e) {
        std::fprintf(stderr, "scene %s failed: %s (%s:%d)\n", entryPoint, e.Message().Data(), e.File().Data(), e.Line());
    } catch (const zentac::Exception* e) {
        std::fprintf(stderr, "scene %s failed: %s\n", entryPoint, e->Message().Data());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "scene %s failed: %s\n", entryPoint, e.what());
    } catch (int code) {
        std::fprintf(stderr, "scene %s failed with code %d\n", entryPoint, code);
    } catch (...) {
        std::fprintf(stderr, "scene %s failed\n", entryPoint);
    }
}

}  // namespace

template <typename Step>
bool Scene::guarded(const char* entryPoint, Step step) {
    try {
        step();
        return true;
    } catch (...) {
        reportFailure(entryPoint);
        if (!fallback_) throw 0;
        return false;
    }
}

Scene::~Scene() { delete keyboardListeners_; }

void Scene::setup() {
    keyboardListeners_ = new KeyboardListeners;
    // Trigger constructors register with the maps the context holds.
    publishInputContext();
}

void Scene::reset() { publishInputContext(); }

void Scene::publishInputContext() {
    RenderContext& context = RenderContext::instance();
    context.setKeyboardListeners(keyboardListeners_);
}

void Scene::load() {
    if (!guarded("load", [this] {
            setup();
            init();
            loaded_ = true;
        })) {
        loaded_ = false;
    }
}

void Scene::enter() {
    if (!guarded("enter", [this] {
            reset();
            Timer::instance().reset();
            activate();
            running_ = true;
            activated_ = true;
        })) {
        activated_ = false;
    }
}

void Scene::update() {
    bool ok = guarded("update", [this] {
        if (loaded_ && activated_ && enabled_) {
            Timer::instance().update();
            if (isRunning()) frame();
            forwardClick();
        } else {
            Timer::instance().update();
            if (fallback_) fallback_->run();
        }
    });
    if (!ok) enabled_ = false;
}

void Scene::leave() {
    guarded("leave", [this] {
        deactivate();
        running_ = false;
    });
}

void Scene::finish() { shutdown(); }

void Scene::forwardClick() {
    if (!clickReceiver_) return;
    if (Platform::mouseClicked()) clickReceiver_->click(Platform::mouseX(), Platform::mouseY());
    clickReceiver_->idle(0, 0);
}
