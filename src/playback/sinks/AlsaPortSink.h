#pragma once
// An ALSA sequencer output port (devices 1..n of the output list). A port that cannot be opened
// gives a sink that drops every message and says why in problem(); nothing throws, on the GUI
// thread that opens it nor on the clock's thread that sends.
#include <memory>
#include <mutex>
#include <string>

#include "playback/OutputSink.h"

class RtMidiOut;

namespace strumox::playback {

class AlsaPortSink : public OutputSink {
public:
    // `portName` as the sequencer lists it (uncut). Ports are found by name, not by position,
    // because a port plugged in or out since the list was read shifts every position after it.
    explicit AlsaPortSink(std::string portName);
    ~AlsaPortSink() override;
    AlsaPortSink(const AlsaPortSink&) = delete;
    AlsaPortSink& operator=(const AlsaPortSink&) = delete;

    void send(const TimedMessage& message) override;  // the clock's thread
    std::string problem() const override;             // any thread

    const std::string& portName() const { return m_portName; }

private:
    void setProblem(const std::string& text);

    std::string m_portName;
    std::unique_ptr<RtMidiOut> m_out;  // null when the port could not be opened
    mutable std::mutex m_problemMutex;
    std::string m_problem;
};

}  // namespace strumox::playback
