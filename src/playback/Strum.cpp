#include "playback/Strum.h"

#include <algorithm>
#include <array>
#include <cstdlib>

#include "playback/EventBuffers.h"
#include "theory/ScaleTypes.h"

namespace strumox::playback {

namespace {

constexpr std::uint8_t kOffMark = 10;    // data3 of the marker that ends a note's dot
constexpr std::uint8_t kScaleMark = 6;   // data3 of a scale note's marker
constexpr std::uint32_t kChordLength = 800;         // ticks from the last string to the first note off
constexpr std::uint32_t kSteppedChordLength = 400;  // the same for a stepped PlayPage chord
constexpr int kCountOffClicks = 4;
constexpr int kBassOctaves = 36;  // a scale's bass note: root + 36, the octave below the low E

// Puts events one after the other; `time` is the wait before the next one, back to 0 after it.
struct Emitter {
    EventQueue& queue;
    std::uint32_t time = 0;

    void put(std::uint8_t status, int data1, int data2, int data3 = 0)
    {
        queue.putMidiOut({time, status, static_cast<std::uint8_t>(data1), static_cast<std::uint8_t>(data2),
                          static_cast<std::uint8_t>(data3)});
        time = 0;
    }
};

}  // namespace

int strumDelay(int strumPosition) { return std::abs(std::clamp(strumPosition, -800, 0)); }

bool strumChord(EventQueue& queue, const pages::DiagramRecord& chord, const Voices& v, const StrumOptions& options)
{
    if (chord.isEmpty())
        return false;
    const auto delay = static_cast<std::uint32_t>(strumDelay(options.strumPosition));
    Emitter out{queue};
    out.put(programChange(v.guitarChannel), dataByte(v.guitarProgram), 0);
    out.put(programChange(v.bassChannel), dataByte(v.bassProgram), 0);
    out.put(programChange(v.clickChannel), 0, 0);

    if (options.countOff && !options.playPage) {
        for (int k = 0; k < kCountOffClicks; ++k) {
            const std::uint8_t velocity = k == 0 ? accentedVelocity(v.clickVelocity) : dataByte(v.clickVelocity);
            out.put(noteOn(v.clickChannel), dataByte(v.clickNote), velocity);
            out.time = delay;
            out.put(noteOff(v.clickChannel), dataByte(v.clickNote), 0);
            // A slow strum has its clicks one delay apart, a fast one two.
            out.time = options.strumPosition < -200 ? 0 : delay;
        }
    }
    if (options.bass)
        out.put(noteOn(v.bassChannel), chord.bass, dataByte(v.bassVelocity));

    bool struck = false;
    for (int s = 5; s >= 0; --s) {
        const auto i = static_cast<std::size_t>(s);
        if (chord.sounding[i] == 0)
            continue;
        out.put(noteOn(v.guitarChannel), chord.sounding[i], dataByte(v.guitarVelocity));
        out.put(NoteMarker, s, chord.frets[i], chord.markers[i]);
        out.time = delay;
        struck = true;
    }
    if (struck)
        out.time = options.stepped ? kSteppedChordLength : kChordLength;
    for (int s = 5; s >= 0; --s) {
        const auto i = static_cast<std::size_t>(s);
        if (chord.sounding[i] == 0)
            continue;
        out.put(noteOff(v.guitarChannel), chord.sounding[i], dataByte(v.guitarVelocity));
        if (!options.stepped)
            out.put(NoteMarker, s, chord.frets[i], kOffMark);
    }
    if (options.bass) {
        out.time = 0;
        out.put(noteOff(v.bassChannel), chord.bass, dataByte(v.bassVelocity));
    }
    return true;
}

std::vector<MidiEventRec> strumEvents(const pages::DiagramRecord& chord, const Voices& voices,
                                      const StrumOptions& options)
{
    CollectingQueue queue;
    strumChord(queue, chord, voices, options);
    return std::move(queue.events);
}

FretRange scaleFretRange(int beginFret, int span)
{
    span = theory::clampScaleSpan(span);
    if (beginFret == 1)
        return {0, span - 1};
    return {beginFret, std::min(beginFret + span - 1, theory::kMaxFret)};
}

std::vector<ScaleNote> scaleRunNotes(const pages::ScaleRecord& scale, int beginFret, int span, bool fromRoot)
{
    const FretRange range = scaleFretRange(beginFret, span);
    std::array<bool, 12> inScale{};
    for (const int pc : theory::scaleNotes(scale.intervals, scale.root))
        inScale[static_cast<std::size_t>(pc)] = true;

    // From the root, the run starts at the first root (in playing order) within the position's
    // first five frets, and then leaves out the frets the next string up plays again: five frets
    // up, four on the G string (a third below the B string in standard tuning, the only tuning
    // this is offered in).
    const int begin = range.first;
    bool started = !fromRoot;
    std::vector<ScaleNote> notes;
    for (int s = 5; s >= 0; --s) {
        const int open = scale.tuning[static_cast<std::size_t>(s)];
        for (int fret = range.first; fret <= range.last; ++fret) {
            const int pc = (open + fret) % 12;
            if (!started) {
                if (pc != scale.root || fret >= begin + 5)
                    continue;
                started = true;
            } else if (fromRoot && (fret >= begin + 5 || (s == 2 && fret >= begin + 4))) {
                continue;
            }
            if (inScale[static_cast<std::size_t>(pc)])
                notes.push_back({s, fret});
        }
    }
    return notes;
}

ScaleRunResult runScale(EventQueue& queue, const pages::ScaleRecord& scale, int beginFret, const Voices& v,
                        const ScaleRunOptions& options)
{
    if (scale.isEmpty())
        return ScaleRunResult::Empty;
    if (options.fromRoot && !theory::isStandardTuning(scale.tuning))
        return ScaleRunResult::NotStandardTuning;
    const auto delay = static_cast<std::uint32_t>(strumDelay(options.strumPosition));
    const int bassNote = scale.root % 12 + kBassOctaves;

    Emitter out{queue};
    out.put(programChange(v.guitarChannel), dataByte(v.guitarProgram), 0);
    out.put(programChange(v.bassChannel), dataByte(v.bassProgram), 0);
    if (options.bass)
        out.put(noteOn(v.bassChannel), bassNote, dataByte(v.bassVelocity));
    for (const ScaleNote& n : scaleRunNotes(scale, beginFret, options.span, options.fromRoot)) {
        const int note = scale.tuning[static_cast<std::size_t>(n.string)] + n.fret;
        out.put(noteOn(v.guitarChannel), note, dataByte(v.guitarVelocity));
        out.put(NoteMarker, n.string, n.fret, kScaleMark);
        out.time = delay;
        out.put(noteOff(v.guitarChannel), note, dataByte(v.guitarVelocity));
        out.put(NoteMarker, n.string, n.fret, kOffMark);
    }
    if (options.bass)
        out.put(noteOff(v.bassChannel), bassNote, dataByte(v.bassVelocity));
    return ScaleRunResult::Queued;
}

std::vector<MidiEventRec> scaleRunEvents(const pages::ScaleRecord& scale, int beginFret, const Voices& voices,
                                         const ScaleRunOptions& options, ScaleRunResult* result)
{
    CollectingQueue queue;
    const ScaleRunResult r = runScale(queue, scale, beginFret, voices, options);
    if (result)
        *result = r;
    return std::move(queue.events);
}

}  // namespace strumox::playback
