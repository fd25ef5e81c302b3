#include "theory/ScaleTypes.h"

#include <algorithm>

namespace strumox::theory {

std::vector<int> scaleNotes(std::span<const std::uint8_t> intervals, int root)
{
    std::vector<int> notes;
    for (std::size_t k = 0; k < intervals.size() && k < kMaxScaleIntervals; ++k) {
        if (intervals[k] == kScaleListEnd)
            break;
        notes.push_back((root + intervals[k]) % 12);
    }
    return notes;
}

int clampScaleSpan(int frets) { return std::clamp(frets, kMinScaleSpan, kMaxScaleSpan); }

}  // namespace strumox::theory
