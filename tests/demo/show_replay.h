#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The show at one time of the main scene, as the replay saw it.
struct ShowPin {
    int atMs = 0;       // asked for
    int sceneMs = 0;    // the frame taken: the first at or after atMs
    uint64_t frame = 0; // what that frame drew
    uint64_t run = 0;   // what every frame drew, from the program's first up to it
    uint32_t draws = 0; // random numbers taken since the main scene's seed
    int items = 0;      // primitives and clears of the frame on the screen
};

struct ShowReplay {
    uint32_t startUpDraws = 0;  // taken while the scenes loaded
    int passes = 0;             // of the main loop, up to the quit
    int ignoredCalls = 0;       // state changes inside begin/end
    std::vector<ShowPin> pins;
};

// The whole show as the program plays it, without a window: the real scenes
// and the generated data under VORN_SHOW_FOLDER, the recorded events and MIDI,
// one pass of the main loop per step of the Timer's 71 a second (the tick
// count too), until the replayed Escape presses quit. Everything drawn goes
// into a draw record. Needs a process of its own: it changes the working
// folder and sets up the program's singletons for good.
ShowReplay replayShow(bool highBudget, const std::vector<int>& pinTimes);

std::string toText(const ShowReplay& replay);
ShowReplay replayFromText(const std::string& text);
