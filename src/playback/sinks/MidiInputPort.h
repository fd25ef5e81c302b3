#pragma once
// An open MIDI input port. The program keeps one open on the chosen input device but uses none of
// its data, so everything that arrives is dropped at once (an unread queue would fill and warn).
#include <memory>
#include <string>

class RtMidiIn;

namespace strumox::playback {

class MidiInputPort {
public:
    // `portName` as the sequencer lists it (uncut). Never throws.
    explicit MidiInputPort(std::string portName);
    ~MidiInputPort();
    MidiInputPort(const MidiInputPort&) = delete;
    MidiInputPort& operator=(const MidiInputPort&) = delete;

    bool isOpen() const { return m_in != nullptr; }
    // Empty when open; otherwise why not, for the status bar.
    const std::string& problem() const { return m_problem; }
    const std::string& portName() const { return m_portName; }

private:
    std::string m_portName;
    std::unique_ptr<RtMidiIn> m_in;
    std::string m_problem;
};

}  // namespace strumox::playback
