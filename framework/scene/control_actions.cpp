#include "framework/scene/control_actions.h"

#include "framework/window/platform_backend.h"
#include "framework/scene/scene_manager.h"
#include "framework/clock/timer.h"

#include <cstdint>

void TriplePressQuitAction::trigger(int) {
    int now = Timer::instance().getTime();
    // 64-bit: the first press starts far in the past.
    int64_t sinceFirst = static_cast<int64_t>(now) - firstPress_;
    if (sinceFirst >= 1000 || sinceFirst <= -1000) {
        firstPress_ = now;
        presses_ = 0;
        return;
    }
    ++presses_;
    if (presses_ >= 2) Platform::requestQuit();
}

void JumpToSceneAction::trigger(int) { SceneManager::instance().switchTo(scene_); }
