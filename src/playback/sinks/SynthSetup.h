#pragma once
// What the live synthesizer and the offline render share, so an exported WAV sounds like Play:
// where the soundfont comes from, the synthesis settings, and how a channel message reaches the
// synthesizer. Internal to strumox_sound; the public headers never include FluidSynth.
#include <string>

#include <fluidsynth.h>

#include "playback/MidiEventRec.h"

namespace strumox::playback::synth {

constexpr int kSampleRate = 44100;  // frames a second, live and offline

// The system's General MIDI soundfont: the first candidate that is a readable file; "" when none.
std::string defaultSoundfont();

// Settings at the synthesizer's own defaults (reverb and chorus on, as the stand-alone renderer
// uses them) at kSampleRate. Null only when FluidSynth cannot allocate them.
fluid_settings_t* newSettings();

// Plays one channel message (0x80..0xEF) now; anything else is ignored. Thread-safe as FluidSynth
// is: any thread may call it while another renders.
void play(fluid_synth_t* synth, const TimedMessage& message);

}  // namespace strumox::playback::synth
