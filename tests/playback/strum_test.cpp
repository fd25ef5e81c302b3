// A strummed chord and a scale run as event streams, checked against their rules: the strum bar
// at its edges, and every scale, root and neck position run from the root.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "RecordBuilders.h"
#include "playback/EventBuffers.h"
#include "playback/Strum.h"
#include "theory/ScaleData.h"

using namespace strumox;
using namespace strumox::playback;

namespace {

const Voices kVoices;  // guitar on channel 0, bass 1, click 9 (velocity 65, accent 98)

std::vector<std::uint64_t> ticksOf(const std::vector<TickedEvent>& events, int status, int data3 = -1)
{
    std::vector<std::uint64_t> ticks;
    for (const auto& [tick, e] : events)
        if (e.status == status && (data3 < 0 || e.data3 == data3))
            ticks.push_back(tick);
    return ticks;
}

}  // namespace

TEST(Strum, CountOffStringsAndEndsFollowTheStrumBar)
{
    struct Row {
        const char* name;
        int position;
        bool count, bass, playPage, stepped;
    };
    const Row rows[] = {
        {"slow: clicks one delay apart", -300, true, true, false, false},
        {"fast: clicks two delays apart", -100, true, false, false, false},
        {"-200 counts as fast", -200, true, false, false, false},
        {"at once", 0, true, true, false, false},
        {"widest", -800, false, true, false, false},
        {"no count-off on the PlayPage", -300, true, false, true, false},
        {"stepped PlayPage chord", -250, false, true, true, true},
    };
    const pages::DiagramRecord chords[] = {testsupport::openCMajor(), testsupport::shapeChord(0, "", "xxxxxx")};
    for (const Row& row : rows)
        for (const auto& chord : chords) {
            SCOPED_TRACE(std::string(row.name) + (chord.sounding[1] ? "" : ", no string sounded"));
            const StrumOptions o{row.count, row.bass, row.position, row.playPage, row.stepped};
            const auto ev = withTicks(strumEvents(chord, kVoices, o));
            const std::uint64_t delay = -row.position, gap = row.position < -200 ? delay : 2 * delay;
            ASSERT_GE(ev.size(), 3u);
            EXPECT_EQ(ev[0].event, (MidiEventRec{0, 0xC0, 25, 0, 0}));
            EXPECT_EQ(ev[1].event, (MidiEventRec{0, 0xC1, 33, 0, 0}));
            EXPECT_EQ(ev[2].event, (MidiEventRec{0, 0xC9, 0, 0, 0}));

            const auto clicks = ticksOf(ev, 0x99);
            ASSERT_EQ(clicks.size(), row.count && !row.playPage ? 4u : 0u);
            for (std::size_t k = 0; k < clicks.size(); ++k) {
                EXPECT_EQ(clicks[k], k * gap);
                EXPECT_EQ(ev[3 + 2 * k].event.data2, k ? 65 : 98);
            }
            const std::uint64_t first = clicks.empty() ? 0 : clicks.back() + gap;
            const auto strikes = ticksOf(ev, 0x90), ends = ticksOf(ev, 0x80);
            std::size_t sounded = 0;
            for (const auto n : chord.sounding)
                sounded += n != 0;
            ASSERT_EQ(strikes.size(), sounded);
            ASSERT_EQ(ends.size(), sounded);
            for (std::size_t k = 0; k < strikes.size(); ++k)
                EXPECT_EQ(strikes[k], first + k * delay);
            for (const auto t : ends)
                EXPECT_EQ(t, strikes.back() + (row.stepped ? 400 : 800));
            // Every string's dot: lit with its finger mark, put out unless stepped.
            EXPECT_EQ(ticksOf(ev, NoteMarker).size(), sounded * (row.stepped ? 1 : 2));
            EXPECT_EQ(ticksOf(ev, NoteMarker, 10), row.stepped ? std::vector<std::uint64_t>{} : ends);
            for (std::size_t i = 0; i + 1 < ev.size(); ++i)
                if (ev[i].event.status == 0x90) {
                    const auto& mark = ev[i + 1].event;
                    EXPECT_EQ(mark.status, NoteMarker);
                    EXPECT_EQ(ev[i].event.data1, chord.sounding[mark.data1]);
                    EXPECT_EQ(mark.data3, chord.markers[mark.data1]);
                }
            EXPECT_EQ(ticksOf(ev, 0x91), row.bass ? std::vector<std::uint64_t>{first} : std::vector<std::uint64_t>{});
            if (row.bass) {
                EXPECT_EQ(ev.back().event, (MidiEventRec{0, 0x81, chord.bass, 100, 0}));
            }
        }
    EXPECT_TRUE(strumEvents(pages::DiagramRecord{}, kVoices, {}).empty());
}

