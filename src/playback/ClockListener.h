#pragma once
// What a running clock reports. A real-time clock calls these on its timing thread with plain
// values; the Qt proxy turns each into a queued signal on the GUI thread. A manual clock calls
// them on the thread that advances it.
#include <cstdint>

namespace strumox::playback {

class ClockListener {
public:
    virtual ~ClockListener() = default;
    // `run` numbers the clock's runs (it grows at every start and stop), so a receiver can drop
    // reports that were on their way when the run they belong to ended.
    virtual void beat(std::uint64_t run) = 0;                  // every 480 ticks after the start
    virtual void room(std::uint64_t run) = 0;                  // the queue can take events again
    virtual void allPlayed(std::uint64_t run) = 0;             // the last queued event was played
    virtual void marker(std::uint64_t run, std::uint8_t kind,  // a silent marker fell due: 1..4
                        std::uint8_t data1, std::uint8_t data2, std::uint8_t data3) = 0;
};

}  // namespace strumox::playback
