#include "playback/RecordingSink.h"

namespace strumox::playback {

void RecordingSink::send(const TimedMessage& message)
{
    std::lock_guard lock(m_mutex);
    m_messages.push_back(message);
}

void RecordingSink::tempoChanged(std::uint32_t microsecondsPerBeat)
{
    std::lock_guard lock(m_mutex);
    m_tempos.push_back(microsecondsPerBeat);
}

void RecordingSink::silence(std::uint16_t channelMask, std::uint64_t tick)
{
    std::lock_guard lock(m_mutex);
    m_silences.push_back({channelMask, tick});
}

std::vector<TimedMessage> RecordingSink::messages() const
{
    std::lock_guard lock(m_mutex);
    return m_messages;
}

std::vector<RecordingSink::SilenceCall> RecordingSink::silences() const
{
    std::lock_guard lock(m_mutex);
    return m_silences;
}

std::vector<std::uint32_t> RecordingSink::tempos() const
{
    std::lock_guard lock(m_mutex);
    return m_tempos;
}

std::size_t RecordingSink::messageCount() const
{
    std::lock_guard lock(m_mutex);
    return m_messages.size();
}

void RecordingSink::clear()
{
    std::lock_guard lock(m_mutex);
    m_messages.clear();
    m_silences.clear();
    m_tempos.clear();
}

}  // namespace strumox::playback
