#pragma once
// A Standard MIDI File read byte by byte as the standard describes it, without the writer's code,
// for the suites that check exported songs: channel messages with running status, the tempo and
// end-of-track meta events. Anything else, or anything malformed, sets `error`.
#include <cstdint>
#include <string>
#include <vector>

namespace strumox::testsupport {

struct MidiEvent {
    std::uint64_t tick = 0;  // absolute, within its track
    int status = 0, data1 = 0;
    int data2 = -1;  // -1 for a program change
    friend bool operator==(const MidiEvent&, const MidiEvent&) = default;
};

struct MidiFileContents {
    std::string error;  // empty: well formed
    int format = -1, division = 0;
    std::vector<std::uint32_t> tempos;           // microseconds per beat
    std::vector<std::vector<MidiEvent>> tracks;  // channel messages per track
    std::vector<std::uint64_t> trackEnds;        // tick of each end-of-track
};

inline MidiFileContents readMidiFile(const std::string& b)
{
    MidiFileContents f;
    std::size_t at = 0;
    auto byte = [&]() -> std::uint32_t { return at < b.size() ? static_cast<std::uint8_t>(b[at++]) : 0x100; };
    auto big = [&](int n, std::uint32_t v = 0) {
        while (n--)
            v = v << 8 | (byte() & 0xFF);
        return v;
    };
    auto variable = [&](std::uint32_t v = 0) {
        for (std::uint32_t c = 0x80; c & 0x80;)
            v = v << 7 | ((c = byte()) & 0x7F);
        return v;
    };
    if (b.compare(0, 4, "MThd") != 0 || (at = 4, big(4)) != 6)
        return f.error = "no MThd header of 6 bytes", f;
    f.format = static_cast<int>(big(2));
    const std::uint32_t trackCount = big(2);
    f.division = static_cast<int>(big(2));
    for (std::uint32_t t = 0; t < trackCount && f.error.empty(); ++t) {
        if (at > b.size() || b.compare(at, 4, "MTrk") != 0)
            return f.error = "no MTrk", f;
        at += 4;
        const std::size_t end = big(4) + at;
        auto& events = f.tracks.emplace_back();
        std::uint64_t tick = 0;
        std::uint32_t running = 0;
        while (at < end && f.trackEnds.size() == t) {
            tick += variable();
            std::uint32_t status = at < b.size() && (b[at] & 0x80) ? byte() : running;
            if (status == 0xFF) {
                const std::uint32_t type = byte(), length = variable();
                if (type == 0x51 && length == 3)
                    f.tempos.push_back(big(3));
                else if (type == 0x2F && length == 0)
                    f.trackEnds.push_back(tick);
                else
                    f.error = "unexpected meta event";
            } else if (status >= 0x80 && status < 0xF0 && (status & 0xF0) != 0xD0) {
                running = status;
                const int d1 = static_cast<int>(byte());
                const int d2 = (status & 0xF0) == 0xC0 ? -1 : static_cast<int>(byte());
                if (d1 > 127 || d2 > 127)
                    f.error = "data byte out of range";
                events.push_back({tick, static_cast<int>(status), d1, d2});
            } else {
                f.error = "no MIDI event at byte " + std::to_string(at);
            }
            if (!f.error.empty())
                return f;
        }
        if (at != end || f.trackEnds.size() != t + 1)
            return f.error = "track " + std::to_string(t) + " does not end with its end-of-track", f;
    }
    if (at != b.size())
        f.error = "bytes after the last track";
    return f;
}

}  // namespace strumox::testsupport
