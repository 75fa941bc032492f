// demo/scenes: the show's scenes (main, blank, pencil); uses every demo room and all below.
#pragma once

#include "framework/scene/scene.h"

#include <memory>
#include <string>

class BranchEventTrigger;
class FigureScene;
class Finale;
class PencilScene;
class Renderer;

// The show: scene 1, entered when the replayed jump fires. Its frame runs
// the show's time line from the scene time.
class MainScene : public Scene {
public:
    // Times in ms since the scene was entered.
    static constexpr int introEnd = 1515;
    static constexpr int pencilStart = 214000;
    static constexpr int blackout = 580687;

    explicit MainScene(Renderer* screen);
    ~MainScene() override;

    void init() override;
    void activate() override;
    void frame() override;
    void deactivate() override;

    FigureScene* figureScene() const { return figureScene_.get(); }
    Finale* finale() const { return finale_.get(); }
    PencilScene* pencilScene() const { return pencilScene_.get(); }
    const std::string& musicPath() const { return musicPath_; }

private:
    void bindEnvelopeKeys();

    Renderer* screen_;
    std::unique_ptr<FigureScene> figureScene_;
    std::unique_ptr<BranchEventTrigger> figureEvent_;
    std::unique_ptr<PencilScene> pencilScene_;
    std::unique_ptr<Finale> finale_;
    std::string musicPath_;
    std::string recordingPath_;
};
