#pragma once
// Play on a diagram: a chord is strummed from the low E string to the high E string, a scale
// position is run note by note. Both queue everything at once, before the clock starts; their
// event counts are small, so the queue's answer is not looked at. Silent note markers
// (status 1: data1 string, data2 fret, data3 finger mark, 6 for a scale note, 10 when the note
// ends) ride along for the finger dots.
//
// Times are ticks, 480 a beat. The strum delay is the absolute strum-bar position (-800..0).
//
// Plain C++; the GUI thread and strumox-cli call it.
#include <vector>

#include "pages/DiagramRecord.h"
#include "pages/ScaleRecord.h"
#include "playback/MidiClock.h"
#include "playback/MidiEventRec.h"
#include "playback/Voices.h"

namespace strumox::playback {

struct StrumOptions {
    bool countOff = false;   // Count Off down: four clicks before the chord (never on the PlayPage)
    bool bass = false;       // Bass Note down
    int strumPosition = -300;  // the strum bar, -800..0
    bool playPage = false;   // the active page is the PlayPage
    bool stepped = false;    // a stepped PlayPage chord: ends after 400 ticks, no off-markers
};

// Ticks between two strings (and between count-off clicks): |position|.
int strumDelay(int strumPosition);

// False, queueing nothing, when the record is empty.
bool strumChord(EventQueue& queue, const pages::DiagramRecord& chord, const Voices& voices, const StrumOptions& options);
std::vector<MidiEventRec> strumEvents(const pages::DiagramRecord& chord, const Voices& voices,
                                      const StrumOptions& options);

struct ScaleRunOptions {
    bool bass = false;
    int strumPosition = -300;  // each note lasts the strum delay
    int span = 5;              // frets of a position (the Scales/Frets setting), held to 4..6
    bool fromRoot = false;     // Play Scale From Root down
};

enum class ScaleRunResult {
    Queued,
    Empty,              // the record is empty: nothing queued
    NotStandardTuning,  // from the root, but the strings are not 64 59 55 50 45 40: the caller stops
};

// The frets a position beginning at `beginFret` plays: 0..span-1 for the first position
// (beginning fret 1), else beginFret..beginFret+span-1 with the end held at 22. Inclusive.
struct FretRange {
    int first = 0;
    int last = 0;
};
FretRange scaleFretRange(int beginFret, int span);

// One picked note of a run: string 0..5 (0 high E), fret.
struct ScaleNote {
    int string = 0;
    int fret = 0;
};
// The notes a run plays, in order: strings 5 down to 0, frets low to high within the range.
std::vector<ScaleNote> scaleRunNotes(const pages::ScaleRecord& scale, int beginFret, int span, bool fromRoot);

// The run of the position beginning at `beginFret` (the Scales page: the selected column's; the
// Print page: its cell's beginning fret).
ScaleRunResult runScale(EventQueue& queue, const pages::ScaleRecord& scale, int beginFret, const Voices& voices,
                        const ScaleRunOptions& options);
std::vector<MidiEventRec> scaleRunEvents(const pages::ScaleRecord& scale, int beginFret, const Voices& voices,
                                         const ScaleRunOptions& options, ScaleRunResult* result = nullptr);

}  // namespace strumox::playback
