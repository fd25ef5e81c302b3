#pragma once
// A Standard MIDI File read byte by byte as the standard describes it, without the writer's code:
// for the suites that check exported songs. Reads channel messages (with running status), meta
// events and sysex; anything malformed sets `error`.
#include <cstdint>
#include <string>
#include <vector>

namespace strumox::testsupport {

struct MidiEvent {
    std::uint64_t tick = 0;  // absolute, within its track
    int status = 0;          // 0x80..0xEF
    int data1 = 0;
    int data2 = -1;  // -1 for the one-byte messages (program change, channel pressure)
    friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

struct MidiFileContents {
    std::string error;  // empty: well formed
    int format = -1, division = 0;
    std::vector<std::uint32_t> tempos;             // microseconds per beat, from every track
    std::vector<std::vector<MidiEvent>> tracks;    // channel messages per track
    std::vector<std::uint64_t> trackEnds;          // tick of each end-of-track
};

inline MidiFileContents readMidiFile(const std::string& bytes)
{
    MidiFileContents f;
    std::size_t at = 0;
    auto byte = [&]() -> int { return at < bytes.size() ? static_cast<std::uint8_t>(bytes[at++]) : -1; };
    auto big = [&](int n) {
        std::uint32_t v = 0;
        while (n--)
            v = v << 8 | static_cast<std::uint32_t>(byte() & 0xFF);
        return v;
    };
    auto variable = [&](std::size_t end) -> std::int64_t {
        std::uint32_t v = 0;
        for (int n = 0; n < 4 && at < end; ++n) {
            const int b = byte();
            v = v << 7 | static_cast<std::uint32_t>(b & 0x7F);
            if (!(b & 0x80))
                return v;
        }
        return -1;
    };
    if (bytes.size() < 14 || bytes.compare(0, 4, "MThd") != 0 || (at = 4, big(4)) != 6)
        return f.error = "no MThd header of 6 bytes", f;
    f.format = static_cast<int>(big(2));
    const std::uint32_t trackCount = big(2);
    f.division = static_cast<int>(big(2));
    for (std::uint32_t t = 0; t < trackCount; ++t) {
        if (at + 8 > bytes.size() || bytes.compare(at, 4, "MTrk") != 0)
            return f.error = "track " + std::to_string(t) + ": no MTrk", f;
        at += 4;
        const std::uint32_t length = big(4);
        const std::size_t end = at + length;
        if (end > bytes.size())
            return f.error = "track " + std::to_string(t) + " runs past the file", f;
        auto& events = f.tracks.emplace_back();
        std::uint64_t tick = 0;
        int running = 0;
        bool ended = false;
        while (at < end && !ended) {
            const std::int64_t delta = variable(end);
            if (delta < 0 || at >= end)
                return f.error = "bad delta time", f;
            tick += static_cast<std::uint64_t>(delta);
            int status = static_cast<std::uint8_t>(bytes[at]);
            if (status < 0x80) {
                if (!running)
                    return f.error = "data byte without a running status", f;
                status = running;
            } else {
                ++at;
            }
            if (status == 0xFF) {
                const int type = byte();
                const std::int64_t length = variable(end);
                if (length < 0 || at + static_cast<std::size_t>(length) > end)
                    return f.error = "bad meta event", f;
                if (type == 0x51 && length == 3)
                    f.tempos.push_back(big(3));
                else
                    at += static_cast<std::size_t>(length);
                ended = type == 0x2F;
                if (ended)
                    f.trackEnds.push_back(tick);
            } else if (status == 0xF0 || status == 0xF7) {
                const std::int64_t length = variable(end);
                if (length < 0)
                    return f.error = "bad sysex", f;
                at += static_cast<std::size_t>(length);
            } else if (status >= 0x80 && status < 0xF0) {
                running = status;
                const bool oneByte = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0;
                const int d1 = byte();
                const int d2 = oneByte ? -1 : byte();
                if (d1 < 0 || d1 > 127 || d2 > 127 || (!oneByte && d2 < 0))
                    return f.error = "bad data byte", f;
                events.push_back({tick, status, d1, d2});
            } else {
                return f.error = "status " + std::to_string(status) + " is no MIDI event", f;
            }
        }
        if (!ended || at != end)
            return f.error = "track " + std::to_string(t) + " has no end-of-track at its end", f;
    }
    if (at != bytes.size())
        return f.error = "bytes after the last track", f;
    return f;
}

}  // namespace strumox::testsupport
