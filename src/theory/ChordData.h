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
#include <vector>

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

// Whether 13 bytes hold a fingering the diagrams can draw: every fret on the neck (0..22), every
// marker 0..6; open (0) and not played (5) only at fret 0, a finger (1..4) or a plain dot (6) only
// above it; at least one string sounds; the beginning fret is the one the fretted notes give
// (beginningFret), and every fretted note has a row of the diagram (at most five frets above
// the beginning fret).
bool dictionaryRecordValid(const std::uint8_t* bytes);

// Every fingering of a dictionary file of `records` records (12 x records per key), checked
// record by record and against the exact size. On failure nothing, and the reason in *error:
// kMissingChordDataMessage when there is no such file; "PATH is not a regular file." (a FIFO is
// refused without waiting for a writer); "PATH is too short: records A..B are not all there";
// "kqma1.dat is damaged: record N." for the first record that breaks the rules above, or for
// record `records` when bytes follow the table.
std::optional<std::vector<Fingering>> readDictionaryFile(const std::string& path, std::size_t records,
                                                         std::string* error);

// The same checks over a dictionary file's bytes already read; path names it in the messages.
std::optional<std::vector<Fingering>> dictionaryFromBytes(const std::string& path, std::string_view bytes,
                                                          std::size_t records, std::string* error);

// Writes the formula file and the six dictionaries into dir (ending with '/'), each first to
// NAME.tmp and then renamed over NAME, so a reader never sees half a file. Throws
// std::runtime_error naming the file on failure, std::logic_error naming the file and record
// when a generated record breaks the rules the readers check (nothing is written then).
void writeChordDataFiles(const std::string& dir);

struct DictionaryLookup {
    FormulaRecord formula;
    std::array<Fingering, 6> fingerings;  // as stored: 0..2 from the first file, 3..5 from the second
};

// The six fingerings of key 0..11 and formula index 0..61 from the files in appDir (ending
// with '/'), with the formula record. The two dictionary files of the family and the formula
// file are read whole and checked (readDictionaryFile, readFormulaFile), the first file first.
// On failure nothing, and the reason in *error (when given): kMissingChordDataMessage when a
// dictionary file of the family is missing or the formula index is out of range; otherwise the
// first file's failure as those readers word it.
std::optional<DictionaryLookup> lookupChord(const std::string& appDir, int formulaIndex, int key,
                                            std::string* error);

}  // namespace strumox::theory
