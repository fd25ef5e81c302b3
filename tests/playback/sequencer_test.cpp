// The PlayPage sequencer as event streams: a rule checker that replays random pages against a
// plain model of play order and chord holds, queue-size independence, and the page situations
// a player meets (repeats, loop, a lone chord at the widest strum, stepping).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "RecordBuilders.h"
#include "playback/EventBuffers.h"
#include "playback/ManualClock.h"
#include "playback/PlayPageSequencer.h"
#include "playback/RecordingSink.h"

using namespace strumox;
using namespace strumox::playback;
using pages::PlayPage;

namespace {

const Voices kVoices;  // guitar, bass and click each on a channel of its own

struct Song {
    PlayPage page;
    SequencerOptions options;
    Voices voices;
};

// A page with chords here and there, return marks, repeats (counters as a saved file may hold
// them), a loop mark, and the options and voices of a random Play (loud clicks accent to 127).
Song randomSong(std::mt19937& rng)
{
    Song song;
    const auto sig = rng() % 2 ? pages::TimeSignature::ThreeFour : pages::TimeSignature::FourFour;
    const int density = static_cast<int>(rng() % 4);
    PlayPage::Slots slots{};
    for (auto& slot : slots) {
        if (static_cast<int>(rng() % 12) >= density)
            continue;
        testsupport::Strings frets{}, marks{};
        for (std::size_t s = 0; s < 6; ++s) {
            frets[s] = static_cast<std::uint8_t>(rng() % 6);
            marks[s] = rng() % 4 == 0 ? std::uint8_t{pages::MarkerMuted} : static_cast<std::uint8_t>(rng() % 7);
        }
        slot = testsupport::chordRecord(static_cast<int>(rng() % 12), "", frets, marks);
    }
    PlayPage::MarkerBytes markers{};
    const int measures = PlayPage::measureCount(sig);
    for (int m = 0; m < measures; ++m) {
        markers[PlayPage::ReturnMark * 48 + m] = m == 0 || rng() % 8 == 0;
        if (rng() % 10 == 0) {
            markers[PlayPage::RepeatCount * 48 + m] = static_cast<std::uint8_t>(1 + rng() % 2);
            markers[PlayPage::RepeatCounter * 48 + m] = static_cast<std::uint8_t>(rng() % 3);
        }
    }
    markers[PlayPage::LoopMark * 48 + rng() % measures] = 1;
    song.page.load(slots, sig, markers);

    SequencerOptions& o = song.options;
    o.click = rng() % 2;
    o.count = rng() % 2;
    o.countOffMeasures = 1 + static_cast<int>(rng() % 4);
    o.loop = rng() % 3 == 0;
    o.bass = rng() % 2;
    o.strumPosition = rng() % 3 == 0 ? -800 : -static_cast<int>(rng() % 801);
    o.startSlot = static_cast<int>(rng() % measures) * song.page.slotsPerMeasure();
    song.voices.clickVelocity = 1 + static_cast<int>(rng() % 127);
    song.voices.guitarVelocity = 1 + static_cast<int>(rng() % 127);
    song.voices.guitarProgram = static_cast<int>(rng() % 128);
    return song;
}

// Everything queued by start and the fills, through a queue of `capacity` emptied whenever the
// sequencer finds it full; at most `limit` events (a looping page never ends).
std::vector<MidiEventRec> play(const Song& song, std::size_t capacity, std::size_t limit = 200000,
                               PlayPageSequencer* sequencer = nullptr)
{
    PlayPageSequencer own;
    PlayPageSequencer& seq = sequencer ? *sequencer : own;
    BoundedQueue queue(capacity);
    seq.start(song.page, song.options, song.voices, queue);
    std::vector<MidiEventRec> out;
    for (bool done = false; !done && out.size() < limit;) {
        done = seq.fill(queue) == PlayPageSequencer::FillResult::AllQueued;
        for (const auto& e : queue.drain())
            out.push_back(e);
    }
    if (out.size() > limit)
        out.resize(limit);
    return out;
}

// Slots in play order from the start measure, measure by measure: repeats jump back to the
// nearest return mark (counting the measure's counter down, then restoring it), the loop mark
// goes back to measure 0 with Loop Play down.
std::vector<int> playOrder(const Song& song, std::size_t limit)
{
    const PlayPage& page = song.page;
    auto marks = page.markers(page.keptCopy());
    const int n = page.slotsPerMeasure();
    std::vector<int> order;
    for (int m = song.options.startSlot / n; m <= page.lastMeasure() && order.size() < limit;) {
        for (int j = 0; j < n; ++j)
            order.push_back(m * n + j);
        auto& counter = marks[PlayPage::RepeatCounter][m];
        if (counter > 0) {
            --counter;
            while (m > 0 && !marks[PlayPage::ReturnMark][m])
                --m;
        } else {
            counter = marks[PlayPage::RepeatCount][m];
            m = marks[PlayPage::LoopMark][m] && song.options.loop ? 0 : m + 1;
        }
    }
    return order;
}

// The whole stream, event by event, against the rules: the program changes; the count-off, the
// first click of each measure accented (held at 127); then per slot of the play order, 240 ticks
// apart, its beat marker 20 ticks ahead (not for the first slot), click and slot marker; the
// held chord released where the next chord comes or 8 slots after the chord or the last
// release; the slot's chord strummed from the low E string, StrumStep apart; the final event
// 1000 ticks after the last. So strings are struck only when silent and every note off ends its
// string's last note: sounding, or released before (the silent repeats when a hold runs out),
// as are the silent clicks without Click. A stream cut short is checked as far as it goes.
std::string checkStream(const Song& song, const std::vector<MidiEventRec>& events)
{
    const auto ev = withTicks(events);
    const SequencerOptions& o = song.options;
    const Voices& v = song.voices;
    const int n = song.page.slotsPerMeasure(), beats = n / 2;
    std::size_t i = 0;
    auto expect = [&](std::uint64_t tick, int status, int d1, int d2, int d3 = 0) {
        if (i >= ev.size())
            throw ev.size();  // cut short: all good so far
        const auto& [t, e] = ev[i];
        const std::array<std::uint64_t, 5> want{tick, std::uint64_t(status), std::uint64_t(d1), std::uint64_t(d2),
                                                std::uint64_t(d3)},
            got{t, e.status, e.data1, e.data2, e.data3};
        if (want != got)
            throw "event " + std::to_string(i) + ": expected status " + std::to_string(status) + " at " +
                std::to_string(tick) + ", got " + std::to_string(e.status) + " at " + std::to_string(t);
        ++i;
    };
    const int accent = std::min<int>(std::lrint(v.clickVelocity * 1.5), 127);  // halves to even
    try {
        expect(0, 0xC0 + v.guitarChannel, v.guitarProgram, 0);
        expect(0, 0xC0 + v.bassChannel, v.bassProgram, 0);
        expect(0, 0xC0 + v.clickChannel, 0, 0);
        const int clicks = o.count ? beats * o.countOffMeasures : 0;
        for (int k = 0; k < clicks; ++k) {
            expect(480 * k, 0x90 + v.clickChannel, v.clickNote, k % beats ? v.clickVelocity : accent);
            expect(480 * k + 240, 0x80 + v.clickChannel, v.clickNote, 0);
        }
        const std::uint64_t t0 = 480 * clicks;
        const int step = static_cast<int>(std::lrint(-o.strumPosition / 18.0));

        const auto order = playOrder(song, ev.size());
        std::array<int, 6> lastNote{}, lastFret{};
        int lastBass = 0;
        std::size_t nextRelease = 0;
        for (std::size_t p = 0; p < order.size(); ++p) {
            const int slot = order[p], inMeasure = slot % n;
            const std::uint64_t tp = t0 + 240 * p;
            if (inMeasure % 2 == 0) {
                if (p > 0)
                    expect(tp - 20, BeatMarker, slot / 2, 0);
                expect(tp, (o.click ? 0x90 : 0x80) + v.clickChannel, v.clickNote,
                       inMeasure == 0 ? accent : v.clickVelocity);
            } else {
                expect(tp, 0x80 + v.clickChannel, v.clickNote, 0);
            }
            expect(tp, SlotMarker, slot & 0xFF, slot >> 8);

            const auto& chord = song.page.slot(slot);
            if (p == nextRelease || !chord.isEmpty()) {
                if (p > 0) {
                    if (o.bass)
                        expect(tp, 0x80 + v.bassChannel, lastBass, v.bassVelocity);
                    for (int s = 5; s >= 0; --s)
                        if (lastNote[s]) {
                            expect(tp, 0x80 + v.guitarChannel, lastNote[s], v.guitarVelocity);
                            expect(tp, NoteMarker, s, lastFret[s], 10);
                        }
                }
                nextRelease = p + PlayPageSequencer::kMaxHold;
            }
            if (!chord.isEmpty()) {
                if (o.bass)
                    expect(tp, 0x90 + v.bassChannel, lastBass = chord.bass, v.bassVelocity);
                std::uint64_t t = tp;
                for (int s = 5; s >= 0; --s)
                    if (chord.sounding[s]) {
                        expect(t, 0x90 + v.guitarChannel, lastNote[s] = chord.sounding[s], v.guitarVelocity);
                        expect(t, NoteMarker, s, lastFret[s] = chord.frets[s], chord.markers[s]);
                        t += step;
                    }
            }
        }
        expect((i ? ev[i - 1].tick : 0) + 1000, 0x80 + v.guitarChannel, 0, 0);
    } catch (const std::string& mismatch) {
        return mismatch;
    } catch (std::size_t) {
        return {};
    }
    return i == ev.size() ? std::string() : "events after the final one: " + std::to_string(ev.size() - i);
}

std::vector<int> slotMarkers(const std::vector<MidiEventRec>& events)
{
    std::vector<int> slots;
    for (const auto& e : events)
        if (e.status == SlotMarker)
            slots.push_back(e.data1 + 256 * e.data2);
    return slots;
}

// A page with `chords` and the return mark of measure 0 besides `markers`.
Song makeSong(const std::vector<std::pair<int, pages::DiagramRecord>>& chords, PlayPage::MarkerBytes markers = {},
              pages::TimeSignature sig = pages::TimeSignature::FourFour)
{
    Song song;
    PlayPage::Slots slots{};
    for (const auto& [s, d] : chords)
        slots[static_cast<std::size_t>(s)] = d;
    markers[PlayPage::ReturnMark * 48] = 1;
    song.page.load(slots, sig, markers);
    return song;
}

}  // namespace

