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

// A song with a strum spread wide, a bass, a held chord and a repeated measure, at 120 bpm.
pages::PlayPageFile songFile()
{
    pages::PlayPageFile file;
    file.strumSpeed = -800;
    file.bass = true;
    file.tempo = 120;
    file.diagrams[0] = openCMajor();
    file.diagrams[9] = shapeChord(4, "", "022100");
    file.diagrams[20] = openCMajor7();
    auto markers = pages::defaultRepeatMarkers(false);
    markers[pages::kRepeatCountRow * pages::kMeasureCount + 1] = 2;
    markers[pages::kRepeatCounterRow * pages::kMeasureCount + 1] = 2;
    file.markers = std::vector<std::uint8_t>(markers.begin(), markers.end());
    return file;
}

struct Listed {
    std::vector<MidiEvent> messages;  // channel messages as a MIDI file holds them
    int markers = 0;
    std::uint64_t lastTick = 0;
};

Listed listed(const CliRun& events)
{
    Listed out;
    for (const std::string& line : events.lines()) {
        std::istringstream in(line);
        std::uint64_t tick = 0;
        int status = 0, d1 = 0, d2 = 0, d3 = 0;
        in >> tick >> status >> d1 >> d2 >> d3;
        out.lastTick = tick;
        if (status < 0x80) {
            ++out.markers;
            continue;
        }
        const bool oneByte = (status & 0xF0) == 0xC0;
        out.messages.push_back({tick, status, d1, oneByte ? -1 : d2});
    }
    return out;
}

std::vector<std::string> filesIn(const TempDir& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::uint32_t le(const std::string& b, std::size_t at, int n)
{
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

}  // namespace

TEST(CliRender, MidiFilesHoldEveryMessageEventsListsAtItsTickWithoutMarkers)
{
    const TempDir dir;  // no Kq.ini: default voices, one count-off measure
    writePlayPageFile(dir.file("song.ppf"), songFile());
    const std::vector<std::string> options = {"--click", "--count", "--appdir", dir.path()};
    auto with = [&](std::vector<std::string> args) {
        args.insert(args.end(), options.begin(), options.end());
        return runCli(args);
    };
    const CliRun events = with({"events", dir.file("song.ppf")});
    ASSERT_EQ(events.status, 0) << events.err;
    Listed expected = listed(events);
    ASSERT_GT(expected.markers, 0);
    ASSERT_GT(expected.messages.size(), 100u);
    // Then Play's Stop at the final event: every channel used silenced, which ends the last chord.
    std::set<int> used;
    for (const MidiEvent& e : expected.messages)
        used.insert(e.status & 15);
    for (const int channel : used)
        for (const int controller : {123, 120})
            expected.messages.push_back({expected.lastTick, 0xB0 + channel, controller, 0});

    for (const std::string format : {"0", "1"}) {
        SCOPED_TRACE("format " + format);
        const std::string out = dir.file("song" + format + ".mid");
        const CliRun run = with({"render", dir.file("song.ppf"), "-o", out, "--format", format, "--queue", "7"});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, "");
        const MidiFileContents midi = readMidiFile(readText(out));
        ASSERT_EQ(midi.error, "");
        EXPECT_EQ(midi.format, std::stoi(format));
        EXPECT_EQ(midi.division, 480);
        EXPECT_EQ(midi.tempos, std::vector<std::uint32_t>{500000});
        ASSERT_EQ(midi.tracks.size(), format == "0" ? 1u : 2u);
        if (format == "1") {
            EXPECT_TRUE(midi.tracks[0].empty());  // the tempo track
        }
        EXPECT_EQ(midi.tracks.back(), expected.messages);
        EXPECT_EQ(midi.trackEnds.back(), expected.lastTick);
    }
}

