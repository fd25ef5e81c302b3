#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <iterator>
#include <mutex>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "playback/ManualClock.h"
#include "playback/RealtimeClock.h"
#include "playback/RecordingSink.h"

using namespace strumox::playback;

namespace {

// One thing the clock did, in the order it did it. Reports are stamped with the manual clock's
// tick; channel messages carry their own.
struct Happening {
    enum Kind { Message, Marker, Beat, Room, AllPlayed } kind;
    std::uint64_t tick = 0;
    std::uint8_t status = 0, d1 = 0, d2 = 0, d3 = 0;
    friend bool operator==(const Happening&, const Happening&) = default;
};

// Logs the sink's messages and the listener's reports into one sequence. Every report must carry
// the clock's current run.
struct Log : RecordingSink, ClockListener {
    ManualClock* clock = nullptr;
    std::vector<Happening> seen;
    std::function<void()> onRoom, onAllPlayed;

    void attach(ManualClock& to, bool asSink = true)
    {
        clock = &to;
        to.setSink(asSink ? this : nullptr);
        to.setListener(this);
    }

    void send(const TimedMessage& m) override
    {
        RecordingSink::send(m);
        seen.push_back({Happening::Message, m.tick, m.status, m.data1, m.data2});
    }
    void report(std::uint64_t run, Happening h)
    {
        EXPECT_EQ(run, clock->run());
        h.tick = clock->now();
        seen.push_back(h);
    }
    void beat(std::uint64_t run) override { report(run, {Happening::Beat}); }
    void room(std::uint64_t run) override
    {
        report(run, {Happening::Room});
        if (onRoom)
            onRoom();
    }
    void allPlayed(std::uint64_t run) override
    {
        report(run, {Happening::AllPlayed});
        if (onAllPlayed)
            onAllPlayed();
    }
    void marker(std::uint64_t run, std::uint8_t kind, std::uint8_t d1, std::uint8_t d2, std::uint8_t d3) override
    {
        report(run, {Happening::Marker, 0, kind, d1, d2, d3});
    }
    std::vector<Happening> without(Happening::Kind kind) const
    {
        std::vector<Happening> out;
        std::copy_if(seen.begin(), seen.end(), std::back_inserter(out), [&](const Happening& h) { return h.kind != kind; });
        return out;
    }
};

// Puts events until the queue refuses one, and goes on from there when asked again.
struct Filler {
    EventQueue& queue;
    const std::vector<MidiEventRec>& events;
    std::size_t next = 0;
    bool refused = false;
    void fill()
    {
        while (next < events.size() && queue.putMidiOut(events[next]))
            ++next;
        refused = next < events.size();
    }
};

// Notes, program changes, controllers, the four markers and statuses no sink may see.
std::vector<MidiEventRec> randomEvents(std::mt19937& rng, int count, int channels = 16, int keys = 128)
{
    const std::uint8_t kinds[] = {0x90, 0x90, 0x80, 0x80, 0xC0, 0xB0, 1, 2, 3, 4, 0, 0x7F, 0xF8};
    std::vector<MidiEventRec> out;
    for (int i = 0; i < count; ++i) {
        MidiEventRec e;
        const int spread = int(rng() % 10);
        e.time = spread < 4 ? 0 : spread < 9 ? rng() % 60 : rng() % 1500;
        e.status = kinds[rng() % std::size(kinds)];
        if (e.status >= 0x80 && e.status < 0xF0)
            e.status = static_cast<std::uint8_t>(e.status | (rng() % channels));
        e.data1 = static_cast<std::uint8_t>(rng() % keys);
        e.data2 = static_cast<std::uint8_t>(rng() % 128);
        e.data3 = static_cast<std::uint8_t>(rng() % 256);
        out.push_back(e);
    }
    return out;
}

// What the clock must do with `events` when advanced to `until`, computed straight from the
// deltas: no queue, no reports but beats and the one allPlayed.
std::vector<Happening> expectedPlay(const std::vector<MidiEventRec>& events, std::uint64_t until)
{
    std::vector<Happening> out;
    std::uint64_t tick = 0, beat = 480;
    auto beatsTo = [&](std::uint64_t t) {
        for (; beat <= t; beat += 480)
            out.push_back({Happening::Beat, beat});
    };
    for (const MidiEventRec& e : events) {
        tick += e.time;
        beatsTo(tick);
        if (e.status >= 1 && e.status <= 4)
            out.push_back({Happening::Marker, tick, e.status, e.data1, e.data2, e.data3});
        else if (e.status >= 0x80 && e.status < 0xF0)
            out.push_back({Happening::Message, tick, e.status, e.data1, e.data2});
    }
    if (!events.empty())
        out.push_back({Happening::AllPlayed, tick});
    beatsTo(until);
    return out;
}

std::uint64_t lastTick(const std::vector<MidiEventRec>& events)
{
    std::uint64_t tick = 0;
    for (const MidiEventRec& e : events)
        tick += e.time;
    return tick;
}

// ---- The queue's rules, against the events' own times ----

TEST(ManualClock, PlaysEveryStreamAsItsDeltasSayWhateverTheQueueSizeAndSteps)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 300; ++round) {
        const auto events = randomEvents(rng, int(rng() % 200));
        const std::size_t capacity = 1 + rng() % 40;
        ManualClock clock(capacity);
        Log log;
        Filler filler{clock, events};
        log.onRoom = [&] {
            EXPECT_LE(clock.queued(), capacity / 2) << "room before the queue drained to half";
            EXPECT_TRUE(filler.refused) << "room without a refused put";
            filler.fill();
        };
        log.onAllPlayed = [&] { EXPECT_EQ(clock.queued(), 0u); };
        log.attach(clock);
        clock.setTempo(250000);

        filler.fill();  // the first batch goes in before the start, as the program does it
        clock.start();
        const std::uint64_t end = lastTick(events);
        for (std::uint64_t t = 0; t < end;) {
            t += rng() % 700;
            clock.advanceTo(std::min(t, end));
        }
        const std::uint64_t until = end + rng() % 2000;  // beats go on after the queue ran dry
        clock.advanceTo(until);

        SCOPED_TRACE("round " + std::to_string(round) + ", capacity " + std::to_string(capacity));
        ASSERT_EQ(log.without(Happening::Room), expectedPlay(events, until));
        EXPECT_EQ(filler.next, events.size());
        EXPECT_EQ(log.tempos(), std::vector<std::uint32_t>{250000});
        EXPECT_EQ(clock.run(), 1u);
    }
}