// --- random pages -------------------------------------------------------------------------------

TEST(PlayPageSequencer, RandomPagesFollowEveryRuleWhateverTheQueueSize)
{
    std::mt19937 rng(20261209);
    for (int round = 0; round < 150; ++round) {
        const Song song = randomSong(rng);
        const std::size_t capacity = 1 + rng() % 600;
        SCOPED_TRACE("round " + std::to_string(round) + ", queue " + std::to_string(capacity));
        const auto reference = play(song, 40000, 30000);
        const auto events = play(song, capacity, 30000);
        const std::size_t common = std::min(events.size(), reference.size());
        const auto at = std::mismatch(events.begin(), events.begin() + common, reference.begin()).first - events.begin();
        ASSERT_EQ(static_cast<std::size_t>(at), common) << "the streams part at event " << at;
        ASSERT_EQ(events.size(), reference.size());
        ASSERT_EQ(checkStream(song, events), "");
    }
}

// The clock asks for more when its queue is down to half: what reaches the sink and the marker
// reports, each at its tick, is the stream the sequencer makes.
TEST(PlayPageSequencer, RefilledByTheClockEveryEventFallsDueAtItsTick)
{
    struct Refill : ClockListener {
        PlayPageSequencer seq;
        ManualClock* clock = nullptr;
        std::vector<TickedEvent> markers;
        std::map<std::uint64_t, int> cursor;  // tick of a beat that moved the cursor -> its cell
        void beat(std::uint64_t) override
        {
            if (seq.takeBeat())
                cursor[clock->now()] = seq.cursorCell();
        }
        void room(std::uint64_t) override { seq.fill(*clock); }
        void allPlayed(std::uint64_t) override {}
        void marker(std::uint64_t, std::uint8_t kind, std::uint8_t d1, std::uint8_t d2, std::uint8_t d3) override
        {
            markers.push_back({clock->now(), {0, kind, d1, d2, d3}});
            if (kind == BeatMarker)
                seq.beatMarkerDue(d1);
        }
    };
    std::mt19937 rng(7);
    for (int round = 0; round < 20; ++round) {
        Song song = randomSong(rng);
        song.options.loop = false;
        std::vector<TimedMessage> messages;
        std::vector<TickedEvent> markers;
        for (auto [tick, e] : withTicks(play(song, 1 << 16))) {
            if (isMarker(e.status))
                markers.push_back({tick, {0, e.status, e.data1, e.data2, e.data3}});
            else
                messages.push_back({tick, e.status, e.data1, e.data2});
        }
        ManualClock clock(1 + rng() % 64);
        RecordingSink sink;
        Refill refill;
        refill.clock = &clock;
        clock.setSink(&sink);
        clock.setListener(&refill);
        refill.seq.start(song.page, song.options, song.voices, clock);
        refill.seq.fill(clock);
        clock.start();
        ASSERT_TRUE(clock.runUntilIdle(std::uint64_t(1) << 40));
        EXPECT_EQ(sink.messages(), messages) << round;
        EXPECT_EQ(refill.markers, markers) << round;

        // The cursor moves on every beat struck from the first measure on (the opening downbeat
        // at tick 0 needs no report), to the cell being struck; never during the count-off.
        std::map<std::uint64_t, int> downbeats;
        std::uint64_t lastSlot = 0;
        for (const auto& [tick, e] : markers) {
            const int slot = e.data1 | e.data2 << 8;
            if (e.status != SlotMarker)
                continue;
            lastSlot = tick;
            if (tick > 0 && slot % song.page.slotsPerMeasure() % 2 == 0)
                downbeats[tick] = slot / 2;
        }
        std::erase_if(refill.cursor, [&](const auto& beat) { return beat.first > lastSlot; });
        EXPECT_EQ(refill.cursor, downbeats) << round;
    }
}

