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
#include <string_view>
#include <vector>

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
// reader never sees half a file. Throws std::runtime_error naming the file on failure, and
// std::logic_error (writing nothing) when a record of the table breaks scaleRecordValid.
void writeScaleFile(const std::string& dir);

// Whether 37 bytes hold a scale the program can show: the intervals start with the root (0),
// rise strictly within the octave (1..11) and hold 99 in every entry after the last one (the
// print texts read all ten bytes, skipping 99, so a stray value after a 99 would be shown); the
// formula length is 0..26. The characters are not checked: any 8-bit text is shown as written.
bool scaleRecordValid(const std::uint8_t* bytes);

// All 47 records of appDir + "kqs.dat", read whole and checked record by record and against the
// exact size. On failure nothing is returned and *error (when given) holds the text to show:
// "Could Not Find Scale Data File." when the file is missing; "PATH is not a regular file." (a
// FIFO is refused without waiting for a writer); "Read beyond end of file: PATH holds no complete
// scale record N (bytes A to B)." for the first record a short file lacks; "kqs.dat is damaged:
// record N." for the first record that breaks the rules above, or record 47 when bytes follow
// the table; otherwise a read error naming the file.
std::optional<std::vector<ScaleDefinition>> readScaleFile(const std::string& appDir, std::string* error);

// The same checks over the scale file's bytes already read; path names it in the messages.
std::optional<std::vector<ScaleDefinition>> scalesFromBytes(const std::string& path, std::string_view bytes,
                                                            std::string* error);

// Record `index` of the checked file; the failures of readScaleFile, and a refusal of an index
// outside 0..46.
std::optional<ScaleDefinition> readScaleRecord(const std::string& appDir, int index, std::string* error);

// The tuning name a new Scales page row gets when the tuning-name field is empty: for strings 5
// down to 0 a blank and the open note's name, so standard tuning reads " E A D G B E".
// Cut to the 15 characters the row's field holds.
std::string scaleRowTuningName(const Tuning& tuning, const NoteNames& names);

}  // namespace strumox::theory
