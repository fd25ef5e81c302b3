#pragma once
// Device 0 of the output list: the built-in synthesizer playing through the platform's default
// audio output. The synthesizer, its soundfont (about 0.1 s to load) and the audio driver come
// up on a worker thread, so opening never holds up the GUI; messages sent before then are
// dropped. Without an audio device the synthesizer runs silent and problem() says so; nothing
// throws.
#include <cstdint>
#include <memory>
#include <string>

#include "playback/OutputSink.h"

namespace strumox::playback {

class FluidSynthSink : public OutputSink {
public:
    // An empty soundfont path means the system's General MIDI soundfont. Returns at once.
    explicit FluidSynthSink(std::string soundfont = {});
    // Waits for the worker if it is still starting, then closes the audio output.
    ~FluidSynthSink() override;
    FluidSynthSink(const FluidSynthSink&) = delete;
    FluidSynthSink& operator=(const FluidSynthSink&) = delete;

    // From the clock's thread. Dropped while !ready().
    void send(const TimedMessage& message) override;
    // Cuts every voice on the masked channels at once (all sound off), release tails included.
    void silence(std::uint16_t channelMask, std::uint64_t tick) override;
    // Empty while starting and when sound comes out; otherwise one sentence for the status bar.
    std::string problem() const override;

    // The synthesizer takes messages (it may still be silent: see problem()). Any thread.
    bool ready() const;

private:
    struct Engine;
    std::unique_ptr<Engine> m_engine;
};

}  // namespace strumox::playback
