#include "tools/show_data/recording_writer.h"

#include <cstdio>

namespace show_data {

std::string formatRecording(const std::vector<TimedMidiMessage>& messages) {
    std::string text = "entries=" + std::to_string(2 * messages.size()) + "\n";
    char line[64];
    for (const TimedMidiMessage& entry : messages) {
        std::snprintf(line, sizeof line, "time=%d\nmididata=0x%x\n", static_cast<int>(entry.time),
                      static_cast<unsigned>(entry.message));
        text += line;
    }
    return text;
}

}  // namespace show_data
