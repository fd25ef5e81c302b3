#include "playback/sinks/SynthSetup.h"

#include <unistd.h>

namespace strumox::playback::synth {

std::string defaultSoundfont()
{
    // The small General MIDI set first: it loads in a tenth of a second, and default-GM.sf2 is
    // whatever larger set the system's alternatives point at.
    for (const char* path : {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/default-GM.sf2"})
        if (::access(path, R_OK) == 0)
            return path;
    return {};
}

fluid_settings_t* newSettings()
{
    fluid_settings_t* settings = new_fluid_settings();
    if (settings)
        fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
    return settings;
}

void play(fluid_synth_t* synth, const TimedMessage& message)
{
    const int channel = message.status & 0x0F;
    const int data1 = message.data1 & 0x7F;
    const int data2 = message.data2 & 0x7F;
    switch (message.status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, data1); break;
    case 0x90:  // velocity 0 is a note off by the MIDI rules
        if (data2 == 0)
            fluid_synth_noteoff(synth, channel, data1);
        else
            fluid_synth_noteon(synth, channel, data1, data2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, data1 | (data2 << 7)); break;
    default: break;  // markers (1..4) and system messages never sound
    }
}

}  // namespace strumox::playback::synth