TEST(ManualClock, RoomFollowsARefusalOnceAndComesBeforeAllPlayed)
{
    auto note = [](std::uint32_t time, std::uint8_t key) { return MidiEventRec{time, 0x90, key, 100}; };
    ManualClock clock(4);
    Log log;
    log.attach(clock);
    for (std::uint8_t k = 0; k < 4; ++k)
        ASSERT_TRUE(clock.putMidiOut(note(10, k)));
    EXPECT_FALSE(clock.putMidiOut(note(10, 9)));  // full: nothing taken
    EXPECT_EQ(clock.queued(), 4u);
    clock.start();
    clock.advanceTo(20);  // two played, two left: half
    ASSERT_EQ(log.seen.size(), 3u);
    EXPECT_EQ(log.seen[2], (Happening{Happening::Room, 20}));
    clock.advanceTo(40);  // dry: allPlayed, no second room without a refusal
    EXPECT_EQ(log.seen.back(), (Happening{Happening::AllPlayed, 40}));
    EXPECT_EQ(std::count_if(log.seen.begin(), log.seen.end(), [](const Happening& h) { return h.kind == Happening::Room; }), 1);

    // A put after the queue ran dry is timed from the last event and runs dry again.
    ASSERT_TRUE(clock.putMidiOut(note(5, 7)));
    clock.advanceTo(100);
    EXPECT_EQ(log.without(Happening::Beat).back(), (Happening{Happening::AllPlayed, 45}));
    EXPECT_EQ(log.messages().back(), (TimedMessage{45, 0x90, 7, 100}));

    // Room and the end of the queue due together: room first.
    ManualClock one(1);
    Log small;
    small.attach(one, false);
    ASSERT_TRUE(one.putMidiOut(note(3, 1)));
    ASSERT_FALSE(one.putMidiOut(note(0, 2)));
    one.start();
    EXPECT_TRUE(one.runUntilIdle(1000));
    EXPECT_EQ(small.seen, (std::vector<Happening>{{Happening::Room, 3}, {Happening::AllPlayed, 3}}));

    // Flush drops the queue, tells the waiting filler, and times new events from where it stands.
    ManualClock flushed(2);
    Log f;
    f.attach(flushed);
    flushed.putMidiOut(note(100, 1));
    flushed.putMidiOut(note(100, 2));
    EXPECT_FALSE(flushed.putMidiOut(note(100, 3)));
    flushed.start();
    flushed.advanceTo(50);
    flushed.flush();
    EXPECT_EQ(flushed.queued(), 0u);
    flushed.putMidiOut(note(0, 4));
    flushed.advanceTo(50);
    EXPECT_EQ(f.without(Happening::Message), (std::vector<Happening>{{Happening::Room, 50}, {Happening::AllPlayed, 50}}));
    EXPECT_EQ(f.messages(), (std::vector<TimedMessage>{{50, 0x90, 4, 100}}));
    EXPECT_TRUE(flushed.running());
}

