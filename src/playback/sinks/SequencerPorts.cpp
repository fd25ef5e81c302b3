#include "playback/sinks/SequencerPorts.h"

namespace strumox::playback::sequencer {

namespace {

// Errors while opening, before the caller's report is in place, land here.
void keepError(RtMidiError::Type type, const std::string& text, void* problem)
{
    if (type != RtMidiError::WARNING && type != RtMidiError::DEBUG_WARNING)
        *static_cast<std::string*>(problem) = text;
}

template <class T>
std::unique_ptr<T> newClient(std::string& problem)
{
    try {
        // Only the ALSA sequencer: the other compiled interface (JACK) would try to reach a
        // server and list ports of another kind.
        return std::make_unique<T>(RtMidi::LINUX_ALSA, kClientName);
    } catch (const std::exception&) {  // RtMidiError: no /dev/snd/seq, or no client allowed
        problem = "No ALSA sequencer is available, so there are no MIDI ports.";
    }
    return nullptr;
}

}  // namespace

template <class T>
std::vector<std::string> portNames(std::string& problem)
{
    problem.clear();
    std::vector<std::string> names;
    const std::unique_ptr<T> client = newClient<T>(problem);
    if (!client)
        return names;
    client->setErrorCallback(keepError, &problem);
    const unsigned count = client->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        std::string name = client->getPortName(i);
        if (!name.empty())  // a port that vanished while we listed
            names.push_back(std::move(name));
    }
    return names;
}

template <class T>
std::unique_ptr<T> openPort(const std::string& portName, const std::string& ourPortName,
                            RtMidiErrorCallback report, void* context, std::string& problem)
{
    problem.clear();
    std::unique_ptr<T> client = newClient<T>(problem);
    if (!client)
        return nullptr;
    std::string error;
    client->setErrorCallback(keepError, &error);
    const unsigned count = client->getPortCount();
    for (unsigned i = 0; i < count; ++i) {
        if (client->getPortName(i) != portName)
            continue;
        client->openPort(i, ourPortName);
        if (!client->isPortOpen()) {
            problem = "The MIDI port " + portName + " could not be opened" + (error.empty() ? "." : ": " + error);
            return nullptr;
        }
        client->setErrorCallback(report, context);
        return client;
    }
    problem = "The MIDI port " + portName + " is not there any more.";
    return nullptr;
}

template std::vector<std::string> portNames<RtMidiOut>(std::string&);
template std::vector<std::string> portNames<RtMidiIn>(std::string&);
template std::unique_ptr<RtMidiOut> openPort<RtMidiOut>(const std::string&, const std::string&, RtMidiErrorCallback,
                                                        void*, std::string&);
template std::unique_ptr<RtMidiIn> openPort<RtMidiIn>(const std::string&, const std::string&, RtMidiErrorCallback,
                                                      void*, std::string&);

}  // namespace strumox::playback::sequencer
