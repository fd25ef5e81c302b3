#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TempDir.h"
#include "playback/sinks/MidiFileWriter.h"

namespace {

using strumox::playback::MidiFileWriter;
using strumox::playback::TimedMessage;
using strumox::testsupport::TempDir;

// What a reader of the standard sees in a file, read byte by byte without the writer's help.
struct ReadFile {
    std::string error;  // empty when the file is well formed
    int format = -1, division = 0;
    std::vector<std::uint32_t> tempos;
    std::vector<TimedMessage> messages;  // every track's channel messages, absolute ticks
    std::vector<std::uint64_t> trackEnds;
    int runningStatusUses = 0;
};

ReadFile readMidi(const std::vector<std::uint8_t>& b)
{
    ReadFile f;
    std::size_t at = 0;
    const auto need = [&](std::size_t n) { return at + n <= b.size(); };
    const auto big = [&](int n) {
        std::uint32_t v = 0;
        while (n--) v = v << 8 | b[at++];
        return v;
    };
    if (!need(14) || std::string(b.begin(), b.begin() + 4) != "MThd" || (at = 4, big(4)) != 6)
        return f.error = "header", f;
    f.format = static_cast<int>(big(2));
    const std::uint32_t tracks = big(2);
    f.division = static_cast<int>(big(2));
    for (std::uint32_t t = 0; t < tracks; ++t) {
        if (!need(8) || std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4) != "MTrk")
            return f.error = "track id", f;
        at += 4;
        const std::uint32_t length = big(4);
        const std::size_t end = at + length;
        if (end > b.size())
            return f.error = "track length", f;
        std::uint64_t tick = 0;
        std::uint8_t status = 0;
        bool ended = false;
        while (at < end && !ended) {
            std::uint32_t delta = 0;
            for (int n = 0;; ++n) {
                if (n == 4 || at >= end)
                    return f.error = "delta", f;
                delta = delta << 7 | (b[at] & 0x7F);
                if (!(b[at++] & 0x80))
                    break;
            }
            tick += delta;
            if (b[at] == 0xFF) {
                const std::uint8_t type = b[at + 1];
                const std::uint8_t len = b[at + 2];  // every event written here is shorter than 128
                at += 3;
                if (type == 0x51 && len == 3)
                    f.tempos.push_back(big(3));
                else if (type == 0x2F && len == 0)
                    ended = true, f.trackEnds.push_back(tick);
                else
                    at += len;
                status = 0;  // a meta event ends running status
                continue;
            }
            if (b[at] & 0x80)
                status = b[at++];
            else if (status == 0)
                return f.error = "data byte without status", f;
            else
                ++f.runningStatusUses;
            const int kind = status & 0xF0;
            TimedMessage m{tick, status, b[at++], 0};
            if (kind != 0xC0 && kind != 0xD0)
                m.data2 = b[at++];
            f.messages.push_back(m);
        }
        if (!ended || at != end)
            return f.error = "end of track", f;
    }
    if (at != b.size())
        return f.error = "trailing bytes", f;
    return f;
}

// Channel messages on three channels in tick order with a few long pauses, and markers between.
std::vector<TimedMessage> randomSong(std::mt19937& rng)
{
    const std::uint8_t kinds[] = {0x80, 0x90, 0x90, 0xB0, 0xC0, 0xD0, 0xE0};
    std::vector<TimedMessage> song;
    std::uint64_t tick = 0;
    for (int i = 0; i < 400; ++i) {
        const int gap = std::uniform_int_distribution<int>(0, 9)(rng);
        tick += gap < 3 ? 0 : gap < 9 ? rng() % 1000 : rng() % 3'000'000;
        if (rng() % 8 == 0)
            song.push_back({tick, static_cast<std::uint8_t>(1 + rng() % 4), 5, 3});
        const auto status = static_cast<std::uint8_t>(kinds[rng() % 7] | rng() % 3);
        const int kind = status & 0xF0;
        song.push_back({tick, status, static_cast<std::uint8_t>(rng() % 128),
                        kind == 0xC0 || kind == 0xD0 ? std::uint8_t{0} : static_cast<std::uint8_t>(rng() % 128)});
    }
    return song;
}

// ---- Files a standard reader reads back exactly -----------------------------------------------

TEST(MidiFile, RandomSongsReadBackInBothFormats)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 20; ++round) {
        const auto song = randomSong(rng);
        std::vector<TimedMessage> expected;
        int sameStatusRuns = 0;
        for (const auto& m : song) {
            if (m.status < 0x80)
                continue;
            sameStatusRuns += !expected.empty() && expected.back().status == m.status;
            expected.push_back(m);
        }
        const auto format = round % 2 ? MidiFileWriter::Format::TempoTrack : MidiFileWriter::Format::SingleTrack;
        const std::uint32_t tempo = 240000 + static_cast<std::uint32_t>(rng() % 5'760'000);
        MidiFileWriter writer(tempo, format);
        const std::uint64_t endTick = round % 4 < 2 ? 0 : expected.back().tick + 1000;
        writer.setEndTick(endTick);

        const ReadFile f = readMidi(writer.bytes(song));
        ASSERT_EQ(f.error, "") << round;
        EXPECT_EQ(f.format, round % 2) << round;
        EXPECT_EQ(f.division, 480) << round;
        EXPECT_EQ(f.tempos, std::vector<std::uint32_t>{tempo}) << round;
        EXPECT_EQ(f.messages, expected) << round;
        EXPECT_EQ(f.runningStatusUses, sameStatusRuns) << round;
        EXPECT_EQ(f.trackEnds.back(), std::max(expected.back().tick, endTick)) << round;
        EXPECT_EQ(f.trackEnds.size(), round % 2 ? 2u : 1u) << round;
    }
}

TEST(MidiFile, APauseLongerThanADeltaTimeCanSayKeepsTheOldFile)
{
    const TempDir dir;
    const MidiFileWriter writer(500000);
    const std::vector<TimedMessage> fits = {{0, 0x90, 64, 100}, {0x0FFFFFFF, 0x80, 64, 0}};
    EXPECT_EQ(readMidi(writer.bytes(fits)).messages, fits);
    dir.write("song.mid", "old");
    const std::vector<TimedMessage> gap = {{0, 0x90, 64, 100}, {0x10000000, 0x80, 64, 0}};
    EXPECT_TRUE(writer.bytes(gap).empty());
    EXPECT_NE(writer.write(dir.file("song.mid"), gap), "");
    EXPECT_EQ(dir.read("song.mid"), "old");
}

}  // namespace
