#pragma once
// The 47 built-in scales and their data file "kqs.dat": a flat array of 37-byte records, no
// header, record number = scale index (the Scale menu order of kScaleNames).
//
// Record: 10 interval bytes (semitones above the root, rising from 0; 99 after the last one),
// then the formula text as a short string (length byte 0..26 and 26 character bytes).
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "theory/ScaleTypes.h"
#include "theory/Notes.h"

namespace strumox::theory {

inline constexpr const char* kScaleFileName = "kqs.dat";

struct ScaleDefinition {
    static constexpr std::size_t kSize = 37;
    static constexpr std::size_t kFormulaCapacity = 26;

    std::array<std::uint8_t, kMaxScaleIntervals> intervals{99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
    std::string formula;  // degrees as a guitarist reads them, e.g. "1 2 b3 4 5 6 b7"

    // Entries before the first 99 (all ten when there is none).
    int noteCount() const;

    using Bytes = std::array<std::uint8_t, kSize>;
    Bytes toBytes() const;                               // formula cut to kFormulaCapacity
    static ScaleDefinition fromBytes(const std::uint8_t* bytes);  // reads kSize bytes

    bool operator==(const ScaleDefinition&) const = default;
};

// Index = scale index (kScaleNames).
const std::array<ScaleDefinition, kScaleCount>& builtInScales();

// Writes dir + "kqs.dat" (dir ends with '/') through dir + "kqs.dat.tmp" and a rename, so a
// reader never sees half a file. Throws std::runtime_error naming the file on failure.
void writeScaleFile(const std::string& dir);

// Record `index` of appDir + "kqs.dat". On failure nothing is returned and *error (when given)
// holds the text to show: "Could Not Find Scale Data File." when the file is missing, otherwise
// a read error naming the file.
std::optional<ScaleDefinition> readScaleRecord(const std::string& appDir, int index, std::string* error);

// The tuning name a new Scales page row gets when the tuning-name field is empty: for strings 5
// down to 0 a blank and the open note's name, so standard tuning reads " E A D G B E".
// Cut to the 15 characters the row's field holds.
std::string scaleRowTuningName(const Tuning& tuning, const NoteNames& names);

}  // namespace strumox::theory
