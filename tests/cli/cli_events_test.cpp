// strumox-cli events and strum-events: the sequencer's stream as the command line prints it,
// whatever the queue's size, and the refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliRunner.h"
#include "MiniJson.h"
#include "RecordBuilders.h"
#include "TempDir.h"
#include "pages/PageFiles.h"
#include "playback/EventBuffers.h"
#include "playback/PlayPageSequencer.h"

using namespace strumox;
using namespace strumox::testsupport;

TEST(CliEvents, PrintsTheSequencersStreamForEveryQueueSizeAndRefusesAnEndlessRun)
{
    const TempDir dir;  // no Kq.ini: the default voices and one count-off measure
    pages::PlayPageFile file;
    file.strumSpeed = -800;
    file.bass = true;
    file.diagrams[0] = openCMajor();
    file.diagrams[9] = shapeChord(4, "", "022100");
    auto markers = pages::defaultRepeatMarkers(false);
    markers[pages::kRepeatCountRow * pages::kMeasureCount + 1] = 1;
    markers[pages::kRepeatCounterRow * pages::kMeasureCount + 1] = 1;
    file.markers = std::vector<std::uint8_t>(markers.begin(), markers.end());
    writePlayPageFile(dir.file("song.ppf"), file);

    pages::PlayPage page;
    page.load(file.diagrams, pages::TimeSignature::FourFour, markers);
    playback::SequencerOptions options;
    options.count = options.bass = true;
    options.strumPosition = -800;
    playback::BoundedQueue queue(1 << 16);
    playback::PlayPageSequencer sequencer;
    sequencer.start(page, options, {}, queue);
    ASSERT_EQ(sequencer.fill(queue), playback::PlayPageSequencer::FillResult::AllQueued);
    std::vector<std::string> expected;
    for (const auto& [tick, e] : playback::withTicks(queue.drain()))
        expected.push_back(std::to_string(tick) + ' ' + std::to_string(e.status) + ' ' + std::to_string(e.data1) +
                           ' ' + std::to_string(e.data2) + ' ' + std::to_string(e.data3));

    for (const std::string queueSize : {"1", "3", "512"}) {
        const CliRun run = runCli({"events", dir.file("song.ppf"), "--count", "--queue", queueSize, "--appdir", dir.path()});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.lines(), expected) << "queue " << queueSize;
    }
    const CliRun json = runCli({"events", dir.file("song.ppf"), "--count", "--json", "--appdir", dir.path()});
    ASSERT_EQ(json.status, 0) << json.err;
    const Json doc = parseJson(json.out);
    ASSERT_EQ(doc.items().size(), expected.size());
    const Json& last = doc.items().back();
    EXPECT_EQ(std::to_string(last["tick"].integer()) + " 128 0 0 0", expected.back());  // the final event

    // Loop Play down with the loop mark on the last measure: endless unless cut.
    file.loop = true;
    writePlayPageFile(dir.file("loop.ppf"), file);
    const CliRun endless = runCli({"events", dir.file("loop.ppf"), "--appdir", dir.path()});
    EXPECT_EQ(endless.status, 1);
    EXPECT_EQ(endless.out, "");
    EXPECT_NE(endless.err.find("--max-ticks"), std::string::npos) << endless.err;
    const CliRun cut = runCli({"events", dir.file("loop.ppf"), "--max-ticks", "100000", "--appdir", dir.path()});
    ASSERT_EQ(cut.status, 0) << cut.err;
    const auto lines = cut.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_GT(std::stoll(lines.back()), 100000);
    EXPECT_LE(std::stoll(lines[lines.size() - 2]), 100000);

    // The sound settings come from Kq.ini: the guitar's program and two measures of count-off
    // (eight clicks on the click channel before the first chord).
    writeText(dir.file("Kq.ini"), "[Guitar]\nPatch=40\n[PlayPage]\nCountOff=2\n");
    const CliRun tuned = runCli({"events", dir.file("song.ppf"), "--count", "--appdir", dir.path()});
    ASSERT_EQ(tuned.status, 0) << tuned.err;
    const auto tunedLines = tuned.lines();
    ASSERT_FALSE(tunedLines.empty());
    EXPECT_EQ(tunedLines.front(), "0 192 40 0 0");
    int clicks = 0;
    for (const std::string& line : tunedLines)
        clicks += line.find(" 153 34 ") != std::string::npos && std::stoll(line) < 8 * 480;
    EXPECT_EQ(clicks, 8);

    for (const char* bad : {"--start=3", "--strum=-801", "--loop=maybe"}) {
        const CliRun r = runCli({"events", dir.file("song.ppf"), bad});
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_EQ(r.out, "");
    }
}

TEST(CliEvents, StrumEventsStrumsTypedFretsAndRunsScalePositions)
{
    const TempDir dir;
    // x,3,2,0,1,0 from the A string up, one default strum delay (300 ticks) apart.
    const CliRun chord = runCli({"strum-events", "--frets", "x,3,2,0,1,0", "--appdir", dir.path()});
    ASSERT_EQ(chord.status, 0) << chord.err;
    std::vector<std::string> strikes;
    for (const auto& line : chord.lines())
        if (line.find(" 144 ") != std::string::npos)
            strikes.push_back(line.substr(0, line.rfind(' ', line.rfind(' ') - 1)));
    EXPECT_EQ(strikes, (std::vector<std::string>{"0 144 48", "300 144 52", "600 144 55", "900 144 60", "1200 144 64"}));

    pages::ScalePageFile scales;
    scales.rows[1].empty = 0;
    scales.rows[1].intervals = {0, 2, 4, 5, 7, 9, 11, 99, 99, 99};
    scales.rows[1].tuning[5] = 38;  // drop D
    writeScalePageFile(dir.file("s.spf"), scales);
    const CliRun run = runCli({"strum-events", dir.file("s.spf"), "8", "--appdir", dir.path()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(run.out.empty());
    const CliRun fromRoot = runCli({"strum-events", dir.file("s.spf"), "8", "--from-root", "--appdir", dir.path()});
    EXPECT_EQ(fromRoot.status, 1);
    EXPECT_EQ(fromRoot.out, "");
    EXPECT_NE(fromRoot.err.find("standard tuning"), std::string::npos) << fromRoot.err;
    const CliRun empty = runCli({"strum-events", dir.file("s.spf"), "0", "--appdir", dir.path()});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("empty"), std::string::npos) << empty.err;
}
