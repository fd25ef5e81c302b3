#include "theory/Fingering.h"

#include <algorithm>

namespace strumox::theory {

int beginningFret(const std::array<std::uint8_t, 6>& frets, const std::array<std::uint8_t, 6>& markers)
{
    int lo = 99, hi = 0;
    for (std::size_t s = 0; s < 6; ++s) {
        if (frets[s] == 0 || markers[s] == MarkerMuted)
            continue;
        lo = std::min<int>(lo, frets[s]);
        hi = std::max<int>(hi, frets[s]);
    }
    if (hi <= 4)
        return 1;
    return lo > 16 ? 17 : lo;
}

}  // namespace strumox::theory
