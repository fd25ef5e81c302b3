#include "playback/IntervalCalculator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "TempDir.h"
#include "theory/ChordData.h"
#include "theory/ScaleData.h"

using strumox::playback::IntervalCalculator;
using Mode = IntervalCalculator::Mode;
namespace theory = strumox::theory;

namespace {

struct Played {
    std::vector<int> struck, struckAtMs, releasedAtMs;
    int endMs = 0, mostAtOnce = 0, program = -1;
};

// Plays a plan out in time against a model device, checking what must hold at every step: the
// program change comes first, no note is struck twice or let go unstruck, the lit boxes are
// exactly the intervals sounding, only the last step has no wait, nothing sounds at the end.
Played play(const std::vector<IntervalCalculator::Step>& plan, int root)
{
    Played out;
    std::set<int> sounding;
    int now = 0;
    for (std::size_t k = 0; k < plan.size(); ++k) {
        for (const auto& m : plan[k].messages) {
            EXPECT_EQ(m.tick, std::uint64_t(now) * 480 / 500);
            if (m.status == 0xC0 && out.program < 0 && out.struck.empty()) {
                out.program = m.data1;
            } else if (m.status == 0x90 && m.data2 > 0) {
                EXPECT_TRUE(sounding.insert(m.data1).second) << int(m.data1) << " struck twice";
                out.struck.push_back(m.data1);
                out.struckAtMs.push_back(now);
            } else {
                EXPECT_TRUE(m.status == 0x90 && sounding.erase(m.data1)) << int(m.status) << " " << int(m.data1);
                out.releasedAtMs.push_back(now);
            }
        }
        out.mostAtOnce = std::max(out.mostAtOnce, int(sounding.size()));
        IntervalCalculator::LitBoxes lit = 0;
        for (int note : sounding)
            lit |= IntervalCalculator::LitBoxes(1u << ((note - 48 - root) % 12));
        EXPECT_EQ(plan[k].lit, lit) << "step " << k;
        EXPECT_EQ(plan[k].waitMs == 0, k + 1 == plan.size()) << "step " << k;
        out.endMs = now;
        now += plan[k].waitMs;
    }
    EXPECT_TRUE(sounding.empty());
    return out;
}

}  // namespace

// Every built-in scale and chord type at every root, against the theory tables' own view of them.
TEST(IntervalCalculatorPlan, EveryScaleRunsNoteByNoteAndEveryChordIsHeldThenLetGoTogether)
{
    const auto formulas = theory::builtInFormulaRecords();
    for (int root = 0; root < 12; ++root) {
        for (int speed : {300, 537, 800}) {
            const int t = 1100 - speed;
            for (std::size_t s = 0; s < theory::builtInScales().size(); ++s) {
                SCOPED_TRACE(testing::Message() << "scale " << s << " root " << root << " speed " << speed);
                const auto& scale = theory::builtInScales()[s];
                const int n = scale.noteCount();
                const Played p =
                    play(IntervalCalculator::playPlan(Mode::Scales, scale.intervals, root, 25, 100, speed), root);
                EXPECT_EQ(p.program, 25);
                EXPECT_EQ(p.mostAtOnce, 1);
                // The scale from the lowest root up, then its octave when the list ends early.
                ASSERT_EQ(p.struck.size(), std::size_t(n < 10 ? n + 1 : n));
                std::vector<int> pcs;
                for (int k = 0; k < n; ++k)
                    pcs.push_back(p.struck[std::size_t(k)] % 12);
                EXPECT_EQ(pcs, theory::scaleNotes(scale.intervals, root));
                EXPECT_EQ(p.struck.front(), 48 + root);
                if (n < 10) {
                    EXPECT_EQ(p.struck.back(), 60 + root);
                }
                for (std::size_t k = 0; k < p.struck.size(); ++k) {
                    EXPECT_EQ(p.struckAtMs[k], int(k) * t);
                    EXPECT_EQ(p.releasedAtMs[k], int(k + 1) * t);  // as the next one strikes
                }
                EXPECT_EQ(p.endMs, int(p.struck.size()) * t);
            }
            for (std::size_t g = 0; g < formulas.size(); ++g) {
                SCOPED_TRACE(testing::Message() << "chord " << g << " root " << root << " speed " << speed);
                const auto& list = formulas[g].intervals;
                const int n = theory::intervalCount(list);
                const Played p = play(IntervalCalculator::playPlan(Mode::Chords, list, root, 7, 64, speed), root);
                EXPECT_EQ(p.program, 7);
                ASSERT_EQ(p.struck.size(), std::size_t(n));
                EXPECT_EQ(p.mostAtOnce, n);
                std::uint16_t mask = 0;
                for (int note : p.struck)
                    mask |= std::uint16_t(1u << ((note - 48 - root) % 12));
                EXPECT_EQ(mask, theory::pitchClassMask(list));
                for (int k = 0; k < n; ++k)
                    EXPECT_EQ(p.struckAtMs[std::size_t(k)], k * t);
                EXPECT_EQ(p.releasedAtMs, std::vector<int>(std::size_t(n), (n + 1) * t));
                EXPECT_EQ(p.endMs, (n + 1) * t);
            }
        }
    }
}

