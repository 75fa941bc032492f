#pragma once

#include <vector>

class Scene;
class SceneFallback;

// The ordered list of scenes and the current one.
class SceneManager {
public:
    static SceneManager& instance();
    // Back to the state of a fresh process (test programs run many cases in one).
    void resetToStart();

    void setFirst(Scene* scene);
    void addScene(Scene* scene);
    void switchTo(unsigned index);
    void loadAll();
    void update();
    void finishAll();
    // Every scene logs its live firings to the event recorder.
    void recordAll();
    // Loads the event list and lets every scene replay it.
    void playbackAll();
    // At the end of a recording run: asks, and saves the event list on Yes.
    void askSaveEvents();
    void setFallback(SceneFallback* fallback) { fallback_ = fallback; }

    unsigned currentIndex() const { return current_; }
    Scene* current() const { return current_ < scenes_.size() ? scenes_[current_] : nullptr; }
    unsigned count() const { return static_cast<unsigned>(scenes_.size()); }

private:
    SceneManager();

    std::vector<Scene*> scenes_;
    SceneFallback* fallback_ = nullptr;
    unsigned current_ = 0;
};
