#pragma once
// One queued event as the fillers hand it to the clock. Times are in ticks after the previously
// queued event (480 ticks a beat); the clock turns them into absolute ticks from the run's start.
#include <cstdint>

namespace strumox::playback {

constexpr int kTicksPerBeat = 480;
constexpr std::uint32_t kDefaultTempo = 500000;  // microseconds per beat: 120 beats a minute

struct MidiEventRec {
    std::uint32_t time = 0;  // ticks after the previously queued event
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint8_t data3 = 0;
    friend bool operator==(const MidiEventRec&, const MidiEventRec&) = default;
};

// Status 1..4 are silent markers handed back to the GUI when due, never to a sink.
enum MarkerKind : std::uint8_t { NoteMarker = 1, BeatMarker = 2, SlotMarker = 3, TabMarker = 4 };
inline bool isMarker(std::uint8_t status) { return status >= 1 && status <= 4; }

inline std::uint8_t noteOn(int channel) { return static_cast<std::uint8_t>(0x90 + (channel & 15)); }
inline std::uint8_t noteOff(int channel) { return static_cast<std::uint8_t>(0x80 + (channel & 15)); }
inline std::uint8_t programChange(int channel) { return static_cast<std::uint8_t>(0xC0 + (channel & 15)); }

// A dispatched channel message with the absolute tick it fell due at.
struct TimedMessage {
    std::uint64_t tick = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    friend bool operator==(const TimedMessage&, const TimedMessage&) = default;
};

}  // namespace strumox::playback
