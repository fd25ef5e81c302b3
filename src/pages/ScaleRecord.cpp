#include "pages/ScaleRecord.h"

#include "pages/ShortString.h"

namespace strumox::pages {

namespace {
namespace scale {
constexpr size_t kName = 1, kTuningName = 28, kFormula = 44, kTuning = 71, kIntervals = 77, kBeginFret = 87,
                 kRoot = 93;
}
}  // namespace

ScaleRecord::Bytes ScaleRecord::toBytes() const
{
    Bytes b{};
    b[0] = empty;
    writeShortString(&b[scale::kName], kNameCapacity, name);
    writeShortString(&b[scale::kTuningName], kTuningNameCapacity, tuningName);
    writeShortString(&b[scale::kFormula], kFormulaCapacity, formula);
    for (size_t s = 0; s < 6; ++s) {
        b[scale::kTuning + s] = tuning[s];
        b[scale::kBeginFret + s] = beginFret[s];
    }
    for (size_t i = 0; i < kMaxIntervals; ++i)
        b[scale::kIntervals + i] = intervals[i];
    b[scale::kRoot] = root;
    return b;
}

ScaleRecord ScaleRecord::fromBytes(const std::uint8_t* b)
{
    ScaleRecord r;
    r.empty = b[0];
    r.name = readShortString(&b[scale::kName], kNameCapacity);
    r.tuningName = readShortString(&b[scale::kTuningName], kTuningNameCapacity);
    r.formula = readShortString(&b[scale::kFormula], kFormulaCapacity);
    for (size_t s = 0; s < 6; ++s) {
        r.tuning[s] = b[scale::kTuning + s];
        r.beginFret[s] = b[scale::kBeginFret + s];
    }
    for (size_t i = 0; i < kMaxIntervals; ++i)
        r.intervals[i] = b[scale::kIntervals + i];
    r.root = b[scale::kRoot];
    return r;
}

}  // namespace strumox::pages
