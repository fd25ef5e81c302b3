#include "playback/SongRender.h"

#include <algorithm>

#include "playback/ClockListener.h"
#include "playback/ManualClock.h"
#include "playback/RecordingSink.h"

namespace strumox::playback {

namespace {

// 16 beats: between two looks at the cancel callback. A whole page takes a few milliseconds.
constexpr std::uint64_t kStretchTicks = 16 * kTicksPerBeat;

// What PlaybackController does with the reports that matter for the sound: room refills the
// queue. Beats and markers move pictures only.
class Refiller : public ClockListener {
public:
    Refiller(PlayPageSequencer& sequencer, MidiClock& clock) : m_sequencer(sequencer), m_clock(clock) {}

    void beat(std::uint64_t) override {}
    void room(std::uint64_t) override
    {
        if (!m_allQueued)
            m_allQueued = m_sequencer.fill(m_clock) == PlayPageSequencer::FillResult::AllQueued;
    }
    void allPlayed(std::uint64_t) override {}
    void marker(std::uint64_t, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}

    void fill() { room(0); }

private:
    PlayPageSequencer& m_sequencer;
    MidiClock& m_clock;
    bool m_allQueued = false;
};

}  // namespace

std::optional<int> endlessFrom(const pages::PlayPage& page, const SequencerOptions& options)
{
    if (!options.loop)
        return std::nullopt;
    // The sequencer plays the markers kept for the page's time signature.
    const auto& loopRow = page.markers(page.keptCopy())[pages::PlayPage::LoopMark];
    for (int m = 0; m < page.measureCount(); ++m)
        if (loopRow[static_cast<std::size_t>(m)] != 0)
            return m;
    return std::nullopt;
}

RenderedSong renderSong(const pages::PlayPage& page, SequencerOptions options, const Voices& voices,
                        const SongRenderOptions& render)
{
    RenderedSong song;
    song.tempo = options.tempo;
    options.stepMode = false;
    if (!render.maxTicks && endlessFrom(page, options)) {
        song.status = RenderedSong::Status::Endless;
        return song;
    }

    RecordingSink sink;
    ManualClock clock(render.queueCapacity);
    PlayPageSequencer sequencer;
    Refiller refiller(sequencer, clock);
    clock.setSink(&sink);
    clock.setListener(&refiller);
    clock.setTempo(options.tempo);
    // As Play: the prelude and as much of the song as fits, then the clock starts.
    sequencer.start(page, options, voices, clock);
    refiller.fill();
    clock.start();

    const std::uint64_t limit = render.maxTicks.value_or(UINT64_MAX);
    bool ended = false;
    for (std::uint64_t upTo = std::min(kStretchTicks, limit);; upTo = std::min(upTo + kStretchTicks, limit)) {
        if (clock.runUntilIdle(upTo)) {
            ended = true;
            break;
        }
        if (upTo == limit)
            break;
        if (render.cancelled && render.cancelled()) {
            clock.setListener(nullptr);
            song.status = RenderedSong::Status::Cancelled;
            return song;
        }
    }
    song.endTick = clock.now();
    // Play's end: the final event (or the limit) reached, the clock is stopped, and the stop
    // silences every channel used, which ends the last chord, held to the end of the page.
    clock.stop();
    song.status = ended ? RenderedSong::Status::Complete : RenderedSong::Status::Cut;
    song.messages = sink.messages();
    for (const RecordingSink::SilenceCall& s : sink.silences())
        for (int channel = 0; channel < 16; ++channel)
            if (s.channelMask & (1u << channel)) {
                const auto status = static_cast<std::uint8_t>(0xB0 + channel);
                song.messages.push_back({s.tick, status, 123, 0});  // all notes off
                song.messages.push_back({s.tick, status, 120, 0});  // all sound off
            }
    clock.setListener(nullptr);
    return song;
}

}  // namespace strumox::playback
