#pragma once
// The one way from the clock's timing thread to the GUI: each report arrives as a queued signal
// with plain values. Reports of a run that has ended since they were sent are dropped on arrival,
// and so is an "all played" that a refill made untrue on its way (the queue holds events again).
#include <QObject>
#include <cstdint>

#include "playback/ClockListener.h"

namespace strumox::playback {
class MidiClock;
}

namespace strumox::app {

class ClockProxy : public QObject, public playback::ClockListener {
    Q_OBJECT
public:
    // `clock` outlives the proxy and reports to it (setListener is the caller's).
    explicit ClockProxy(const playback::MidiClock& clock, QObject* parent = nullptr);

    // ClockListener, on the timing thread.
    void beat(std::uint64_t run) override;
    void room(std::uint64_t run) override;
    void allPlayed(std::uint64_t run) override;
    void marker(std::uint64_t run, std::uint8_t kind, std::uint8_t data1, std::uint8_t data2,
                std::uint8_t data3) override;

signals:
    void beatDue();
    void roomDue();
    void allPlayedDue();
    void markerDue(int kind, int data1, int data2, int data3);

private:
    bool current(std::uint64_t run) const;
    const playback::MidiClock& m_clock;
};

}  // namespace strumox::app
