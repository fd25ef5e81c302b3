#pragma once
// The 62 built-in chord types: what each menu caption means as intervals, how a guitarist reads
// it, and the 44-byte record of the formula file "kqcd3.dat" (record g = formula index g).
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "theory/ChordTypes.h"
#include "theory/Notes.h"

namespace strumox::theory {

// One built-in chord type. Interval values are semitones above the root; a ninth is written
// as 13..15, an eleventh as 17 or 18, a thirteenth as 20 or 21 (compound), everything else
// within the octave. Lists rise and end with 255.
struct ChordFormula {
    std::string_view suffix;  // the menu caption, e.g. "maj7"
    std::string_view text;    // e.g. "1 3 5 7", at most 20 characters
    IntervalList intervals;
    // Intervals of `intervals` that a fingering may leave out when six strings under one hand
    // cannot hold them all (the plain fifth; the ninth and eleventh of thirteenths; the ninth
    // of elevenths). Everything else is what the name asks for and must sound. 255 after.
    IntervalList mayOmit;
};

const std::array<ChordFormula, kChordTypeCount>& chordFormulas();

// Number of entries before the first 255.
int intervalCount(const IntervalList& list);

// Bit (interval mod 12) set for every entry of the list: the pitch classes above the root.
std::uint16_t pitchClassMask(const IntervalList& list);

// One record of the formula file.
struct FormulaRecord {
    static constexpr size_t kSize = 44;
    static constexpr size_t kSuffixCapacity = 15;
    static constexpr size_t kTextCapacity = 20;

    IntervalList intervals{0, 255, 255, 255, 255, 255, 255};
    std::string suffix;  // written truncated to 15 characters
    std::string text;    // written truncated to 20 characters

    using Bytes = std::array<std::uint8_t, kSize>;
    Bytes toBytes() const;
    static FormulaRecord fromBytes(const std::uint8_t* bytes);  // reads kSize bytes

    bool operator==(const FormulaRecord&) const = default;
};

// The 62 records of the built-in table, in formula-index order.
std::vector<FormulaRecord> builtInFormulaRecords();

// Whether 44 bytes hold a chord type the program can show: the interval list starts with the
// root (0), rises strictly through named distances of 1..23 semitones and holds 255 in every
// entry after its last interval (each of the seven bytes is read on its own, so a stray value
// after a 255 would be shown as a chord tone); the suffix length is 0..15 and the formula text
// length 0..20. The characters are not checked: any 8-bit text is shown as written.
bool formulaRecordValid(const std::uint8_t* bytes);

// All 62 records of a formula file, or nothing with a reason in *error (when given): a file
// that cannot be opened ("Cannot open PATH: ..."), one that is not a regular file, one shorter
// than 62 records, or a damaged one ("kqcd3.dat is damaged: record N.", the first record that
// breaks the rules above, or record 62 when bytes follow the table). Nothing is returned
// half-read.
std::optional<std::vector<FormulaRecord>> readFormulaFile(const std::string& path, std::string* error);

// The same checks over a formula file's bytes already read; path names it in the messages.
std::optional<std::vector<FormulaRecord>> formulasFromBytes(const std::string& path, std::string_view bytes,
                                                            std::string* error);

// Record g of a formula file, after the whole file has passed the checks above. A file too short
// to hold record g says so for that record.
std::optional<FormulaRecord> readFormulaRecord(const std::string& path, int g, std::string* error);

}  // namespace strumox::theory
