#include "pages/DiagramRecord.h"

#include "pages/ShortString.h"

namespace strumox::pages {

namespace {
constexpr size_t kOffName = 1, kOffTuningName = 17, kOffFormula = 33, kOffTuning = 54, kOffStrings = 60,
                 kOffIntervals = 72, kOffSounding = 79, kOffBaseFret = 85, kOffRoot = 86, kOffBass = 87;
}

DiagramRecord::Bytes DiagramRecord::toBytes() const
{
    Bytes b{};
    b[0] = empty;
    writeShortString(&b[kOffName], kNameCapacity, name);
    writeShortString(&b[kOffTuningName], kTuningNameCapacity, tuningName);
    writeShortString(&b[kOffFormula], kFormulaCapacity, formula);
    for (size_t s = 0; s < 6; ++s) {
        b[kOffTuning + s] = tuning[s];
        b[kOffStrings + 2 * s] = frets[s];
        b[kOffStrings + 2 * s + 1] = markers[s];
        b[kOffSounding + s] = sounding[s];
    }
    for (size_t i = 0; i < 7; ++i)
        b[kOffIntervals + i] = intervals[i];
    b[kOffBaseFret] = baseFret;
    b[kOffRoot] = root;
    b[kOffBass] = bass;
    return b;
}

DiagramRecord DiagramRecord::fromBytes(const std::uint8_t* b)
{
    DiagramRecord r;
    r.empty = b[0];
    r.name = readShortString(&b[kOffName], kNameCapacity);
    r.tuningName = readShortString(&b[kOffTuningName], kTuningNameCapacity);
    r.formula = readShortString(&b[kOffFormula], kFormulaCapacity);
    for (size_t s = 0; s < 6; ++s) {
        r.tuning[s] = b[kOffTuning + s];
        r.frets[s] = b[kOffStrings + 2 * s];
        r.markers[s] = b[kOffStrings + 2 * s + 1];
        r.sounding[s] = b[kOffSounding + s];
    }
    for (size_t i = 0; i < 7; ++i)
        r.intervals[i] = b[kOffIntervals + i];
    r.baseFret = b[kOffBaseFret];
    r.root = b[kOffRoot];
    r.bass = b[kOffBass];
    return r;
}

DiagramRecord DiagramRecord::blankWork()
{
    DiagramRecord r;
    r.empty = 0;
    r.tuningName = "Standard";
    return r;
}

}  // namespace strumox::pages
