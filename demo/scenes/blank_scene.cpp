#include "demo/scenes/blank_scene.h"

#include "framework/render/renderer.h"

void BlankScene::frame() { screen_->clear(0, 0, 0); }
