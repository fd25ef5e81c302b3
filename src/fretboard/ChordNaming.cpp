#include "fretboard/ChordNaming.h"

namespace strumox::fretboard {

theory::SearchInput searchInputOf(const pages::DiagramRecord& work)
{
    theory::SearchInput in;
    in.intervals = work.intervals;
    in.root = work.root;
    for (size_t s = 0; s < 6; ++s)
        if (work.markers[s] != pages::MarkerMuted && (work.tuning[s] + work.frets[s]) % 12 == work.root % 12)
            in.rootSounded = true;
    return in;
}

std::optional<std::string> defaultChordName(const pages::DiagramRecord& work,
                                            const std::vector<theory::FormulaRecord>& formulas,
                                            const theory::NoteNames& names)
{
    const auto outcome = theory::searchChords(searchInputOf(work), theory::IntervalOption::Only,
                                              theory::RootOption::CurrentRoot, formulas, names);
    if (outcome.results.empty())
        return std::nullopt;
    const std::string& text = outcome.results.front().text;
    return text.substr(0, text.find('\t'));
}

}  // namespace strumox::fretboard
