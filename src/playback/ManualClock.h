#pragma once
// The clock without a thread: it moves only when told to, and calls the sink and the listener on
// the caller's thread. Tests step it across chosen ticks; offline rendering and the command line
// run it as fast as the sink takes events. Its listener may put events, flush, stop or pause
// from inside a report (the PlayPage filler refills from room()).
#include <cstdint>

#include "playback/MidiClock.h"

namespace strumox::playback {

class ManualClock : public MidiClock {
public:
    explicit ManualClock(std::size_t capacity = kDefaultCapacity);

    // Moves the clock to `tick` (absolute, from the run's start) and does everything due up to
    // and including it, in order. Does nothing while stopped or paused, nor backwards.
    void advanceTo(std::uint64_t tick);
    // Advances until the queue runs dry: allPlayed() was made (even if its handler stopped the
    // run) or there was nothing to play (true). False when the next thing to do lies past
    // `maxTick` (the clock then stands at `maxTick`) or the clock was stopped or paused.
    bool runUntilIdle(std::uint64_t maxTick);
    std::uint64_t now() const;  // the tick the clock stands at

protected:
    std::uint64_t nowTickLocked() const override { return m_now; }
    void beganLocked() override { m_now = 0; }

private:
    std::uint64_t m_now = 0;
};

}  // namespace strumox::playback
