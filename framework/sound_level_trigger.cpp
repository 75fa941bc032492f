#include "framework/sound_level_trigger.h"

#include "framework/audio_recorder.h"

int SoundLevelTrigger::poll() { return AudioRecorder::instance().level(from_, to_) >= threshold_ ? 1 : 0; }