TEST(CliRender, WavIsTheSongsLengthPlusTheTailAsStereo16BitPcm)
{
    const TempDir dir;
    writePlayPageFile(dir.file("song.ppf"), songFile());
    const CliRun events = runCli({"events", dir.file("song.ppf"), "--tempo", "250", "--appdir", dir.path()});
    ASSERT_EQ(events.status, 0) << events.err;
    const CliRun run =
        runCli({"render", dir.file("song.ppf"), "-o", dir.file("song.wav"), "--tempo", "250", "--appdir", dir.path()});
    ASSERT_EQ(run.status, 0) << run.err;

    const std::string wav = dir.read("song.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 8) + wav.substr(36, 4), "RIFFWAVEfmt data");
    EXPECT_EQ(le(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(le(wav, 16, 4), 16u);     // fmt chunk size
    EXPECT_EQ(le(wav, 20, 2), 1u);      // integer PCM
    EXPECT_EQ(le(wav, 22, 2), 2u);      // stereo
    EXPECT_EQ(le(wav, 24, 4), 44100u);  // frames a second
    EXPECT_EQ(le(wav, 28, 4), 44100u * 4);
    EXPECT_EQ(le(wav, 32, 2), 4u);
    EXPECT_EQ(le(wav, 34, 2), 16u);
    EXPECT_EQ(le(wav, 40, 4), wav.size() - 44);
    // 250 bpm: 240,000 microseconds a beat of 480 ticks; the frame the last tick falls in, then 2 s.
    const std::uint64_t lastTick = listed(events).lastTick;
    EXPECT_EQ((wav.size() - 44) / 4, lastTick * 240000 * 44100 / (480 * 1000000ull) + 2 * 44100);
    EXPECT_NE(wav.find_first_not_of('\0', 44), std::string::npos) << "the render is silent";
}

TEST(CliRender, AnEndlessSongIsRefusedOrCutAndNoFailureLeavesAFile)
{
    const TempDir dir;
    pages::PlayPageFile file = songFile();
    file.loop = true;  // the default markers carry the loop mark on the last measure
    writePlayPageFile(dir.file("loop.ppf"), file);
    const std::vector<std::string> before = filesIn(dir);

    const CliRun endless = runCli({"render", dir.file("loop.ppf"), "-o", dir.file("loop.wav"), "--appdir", dir.path()});
    EXPECT_EQ(endless.status, 1);
    EXPECT_NE(endless.err.find("--max-ticks"), std::string::npos) << endless.err;
    const CliRun nowhere =
        runCli({"render", dir.file("loop.ppf"), "-o", dir.file("gone/x.mid"), "--loop", "off", "--appdir", dir.path()});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("gone/x.mid"), std::string::npos) << nowhere.err;
    EXPECT_EQ(runCli({"render", dir.file("loop.ppf"), "-o", dir.file("loop.txt"), "--max-ticks", "9"}).status, 2);
    EXPECT_EQ(runCli({"render", dir.file("loop.ppf"), "-o", dir.file("loop.wav"), "--format", "1"}).status, 2);
    EXPECT_EQ(filesIn(dir), before);

    // Cut at a tick: nothing later, and every channel used is silenced there.
    const CliRun cut = runCli(
        {"render", dir.file("loop.ppf"), "-o", dir.file("cut.mid"), "--max-ticks", "3000", "--appdir", dir.path()});
    ASSERT_EQ(cut.status, 0) << cut.err;
    const MidiFileContents midi = readMidiFile(dir.read("cut.mid"));
    ASSERT_EQ(midi.error, "");
    ASSERT_FALSE(midi.tracks[0].empty());
    std::set<int> struck, silenced;
    for (const MidiEvent& e : midi.tracks[0]) {
        EXPECT_LE(e.tick, 3000u);
        if ((e.status & 0xF0) == 0x90)
            struck.insert(e.status & 15);
        if ((e.status & 0xF0) == 0xB0 && e.data1 == 123 && e.tick == 3000)
            silenced.insert(e.status & 15);
    }
    EXPECT_FALSE(struck.empty());
    EXPECT_TRUE(std::includes(silenced.begin(), silenced.end(), struck.begin(), struck.end()));
    EXPECT_EQ(midi.trackEnds[0], 3000u);
}
