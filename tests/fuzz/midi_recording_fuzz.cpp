// Reads the input as the MIDI recording data/audio/vorn.txt.
#include <cstddef>
#include <cstdint>

#include "framework/midi/midi_recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    parseMidiRecording(reinterpret_cast<const char*>(data), size);
    return 0;
}
