#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "playback/sinks/FluidSynthSink.h"
#include "playback/sinks/OutputDevices.h"

namespace {

using strumox::playback::FluidSynthSink;
using strumox::playback::OutputDevices;
using strumox::playback::TimedMessage;

std::size_t threadCount()
{
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator("/proc/self/task"),
                                                  std::filesystem::directory_iterator()));
}

// ---- Listing devices is cheap and starts nothing -----------------------------------------------

TEST(OutputDevices, ListsTheSynthesizerFirstWithoutStartingAnything)
{
    const std::size_t threadsBefore = threadCount();
    OutputDevices devices;
    devices.refresh();
    ASSERT_GE(devices.outputCount(), 1);
    EXPECT_EQ(devices.outputName(0), "Built-in Synthesizer");
    for (int i = 1; i < devices.outputCount(); ++i)
        EXPECT_LE(devices.outputName(i).size(), 31u) << devices.outputName(i);
    for (int i = 0; i < devices.inputCount(); ++i)
        EXPECT_LE(devices.inputName(i).size(), 31u) << devices.inputName(i);
    EXPECT_EQ(devices.outputName(devices.outputCount()), "");
    EXPECT_EQ(devices.inputName(devices.inputCount()), "");
    EXPECT_EQ(devices.outputName(-1), "");
    EXPECT_EQ(threadCount(), threadsBefore);  // no synthesizer worker, no audio or port thread

    // A device that is not there gives a sink that says so and swallows messages.
    const auto missing = devices.openOutput(devices.outputCount());
    EXPECT_NE(missing->problem(), "");
    missing->send({0, 0x90, 60, 100});
    const auto input = devices.openInput(devices.inputCount());
    EXPECT_FALSE(input->isOpen());
    EXPECT_NE(input->problem(), "");
}

TEST(OutputDevices, NamesAreCutToThirtyOneBytesBetweenCharacters)
{
    // A two-, three- and four-byte character at every position around the cut.
    for (const std::string wide : {"\u00e9", "\u266f", "\U0001D11E"}) {
        for (std::size_t before = 25; before <= 33; ++before) {
            const std::string name = std::string(before, 'a') + wide + "bcdef";
            const std::string cut = OutputDevices::cutName(name);
            EXPECT_EQ(name.rfind(cut, 0), 0u);
            EXPECT_LE(cut.size(), 31u);
            const bool splits = before < 31 && before + wide.size() > 31;
            EXPECT_EQ(cut.size(), splits ? before : std::min<std::size_t>(31, name.size())) << before << " " << wide;
        }
    }
    EXPECT_EQ(OutputDevices::cutName("Port"), "Port");
}

// ---- The synthesizer comes up in the background ----------------------------------------------

TEST(FluidSynthSink, WithoutItsSoundfontComesUpSilentAndSaysWhy)
{
    FluidSynthSink sink("/nonexistent/strumox-test.sf2");
    sink.send({0, 0x90, 60, 100});  // before it is ready: dropped
    for (int i = 0; i < 1000 && !sink.ready(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(sink.ready());
    EXPECT_NE(sink.problem().find("/nonexistent/strumox-test.sf2"), std::string::npos) << sink.problem();
    sink.send({0, 0x90, 60, 100});
    sink.silence(0xFFFF, 0);
}

}  // namespace