// --- what players meet --------------------------------------------------------------------------

TEST(PlayPageSequencer, ARepeatPlaysItsSpanThreeTimesAndItsCountComesBack)
{
    PlayPage::MarkerBytes markers{};
    markers[PlayPage::ReturnMark * 48 + 1] = 1;
    markers[PlayPage::RepeatCount * 48 + 2] = markers[PlayPage::RepeatCounter * 48 + 2] = 2;
    const Song song = makeSong({{8, testsupport::openCMajor()}}, markers);

    std::vector<int> expected{0, 1, 2, 1, 2, 1, 2};
    for (int m = 3; m < 36; ++m)
        expected.push_back(m);
    PlayPageSequencer seq;
    std::vector<int> measures;
    for (const int s : slotMarkers(play(song, 7, 200000, &seq)))
        if (s % 8 == 0)
            measures.push_back(s / 8);
    EXPECT_EQ(measures, expected);
    EXPECT_EQ(seq.markers()[PlayPage::RepeatCounter][2], 2);

    // Stopped in the second pass: the count is back too.
    BoundedQueue queue(40);
    seq.start(song.page, {}, kVoices, queue);
    while (seq.markers()[PlayPage::RepeatCounter][2] == 2) {
        ASSERT_EQ(seq.fill(queue), PlayPageSequencer::FillResult::QueueFull);
        queue.drain();
    }
    seq.stop();
    EXPECT_EQ(seq.markers()[PlayPage::RepeatCounter][2], 2);
    EXPECT_EQ(song.page.markers(song.page.keptCopy())[PlayPage::RepeatCounter][2], 2);
}

