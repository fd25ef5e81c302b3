#pragma once
// Event queues without a clock: one that keeps everything put into it, and one of a fixed
// capacity that answers "full" like the clock's queue, for driving a resumable filler the way
// the running clock does (tests, strumox-cli). Plain values; one thread.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "playback/MidiClock.h"
#include "playback/MidiEventRec.h"

namespace strumox::playback {

// Takes every event.
class CollectingQueue : public EventQueue {
public:
    bool putMidiOut(const MidiEventRec& event) override
    {
        events.push_back(event);
        return true;
    }
    std::vector<MidiEventRec> events;
};

// Takes events until `capacity` wait in it; drain() hands them over and makes room again.
class BoundedQueue : public EventQueue {
public:
    explicit BoundedQueue(std::size_t capacity) : m_capacity(capacity) {}
    bool putMidiOut(const MidiEventRec& event) override
    {
        if (m_waiting.size() >= m_capacity)
            return false;
        m_waiting.push_back(event);
        return true;
    }
    std::vector<MidiEventRec> drain()
    {
        std::vector<MidiEventRec> out;
        out.swap(m_waiting);
        return out;
    }
    std::size_t waiting() const { return m_waiting.size(); }

private:
    std::size_t m_capacity;
    std::vector<MidiEventRec> m_waiting;
};

// An event at its absolute tick: the sum of the times of every event queued up to it.
struct TickedEvent {
    std::uint64_t tick = 0;
    MidiEventRec event;
    friend bool operator==(const TickedEvent&, const TickedEvent&) = default;
};

inline std::vector<TickedEvent> withTicks(const std::vector<MidiEventRec>& events, std::uint64_t start = 0)
{
    std::vector<TickedEvent> out;
    out.reserve(events.size());
    for (const MidiEventRec& e : events) {
        start += e.time;
        out.push_back({start, e});
    }
    return out;
}

}  // namespace strumox::playback
