// Chord search: properties over every formula on every root, and the switching and order rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "theory/ChordSearch.h"

using namespace strumox::theory;

namespace {

const std::vector<FormulaRecord> kFormulas = builtInFormulaRecords();

IntervalList listOf(const std::vector<int>& values)
{
    IntervalList out{255, 255, 255, 255, 255, 255, 255};
    std::copy(values.begin(), values.end(), out.begin());
    return out;
}

// Pitch classes of the entries from `first` to the first 255, rotated down by `by`.
unsigned maskOf(const IntervalList& list, int first, int by = 0)
{
    unsigned m = 0;
    for (int j = first; j < 7 && list[j] != kNoInterval; ++j)
        m |= 1u << ((list[j] - by + 24) % 12);
    return m;
}

int named(const std::string& suffix)
{
    for (size_t g = 0; g < kFormulas.size(); ++g)
        if (kFormulas[g].suffix == suffix)
            return static_cast<int>(g);
    return -1;
}

bool found(const SearchOutcome& o, int g, int root)
{
    return std::find(o.results.begin(), o.results.end(),
                     SearchResult{g, root, NoteNames().note(root) + " " + kFormulas[size_t(g)].suffix + "\t" +
                                               kFormulas[size_t(g)].text}) != o.results.end();
}

// Every result holds all the notes relative to its root (read with the root entry exactly when
// that root is a note), and under Only nothing else (the table's pitch classes are distinct);
// the results run through the candidate roots in order, each block in rising formula order.
SearchOutcome search(const SearchInput& in, IntervalOption iop, RootOption rop)
{
    const SearchOutcome o = searchChords(in, iop, rop, kFormulas, NoteNames());
    std::vector<int> roots;
    for (int j = in.rootSounded ? 0 : 1; j < 7 && in.intervals[j] != kNoInterval; ++j)
        roots.push_back((in.root + in.intervals[j]) % 12);
    const unsigned notes = maskOf(in.intervals, in.rootSounded ? 0 : 1, -in.root);
    if (o.rootOp == RootOption::CurrentRoot)
        roots = {in.root};
    else if (o.rootOp == RootOption::AllKeys)
        roots = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    size_t block = 0;
    int lastG = -1;
    for (const auto& r : o.results) {
        const unsigned relative = ((notes >> r.root) | (notes << (12 - r.root))) & 0xFFF;
        const unsigned offered = maskOf(kFormulas[size_t(r.formulaIndex)].intervals, (notes >> r.root) & 1 ? 0 : 1);
        EXPECT_EQ(relative & ~offered, 0u) << r.text;
        EXPECT_TRUE(o.intervalOp == IntervalOption::Containing || relative == offered) << r.text;
        while (block < roots.size() && (roots[block] != r.root || r.formulaIndex <= lastG)) {
            ++block;
            lastG = -1;
        }
        EXPECT_LT(block, roots.size()) << "out of order: " << r.text;
        lastG = r.formulaIndex;
    }
    return o;
}

}  // namespace

TEST(ChordSearch, EveryFormulaOnEveryRootIsFoundWholeInvertedAndWithoutItsRootOrLastTone)
{
    for (int g = 0; g < 62; ++g)
        for (int c = 0; c < 12; ++c) {
            SCOPED_TRACE(kFormulas[size_t(g)].suffix + " on " + std::to_string(c));
            const IntervalList& f = kFormulas[size_t(g)].intervals;
            for (auto iop : {IntervalOption::Containing, IntervalOption::Only})
                for (auto rop : {RootOption::CurrentRoot, RootOption::EachNote, RootOption::AllKeys})
                    EXPECT_TRUE(found(search({f, c, true}, iop, rop), g, c));
            // Over its second tone as the fingering's root: each note tries C among the others.
            std::vector<int> over3{0};
            for (int j = 0; j < 7 && f[j] != kNoInterval; ++j)
                if (j != 1)
                    over3.push_back((f[j] - f[1] + 24) % 12);
            EXPECT_TRUE(found(search({listOf(over3), (c + f[1]) % 12, true}, IntervalOption::Only, RootOption::EachNote), g, c));
            // Without the root: all keys reads C's formulas without it; each note never tries C.
            EXPECT_TRUE(found(search({f, c, false}, IntervalOption::Only, RootOption::AllKeys), g, c));
            const auto each = search({f, c, false}, IntervalOption::Only, RootOption::CurrentRoot);
            EXPECT_EQ(each.rootOp, RootOption::EachNote);
            EXPECT_FALSE(found(each, g, c));
            // Without the last tone: still contained.
            IntervalList fewer = f;
            fewer[size_t(std::find(f.begin(), f.end(), kNoInterval) - f.begin() - 1)] = kNoInterval;
            EXPECT_TRUE(found(search({fewer, c, true}, IntervalOption::Containing, RootOption::CurrentRoot), g, c));
        }
}

TEST(ChordSearch, SwitchingAndOrderOnNamedCases)
{
    // C E G: Only lists exactly the 1 3 5 formulas on C, major first; Containing every C chord
    // holding E and G.
    for (auto iop : {IntervalOption::Only, IntervalOption::Containing}) {
        const auto o = search({listOf({0, 4, 7}), 0, true}, iop, RootOption::CurrentRoot);
        std::vector<SearchResult> expected;
        for (int g = 0; g < 62; ++g)
            if (iop == IntervalOption::Only ? maskOf(kFormulas[g].intervals, 0) == 0x91
                                            : (maskOf(kFormulas[g].intervals, 0) & 0x91) == 0x91)
                expected.push_back({g, 0, "C " + kFormulas[g].suffix + "\t" + kFormulas[g].text});
        EXPECT_EQ(o.results, expected);
        EXPECT_EQ(o.results.front().formulaIndex, named("major"));
    }
    // Two notes search with Containing; one does not search at all, options untouched.
    EXPECT_EQ(search({listOf({0, 7}), 0, true}, IntervalOption::Only, RootOption::CurrentRoot).intervalOp,
              IntervalOption::Containing);
    const auto one = searchChords({listOf({0, 4}), 0, false}, IntervalOption::Only, RootOption::CurrentRoot,
                                  kFormulas, NoteNames());
    EXPECT_FALSE(one.searched);
    EXPECT_EQ(one.intervalOp, IntervalOption::Only);
    EXPECT_EQ(one.rootOp, RootOption::CurrentRoot);
    // All keys from C to B; a note written twice (G as 7 and 19) is tried twice.
    const auto cb = search({listOf({0, 11}), 0, true}, IntervalOption::Only, RootOption::AllKeys);
    EXPECT_EQ(cb.results.front().root, 0);
    EXPECT_EQ(cb.results.back().root, 11);
    const auto twice = search({listOf({0, 7, 19}), 0, true}, IntervalOption::Containing, RootOption::EachNote);
    const auto onG = search({listOf({0, 5}), 7, true}, IntervalOption::Containing, RootOption::CurrentRoot);
    EXPECT_EQ(std::count_if(twice.results.begin(), twice.results.end(), [](auto& r) { return r.root == 7; }),
              2 * static_cast<long>(onG.results.size()));
    // Nothing holds C Db D: searched, empty.
    const auto none = search({listOf({0, 1, 2}), 0, true}, IntervalOption::Only, RootOption::AllKeys);
    EXPECT_TRUE(none.searched);
    EXPECT_TRUE(none.results.empty());
}
