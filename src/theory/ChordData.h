#pragma once
// The chord data files of the program directory and the dictionary lookup.
//
// "kqcd3.dat": 62 formula records of 44 bytes (FormulaRecord), record g = formula index g.
// Dictionaries, two per family, flat arrays of 13-byte records without a header:
//   byte 0 beginning fret, then per string 0 (high E) .. 5 (low E) a fret and a finger marker.
// The three fingerings of key k and type t start at record k * perKey + t * 3; the first file
// holds fingerings 1..3 of the six, the second file 4..6 under the same record numbers.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "theory/ChordFormulas.h"
#include "theory/ChordTypes.h"
#include "theory/VoicingGenerator.h"

namespace strumox::theory {

inline constexpr std::string_view kFormulaFileName = "kqcd3.dat";
inline constexpr std::string_view kMissingChordDataMessage = "Could Not Find Chord Data Files.";
constexpr std::size_t kDictionaryRecordSize = 13;
constexpr int kFingeringsPerFile = 3;

struct DictionaryFiles {
    ChordFamily family;
    std::string_view first;   // fingerings 1..3
    std::string_view second;  // fingerings 4..6
    int recordsPerKey;        // types of the family x 3
};

inline constexpr std::array<DictionaryFiles, 3> kDictionaryFiles{{
    {ChordFamily::Major, "kqma1.dat", "kqma2.dat", 57},
    {ChordFamily::Minor, "kqmi1.dat", "kqmi2.dat", 51},
    {ChordFamily::Dominant, "kqdo1.dat", "kqdo2.dat", 78},
}};

// Formula index of a family's type (major 0..18, minor 19..35, dominant 36..61); -1 when the
// family or the type does not exist.
int formulaIndex(ChordFamily family, int type);

// The files that hold a formula index, or nullptr outside 0..61.
const DictionaryFiles* dictionaryFilesOf(int formulaIndex);

// Number (from 0) of the first of the three records of a chord in each of its two files;
// -1 when the formula index or the key (0..11) is out of range.
int dictionaryRecordNumber(int formulaIndex, int key);

using DictionaryRecordBytes = std::array<std::uint8_t, kDictionaryRecordSize>;
DictionaryRecordBytes dictionaryRecordBytes(const Fingering& f);
Fingering fingeringFromDictionaryRecord(const std::uint8_t* bytes);  // reads 13 bytes

// Writes the formula file and the six dictionaries into dir (ending with '/'), each first to
// NAME.tmp and then renamed over NAME, so a reader never sees half a file. Throws
// std::runtime_error naming the file on failure.
void writeChordDataFiles(const std::string& dir);

struct DictionaryLookup {
    FormulaRecord formula;
    std::array<Fingering, 6> fingerings;  // as stored: 0..2 from the first file, 3..5 from the second
};

// The six fingerings of key 0..11 and formula index 0..61 from the files in appDir (ending
// with '/'), with the formula record. On failure nothing, and the reason in *error (when
// given): kMissingChordDataMessage when a dictionary file of the family is missing or the
// formula index is out of range; otherwise what could not be opened or was too short.
std::optional<DictionaryLookup> lookupChord(const std::string& appDir, int formulaIndex, int key,
                                            std::string* error);

}  // namespace strumox::theory
