#pragma once
// A mutex that lends its waiter's priority to its holder, and a condition variable for it.
//
// The timing thread runs at a real-time priority and shares the queue's mutex with the GUI thread.
// With a plain mutex, a GUI thread preempted by any ordinary thread while it holds the lock (it
// fills the queue one event at a time, under the lock) keeps the timing thread waiting for a
// whole scheduler slice: milliseconds of lateness on a busy machine. Priority inheritance lifts
// the holder above the ordinary threads until it lets go. std::condition_variable_any would bring
// back the problem through a plain mutex of its own, hence the condition variable here.
#include <chrono>
#include <ctime>
#include <mutex>

#include <pthread.h>

namespace strumox::playback {

class PiMutex {
public:
    PiMutex()
    {
        pthread_mutexattr_t attributes;
        pthread_mutexattr_init(&attributes);
        // Where the protocol is not supported the mutex stays an ordinary one.
        pthread_mutexattr_setprotocol(&attributes, PTHREAD_PRIO_INHERIT);
        if (pthread_mutex_init(&m_mutex, &attributes) != 0)
            pthread_mutex_init(&m_mutex, nullptr);
        pthread_mutexattr_destroy(&attributes);
    }
    ~PiMutex() { pthread_mutex_destroy(&m_mutex); }
    PiMutex(const PiMutex&) = delete;
    PiMutex& operator=(const PiMutex&) = delete;

    void lock() { pthread_mutex_lock(&m_mutex); }
    bool try_lock() { return pthread_mutex_trylock(&m_mutex) == 0; }
    void unlock() { pthread_mutex_unlock(&m_mutex); }
    pthread_mutex_t* native_handle() { return &m_mutex; }

private:
    pthread_mutex_t m_mutex;
};

// Waits on the steady clock, as std::condition_variable does.
class PiCondition {
public:
    PiCondition()
    {
        pthread_condattr_t attributes;
        pthread_condattr_init(&attributes);
        pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
        pthread_cond_init(&m_condition, &attributes);
        pthread_condattr_destroy(&attributes);
    }
    ~PiCondition() { pthread_cond_destroy(&m_condition); }
    PiCondition(const PiCondition&) = delete;
    PiCondition& operator=(const PiCondition&) = delete;

    void notify_one() { pthread_cond_signal(&m_condition); }
    void notify_all() { pthread_cond_broadcast(&m_condition); }

    void wait(std::unique_lock<PiMutex>& lock) { pthread_cond_wait(&m_condition, lock.mutex()->native_handle()); }

    template <class Predicate>
    void wait(std::unique_lock<PiMutex>& lock, Predicate ready)
    {
        while (!ready())
            wait(lock);
    }

    // Returns early on a notification (or spuriously), like std::condition_variable::wait_until.
    void wait_until(std::unique_lock<PiMutex>& lock, std::chrono::steady_clock::time_point when)
    {
        // steady_clock is CLOCK_MONOTONIC on Linux, so its epoch is the condition's.
        const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count();
        timespec until{};
        if (since > 0) {
            until.tv_sec = static_cast<std::time_t>(since / 1'000'000'000);
            until.tv_nsec = static_cast<long>(since % 1'000'000'000);
        }
        pthread_cond_timedwait(&m_condition, lock.mutex()->native_handle(), &until);
    }

private:
    pthread_cond_t m_condition;
};

}  // namespace strumox::playback
