#include "pages/ChordFinder.h"

namespace strumox::pages {

std::array<DiagramRecord, 6> diagramsFromLookup(const theory::DictionaryLookup& lookup, int key)
{
    std::array<DiagramRecord, 6> out;
    for (size_t i = 0; i < out.size(); ++i) {
        const theory::Fingering& f = lookup.fingerings[i];
        DiagramRecord& d = out[i];
        d.empty = 0;
        d.name = lookup.formula.suffix;
        d.tuningName = "Standard";
        d.formula = lookup.formula.text;
        d.tuning = theory::kStandardTuning;
        d.frets = f.frets;
        d.markers = f.markers;
        d.intervals = lookup.formula.intervals;
        d.baseFret = f.baseFret;
        d.root = static_cast<std::uint8_t>(key);
        d.bass = static_cast<std::uint8_t>(key + DiagramRecord::kBassOffset);
        for (size_t s = 0; s < 6; ++s)
            d.sounding[s] = f.markers[s] == MarkerMuted ? 0 : static_cast<std::uint8_t>(d.tuning[s] + f.frets[s]);
    }
    return out;
}

}  // namespace strumox::pages
