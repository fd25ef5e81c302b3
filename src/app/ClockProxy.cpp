#include "app/ClockProxy.h"

#include "playback/MidiClock.h"

namespace strumox::app {

ClockProxy::ClockProxy(const playback::MidiClock& clock, QObject* parent) : QObject(parent), m_clock(clock) {}

bool ClockProxy::current(std::uint64_t run) const { return run == m_clock.run(); }

void ClockProxy::beat(std::uint64_t run)
{
    QMetaObject::invokeMethod(
        this, [this, run] { if (current(run)) emit beatDue(); }, Qt::QueuedConnection);
}

void ClockProxy::room(std::uint64_t run)
{
    QMetaObject::invokeMethod(
        this, [this, run] { if (current(run)) emit roomDue(); }, Qt::QueuedConnection);
}

void ClockProxy::allPlayed(std::uint64_t run)
{
    QMetaObject::invokeMethod(
        this,
        [this, run] {
            if (current(run) && m_clock.queued() == 0)
                emit allPlayedDue();
        },
        Qt::QueuedConnection);
}

void ClockProxy::marker(std::uint64_t run, std::uint8_t kind, std::uint8_t data1, std::uint8_t data2,
                        std::uint8_t data3)
{
    QMetaObject::invokeMethod(
        this,
        [this, run, kind, data1, data2, data3] {
            if (current(run))
                emit markerDue(kind, data1, data2, data3);
        },
        Qt::QueuedConnection);
}

}  // namespace strumox::app
