#include "playback/RealtimeClock.h"

#include <algorithm>
#include <cassert>

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace strumox::playback {

namespace {

using Nanoseconds = std::chrono::nanoseconds;

// Sleeping ends this much before the due time and the rest is spun: waking from a sleep can be
// late by tens of microseconds on a loaded machine, a spin is not.
constexpr Nanoseconds kSpin = std::chrono::microseconds(200);

// Longer than any song; keeps absurd deltas from overflowing the time arithmetic.
constexpr std::int64_t kFarNanoseconds = std::int64_t(1) << 62;

void relax()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
}

}  // namespace

RealtimeClock::RealtimeClock(std::size_t capacity, bool raisePriority)
    : MidiClock(capacity), m_raisePriority(raisePriority), m_thread([this] { loop(); })
{
}

RealtimeClock::~RealtimeClock()
{
    if (running())
        stop();
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_wakeUp.notify_all();
    m_thread.join();
}

RealtimeClock::TimePoint RealtimeClock::dueTime(std::uint64_t tick) const
{
    std::lock_guard lock(m_mutex);
    return dueTimeLocked(tick);
}

RealtimeClock::TimePoint RealtimeClock::dueTimeLocked(std::uint64_t tick) const
{
    if (tick <= m_originTick)
        return m_originTime;
    // Rounded up, so that at the due time the tick computed back from the clock has been reached.
    const unsigned __int128 ticks = tick - m_originTick;
    const unsigned __int128 perBeat = std::uint64_t(m_runTempo) * 1000u;
    const unsigned __int128 ns = (ticks * perBeat + kTicksPerBeat - 1) / kTicksPerBeat;
    return m_originTime + Nanoseconds(std::int64_t(std::min<unsigned __int128>(ns, kFarNanoseconds)));
}

std::uint64_t RealtimeClock::nowTickLocked() const
{
    if (m_paused)
        return m_heldTick;
    const auto elapsed = std::chrono::steady_clock::now() - m_originTime;
    if (elapsed.count() <= 0)
        return m_originTick;
    const unsigned __int128 ns = std::chrono::duration_cast<Nanoseconds>(elapsed).count();
    return m_originTick + std::uint64_t(ns * kTicksPerBeat / (std::uint64_t(m_runTempo) * 1000u));
}

void RealtimeClock::beganLocked()
{
    m_originTick = 0;
    m_originTime = std::chrono::steady_clock::now();
}

void RealtimeClock::resumedLocked()
{
    m_originTick = m_heldTick;
    m_originTime = std::chrono::steady_clock::now();
}

void RealtimeClock::wake() { m_wakeUp.notify_one(); }

void RealtimeClock::deliver(const Silence& silence)
{
    if (std::this_thread::get_id() == m_thread.get_id()) {
        // A listener broke the thread rule and stopped from a report; waiting would never end.
        assert(!"RealtimeClock controlled from its own timing thread");
        perform(silence);
        return;
    }
    std::unique_lock lock(m_mutex);
    m_silences.push_back(silence);
    const std::uint64_t ticket = ++m_silencesPosted;
    m_wakeUp.notify_one();
    m_delivered.wait(lock, [&] { return m_silencesDone >= ticket; });
}

void RealtimeClock::loop()
{
    Priority priority = Priority::Normal;
#ifdef __linux__
    // The kernel may otherwise round our sleeps up by its default 50 microseconds of slack.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    if (m_raisePriority) {
        // A low real-time priority is enough to run ahead of every ordinary thread; the sleeps
        // leave the processor free, and the spin before each due time is bounded.
        sched_param param{};
        param.sched_priority = sched_get_priority_min(SCHED_FIFO) + 9;
        if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0)
            priority = Priority::Realtime;
        else if (setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), -10) == 0)
            priority = Priority::Nice;
    }
#endif
    m_priority = priority;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_silences.empty()) {
            std::vector<Silence> silences;
            silences.swap(m_silences);
            lock.unlock();
            for (const Silence& silence : silences) {
                try {
                    perform(silence);
                } catch (...) {
                }
            }
            lock.lock();
            m_silencesDone += silences.size();
            m_delivered.notify_all();
            continue;
        }
        if (m_quit)
            return;
        const auto next = nextDueLocked();
        if (!next) {
            m_wakeUp.wait(lock);
            continue;
        }
        const TimePoint due = dueTimeLocked(*next);
        const TimePoint now = std::chrono::steady_clock::now();
        if (due - now > kSpin) {
            m_wakeUp.wait_until(lock, due - kSpin);
            continue;
        }
        if (now < due) {
            lock.unlock();
            while (std::chrono::steady_clock::now() < due)
                relax();
            lock.lock();
            continue;  // anything may have changed meanwhile
        }
        const std::uint64_t upTo = nowTickLocked();
        lock.unlock();
        try {
            dispatchOne(upTo);
        } catch (...) {
        }
        lock.lock();
    }
}

}  // namespace strumox::playback
