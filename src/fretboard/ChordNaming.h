#pragma once
// Naming the work fingering: the glue between the fingering editor's record and the chord search.
#include <optional>
#include <string>
#include <vector>

#include "pages/DiagramRecord.h"
#include "theory/ChordFormulas.h"
#include "theory/ChordSearch.h"
#include "theory/Notes.h"

namespace strumox::fretboard {

// What Search takes from the work fingering: its intervals, its root, and whether a sounding
// string (marker != 5) plays the root: (tuning[s] + fret[s]) % 12 == root % 12.
theory::SearchInput searchInputOf(const pages::DiagramRecord& work);

// The name Search with the default options (Only, CurrentRoot, then its own switching) gives
// first, as "C maj7" (the result text up to the tab), or nothing when it finds none or does
// not search. For the status bar while a chord is fretted.
std::optional<std::string> defaultChordName(const pages::DiagramRecord& work,
                                            const std::vector<theory::FormulaRecord>& formulas,
                                            const theory::NoteNames& names);

}  // namespace strumox::fretboard
