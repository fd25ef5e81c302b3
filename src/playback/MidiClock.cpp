#include "playback/MidiClock.h"

#include <algorithm>

namespace strumox::playback {

namespace {

bool isChannelMessage(std::uint8_t status) { return status >= 0x80 && status <= 0xEF; }

}  // namespace

MidiClock::MidiClock(std::size_t capacity) : m_capacity(std::max<std::size_t>(capacity, 1)), m_ring(m_capacity) {}

MidiClock::~MidiClock() = default;

void MidiClock::setSink(OutputSink* sink)
{
    std::lock_guard call(m_callMutex);
    std::lock_guard lock(m_mutex);
    m_sink = sink;
}

void MidiClock::setListener(ClockListener* listener)
{
    std::lock_guard call(m_callMutex);
    std::lock_guard lock(m_mutex);
    m_listener = listener;
}

void MidiClock::setTempo(std::uint32_t microsecondsPerBeat)
{
    std::lock_guard lock(m_mutex);
    m_tempo = std::max<std::uint32_t>(microsecondsPerBeat, 1);
}

std::uint32_t MidiClock::tempo() const
{
    std::lock_guard lock(m_mutex);
    return m_tempo;
}

bool MidiClock::putMidiOut(const MidiEventRec& event)
{
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_size == m_capacity) {
            m_roomWanted = true;
            return false;
        }
        m_lastTick += event.time;
        m_ring[(m_head + m_size) % m_capacity] = {m_lastTick, event.status, event.data1, event.data2, event.data3};
        wasEmpty = m_size++ == 0;
    }
    // Behind a waiting event the new one cannot be due sooner than what the timing thread waits
    // for, so only a put into an empty queue needs to wake it.
    if (wasEmpty)
        wake();
    return true;
}

void MidiClock::start()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_running)
            return;
        m_running = true;
        m_paused = false;
        ++m_run;
        m_runTempo = m_tempo;
        m_tempoOwed = true;
        m_dryOwed = false;
        m_nextBeat = kTicksPerBeat;
        m_usedChannels = 0;
        m_sounding = {};
        beganLocked();
    }
    wake();
}

void MidiClock::stop()
{
    Silence silence;
    {
        std::lock_guard lock(m_mutex);
        if (m_running) {
            silence.tick = nowTickLocked();
            silence.channels = m_usedChannels;
        }
        clearQueueLocked();
        m_lastTick = 0;
        m_running = false;
        m_paused = false;
        ++m_run;
        m_tempoOwed = m_roomWanted = m_dryOwed = false;
        m_usedChannels = 0;
        m_sounding = {};
    }
    if (silence.channels)
        deliver(silence);
    wake();
}

void MidiClock::pause()
{
    Silence silence;
    {
        std::lock_guard lock(m_mutex);
        if (!m_running || m_paused)
            return;
        m_heldTick = nowTickLocked();
        m_paused = true;
        silence.tick = m_heldTick;
        silence.notes = m_sounding;
        m_sounding = {};
    }
    if (std::any_of(silence.notes.begin(), silence.notes.end(), [](const auto& keys) { return keys.any(); }))
        deliver(silence);
    wake();
}

void MidiClock::restart()
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_running || !m_paused)
            return;
        m_paused = false;
        resumedLocked();
    }
    wake();
}

void MidiClock::flush()
{
    {
        std::lock_guard lock(m_mutex);
        clearQueueLocked();
        m_lastTick = m_running ? nowTickLocked() : 0;
        m_dryOwed = false;
    }
    // A filler waiting for room hears of it now.
    wake();
}

bool MidiClock::running() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

bool MidiClock::paused() const
{
    std::lock_guard lock(m_mutex);
    return m_paused;
}

std::size_t MidiClock::queued() const
{
    std::lock_guard lock(m_mutex);
    return m_size;
}

std::uint64_t MidiClock::run() const
{
    std::lock_guard lock(m_mutex);
    return m_run;
}

void MidiClock::deliver(const Silence& silence) { perform(silence); }

