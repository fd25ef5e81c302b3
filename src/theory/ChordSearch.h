#pragma once
// Naming a fretted chord: which of the 62 formulas, on which root, hold the notes a fingering
// sounds. The results keep the order they are found in (candidate root, then formula index);
// nothing is sorted and nothing merged, so a root tried twice lists its chords twice.
#include <string>
#include <string_view>
#include <vector>

#include "theory/ChordFormulas.h"
#include "theory/Notes.h"

namespace strumox::theory {

// Containing: a formula qualifies when it holds every sounded note. Only: it must also hold no
// other tone, counted over the same entries.
enum class IntervalOption { Containing = 0, Only = 1 };
// Which roots are tried: the fingering's root; each sounded note in interval-list order; all
// twelve keys from C (0) to B (11).
enum class RootOption { CurrentRoot = 0, EachNote = 1, AllKeys = 2 };

// The notes to name: an interval list over `root` (entry 0 is the root whether or not it
// sounds; `rootSounded` says whether it does, and an unsounded root is left out of the notes).
struct SearchInput {
    IntervalList intervals{0, 255, 255, 255, 255, 255, 255};
    int root = 0;  // note number; reduced modulo 12
    bool rootSounded = false;
};

struct SearchResult {
    int formulaIndex;
    int root;          // 0..11
    std::string text;  // "C maj7\t1 3 5 7": root name, blank, suffix, tab, formula text (8-bit)

    bool operator==(const SearchResult&) const = default;
};

struct SearchOutcome {
    bool searched = false;  // false when fewer than two notes (list stays empty, no message)
    IntervalOption intervalOp = IntervalOption::Only;  // the options as finally used (after automatic switching)
    RootOption rootOp = RootOption::CurrentRoot;
    std::vector<SearchResult> results;
};

// What the list shows when a search finds nothing.
inline constexpr std::string_view kNoChordsFound = "No Chords Found";

// Two notes always search with Containing (a dyad is part of many chords and all of none); an
// unsounded root with CurrentRoot searches with EachNote, since the root the user set is then
// not a note of the chord. A candidate root that is not one of the notes is matched against the
// formulas without their root entry. `formulas` holds the records of the formula file in
// formula-index order.
SearchOutcome searchChords(const SearchInput& in, IntervalOption iop, RootOption rop,
                           const std::vector<FormulaRecord>& formulas, const NoteNames& names);

}  // namespace strumox::theory
