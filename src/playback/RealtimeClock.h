#pragma once
// The clock the program plays with: one timing thread, started with the clock and joined when it
// is destroyed, sleeps on the steady clock until the next due time (a condition variable for the
// bulk, a short spin for the last fraction of a millisecond) and then hands the due things to the
// sink and the listener, in order. The listener is called on the timing thread and must return at
// once (the program's proxy posts to the GUI thread). Nothing thrown by a sink or a listener
// leaves the thread; the call that threw is dropped.
//
// The controlling thread never waits for the timing thread except while it is inside one sink or
// listener call: setSink, setListener, stop and pause (whose silencing the timing thread sends,
// since a sink is only ever called from there).
#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "playback/MidiClock.h"

namespace strumox::playback {

class RealtimeClock : public MidiClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    // How the timing thread ended up scheduled: it asks for a real-time priority first (a
    // sequencer late by a scheduler's time slice is audibly late on a busy machine), then for a
    // better nice value, and otherwise runs as any thread. The system decides what it may have.
    enum class Priority { Pending, Normal, Nice, Realtime };

    // `raisePriority` false keeps the thread at the normal priority (for comparisons).
    explicit RealtimeClock(std::size_t capacity = kDefaultCapacity, bool raisePriority = true);
    ~RealtimeClock() override;  // stops a run (silencing it) and joins the thread

    Priority priority() const { return m_priority.load(); }

    // When `tick` of the current run falls due, as things stand (a pause moves the ticks after
    // it). Sinks that stamp their messages and the latency bench use it.
    TimePoint dueTime(std::uint64_t tick) const;

protected:
    std::uint64_t nowTickLocked() const override;
    void beganLocked() override;
    void resumedLocked() override;
    void wake() override;
    void deliver(const Silence& silence) override;

private:
    void loop();
    TimePoint dueTimeLocked(std::uint64_t tick) const;

    // The run's time line: tick m_originTick fell due at m_originTime, at m_runTempo.
    TimePoint m_originTime{};
    std::uint64_t m_originTick = 0;

    PiCondition m_wakeUp;     // for the timing thread
    PiCondition m_delivered;  // for a controlling thread waiting for a silence
    std::vector<Silence> m_silences;      // waiting for the timing thread
    std::uint64_t m_silencesPosted = 0;
    std::uint64_t m_silencesDone = 0;
    bool m_quit = false;
    const bool m_raisePriority;
    std::atomic<Priority> m_priority{Priority::Pending};
    std::thread m_thread;  // last: started once everything above exists
};

}  // namespace strumox::playback
