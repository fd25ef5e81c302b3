// The real-time clock's accuracy: a strummed song at 250 beats a minute (a six-string strum, a
// click and a slot marker every sixteenth) played through RealtimeClock into a sink that stamps
// each message, with the queue refilled on room by a stand-in GUI thread and a busy thread
// hogging a core. Prints the lateness of each message behind its due time (p50 / p99 / max), then
// the time from start() to the first message at the sink over repeated starts (median / max).
// Exits 1 when p99 reaches 0.5 ms, max 2 ms or the start's median 5 ms.
//
// Usage: bench_clock [events] [starts] [--normal-priority]   (defaults 10000 and 200; 10000 events
// take about 45 s). The timing thread asks for a raised priority unless told not to; the line
// before the figures says what it got.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "playback/RealtimeClock.h"

namespace {

using namespace strumox::playback;
using Clock = std::chrono::steady_clock;

// Stamps every message with the moment the clock handed it over; allocates nothing while playing.
class StampingSink : public OutputSink {
public:
    explicit StampingSink(std::size_t expected)
    {
        m_ticks.reserve(expected);
        m_stamps.reserve(expected);
    }
    void send(const TimedMessage& message) override
    {
        const auto now = Clock::now();
        if (m_ticks.size() < m_ticks.capacity()) {
            m_ticks.push_back(message.tick);
            m_stamps.push_back(now);
        }
        m_count.fetch_add(1, std::memory_order_release);
    }
    void silence(std::uint16_t, std::uint64_t) override {}
    std::size_t count() const { return m_count.load(std::memory_order_acquire); }
    void reset()
    {
        m_ticks.clear();
        m_stamps.clear();
        m_count = 0;
    }
    const std::vector<std::uint64_t>& ticks() const { return m_ticks; }
    const std::vector<Clock::time_point>& stamps() const { return m_stamps; }

private:
    std::vector<std::uint64_t> m_ticks;
    std::vector<Clock::time_point> m_stamps;
    std::atomic<std::size_t> m_count{0};
};

// The program's proxy in miniature: reports cross to the GUI thread through a locked queue.
class Proxy : public ClockListener {
public:
    enum Report { Room, AllPlayed };
    void beat(std::uint64_t) override {}
    void room(std::uint64_t) override { post(Room); }
    void allPlayed(std::uint64_t) override { post(AllPlayed); }
    void marker(std::uint64_t, std::uint8_t, std::uint8_t, std::uint8_t, std::uint8_t) override {}
    Report take()
    {
        std::unique_lock lock(m_mutex);
        m_posted.wait(lock, [&] { return !m_reports.empty(); });
        const Report r = m_reports.front();
        m_reports.pop_front();
        return r;
    }

private:
    void post(Report r)
    {
        std::lock_guard lock(m_mutex);
        m_reports.push_back(r);
        m_posted.notify_one();
    }
    std::mutex m_mutex;
    std::condition_variable m_posted;
    std::deque<Report> m_reports;
};

// A sixteenth (120 ticks) per strum: the last strum's six note-offs, a slot marker and a click at
// the slot's start, six note-ons 12 ticks apart, the click's note-off. 15 events, 14 of them sound.
std::vector<MidiEventRec> song(std::size_t soundingEvents)
{
    std::vector<MidiEventRec> out;
    const std::uint8_t chord[6] = {40, 47, 52, 56, 59, 64};
    std::uint64_t last = 0;
    auto at = [&](std::uint64_t tick, std::uint8_t status, std::uint8_t d1, std::uint8_t d2) {
        out.push_back({static_cast<std::uint32_t>(tick - last), status, d1, d2, 0});
        last = tick;
    };
    std::size_t sounding = 0;
    for (std::uint64_t slot = 0; sounding < soundingEvents; slot += 120) {
        for (std::uint8_t key : chord)
            if (slot)
                at(slot, 0x80, key, 0);
        at(slot, SlotMarker, std::uint8_t(slot / 120 % 96), 0);
        at(slot, 0x99, 37, 100);
        for (int s = 0; s < 6; ++s)
            at(slot + 12u * s, 0x90, chord[s], 90);
        at(slot + 60, 0x89, 37, 0);
        sounding += 14;
    }
    return out;
}

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Seconds of processor time the hypervisor gave to others (all processors), from /proc/stat; -1
// elsewhere. On a virtual machine a stolen stretch delays every thread, ours included, so the
// figures are only meaningful beside it.
double stolenSeconds()
{
    unsigned long long v[8] = {};
    FILE* f = std::fopen("/proc/stat", "r");
    if (!f)
        return -1;
    const int got = std::fscanf(f, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &v[0], &v[1], &v[2], &v[3], &v[4],
                                &v[5], &v[6], &v[7]);
    std::fclose(f);
    return got == 8 ? double(v[7]) / double(sysconf(_SC_CLK_TCK)) : -1;
}

double loadAverage()
{
    double load = -1;
    if (FILE* f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = -1;
        std::fclose(f);
    }
    return load;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<int> numbers;
    bool raise = true;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--normal-priority")
            raise = false;
        else
            numbers.push_back(std::atoi(argv[i]));
    }
    const std::size_t wanted = numbers.size() > 0 ? std::max(100, numbers[0]) : 10000;
    const int starts = numbers.size() > 1 ? std::max(1, numbers[1]) : 200;

