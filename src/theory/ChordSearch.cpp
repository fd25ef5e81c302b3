#include "theory/ChordSearch.h"

#include <cstdint>

namespace strumox::theory {

namespace {

int mod12(int v) { return ((v % 12) + 12) % 12; }

// Index of the first 255 of the list; 7 when there is none. Entries at or after it never count.
int listEnd(const IntervalList& list)
{
    for (int i = 0; i < 7; ++i)
        if (list[static_cast<size_t>(i)] == kNoInterval)
            return i;
    return 7;
}

// The pitch classes (bit = value mod 12) and the number of the entries from `first` up to the
// list's end: what a formula offers with its root (first = 0) or without it (first = 1).
struct FormulaTones {
    std::uint16_t mask = 0;
    int count = 0;
};

FormulaTones tonesFrom(const IntervalList& list, int first)
{
    FormulaTones t;
    for (int j = first, end = listEnd(list); j < end; ++j) {
        t.mask = static_cast<std::uint16_t>(t.mask | (1u << (list[static_cast<size_t>(j)] % 12)));
        ++t.count;
    }
    return t;
}

}  // namespace

SearchOutcome searchChords(const SearchInput& in, IntervalOption iop, RootOption rop,
                           const std::vector<FormulaRecord>& formulas, const NoteNames& names)
{
    SearchOutcome out;
    out.intervalOp = iop;
    out.rootOp = rop;

    const int start = in.rootSounded ? 0 : 1;
    const int n = listEnd(in.intervals) - start;
    if (n <= 1)
        return out;
    if (n == 2)
        out.intervalOp = IntervalOption::Containing;
    if (!in.rootSounded && out.rootOp == RootOption::CurrentRoot)
        out.rootOp = RootOption::EachNote;

    const int root = mod12(in.root);
    std::vector<int> notes;
    std::uint16_t noteMask = 0;
    for (int j = 0; j < n; ++j) {
        notes.push_back(mod12(root + in.intervals[static_cast<size_t>(start + j)]));
        noteMask = static_cast<std::uint16_t>(noteMask | (1u << notes.back()));
    }

    std::vector<int> candidates;
    switch (out.rootOp) {
    case RootOption::CurrentRoot: candidates = {root}; break;
    case RootOption::EachNote: candidates = notes; break;
    case RootOption::AllKeys:
        for (int c = 0; c < 12; ++c)
            candidates.push_back(c);
        break;
    }

    // Both readings of every formula, worked out once for all candidate roots.
    std::vector<FormulaTones> withRoot, withoutRoot;
    withRoot.reserve(formulas.size());
    withoutRoot.reserve(formulas.size());
    for (const FormulaRecord& f : formulas) {
        withRoot.push_back(tonesFrom(f.intervals, 0));
        withoutRoot.push_back(tonesFrom(f.intervals, 1));
    }

    for (const int c : candidates) {
        const bool rootIsNote = (noteMask >> c) & 1u;
        for (size_t g = 0; g < formulas.size(); ++g) {
            const FormulaTones& tones = rootIsNote ? withRoot[g] : withoutRoot[g];
            if (out.intervalOp == IntervalOption::Only && tones.count != n)
                continue;
            int matched = 0;
            for (const int x : notes)
                matched += (tones.mask >> mod12(x - c)) & 1u;
            if (matched < n)
                continue;
            out.results.push_back({static_cast<int>(g), c,
                                   names.note(c) + " " + formulas[g].suffix + "\t" + formulas[g].text});
        }
    }
    out.searched = true;
    return out;
}

}  // namespace strumox::theory