// ---- Nothing left sounding ----

// Notes sounding at the sink as its messages and silences left them.
struct Sounding {
    std::set<std::pair<int, int>> notes;
    void apply(const TimedMessage& m)
    {
        const int channel = m.status & 15;
        if ((m.status & 0xF0) == 0x90 && m.data2)
            notes.insert({channel, m.data1});
        else if ((m.status & 0xF0) == 0x80 || (m.status & 0xF0) == 0x90)
            notes.erase({channel, m.data1});
    }
    void silence(std::uint16_t mask)
    {
        std::erase_if(notes, [&](const auto& n) { return mask & (1u << n.first); });
    }
};

TEST(ManualClock, StopAndPauseLeaveNoNoteSoundingAndRestartStrikesNothing)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const auto events = randomEvents(rng, 20 + int(rng() % 120), 4, 6);
        ManualClock clock(1 + rng() % 16);
        Log log;
        Filler filler{clock, events};
        log.onRoom = [&] { filler.fill(); };
        log.attach(clock);
        filler.fill();
        clock.start();

        Sounding sounding;
        std::size_t applied = 0;
        std::vector<TimedMessage> fromQueue;  // what the sink had from the queue, pause's note-offs left out
        auto catchUp = [&](bool fromPause) {
            const auto messages = log.messages();
            for (; applied < messages.size(); ++applied) {
                sounding.apply(messages[applied]);
                if (!fromPause)
                    fromQueue.push_back(messages[applied]);
            }
        };
        const std::uint64_t end = lastTick(events);
        bool stopped = false;
        while (!stopped) {
            clock.advanceTo(clock.now() + rng() % 400);
            catchUp(false);
            const int action = int(rng() % 6);
            if (action == 0 || clock.now() > end + 1000) {
                const std::uint64_t run = clock.run();
                std::uint16_t used = 0;
                for (const TimedMessage& m : fromQueue)
                    used |= std::uint16_t(1u << (m.status & 15));
                const std::uint64_t at = clock.now();
                clock.stop();
                EXPECT_EQ(clock.run(), run + 1);
                const auto silences = log.silences();
                if (used) {
                    ASSERT_EQ(silences.size(), 1u);
                    EXPECT_EQ(silences[0], (RecordingSink::SilenceCall{used, at}));
                    sounding.silence(silences[0].channelMask);
                } else {
                    EXPECT_TRUE(silences.empty());
                }
                EXPECT_TRUE(sounding.notes.empty()) << "a note hangs after stop";
                EXPECT_EQ(clock.queued(), 0u);
                stopped = true;
            } else if (action == 1) {
                const std::uint64_t held = clock.now();
                const auto wasSounding = sounding.notes;
                clock.pause();
                // Exactly the notes sounding, each ended once.
                std::set<std::pair<int, int>> ended;
                const auto messages = log.messages();
                for (std::size_t i = applied; i < messages.size(); ++i)
                    ended.insert({messages[i].status & 15, messages[i].data1});
                EXPECT_EQ(ended, wasSounding);
                EXPECT_EQ(messages.size() - applied, wasSounding.size());
                catchUp(true);
                EXPECT_TRUE(sounding.notes.empty()) << "a note hangs after pause";
                const std::size_t before = log.messageCount();
                clock.advanceTo(held + 1000);  // the clock holds
                EXPECT_EQ(clock.now(), held);
                clock.restart();
                EXPECT_EQ(log.messageCount(), before) << "something was sent while paused or at restart";
            }
        }
        // Pauses only ever added note-offs: what came from the queue is the stream's own prefix.
        std::vector<TimedMessage> expected;
        for (const Happening& h : expectedPlay(events, 0))
            if (h.kind == Happening::Message && expected.size() < fromQueue.size())
                expected.push_back({h.tick, h.status, h.d1, h.d2});
        EXPECT_EQ(fromQueue, expected);
    }
}

TEST(ManualClock, AListenerMayStopTheRunFromAllPlayed)
{
    ManualClock clock;
    Log log;
    log.onAllPlayed = [&] { clock.stop(); };
    log.attach(clock);
    clock.putMidiOut({0, 0x91, 60, 90});
    clock.putMidiOut({700, 0x81, 60, 0});
    clock.start();
    EXPECT_TRUE(clock.runUntilIdle(100000));
    EXPECT_FALSE(clock.running());
    EXPECT_EQ(clock.run(), 2u);
    EXPECT_EQ(log.silences(), (std::vector<RecordingSink::SilenceCall>{{0x0002, 700}}));
    EXPECT_EQ(log.without(Happening::Message).size(), 2u);  // the beat at 480, allPlayed; no beat after stop
}