    std::atomic<bool> busy{true};
    std::thread hog([&] {
        volatile std::uint64_t spin = 0;
        while (busy.load(std::memory_order_relaxed))
            spin = spin + 1;
    });

    const auto events = song(wanted);
    StampingSink sink(events.size());
    Proxy proxy;
    RealtimeClock clock(MidiClock::kDefaultCapacity, raise);
    clock.setSink(&sink);
    clock.setListener(&proxy);
    clock.setTempo(60'000'000 / 250);

    const double stolenBefore = stolenSeconds();
    const auto playStart = Clock::now();
    // The stand-in GUI thread: fills before the start, then on every room, until the end.
    std::size_t next = 0;
    auto fill = [&] {
        while (next < events.size() && clock.putMidiOut(events[next]))
            ++next;
    };
    std::thread gui([&] {
        fill();
        clock.start();
        for (;;) {
            const auto report = proxy.take();
            if (report == Proxy::Room)
                fill();
            else if (next == events.size() && clock.queued() == 0)
                break;
        }
        clock.stop();
    });
    gui.join();
    const double played = ms(Clock::now() - playStart) / 1000;
    const double stolen = stolenSeconds() - stolenBefore;

    std::vector<double> late;
    late.reserve(sink.ticks().size());
    for (std::size_t i = 0; i < sink.ticks().size(); ++i)
        late.push_back(ms(sink.stamps()[i] - clock.dueTime(sink.ticks()[i])));
    std::sort(late.begin(), late.end());
    const double p50 = late[late.size() / 2];
    const double p99 = late[late.size() * 99 / 100];
    const double worst = late.back();
    const char* const priorities[] = {"unknown", "normal", "nice -10", "real-time (FIFO)"};
    std::printf("timing thread priority: %s; played %.1f s, %.2f processor-seconds stolen meanwhile, load %.2f\n",
                priorities[int(clock.priority())], played, stolen, loadAverage());
    std::printf("lateness over %zu messages at 250 bpm, queue %zu refilled on room, one core busy:\n", late.size(),
                clock.capacity());
    std::printf("  p50 %.3f ms  p99 %.3f ms  max %.3f ms  (earliest %.3f ms)\n", p50, p99, worst, late.front());

    // From start() to the first message at the sink, on a clock that has been idle.
    std::vector<double> firstEvent;
    for (int i = 0; i < starts; ++i) {
        sink.reset();
        clock.putMidiOut({0, 0x90, 60, 90});
        clock.putMidiOut({240, 0x80, 60, 0});
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const auto begun = Clock::now();
        clock.start();
        while (sink.count() == 0)
            std::this_thread::yield();
        firstEvent.push_back(ms(sink.stamps().front() - begun));
        clock.stop();
    }
    std::sort(firstEvent.begin(), firstEvent.end());
    const double firstMedian = firstEvent[firstEvent.size() / 2];
    std::printf("start to first message over %d starts: median %.3f ms  max %.3f ms\n", starts, firstMedian,
                firstEvent.back());

    busy = false;
    hog.join();
    return p99 < 0.5 && worst < 2.0 && firstMedian < 5.0 ? 0 : 1;
}
