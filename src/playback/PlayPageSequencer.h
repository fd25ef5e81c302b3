#pragma once
// The PlayPage played: one click per beat, each filled slot's chord strummed on its downbeat and
// held until the next chord (at most 8 slots), repeats and the loop followed, a count-off before
// the first measure. The stream is made as the clock asks for it: fill() queues events until the
// queue is full and carries on where it stopped at the next call, so nothing is lost or doubled
// whatever the queue's size.
//
// Timing: 480 ticks a beat, a slot is an eighth note of 240 ticks. Every slot after the first
// begins with 20 ticks of lead (its beat marker or its click note off comes 20 ticks before the
// click and the strum); the first slot of a run has none.
//
// Markers in the stream (status, data1, data2, data3): 1 note marker (string, fret, finger mark,
// 10 when the note ends); 2 beat marker (beat cell = slot / 2); 3 slot marker (slot low byte,
// slot high byte).
//
// The sequencer works on copies taken at start(): the page model is never changed by playback.
// Plain C++; the GUI thread drives it (start on Play, fill on each "room" report, step on the
// step keys, stop on Stop), tests and strumox-cli do the same with a bounded queue.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "pages/PlayPage.h"
#include "playback/MidiClock.h"
#include "playback/MidiEventRec.h"
#include "playback/Voices.h"

namespace strumox::playback {

struct SequencerOptions {
    bool click = false;         // Click down: the beat clicks sound (else silent place holders)
    bool count = false;         // Count Off down
    int countOffMeasures = 1;   // 1..4 (the PlayPage/CountOff setting)
    bool loop = false;          // Loop Play down
    bool bass = false;          // Bass Note down
    bool stepMode = false;      // Step down when Play was pressed
    int strumPosition = -300;   // the strum bar, -800..0
    std::uint32_t tempo = 600000;  // microseconds per beat (playTempo); for the clock, not the events
    int startSlot = 0;          // the start position: always a measure's first slot
};

// Microseconds per beat of a tempo in beats per minute: 60000000 / bpm, halves to even.
std::uint32_t playTempo(int bpm);
// Ticks between two strings on the PlayPage: |strum position| / 18, halves to even (0..44).
int strumStep(int strumPosition);

class PlayPageSequencer {
public:
    static constexpr int kSlotTicks = 240;
    static constexpr int kLeadTicks = 20;         // from a slot's start to its click and strum
    static constexpr std::uint32_t kFinalWait = 1000;  // from the last slot's events to the final one
    static constexpr int kMaxHold = 8;            // slots a chord sounds without a next chord

    enum class StartResult {
        Filling,        // fill() now, then start the clock
        Stepped,        // step mode: the first filled slot's chord is queued
        NothingToStep,  // step mode with every slot empty: release Play
    };
    // Resets the state and queues the program changes and the count-off clicks (what does not fit
    // into the queue waits for fill()). In step mode the first filled slot from the start
    // measure on is strummed at once.
    StartResult start(const pages::PlayPage& page, const SequencerOptions& options, const Voices& voices,
                      EventQueue& queue);

    enum class FillResult {
        QueueFull,  // call again when the queue has room
        AllQueued,  // the final event is queued: the run ends when it has played
    };
    FillResult fill(EventQueue& queue);

    // Step mode: from playSlot() (moved one on first, or one back, when a key asks, wrapping
    // 287 <-> 0), the next filled slot in that direction, wrapping once around the page. Found:
    // it becomes playSlot() and its chord is queued (ended 400 ticks after the last string, no
    // off-markers). Nothing when no slot is filled: release Play.
    enum class Direction { Forward, Backward };
    std::optional<int> step(EventQueue& queue, Direction direction, bool moveFirst);

    // Stop: every measure's remaining repeats back to its repeat count.
    void stop();

    // A beat report from the clock: false while the count-off's beats are swallowed, true when
    // the cursor moves to cursorCell().
    bool takeBeat();
    // A beat marker fell due (its data1).
    void beatMarkerDue(int cell) { m_cursorCell = cell; }

    // --- read by the GUI --------------------------------------------------------------------
    int playSlot() const { return m_playSlot; }
    int playMeasure() const { return m_playMeasure; }
    int slotInMeasure() const { return m_slotInMeasure; }
    int slotsPerMeasure() const { return m_slotsPerMeasure; }
    int cursorCell() const { return m_cursorCell; }
    int countOffLeft() const { return m_countOffLeft; }
    bool stepMode() const { return m_options.stepMode; }
    bool endReached() const { return m_endReached; }
    bool endQueued() const { return m_endQueued; }
    int holdSlots() const { return m_holdSlots; }
    int strumStepTicks() const { return m_strumStep; }
    // The working copy of the current markers; its repeat-counter row counts down while playing.
    const pages::PlayPage::Markers& markers() const { return m_markers; }
    const SequencerOptions& options() const { return m_options; }

private:
    bool put(EventQueue& queue, std::uint8_t status, int data1, int data2 = 0, int data3 = 0);
    bool filled(int slot) const { return !m_slots[static_cast<std::size_t>(slot)].isEmpty(); }
    int returnMeasure(int measure) const;
    void advance();
    int countHold() const;

    // One flag per event of the current slot, set once the queue took it.
    struct Done {
        bool beatMarker = false, click = false, slotMarker = false, bassOff = false, bassOn = false;
        bool released = false;  // the whole release of the held chord
        std::array<bool, 6> noteOff{}, offMarker{}, noteOn{}, marker{};
    };

    SequencerOptions m_options;
    Voices m_voices;
    pages::PlayPage::Slots m_slots{};
    pages::PlayPage::Markers m_markers{};
    int m_slotsPerMeasure = 8;
    int m_lastMeasure = 35;

    std::vector<MidiEventRec> m_prelude;  // program changes and count-off, times included
    std::size_t m_preludeQueued = 0;

    int m_playMeasure = 0;
    int m_slotInMeasure = 0;
    int m_playSlot = 0;
    int m_holdSlots = 0;
    int m_strumStep = 0;
    int m_strummedCount = 0;
    std::array<int, 6> m_lastNote{};  // 0 = nothing sounded on the string this run
    std::array<int, 6> m_lastFret{};
    int m_lastBass = 0;
    bool m_endReached = false;
    bool m_endQueued = false;
    Done m_done;
    std::uint32_t m_time = 0;  // ticks before the next event, kept while it waits for room
    bool m_lastPutOk = true;

    int m_cursorCell = 0;
    int m_countOffLeft = 0;
    int m_swallowed = 0;
};

}  // namespace strumox::playback
