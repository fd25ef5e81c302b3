#pragma once
// The program directory's first tip file and first settings file. Both belong to the user once
// they exist (the tip rotation and the show-at-startup choice live in the tip file, every
// preference in the settings file), so they are written only where none exists yet, and never
// half: the text goes to "<name>.tmp" first and takes its final name in one step that fails
// rather than replace a file that appeared in the meantime.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace strumox::settings {

inline constexpr const char* kTipFileName = "tip.kqt";
inline constexpr const char* kGeneralMidiSection = "General MIDI";

// The tips of a fresh tip file, one per line after the "True" line.
const std::vector<std::string_view>& defaultTips();

// General MIDI level 1 program names; index = program number (0-based).
const std::array<std::string_view, 128>& generalMidiProgramNames();

// Each returns true when it wrote the file, false when one was already there. dir ends with '/'.
// Throw std::runtime_error naming the file when the directory cannot take it.
bool writeTipFileIfMissing(const std::string& dir);
bool writeDefaultSettingsIfMissing(const std::string& dir);

}  // namespace strumox::settings