TEST(PlayPageSequencer, LoopPlayGoesBackToTheFirstMeasureUntilStopped)
{
    PlayPage::MarkerBytes markers{};
    markers[PlayPage::LoopMark * 48 + 3] = 1;
    Song song = makeSong({{0, testsupport::openCMajor()}}, markers);
    song.options.loop = true;
    const auto slots = slotMarkers(play(song, 64, 20000));
    ASSERT_GT(slots.size(), 5 * 32u);
    for (std::size_t k = 0; k < slots.size(); ++k)
        ASSERT_EQ(slots[k], static_cast<int>(k % 32)) << k;

    song.options.loop = false;
    EXPECT_EQ(slotMarkers(play(song, 64)).size(), 288u);
}

TEST(PlayPageSequencer, ALoneChordAtTheWidestStrumFillsItsSlotSoundsEightSlotsAndEndsTheRun)
{
    Song song = makeSong({{2, testsupport::shapeChord(4, "", "022100")}});
    song.options.strumPosition = -800;
    const auto ev = withTicks(play(song, 512));
    std::uint64_t slotStart = 0;
    std::vector<std::uint64_t> strings;
    std::set<std::uint64_t> releases;
    for (const auto& [tick, e] : ev) {
        if (e.status == BeatMarker && e.data1 == 1)
            slotStart = tick;
        if (e.status == 0x90 + kVoices.guitarChannel)
            strings.push_back(tick - slotStart);
        if (e.status == 0x80 + kVoices.guitarChannel && e.data1 != 0)
            releases.insert(tick);
    }
    // The six strings from 20 ticks into the slot to its very end (StrumStep 44).
    EXPECT_EQ(strings, (std::vector<std::uint64_t>{20, 64, 108, 152, 196, 240}));
    // Released after 8 slots, then silently again every 8 (slot start = its click, 20 ticks in).
    std::set<std::uint64_t> expected;
    for (std::uint64_t slot = 10; slot < 288; slot += 8)
        expected.insert(240 * slot);
    EXPECT_EQ(releases, expected);
    ASSERT_GE(ev.size(), 2u);
    EXPECT_EQ(ev.back(), (TickedEvent{ev[ev.size() - 2].tick + 1000, {1000, 0x80, 0, 0, 0}}));
}

TEST(PlayPageSequencer, StepModeFindsTheNextFilledSlotBothWaysAndGivesUpOnAnEmptyPage)
{
    Song song = makeSong({});
    song.options.stepMode = true;
    song.options.startSlot = 8;
    PlayPageSequencer seq;
    CollectingQueue queue;
    EXPECT_EQ(seq.start(song.page, song.options, kVoices, queue), PlayPageSequencer::StartResult::NothingToStep);
    EXPECT_EQ(seq.step(queue, PlayPageSequencer::Direction::Forward, true), std::nullopt);

    const auto options = song.options;
    song = makeSong({{5, testsupport::openCMajor()}, {200, testsupport::openCMajor()}});
    song.options = options;
    EXPECT_EQ(seq.start(song.page, song.options, kVoices, queue), PlayPageSequencer::StartResult::Stepped);
    EXPECT_EQ(seq.playSlot(), 200);
    using D = PlayPageSequencer::Direction;
    EXPECT_EQ(seq.step(queue, D::Forward, true), 5);
    EXPECT_EQ(seq.step(queue, D::Forward, false), 5);
    EXPECT_EQ(seq.step(queue, D::Backward, true), 200);
}
