#include "playback/sinks/OutputDevices.h"

#include "playback/sinks/AlsaPortSink.h"
#include "playback/sinks/FluidSynthSink.h"
#include "playback/sinks/SequencerPorts.h"

namespace strumox::playback {

namespace {

// What openOutput gives for a device number that is not in the list.
class MissingDeviceSink : public OutputSink {
public:
    explicit MissingDeviceSink(int index) : m_problem("There is no MIDI output device " + std::to_string(index) + ".") {}
    void send(const TimedMessage&) override {}
    void silence(std::uint16_t, std::uint64_t) override {}
    std::string problem() const override { return m_problem; }

private:
    std::string m_problem;
};

bool inRange(int index, const std::vector<std::string>& list)
{
    return index >= 0 && static_cast<std::size_t>(index) < list.size();
}

}  // namespace

OutputDevices::OutputDevices()
{
    refresh();
}

void OutputDevices::refresh()
{
    std::string inputProblem;
    m_outputPorts = sequencer::portNames<RtMidiOut>(m_portsProblem);
    m_inputPorts = sequencer::portNames<RtMidiIn>(inputProblem);
    if (m_portsProblem.empty())
        m_portsProblem = std::move(inputProblem);
}

int OutputDevices::outputCount() const
{
    return 1 + static_cast<int>(m_outputPorts.size());
}

int OutputDevices::inputCount() const
{
    return static_cast<int>(m_inputPorts.size());
}

std::string OutputDevices::outputName(int index) const
{
    if (index == 0)
        return kBuiltInSynthesizer;
    return inRange(index - 1, m_outputPorts) ? cutName(m_outputPorts[static_cast<std::size_t>(index - 1)]) : "";
}

std::string OutputDevices::inputName(int index) const
{
    return inRange(index, m_inputPorts) ? cutName(m_inputPorts[static_cast<std::size_t>(index)]) : "";
}

std::unique_ptr<OutputSink> OutputDevices::openOutput(int index) const
{
    if (index == 0)
        return std::make_unique<FluidSynthSink>();
    if (!inRange(index - 1, m_outputPorts))
        return std::make_unique<MissingDeviceSink>(index);
    return std::make_unique<AlsaPortSink>(m_outputPorts[static_cast<std::size_t>(index - 1)]);
}

std::unique_ptr<MidiInputPort> OutputDevices::openInput(int index) const
{
    // An unknown number opens nothing and says so through the port's own problem text.
    return std::make_unique<MidiInputPort>(inRange(index, m_inputPorts) ? m_inputPorts[static_cast<std::size_t>(index)]
                                                                        : std::string());
}

std::string OutputDevices::cutName(const std::string& name)
{
    if (name.size() <= kMaxNameLength)
        return name;
    std::size_t end = kMaxNameLength;
    // Back off over continuation bytes (10xxxxxx) to the start of the character the cut splits.
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80)
        --end;
    return name.substr(0, end);
}

}  // namespace strumox::playback