TEST(IntervalCalculatorPlan, ListEndsAndLimits)
{
    struct Case {
        const char* name;
        Mode mode;
        std::vector<std::uint8_t> bytes;
        std::vector<int> struck;  // root 0; empty: no play at all
    };
    const Case cases[] = {
        {"seven then 99: eight notes, the last an octave up", Mode::Scales, {0, 2, 4, 5, 7, 9, 11, 99, 99, 99},
         {48, 50, 52, 53, 55, 57, 59, 60}},
        {"a scale reads ten bytes at most", Mode::Scales, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
         {48, 49, 50, 51, 52, 53, 54, 55, 56, 57}},
        {"a chord reads seven bytes at most", Mode::Chords, {0, 4, 7, 10, 14, 17, 21, 11},
         {48, 52, 55, 58, 62, 65, 69}},
        {"255 ends a list", Mode::Scales, {0, 3, 255, 7, 99, 99, 99, 99, 99, 99}, {48, 51}},
        {"nothing before 255", Mode::Chords, {255, 255, 255, 255, 255, 255, 255}, {}},
        {"no item chosen", Mode::Scales, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto plan = IntervalCalculator::playPlan(c.mode, c.bytes, 0, 25, 100, 500);
        EXPECT_EQ(plan.empty(), c.struck.empty());
        if (!plan.empty()) {
            EXPECT_EQ(play(plan, 0).struck, c.struck);
        }
    }
}

TEST(IntervalCalculatorLists, ReadFromTheProgramDirectoryMissingFilesEmptyDamagedOnesSaySo)
{
    strumox::testsupport::TempDir dir;
    IntervalCalculator calc;
    calc.load(dir.dir());
    EXPECT_EQ(calc.itemCount(Mode::Scales) + calc.itemCount(Mode::Chords), 0);
    EXPECT_TRUE(calc.problems().empty());

    theory::writeScaleFile(dir.dir());
    theory::writeChordDataFiles(dir.dir());
    std::filesystem::resize_file(dir.file("kqs.dat"), 100);
    calc.load(dir.dir());
    EXPECT_EQ(calc.itemCount(Mode::Scales), 0);
    ASSERT_EQ(calc.itemCount(Mode::Chords), theory::kChordTypeCount);
    EXPECT_EQ(calc.itemNames(Mode::Chords)[20], "m7");
    const auto m7 = calc.itemIntervals(Mode::Chords, 20);
    EXPECT_EQ(std::vector<std::uint8_t>(m7.begin(), m7.end()), (std::vector<std::uint8_t>{0, 3, 7, 10, 255, 255, 255}));
    ASSERT_EQ(calc.problems().size(), 1u);
    EXPECT_NE(calc.problems()[0].find("kqs.dat"), std::string::npos) << calc.problems()[0];
}
