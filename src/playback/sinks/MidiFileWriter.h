#pragma once
// A Standard MIDI File of dispatched channel messages: 480 ticks a beat, one tempo, format 0 (one
// track) or format 1 (a tempo track, then the music). Silent markers (status 1..4) never reach a
// sink and are left out here too. Messages are written in tick order; equal ticks keep their
// order.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "playback/MidiEventRec.h"

namespace strumox::playback {

class MidiFileWriter {
public:
    enum class Format : std::uint16_t { SingleTrack = 0, TempoTrack = 1 };

    explicit MidiFileWriter(std::uint32_t microsecondsPerBeat, Format format = Format::SingleTrack);

    // The end of track falls no earlier than this absolute tick, so a run's silent end (the last
    // notes' release, a final marker) stays part of the song. Default 0: the last message.
    void setEndTick(std::uint64_t tick) { m_endTick = tick; }

    // The file's bytes. Empty when two successive messages are more than 0x0FFFFFFF ticks apart,
    // more than the format can say.
    std::vector<std::uint8_t> bytes(std::span<const TimedMessage> messages) const;

    // Writes PATH.tmp and renames it over `path`. Empty when written, otherwise why not.
    std::string write(const std::string& path, std::span<const TimedMessage> messages) const;

private:
    std::uint32_t m_tempo;
    Format m_format;
    std::uint64_t m_endTick = 0;
};

}  // namespace strumox::playback
