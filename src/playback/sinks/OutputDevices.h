#pragma once
// The MIDI devices the program can choose from: output 0 is the built-in synthesizer, outputs
// 1..n and inputs 0..m-1 are the ALSA sequencer's ports. Reading the lists asks the sequencer for
// its port names only (a few milliseconds); it opens no port and starts no synthesizer. Without an
// ALSA sequencer (no /dev/snd) there are no ports, and portsProblem() says why. GUI thread.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "playback/OutputSink.h"
#include "playback/sinks/MidiInputPort.h"

namespace strumox::playback {

class OutputDevices {
public:
    static constexpr const char* kBuiltInSynthesizer = "Built-in Synthesizer";
    // Device names are at most 31 bytes, as they fitted a 32-byte buffer with its terminator.
    static constexpr std::size_t kMaxNameLength = 31;

    OutputDevices();  // reads the port lists
    void refresh();   // reads them again

    int outputCount() const;  // at least 1: the built-in synthesizer
    int inputCount() const;   // 0 when there is no input port
    // Cut to kMaxNameLength; "" for an index out of range.
    std::string outputName(int index) const;
    std::string inputName(int index) const;
    // Empty when the sequencer answered; otherwise why there are no ports.
    const std::string& portsProblem() const { return m_portsProblem; }

    // Never null, never throws. A device that is gone or cannot be opened gives a sink that drops
    // every message and whose problem() says why. Output 0 starts the synthesizer in the
    // background (see FluidSynthSink).
    std::unique_ptr<OutputSink> openOutput(int index) const;
    // Never null, never throws; isOpen() and problem() tell how it went.
    std::unique_ptr<MidiInputPort> openInput(int index) const;

    // The first kMaxNameLength bytes of a name, shortened further so a UTF-8 character is never
    // split.
    static std::string cutName(const std::string& name);

private:
    std::vector<std::string> m_outputPorts;  // uncut, as the sequencer names them
    std::vector<std::string> m_inputPorts;
    std::string m_portsProblem;
};

}  // namespace strumox::playback
