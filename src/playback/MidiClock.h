#pragma once
// Our sequencer clock: a bounded queue of timed events, played from tick 0 at the set tempo.
// Channel messages go to the sink when due; markers, beats, room in the queue and the end of the
// queue go to the listener. RealtimeClock times them on its own thread against a monotonic
// clock; ManualClock does it on the caller's thread when told to advance, for tests and offline
// rendering. Both share the queue rules here.
//
// Threads: every public function is for the controlling thread (the GUI thread in the program),
// never for a sink or a listener.
#include <cstddef>
#include <cstdint>

#include "playback/ClockListener.h"
#include "playback/MidiEventRec.h"
#include "playback/OutputSink.h"

namespace strumox::playback {

// What the fillers (strum, scale run, PlayPage, tab) see of the clock.
class EventQueue {
public:
    virtual ~EventQueue() = default;
    // True: queued. False: the queue is full, nothing was taken; wait for room and put the same
    // event (with the same time) again.
    virtual bool putMidiOut(const MidiEventRec& event) = 0;
};

class MidiClock : public EventQueue {
public:
    static constexpr std::size_t kDefaultCapacity = 512;
    // Our layer's version, major in the high byte, minor in the low one.
    static constexpr std::uint16_t kVersion = 0x0100;

    explicit MidiClock(std::size_t capacity = kDefaultCapacity);
    ~MidiClock() override;

    void setSink(OutputSink* sink);              // not owned; null drops channel messages
    void setListener(ClockListener* listener);   // not owned
    void setTempo(std::uint32_t microsecondsPerBeat);  // for the next start
    std::uint32_t tempo() const;

    bool putMidiOut(const MidiEventRec& event) override;
    void start();    // plays the queue from tick 0
    void stop();     // silences every channel used in the run, empties the queue
    void pause();    // holds the clock where it stands and silences sounding notes
    void restart();  // resumes after pause; nothing is struck again
    void flush();    // drops queued events; the clock keeps running
    bool running() const;
    bool paused() const;
    std::size_t queued() const;  // events waiting in the queue
    std::uint64_t run() const;   // grows at every start and stop
};

}  // namespace strumox::playback
