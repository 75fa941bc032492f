#pragma once

#include "framework/scene/scene.h"

class Renderer;

// Scene 0: black until the show moves on.
class BlankScene : public Scene {
public:
    explicit BlankScene(Renderer* screen) : screen_(screen) {}

    void frame() override;

private:
    Renderer* screen_;
};
