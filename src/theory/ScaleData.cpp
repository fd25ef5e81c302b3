#include "theory/ScaleData.h"

#include <algorithm>
#include <cassert>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "fileio/AtomicFile.h"
#include "theory/DataFile.h"

namespace strumox::theory {

namespace {

constexpr std::size_t kFormulaOffset = kMaxScaleIntervals;  // length byte, then the characters

ScaleDefinition scale(std::initializer_list<int> semitones, const char* formula)
{
    assert(semitones.size() <= kMaxScaleIntervals);
    ScaleDefinition d;
    std::size_t i = 0;
    for (const int s : semitones) {
        if (i < kMaxScaleIntervals)
            d.intervals[i++] = static_cast<std::uint8_t>(s);
    }
    d.formula = formula;
    return d;
}

// Formula texts name each degree against the major scale of the root ("b3" = minor third) and
// keep one letter per degree where the scale allows it, so a guitarist can read the spelling
// straight off: Super Locrian is "1 b2 b3 b4 b5 b6 b7", not "1 b9 #9 3 #11 b13 b7". Scales of
// more than seven notes must repeat a number; they use the spelling players know from chord symbols.
//
// The names that admit more than one reading, and the reading chosen:
// - Lydian Minor: the 1 2 3 #4 5 b6 b7 scale that stands beside Major Locrian among the exotic
//   scales (a Lydian lower half over a minor upper half), not the Lydian b3 mode.
// - Major Locrian: 1 2 3 4 b5 b6 b7, a major lower half over a Locrian upper half.
// - Blues Pentatonic: the six-note minor blues, minor pentatonic plus the blue b5.
// - Blues 2: the major blues 1 2 b3 3 5 6, the major pentatonic with the passing b3. It is the
//   minor blues started from its b3, as major and minor pentatonic are rotations of each other.
// - Diminished: whole-half, 1 2 b3 4 b5 b6 6 7, the scale of the diminished seventh chord.
//   Half-Whole: 1 b2 #2 3 #4 5 6 b7, the same pattern from a half step, the choice for a 7b9
//   chord; spelled as the dominant scale it is (b9, #9, 3, #11 in simple numbers).
// - Half Diminished: Locrian natural 2 (1 2 b3 4 b5 b6 b7), the scale jazz players mean by the
//   name; plain Locrian has its own entry. The same notes as JM 6, reached from the chord.
// - Neapolitan Major / Minor: the Phrygian lower half (1 b2 b3 4 5) over the upper half of
//   melodic minor (6 7) and of harmonic minor (b6 7).
// - Hungarian Major: 1 #2 3 #4 5 6 b7. Hungarian Minor: harmonic minor with a raised fourth.
// - Ascending Minor: melodic minor going up, the same notes as "Jazz/Melodic Minor (JM)".
// - Double Harmonic: 1 b2 3 4 5 b6 7, two augmented seconds.
// - Enigmatic: the ascending form 1 b2 3 #4 #5 #6 7.
// - Spanish: the eight-note Spanish scale of flamenco, Phrygian with both thirds
//   (1 b2 #2 3 4 5 b6 b7): over the E chord of an E Phrygian cadence one plays G and G#. The
//   seven-note "Spanish Phrygian" is already HM 5, so the eight-note form adds a scale. (Some
//   scale catalogues print a form with b5 instead of 5; with no fifth it no longer fits the
//   chord the scale is played over.)
// - Prometheus: the six notes of the "mystic chord", 1 2 3 #4 6 b7.
// - Messiaen: his third mode of limited transposition, the nine-note 1 2 b3 3 #4 5 #5 b7 7
//   (whole step, then two half steps, three times). His first mode is Whole Tone and his second
//   the two diminished scales above, so the third is the first that adds something new.
// - Oriental: 1 b2 3 4 b5 6 b7.
// - Kumoi, Hirajoshi, Pelog: pentatonic scales from Japanese and Indonesian music, in the
//   twelve-tone forms guitar players use: Kumoi 1 2 b3 5 6, Hirajoshi 1 2 b3 5 b6, Pelog
//   1 b2 b3 5 b6. (Pelog's own tuning does not fit twelve equal steps; this is the usual
//   approximation. Hirajoshi is also taught from other starting notes of the same five.)
// - 13b9: the scale that carries a 13b9 chord, Mixolydian with a flat second (1 b2 3 4 5 6 b7,
//   the fifth mode of harmonic major): root, b9, 3, 5, 13 and b7 are all in it.
// - Plain Mi7b5: the bare m7b5 chord tones 1 b3 b5 b7, an arpeggio laid out in positions.
//   Both scales one plays over the chord (Locrian, and Half Diminished = Locrian #2) already
//   have entries; "plain" is the chord alone.
// - HM 2..HM 7 and JM 2..JM 7: the modes of harmonic and of melodic minor built on the
//   parent's 2nd..7th degree. HM: Locrian #6, Ionian #5, Dorian #4, Phrygian dominant,
//   Lydian #2, altered bb7. JM: Dorian b2, Lydian augmented, Lydian dominant ("overtone"),
//   Mixolydian b6, Locrian #2, altered ("Super Locrian").
const std::array<ScaleDefinition, kScaleCount> kScales{
    scale({0, 2, 4, 5, 7, 9, 11}, "1 2 3 4 5 6 7"),            // 0 Ionian (Major)
    scale({0, 2, 3, 5, 7, 9, 10}, "1 2 b3 4 5 6 b7"),          // 1 Dorian (Minor)
    scale({0, 1, 3, 5, 7, 8, 10}, "1 b2 b3 4 5 b6 b7"),        // 2 Phrygian
    scale({0, 2, 4, 6, 7, 9, 11}, "1 2 3 #4 5 6 7"),           // 3 Lydian
    scale({0, 2, 4, 6, 7, 8, 10}, "1 2 3 #4 5 b6 b7"),         // 4 Lydian Minor
    scale({0, 2, 4, 5, 7, 9, 10}, "1 2 3 4 5 6 b7"),           // 5 Mixolydian
    scale({0, 2, 3, 5, 7, 8, 10}, "1 2 b3 4 5 b6 b7"),         // 6 Aeolian (Natural Minor)
    scale({0, 1, 3, 5, 6, 8, 10}, "1 b2 b3 4 b5 b6 b7"),       // 7 Locrian
    scale({0, 2, 4, 5, 6, 8, 10}, "1 2 3 4 b5 b6 b7"),         // 8 Major Locrian
    scale({0, 2, 4, 7, 9}, "1 2 3 5 6"),                       // 9 Major Pentatonic
    scale({0, 3, 5, 7, 10}, "1 b3 4 5 b7"),                    // 10 Minor Pentatonic
    scale({0, 3, 5, 6, 7, 10}, "1 b3 4 b5 5 b7"),              // 11 Blues Pentatonic
    scale({0, 2, 3, 4, 7, 9}, "1 2 b3 3 5 6"),                 // 12 Blues 2
    scale({0, 2, 3, 5, 6, 8, 9, 11}, "1 2 b3 4 b5 b6 6 7"),    // 13 Diminished
    scale({0, 2, 3, 5, 6, 8, 10}, "1 2 b3 4 b5 b6 b7"),        // 14 Half Diminished
    scale({0, 2, 4, 6, 8, 10}, "1 2 3 #4 #5 b7"),              // 15 Whole Tone
    scale({0, 1, 3, 4, 6, 7, 9, 10}, "1 b2 #2 3 #4 5 6 b7"),   // 16 Half-Whole
    scale({0, 1, 3, 5, 7, 9, 11}, "1 b2 b3 4 5 6 7"),          // 17 Neopolitan Major
    scale({0, 1, 3, 5, 7, 8, 11}, "1 b2 b3 4 5 b6 7"),         // 18 Neopolitan Minor
    scale({0, 3, 4, 6, 7, 9, 10}, "1 #2 3 #4 5 6 b7"),         // 19 Hungarian Major
    scale({0, 2, 3, 6, 7, 8, 11}, "1 2 b3 #4 5 b6 7"),         // 20 Hungarian Minor
    scale({0, 2, 3, 5, 7, 9, 11}, "1 2 b3 4 5 6 7"),           // 21 Ascending Minor
    scale({0, 1, 4, 5, 7, 8, 11}, "1 b2 3 4 5 b6 7"),          // 22 Double Harmonic
    scale({0, 1, 4, 6, 8, 10, 11}, "1 b2 3 #4 #5 #6 7"),       // 23 Enigmatic
    scale({0, 1, 3, 4, 5, 7, 8, 10}, "1 b2 #2 3 4 5 b6 b7"),   // 24 Spanish
    scale({0, 2, 4, 6, 9, 10}, "1 2 3 #4 6 b7"),               // 25 Prometheus
    scale({0, 2, 3, 4, 6, 7, 8, 10, 11}, "1 2 b3 3 #4 5 #5 b7 7"),  // 26 Messiaen
    scale({0, 1, 4, 5, 6, 9, 10}, "1 b2 3 4 b5 6 b7"),         // 27 Oriental
    scale({0, 2, 3, 7, 9}, "1 2 b3 5 6"),                      // 28 Kumoi
    scale({0, 2, 3, 7, 8}, "1 2 b3 5 b6"),                     // 29 Hirajoshi
    scale({0, 1, 3, 7, 8}, "1 b2 b3 5 b6"),                    // 30 Pelog
    scale({0, 1, 4, 5, 7, 9, 10}, "1 b2 3 4 5 6 b7"),          // 31 13b9
    scale({0, 3, 6, 10}, "1 b3 b5 b7"),                        // 32 Plain Mi7b5
    scale({0, 2, 3, 5, 7, 8, 11}, "1 2 b3 4 5 b6 7"),          // 33 Harmonic Minor (HM)
    scale({0, 1, 3, 5, 6, 9, 10}, "1 b2 b3 4 b5 6 b7"),        // 34 HM 2
    scale({0, 2, 4, 5, 8, 9, 11}, "1 2 3 4 #5 6 7"),           // 35 HM 3
    scale({0, 2, 3, 6, 7, 9, 10}, "1 2 b3 #4 5 6 b7"),         // 36 HM 4
    scale({0, 1, 4, 5, 7, 8, 10}, "1 b2 3 4 5 b6 b7"),         // 37 HM 5
    scale({0, 3, 4, 6, 7, 9, 11}, "1 #2 3 #4 5 6 7"),          // 38 HM 6
    scale({0, 1, 3, 4, 6, 8, 9}, "1 b2 b3 b4 b5 b6 bb7"),      // 39 HM 7
    scale({0, 2, 3, 5, 7, 9, 11}, "1 2 b3 4 5 6 7"),           // 40 Jazz/Melodic Minor (JM)
    scale({0, 1, 3, 5, 7, 9, 10}, "1 b2 b3 4 5 6 b7"),         // 41 JM 2
    scale({0, 2, 4, 6, 8, 9, 11}, "1 2 3 #4 #5 6 7"),          // 42 JM 3
    scale({0, 2, 4, 6, 7, 9, 10}, "1 2 3 #4 5 6 b7"),          // 43 JM 4 (Overtone)
    scale({0, 2, 4, 5, 7, 8, 10}, "1 2 3 4 5 b6 b7"),          // 44 JM 5
    scale({0, 2, 3, 5, 6, 8, 10}, "1 2 b3 4 b5 b6 b7"),        // 45 JM 6
    scale({0, 1, 3, 4, 6, 8, 10}, "1 b2 b3 b4 b5 b6 b7"),      // 46 JM 7 (Super Locrian)
};

constexpr RecordLayout kScaleFileLayout{ScaleDefinition::kSize, kScaleCount, scaleRecordValid};

}  // namespace

int ScaleDefinition::noteCount() const
{
    const auto end = std::find(intervals.begin(), intervals.end(), kScaleListEnd);
    return static_cast<int>(end - intervals.begin());
}

ScaleDefinition::Bytes ScaleDefinition::toBytes() const
{
    Bytes b{};
    std::copy(intervals.begin(), intervals.end(), b.begin());
    const std::size_t len = std::min(formula.size(), kFormulaCapacity);
    b[kFormulaOffset] = static_cast<std::uint8_t>(len);
    std::copy_n(formula.begin(), len, b.begin() + kFormulaOffset + 1);
    return b;
}

ScaleDefinition ScaleDefinition::fromBytes(const std::uint8_t* bytes)
{
    ScaleDefinition d;
    std::copy_n(bytes, kMaxScaleIntervals, d.intervals.begin());
    // A length byte beyond the field (a damaged file) reads as the whole field.
    const std::size_t len = std::min<std::size_t>(bytes[kFormulaOffset], kFormulaCapacity);
    d.formula.assign(reinterpret_cast<const char*>(bytes + kFormulaOffset + 1), len);
    return d;
}

const std::array<ScaleDefinition, kScaleCount>& builtInScales()
{
    return kScales;
}

void writeScaleFile(const std::string& dir)
{
    std::vector<std::uint8_t> file;
    for (const ScaleDefinition& s : kScales) {
        const auto bytes = s.toBytes();
        file.insert(file.end(), bytes.begin(), bytes.end());
    }
    // The build refuses to write a file its own reader would call damaged.
    const RecordScan scan =
        scanRecords(std::string_view(reinterpret_cast<const char*>(file.data()), file.size()), kScaleFileLayout);
    if (scan.result != RecordScan::Result::Whole)
        throw std::logic_error(std::string("generated ") + damagedMessage(kScaleFileName, scan.record));
    fileio::writeFileAtomically(dir + kScaleFileName, file);
}

bool scaleRecordValid(const std::uint8_t* b)
{
    if (b[0] != 0)
        return false;
    std::size_t n = 1;
    for (; n < kMaxScaleIntervals && b[n] != kScaleListEnd; ++n) {
        if (b[n] <= b[n - 1] || b[n] > 11)
            return false;
    }
    for (; n < kMaxScaleIntervals; ++n) {
        if (b[n] != kScaleListEnd)
            return false;
    }
    return b[kFormulaOffset] <= ScaleDefinition::kFormulaCapacity;
}

std::optional<std::vector<ScaleDefinition>> scalesFromBytes(const std::string& path, std::string_view bytes,
                                                            std::string* error)
{
    const RecordScan scan = scanRecords(bytes, kScaleFileLayout);
    if (scan.result == RecordScan::Result::Short) {
        if (error) {
            const std::size_t from = scan.record * ScaleDefinition::kSize;
            *error = "Read beyond end of file: " + path + " holds no complete scale record " +
                     std::to_string(scan.record) + " (bytes " + std::to_string(from) + " to " +
                     std::to_string(from + ScaleDefinition::kSize - 1) + ").";
        }
        return std::nullopt;
    }
    if (scan.result == RecordScan::Result::Damaged) {
        if (error)
            *error = damagedMessage(fileNameOf(path), scan.record);
        return std::nullopt;
    }
    std::vector<ScaleDefinition> out;
    out.reserve(kScaleCount);
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = 0; i < kScaleCount; ++i)
        out.push_back(ScaleDefinition::fromBytes(data + i * ScaleDefinition::kSize));
    return out;
}

std::optional<std::vector<ScaleDefinition>> readScaleFile(const std::string& appDir, std::string* error)
{
    const std::string path = appDir + kScaleFileName;
    const auto bytes = readDataFile(path, kScaleFileLayout, "Could Not Find Scale Data File.", error);
    if (!bytes)
        return std::nullopt;
    return scalesFromBytes(path, *bytes, error);
}

std::optional<ScaleDefinition> readScaleRecord(const std::string& appDir, int index, std::string* error)
{
    const auto all = readScaleFile(appDir, error);
    if (!all)
        return std::nullopt;
    if (index < 0 || index >= kScaleCount) {
        if (error)
            *error = "No scale record " + std::to_string(index) + " in " + appDir + kScaleFileName + ".";
        return std::nullopt;
    }
    return (*all)[static_cast<std::size_t>(index)];
}

std::string scaleRowTuningName(const Tuning& tuning, const NoteNames& names)
{
    constexpr std::size_t kTuningNameCapacity = 15;
    std::string text;
    for (int s = 5; s >= 0; --s)
        text += " " + names.note(tuning[static_cast<std::size_t>(s)]);
    return text.substr(0, kTuningNameCapacity);
}

}  // namespace strumox::theory
