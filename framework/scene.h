#pragma once

class KeyboardListeners;

// Runs in place of a scene whose entry point failed (when one is set).
class SceneFallback {
public:
    virtual ~SceneFallback() = default;
    virtual void run() = 0;
};

// Optionally told about mouse clicks while its scene runs.
class ClickReceiver {
public:
    virtual ~ClickReceiver() = default;
    virtual void idle(int x, int y) = 0;
    virtual void click(int x, int y) = 0;
};

// One self-contained part of the show: loaded once, entered and left when
// the show switches to and from it, updated once per frame while current.
class Scene {
public:
    Scene() = default;
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Hooks, in the order the manager reaches them.
    virtual void setup();
    virtual void reset();
    virtual void init() {}
    virtual void shutdown() {}
    virtual void activate() {}
    virtual void frame() {}
    virtual void deactivate() {}
    virtual bool isRunning() { return running_; }

    // Entry points. Each turns any failure into the integer 0 (after
    // telling standard error why), unless a fallback is set.
    void load();
    void enter();
    void update();
    void leave();
    void finish();

    void setFallback(SceneFallback* fallback) { fallback_ = fallback; }
    void setClickReceiver(ClickReceiver* receiver) { clickReceiver_ = receiver; }
    void disableDefaultControls() { defaultControls_ = false; }
    bool wantsDefaultControls() const { return defaultControls_; }
    void publishInputContext();

    bool isLoaded() const { return loaded_; }
    bool isActivated() const { return activated_; }
    bool isEnabled() const { return enabled_; }

protected:
    KeyboardListeners* keyboardListeners() const { return keyboardListeners_; }

private:
    template <typename Step>
    bool guarded(const char* entryPoint, Step step);
    void forwardClick();

    ClickReceiver* clickReceiver_ = nullptr;
    KeyboardListeners* keyboardListeners_ = nullptr;
    bool running_ = false;
    SceneFallback* fallback_ = nullptr;
    bool loaded_ = false;
    bool activated_ = false;
    bool enabled_ = true;
    bool defaultControls_ = true;
};
