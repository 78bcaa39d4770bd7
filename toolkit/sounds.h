#pragma once
// The two sounds that end a run: a bright short chime for a completed run ("SystemAsterisk")
// and a low buzz for a failed one ("SystemHand"). They are short tones made by the program
// itself and played without waiting; where no audio device exists the toolkit's beep stands in.

#include <functional>

namespace pulmora {

enum class SystemSound {
    Asterisk, // the run completed
    Hand,     // the run failed
};

void playSystemSound(SystemSound sound);

// Receives the sounds instead of the speakers when set (tests). Returns the previous sink.
using SoundSink = std::function<void(SystemSound)>;
SoundSink setSoundSink(SoundSink sink);

} // namespace pulmora
