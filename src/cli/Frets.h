#pragma once
// A fingering typed on the command line, as guitarists write it: six comma-separated entries,
// low E string first, x for a string not played ("x,3,2,0,1,0" is C major), in standard tuning.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/DiagramRecord.h"
#include "theory/Notes.h"

namespace strumox::cli {

// Frets per string, index = string (0 = high E); nothing for a string that is not played.
using FretList = std::array<std::optional<int>, 6>;

std::vector<std::string> splitAtCommas(const std::string& text);

// Throws UsageError naming `command` for anything but six entries of x or 0..22.
FretList parseFrets(const std::string& text, std::string_view command);

// The note of the lowest played string; 0 when none is played.
int lowestPlayedNote(const FretList& frets);

// The work fingering after the fingering editor's clicks: a left click with the "P" marker on
// each played string; on a string that starts muted, the click at the nut makes it open.
pages::DiagramRecord fretWork(const FretList& frets, int root, const theory::CompoundFlags& flags);

}  // namespace strumox::cli
