#pragma once
// A sink that keeps everything it is handed, with its tick: for tests and for the command line's
// event listings. Safe to read from another thread than the one the clock calls it on.
#include <cstdint>
#include <mutex>
#include <vector>

#include "playback/OutputSink.h"

namespace strumox::playback {

class RecordingSink : public OutputSink {
public:
    struct SilenceCall {
        std::uint16_t channelMask = 0;
        std::uint64_t tick = 0;
        friend bool operator==(const SilenceCall&, const SilenceCall&) = default;
    };

    void send(const TimedMessage& message) override;
    void tempoChanged(std::uint32_t microsecondsPerBeat) override;
    // Kept as one call; the all-off messages the default would send are not added.
    void silence(std::uint16_t channelMask, std::uint64_t tick) override;

    std::vector<TimedMessage> messages() const;
    std::vector<SilenceCall> silences() const;
    std::vector<std::uint32_t> tempos() const;  // microseconds per beat, one per start
    std::size_t messageCount() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<TimedMessage> m_messages;
    std::vector<SilenceCall> m_silences;
    std::vector<std::uint32_t> m_tempos;
};

}  // namespace strumox::playback
