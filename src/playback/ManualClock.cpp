#include "playback/ManualClock.h"

#include <algorithm>

namespace strumox::playback {

ManualClock::ManualClock(std::size_t capacity) : MidiClock(capacity) {}

void ManualClock::advanceTo(std::uint64_t tick)
{
    for (;;) {
        std::uint64_t at = 0;
        {
            std::lock_guard lock(m_mutex);
            const auto next = nextDueLocked();
            if (!next || *next > tick) {
                if (m_running && !m_paused)
                    m_now = std::max(m_now, tick);
                return;
            }
            // Step to each due thing in turn, so a report's handler sees the clock where it is.
            at = m_now = std::max(m_now, *next);
        }
        if (!dispatchOne(at))
            return;
    }
}

bool ManualClock::runUntilIdle(std::uint64_t maxTick)
{
    std::uint64_t reportsBefore = 0;
    {
        std::lock_guard lock(m_mutex);
        reportsBefore = m_allPlayedReports;
    }
    for (;;) {
        std::uint64_t at = 0;
        {
            std::lock_guard lock(m_mutex);
            if (m_allPlayedReports != reportsBefore)  // even if its handler stopped the run
                return true;
            if (!m_running || m_paused)
                return false;
            if (idleLocked())
                return true;
            const auto next = nextDueLocked();
            if (*next > maxTick) {
                m_now = std::max(m_now, maxTick);
                return false;
            }
            at = m_now = std::max(m_now, *next);
        }
        if (!dispatchOne(at))
            return false;
    }
}

std::uint64_t ManualClock::now() const
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

}  // namespace strumox::playback