void MidiClock::perform(const Silence& silence)
{
    std::lock_guard call(m_callMutex);
    OutputSink* sink = nullptr;
    {
        std::lock_guard lock(m_mutex);
        sink = m_sink;
    }
    if (!sink)
        return;
    if (silence.channels)
        sink->silence(silence.channels, silence.tick);
    for (int channel = 0; channel < 16; ++channel) {
        const auto& keys = silence.notes[static_cast<std::size_t>(channel)];
        for (int key = 0; key < 128 && keys.any(); ++key)
            if (keys.test(static_cast<std::size_t>(key)))
                sink->send({silence.tick, noteOff(channel), static_cast<std::uint8_t>(key), 0});
    }
}

std::optional<std::uint64_t> MidiClock::nextDueLocked() const
{
    if (!m_running || m_paused)
        return std::nullopt;
    if (m_tempoOwed || (m_roomWanted && m_size <= m_capacity / 2) || (m_dryOwed && m_size == 0))
        return nowTickLocked();
    return m_size ? std::min(m_nextBeat, m_ring[m_head].tick) : m_nextBeat;
}

bool MidiClock::idleLocked() const
{
    return m_size == 0 && !m_tempoOwed && !m_dryOwed && !m_roomWanted;
}

bool MidiClock::dispatchOne(std::uint64_t upTo)
{
    std::lock_guard call(m_callMutex);
    Action action = Action::None;
    Entry entry{};
    std::uint64_t run = 0;
    std::uint32_t tempo = 0;
    OutputSink* sink = nullptr;
    ClockListener* listener = nullptr;
    {
        std::lock_guard lock(m_mutex);
        if (!m_running || m_paused)
            return false;
        run = m_run;
        sink = m_sink;
        listener = m_listener;
        if (m_dryOwed && m_size > 0)
            m_dryOwed = false;  // refilled before the report: the queue did not run dry after all
        if (m_tempoOwed) {
            m_tempoOwed = false;
            tempo = m_runTempo;
            action = Action::Tempo;
        } else if (m_roomWanted && m_size <= m_capacity / 2) {
            m_roomWanted = false;
            action = Action::Room;
        } else if (m_dryOwed) {
            m_dryOwed = false;
            ++m_allPlayedReports;
            action = Action::AllPlayed;
        } else if (m_nextBeat <= upTo && (m_size == 0 || m_nextBeat <= m_ring[m_head].tick)) {
            m_nextBeat += kTicksPerBeat;
            action = Action::Beat;
        } else if (m_size > 0 && m_ring[m_head].tick <= upTo) {
            entry = m_ring[m_head];
            m_head = (m_head + 1) % m_capacity;
            m_dryOwed = --m_size == 0;
            // Tracked before the sink hears it, so a Stop or Pause taken meanwhile silences it too.
            trackLocked(entry);
            action = Action::Event;
        }
    }
    switch (action) {
    case Action::None:
        return false;
    case Action::Tempo:
        if (sink)
            sink->tempoChanged(tempo);
        break;
    case Action::Room:
        if (listener)
            listener->room(run);
        break;
    case Action::AllPlayed:
        if (listener)
            listener->allPlayed(run);
        break;
    case Action::Beat:
        if (listener)
            listener->beat(run);
        break;
    case Action::Event:
        if (isMarker(entry.status)) {
            if (listener)
                listener->marker(run, entry.status, entry.data1, entry.data2, entry.data3);
        } else if (isChannelMessage(entry.status) && sink) {
            sink->send({entry.tick, entry.status, entry.data1, entry.data2});
        }
        break;
    }
    return true;
}

void MidiClock::clearQueueLocked()
{
    m_head = 0;
    m_size = 0;
}

void MidiClock::trackLocked(const Entry& entry)
{
    if (!isChannelMessage(entry.status))
        return;
    const int channel = entry.status & 15;
    m_usedChannels |= static_cast<std::uint16_t>(1u << channel);
    auto& keys = m_sounding[static_cast<std::size_t>(channel)];
    const std::size_t key = entry.data1 & 127;
    switch (entry.status & 0xF0) {
    case 0x90:
        keys.set(key, entry.data2 != 0);  // velocity 0 ends the note
        break;
    case 0x80:
        keys.reset(key);
        break;
    case 0xB0:
        if (entry.data1 == 120 || entry.data1 == 123)
            keys.reset();
        break;
    default:
        break;
    }
}

}  // namespace strumox::playback
