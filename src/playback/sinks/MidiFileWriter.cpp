#include "playback/sinks/MidiFileWriter.h"

#include <algorithm>
#include <system_error>

#include "fileio/AtomicFile.h"

namespace strumox::playback {

namespace {

constexpr std::uint64_t kMaxDelta = 0x0FFFFFFF;  // four 7-bit groups of a variable-length number

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// 7 bits a byte, most significant first, the high bit set on every byte but the last.
void putVariable(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t groups[4];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value != 0);
    while (n-- > 1)
        out.push_back(groups[n] | 0x80);
    out.push_back(groups[0]);
}

void putTempo(std::vector<std::uint8_t>& track, std::uint32_t microsecondsPerBeat)
{
    track.insert(track.end(), {0x00, 0xFF, 0x51, 0x03});
    // Three bytes: 0.06 to 16.7 s a beat, far beyond the tempo box's 10..250 beats a minute.
    putBigEndian(track, std::clamp<std::uint32_t>(microsecondsPerBeat, 1, 0xFFFFFF), 3);
}

void putEndOfTrack(std::vector<std::uint8_t>& track, std::uint32_t delta)
{
    putVariable(track, delta);
    track.insert(track.end(), {0xFF, 0x2F, 0x00});
}

void putChunk(std::vector<std::uint8_t>& out, const char* id, const std::vector<std::uint8_t>& body)
{
    out.insert(out.end(), id, id + 4);
    putBigEndian(out, static_cast<std::uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
}

bool isChannelMessage(const TimedMessage& m)
{
    return m.status >= 0x80 && m.status < 0xF0;
}

}  // namespace

MidiFileWriter::MidiFileWriter(std::uint32_t microsecondsPerBeat, Format format)
    : m_tempo(microsecondsPerBeat), m_format(format)
{
}

std::vector<std::uint8_t> MidiFileWriter::bytes(std::span<const TimedMessage> messages) const
{
    std::vector<TimedMessage> music;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(music), isChannelMessage);
    std::stable_sort(music.begin(), music.end(), [](const auto& a, const auto& b) { return a.tick < b.tick; });

    std::vector<std::uint8_t> track;
    track.reserve(music.size() * 4 + 16);
    if (m_format == Format::SingleTrack)
        putTempo(track, m_tempo);
    std::uint64_t now = 0;
    std::uint8_t runningStatus = 0;  // 0: the next message writes its status byte
    for (const TimedMessage& m : music) {
        if (m.tick - now > kMaxDelta)
            return {};
        putVariable(track, static_cast<std::uint32_t>(m.tick - now));
        now = m.tick;
        // Running status: a message with the status of the one before leaves it out.
        if (m.status != runningStatus)
            track.push_back(m.status);
        runningStatus = m.status;
        track.push_back(m.data1 & 0x7F);
        const std::uint8_t kind = m.status & 0xF0;
        if (kind != 0xC0 && kind != 0xD0)  // program change and channel pressure: one data byte
            track.push_back(m.data2 & 0x7F);
    }
    const std::uint64_t end = std::max(now, m_endTick);
    if (end - now > kMaxDelta)
        return {};
    putEndOfTrack(track, static_cast<std::uint32_t>(end - now));

    std::vector<std::uint8_t> file;
    file.reserve(track.size() + 64);
    const std::uint16_t trackCount = m_format == Format::SingleTrack ? 1 : 2;
    file.insert(file.end(), {'M', 'T', 'h', 'd'});
    putBigEndian(file, 6, 4);
    putBigEndian(file, static_cast<std::uint16_t>(m_format), 2);
    putBigEndian(file, trackCount, 2);
    putBigEndian(file, kTicksPerBeat, 2);
    if (m_format == Format::TempoTrack) {
        std::vector<std::uint8_t> tempoTrack;
        putTempo(tempoTrack, m_tempo);
        putEndOfTrack(tempoTrack, 0);
        putChunk(file, "MTrk", tempoTrack);
    }
    putChunk(file, "MTrk", track);
    return file;
}

std::string MidiFileWriter::write(const std::string& path, std::span<const TimedMessage> messages) const
{
    const std::vector<std::uint8_t> data = bytes(messages);
    if (data.empty())
        return "cannot write " + path + ": the song has a pause too long for a MIDI file";
    try {
        fileio::writeFileAtomically(path, std::span<const std::uint8_t>(data));
    } catch (const std::system_error& e) {
        return e.what();
    }
    return {};
}

}  // namespace strumox::playback
