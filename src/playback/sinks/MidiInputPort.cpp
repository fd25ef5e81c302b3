#include "playback/sinks/MidiInputPort.h"

#include "playback/sinks/SequencerPorts.h"

namespace strumox::playback {

MidiInputPort::MidiInputPort(std::string portName) : m_portName(std::move(portName))
{
    if (m_portName.empty()) {
        m_problem = "There is no such MIDI input device.";
        return;
    }
    // Later errors have no one to tell: the data is not used.
    const RtMidiErrorCallback ignore = [](RtMidiError::Type, const std::string&, void*) {};
    m_in = sequencer::openPort<RtMidiIn>(m_portName, "Strumox In", ignore, nullptr, m_problem);
    if (!m_in)
        return;
    m_in->ignoreTypes(true, true, true);  // no system exclusive, clock or active sensing
    m_in->setCallback([](double, std::vector<unsigned char>*, void*) {});
}

MidiInputPort::~MidiInputPort() = default;

}  // namespace strumox::playback
