#include "pages/PrintRecord.h"

#include "pages/ShortString.h"

namespace strumox::pages {

namespace {
namespace print {
constexpr size_t kIsChord = 1, kName = 2, kTuningName = 29, kFormula = 45, kTuning = 72, kStrings = 78,
                 kIntervals = 90, kSounding = 100, kBaseFret = 106, kRoot = 107, kBass = 108;
}
}  // namespace

PrintRecord::Bytes PrintRecord::toBytes() const
{
    Bytes b{};
    b[0] = empty;
    b[print::kIsChord] = isChord;
    writeShortString(&b[print::kName], kNameCapacity, name);
    writeShortString(&b[print::kTuningName], kTuningNameCapacity, tuningName);
    writeShortString(&b[print::kFormula], kFormulaCapacity, formula);
    for (size_t s = 0; s < 6; ++s) {
        b[print::kTuning + s] = tuning[s];
        b[print::kStrings + 2 * s] = frets[s];
        b[print::kStrings + 2 * s + 1] = markers[s];
        b[print::kSounding + s] = sounding[s];
    }
    for (size_t i = 0; i < 10; ++i)
        b[print::kIntervals + i] = intervals[i];
    b[print::kBaseFret] = baseFret;
    b[print::kRoot] = root;
    b[print::kBass] = bass;
    return b;
}

PrintRecord PrintRecord::fromBytes(const std::uint8_t* b)
{
    PrintRecord r;
    r.empty = b[0];
    r.isChord = b[print::kIsChord];
    r.name = readShortString(&b[print::kName], kNameCapacity);
    r.tuningName = readShortString(&b[print::kTuningName], kTuningNameCapacity);
    r.formula = readShortString(&b[print::kFormula], kFormulaCapacity);
    for (size_t s = 0; s < 6; ++s) {
        r.tuning[s] = b[print::kTuning + s];
        r.frets[s] = b[print::kStrings + 2 * s];
        r.markers[s] = b[print::kStrings + 2 * s + 1];
        r.sounding[s] = b[print::kSounding + s];
    }
    for (size_t i = 0; i < 10; ++i)
        r.intervals[i] = b[print::kIntervals + i];
    r.baseFret = b[print::kBaseFret];
    r.root = b[print::kRoot];
    r.bass = b[print::kBass];
    return r;
}

}  // namespace strumox::pages
