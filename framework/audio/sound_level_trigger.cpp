#include "framework/audio/sound_level_trigger.h"

#include "framework/audio/audio_recorder.h"

int SoundLevelTrigger::poll() { return AudioRecorder::instance().level(from_, to_) >= threshold_ ? 1 : 0; }
