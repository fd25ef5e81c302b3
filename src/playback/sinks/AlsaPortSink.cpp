#include "playback/sinks/AlsaPortSink.h"

#include "playback/sinks/SequencerPorts.h"

namespace strumox::playback {

AlsaPortSink::AlsaPortSink(std::string portName) : m_portName(std::move(portName))
{
    std::string problem;
    m_out = sequencer::openPort<RtMidiOut>(
        m_portName, "Strumox Out",
        [](RtMidiError::Type type, const std::string& text, void* self) {
            if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
                static_cast<AlsaPortSink*>(self)->setProblem(text);
        },
        this, problem);
    m_problem = std::move(problem);
}

AlsaPortSink::~AlsaPortSink() = default;

void AlsaPortSink::send(const TimedMessage& message)
{
    if (!m_out || message.status < 0x80 || message.status >= 0xF0)
        return;
    // Program change and channel pressure carry one data byte, everything else two.
    const unsigned char kind = message.status & 0xF0;
    const unsigned char bytes[3] = {message.status, static_cast<unsigned char>(message.data1 & 0x7F),
                                    static_cast<unsigned char>(message.data2 & 0x7F)};
    m_out->sendMessage(bytes, kind == 0xC0 || kind == 0xD0 ? 2 : 3);
}

std::string AlsaPortSink::problem() const
{
    const std::lock_guard lock(m_problemMutex);
    return m_problem;
}

void AlsaPortSink::setProblem(const std::string& text)
{
    const std::lock_guard lock(m_problemMutex);
    m_problem = "The MIDI port " + m_portName + " failed: " + text;
}

}  // namespace strumox::playback