// ---- The timing thread ----

TEST(RealtimeClock, PlaysALongRefilledStreamCompletelyAndInOrder)
{
    std::mt19937 rng(5);
    const auto events = randomEvents(rng, 3000);
    RealtimeClock clock(32);
    RecordingSink sink;

    // The listener hands reports to this thread as the program's proxy hands them to the GUI.
    struct Proxy : ClockListener {
        std::mutex mutex;
        std::condition_variable posted;
        std::deque<char> reports;
        std::vector<Happening> markers;
        void post(char what)
        {
            std::lock_guard lock(mutex);
            reports.push_back(what);
            posted.notify_one();
        }
        void beat(std::uint64_t) override {}
        void room(std::uint64_t) override { post('r'); }
        void allPlayed(std::uint64_t) override { post('a'); }
        void marker(std::uint64_t, std::uint8_t kind, std::uint8_t d1, std::uint8_t d2, std::uint8_t d3) override
        {
            std::lock_guard lock(mutex);
            markers.push_back({Happening::Marker, 0, kind, d1, d2, d3});
        }
    } proxy;
    clock.setSink(&sink);
    clock.setListener(&proxy);
    clock.setTempo(1000);  // a millisecond a beat: the stream lasts a fraction of a second
    Filler filler{clock, events};
    filler.fill();
    clock.start();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (bool done = false; !done;) {
        std::unique_lock lock(proxy.mutex);
        ASSERT_TRUE(proxy.posted.wait_until(lock, deadline, [&] { return !proxy.reports.empty(); })) << "timed out at " << filler.next << " queued " << clock.queued() << " sent " << sink.messageCount();
        const char what = proxy.reports.front();
        proxy.reports.pop_front();
        lock.unlock();
        if (what == 'r')
            filler.fill();
        done = what == 'a' && filler.next == events.size() && clock.queued() == 0;
    }
    clock.stop();

    std::vector<TimedMessage> messages;
    std::vector<Happening> markers;
    std::uint16_t used = 0;
    for (const Happening& h : expectedPlay(events, 0)) {
        if (h.kind == Happening::Message) {
            messages.push_back({h.tick, h.status, h.d1, h.d2});
            used |= std::uint16_t(1u << (h.status & 15));
        } else if (h.kind == Happening::Marker) {
            markers.push_back({Happening::Marker, 0, h.status, h.d1, h.d2, h.d3});
        }
    }
    EXPECT_EQ(sink.messages(), messages);
    EXPECT_EQ(proxy.markers, markers);
    EXPECT_EQ(sink.tempos(), std::vector<std::uint32_t>{1000});
    ASSERT_EQ(sink.silences().size(), 1u);
    EXPECT_EQ(sink.silences()[0].channelMask, used);
}

// Two milliseconds a tick. The queue is empty when the run starts, so the timing thread is
// asleep until the first beat (960 ms) when the first note is put; a pause then holds the clock
// at the tick it reached, and the second note comes that many ticks sooner after the restart.
TEST(RealtimeClock, ANotePutWhileItSleepsAndTheRestAfterAPauseComeOnTime)
{
    using namespace std::chrono;
    RealtimeClock clock;
    RecordingSink sink;
    clock.setSink(&sink);
    clock.setTempo(960'000);
    auto arrival = [&](std::size_t count) {
        const auto deadline = steady_clock::now() + seconds(5);
        while (sink.messageCount() < count && steady_clock::now() < deadline)
            std::this_thread::sleep_for(microseconds(200));
        return steady_clock::now();
    };
    auto ms = [](steady_clock::duration d) { return duration_cast<milliseconds>(d).count(); };

    const auto begun = steady_clock::now();
    clock.start();
    std::this_thread::sleep_for(milliseconds(10));
    ASSERT_TRUE(clock.putMidiOut({20, 0x90, 60, 90}));   // tick 20: 40 ms in
    ASSERT_TRUE(clock.putMidiOut({280, 0x80, 60, 0}));   // tick 300: 600 ms in
    EXPECT_LT(ms(arrival(1) - begun), 400);

    std::this_thread::sleep_until(begun + milliseconds(400));
    const auto held = ms(steady_clock::now() - begun) / 2;  // the tick the pause holds, near enough
    clock.pause();
    std::this_thread::sleep_for(milliseconds(100));
    EXPECT_EQ(sink.messageCount(), 2u);  // the first note, ended by the pause
    const auto resumed = steady_clock::now();
    clock.restart();
    const auto late = ms(arrival(3) - resumed) - 2 * (300 - held);
    EXPECT_GT(late, -150);
    EXPECT_LT(late, 150);
    clock.stop();
}

}  // namespace
