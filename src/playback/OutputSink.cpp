#include "playback/OutputSink.h"

namespace strumox::playback {

void OutputSink::silence(std::uint16_t channelMask, std::uint64_t tick)
{
    for (int channel = 0; channel < 16; ++channel) {
        if (!(channelMask & (1u << channel)))
            continue;
        const auto status = static_cast<std::uint8_t>(0xB0 + channel);
        send({tick, status, 123, 0});  // all notes off
        send({tick, status, 120, 0});  // all sound off: also ends notes held by the sustain pedal
    }
}

}  // namespace strumox::playback
