#pragma once
// The chord types the user defines, kept in the settings file. "UserChords" "Number" says how
// many there are; user chord i lives in the section named by its chord-type list entry, 62 + i,
// as "Name" (at most 15 characters), "Formula" (at most 20) and "I0".."I6" (its interval list,
// 255 = none). Sections stay 62, 63, ... without gaps, so entry and section always agree.
//
// The caller opens the IniFile, calls these and commit()s; a failed commit throws
// SettingsWriteError and leaves the file as it was.
#include <string>

#include "settings/IniFile.h"
#include "theory/ChordFormulas.h"

namespace strumox::settings {

// The name a user chord without one is stored and shown under.
inline constexpr const char* kUserChordNoName = "NONAME";

// User chord `entry` (62 and up) as a formula record: its Name as the suffix, its Formula as the
// text, both cut to the record's capacities (characters, never inside a UTF-8 sequence); an
// interval outside 0..255 reads as 255. When the file claims no user chords at all (Number 0,
// negative or missing), an empty record: no name, no text, intervals 0 then 255s.
theory::FormulaRecord readUserChord(const IniFile& ini, int entry);

// Appends a user chord as list entry `entryCount` (the number of entries the chord-type list
// holds now) and returns that entry. Number grows by one from what the file says, taken as 0
// when negative and never past the largest int. An empty (or all-blank) name is stored as
// "NONAME"; name and formula are cut to 15 and 20 characters.
int addUserChord(IniFile& ini, int entryCount, const std::string& name, const std::string& formula,
                 const theory::IntervalList& intervals);

// Deletes user chord `chosen` (62..lastEntry, lastEntry being the list's last entry) by moving
// every later one down a section and erasing section `lastEntry`; Number drops by one. False,
// with the file untouched, when the file holds no user chords (Number 0 or less) or `chosen` is
// not a user chord entry up to lastEntry.
bool deleteUserChord(IniFile& ini, int chosen, int lastEntry);

}  // namespace strumox::settings
