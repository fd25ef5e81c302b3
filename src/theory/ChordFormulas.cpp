#include "theory/ChordFormulas.h"

#include <cstring>
#include <initializer_list>

#include "theory/DataFile.h"

namespace strumox::theory {

namespace {

constexpr IntervalList list(std::initializer_list<int> values)
{
    IntervalList out{255, 255, 255, 255, 255, 255, 255};
    size_t i = 0;
    for (int v : values)
        out[i++] = static_cast<std::uint8_t>(v);
    return out;
}

// Semitone values used below.
constexpr int R = 0, b3 = 3, M3 = 4, P4 = 5, b5 = 6, P5 = 7, s5 = 8, M6 = 9, b7 = 10, M7 = 11;
constexpr int b9 = 13, N9 = 14, s9 = 15, N11 = 17, s11 = 18, N13 = 21;

// How the names are read.
//
// Plain names follow the usual chord-symbol reading: a bare number above 7 stacks the thirds up
// to it ("9" = 1 3 5 b7 9), "maj" makes the seventh major, "m" the third minor, "sus" puts the
// fourth in place of the third, "add" adds one tone without the ones in between, and an
// alteration in the name replaces the plain tone it names. Elevenths and thirteenths are
// written as compound intervals (17, 21); a 4 or 6 that the name calls 4 or 6 stays within the
// octave (5, 9).
//
// Thirteenths leave out the natural 11 where it would sit a minor ninth above the major third
// (13, maj13, 13b9, 13b5b9, 13(b5)); that is the tone every player drops, and with it in the
// formula no six-string fingering could ever be named by it. The minor thirteenth has no such
// clash and keeps its 11.
//
// The names that read more than one way:
//
// - "maj9#5": a major ninth chord whose fifth is raised, 1 3 #5 7 9 — the "#5" alters the
//   maj9, it is not a separate "9#5" (dominant) with a major third. It differs from maj7(#5)
//   by the ninth.
// - "aug(+)": the augmented triad, 1 3 #5; the "(+)" is only the other symbol for it.
// - "sus4" is the triad 1 4 5; "maj7sus" is maj7 with the fourth for the third, 1 4 5 7
//   ("sus" alone means the fourth, as everywhere in this menu).
// - "maj7sus(b5)": the maj7sus chord with its fifth lowered, 1 4 b5 7. The fourth and the
//   flat fifth a semitone apart are intended; it is the sound the name asks for.
// - "sus(add3/add9)": a sus4 chord to which both the major third and the ninth are added —
//   the slash joins the two additions, it does not mean "or" and is not a bass note (a bass
//   note is a letter). 1 3 4 5 9: the 4 stays a 4 (5 semitones) because the name is "sus".
//   It belongs to the major menu because the added third is major.
// - "dim(o)": the diminished triad, 1 b3 b5 — "o" is the symbol for it and the menu has no
//   seventh on it; the four-note diminished seventh would be written "dim7" or "o7". This also
//   keeps it apart from "o(addmaj7)" below, which only makes sense on top of a triad.
// - "m7b5": the half-diminished seventh, 1 b3 b5 b7.
// - "o(addmaj7)": the diminished triad with a major seventh added, 1 b3 b5 7 — "add" puts
//   the one tone on the triad (no double-flat seventh with it).
// - "m9(b5)", "m11(b5)": the half-diminished chord extended by the 9 (and 11).
// - "11": the full dominant eleventh, 1 3 5 b7 9 11. Players often drop the third, but that
//   chord is "9sus" in this same menu; keeping the third is what tells the two apart.
// - "13": 1 3 5 b7 9 13 (no natural 11, above). "13sus": 1 4 5 b7 9 13 (the 4 replaces the
//   third, so it may stay). "13sus(b9)": that chord with its ninth lowered, 1 4 5 b7 b9 13.
// - "7/6": a dominant seventh with the sixth added, 1 3 5 6 b7 — the old stacked notation,
//   like "6/9"; not a slash chord (6 is no note name). Without a ninth it is not a "13".
// - "7sus(b9)": 7sus4 with a flat ninth, 1 4 5 b7 b9.
// - "7#5b9", "13b5b9", "7(b5b9)", "7(#5#9)" and the other altered dominants: each named
//   alteration replaces its plain tone (a "b5" removes the 5, a "b9" stands instead of the 9).
//
// What a fingering may leave out (the last column): the plain fifth of every chord of four or
// more tones; the 9 of "11", "m11", "m11(b5)" and of the thirteenths that do not name it; the 11
// of "m13". The three-tone chords keep all their tones.
constexpr std::array<ChordFormula, kChordTypeCount> kFormulas{{
    // ---- major, formula index 0..18
    {"major", "1 3 5", list({R, M3, P5}), list({})},
    {"6", "1 3 5 6", list({R, M3, P5, M6}), list({P5})},
    {"maj7", "1 3 5 7", list({R, M3, P5, M7}), list({P5})},
    {"maj9#5", "1 3 #5 7 9", list({R, M3, s5, M7, N9}), list({})},
    {"aug(+)", "1 3 #5", list({R, M3, s5}), list({})},
    {"6/9", "1 3 5 6 9", list({R, M3, P5, M6, N9}), list({P5})},
    {"maj9", "1 3 5 7 9", list({R, M3, P5, M7, N9}), list({P5})},
    {"sus4", "1 4 5", list({R, P4, P5}), list({})},
    {"maj(b5)", "1 3 b5", list({R, M3, b5}), list({})},
    {"add9", "1 3 5 9", list({R, M3, P5, N9}), list({P5})},
    {"maj7(add13)", "1 3 5 7 13", list({R, M3, P5, M7, N13}), list({P5})},
    {"maj13", "1 3 5 7 9 13", list({R, M3, P5, M7, N9, N13}), list({P5, N9})},
    {"maj7sus", "1 4 5 7", list({R, P4, P5, M7}), list({P5})},
    {"maj7(b5)", "1 3 b5 7", list({R, M3, b5, M7}), list({})},
    {"maj7(#5)", "1 3 #5 7", list({R, M3, s5, M7}), list({})},
    {"maj7(#11)", "1 3 5 7 #11", list({R, M3, P5, M7, s11}), list({P5})},
    {"maj9(#11)", "1 3 5 7 9 #11", list({R, M3, P5, M7, N9, s11}), list({P5})},
    {"maj7sus(b5)", "1 4 b5 7", list({R, P4, b5, M7}), list({})},
    {"sus(add3/add9)", "1 3 4 5 9", list({R, M3, P4, P5, N9}), list({P5})},
    // ---- minor, formula index 19..35
    {"minor", "1 b3 5", list({R, b3, P5}), list({})},
    {"m7", "1 b3 5 b7", list({R, b3, P5, b7}), list({P5})},
    {"m6", "1 b3 5 6", list({R, b3, P5, M6}), list({P5})},
    {"m9", "1 b3 5 b7 9", list({R, b3, P5, b7, N9}), list({P5})},
    {"dim(o)", "1 b3 b5", list({R, b3, b5}), list({})},
    {"m7b5", "1 b3 b5 b7", list({R, b3, b5, b7}), list({})},
    {"m6/9", "1 b3 5 6 9", list({R, b3, P5, M6, N9}), list({P5})},
    {"m(maj7)", "1 b3 5 7", list({R, b3, P5, M7}), list({P5})},
    {"m9(maj7)", "1 b3 5 7 9", list({R, b3, P5, M7, N9}), list({P5})},
    {"m11", "1 b3 5 b7 9 11", list({R, b3, P5, b7, N9, N11}), list({P5, N9})},
    {"m13", "1 b3 5 b7 9 11 13", list({R, b3, P5, b7, N9, N11, N13}), list({P5, N9, N11})},
    {"m(add9)", "1 b3 5 9", list({R, b3, P5, N9}), list({P5})},
    {"m7(add11)", "1 b3 5 b7 11", list({R, b3, P5, b7, N11}), list({P5})},
    {"m7(add13)", "1 b3 5 b7 13", list({R, b3, P5, b7, N13}), list({P5})},
    {"m9(b5)", "1 b3 b5 b7 9", list({R, b3, b5, b7, N9}), list({})},
    {"m11(b5)", "1 b3 b5 b7 9 11", list({R, b3, b5, b7, N9, N11}), list({N9})},
    {"o(addmaj7)", "1 b3 b5 7", list({R, b3, b5, M7}), list({})},
    // ---- dominant, formula index 36..61
    {"7", "1 3 5 b7", list({R, M3, P5, b7}), list({P5})},
    {"9", "1 3 5 b7 9", list({R, M3, P5, b7, N9}), list({P5})},
    {"11", "1 3 5 b7 9 11", list({R, M3, P5, b7, N9, N11}), list({P5, N9})},
    {"13", "1 3 5 b7 9 13", list({R, M3, P5, b7, N9, N13}), list({P5, N9})},
    {"7sus4", "1 4 5 b7", list({R, P4, P5, b7}), list({P5})},
    {"7#5", "1 3 #5 b7", list({R, M3, s5, b7}), list({})},
    {"7b5", "1 3 b5 b7", list({R, M3, b5, b7}), list({})},
    {"7b9", "1 3 5 b7 b9", list({R, M3, P5, b7, b9}), list({P5})},
    {"9#5", "1 3 #5 b7 9", list({R, M3, s5, b7, N9}), list({})},
    {"9b5", "1 3 b5 b7 9", list({R, M3, b5, b7, N9}), list({})},
    {"9#11", "1 3 5 b7 9 #11", list({R, M3, P5, b7, N9, s11}), list({P5})},
    {"13b9", "1 3 5 b7 b9 13", list({R, M3, P5, b7, b9, N13}), list({P5})},
    {"7/6", "1 3 5 6 b7", list({R, M3, P5, M6, b7}), list({P5})},
    {"7#9", "1 3 5 b7 #9", list({R, M3, P5, b7, s9}), list({P5})},
    {"7#5b9", "1 3 #5 b7 b9", list({R, M3, s5, b7, b9}), list({})},
    {"13b5b9", "1 3 b5 b7 b9 13", list({R, M3, b5, b7, b9, N13}), list({})},
    {"9sus", "1 4 5 b7 9", list({R, P4, P5, b7, N9}), list({P5})},
    {"13sus", "1 4 5 b7 9 13", list({R, P4, P5, b7, N9, N13}), list({P5, N9})},
    {"7(b5b9)", "1 3 b5 b7 b9", list({R, M3, b5, b7, b9}), list({})},
    {"7(#5#9)", "1 3 #5 b7 #9", list({R, M3, s5, b7, s9}), list({})},
    {"7(#11)", "1 3 5 b7 #11", list({R, M3, P5, b7, s11}), list({P5})},
    {"7(b9#11)", "1 3 5 b7 b9 #11", list({R, M3, P5, b7, b9, s11}), list({P5})},
    {"7(#9#11)", "1 3 5 b7 #9 #11", list({R, M3, P5, b7, s9, s11}), list({P5})},
    {"13(b5)", "1 3 b5 b7 9 13", list({R, M3, b5, b7, N9, N13}), list({N9})},
    {"7sus(b9)", "1 4 5 b7 b9", list({R, P4, P5, b7, b9}), list({P5})},
    {"13sus(b9)", "1 4 5 b7 b9 13", list({R, P4, P5, b7, b9, N13}), list({P5})},
}};

void writeText(std::uint8_t* out, size_t capacity, const std::string& text)
{
    const size_t n = std::min(text.size(), capacity);
    out[0] = static_cast<std::uint8_t>(n);
    std::memset(out + 1, 0, capacity);
    std::memcpy(out + 1, text.data(), n);
}

// A length byte above the capacity (a damaged file) reads as the whole field.
std::string readText(const std::uint8_t* in, size_t capacity)
{
    return std::string(reinterpret_cast<const char*>(in + 1), std::min<size_t>(in[0], capacity));
}

constexpr size_t kOffSuffix = 7, kOffText = 23;

constexpr RecordLayout kFormulaFileLayout{FormulaRecord::kSize, kChordTypeCount, formulaRecordValid};

}  // namespace

const std::array<ChordFormula, kChordTypeCount>& chordFormulas()
{
    return kFormulas;
}

int intervalCount(const IntervalList& list)
{
    int n = 0;
    while (n < static_cast<int>(list.size()) && list[static_cast<size_t>(n)] != kNoInterval)
        ++n;
    return n;
}

std::uint16_t pitchClassMask(const IntervalList& list)
{
    std::uint16_t mask = 0;
    for (int i = 0, n = intervalCount(list); i < n; ++i)
        mask |= static_cast<std::uint16_t>(1u << (list[static_cast<size_t>(i)] % 12));
    return mask;
}

FormulaRecord::Bytes FormulaRecord::toBytes() const
{
    Bytes b{};
    for (size_t i = 0; i < intervals.size(); ++i)
        b[i] = intervals[i];
    writeText(&b[kOffSuffix], kSuffixCapacity, suffix);
    writeText(&b[kOffText], kTextCapacity, text);
    return b;
}

FormulaRecord FormulaRecord::fromBytes(const std::uint8_t* b)
{
    FormulaRecord r;
    for (size_t i = 0; i < r.intervals.size(); ++i)
        r.intervals[i] = b[i];
    r.suffix = readText(&b[kOffSuffix], kSuffixCapacity);
    r.text = readText(&b[kOffText], kTextCapacity);
    return r;
}

std::vector<FormulaRecord> builtInFormulaRecords()
{
    std::vector<FormulaRecord> out;
    out.reserve(kFormulas.size());
    for (const ChordFormula& f : kFormulas)
        out.push_back({f.intervals, std::string(f.suffix), std::string(f.text)});
    return out;
}

bool formulaRecordValid(const std::uint8_t* b)
{
    if (b[0] != 0)
        return false;
    size_t n = 1;
    for (; n < 7 && b[n] != kNoInterval; ++n) {
        if (b[n] <= b[n - 1] || intervalName(b[n]).empty())
            return false;
    }
    for (; n < 7; ++n) {
        if (b[n] != kNoInterval)
            return false;
    }
    return b[kOffSuffix] <= FormulaRecord::kSuffixCapacity && b[kOffText] <= FormulaRecord::kTextCapacity;
}

std::optional<std::vector<FormulaRecord>> formulasFromBytes(const std::string& path, std::string_view bytes,
                                                            std::string* error)
{
    const RecordScan scan = scanRecords(bytes, kFormulaFileLayout);
    if (scan.result != RecordScan::Result::Whole) {
        if (error) {
            const size_t needed = FormulaRecord::kSize * kChordTypeCount;
            *error = scan.result == RecordScan::Result::Short
                         ? path + " holds " + std::to_string(scan.wholeRecords) + " whole chord formulas of " +
                               std::to_string(kChordTypeCount) + " (" + std::to_string(bytes.size()) + " bytes, " +
                               std::to_string(needed) + " needed)"
                         : damagedMessage(fileNameOf(path), scan.record);
        }
        return std::nullopt;
    }
    std::vector<FormulaRecord> out;
    out.reserve(kChordTypeCount);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (size_t g = 0; g < kChordTypeCount; ++g)
        out.push_back(FormulaRecord::fromBytes(data + g * FormulaRecord::kSize));
    return out;
}

std::optional<std::vector<FormulaRecord>> readFormulaFile(const std::string& path, std::string* error)
{
    const auto bytes = readDataFile(path, kFormulaFileLayout, {}, error);
    if (!bytes)
        return std::nullopt;
    return formulasFromBytes(path, *bytes, error);
}

std::optional<FormulaRecord> readFormulaRecord(const std::string& path, int g, std::string* error)
{
    if (g < 0 || g >= kChordTypeCount) {
        if (error)
            *error = "No chord formula " + std::to_string(g) + " (0.." + std::to_string(kChordTypeCount - 1) + ")";
        return std::nullopt;
    }
    const auto bytes = readDataFile(path, kFormulaFileLayout, {}, error);
    if (!bytes)
        return std::nullopt;
    if (bytes->size() < (static_cast<size_t>(g) + 1) * FormulaRecord::kSize) {
        if (error)
            *error = path + " is too short for chord formula " + std::to_string(g);
        return std::nullopt;
    }
    const auto all = formulasFromBytes(path, *bytes, error);
    if (!all)
        return std::nullopt;
    return (*all)[static_cast<size_t>(g)];
}

}  // namespace strumox::theory
