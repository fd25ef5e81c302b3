#pragma once
// The PlayPage's song as channel messages at their ticks, made the way Play makes it: the
// sequencer fills a ManualClock (again on every room report), the clock dispatches into a
// RecordingSink. What the MIDI and WAV exports write, for the program and strumox-cli alike.
//
// Runs on the caller's thread (a worker, for the GUI) on copies: the page is only read, during
// the call. The cancel callback runs on that thread too, between stretches of 16 beats.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "pages/PlayPage.h"
#include "playback/MidiEventRec.h"
#include "playback/PlayPageSequencer.h"
#include "playback/Voices.h"

namespace strumox::playback {

struct RenderedSong {
    enum class Status {
        Complete,   // the run's final event was played
        Cut,        // the tick limit ended the run
        Cancelled,  // the callback asked to stop; nothing else is filled in
        Endless,    // Loop Play with a loop mark and no tick limit: nothing was made
    };
    Status status = Status::Complete;
    // Channel messages (0x80..0xEF) in dispatch order, markers left out, then what Stop sends at
    // the end tick: all-notes-off and all-sound-off controllers on every channel used, in channel
    // order. Play stops the clock so when the final event has played, which ends the last chord.
    std::vector<TimedMessage> messages;
    std::uint32_t tempo = kDefaultTempo;  // microseconds per beat for the whole song
    // The run's last tick: its final event, or the tick limit. The last message never lies later.
    std::uint64_t endTick = 0;
};

struct SongRenderOptions {
    // Everything due at or before this tick plays, then the run is stopped there. None: until the
    // final event.
    std::optional<std::uint64_t> maxTicks;
    std::size_t queueCapacity = MidiClock::kDefaultCapacity;  // the clock's queue, in events
    // Asked between stretches; true stops the render.
    std::function<bool()> cancelled;
};

// The first measure (0-based) carrying the loop mark when Loop Play is on in `options`: a run of
// that page never ends by itself. None when it ends.
std::optional<int> endlessFrom(const pages::PlayPage& page, const SequencerOptions& options);

// The song from `options.startSlot` as Play sounds it with these options and voices. Step mode
// is ignored (a song is played through). `options.tempo` becomes the song's tempo.
RenderedSong renderSong(const pages::PlayPage& page, SequencerOptions options, const Voices& voices,
                        const SongRenderOptions& render = {});

}  // namespace strumox::playback
