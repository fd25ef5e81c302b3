#pragma once
// Editing the work fingering by clicks on the fretboard picture, the root and bass controls and
// the typed chord name. Plain operations on a DiagramRecord; the controller shows the result.
#include <array>
#include <optional>
#include <span>
#include <string>

#include "pages/DiagramRecord.h"
#include "theory/Notes.h"

namespace strumox::fretboard {

struct IntervalField;

// Marker written for a newly fretted string: 6 for "P", 1..4 for a finger, or none.
using MarkerChoice = std::optional<std::uint8_t>;

// A click at string s, fret f (0..22). A left click at the nut toggles open and muted; a right
// click there always makes the string open. A right click anywhere makes that note the root and
// the bass. Recomputes the beginning fret and the intervals; returns whether the root changed.
bool applyFretClick(pages::DiagramRecord& work, int string, int fret, bool rightButton, MarkerChoice marker,
                    const theory::CompoundFlags& flags);

// Interval text of the design: the captions of the first seven fields (the chord's), each
// followed by one blank, cut to 20 characters.
std::string intervalText(std::span<const IntervalField> fields);

// Fret box texts: the fret of each sounding string, empty for a string that is not played.
std::array<std::string, 6> fretBoxTexts(const pages::DiagramRecord& work);

// A fret box left by the user: a text that is not a number 0..22 gives nothing (the box is
// cleared). Returns the fret to click: 0 for an empty box.
std::optional<int> parseFretBox(const std::string& text);

// Leaving fret box `string` with `text`: "0" ends as an open string, an empty (or cleared) box as
// a string that is not played, a number as that fret. Returns the box's new text.
std::string applyFretBox(pages::DiagramRecord& work, int string, const std::string& text, MarkerChoice marker,
                         const theory::CompoundFlags& flags);

// The suffix a typed chord name gives: the note letter with its b/# is dropped and a bass part
// ("/E", a trailing "/") is cut off, while "6/9" stays. Nothing when the text is blank.
std::optional<std::string> suffixFromTypedName(const std::string& text);

// A new tuning for the work fingering: every sounding string keeps its fret on the new open note.
void retune(pages::DiagramRecord& work, const theory::Tuning& tuning, const std::string& tuningName,
            const theory::CompoundFlags& flags);

// Root and bass controls. The bass follows the root.
void setWorkRoot(pages::DiagramRecord& work, int root);
void setWorkBass(pages::DiagramRecord& work, int bass);
void recomputeIntervals(pages::DiagramRecord& work, const theory::CompoundFlags& flags);

}  // namespace strumox::fretboard