TEST(ScaleRun, FromTheRootEveryPositionRisesThroughTheScaleWithoutRepeats)
{
    const auto& scales = theory::builtInScales();
    for (std::size_t index = 0; index < scales.size(); ++index)
        for (int root = 0; root < 12; ++root)
            for (const int begin : {1, 2, 5, 9, 14, 20})
                for (int span = 4; span <= 6; ++span) {
                    pages::ScaleRecord scale;
                    scale.empty = 0;
                    scale.intervals = scales[index].intervals;
                    scale.root = static_cast<std::uint8_t>(root);
                    std::vector<int> inScale(12);
                    for (const int pc : theory::scaleNotes(scale.intervals, root))
                        inScale[static_cast<std::size_t>(pc)] = 1;
                    SCOPED_TRACE(std::to_string(index) + " root " + std::to_string(root) + " begin " +
                                 std::to_string(begin) + " span " + std::to_string(span));
                    std::vector<int> notes;
                    for (const auto& n : scaleRunNotes(scale, begin, span, true))
                        notes.push_back(scale.tuning[static_cast<std::size_t>(n.string)] + n.fret);
                    // It starts on the first root in playing order within the position's first
                    // five frets; without one it plays nothing.
                    const FretRange range = scaleFretRange(begin, span);
                    int firstRoot = -1;
                    for (int s = 5; s >= 0 && firstRoot < 0; --s)
                        for (int f = range.first; f <= std::min(range.last, range.first + 4) && firstRoot < 0; ++f)
                            if ((scale.tuning[static_cast<std::size_t>(s)] + f) % 12 == root)
                                firstRoot = scale.tuning[static_cast<std::size_t>(s)] + f;
                    ASSERT_EQ(notes.empty(), firstRoot < 0);
                    if (notes.empty())
                        continue;
                    EXPECT_EQ(notes.front(), firstRoot);
                    for (std::size_t k = 1; k < notes.size(); ++k) {
                        ASSERT_LT(notes[k - 1], notes[k]);
                        EXPECT_TRUE(inScale[static_cast<std::size_t>(notes[k] % 12)]);
                        // Five or six frets a string (not cut short at fret 22) leave no gap: no
                        // scale note is passed over.
                        for (int between = notes[k - 1] + 1; span >= 5 && begin <= 18 && between < notes[k]; ++between)
                            EXPECT_FALSE(inScale[static_cast<std::size_t>(between % 12)]) << between;
                    }
                }
}

TEST(ScaleRun, EachNoteLastsOneDelayUnderItsMarkersAndTheRootRunNeedsStandardTuning)
{
    pages::ScaleRecord scale;
    scale.empty = 0;
    scale.intervals = theory::builtInScales()[0].intervals;  // seven notes: every fret has some
    scale.root = 9;
    ScaleRunOptions o{true, -150, 5, false};
    ScaleRunResult result{};
    // Not from the root: every scale note of the position's frets (the first position takes in
    // the open strings), strings from the low E up, each struck with its dot (marker 6) and ended
    // one delay later with the dot put out (marker 10).
    const auto pcs = theory::scaleNotes(scale.intervals, scale.root);
    for (const auto& [begin, span, first, last] : {std::array{5, 5, 5, 9}, {1, 4, 0, 3}, {1, 6, 0, 5}, {19, 6, 19, 22}}) {
        o.span = span;
        const auto events = scaleRunEvents(scale, begin, kVoices, o, &result);
        EXPECT_EQ(result, ScaleRunResult::Queued);
        std::vector<MidiEventRec> expected{{0, 0xC0, 25, 0, 0}, {0, 0xC1, 33, 0, 0}, {0, 0x91, 9 + 36, 100, 0}};
        for (std::uint8_t s = 6; s-- > 0;)
            for (int f = first; f <= last; ++f) {
                const auto note = static_cast<std::uint8_t>(scale.tuning[s] + f);
                const auto fret = static_cast<std::uint8_t>(f);
                if (std::find(pcs.begin(), pcs.end(), note % 12) != pcs.end())
                    expected.insert(expected.end(), {{0, 0x90, note, 100, 0}, {0, NoteMarker, s, fret, 6},
                                                     {150, 0x80, note, 100, 0}, {0, NoteMarker, s, fret, 10}});
            }
        expected.push_back({0, 0x81, 9 + 36, 100, 0});
        EXPECT_EQ(events, expected) << begin << " " << span;
    }
    o.span = 5;

    scale.tuning[5] = 38;  // drop D
    o.fromRoot = true;
    EXPECT_TRUE(scaleRunEvents(scale, 5, kVoices, o, &result).empty());
    EXPECT_EQ(result, ScaleRunResult::NotStandardTuning);
    o.fromRoot = false;
    EXPECT_FALSE(scaleRunEvents(scale, 5, kVoices, o, &result).empty());
    EXPECT_TRUE(scaleRunEvents(pages::ScaleRecord{}, 5, kVoices, o, &result).empty());
    EXPECT_EQ(result, ScaleRunResult::Empty);
}
