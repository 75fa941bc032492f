#include "demo/blank_scene.h"

#include "framework/renderer.h"

void BlankScene::frame() { screen_->clear(0, 0, 0); }
