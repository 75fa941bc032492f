// framework/video: offline rendering to AVI, console and log; uses scene, render, clock, window, engine, platform.
#pragma once

#include <cstdint>

class SceneManager;
class WindowSystem;

// Renders the show frame by frame at a fixed clock step into "Vaduz.avi"
// (640 x 480, 30 frames per second, no sound) until the window is closed or
// the user confirms the abort question; returns the passes made.
uint64_t runOfflineLoop(SceneManager& scenes, WindowSystem& window);
