// strumox-cli render: the song written as a MIDI file holds exactly the channel messages events
// lists, at their ticks, and Stop's silence at the end; the WAV render is as long as the song plus
// its tail; refusals and failures leave no file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "CliRunner.h"
#include "MidiFileReader.h"
#include "RecordBuilders.h"
#include "TempDir.h"
#include "pages/PageFiles.h"

using namespace strumox;
using namespace strumox::testsupport;

namespace {

// A strum spread wide, a bass, held chords and a measure repeated twice, at 120 bpm.
std::string writeSong(const TempDir& dir, bool loop = false)
{
    pages::PlayPageFile file;
    file.strumSpeed = -800;
    file.bass = true;
    file.tempo = 120;
    file.loop = loop;  // the default markers carry the loop mark on the last measure
    file.diagrams[0] = openCMajor();
    file.diagrams[9] = shapeChord(4, "", "022100");
    file.diagrams[20] = openCMajor7();
    auto markers = pages::defaultRepeatMarkers(false);
    markers[pages::kRepeatCountRow * pages::kMeasureCount + 1] = 2;
    markers[pages::kRepeatCounterRow * pages::kMeasureCount + 1] = 2;
    file.markers = std::vector<std::uint8_t>(markers.begin(), markers.end());
    writePlayPageFile(dir.file("song.ppf"), file);
    return dir.file("song.ppf");
}

// The channel messages `events` printed, as a MIDI file holds them; markers counted apart.
std::vector<MidiEvent> listed(const CliRun& events, int& markers)
{
    std::vector<MidiEvent> out;
    std::istringstream in(events.out);
    std::uint64_t tick = 0;
    for (int status, d1, d2, d3; in >> tick >> status >> d1 >> d2 >> d3;) {
        if (status < 0x80)
            ++markers;
        else
            out.push_back({tick, status, d1, (status & 0xF0) == 0xC0 ? -1 : d2});
    }
    return out;
}

}  // namespace

TEST(CliRender, MidiFilesHoldEveryMessageEventsListsAtItsTickThenStopsSilence)
{
    const TempDir dir;  // no Kq.ini: default voices, one count-off measure
    const std::string song = writeSong(dir);
    const CliRun events = runCli({"events", song, "--click", "--count", "--appdir", dir.path()});
    ASSERT_EQ(events.status, 0) << events.err;
    int markers = 0;
    std::vector<MidiEvent> expected = listed(events, markers);
    ASSERT_GT(markers, 0);
    ASSERT_GT(expected.size(), 100u);
    const std::uint64_t last = expected.back().tick;
    std::set<int> used;
    for (const MidiEvent& e : expected)
        used.insert(e.status & 15);
    for (const int channel : used)  // Play's Stop at the final event ends the held last chord
        for (const int controller : {123, 120})
            expected.push_back({last, 0xB0 + channel, controller, 0});

    for (const int format : {0, 1}) {
        SCOPED_TRACE(format);
        const std::string out = dir.file("song" + std::to_string(format) + ".mid");
        const CliRun run = runCli({"render", song, "-o", out, "--format", std::to_string(format), "--queue", "7",
                                   "--click", "--count", "--appdir", dir.path()});
        ASSERT_EQ(run.status, 0) << run.err;
        const MidiFileContents midi = readMidiFile(readText(out));
        ASSERT_EQ(midi.error, "");
        EXPECT_EQ(midi.format, format);
        EXPECT_EQ(midi.division, 480);
        EXPECT_EQ(midi.tempos, std::vector<std::uint32_t>{500000});
        ASSERT_EQ(midi.tracks.size(), format + 1u);
        EXPECT_TRUE(midi.tracks.front().empty() || format == 0);  // format 1: the tempo track first
        EXPECT_EQ(midi.tracks.back(), expected);
        EXPECT_EQ(midi.trackEnds.back(), last);
    }
}

TEST(CliRender, WavIsStereo16BitPcmAsLongAsTheSongAndItsTail)
{
    const TempDir dir;
    const std::string song = writeSong(dir);
    const CliRun events = runCli({"events", song, "--tempo", "250", "--appdir", dir.path()});
    const CliRun run = runCli({"render", song, "-o", dir.file("song.wav"), "--tempo", "250", "--appdir", dir.path()});
    ASSERT_EQ(run.status, 0) << run.err;
    int markers = 0;
    const std::uint64_t lastTick = listed(events, markers).back().tick;
    // 250 bpm: 240,000 microseconds a beat of 480 ticks; the frame the last tick falls in, then 2 s.
    const std::uint32_t frames = static_cast<std::uint32_t>(lastTick * 240000 * 44100 / 480000000 + 2 * 44100);
    std::string header("RIFF....WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0data....", 44);
    for (const auto& [at, value] : {std::pair{4u, 36 + frames * 4}, std::pair{40u, frames * 4}})
        for (int i = 0; i < 4; ++i)
            header[at + i] = static_cast<char>(value >> (8 * i));
    const std::string wav = dir.read("song.wav");
    EXPECT_EQ(wav.substr(0, 44), header);
    EXPECT_EQ(wav.size(), 44 + frames * 4);
}

TEST(CliRender, AnEndlessSongIsRefusedOrCutAndNoFailureLeavesAFile)
{
    const TempDir dir;
    const std::string song = writeSong(dir, true);
    const CliRun endless = runCli({"render", song, "-o", dir.file("loop.wav"), "--appdir", dir.path()});
    EXPECT_EQ(endless.status, 1);
    EXPECT_NE(endless.err.find("--max-ticks"), std::string::npos) << endless.err;
    const CliRun nowhere =
        runCli({"render", song, "-o", dir.file("gone/x.mid"), "--loop", "off", "--appdir", dir.path()});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("gone/x.mid"), std::string::npos) << nowhere.err;
    EXPECT_EQ(runCli({"render", song, "-o", dir.file("loop.txt"), "--max-ticks", "9"}).status, 2);
    EXPECT_EQ(runCli({"render", song, "-o", dir.file("loop.wav"), "--format", "1"}).status, 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // song.ppf and .rpt

    // Cut at a tick: nothing later, the guitar's notes ended there.
    const CliRun cut =
        runCli({"render", song, "-o", dir.file("cut.mid"), "--max-ticks", "3000", "--appdir", dir.path()});
    ASSERT_EQ(cut.status, 0) << cut.err;
    const MidiFileContents midi = readMidiFile(dir.read("cut.mid"));
    ASSERT_EQ(midi.error, "");
    const std::vector<MidiEvent>& track = midi.tracks.at(0);
    EXPECT_EQ(track.back().tick, 3000u);
    EXPECT_EQ(std::count(track.begin(), track.end(), MidiEvent{3000, 0xB0, 123, 0}), 1);
}
