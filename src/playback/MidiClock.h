#pragma once
// Our sequencer clock: a bounded queue of timed events, played from tick 0 at the set tempo.
// Channel messages go to the sink when due; markers, beats, room in the queue and the end of the
// queue go to the listener. RealtimeClock times them on its own thread against a monotonic
// clock; ManualClock does it on the caller's thread when told to advance, for tests and offline
// rendering. Both share the queue rules here.
//
// Threads: every public function is for the controlling thread (the GUI thread in the program),
// never for a sink or a listener. The one exception is ManualClock, whose listener runs on the
// controlling thread anyway and may put events, flush, stop or pause from inside a report.
//
// The rules, in ticks (480 a beat) from the run's start:
// - An accepted event's tick is the sum of the time deltas of the events accepted since the last
//   stop (so events put before start begin at tick 0); after a flush, the sum restarts from the
//   tick the clock stands at. An event whose tick has already passed plays at once.
// - At one tick the beat comes first, then the events due at it in the order they were put.
// - room() follows a refused put once the queue has drained to half its capacity or less;
//   allPlayed() follows the dispatch that left the queue empty, after any room() due with it
//   (so a filler that refills from room() never sees the queue run dry in between).
// - Channel messages are 0x80..0xEF; markers are 1..4; anything else keeps its place in time
//   and is dropped.
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "playback/ClockListener.h"
#include "playback/MidiEventRec.h"
#include "playback/OutputSink.h"
#include "playback/PiMutex.h"

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

    explicit MidiClock(std::size_t capacity = kDefaultCapacity);  // a capacity of 0 counts as 1
    ~MidiClock() override;
    MidiClock(const MidiClock&) = delete;
    MidiClock& operator=(const MidiClock&) = delete;

    // Not owned. Waits while the timing thread is inside a call to the old one, so the old one
    // may be destroyed as soon as this returns. A null sink drops channel messages, a null
    // listener the reports.
    void setSink(OutputSink* sink);
    void setListener(ClockListener* listener);
    void setTempo(std::uint32_t microsecondsPerBeat);  // for the next start; 0 counts as 1
    std::uint32_t tempo() const;

    bool putMidiOut(const MidiEventRec& event) override;
    // Plays the queue from tick 0 and tells the sink the tempo first. Does nothing while running.
    void start();
    // Silences every channel used since start (OutputSink::silence, at the tick the clock stood
    // at), empties the queue and ends the run. Beats go on after the queue ran dry until this.
    void stop();
    // Holds the clock at the tick where it stands and ends every note sounding (a note-off for
    // each). Does nothing unless running and not paused.
    void pause();
    void restart();  // resumes after pause from the held tick; nothing is struck again
    void flush();    // drops queued events; the clock keeps running
    bool running() const;  // from start to stop, paused or not
    bool paused() const;
    std::size_t queued() const;  // events waiting in the queue
    std::size_t capacity() const { return m_capacity; }
    std::uint64_t run() const;   // grows at every start and stop

protected:
    // What Stop and Pause send to the sink: all-off for the channels in `channels`, then a
    // note-off for every (channel, key) in `notes`, at `tick`.
    struct Silence {
        std::uint64_t tick = 0;
        std::uint16_t channels = 0;
        std::array<std::bitset<128>, 16> notes{};
    };

    // The tick the clock stands at; called under m_mutex.
    virtual std::uint64_t nowTickLocked() const = 0;
    // The run starts at tick 0 / resumes at m_heldTick; called under m_mutex.
    virtual void beganLocked() {}
    virtual void resumedLocked() {}
    // Something the timing thread waits for may have changed; called without m_mutex.
    virtual void wake() {}
    // Hands a silence to the sink on the thread that may call it. This one calls it at once.
    virtual void deliver(const Silence& silence);

    // The tick of the next thing to do (a report owed, the tempo, a beat or an event), if running
    // and not paused. Under m_mutex.
    std::optional<std::uint64_t> nextDueLocked() const;
    // Does the next thing due at or before `upTo`: the sink or listener call is made without
    // m_mutex, under m_callMutex. False when nothing was due (or the clock is not running).
    bool dispatchOne(std::uint64_t upTo);
    // The queue is empty and no report is owed. Under m_mutex.
    bool idleLocked() const;
    void perform(const Silence& silence);

    mutable PiMutex m_mutex;  // the queue and the run's state; shared with a real-time thread
    // Held around every sink and listener call, so setSink / setListener can wait them out.
    // Recursive because a manual clock's listener may stop or pause from inside a report.
    std::recursive_mutex m_callMutex;

    bool m_running = false;
    bool m_paused = false;
    std::uint64_t m_heldTick = 0;         // where a pause holds the clock
    std::uint32_t m_runTempo = kDefaultTempo;  // microseconds per beat of the current run
    std::uint64_t m_allPlayedReports = 0;       // allPlayed() calls made, ever

private:
    struct Entry {
        std::uint64_t tick;
        std::uint8_t status, data1, data2, data3;
    };
    enum class Action { None, Tempo, Room, AllPlayed, Beat, Event };

    void clearQueueLocked();
    void trackLocked(const Entry& entry);

    const std::size_t m_capacity;
    std::vector<Entry> m_ring;  // m_capacity slots; m_size events from m_head on
    std::size_t m_head = 0;
    std::size_t m_size = 0;
    std::uint64_t m_lastTick = 0;  // tick of the last accepted event (the base of the next delta)

    OutputSink* m_sink = nullptr;
    ClockListener* m_listener = nullptr;
    std::uint32_t m_tempo = kDefaultTempo;
    std::uint64_t m_run = 0;
    std::uint64_t m_nextBeat = kTicksPerBeat;
    bool m_tempoOwed = false;   // the sink has not heard this run's tempo yet
    bool m_roomWanted = false;  // a put was refused and room() has not followed
    bool m_dryOwed = false;     // a dispatch emptied the queue and allPlayed() has not followed
    std::uint16_t m_usedChannels = 0;            // channels sent to since start
    std::array<std::bitset<128>, 16> m_sounding{};  // notes struck and not yet ended
};

}  // namespace strumox::playback
