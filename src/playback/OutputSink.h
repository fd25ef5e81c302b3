#pragma once
// Where due channel messages go: the built-in synthesizer, an ALSA port, a MIDI file, an offline
// WAV render, or a recording for tests. The clock calls a sink from its timing thread only (or
// from the thread driving a manual clock); a sink never calls back into the clock or the GUI.
#include <cstdint>
#include <string>

#include "playback/MidiEventRec.h"

namespace strumox::playback {

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // A channel message (note on/off, program change, control change) due at `tick` (absolute,
    // from the run's start). Real-time sinks play it now and may ignore the tick.
    virtual void send(const TimedMessage& message) = 0;
    // The clock's tempo for the ticks that follow, in microseconds per beat.
    virtual void tempoChanged(std::uint32_t microsecondsPerBeat) {}
    // Silences every sounding note on the channels whose bit is set (bit n = channel n), at
    // `tick`. Used by Stop and Pause, so nothing hangs. The default sends all-notes-off and
    // all-sound-off controllers.
    virtual void silence(std::uint16_t channelMask, std::uint64_t tick);
    // Empty when the sink works; otherwise why it cannot sound, in words for the status bar.
    virtual std::string problem() const { return {}; }
};

}  // namespace strumox::playback
