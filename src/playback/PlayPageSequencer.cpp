#include "playback/PlayPageSequencer.h"

#include <algorithm>

#include "playback/Strum.h"

namespace strumox::playback {

namespace {

using Row = pages::PlayPage::MarkerRow;
constexpr int kSlotCount = pages::PlayPage::kSlotCount;
constexpr std::uint8_t kOffMark = 10;

std::uint8_t& marker(pages::PlayPage::Markers& m, Row row, int measure)
{
    return m[static_cast<std::size_t>(row)][static_cast<std::size_t>(measure)];
}
std::uint8_t marker(const pages::PlayPage::Markers& m, Row row, int measure)
{
    return m[static_cast<std::size_t>(row)][static_cast<std::size_t>(measure)];
}

}  // namespace

std::uint32_t playTempo(int bpm)
{
    return static_cast<std::uint32_t>(roundHalfEven(60'000'000, 1, std::clamp(bpm, 10, 250)));
}

int strumStep(int strumPosition) { return roundHalfEven(strumDelay(strumPosition), 1, 18); }

// --- start ------------------------------------------------------------------------------------

PlayPageSequencer::StartResult PlayPageSequencer::start(const pages::PlayPage& page, const SequencerOptions& options,
                                                        const Voices& voices, EventQueue& queue)
{
    m_options = options;
    m_options.countOffMeasures = std::clamp(options.countOffMeasures, 1, 4);
    m_voices = voices;
    m_slots = page.allSlots();
    // The markers stored for the page's time signature: what the Repeat Markers dialog set.
    m_markers = page.markers(page.keptCopy());
    m_slotsPerMeasure = page.slotsPerMeasure();
    m_lastMeasure = page.lastMeasure();
    const int beats = m_slotsPerMeasure / 2;

    m_playMeasure = std::clamp(options.startSlot, 0, kSlotCount - 1) / m_slotsPerMeasure;
    m_slotInMeasure = 0;
    m_playSlot = m_playMeasure * m_slotsPerMeasure;
    m_holdSlots = 0;
    m_strumStep = strumStep(options.strumPosition);
    m_strummedCount = 0;
    m_lastNote.fill(0);
    m_lastFret.fill(0);
    m_lastBass = 0;
    // Nothing is held yet: the first slot neither releases nor marks a beat.
    m_done = Done{};
    m_done.beatMarker = m_done.released = true;
    m_endReached = m_endQueued = false;
    m_time = 0;
    m_lastPutOk = true;
    m_countOffLeft = beats * m_options.countOffMeasures - 1;
    m_cursorCell = m_playSlot / 2;
    m_swallowed = 0;

    const Voices& v = m_voices;
    m_prelude.clear();
    m_preludeQueued = 0;
    m_prelude.push_back({0, programChange(v.guitarChannel), dataByte(v.guitarProgram), 0, 0});
    m_prelude.push_back({0, programChange(v.bassChannel), dataByte(v.bassProgram), 0, 0});
    m_prelude.push_back({0, programChange(v.clickChannel), 0, 0, 0});
    if (options.count && !options.stepMode) {
        const int clicks = beats * m_options.countOffMeasures;
        for (int k = 0; k < clicks; ++k) {
            const std::uint8_t velocity = k % beats == 0 ? accentedVelocity(v.clickVelocity) : dataByte(v.clickVelocity);
            const std::uint32_t wait = k == 0 ? 0 : kSlotTicks;
            m_prelude.push_back({wait, noteOn(v.clickChannel), dataByte(v.clickNote), velocity, 0});
            m_prelude.push_back({kSlotTicks, noteOff(v.clickChannel), dataByte(v.clickNote), 0, 0});
        }
        // The first measure begins one beat after the last click.
        m_time = kSlotTicks;
    }
    for (; m_preludeQueued < m_prelude.size(); ++m_preludeQueued) {
        m_lastPutOk = queue.putMidiOut(m_prelude[m_preludeQueued]);
        if (!m_lastPutOk)
            break;
    }

    if (!options.stepMode)
        return StartResult::Filling;
    // Step mode has no fill to finish the program changes; the strum queues its own anyway.
    m_preludeQueued = m_prelude.size();
    return step(queue, Direction::Forward, false) ? StartResult::Stepped : StartResult::NothingToStep;
}

// --- fill -------------------------------------------------------------------------------------

bool PlayPageSequencer::put(EventQueue& queue, std::uint8_t status, int data1, int data2, int data3)
{
    m_lastPutOk = queue.putMidiOut({m_time, status, static_cast<std::uint8_t>(data1), static_cast<std::uint8_t>(data2),
                                    static_cast<std::uint8_t>(data3)});
    if (m_lastPutOk)
        m_time = 0;
    return m_lastPutOk;
}

PlayPageSequencer::FillResult PlayPageSequencer::fill(EventQueue& queue)
{
    constexpr FillResult kFull = FillResult::QueueFull;
    for (; m_preludeQueued < m_prelude.size(); ++m_preludeQueued) {
        m_lastPutOk = queue.putMidiOut(m_prelude[m_preludeQueued]);
        if (!m_lastPutOk)
            return kFull;
    }
    const Voices& v = m_voices;
    const auto guitarVelocity = dataByte(v.guitarVelocity);
    const auto bassVelocity = dataByte(v.bassVelocity);
    const auto clickNote = dataByte(v.clickNote);

    for (;;) {
        if (m_endReached) {
            if (!m_endQueued) {
                m_time = kFinalWait;
                if (!put(queue, noteOff(v.guitarChannel), 0, 0))
                    return kFull;
                m_endQueued = true;
            }
            return FillResult::AllQueued;
        }

        // The beat, the click and the slot's start.
        if (m_slotInMeasure % 2 == 0) {
            if (!m_done.beatMarker) {
                if (!put(queue, BeatMarker, m_playSlot / 2))
                    return kFull;
                m_time = kLeadTicks;
                m_done.beatMarker = true;
            }
            if (!m_done.click) {
                const auto velocity = m_slotInMeasure == 0 ? accentedVelocity(v.clickVelocity) : dataByte(v.clickVelocity);
                // Without Click a note off of the same bytes keeps the stream's shape, silently.
                const auto status = m_options.click ? noteOn(v.clickChannel) : noteOff(v.clickChannel);
                if (!put(queue, status, clickNote, velocity))
                    return kFull;
                m_done.click = true;
            }
        } else if (!m_done.click) {
            // A retried event already has its lead.
            if (m_lastPutOk)
                m_time += kLeadTicks;
            if (!put(queue, noteOff(v.clickChannel), clickNote, 0))
                return kFull;
            m_done.click = true;
        }
        if (!m_done.slotMarker) {
            if (!put(queue, SlotMarker, m_playSlot & 0xFF, m_playSlot >> 8))
                return kFull;
            m_done.slotMarker = true;
        }

        // The held chord ends where its hold ran out (again, silently, every 8 slots after that).
        if (m_holdSlots == 0 && !m_done.released) {
            if (m_options.bass && !m_done.bassOff) {
                if (!put(queue, noteOff(v.bassChannel), m_lastBass, bassVelocity))
                    return kFull;
                m_done.bassOff = true;
            }
            for (int s = 5; s >= 0; --s) {
                const auto i = static_cast<std::size_t>(s);
                if (m_lastNote[i] == 0)
                    continue;
                if (!m_done.noteOff[i]) {
                    if (!put(queue, noteOff(v.guitarChannel), m_lastNote[i], guitarVelocity))
                        return kFull;
                    m_done.noteOff[i] = true;
                }
                if (!m_done.offMarker[i]) {
                    if (!put(queue, NoteMarker, s, m_lastFret[i], kOffMark))
                        return kFull;
                    m_done.offMarker[i] = true;
                }
            }
            // Done: the strum below changes the notes this loop looks at.
            m_done.released = true;
        }

        // The slot's chord, strummed from the low E string.
        const pages::DiagramRecord& chord = m_slots[static_cast<std::size_t>(m_playSlot)];
        if (!chord.isEmpty()) {
            if (m_options.bass && !m_done.bassOn) {
                if (!put(queue, noteOn(v.bassChannel), chord.bass, bassVelocity))
                    return kFull;
                m_lastBass = chord.bass;
                m_done.bassOn = true;
            }
            for (int s = 5; s >= 0; --s) {
                const auto i = static_cast<std::size_t>(s);
                if (chord.sounding[i] == 0)
                    continue;
                if (!m_done.noteOn[i]) {
                    if (!put(queue, noteOn(v.guitarChannel), chord.sounding[i], guitarVelocity))
                        return kFull;
                    m_lastNote[i] = chord.sounding[i];
                    m_done.noteOn[i] = true;
                }
                if (!m_done.marker[i]) {
                    if (!put(queue, NoteMarker, s, chord.frets[i], chord.markers[i]))
                        return kFull;
                    m_lastFret[i] = chord.frets[i];
                    m_time = static_cast<std::uint32_t>(m_strumStep);
                    ++m_strummedCount;
                    m_done.marker[i] = true;
                }
            }
        }

        advance();
        if (m_endReached)
            continue;
        // Whatever the strum took, the next slot starts 240 ticks after this one.
        const int k = std::max(m_strummedCount - 1, 0);
        m_time = static_cast<std::uint32_t>(kSlotTicks - kLeadTicks - m_strumStep * k);
        m_strummedCount = 0;
        m_done = Done{};

        m_playSlot = m_playMeasure * m_slotsPerMeasure + m_slotInMeasure;
        if (m_holdSlots > 0)
            --m_holdSlots;
        else
            m_holdSlots = countHold();
    }
}

int PlayPageSequencer::returnMeasure(int measure) const
{
    for (int m = measure; m > 0; --m)
        if (marker(m_markers, Row::ReturnMark, m) != 0)
            return m;
    return 0;  // measure 0 always carries a return mark
}

// One slot on in play order: a measure's end repeats, loops or goes on.
void PlayPageSequencer::advance()
{
    if (++m_slotInMeasure < m_slotsPerMeasure)
        return;
    m_slotInMeasure = 0;
    std::uint8_t& remaining = marker(m_markers, Row::RepeatCounter, m_playMeasure);
    if (remaining > 0) {
        --remaining;
        m_playMeasure = returnMeasure(m_playMeasure);
        return;
    }
    remaining = marker(m_markers, Row::RepeatCount, m_playMeasure);
    if (marker(m_markers, Row::LoopMark, m_playMeasure) != 0 && m_options.loop)
        m_playMeasure = 0;
    else if (++m_playMeasure > m_lastMeasure)
        m_endReached = true;
}

// The empty slots, in play order from playSlot() on, before the next filled one: at most 7, and
// none past the page's last slot.
int PlayPageSequencer::countHold() const
{
    const int n = m_slotsPerMeasure;
    int hold = 0;
    for (int i = 0; i < kMaxHold - 1; ++i) {
        const int s = m_slotInMeasure + i;
        int slot = m_playMeasure * n + s;
        if (s >= n) {
            if (marker(m_markers, Row::RepeatCounter, m_playMeasure) > 0)
                slot = returnMeasure(m_playMeasure) * n + s % n;
            else if (marker(m_markers, Row::LoopMark, m_playMeasure) != 0 && m_options.loop)
                slot = s % n;
        }
        if (slot >= kSlotCount || filled(slot))
            break;
        ++hold;
    }
    return hold;
}

// --- step, stop, beats --------------------------------------------------------------------------

std::optional<int> PlayPageSequencer::step(EventQueue& queue, Direction direction, bool moveFirst)
{
    const int delta = direction == Direction::Forward ? 1 : kSlotCount - 1;
    if (moveFirst)
        m_playSlot = (m_playSlot + delta) % kSlotCount;
    for (int i = 0, slot = m_playSlot; i < kSlotCount; ++i, slot = (slot + delta) % kSlotCount) {
        if (!filled(slot))
            continue;
        m_playSlot = slot;
        m_playMeasure = slot / m_slotsPerMeasure;
        m_slotInMeasure = slot % m_slotsPerMeasure;
        StrumOptions strum;
        strum.bass = m_options.bass;
        strum.strumPosition = m_options.strumPosition;
        strum.playPage = true;
        strum.stepped = true;
        strumChord(queue, m_slots[static_cast<std::size_t>(slot)], m_voices, strum);
        return slot;
    }
    return std::nullopt;
}

void PlayPageSequencer::stop()
{
    m_markers[Row::RepeatCounter] = m_markers[Row::RepeatCount];
}

bool PlayPageSequencer::takeBeat()
{
    if (m_options.count && m_swallowed < m_countOffLeft) {
        ++m_swallowed;
        return false;
    }
    return true;
}

}  // namespace strumox::playback
