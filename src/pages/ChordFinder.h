#pragma once
// What the chord finder puts on a page: the six dictionary fingerings of a chord as diagrams.
#include <array>

#include "pages/DiagramRecord.h"
#include "theory/ChordData.h"

namespace strumox::pages {

// Six filled diagrams in standard tuning, whatever tuning the fretboard is set to: name and
// formula text from the formula record, frets, markers and beginning fret from the dictionary,
// root = key (0..11), bass = key + 24, sounding = open note + fret (0 for a string not played).
std::array<DiagramRecord, 6> diagramsFromLookup(const theory::DictionaryLookup& lookup, int key);

}  // namespace strumox::pages
