#include "playback/sinks/FluidSynthSink.h"

#include <atomic>
#include <mutex>
#include <thread>

#include "playback/sinks/SynthSetup.h"

namespace strumox::playback {

struct FluidSynthSink::Engine {
    // Written by the worker before `ready` is set, read by the clock's thread after; the
    // destructor joins the worker before it frees them.
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_audio_driver_t* driver = nullptr;
    std::atomic<bool> ready{false};
    std::atomic<bool> closing{false};

    mutable std::mutex problemMutex;
    std::string problem;

    std::thread worker;

    void setProblem(std::string text)
    {
        const std::lock_guard lock(problemMutex);
        problem = std::move(text);
    }

    void start(const std::string& requestedSoundfont)
    {
        settings = synth::newSettings();
        synth = settings ? new_fluid_synth(settings) : nullptr;
        if (!synth) {
            setProblem("The built-in synthesizer could not be started.");
            return;
        }

        std::string fontProblem;
        const std::string font = requestedSoundfont.empty() ? synth::defaultSoundfont() : requestedSoundfont;
        if (font.empty())
            fontProblem = "No General MIDI soundfont was found in /usr/share/sounds/sf2, so the built-in "
                          "synthesizer is silent.";
        else if (fluid_synth_sfload(synth, font.c_str(), 1) == FLUID_FAILED)
            fontProblem = "The soundfont " + font + " could not be loaded, so the built-in synthesizer is silent.";

        // Closing while the soundfont loaded: no point opening the sound card just to close it.
        if (!closing.load())
            driver = new_fluid_audio_driver(settings, synth);
        // ALSA's default device is the sound server on most desktops; where it is not wired to
        // one, the server itself may still be there and hold the card.
        if (!driver && !closing.load() && fluid_settings_setstr(settings, "audio.driver", "pulseaudio") == FLUID_OK)
            driver = new_fluid_audio_driver(settings, synth);
        // Without a soundfont the missing sound card is beside the point: name the cause that
        // silences the synthesizer even where there is one.
        if (!fontProblem.empty())
            setProblem(std::move(fontProblem));
        else if (!driver && !closing.load())
            setProblem("No audio output could be opened, so the built-in synthesizer plays silently.");
        ready.store(true, std::memory_order_release);
    }

    ~Engine()
    {
        closing.store(true);
        if (worker.joinable())
            worker.join();
        if (driver)
            delete_fluid_audio_driver(driver);  // first: its thread renders from the synth
        if (synth)
            delete_fluid_synth(synth);
        if (settings)
            delete_fluid_settings(settings);
    }
};

FluidSynthSink::FluidSynthSink(std::string soundfont) : m_engine(std::make_unique<Engine>())
{
    Engine* engine = m_engine.get();
    engine->worker = std::thread([engine, font = std::move(soundfont)] { engine->start(font); });
}

FluidSynthSink::~FluidSynthSink() = default;

bool FluidSynthSink::ready() const
{
    return m_engine->ready.load(std::memory_order_acquire);
}

void FluidSynthSink::send(const TimedMessage& message)
{
    if (ready())
        synth::play(m_engine->synth, message);
}

void FluidSynthSink::silence(std::uint16_t channelMask, std::uint64_t)
{
    if (!ready())
        return;
    for (int channel = 0; channel < 16; ++channel)
        if (channelMask & (1u << channel))
            fluid_synth_all_sounds_off(m_engine->synth, channel);
}

std::string FluidSynthSink::problem() const
{
    const std::lock_guard lock(m_engine->problemMutex);
    return m_engine->problem;
}

}  // namespace strumox::playback
