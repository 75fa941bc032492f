#pragma once

#include <span>

// A scene's two groups of MIDI continuous controllers: for each group the
// channel and the controller numbers, each of which steps one value of the
// scene's controller group.
class MidiControllerLayout {
public:
    virtual ~MidiControllerLayout() = default;
    virtual int channelA() const = 0;
    virtual std::span<const int> controllersA() const = 0;
    virtual int channelB() const = 0;
    virtual std::span<const int> controllersB() const = 0;
};

// What a scene gets when it brings no layout of its own.
class NoControllersLayout : public MidiControllerLayout {
public:
    int channelA() const override { return -1; }
    std::span<const int> controllersA() const override { return {}; }
    int channelB() const override { return -1; }
    std::span<const int> controllersB() const override { return {}; }
};
