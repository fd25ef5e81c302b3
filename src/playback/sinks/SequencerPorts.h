#pragma once
// What the output and input ports share of RtMidi: the ALSA sequencer as the only interface, the
// names the program shows to other sequencer clients, and opening a port by its name with every
// error turned into text. Internal to strumox_sound.
#include <memory>
#include <string>
#include <vector>

#include <rtmidi/RtMidi.h>

namespace strumox::playback::sequencer {

constexpr const char* kClientName = "Strumox";

// The port names of a fresh RtMidiIn or RtMidiOut (T), or why there are none.
template <class T>
std::vector<std::string> portNames(std::string& problem);

// A client of type T connected to the port named `portName`; null with `problem` set when the
// sequencer, or the port, is not there. Errors after this go to `report` with `context` instead
// of being thrown (no exception may leave the clock's thread) or printed.
template <class T>
std::unique_ptr<T> openPort(const std::string& portName, const std::string& ourPortName,
                            RtMidiErrorCallback report, void* context, std::string& problem);

}  // namespace strumox::playback::sequencer
