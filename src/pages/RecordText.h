#pragma once
// The texts written beside diagrams: titles, note lists and page headers. Note names follow the
// current flat or sharp spelling, so a redraw after switching spelling renames every text while
// the records stay as they are.
#include <array>
#include <string>
#include <string_view>

#include "pages/DiagramRecord.h"
#include "pages/PrintRecord.h"
#include "pages/ScaleRecord.h"
#include "theory/Notes.h"

namespace strumox::pages {

// The data files and records hold 8-bit text, one character a byte, read as Latin-1 (a byte is
// the code point of its character). Everything that leaves the program as UTF-8 (a terminal, a
// JSON document) passes through one of these.
// A control character: 0x00..0x1F, 0x7F and 0x80..0x9F.
bool isControlCharacter(unsigned char c);
// The text in UTF-8: bytes below 0x80 as they are, the others as two-byte sequences.
std::string utf8FromLatin1(std::string_view text);
// The same with every control character shown as '?', for plain text output.
std::string printableFromLatin1(std::string_view text);

// Removes blanks (and control characters) from the end only, or from both ends.
std::string trimRight(const std::string& text);
std::string trimmed(const std::string& text);

// Root name, a blank, the name with its trailing blanks kept, and " /" + bass name when the bass
// (taken modulo 12) is not the root: "C maj7", "C maj7 /E".
std::string chordTitle(const DiagramRecord& chord, const theory::NoteNames& names);

// " C E G B": a blank before every note of the intervals that are not 255, in list order.
std::string chordNotes(const DiagramRecord& chord, const theory::NoteNames& names);

// The same over the scale's intervals up to the first 99 (at most ten).
std::string scaleNotes(const ScaleRecord& scale, const theory::NoteNames& names);

// The four lines over a Print page cell, top to bottom: title, note list, formula, tuning name,
// each trimmed. A chord reads the first seven interval bytes skipping 255 and may carry a bass;
// a scale reads all ten skipping 99.
std::array<std::string, 4> printTextLines(const PrintRecord& print, const theory::NoteNames& names);

// Header over a Chord page set, from its first fingering:
// "C maj7   [  C E G B ]    [ 1 3 5 7 ]".
std::string chordSetHeader(const DiagramRecord& first, const theory::NoteNames& names);

// Header over a Scales page row:
// "C Major Scale   [  C D E F G A B ]    [ 1 2 3 4 5 6 7 ] Tuning: Standard".
// The name and the tuning name are written as stored, except that a tuning name of note names
// alone is spelled as the others are; only the formula is trimmed.
std::string scaleRowHeader(const ScaleRecord& scale, const theory::NoteNames& names);

// The four lines over a Chord Design strip slot: title, note list ("C E G"), formula and tuning
// name, the last three trimmed.
std::array<std::string, 4> designSlotLines(const DiagramRecord& chord, const theory::NoteNames& names);

}  // namespace strumox::pages
