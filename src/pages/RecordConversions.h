#pragma once
// Conversions between the three diagram records. Every text field is cut to the capacity of the
// field it lands in; the numeric fields are copied byte for byte, so nothing is reinterpreted.
#include <cstdint>

#include "pages/DiagramRecord.h"
#include "pages/PrintRecord.h"
#include "pages/ScaleRecord.h"

namespace strumox::pages {

// A chord as a Print page cell: isChord = 1; the seven intervals are followed by three 255s.
PrintRecord chordToPrint(const DiagramRecord& chord);

// A Print page cell as a chord: the texts are cut to the chord's fields (15, 15, 20 characters)
// and only the first seven interval bytes are kept. isChord is not looked at.
DiagramRecord printToChord(const PrintRecord& print);

// One position of a scale as a Print page cell: isChord = 0, baseFret := `baseFret` (the
// beginning fret of the chosen column). Strings, sounding notes and bass are taken unchanged
// from `destination`, as a scale has none of them.
PrintRecord scaleToPrint(const ScaleRecord& scale, std::uint8_t baseFret, const PrintRecord& destination = {});

// A Print page cell as a scale row: all six beginning frets := the cell's baseFret, so the
// diagram looks the same whichever column of the row it is drawn in.
ScaleRecord printToScale(const PrintRecord& print);

}  // namespace strumox::pages
